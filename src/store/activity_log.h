// The texts of the day's ActivityLog entries, byte for byte. Each takes the
// current timestamp text (timestampText()) or the time it needs; appending
// is Journal::appendActivity().
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace kassio::activity {

std::string switchedOn(const std::string& timestamp);
// The drawer opened without a sale.
std::string tillOpened(const std::string& timestamp);
// Written at a start whose recovery replayed postings from the posting journal.
std::string postingsRecovered(const std::string& timestamp, uint64_t count);
std::string switchedOff(const std::string& timestamp, int64_t clerk, const std::string& clerkName);
std::string itemDeleted(int64_t number, const std::string& description,
                        const std::string& timestamp);
std::string customerDeleted(const LocalTime& now, int64_t number, const std::string& name);

// A customer changed by a client station: the address lines are road and
// area, then town and postcode; Category is the customer's group.
std::string customerUpdated(const std::string& timestamp, int64_t number, const std::string& name,
                            const std::string& road, const std::string& area,
                            const std::string& town, const std::string& postcode,
                            const std::string& telephone, int32_t group, double balance);

}  // namespace kassio::activity
