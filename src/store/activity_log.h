// The texts of the day's ActivityLog entries, byte for byte. Each takes the
// current timestamp text (timestampText()) or the time it needs; appending
// is Journal::appendActivity().
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace kassio::activity {

std::string switchedOn(const std::string& timestamp);
std::string switchedOff(const std::string& timestamp, int64_t clerk, const std::string& clerkName);
std::string itemDeleted(int64_t number, const std::string& description,
                        const std::string& timestamp);
std::string customerDeleted(const LocalTime& now, int64_t number, const std::string& name);

}  // namespace kassio::activity
