// Scripted CustomerForms and Shell: answers from queues, records what was shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "customers/customer_forms.h"
#include "customers/shell.h"

namespace kassio::test {

class ScriptedCustomerForms final : public CustomerForms {
public:
    CustomerFormReply customerForm(const CustomerFormRequest& request) override {
        requests.push_back(request);
        if (onForm) onForm();
        if (replies.empty()) return {};
        auto r = replies.front();
        replies.pop_front();
        return r;
    }
    FormButton findCustomer(const FindCustomerView& first,
                            const std::function<std::optional<FindCustomerView>()>& next) override {
        findShown.push_back(first);
        while (!findButtons.empty()) {
            FormButton b = findButtons.front();
            findButtons.pop_front();
            if (b != FormButton::kNext) return b;
            auto v = next();
            if (!v) return FormButton::kCancel;
            findShown.push_back(*v);
        }
        return FormButton::kCancel;
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
        if (entries.empty()) return std::nullopt;
        auto e = entries.front();
        entries.pop_front();
        return e;
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
