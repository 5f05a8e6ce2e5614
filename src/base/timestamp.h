// The date and time texts written into records and log lines.
#pragma once

#include <string>

#include "base/local_time.h"

namespace kassio {

// "DD/MM/YYYY": "%02d/%02d/%d".
std::string dateText(const LocalTime& t);

// "%02d:%02d%02d/%02d/%d": hour and minute, then the date with no separator;
// 15 characters for a four-digit year, the date starting at the sixth.
std::string timestampText(const LocalTime& t);

// The "%c%c:%c%c %s" form log lines use: the four time digits of a timestamp
// text and its date part.
std::string logTimeText(const std::string& timestamp);

// A transaction's date as the receipt shows it: the short weekday, day,
// short month and two-digit year ("Sun 6 Dec 26"), always in English and
// plain ASCII whatever the desktop's locale, when the date is valid (day
// 1..31, month 1..12, year from 1980), else "D:%2d M:%2d Y:%d".
std::string localeDateText(const LocalTime& t);

}  // namespace kassio
