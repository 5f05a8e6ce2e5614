// Scripted CustomerForms and Shell: answers from queues, records what was shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "customers/customer_forms.h"
#include "customers/shell.h"
#include "support/scripted_answers.h"

namespace kassio::test {

class ScriptedCustomerForms final : public CustomerForms {
  public:
    CustomerFormReply customerForm(const CustomerFormRequest& request) override {
        requests.push_back(request);
        if (onForm) onForm();
        return takeNext(replies).value_or(CustomerFormReply{});
    }
    FormButton findCustomer(const FindCustomerView& first,
                            const std::function<std::optional<FindCustomerView>()>& next) override {
        return pressFindButtons(findButtons, findShown, first, next);
    }
    void viewCustomer(const CustomerView& first,
                      const std::function<std::optional<CustomerView>()>&,
                      const std::function<void()>& map) override {
        viewsShown.push_back(first);
        if (pressMap) map();
    }
    std::optional<std::string> numberOrName(const std::string& caption,
                                            const std::string&) override {
        captions.push_back(caption);
        return takeNext(entries);
    }
    std::optional<std::string> amountPrompt(const std::string& caption,
                                            const std::string& initial) override {
        captions.push_back(caption);
        amountInitial = initial;
        return amount;
    }

    std::deque<CustomerFormReply> replies;
    std::vector<CustomerFormRequest> requests;
    std::function<void()> onForm;
    std::deque<FormButton> findButtons;
    std::vector<FindCustomerView> findShown;
    std::vector<CustomerView> viewsShown;
    bool pressMap = false;
    std::deque<std::string> entries;
    std::vector<std::string> captions;
    std::optional<std::string> amount;
    std::string amountInitial;
};

class RecordingShell final : public Shell {
  public:
    void open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

}  // namespace kassio::test
