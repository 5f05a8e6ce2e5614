#include "store/suppliers.h"

namespace kassio {

std::optional<SupplierRecord> viewSupplier(DataStore& store, int64_t number, Status* error) {
    auto lock = store.lock();
    auto slot = store.suppliers().find(number);
    if (!slot) {
        if (error) *error = Status::invalid("Does not exist", "Supplier");
        return std::nullopt;
    }
    SupplierRecord s;
    if (Status st = store.suppliers().read(*slot, &s); !st) {
        if (error) *error = st;
        return std::nullopt;
    }
    return s;
}

int64_t suggestSupplierNumber(DataStore& store) {
    auto lock = store.lock();
    return store.suppliers().suggestNumber(1);
}

Status createSupplier(DataStore& store, SupplierRecord& supplier) {
    if (supplier.number < 1 || supplier.number > kMaxSupplierNumber)
        return Status::invalid("Number outside range.");
    auto lock = store.lock();
    if (store.suppliers().find(supplier.number)) return Status::invalid("Number in use.");
    return store.suppliers().insert(&supplier);
}

Status checkSupplierExists(DataStore& store, int64_t number, const std::string& title) {
    auto lock = store.lock();
    if (!store.suppliers().find(number)) return Status::invalid("Supplier does not exist", title);
    return Status::ok();
}

Status amendSupplier(DataStore& store, int64_t originalNumber, const SupplierRecord& supplier) {
    if (supplier.number != originalNumber) return Status::invalid("Not possible to change number");
    auto lock = store.lock();
    auto slot = store.suppliers().find(originalNumber);
    if (!slot) return Status::invalid("Supplier does not exist", "Amend supplier");
    return store.suppliers().write(*slot, &supplier);
}

Status deleteSupplier(DataStore& store, int64_t number, std::string* doneMessage) {
    auto lock = store.lock();
    auto slot = store.suppliers().find(number);
    if (!slot) return Status::invalid("Supplier does not exist", "Delete supplier");
    if (Status s = store.suppliers().remove(*slot); !s) return s;
    if (doneMessage) *doneMessage = "Supplier deleted.";
    return Status::ok();
}

}  // namespace kassio
