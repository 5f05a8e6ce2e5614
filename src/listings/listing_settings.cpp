#include "listings/listing_settings.h"

#include <functional>

#include "base/numbers.h"
#include "base/text_format.h"

namespace kassio {

namespace {

const char* const kColumnNames[kListingColumnCount] = {
    "Description",
    "SKU 1",
    "SKU 2",
    "SKU 3",
    "SKU 4",
    "Cost",
    "Trade",
    "Retail",
    "Order code",
    "On order",
    "Order quantity",
    "Minimum order",
    "Reorder level",
    "Tax code",
    "In stock",
    "Date added",
    "Display category",
    "Location",
    "Web URL",
    "Web image",
};

// Changes kq.cfg in memory and writes it whole, durable before returning.
Status saveChange(DataStore& store, const std::function<void(StoreConfigRecord&)>& change) {
    auto lock = store.lock();
    StoreConfigRecord before = store.config().record();
    change(store.config().record());
    Status s = store.saveConfig();
    if (!s) store.config().record() = before;
    return s;
}

}  // namespace

std::string listingFontSizeName(int index) {
    if (index <= 0 || index >= static_cast<int>(kListingFontSizes.size())) return "Printer default";
    return formatted("%d point", kListingFontSizes[static_cast<std::size_t>(index)]);
}

int listingFontPoints(const StoreConfig& config) {
    const int i = config.record().settings_a[kSetAListingFontSize];
    if (i <= 0 || i >= static_cast<int>(kListingFontSizes.size())) return 0;
    return kListingFontSizes[static_cast<std::size_t>(i)];
}

int listingIndent(const StoreConfig& config) {
    const int v = config.record().settings_b[kSetBListingIndent];
    return v < 0 || v > kMaxListingIndent ? 0 : v;
}

const char* listingColumnName(int column) {
    return column >= 0 && column < kListingColumnCount ? kColumnNames[column] : "";
}

std::array<bool, kListingColumnCount> listingColumns(const StoreConfig& config) {
    std::array<bool, kListingColumnCount> on{};
    for (int i = 0; i < kListingColumnCount; ++i)
        on[static_cast<std::size_t>(i)] = config.record().settings_a[kSetAListingColumns + i] != 0;
    return on;
}

Status setListingIndent(DataStore& store, const std::string& typed, std::string* done) {
    auto value = decimalNumber(typed);
    if (!value || *value != static_cast<int>(*value) || *value < 0 || *value > kMaxListingIndent)
        return Status::invalid("Outside range");
    const int indent = static_cast<int>(*value);
    if (Status s = saveChange(
            store, [indent](StoreConfigRecord& r) { r.settings_b[kSetBListingIndent] = indent; });
        !s)
        return s;
    *done = formatted("Indent set to %d", indent);
    return Status::ok();
}

Status setListingFontSize(DataStore& store, int index) {
    if (index < 0 || index >= static_cast<int>(kListingFontSizes.size()))
        return Status::invalid("Outside range");
    return saveChange(
        store, [index](StoreConfigRecord& r) { r.settings_a[kSetAListingFontSize] = index; });
}

Status setListingColumns(DataStore& store, const std::array<bool, kListingColumnCount>& columns) {
    return saveChange(store, [&columns](StoreConfigRecord& r) {
        for (int i = 0; i < kListingColumnCount; ++i)
            r.settings_a[kSetAListingColumns + i] = columns[static_cast<std::size_t>(i)] ? 2 : 0;
    });
}

}  // namespace kassio
