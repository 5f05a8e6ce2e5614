// TillData: what the till engine reads and posts, wherever the shop's files
// are. The main station's till works on its own DataStore (LocalTillData);
// a client station's till reaches the main station through the station
// procedures (StationTillData in server/). The till, its panels and the
// screen do not know which one they have.
//
// The StoreConfig the till reads (tax rates, clerks, options, devices) is
// the DataStore the till is given in both cases: a client station keeps a
// copy of the main station's in a folder of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/status.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"

namespace kassio {

// The quick-select category that stands for every category.
inline constexpr int kAllCategories = 18;

struct QuickSelectEntry {
    int64_t number = 0;  // 0 = empty button
    std::string description;
    std::string picture;  // "STOCK%d.bmp" or "m%I64d.bmp"
};

// A refund's choices from the refund panel.
struct RefundChoices {
    int kind = 0;     // 0 cash, 1 CH, 2 EFT, 3 credit
    int restock = 0;  // 0 back to stock, 1 faulty
};

struct TillPostOutcome {
    bool posted = false;           // the posting is done and on disk
    bool stopped = false;          // nothing of it stuck: the Basket may be offered again
    int64_t number = 0;            // the transaction number it took
    std::vector<Status> messages;  // for the clerk, in order
};

class TillData {
  public:
    virtual ~TillData() = default;

    // nullopt when there is no such item; *error is set (not ok) only when
    // the items could not be looked at (no item file, no main station).
    virtual std::optional<InventoryRecord> item(int64_t number, Status* error = nullptr) = 0;
    // The live item whose SKU 1 is exactly `sku`.
    virtual std::optional<InventoryRecord> itemBySku1(const std::string& sku) = 0;
    // Why no item could be looked at; ok when they could.
    virtual Status itemsReachable() = 0;

    virtual std::optional<CustomerRecord> customer(int64_t number, Status* error = nullptr) = 0;
    // The customers whose name matches `pattern` ('?' stands for any
    // character) from its start, in number order.
    virtual std::vector<CustomerRecord> customersNamed(const std::string& pattern) = 0;

    // Quick select: up to `want` items of display category `category`
    // (kAllCategories: any) that are not left out of quick select, in number
    // order: the first ones numbered above `after`, or the last ones
    // numbered below `before`.
    virtual std::vector<QuickSelectEntry> itemsAfter(int64_t after, int category,
                                                     std::size_t want) = 0;
    virtual std::vector<QuickSelectEntry> itemsBefore(int64_t before, int category,
                                                      std::size_t want) = 0;

    // The number the next posting will most likely take (shown before a
    // refund and stamped on the Basket); the posting gives the one it took.
    virtual int32_t nextTransaction() const = 0;

    // The log-on lines of a clerk.
    virtual Status logActivity(const LocalTime& now, const std::string& text) = 0;

    // The customer's side of a sale charged to an account (before the sale
    // is posted) and of a refund credited to one. Sets the Basket's balance
    // after a credit sale.
    virtual Status recordCustomerSale(int64_t customer, Basket& basket, bool onCredit) = 0;
    virtual Status creditCustomer(int64_t customer, double amount) = 0;

    // Posts a tendered sale or refund. A refund negates the Basket's totals.
    virtual TillPostOutcome postSale(Basket& basket, const std::string& clerkName) = 0;
    virtual TillPostOutcome postRefund(Basket& basket, const RefundChoices& choices,
                                       const std::string& clerkName) = 0;
};

}  // namespace kassio
