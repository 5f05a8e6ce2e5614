#include "reports/report_dates.h"

#include <charconv>

#include "base/text_format.h"

namespace kassio {

namespace {

const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

// 0 = Sunday (Sakamoto's method, Gregorian).
int weekday(const Day& d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = d.year - (d.month < 3 ? 1 : 0);
    return (y + y / 4 - y / 100 + y / 400 + t[d.month - 1] + d.day) % 7;
}

bool readNumber(const std::string& text, std::size_t from, std::size_t len, int* out) {
    const char* first = text.data() + from;
    auto [end, ec] = std::from_chars(first, first + len, *out);
    return ec == std::errc() && end == first + len;
}

}  // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDay(const Day& d) {
    return d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= daysInMonth(d.year, d.month);
}

Day nextDay(const Day& d) {
    Day n = d;
    if (++n.day > daysInMonth(n.year, n.month)) {
        n.day = 1;
        if (++n.month > 12) {
            n.month = 1;
            ++n.year;
        }
    }
    return n;
}

int compareDays(const Day& a, const Day& b) {
    if (a.year != b.year) return a.year < b.year ? -1 : 1;
    if (a.month != b.month) return a.month < b.month ? -1 : 1;
    if (a.day != b.day) return a.day < b.day ? -1 : 1;
    return 0;
}

int daysBetweenInclusive(const Day& a, const Day& b) {
    int n = 0;
    for (Day d = a; compareDays(d, b) <= 0; d = nextDay(d)) ++n;
    return n;
}

std::string longDateText(const Day& d) {
    if (!isValidDay(d)) return shortDateText(d);
    return formatted("%s %s %d %d", kWeekdays[weekday(d)], kMonths[d.month - 1], d.day, d.year);
}

std::string monthDayYearText(const Day& d) {
    if (d.month < 1 || d.month > 12) return formatted("%d/%d/%d", d.day, d.month, d.year);
    return formatted("%s %d %d", kMonths[d.month - 1], d.day, d.year);
}

std::string shortDateText(const Day& d) {
    if (!isValidDay(d)) return formatted("%2d/%2d/%d", d.day, d.month, d.year);
    return formatted("%.3s %d %.3s %02d", kWeekdays[weekday(d)], d.day, kMonths[d.month - 1],
                     d.year % 100);
}

bool parseDayEntry(const std::string& text, Day* out) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
    Day d;
    if (!readNumber(text, 0, 2, &d.day) || !readNumber(text, 3, 2, &d.month) ||
        !readNumber(text, 6, 4, &d.year))
        return false;
    *out = d;
    return true;
}

}  // namespace kassio
