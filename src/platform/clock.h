// Port: the local date and time. The real adapter reads the system clock;
// tests use a fixed clock they can step.
#pragma once

#include "base/local_time.h"

namespace kassio {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

}  // namespace kassio
