#include "store/customers.h"

#include <cstring>

#include "base/fixed_text.h"
#include "store/activity_log.h"

namespace kassio {

CustomerRecord blankCustomer() {
    CustomerRecord c;
    std::memset(&c, 0, sizeof c);
    c.group = 1;
    c.credit_limit = 2000;
    c.tax = 1;
    c.terms = 1;
    setFieldText(c.last_used, "NEW");
    return c;
}

Status validateNewCustomer(const CustomerRecord& c) {
    if (c.number < 1 || c.number > kMaxRecordNumber)
        return Status::invalid("Number outside range.");
    if (fieldText(c.name).size() < 2)
        return Status::invalid("The name must have at least two characters.");
    if (c.group < 1 || c.group > 2000) return Status::invalid("Invalid category (1-2000)");
    return Status::ok();
}

Status createCustomer(DataStore& store, CustomerRecord& c) {
    if (Status s = validateNewCustomer(c); !s) return s;
    setFieldText(c.last_used, "NEW");
    std::memset(c.last_payment, 0, sizeof c.last_payment);
    c.last_transaction = 0;
    c.reserved_counter = 0;

    auto lock = store.lock();
    if (store.customers().find(c.number)) return Status::invalid("Number in use.");
    return store.customers().insert(&c);
}

Status deleteCustomer(DataStore& store, int64_t number) {
    // The delete and its log line are one batch.
    uint64_t ticket = 0;
    bool logged = true;
    {
        StoreFiles::Batch batch(store.files());
        auto slot = store.customers().find(number);
        if (!slot) return Status::invalid("Does not exist");
        CustomerRecord c;
        if (Status s = store.customers().read(*slot, &c); !s) return s;
        if (Status s = store.customers().remove(*slot); !s) return s;
        const LocalTime now = store.clock().now();
        logged = store.journal().appendActivity(
            now, activity::customerDeleted(now, number, fieldText(c.name)));
        if (Status s = batch.commit(&ticket); !s) return s;
    }
    if (Status s = store.waitDurable(ticket); !s) return s;
    if (!logged) return Status::notFound("Data log text file not present.", kTitleFatal);
    return Status::ok();
}

std::optional<CustomerRecord> readCustomer(DataStore& store, int64_t number, Status* error) {
    auto lock = store.lock();
    auto slot = store.customers().find(number);
    if (!slot) return std::nullopt;
    CustomerRecord c;
    Status s = store.customers().read(*slot, &c);
    if (!s) {
        if (error) *error = s;
        return std::nullopt;
    }
    return c;
}

int64_t suggestCustomerNumber(DataStore& store) {
    auto lock = store.lock();
    StoreConfigRecord& cfg = store.config().record();
    int64_t candidate = numberAfterBase(cfg.options[kOptCustomerNumberBase]);
    if (candidate <= 0) {
        cfg.options[kOptCustomerNumberBase] = 0;
        candidate = 1;
    }
    return store.customers().suggestNumber(candidate);
}

}  // namespace kassio
