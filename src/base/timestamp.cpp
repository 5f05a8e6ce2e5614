#include "base/timestamp.h"

#include <cstdio>

namespace kassio {

std::string dateText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%d", t.day, t.month, t.year);
    return buf;
}

std::string timestampText(const LocalTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02d%02d/%02d/%d", t.hour, t.minute, t.day, t.month,
                  t.year);
    return buf;
}

std::string localeDateText(const LocalTime& t) {
    char fallback[48];
    std::snprintf(fallback, sizeof fallback, "D:%2d M:%2d Y:%d", t.day, t.month, t.year);
    if (t.day < 1 || t.day > 31 || t.month < 1 || t.month > 12 || t.year <= 1979) return fallback;
    // Our own English names rather than strftime: under the desktop's
    // locale "%a" and "%b" give words in UTF-8, which a journal's
    // Windows-1252 date field must never hold, and a date text must not
    // change with the language of the desktop.
    static const char* const kWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // Sakamoto's weekday of a Gregorian date, 0 = Sunday.
    static const int kMonthOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = t.month < 3 ? t.year - 1 : t.year;
    const int weekday = (y + y / 4 - y / 100 + y / 400 + kMonthOffsets[t.month - 1] + t.day) % 7;
    char text[96];
    std::snprintf(text, sizeof text, "%s %d %s %02d", kWeekdays[weekday], t.day,
                  kMonths[t.month - 1], t.year % 100);
    return text;
}

std::string logTimeText(const std::string& ts) {
    std::string padded = ts;
    if (padded.size() < 5) padded.resize(5, ' ');
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c%c:%c%c %s", padded[0], padded[1], padded[3], padded[4],
                  padded.c_str() + 5);
    return buf;
}

}  // namespace kassio
