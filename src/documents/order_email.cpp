#include "documents/order_email.h"

#include <cinttypes>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/win1252.h"
#include "store/customer_record.h"

namespace kassio {

namespace {

constexpr const char* kBreak = "%0D%0A";
constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A stored Windows-1252 text made safe inside the link.
std::string linkText(const std::string& stored) {
    std::string out;
    for (unsigned char c : win1252ToUtf8(stored)) {
        const bool reserved = c == '%' || c == '&' || c == '#' || c == '?' || c == '+';
        if (reserved || c < 0x20 || c >= 0x7f)
            out += formatted("%%%02X", c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

std::string orderConfirmationLink(const StoreConfigRecord& cfg, const Basket& b,
                                  const std::string& email, const LocalTime& now) {
    const std::string store = linkText(fieldText(cfg.heading[0]));
    std::string link =
        email.empty()
            ? formatted("mailto:?subject=%s Order Confirmation&body=", store.c_str())
            : formatted("mailto:%s?subject=%s Order Confirmation&body=", linkText(email).c_str(),
                        store.c_str());
    for (int i = 0; i < 5; ++i) {
        if (i > 0) link += kBreak;
        link += linkText(fieldText(cfg.heading[i]));
    }
    link += std::string(kBreak) + kBreak;
    link += formatted("Order reference: %" PRId64, b.number);

    const int month = now.month >= 1 && now.month <= 12 ? now.month - 1 : 0;
    std::string clerk;
    if (b.clerk >= 1 && b.clerk <= kClerkCount) clerk = fieldText(cfg.clerk_names[b.clerk - 1]);
    link +=
        std::string(kBreak) + "Date: " +
        formatted("%02d:%02d %s %d %d", now.hour, now.minute, kMonths[month], now.day, now.year);
    link += kBreak;
    link += formatted("Associate: %" PRId64 ", ", static_cast<int64_t>(b.clerk)) + linkText(clerk);
    link += kBreak;
    link += formatted("Total : %.2f", b.total);
    link += std::string(kBreak) + kBreak;
    link +=
        "Thank you for your purchase. Please find your invoice attached.%0D%0AIf you have any "
        "further questions please let us know.%0D%0AKind Regards";
    return link;
}

std::string orderConfirmationLink(DataStore& store, const Basket& basket) {
    std::string email;
    StoreConfigRecord cfg;
    {
        auto lock = store.lock();
        cfg = store.config().record();
        if (basket.customer != 0) {
            if (auto slot = store.customers().find(basket.customer)) {
                CustomerRecord c;
                if (store.customers().read(*slot, &c)) email = fieldText(c.email);
            }
        }
    }
    return orderConfirmationLink(cfg, basket, email, store.clock().now());
}

}  // namespace kassio
