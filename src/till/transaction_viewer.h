// The transaction viewer: finding a posted transaction in the journal
// (by number, from a pick list, or the last one), loading it back into the
// Basket so the receipt and invoice layouts print it as they print a new
// sale, and the captions of the "Transaction" panel.
//
// The journal is read under the DataMutex; every message and list is shown
// after it is let go. Nothing in the journal is changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "store/basket.h"
#include "store/data_store.h"
#include "store/journal.h"

namespace kassio {

// How the Transactions menu chooses the transaction.
enum class TransactionChoice {
    kDisplay,     // "Display transaction": a number, or the whole history
    kFind,        // "Find transaction": the whole-history pick list
    kDay,         // "In specific day"
    kMonth,       // "In specific month"
    kYear,        // "In specific year"
    kDiscounted,  // "Discounted"
    kLast,        // "Reprint last receipt invoice"
};

// The panel's fields, as shown ("Number", "Date", ... "Terminal").
struct TransactionFields {
    std::string number, date, time, clerk, items, discount, customer, paymentType;
    std::string nonTaxable, taxable, subTotal, tax1, tax2, total, cashBack, notes, type;
    std::string terminal;
    std::vector<std::string> inventory;  // "%I64d %s  %.2f" per line
};

inline constexpr const char* kTransactionPanelNote =
    "The invoice inventory will reflect subsequent changes";

// Fills the Basket from a recalled transaction: the sale's totals, tenders,
// customer, texts and note, and its lines in order (at most 400).
void loadBasket(Basket& basket, const RecalledTransaction& t);
// The panel's fields for a transaction loaded into a Basket.
TransactionFields transactionFields(const StoreConfig& cfg, const RecalledTransaction& t);

class TransactionViewer {
  public:
    // Both outlive the viewer.
    TransactionViewer(DataStore& store, Ui& ui) : m_store(store), m_ui(ui) {}

    // Asks as the menu command does (prompts and pick lists) and opens the
    // chosen transaction into the Basket; false when the command ends
    // (cancelled, out of range, not found: the messages are shown).
    bool choose(TransactionChoice choice, Basket& basket);

    // Looks the number up in the kept years and loads it; false with
    // "No match found" or "Unable to open sales log." shown, or silently
    // when the sales log holds no such record.
    bool open(int64_t number, Basket& basket);

    // "Next": the following transaction (with a discount, when opened from
    // the discounted list); on "End of list." the shown one stays.
    bool next(Basket& basket);

    bool discountedOnly() const { return m_discountedOnly; }
    const std::optional<RecalledTransaction>& shown() const { return m_shown; }
    TransactionFields fields() const;

  private:
    enum class Lookup { kFound, kNoIndexEntry, kNoSalesLog, kNoRecord };
    Lookup lookUp(int64_t number, RecalledTransaction* out) const;
    Lookup recallAt(const TransactionRef& ref, RecalledTransaction* out) const;
    // Shows the lookup's message, or loads the transaction and keeps it.
    bool show(Lookup found, RecalledTransaction& t, Basket& basket);
    std::optional<int64_t> askNumber(const std::string& caption, int64_t low, int64_t high);
    bool openFromList(PickListKind kind, int year, int month, int day, Basket& basket);

    DataStore& m_store;
    Ui& m_ui;
    bool m_discountedOnly = false;
    std::optional<RecalledTransaction> m_shown;
};

}  // namespace kassio
