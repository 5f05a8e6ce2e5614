// A clock that says what the test tells it.
#pragma once

#include "platform/clock.h"

namespace kassio::test {

class FixedClock final : public Clock {
  public:
    explicit FixedClock(LocalTime t = {2026, 12, 6, 9, 5, 0}) : m_now(t) {}
    LocalTime now() const override { return m_now; }
    void set(LocalTime t) { m_now = t; }

  private:
    LocalTime m_now;
};

}  // namespace kassio::test
