// Port: the customer panels (customer form, "FIND CUSTOMER", the "CUSTOMER"
// view, the "Number / name" prompt and the balance prompt). Each call shows
// one panel and returns a core value; the Qt adapter is in ui/backoffice,
// tests script them. Never called with the DataMutex held.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "customers/customer_fields.h"
#include "platform/form_button.h"

namespace kassio {

// New: title "NEW CUSTOMER", "&Next" shown, Balance editable. Amend: title
// "Amend customer", "&Next" and Balance hidden.
enum class CustomerFormPresentation { kNew, kAmend };

struct CustomerFormRequest {
    CustomerFormPresentation presentation = CustomerFormPresentation::kNew;
    CustomerFormFields fields;
    bool focusNumber = false;          // Number empty and focused
    std::array<std::string, 8> terms;  // the Terms list, band 1..8
};

struct CustomerFormReply {
    FormButton button = FormButton::kCancel;  // kOk, kNext or kCancel
    CustomerFormFields fields;
};

// "FIND CUSTOMER": one match of a name search.
struct FindCustomerView {
    std::string number, name, address, telephone, group, totalPurchases, comment, creditCard,
        transactions, origination, balance;
};

// The read-only "CUSTOMER" view, every field as text.
struct CustomerView {
    std::vector<std::pair<std::string, std::string>> rows;  // label, value
};

class CustomerForms {
  public:
    virtual ~CustomerForms() = default;

    virtual CustomerFormReply customerForm(const CustomerFormRequest& request) = 0;

    // Shows the first match; "Next" calls next() and the form closes when it
    // gives nullopt. kOk takes the shown customer.
    virtual FormButton findCustomer(
        const FindCustomerView& first,
        const std::function<std::optional<FindCustomerView>()>& next) = 0;

    // "Next" calls next() (nullopt after the last: the form closes); "Map"
    // calls map() for the customer shown.
    virtual void viewCustomer(const CustomerView& first,
                              const std::function<std::optional<CustomerView>()>& next,
                              const std::function<void()>& map) = 0;

    // The two-line prompt: caption, a framed label ("Number / name" or
    // "Name") and one upper-case entry of up to 29 characters. nullopt on
    // Cancel or an empty entry.
    virtual std::optional<std::string> numberOrName(const std::string& caption,
                                                    const std::string& label) = 0;

    // A one-line prompt whose entry starts with initial; unlike the Ui
    // prompt an empty entry comes back as "" (nullopt only on Cancel).
    virtual std::optional<std::string> amountPrompt(const std::string& caption,
                                                    const std::string& initial) = 0;
};

}  // namespace kassio
