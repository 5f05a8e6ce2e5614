// Calendar arithmetic and the date texts the reports print.
//
// Day-by-day walks follow the Gregorian calendar: February has 29 days in
// a year divisible by 4, except a century year not divisible by 400 (2100
// has 28), so a week or a period across the end of February lands on the
// right days in every year.
#pragma once

#include <string>

#include "base/local_time.h"

namespace kassio {

struct Day {
    int year = 2000;
    int month = 1;
    int day = 1;
    friend bool operator==(const Day&, const Day&) = default;
};

inline Day dayOf(const LocalTime& t) {
    return {t.year, t.month, t.day};
}

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDay(const Day& d);
Day nextDay(const Day& d);
// -1, 0 or 1 as a is before, the same as or after b.
int compareDays(const Day& a, const Day& b);
// Days from a to b inclusive (0 when b is before a).
int daysBetweenInclusive(const Day& a, const Day& b);

// "Monday December 7 2026": the long form "dddd MMMM d yyyy".
std::string longDateText(const Day& d);
// "December 7 2026": "MMMM d yyyy".
std::string monthDayYearText(const Day& d);
// The short form "ddd d MMM yy" ("Mon 7 Dec 26"), or "%2d/%2d/%d" for a
// day the calendar does not hold.
std::string shortDateText(const Day& d);

// A day typed as "DD/MM/YYYY": exactly ten characters with "/" third and
// sixth, the numbers read as decimals. The day itself is not checked
// against the calendar (the thirty-first of February simply finds no file).
bool parseDayEntry(const std::string& text, Day* out);

}  // namespace kassio
