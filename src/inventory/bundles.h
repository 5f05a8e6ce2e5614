// Bundles: an item record of kind 2 that groups up to six other items, each
// with a quantity (1..50) and a free mark. The till sells a bundle by adding
// its components one by one (free ones at price 0); here are the bundle
// form's fields, New bundle, Amend bundle and the bundle view.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "inventory/inventory_maintenance.h"
#include "inventory/item_forms.h"
#include "store/inventory_record.h"

namespace kassio {

inline constexpr int kBundleSlots = 6;
inline constexpr int kBundleMaxQuantity = 50;
// Component numbers are decimal text of at most 18 characters.
inline constexpr std::size_t kBundleNumberLimit = 18;

// The six component texts in slot order (format, 1942, 1962, 590, 610, 650).
std::array<std::string, kBundleSlots> bundleComponents(const InventoryRecord& item);
void setBundleComponent(InventoryRecord& item, int slot, const std::string& number);

// Components that name a number from 1 to 10^17, in slot order.
std::array<std::optional<int64_t>, kBundleSlots> bundleComponentNumbers(
    const InventoryRecord& item);

BundleFormFields blankBundleFields(const StoreConfig& config, const LocalTime& today);
// The bundle as the amend presentation shows it; component descriptions are
// read from the item file.
BundleFormFields bundleFields(DataStore& store, const InventoryRecord& bundle,
                              const LocalTime& today);
// Stores the form into the record and marks it a bundle.
void storeBundleFields(const BundleFormFields& fields, InventoryRecord& bundle);

// The checks of a new bundle, in order: number range, description, category,
// then at least one component that names an existing item that is not a
// bundle, and no component naming anything else ("No items selected").
Status validateNewBundle(DataStore& store, const InventoryRecord& bundle);

// The "Select" button: prompt "Item number", then the row to show.
std::optional<BundleRow> selectBundleComponent(InventoryMaintenance& inventory);

void newBundle(InventoryMaintenance& inventory);
void amendBundle(InventoryMaintenance& inventory, const ItemHit& hit);
BundleView bundleView(InventoryMaintenance& inventory, const InventoryRecord& bundle);

}  // namespace kassio
