// Clock adapter: the system's local time.
#pragma once

#include "platform/clock.h"

namespace kassio {

class SystemClock final : public Clock {
  public:
    LocalTime now() const override;
};

}  // namespace kassio
