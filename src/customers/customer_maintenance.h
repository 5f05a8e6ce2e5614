// The back-office customer operations: Add, Amend, Amend balance, Delete,
// Prune, the finds, the loyalty card, the view form with its map search,
// and the customer look-up that the tenders, refunds and "Associate
// customer" use.
//
// Every operation runs on the UI thread and holds the DataMutex only inside
// the store calls and the scans, never while a form or box waits. A record
// shown to the clerk is read again under the lock before it is changed, so a
// sale a client station put on the customer's account in the meantime is
// not undone by writing back the old balance.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "customers/customer_forms.h"
#include "customers/customer_search.h"
#include "customers/shell.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

// The StoreConfig count of customers added (int64 option table).
inline constexpr int kOptCustomersAdded = optionAt(4392);

// The customer for a "Number / name" answer: a number of 1 or more (up to
// maxNumber) is looked up by number; other text is a name search by initial
// characters, shown in the "FIND CUSTOMER" form or, in list mode, picked
// from "Please select". Messages go through ui; nullopt when none was chosen.
std::optional<CustomerHit> lookUpCustomerHit(DataStore& store, Ui& ui, CustomerForms& forms,
                                             const std::string& entry,
                                             int64_t maxNumber = INT64_MAX);

// The picker the till's tenders, refunds and "Associate customer" call.
std::optional<CustomerRecord> lookUpCustomer(DataStore& store, Ui& ui, CustomerForms& forms,
                                             const std::string& entry);

class CustomerMaintenance {
  public:
    CustomerMaintenance(DataStore& store, Ui& ui, CustomerForms& forms, Sound& sound, Shell& shell);

    void add();
    // loaded: the customer already loaded at the till (no prompt then).
    void amend(std::optional<int64_t> loaded = std::nullopt);
    void amendBalance();
    void remove();
    void prune();
    void find();
    void findThatContain();
    void findTelephone();
    void loyaltyCard();

    // Reads the customer with this number again under the lock, lets
    // change() alter it and writes it back ("write current customer"); the
    // failures come back for the caller to show.
    Status updateCustomer(int64_t number, const std::function<void(CustomerRecord&)>& change,
                          CustomerRecord* before = nullptr, CustomerRecord* written = nullptr);

    void showCustomer(const CustomerRecord& customer);
    CustomerView customerView(const CustomerRecord& customer) const;
    void openMap(const CustomerRecord& customer);

  private:
    std::optional<CustomerHit> askAndLookUp(const std::string& caption,
                                            int64_t maxNumber = INT64_MAX);
    std::optional<CustomerHit> offerMatches(
        const std::function<std::optional<CustomerHit>(uint64_t, Status*)>& next,
        const std::function<std::string(const CustomerRecord&)>& text, const std::string& title,
        const std::function<bool(const CustomerRecord&)>& stillMatches);
    // Marks the customer's slot deleted (number -1, first two name bytes 0).
    Status deleteSlot(int64_t number, std::string* name);
    Status logActivity(const std::string& text);
    void refuse(const Status& status);
    void show(const Status& status);

    DataStore& m_store;
    Ui& m_ui;
    CustomerForms& m_forms;
    Sound& m_sound;
    Shell& m_shell;
};

}  // namespace kassio
