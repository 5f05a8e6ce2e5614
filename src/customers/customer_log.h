// The ActivityLog entries of customer maintenance, byte for byte.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "store/customer_record.h"

namespace kassio::activity {

// An amended customer: the time and date, then the details before (name,
// road and area, town and postcode, telephone and group, comment) and after
// (the same, and credit card 1).
std::string customerAmended(const LocalTime& now, const CustomerRecord& before,
                            const CustomerRecord& after);

// A balance set by hand ("Amend balance").
std::string creditAmended(const LocalTime& now, int64_t number, const std::string& name,
                          double before, double after);

}  // namespace kassio::activity
