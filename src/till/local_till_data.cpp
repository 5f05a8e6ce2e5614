#include "till/local_till_data.h"

#include <algorithm>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/customers.h"
#include "store/file_io.h"
#include "store/items.h"
#include "till/posting_internal.h"
#include "till/quick_select.h"
#include "till/stock_check.h"

namespace kassio {

bool namePatternMatches(const std::string& pattern, const std::string& text) {
    if (text.size() < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != '?' && pattern[i] != text[i]) return false;
    return true;
}

std::optional<InventoryRecord> LocalTillData::item(int64_t number, Status* error) {
    Status why;
    auto found = readItem(m_store, number, &why);
    if (!found && !why.isOk() && error) *error = m_store.items().notPresent();
    return found;
}

std::optional<InventoryRecord> LocalTillData::itemBySku1(const std::string& sku) {
    return findItemBySku1(m_store, sku);
}

Status LocalTillData::itemsReachable() {
    return fileExists(m_store.items().path()) ? Status::ok() : m_store.items().notPresent();
}

std::optional<CustomerRecord> LocalTillData::customer(int64_t number, Status* error) {
    return readCustomer(m_store, number, error);
}

std::vector<CustomerRecord> LocalTillData::customersNamed(const std::string& pattern) {
    std::vector<CustomerRecord> found;
    auto lock = m_store.lock();
    for (const IndexEntry& e : m_store.customers().index().entries()) {
        if (e.number < 0) continue;
        CustomerRecord c;
        if (!m_store.customers().read(e.slot, &c)) continue;
        if (namePatternMatches(pattern, fieldText(c.name))) found.push_back(c);
    }
    return found;
}

// The items from index position `start`, walking forwards, or backwards
// (nearest last) from just before it.
std::vector<QuickSelectEntry> LocalTillData::collect(std::size_t start, bool forward, int c,
                                                     std::size_t want) {
    std::vector<QuickSelectEntry> found;
    auto lock = m_store.lock();
    const auto& entries = m_store.items().index().entries();
    const SlotTexts& texts = m_store.itemTexts();
    auto take = [&](const IndexEntry& e) {
        if (e.number < 0) return;
        // The category and the omission are in memory: only the items
        // that go on a button are read.
        if ((c != kAllCategories && texts.number(item_texts::kDisplayCategory, e.slot) != c) ||
            texts.number(item_texts::kOmitFromQuickSelect, e.slot) == 2)
            return;
        InventoryRecord item;
        if (!m_store.items().read(e.slot, &item)) return;
        if ((c != kAllCategories && item.display_category != c) || item.omit_from_quick_select == 2)
            return;
        found.push_back(quickSelectEntryOf(item));
    };
    if (forward) {
        for (std::size_t p = start; p < entries.size() && found.size() < want; ++p)
            take(entries[p]);
    } else {
        for (std::size_t p = start; p > 0 && found.size() < want; --p) take(entries[p - 1]);
        std::reverse(found.begin(), found.end());
    }
    return found;
}

std::vector<QuickSelectEntry> LocalTillData::itemsAfter(int64_t after, int category,
                                                        std::size_t want) {
    std::size_t from;
    {
        auto lock = m_store.lock();
        from = m_store.items().index().lowerBound(after + 1);
    }
    return collect(from, true, category, want);
}

std::vector<QuickSelectEntry> LocalTillData::itemsBefore(int64_t before, int category,
                                                         std::size_t want) {
    std::size_t from;
    {
        auto lock = m_store.lock();
        from = m_store.items().index().lowerBound(before);
    }
    return collect(from, false, category, want);
}

int32_t LocalTillData::nextTransaction() const {
    // Client postings move the number on from the station server's threads.
    auto lock = m_store.lock();
    return m_store.config().nextTransaction();
}

Status LocalTillData::logActivity(const LocalTime& now, const std::string& text) {
    if (!m_store.journal().appendActivity(now, text))
        return Status::ioError("Unable to open log file", kTitleProblem);
    return Status::ok();
}

Status LocalTillData::recordCustomerSale(int64_t customer, Basket& b, bool onCredit) {
    auto lock = m_store.lock();
    auto slot = m_store.customers().find(customer);
    CustomerRecord c;
    if (!slot || !m_store.customers().read(*slot, &c)) return Status::ok();
    c.transactions += 1;
    setFieldText(c.last_used, timestampText(m_store.clock().now()));
    c.total_purchases += b.total;
    c.last_transaction = static_cast<int32_t>(b.number);
    if (onCredit) {
        c.balance += b.total;
        b.payment[kPayBalanceAfter] = c.balance;
    }
    return m_store.customers().write(*slot, &c);
}

Status LocalTillData::creditCustomer(int64_t customer, double amount) {
    auto lock = m_store.lock();
    auto slot = m_store.customers().find(customer);
    CustomerRecord c;
    if (!slot || !m_store.customers().read(*slot, &c)) return m_store.customers().notPresent();
    c.balance -= amount;
    setFieldText(c.last_used, timestampText(m_store.clock().now()));
    return m_store.customers().write(*slot, &c);
}

TillPostOutcome LocalTillData::postSale(Basket& b, const std::string& clerkName) {
    TillPostOutcome out;
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(m_store.journal().ensureMonthFolders(m_store.clock().now()));
    switch (checkBasketStock(m_store, b)) {
        case StockProblem::kNone:
            break;
        case StockProblem::kUnknownItem:
            out.stopped = true;
            out.messages.push_back(Status::invalid("Unknown item"));
            return out;
        case StockProblem::kNoItemFile:
        case StockProblem::kUnreadableItem:
        case StockProblem::kOutOfStock:
            out.stopped = true;
            out.messages.push_back(Status::invalid("Insufficient items"));
            return out;
    }
    SaleWriteOptions opt;
    opt.clerkName = clerkName;
    SalePostOutcome outcome = writeSale(m_store, b, opt);
    // The records are written either way; a failed flush is reported, and
    // the basket is not offered again, which would journal it twice.
    if (!outcome.failed && !m_store.waitDurable(outcome.ticket)) {
        outcome.messages.push_back(
            Status::ioError("Unable to write the sale to disk", kTitleFatal));
    }
    out.posted = outcome.posted;
    out.number = outcome.number;
    out.messages = std::move(outcome.messages);
    reopenAfterDiskFailure(out.messages);
    return out;
}

TillPostOutcome LocalTillData::postRefund(Basket& b, const RefundChoices& choices,
                                          const std::string& clerkName) {
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(m_store.journal().ensureDayFolders(m_store.clock().now()));
    RefundWriteOptions opt;
    opt.kind = choices.kind;
    opt.restock = choices.restock;
    opt.clerkName = clerkName;
    RefundPostOutcome outcome = writeRefund(m_store, b, opt);
    if (!outcome.failed && !m_store.waitDurable(outcome.ticket)) {
        outcome.messages.push_back(
            Status::ioError("Unable to write the refund to disk", kTitleFatal));
    }
    TillPostOutcome out;
    out.posted = outcome.posted;
    out.stopped = outcome.stopped;
    out.number = outcome.number;
    out.messages = std::move(outcome.messages);
    reopenAfterDiskFailure(out.messages);
    return out;
}

void LocalTillData::reopenAfterDiskFailure(std::vector<Status>& messages) {
    if (m_store.files().error()) return;
    // While the disk still fails, this fails too and postings stay refused.
    if (Status s = m_store.reopen(); !s) messages.push_back(s);
}

}  // namespace kassio
