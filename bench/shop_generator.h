// A synthetic shop for the benchmarks: a DataFolder of its own under the
// system's temporary folder, filled with the files a shop that has been
// trading for a while would have, and removed with everything in it when the
// GeneratedShop goes.
//
// Item and customer numbers are unique but lie shuffled across the slots, as
// they do after years of deletes and slot reuse, so loading has to sort for
// real. Every item has a unique SKU 1. Deleted item slots keep the old
// item's text (a delete only changes the number), which is what makes a
// lookup that ignores the prefix table go wrong.
//
// The same spec and seed always give the same shop on one build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace kassio::bench {

struct ShopSpec {
    std::size_t items = 1000;          // live items, numbered 1..items
    std::size_t deletedItemSlots = 0;  // extra slots of items deleted earlier
    std::size_t customers = 100;       // live customers, numbered 1..customers
    int journalDays = 0;               // days of sales ending today; 0: no journal
    int salesPerDay = 40;
    uint64_t seed = 1;
};

class GeneratedShop {
  public:
    // Writes the whole shop; exits the program with a message if it cannot,
    // since no benchmark means anything without its shop.
    GeneratedShop(const ShopSpec& spec, const LocalTime& today);
    ~GeneratedShop();
    GeneratedShop(const GeneratedShop&) = delete;
    GeneratedShop& operator=(const GeneratedShop&) = delete;

    const std::string& folder() const { return m_folder; }
    const ShopSpec& spec() const { return m_spec; }
    std::size_t itemSlots() const { return m_slotItems.size(); }
    // Transactions written to the journal (numbered 1..this).
    int64_t transactions() const { return m_transactions; }

    // The item whose text slot n holds, and whether it is still live. A
    // deleted slot's item number is above spec().items and is not in the
    // file any more (the slot's number there is -1).
    int64_t itemAtSlot(std::size_t slot) const { return m_slotItems[slot]; }
    bool slotLive(std::size_t slot) const {
        return m_slotItems[slot] <= static_cast<int64_t>(m_spec.items);
    }

    // The SKU 1 the generator gives the item with this number: thirteen
    // digits, unique for every number below ten thousand million and not in
    // number order.
    static std::string sku1For(int64_t itemNumber);

  private:
    void generate(const LocalTime& today);
    void writeConfig(const LocalTime& firstDay, int32_t nextTransaction);
    void writeItems(const LocalTime& today);
    void writeCustomers();
    void writeSuppliers();
    void writeJournal(const LocalTime& today);

    ShopSpec m_spec;
    std::string m_folder;
    std::vector<int64_t> m_slotItems;
    int64_t m_transactions = 0;
};

// Steps a calendar date by whole days (time of day kept).
LocalTime addDays(LocalTime t, int days);

}  // namespace kassio::bench
