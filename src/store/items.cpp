#include "store/items.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/timestamp.h"
#include "store/activity_log.h"

namespace kassio {

InventoryRecord blankItem(const StoreConfig& config, const LocalTime& today) {
    InventoryRecord item;
    std::memset(&item, 0, sizeof item);
    item.picture_number = 1;
    setFieldText(item.date_added, dateText(today));
    int tax = config.record().settings_b[kSetBDefaultTaxCode];
    item.tax = tax >= 0 && tax <= 3 ? tax : 0;
    // Stored as list index + 1; 0 means never set, which the form shows as
    // category 15 (index 14).
    int category = config.record().settings_b[kSetBDefaultNewCategory];
    item.display_category = (category > 0 && category <= kDisplayCategories ? category : 15) - 1;
    return item;
}

Status validateNewItem(const InventoryRecord& item) {
    if (item.number < 1 || item.number > kMaxRecordNumber)
        return Status::invalid("Number outside range.");
    if (fieldText(item.description).size() < 2)
        return Status::invalid("The description must have at least two characters.");
    if (item.display_category < 0 || item.display_category > 18)
        return Status::invalid("Invalid category");
    if (!(item.retail_price > 0)) return Status::invalid("Invalid retail price");
    if (item.quantity < 0) return Status::invalid("Invalid quantity in stock");
    if (!(item.cost_price > 0)) return Status::invalid("Invalid cost price");
    return Status::ok();
}

Status createItem(DataStore& store, InventoryRecord& item) {
    if (Status s = validateNewItem(item); !s) return s;
    item.last_reference = 0;
    std::memset(item.second_timestamp, 0, sizeof item.second_timestamp);
    item.second_timestamp[5] = ' ';  // the creation form: NUL, ..., ' ' at 2078, NUL at 2079
    item.reserved_int64[0] = item.reserved_int64[1] = item.reserved_int64[2] = 0;

    auto lock = store.lock();
    if (store.items().find(item.number)) return Status::invalid("Number in use.");
    return store.items().insert(&item);
}

Status deleteItem(DataStore& store, int64_t number) {
    // The delete and its log line are one batch.
    uint64_t ticket = 0;
    bool logged = true;
    {
        StoreFiles::Batch batch(store.files());
        auto slot = store.items().find(number);
        if (!slot) return Status::invalid("Does not exist");
        InventoryRecord item;
        if (Status s = store.items().read(*slot, &item); !s) return s;
        if (Status s = store.items().remove(*slot); !s) return s;
        const LocalTime now = store.clock().now();
        logged = store.journal().appendActivity(
            now, activity::itemDeleted(number, fieldText(item.description), timestampText(now)));
        if (Status s = batch.commit(&ticket); !s) return s;
    }
    if (Status s = store.waitDurable(ticket); !s) return s;
    if (!logged) return Status::notFound("Data log text file not present.", kTitleFatal);
    return Status::ok();
}

std::optional<InventoryRecord> readItem(DataStore& store, int64_t number, Status* error) {
    auto lock = store.lock();
    auto slot = store.items().find(number);
    if (!slot) return std::nullopt;
    InventoryRecord item;
    Status s = store.items().read(*slot, &item);
    if (!s) {
        if (error) *error = s;
        return std::nullopt;
    }
    return item;
}

Status amendItem(DataStore& store, int64_t originalNumber, const InventoryRecord& item) {
    if (item.number != originalNumber) return Status::invalid("Number cannot be changed");
    auto lock = store.lock();
    auto slot = store.items().find(originalNumber);
    if (!slot) return store.items().notPresent();
    return store.items().write(*slot, &item);
}

int64_t suggestItemNumber(DataStore& store) {
    auto lock = store.lock();
    StoreConfigRecord& cfg = store.config().record();
    int64_t candidate = numberAfterBase(cfg.options[kOptItemNumberBase]);
    if (candidate <= 0) {
        cfg.options[kOptItemNumberBase] = 0;
        candidate = 1;
    }
    return store.items().suggestNumber(candidate);
}

std::optional<InventoryRecord> findItemBySku1(DataStore& store, const std::string& sku) {
    auto lock = store.lock();
    auto slot = store.skus().find(sku);
    if (!slot) return std::nullopt;
    InventoryRecord item;
    if (!store.items().read(*slot, &item)) return std::nullopt;
    return item;
}

}  // namespace kassio
