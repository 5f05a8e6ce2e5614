#include "inventory/bundles.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "inventory/item_fields.h"
#include "store/items.h"

namespace kassio {

namespace {

using SlotField = char (InventoryRecord::*)[20];
constexpr SlotField kSlots[kBundleSlots] = {
    &InventoryRecord::format,
    &InventoryRecord::bundle_component2,
    &InventoryRecord::bundle_component3,
    &InventoryRecord::bundle_component4,
    &InventoryRecord::bundle_component5,
    &InventoryRecord::bundle_component6,
};

std::string cut(const std::string& text, std::size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}

std::optional<int64_t> componentNumber(const std::string& text) {
    auto n = positiveNumber(text);
    if (!n || *n > kMaxRecordNumber) return std::nullopt;
    return n;
}

}  // namespace

std::array<std::string, kBundleSlots> bundleComponents(const InventoryRecord& item) {
    std::array<std::string, kBundleSlots> out;
    for (int n = 0; n < kBundleSlots; ++n) out[n] = fieldText(item.*kSlots[n]);
    return out;
}

void setBundleComponent(InventoryRecord& item, int slot, const std::string& number) {
    char(&field)[20] = item.*kSlots[slot];
    std::memset(field, 0, sizeof field);
    setFieldText(field, cut(number, kBundleNumberLimit));
}

std::array<std::optional<int64_t>, kBundleSlots> bundleComponentNumbers(
    const InventoryRecord& item) {
    std::array<std::optional<int64_t>, kBundleSlots> out;
    auto texts = bundleComponents(item);
    for (int n = 0; n < kBundleSlots; ++n) out[n] = componentNumber(texts[n]);
    return out;
}

BundleFormFields blankBundleFields(const StoreConfig& config, const LocalTime& today) {
    ItemFormFields item = blankItemFields(config, today);
    BundleFormFields f;
    f.day = item.day;
    f.month = item.month;
    f.year = item.year;
    f.displayCategory = item.displayCategory;
    return f;
}

BundleFormFields bundleFields(DataStore& store, const InventoryRecord& bundle,
                              const LocalTime& today) {
    ItemFormFields item = itemFields(bundle, today);
    BundleFormFields f;
    f.number = item.number;
    f.description = item.description;
    f.sku = item.sku;
    f.day = item.day;
    f.month = item.month;
    f.year = item.year;
    f.delivery = item.delivery;
    f.weight = item.weight;
    f.displayCategory = item.displayCategory;
    f.notes = item.notes;
    auto texts = bundleComponents(bundle);
    for (int n = 0; n < kBundleSlots; ++n) {
        BundleRow& row = f.rows[n];
        row.number = texts[n];
        if (auto number = componentNumber(texts[n]))
            if (auto c = readItem(store, *number)) row.description = fieldText(c->description);
        row.free = bundle.bundle_free[n] == 2;
        int q = bundle.bundle_quantity[n];
        row.quantityIndex = q >= 1 && q <= kBundleMaxQuantity ? q - 1 : 0;
    }
    return f;
}

void storeBundleFields(const BundleFormFields& f, InventoryRecord& bundle) {
    bundle.number = numberFromText(cut(f.number, 19));
    setFieldText(bundle.description, cut(f.description, kItemTextLimit));
    setFieldText(bundle.sku1, cut(f.sku[0], kItemTextLimit));
    setFieldText(bundle.sku2, cut(f.sku[1], kItemTextLimit));
    setFieldText(bundle.sku3, cut(f.sku[2], kItemTextLimit));
    setFieldText(bundle.sku4, cut(f.sku[3], kItemTextLimit));
    setFieldText(bundle.date_added, formatted("%02d/%02d/%d", f.day, f.month, f.year));
    bundle.delivery = decimalFromText(f.delivery);
    bundle.weight = decimalFromText(f.weight);
    bundle.display_category = f.displayCategory;
    setFieldText(bundle.notes, cut(f.notes, kItemNotesLimit));
    for (int n = 0; n < kBundleSlots; ++n) {
        const BundleRow& row = f.rows[n];
        setBundleComponent(bundle, n, row.number);
        bundle.bundle_free[n] = row.free ? 2 : 0;
        bundle.bundle_quantity[n] = row.quantityIndex + 1;
    }
    bundle.kind = kItemKindBundle;
}

Status validateNewBundle(DataStore& store, const InventoryRecord& bundle) {
    if (bundle.number < 1 || bundle.number > kMaxRecordNumber)
        return Status::invalid("Number outside range.");
    if (fieldText(bundle.description).size() < 2)
        return Status::invalid("The description must have at least two characters.");
    if (bundle.display_category < 0 || bundle.display_category > 18)
        return Status::invalid("Invalid category");
    // Every filled slot must name an item that exists and is not a bundle
    // (the till would otherwise refuse the sale part way, or loop on a bundle
    // that holds itself); at least one slot must be filled.
    bool any = false;
    auto texts = bundleComponents(bundle);
    for (int n = 0; n < kBundleSlots; ++n) {
        if (texts[n].empty()) continue;
        auto number = componentNumber(texts[n]);
        auto item = number ? readItem(store, *number) : std::nullopt;
        if (!item || item->kind == kItemKindBundle) return Status::invalid("No items selected");
        any = true;
    }
    if (!any) return Status::invalid("No items selected");
    return Status::ok();
}

std::optional<BundleRow> selectBundleComponent(InventoryMaintenance& inventory) {
    auto text = inventory.ui().prompt("Item number");
    if (!text) return std::nullopt;
    auto number = componentNumber(*text);
    if (!number) return std::nullopt;
    auto item = readItem(inventory.store(), *number);
    if (!item) return std::nullopt;
    if (item->kind == kItemKindBundle) {
        inventory.show(Status::invalid("Bundle may not contain a bundle"));
        return std::nullopt;
    }
    BundleRow row;
    row.number = formatted("%lld", static_cast<long long>(item->number));
    row.description = fieldText(item->description);
    return row;
}

void newBundle(InventoryMaintenance& inventory) {
    DataStore& store = inventory.store();
    const bool offer = store.config().record().options[kOptNoNewInventoryBox] == 0;
    auto offered = [&]() -> std::string {
        return offer ? formatted("%lld", static_cast<long long>(suggestItemNumber(store))) : "";
    };
    BundleFormRequest request;
    request.title = "Add inventory bundle";
    request.presentation = ItemFormPresentation::kBlank;
    request.fields = blankBundleFields(store.config(), inventory.now());
    request.fields.number = offered();
    request.focusNumber = !offer;
    for (int c = 0; c < kDisplayCategories; ++c)
        request.categoryNames[c] = store.config().categoryCode(c);
    request.select = [&inventory] { return selectBundleComponent(inventory); };

    for (;;) {
        BundleFormReply reply = inventory.forms().bundleForm(request);
        if (reply.button == FormButton::kCancel) return;

        InventoryRecord bundle;
        std::memset(&bundle, 0, sizeof bundle);
        bundle.picture_number = 1;
        storeBundleFields(reply.fields, bundle);
        if (Status s = validateNewBundle(store, bundle); !s) {
            inventory.refuse(s);
            request.presentation = ItemFormPresentation::kAmend;
            request.fields = reply.fields;
            request.focusNumber = false;
            continue;
        }
        // The creation values of an item; the price, stock and tax checks of
        // an item do not apply to a bundle.
        bundle.last_reference = 0;
        std::memset(bundle.second_timestamp, 0, sizeof bundle.second_timestamp);
        bundle.second_timestamp[5] = ' ';
        Status s;
        {
            auto lock = store.lock();
            s = store.items().find(bundle.number) ? Status::invalid("Number in use.")
                                                  : store.items().insert(&bundle);
        }
        if (!s) {
            inventory.show(s);
            return;
        }
        if (reply.button == FormButton::kNext) {
            request.presentation = ItemFormPresentation::kBlank;
            request.fields = blankBundleFields(store.config(), inventory.now());
            request.fields.number = offered();
            request.focusNumber = !offer;
        } else if (reply.button == FormButton::kCopy) {
            request.presentation = ItemFormPresentation::kCopy;
            request.fields = reply.fields;
            request.fields.number = offered();
            request.focusNumber = !offer;
        } else {
            inventory.confirmSound();
            return;
        }
    }
}

void amendBundle(InventoryMaintenance& inventory, const ItemHit& hit) {
    DataStore& store = inventory.store();
    BundleFormRequest request;
    request.title = "Amend bundle";
    request.presentation = ItemFormPresentation::kAmend;
    request.fields = bundleFields(store, hit.item, inventory.now());
    for (int c = 0; c < kDisplayCategories; ++c)
        request.categoryNames[c] = store.config().categoryCode(c);
    request.select = [&inventory] { return selectBundleComponent(inventory); };
    BundleFormReply reply = inventory.forms().bundleForm(request);
    if (reply.button == FormButton::kCancel) return;

    InventoryRecord edited = hit.item;
    storeBundleFields(reply.fields, edited);
    if (edited.number != hit.item.number) {
        inventory.show(Status::invalid("Number cannot be changed"));
        return;
    }
    if (fieldText(edited.description).size() < 2) {
        inventory.refuse(Status::invalid("The title must have at least two characters."));
        return;
    }
    Status s = inventory.updateItem(
        edited.number, [&](InventoryRecord& item) { storeBundleFields(reply.fields, item); });
    if (!s) {
        inventory.show(s);
        return;
    }
    inventory.confirmSound();
}

BundleView bundleView(InventoryMaintenance& inventory, const InventoryRecord& bundle) {
    DataStore& store = inventory.store();
    BundleView v;
    v.rows = {
        {"Number", formatted("%lld", static_cast<long long>(bundle.number))},
        {"Description", fieldText(bundle.description)},
        {"SKU 1", fieldText(bundle.sku1)},
        {"SKU 2", fieldText(bundle.sku2)},
        {"SKU 3", fieldText(bundle.sku3)},
        {"SKU 4", fieldText(bundle.sku4)},
        {"Display category", categoryName(store.config(), bundle.display_category)},
        {"Date added", dateAddedText(fieldText(bundle.date_added))},
        {"Delivery", formatted("%.2f", bundle.delivery)},
        {"Weight", formatted("%.2f", bundle.weight)},
        {"Notes", fieldText(bundle.notes)},
    };
    auto texts = bundleComponents(bundle);
    for (int n = 0; n < kBundleSlots; ++n) {
        if (texts[n].empty()) continue;
        BundleView::Component c;
        c.number = texts[n];
        if (auto number = componentNumber(texts[n]))
            if (auto item = readItem(store, *number)) c.description = fieldText(item->description);
        c.free = bundle.bundle_free[n] == 2;
        c.quantity = bundle.bundle_quantity[n] >= 1 ? bundle.bundle_quantity[n] : 1;
        v.components.push_back(c);
    }
    return v;
}

}  // namespace kassio
