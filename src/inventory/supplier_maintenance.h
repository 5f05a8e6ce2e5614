// The supplier commands (view, new, amend, delete) with their prompts and
// messages, over the rules of store/suppliers.h. Only the station's own
// screens use suppliers; client stations never see them.
#pragma once

#include <optional>
#include <string>

#include "platform/ui.h"
#include "store/data_store.h"
#include "store/supplier_record.h"

namespace kassio {

// The supplier form's fields as typed. "The number is required. All other
// fields are text and may be used as required."
struct SupplierFormFields {
    std::string number, name, road, area, town, postcode, telephone1, extension, telephone2, fax,
        contact, notes, comment1, origination, creditLimit, terms, comment2, email;
};

// Port: the supplier form. title is "Supplier" (read-only), "New supplier"
// or "Amend supplier". Gives the fields on OK, nullopt on Cancel.
class SupplierForms {
  public:
    virtual ~SupplierForms() = default;
    virtual std::optional<SupplierFormFields> supplierForm(const std::string& title,
                                                           const SupplierFormFields& fields,
                                                           bool readOnly) = 0;
};

SupplierFormFields supplierFields(const SupplierRecord& supplier);
// Texts cut to the form's limits (one less than each field's width).
void storeSupplierFields(const SupplierFormFields& fields, SupplierRecord& supplier);

class SupplierMaintenance {
  public:
    SupplierMaintenance(DataStore& store, Ui& ui, SupplierForms& forms)
        : m_store(store), m_ui(ui), m_forms(forms) {}

    void view();
    void add();
    void amend();
    void remove();

  private:
    std::optional<int64_t> askNumber(const std::string& caption);
    void show(const Status& status);

    DataStore& m_store;
    Ui& m_ui;
    SupplierForms& m_forms;
};

}  // namespace kassio
