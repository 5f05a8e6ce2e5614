#include "customers/customer_log.h"

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"

namespace kassio::activity {

namespace {

std::string details(const CustomerRecord& c) {
    return formatted("\r\n%s, %s", fieldText(c.road).c_str(), fieldText(c.area).c_str()) +
           formatted("\r\n%s, %s", fieldText(c.town).c_str(), fieldText(c.postcode).c_str()) +
           formatted("\r\nTel: %s, Category: %d", fieldText(c.telephone).c_str(), c.group) +
           formatted("\r\nComment: %s", fieldText(c.comment).c_str());
}

}  // namespace

std::string customerAmended(const LocalTime& now, const CustomerRecord& before,
                            const CustomerRecord& after) {
    const std::string when = logTimeText(timestampText(now));
    return formatted("\r\n%s  Customer %lld amended:", when.c_str(),
                     static_cast<long long>(after.number)) +
           formatted("\r\nBefore: %s", fieldText(before.name).c_str()) + details(before) +
           formatted("\r\n\r\nAfter: %s", fieldText(after.name).c_str()) + details(after) +
           formatted("\r\nCredit card: %s\r\n", fieldText(after.credit_card).c_str());
}

std::string creditAmended(const LocalTime& now, int64_t number, const std::string& name,
                          double before, double after) {
    const std::string when = logTimeText(timestampText(now));
    return formatted("\r\n%s  Credit amendment", when.c_str()) +
           formatted("\r\nCustomer: %lld %s\r\n", static_cast<long long>(number), name.c_str()) +
           formatted("Before: %.2f, After: %.2f\r\n", before, after);
}

}  // namespace kassio::activity
