// Port: the local date and time. The real adapter reads the system clock;
// tests use a fixed clock they can step.
#pragma once

namespace kassio {

// A local calendar time as the shop sees it. month 1..12, day 1..31.
struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

}  // namespace kassio
