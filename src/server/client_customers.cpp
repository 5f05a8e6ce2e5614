#include "server/client_customers.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "customers/customer_fields.h"
#include "server/number_text.h"
#include "server/procedure.h"
#include "store/customers.h"
#include "till/till.h"

namespace kassio {

std::string ClientCustomers::offeredNumber() {
    if (m_local.config().record().options[kOptNoNewCustomerBox] != 0) return {};
    NumberText suggested;
    std::memset(&suggested, 0, sizeof suggested);
    if (!m_client.suggestCustomerNumber(suggested)) return {};
    return fieldText(suggested.text);
}

Status ClientCustomers::answer(const Status& call, int32_t result, bool adding) const {
    if (!call)
        return Status::ioError(
            "The main station cannot be reached: the customer was not saved. " + call.message(),
            "Offline");
    switch (result) {
        case kCustomerDone:
            return Status::ok();
        case kCustomerNumberOutOfRange:
            return Status::invalid("Invalid number.");
        case kCustomerNumberInUse:  // kCustomerNotFound for a change
            return Status::invalid(adding ? "That number is already in use at the main station."
                                          : "The main station has no customer of that number.");
        case kCustomerFileUnavailable:
            return Status::invalid("Data file: customer.dat, not present.");
        default:
            return Status::invalid(formatted("The main station refused the customer (%d)", result));
    }
}

void ClientCustomers::add() {
    CustomerFormRequest request;
    request.presentation = CustomerFormPresentation::kNew;
    request.fields = blankCustomerFields();
    request.fields.number = offeredNumber();
    request.focusNumber = request.fields.number.empty();
    request.terms = termsList(m_local.config());
    for (;;) {
        CustomerFormReply reply = m_forms.customerForm(request);
        if (reply.button == FormButton::kCancel) return;
        CustomerRecord c = blankCustomer();
        storeCustomerFields(reply.fields, c, true);
        Status s = validateNewCustomer(c);
        if (s) {
            int32_t result = -1;
            const Status call = m_client.addCustomer(c, result);
            s = answer(call, result, true);
        }
        if (!s) {
            // The form comes back as it was typed, to be put right.
            m_ui.error(s.message(), s.title());
            request.presentation = CustomerFormPresentation::kAmend;
            request.fields = reply.fields;
            request.focusNumber = false;
            continue;
        }
        m_ui.inform("Saved.", "Customer");
        if (reply.button != FormButton::kNext) return;
        request.presentation = CustomerFormPresentation::kNew;
        request.fields = blankCustomerFields();
        request.fields.number = offeredNumber();
        request.focusNumber = request.fields.number.empty();
    }
}

void ClientCustomers::amend() {
    auto entry = m_forms.numberOrName("Amend customer", "Number / name");
    if (!entry) return;
    // Found as the till's Account button finds a customer.
    std::optional<CustomerRecord> found = pickCustomerFrom(m_data, m_ui, *entry);
    if (!found) return;
    CustomerFormRequest request;
    request.presentation = CustomerFormPresentation::kAmend;
    request.fields = customerFields(*found);
    request.terms = termsList(m_local.config());
    CustomerFormReply reply = m_forms.customerForm(request);
    if (reply.button == FormButton::kCancel) return;
    CustomerRecord edited = *found;
    storeCustomerFields(reply.fields, edited, false);
    if (edited.number != found->number) {
        m_ui.error("Number cannot be changed", kTitleProblem);
        return;
    }
    if (fieldText(edited.name).size() < 2) {
        m_ui.error("The name must have at least two characters.", kTitleProblem);
        return;
    }
    int32_t result = -1;
    const Status call = m_client.changeCustomer(edited, result);
    if (Status s = answer(call, result, true); !s) {
        m_ui.error(s.message(), s.title());
        return;
    }
    m_ui.inform("Saved.", "Customer");
}

}  // namespace kassio
