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
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "store/data_store.h"

namespace kassio::bench {

struct ShopSpec {
    std::size_t items = 1000;          // live items, numbered 1..items
    std::size_t deletedItemSlots = 0;  // extra slots of items deleted earlier
    std::size_t customers = 100;       // live customers, numbered 1..customers
    int journalDays = 0;               // days of sales ending today; 0: no journal
    int salesPerDay = 40;
    int maxLines = 4;  // lines per sale, 1..maxLines
    // Every 20th transaction a cash refund of its lines and every 25th a
    // customer balance payment, instead of all cash sales.
    bool mixedKinds = false;
    uint64_t seed = 1;
    // Empty: a folder of its own under $TMPDIR, removed with the shop.
    // Else the shop lives in this folder and stays there: a later run with
    // the same spec finds it (by the note "generated-shop.txt" the generator
    // leaves) and uses it as it is, which spares writing gigabytes again.
    std::string keepIn;
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
    // Whether this run found the shop already written in ShopSpec::keepIn.
    bool reused() const { return m_reused; }
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
    bool m_reused = false;
};

// Steps a calendar date by whole days (time of day kept).
LocalTime addDays(LocalTime t, int days);

// Always the same moment, so that every run of a benchmark works on the same
// day of the generated journal.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(const LocalTime& now) : m_now(now) {}
    LocalTime now() const override { return m_now; }

  private:
    LocalTime m_now;
};

// Says what went wrong, under the benchmark program's name, and exits
// (running the static destructors, so generated shops are removed): a
// benchmark that cannot do its work has no figure to give.
[[noreturn]] void fail(const std::string& what);

// VmRSS of this process, in kilobytes; 0 when /proc cannot tell.
long residentKilobytes();

// A generated shop opened as a station opens its DataFolder, for the
// benchmarks that work on one running store for the whole run.
struct OpenShop {
    OpenShop(const ShopSpec& spec, const LocalTime& today);
    FixedClock clock;
    GeneratedShop files;
    DataStore store;
};

}  // namespace kassio::bench
