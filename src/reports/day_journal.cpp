#include "reports/day_journal.h"

#include <cstring>

#include "base/text_format.h"

namespace kassio {

namespace {

// Whole records only: a short final record (a posting cut off by a crash
// before recovery) is left out, as every journal reader does.
template <typename Record>
bool readRecords(const StoreFiles& files, const std::string& name, std::vector<Record>* out) {
    auto data = files.readAll(name);
    if (!data) return false;
    out->resize(data->size() / sizeof(Record));
    if (!out->empty()) std::memcpy(out->data(), data->data(), out->size() * sizeof(Record));
    return true;
}

}  // namespace

DayJournal readDayJournal(DataStore& store, const Day& day, JournalParts parts) {
    DayJournal out;
    const std::string folder = formatted("%d/%d/%d/", day.year, day.month, day.day);
    std::lock_guard lock(store.mutex());
    out.hasSales = readRecords(store.files(), folder + "saleslog.dat", &out.sales);
    if (out.hasSales && parts == JournalParts::kSalesAndLines)
        out.hasLines = readRecords(store.files(), folder + "itemslog.dat", &out.lines);
    return out;
}

TransactionKind kindOf(const SaleRecord& sale) {
    if (sale.payment[0] == 'P') return TransactionKind::kBalancePayment;
    if (sale.payment[0] == 'R') return TransactionKind::kRefund;
    return TransactionKind::kSale;
}

}  // namespace kassio
