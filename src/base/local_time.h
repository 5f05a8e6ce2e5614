// A local calendar time as the shop sees it, the unit every date and
// timestamp text is made from.
#pragma once

namespace kassio {

// month 1..12, day 1..31, hour 0..23.
struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

}  // namespace kassio
