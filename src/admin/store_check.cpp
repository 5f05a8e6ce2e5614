#include "admin/store_check.h"

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <utility>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/text_format.h"
#include "store/customer_record.h"
#include "store/file_io.h"
#include "store/inventory_record.h"
#include "store/journal_format.h"
#include "store/record_file.h"
#include "store/store_config.h"
#include "store/store_files.h"

namespace kassio {
namespace {

using Amounts = std::initializer_list<std::pair<const char*, double>>;

void checkAmounts(std::vector<std::string>& out, const std::string& where, Amounts amounts) {
    for (const auto& [name, value] : amounts)
        if (!isSaneMoney(value))
            out.push_back(formatted("%s: %s is %g", where.c_str(), name, value));
}

template <typename Record, typename Check>
void checkRecords(std::vector<std::string>& out, const RecordFile& file, const char* kind,
                  Check check) {
    for (const IndexEntry& e : file.index().entries()) {
        if (e.number <= 0) continue;  // deleted slots and the end marker
        Record r;
        if (!file.read(e.slot, &r)) {
            out.push_back(formatted("%s %s %lld: cannot be read", file.spec().fileName.c_str(),
                                    kind, static_cast<long long>(e.number)));
            continue;
        }
        check(formatted("%s %s %lld", file.spec().fileName.c_str(), kind,
                        static_cast<long long>(e.number)),
              r);
    }
}

// The record size of a journal file by its name and depth under the
// DataFolder (YEAR/base.dat is the year's index; the base.dat of a month or
// day folder is a text marker), or 0 when it is no record file.
std::size_t journalRecordSize(const std::filesystem::path& relative) {
    const std::string name = relative.filename().string();
    const auto depth = std::distance(relative.begin(), relative.end());
    if (name == "base.dat") return depth == 2 ? sizeof(TransactionIndexEntry) : 0;
    if (name == "saleslog.dat") return sizeof(SaleRecord);
    if (name == "itemslog.dat") return sizeof(SaleLineRecord);
    if (name == "ininvent.dat") return sizeof(ReceivedRecord);
    return 0;
}

bool isYearFolder(const std::string& name) {
    if (name.size() != 4) return false;
    for (char c : name)
        if (c < '0' || c > '9') return false;
    return true;
}

template <typename Record, typename Check>
void checkJournalRecords(const StoreFiles& files, const std::string& where, Check check) {
    auto bytes = files.readAll(where);
    if (!bytes) return;
    for (std::size_t at = 0; at + sizeof(Record) <= bytes->size(); at += sizeof(Record)) {
        Record r;
        std::memcpy(&r, bytes->data() + at, sizeof r);
        check(formatted("%s record %zu", where.c_str(), at / sizeof(Record) + 1), r);
    }
}

// The files are read through the store, so that a posting journal a run
// left is laid over them: a record half applied at a kill is no fault.
void checkJournal(std::vector<std::string>& out, const StoreFiles& files) {
    namespace fs = std::filesystem;
    const std::string& folder = files.folder();
    std::error_code ec;
    for (const fs::directory_entry& year : fs::directory_iterator(folder, ec)) {
        if (!year.is_directory() || !isYearFolder(year.path().filename().string())) continue;
        for (auto it = fs::recursive_directory_iterator(year.path(), ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec || !it->is_regular_file()) continue;
            const fs::path relative = fs::relative(it->path(), folder);
            const std::size_t size = journalRecordSize(relative);
            if (size == 0) continue;
            const std::string where = relative.string();
            // The year index starts with a header of its own.
            const std::size_t header =
                size == sizeof(TransactionIndexEntry) ? kYearIndexHeaderSize : 0;
            uint64_t bytes = 0;
            if (files.size(where, &bytes) && bytes >= header && (bytes - header) % size != 0)
                out.push_back(formatted("%s: a partial record at the end (%llu stray bytes)",
                                        where.c_str(),
                                        static_cast<unsigned long long>((bytes - header) % size)));
            if (size == sizeof(SaleRecord)) {
                checkJournalRecords<SaleRecord>(
                    files, where, [&](const std::string& at, const SaleRecord& s) {
                        checkAmounts(out, at,
                                     {{"total", s.total},
                                      {"cost", s.cost},
                                      {"tax 1", s.tax1},
                                      {"tax 2", s.tax2},
                                      {"discount", s.discount},
                                      {"cash", s.cash},
                                      {"card", s.eft},
                                      {"cheque", s.cheque},
                                      {"balance after", s.balance_after}});
                    });
            } else if (size == sizeof(SaleLineRecord)) {
                checkJournalRecords<SaleLineRecord>(
                    files, where, [&](const std::string& at, const SaleLineRecord& l) {
                        checkAmounts(out, at,
                                     {{"total", l.total},
                                      {"cost", l.cost},
                                      {"tax 1", l.tax1},
                                      {"tax 2", l.tax2},
                                      {"discount", l.discount}});
                    });
            }
        }
    }
}

}  // namespace

std::vector<std::string> checkStoredValues(DataStore& store) {
    std::vector<std::string> out;
    auto lock = store.lock();
    checkRecords<InventoryRecord>(out, store.items(), "item",
                                  [&](const std::string& at, const InventoryRecord& r) {
                                      checkAmounts(out, at,
                                                   {{"cost price", r.cost_price},
                                                    {"trade price", r.trade_price},
                                                    {"retail price", r.retail_price},
                                                    {"delivery", r.delivery}});
                                  });
    checkRecords<CustomerRecord>(out, store.customers(), "customer",
                                 [&](const std::string& at, const CustomerRecord& r) {
                                     checkAmounts(out, at,
                                                  {{"purchases", r.total_purchases},
                                                   {"balance", r.balance},
                                                   {"credit limit", r.credit_limit}});
                                 });

    const StoreConfigRecord& cfg = store.config().record();
    if (cfg.next_transaction < 1 || cfg.next_transaction > kMaxTransactionNumber)
        out.push_back(formatted("kq.cfg: next transaction %d is outside 1..%d",
                                cfg.next_transaction, kMaxTransactionNumber));
    checkAmounts(out, "kq.cfg", {{"till float", cfg.default_till_float}});
    auto each = [&](const char* name, const double* values, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            if (!isSaneMoney(values[i]))
                out.push_back(formatted("kq.cfg: %s %zu is %g", name, i, values[i]));
    };
    each("money total", cfg.money, std::size(cfg.money));
    each("running total", cfg.running_totals, std::size(cfg.running_totals));
    each("sales total", cfg.sales_totals, std::size(cfg.sales_totals));
    each("discount", cfg.discounts, std::size(cfg.discounts));

    checkJournal(out, store.files());
    return out;
}

}  // namespace kassio
