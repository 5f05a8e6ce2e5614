// Item-level rules of inventory.dat: creation with its validations, delete
// with its ActivityLog line, the offered number, lookups by number and SKU 1.
// Each function takes the DataMutex itself and has released it on return.
#pragma once

#include <cstdint>
#include <optional>

#include "base/status.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace kassio {

// A new item as the blank form offers it: all zero, picture 1, today's date,
// the default tax code and display category of the configuration.
InventoryRecord blankItem(const StoreConfig& config, const LocalTime& today);

// The form checks, in order, before anything is locked or written.
Status validateNewItem(const InventoryRecord& item);

// Validates, then stores the item in the first deleted slot or at the end.
// "Number in use." when the number is taken. The creation fields (last
// reference, second timestamp, reserved integers) are set on item.
Status createItem(DataStore& store, InventoryRecord& item);

// Marks the item's slot deleted and logs "Item %I64d, %s deleted.".
Status deleteItem(DataStore& store, int64_t number);

// Reads the item with this number; nullopt when there is none.
std::optional<InventoryRecord> readItem(DataStore& store, int64_t number, Status* error = nullptr);

// Writes an amended item back to its slot; its number cannot change.
Status amendItem(DataStore& store, int64_t originalNumber, const InventoryRecord& item);

// The number offered for a new item, from the configured item number base.
int64_t suggestItemNumber(DataStore& store);

// The first live item whose SKU 1 is exactly this text, as the till's SKU
// entry mode looks it up.
std::optional<InventoryRecord> findItemBySku1(DataStore& store, const std::string& sku);

}  // namespace kassio
