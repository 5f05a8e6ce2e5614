// The customer panels on Qt (the CustomerForms port), the supplier form
// (SupplierForms) and the Shell port (QDesktopServices).
#pragma once

#include <QWidget>

#include "customers/customer_forms.h"
#include "customers/shell.h"
#include "inventory/supplier_maintenance.h"

namespace kassio {

class QtCustomerForms final : public CustomerForms {
  public:
    explicit QtCustomerForms(QWidget* parent) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    CustomerFormReply customerForm(const CustomerFormRequest& request) override;
    FormButton findCustomer(const FindCustomerView& first,
                            const std::function<std::optional<FindCustomerView>()>& next) override;
    void viewCustomer(const CustomerView& first,
                      const std::function<std::optional<CustomerView>()>& next,
                      const std::function<void()>& map) override;
    std::optional<std::string> numberOrName(const std::string& caption,
                                            const std::string& label) override;
    std::optional<std::string> amountPrompt(const std::string& caption,
                                            const std::string& initial) override;

  private:
    QWidget* m_parent;
};

class QtSupplierForms final : public SupplierForms {
  public:
    explicit QtSupplierForms(QWidget* parent) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    std::optional<SupplierFormFields> supplierForm(const std::string& title,
                                                   const SupplierFormFields& fields,
                                                   bool readOnly) override;

  private:
    QWidget* m_parent;
};

class QtShell final : public Shell {
  public:
    void open(const std::string& url) override;
};

}  // namespace kassio
