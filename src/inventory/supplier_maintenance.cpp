#include "inventory/supplier_maintenance.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "inventory/item_fields.h"
#include "store/suppliers.h"

namespace kassio {

SupplierFormFields supplierFields(const SupplierRecord& s) {
    SupplierFormFields f;
    f.number = formatted("%lld", static_cast<long long>(s.number));
    f.name = fieldText(s.name);
    f.road = fieldText(s.road);
    f.area = fieldText(s.area);
    f.town = fieldText(s.town);
    f.postcode = fieldText(s.postcode);
    f.telephone1 = fieldText(s.telephone1);
    f.extension = fieldText(s.extension);
    f.telephone2 = fieldText(s.telephone2);
    f.fax = fieldText(s.fax);
    f.contact = fieldText(s.contact);
    f.notes = fieldText(s.notes);
    f.comment1 = fieldText(s.comment1);
    f.origination = fieldText(s.origination);
    f.creditLimit = fieldText(s.credit_limit);
    f.terms = fieldText(s.terms);
    f.comment2 = fieldText(s.comment2);
    f.email = fieldText(s.email);
    return f;
}

void storeSupplierFields(const SupplierFormFields& f, SupplierRecord& s) {
    // The form takes one character less than the field's "limit", which
    // itself counts the terminator.
    auto put = [](auto& field, const std::string& text, std::size_t limit) {
        setFieldText(field, text.substr(0, limit - 1));
    };
    s.number = numberFromText(f.number.substr(0, 19));
    put(s.name, f.name, 41);
    put(s.road, f.road, 29);
    put(s.area, f.area, 29);
    put(s.town, f.town, 29);
    put(s.postcode, f.postcode, 9);
    put(s.telephone1, f.telephone1, 19);
    put(s.extension, f.extension, 19);
    put(s.telephone2, f.telephone2, 19);
    put(s.fax, f.fax, 19);
    put(s.contact, f.contact, 59);
    put(s.notes, f.notes, 199);
    put(s.comment1, f.comment1, 29);
    put(s.origination, f.origination, 39);
    put(s.credit_limit, f.creditLimit, 39);
    put(s.terms, f.terms, 39);
    put(s.comment2, f.comment2, 39);
    put(s.email, f.email, 39);
}

void SupplierMaintenance::show(const Status& status) {
    if (!status.isOk()) m_ui.error(status.message(), status.title());
}

std::optional<int64_t> SupplierMaintenance::askNumber(const std::string& caption) {
    auto text = m_ui.prompt(caption);
    if (!text) return std::nullopt;
    return numberFromText(*text);
}

void SupplierMaintenance::view() {
    auto number = askNumber("Supplier number");
    if (!number) return;
    Status error;
    auto supplier = viewSupplier(m_store, *number, &error);
    if (!supplier) {
        show(error);
        return;
    }
    m_forms.supplierForm("Supplier", supplierFields(*supplier), true);
}

void SupplierMaintenance::add() {
    SupplierFormFields fields;
    fields.number = formatted("%lld", static_cast<long long>(suggestSupplierNumber(m_store)));
    auto typed = m_forms.supplierForm("New supplier", fields, false);
    if (!typed) return;
    SupplierRecord supplier;
    std::memset(&supplier, 0, sizeof supplier);
    storeSupplierFields(*typed, supplier);
    show(createSupplier(m_store, supplier));
}

void SupplierMaintenance::amend() {
    auto number = askNumber("Enter the supplier number");
    if (!number) return;
    if (Status s = checkSupplierExists(m_store, *number, "Amend supplier"); !s) {
        show(s);
        return;
    }
    Status error;
    auto supplier = viewSupplier(m_store, *number, &error);
    if (!supplier) {
        show(error);
        return;
    }
    auto typed = m_forms.supplierForm("Amend supplier", supplierFields(*supplier), false);
    if (!typed) return;
    SupplierRecord edited = *supplier;
    storeSupplierFields(*typed, edited);
    show(amendSupplier(m_store, *number, edited));
}

void SupplierMaintenance::remove() {
    auto number = askNumber("Enter the supplier number");
    if (!number) return;
    std::string done;
    Status s = deleteSupplier(m_store, *number, &done);
    if (!s) {
        show(s);
        return;
    }
    m_ui.inform(done, "Delete supplier");
}

}  // namespace kassio
