// LocalTillData: the main station's till on its own DataStore. Postings go
// through the posting journal and are on disk before they are answered.
#pragma once

#include "store/data_store.h"
#include "till/till_data.h"

namespace kassio {

class LocalTillData final : public TillData {
  public:
    explicit LocalTillData(DataStore& store) : m_store(store) {}

    std::optional<InventoryRecord> item(int64_t number, Status* error) override;
    std::optional<InventoryRecord> itemBySku1(const std::string& sku) override;
    Status itemsReachable() override;
    std::optional<CustomerRecord> customer(int64_t number, Status* error) override;
    std::vector<CustomerRecord> customersNamed(const std::string& pattern) override;
    std::vector<QuickSelectEntry> itemsAfter(int64_t after, int category,
                                             std::size_t want) override;
    std::vector<QuickSelectEntry> itemsBefore(int64_t before, int category,
                                              std::size_t want) override;
    int32_t nextTransaction() const override;
    Status logActivity(const LocalTime& now, const std::string& text) override;
    Status recordCustomerSale(int64_t customer, Basket& basket, bool onCredit) override;
    Status creditCustomer(int64_t customer, double amount) override;
    TillPostOutcome postSale(Basket& basket, const std::string& clerkName) override;
    TillPostOutcome postRefund(Basket& basket, const RefundChoices& choices,
                               const std::string& clerkName) override;

  private:
    std::vector<QuickSelectEntry> collect(std::size_t start, bool forward, int category,
                                          std::size_t want);
    // After a posting the disk refused: the station puts its files and its
    // memory back in step at once (recovery, then the data read again)
    // instead of refusing every posting until it is started again.
    void reopenAfterDiskFailure(std::vector<Status>& messages);

    DataStore& m_store;
};

// The customers' name pattern: '?' matches any character.
bool namePatternMatches(const std::string& pattern, const std::string& text);

}  // namespace kassio
