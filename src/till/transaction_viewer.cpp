#include "till/transaction_viewer.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/status.h"
#include "base/text_format.h"

namespace kassio {

namespace {

template <std::size_t N, std::size_t M>
void copyField(char (&to)[N], const char (&from)[M]) {
    setFieldText(to, fieldText(from));
}

// "Cash", "EFT", "CH" and "Credit" are sales; the other payment words
// (Split, Refund, balance payments) stand alone.
std::string typeText(const std::string& payment) {
    if (payment == "Cash" || payment == "EFT" || payment == "CH" || payment == "Credit")
        return payment + " sale";
    return payment;
}

}  // namespace

void loadBasket(Basket& b, const RecalledTransaction& t) {
    std::memset(&b, 0, sizeof b);
    const SaleRecord& s = t.sale;
    b.number = s.number;
    b.reserved8 = s.reserved8;
    b.customer = s.customer;
    b.clerk = s.clerk;
    // Totals and tenders lie in the same order in both images (as posting
    // copies them the other way).
    std::memcpy(&b.total_non_taxable, &s.non_taxable,
                offsetof(Basket, time) - offsetof(Basket, total_non_taxable));
    copyField(b.time, s.time);
    copyField(b.date, s.date);
    copyField(b.customer_name, s.customer_name);
    copyField(b.customer_road, s.customer_road);
    copyField(b.customer_area, s.customer_area);
    copyField(b.customer_town, s.customer_town);
    copyField(b.customer_postcode, s.customer_postcode);
    copyField(b.customer_telephone, s.customer_telephone);
    copyField(b.payment_word, s.payment);
    for (int i = 0; i < 5; ++i) copyField(b.texts[i], s.copied_texts[i]);
    copyField(b.note, s.note);
    // The lines actually found in the items log: a line count that
    // disagrees with them must not make the layouts read empty lines.
    const int n = static_cast<int>(std::min<std::size_t>(t.lines.size(), kMaxBasketLines));
    b.line_count = n;
    for (int i = 0; i < n; ++i) {
        const SaleLineRecord& l = t.lines[i];
        b.item[i] = l.item;
        copyField(b.description[i], l.description);
        b.non_taxable[i] = l.non_taxable;
        b.taxable[i] = l.taxable;
        b.tax1[i] = l.tax1;
        b.tax2[i] = l.tax2;
        b.cost[i] = l.cost;
        b.discount[i] = l.discount;
        b.line_total[i] = l.total;
    }
}

TransactionFields transactionFields(const StoreConfig& cfg, const RecalledTransaction& t) {
    const SaleRecord& s = t.sale;
    TransactionFields f;
    f.number = formatted("%" PRId64, s.number);
    f.date = fieldText(s.date);
    f.time = fieldText(s.time);
    f.clerk = formatted("%d: %s", s.clerk, cfg.clerkName(s.clerk).c_str());
    f.items = formatted("%d", s.line_count);
    f.discount = formatted("%.2f", s.discount);
    f.customer = s.customer == 0
                     ? "N/A"
                     : formatted("%" PRId64 ", %s", s.customer, fieldText(s.customer_name).c_str());
    const std::string payment = fieldText(s.payment);
    f.paymentType = payment == "Split"
                        ? formatted("Cash: %.2f  CH: %.2f  EFT: %.2f", s.cash, s.cheque, s.eft)
                        : payment;
    f.nonTaxable = formatted("%.2f", s.non_taxable);
    f.taxable = formatted("%.2f", s.taxable);
    f.subTotal = formatted("%.2f", s.subtotal);
    f.tax1 = formatted("%.2f", s.tax1);
    f.tax2 = formatted("%.2f", s.tax2);
    f.total = formatted("%.2f", s.total);
    f.cashBack = formatted("%.2f", s.cash_back);
    f.notes = fieldText(s.note);
    f.type = typeText(payment);
    const std::string station = fieldText(s.copied_texts[0]);
    f.terminal = station.empty() ? "Server" : station;
    for (const SaleLineRecord& l : t.lines)
        f.inventory.push_back(
            formatted("%" PRId64 " %s  %.2f", l.item, fieldText(l.description).c_str(), l.total));
    return f;
}

TransactionFields TransactionViewer::fields() const {
    if (!m_shown) return {};
    auto lock = m_store.lock();
    return transactionFields(m_store.config(), *m_shown);
}

TransactionViewer::Lookup TransactionViewer::lookUp(int64_t number,
                                                    RecalledTransaction* out) const {
    auto lock = m_store.lock();
    const StoreConfigRecord& cfg = m_store.config().record();
    const int from = cfg.settings_a[kSetAHistoryStart + 2];
    const int to = m_store.clock().now().year;
    std::optional<TransactionRef> ref = m_store.journal().find(number, from, to);
    if (!ref) return Lookup::kNoIndexEntry;
    return recallAt(*ref, out);
}

TransactionViewer::Lookup TransactionViewer::recallAt(const TransactionRef& ref,
                                                      RecalledTransaction* out) const {
    auto lock = m_store.lock();
    const std::string path = m_store.journal().salesLogPath(ref.year, ref.month, ref.day);
    const std::string name = path.substr(m_store.folder().size() + 1);
    if (!m_store.files().exists(name)) return Lookup::kNoSalesLog;
    auto t = m_store.journal().recall(ref.number, ref.day, ref.month, ref.year);
    if (!t) return Lookup::kNoRecord;
    *out = std::move(*t);
    return Lookup::kFound;
}

bool TransactionViewer::open(int64_t number, Basket& basket) {
    RecalledTransaction t;
    return show(lookUp(number, &t), t, basket);
}

bool TransactionViewer::show(Lookup found, RecalledTransaction& t, Basket& basket) {
    switch (found) {
        case Lookup::kNoIndexEntry:
            m_ui.inform("No match found", kTitleFinished);
            return false;
        case Lookup::kNoSalesLog:
            m_ui.error("Unable to open sales log.", kTitleProblem);
            return false;
        case Lookup::kNoRecord:
            return false;
        case Lookup::kFound:
            break;
    }
    loadBasket(basket, t);
    m_shown = std::move(t);
    return true;
}

bool TransactionViewer::next(Basket& basket) {
    if (!m_shown) return false;
    for (int64_t n = m_shown->sale.number + 1; n <= kMaxTransactionNumber; ++n) {
        RecalledTransaction t;
        switch (lookUp(n, &t)) {
            case Lookup::kNoIndexEntry:
                m_ui.error("End of list.", kTitleProblem);
                return false;
            case Lookup::kNoSalesLog:
                m_ui.error("Unable to open sales log.", kTitleProblem);
                return false;
            case Lookup::kNoRecord:
                // Indexed but not in its day's log: nothing to show, so
                // the search goes on rather than stopping on a hole.
                continue;
            case Lookup::kFound:
                break;
        }
        if (m_discountedOnly && !(t.sale.discount > 0)) continue;
        loadBasket(basket, t);
        m_shown = std::move(t);
        return true;
    }
    m_ui.error("End of list.", kTitleProblem);
    return false;
}

std::optional<int64_t> TransactionViewer::askNumber(const std::string& caption, int64_t low,
                                                    int64_t high) {
    std::optional<std::string> answer = m_ui.prompt(caption);
    if (!answer) return std::nullopt;
    std::optional<int64_t> n = positiveNumber(*answer);
    if (!n || *n < low || *n > high) return std::nullopt;
    return n;
}

bool TransactionViewer::openFromList(PickListKind kind, int year, int month, int day,
                                     Basket& basket) {
    PickList list;
    {
        auto lock = m_store.lock();
        const StoreConfigRecord& cfg = m_store.config().record();
        LocalTime start;
        start.day = cfg.settings_a[kSetAHistoryStart];
        start.month = cfg.settings_a[kSetAHistoryStart + 1];
        start.year = cfg.settings_a[kSetAHistoryStart + 2];
        list = m_store.journal().pickList(kind, start, m_store.clock().now(), year, month, day);
    }
    if (!list.tooMany) {
        m_ui.error(list.tooMany.message(), list.tooMany.title());
        return false;
    }
    std::optional<int> picked = m_ui.pickFromList("Invoice list", list.texts);
    if (!picked || *picked < 0 || *picked >= static_cast<int>(list.entries.size())) return false;
    // The entry names its day: no second search that a number used in two
    // years could send elsewhere.
    RecalledTransaction t;
    return show(recallAt(list.entries[*picked], &t), t, basket);
}

bool TransactionViewer::choose(TransactionChoice choice, Basket& basket) {
    m_discountedOnly = choice == TransactionChoice::kDiscounted;
    m_shown.reset();
    switch (choice) {
        case TransactionChoice::kDisplay: {
            // The prompt port gives an empty answer and Cancel alike: both
            // open the list, which can itself be cancelled.
            std::optional<std::string> answer = m_ui.prompt("Transaction number (Enter to list)");
            if (!answer) return openFromList(PickListKind::kWholeHistory, 0, 0, 0, basket);
            std::optional<int64_t> n = positiveNumber(*answer);
            if (!n || *n < 1 || *n > kMaxTransactionNumber) return false;
            return open(*n, basket);
        }
        case TransactionChoice::kFind:
            return openFromList(PickListKind::kWholeHistory, 0, 0, 0, basket);
        case TransactionChoice::kDay: {
            auto d = askNumber("Please enter the day (1-31)", 1, 31);
            if (!d) return false;
            auto m = askNumber("Please enter the month (1-12)", 1, 12);
            if (!m) return false;
            auto y = askNumber("Please enter the year (yyyy)", 2000, 4000);
            if (!y) return false;
            return openFromList(PickListKind::kDay, static_cast<int>(*y), static_cast<int>(*m),
                                static_cast<int>(*d), basket);
        }
        case TransactionChoice::kMonth: {
            auto m = askNumber("Please enter the month (1-12)", 1, 12);
            if (!m) return false;
            auto y = askNumber("Please enter the year (yyyy)", 2000, 4000);
            if (!y) return false;
            return openFromList(PickListKind::kMonth, static_cast<int>(*y), static_cast<int>(*m), 0,
                                basket);
        }
        case TransactionChoice::kYear: {
            auto y = askNumber("Please enter the year (yyyy)", 2000, 4000);
            if (!y) return false;
            return openFromList(PickListKind::kYear, static_cast<int>(*y), 0, 0, basket);
        }
        case TransactionChoice::kDiscounted:
            return openFromList(PickListKind::kDiscounted, 0, 0, 0, basket);
        case TransactionChoice::kLast: {
            int64_t last = 0;
            {
                auto lock = m_store.lock();
                last = m_store.config().nextTransaction() - 1;
            }
            if (last < 1) {
                m_ui.inform("No match found", kTitleFinished);
                return false;
            }
            return open(last, basket);
        }
    }
    return false;
}

}  // namespace kassio
