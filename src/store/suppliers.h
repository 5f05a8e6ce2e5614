// Supplier rules of suppliers.dat: view, new, amend and delete with their
// messages. Only the station's own screens use suppliers.
#pragma once

#include <cstdint>
#include <optional>

#include "base/status.h"
#include "store/data_store.h"
#include "store/supplier_record.h"

namespace kassio {

// "Does not exist" (title "Supplier") when the number is not in use.
std::optional<SupplierRecord> viewSupplier(DataStore& store, int64_t number, Status* error);

// 1 when free, else the number after the run of numbers starting at 1.
int64_t suggestSupplierNumber(DataStore& store);

Status createSupplier(DataStore& store, SupplierRecord& supplier);

// "Supplier does not exist" (title "Amend supplier") before the form
// opens; the number cannot change.
Status checkSupplierExists(DataStore& store, int64_t number, const std::string& title);
Status amendSupplier(DataStore& store, int64_t originalNumber, const SupplierRecord& supplier);

// On success the status carries "Supplier deleted." for the caller to show.
Status deleteSupplier(DataStore& store, int64_t number, std::string* doneMessage = nullptr);

}  // namespace kassio
