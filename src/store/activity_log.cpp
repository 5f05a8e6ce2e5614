#include "store/activity_log.h"

#include <cstdio>

#include "base/text_format.h"
#include "base/timestamp.h"

namespace kassio::activity {

std::string switchedOn(const std::string& ts) {
    return formatted("\r\n%s  Switched on.\r\n", logTimeText(ts).c_str());
}

std::string tillOpened(const std::string& ts) {
    return formatted("\r\n%s  Till opened.\r\n", logTimeText(ts).c_str());
}

std::string postingsRecovered(const std::string& ts, uint64_t count) {
    return formatted("\r\n%s  Recovered %llu postings after an unfinished close.\r\n",
                     logTimeText(ts).c_str(), static_cast<unsigned long long>(count));
}

std::string switchedOff(const std::string& ts, int64_t clerk, const std::string& clerkName) {
    return formatted("\r\n%s  Switched off.\r\n", logTimeText(ts).c_str()) +
           formatted("Clerk: %lld, %s\r\n", static_cast<long long>(clerk), clerkName.c_str());
}

std::string itemDeleted(int64_t number, const std::string& description, const std::string& ts) {
    return formatted("\r\nItem %lld, %s deleted.  Date: %s\r\n", static_cast<long long>(number),
                     description.c_str(), logTimeText(ts).c_str());
}

std::string customerDeleted(const LocalTime& now, int64_t number, const std::string& name) {
    const std::string ts = timestampText(now);
    return formatted("\r\n%c%c:%c%c %d/%d/%d Customer %lld, %s deleted.\r\n", ts[0], ts[1], ts[3],
                     ts[4], now.day, now.month, now.year, static_cast<long long>(number),
                     name.c_str());
}

std::string customerUpdated(const std::string& ts, int64_t number, const std::string& name,
                            const std::string& road, const std::string& area,
                            const std::string& town, const std::string& postcode,
                            const std::string& telephone, int32_t group, double balance) {
    return formatted("\r\n%s Customer updated: %lld, %s", logTimeText(ts).c_str(),
                     static_cast<long long>(number), name.c_str()) +
           formatted("\r\n%s, %s", road.c_str(), area.c_str()) +
           formatted("\r\n%s, %s", town.c_str(), postcode.c_str()) +
           formatted("\r\nTel: %s, Category: %d", telephone.c_str(), group) +
           formatted("\r\nBalance: %.2f", balance);
}

}  // namespace kassio::activity
