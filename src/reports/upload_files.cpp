#include "reports/upload_files.h"

#include <cstring>
#include <unordered_map>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "reports/activity_summary.h"
#include "reports/stock_lists.h"

namespace kassio {

namespace {

// Writes the file whole through the posting journal and waits until it is
// on disk.
Status writeReportFile(DataStore& store, const std::string& name, const std::string& text,
                       const char* failure) {
    uint64_t ticket = 0;
    Status s;
    {
        StoreFiles::Batch batch(store.files());
        s = store.files().replace(name, text.data(), text.size());
        Status c = batch.commit(&ticket);
        if (s) s = c;
    }
    if (s) s = store.waitDurable(ticket);
    return s ? Status::ok() : Status::ioError(failure);
}

// A report file name is a plain name in the DataFolder: one with a folder
// part would write elsewhere, and one of the shop's own files would be
// overwritten by the report.
bool safeReportName(const std::string& name) {
    static const char* const kShopFiles[] = {"inventory.dat",   "customer.dat", "suppliers.dat",
                                             "kq.cfg",          "language.ini", "upload.cfg",
                                             "posting.journal", "kassio.lock",  "rpc4.sock"};
    if (name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\\') != std::string::npos)
        return false;
    const std::string lower = [&] {
        std::string l = name;
        for (char& ch : l)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        return l;
    }();
    for (const char* f : kShopFiles)
        if (lower == f) return false;
    return true;
}

}  // namespace

Status dailyItemsFileText(DataStore& store, const LocalTime& now, std::string* text) {
    std::string heading;
    {
        std::lock_guard lock(store.mutex());
        heading = store.config().heading(1);
    }
    const DayJournal day = readDayJournal(store, dayOf(now));
    if (!day.hasSales) return Status::invalid("No items for that day.");
    std::unordered_map<int64_t, std::vector<std::size_t>> linesOf;
    for (std::size_t i = 0; i < day.lines.size(); ++i) linesOf[day.lines[i].number].push_back(i);
    std::string out = formatted("Daily item list: %s\r\n", heading.c_str());
    out += "Item, Description, Ntx, Tx, T1, T2, Cost, Total, ID, Assoc, Payment\r\n";
    for (const SaleRecord& sale : day.sales) {
        if (kindOf(sale) != TransactionKind::kSale) continue;
        auto it = linesOf.find(sale.number);
        if (it == linesOf.end()) continue;
        const std::string payment = fieldText(sale.payment);
        for (std::size_t i : it->second) {
            const SaleLineRecord& l = day.lines[i];
            out += formatted("%lld,%s,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%lld,%d,%s,\r\n",
                             static_cast<long long>(l.item), fieldText(l.description).c_str(),
                             l.non_taxable, l.taxable, l.tax1, l.tax2, l.cost, l.total,
                             static_cast<long long>(sale.number), l.clerk, payment.c_str());
        }
    }
    *text = std::move(out);
    return Status::ok();
}

Status writeUploadFiles(DataStore& store, const LocalTime& now, const std::array<bool, 3>& chosen,
                        const std::array<std::string, 3>& names, std::vector<std::string>* paths) {
    Status first;
    auto note = [&first](const Status& s) {
        if (!s && first) first = s;
    };
    for (int r = 0; r < 3; ++r) {
        const std::string& name = names[r];
        if (!chosen[r] || name.empty()) continue;
        std::string text;
        Status s;
        const char* failure = "";
        switch (r) {
            case 0:
                failure = "Unable to produce report file.";
                text = activityReportText(shopFigures(store), dayTotals(store, dayOf(now)), now);
                break;
            case 1:
                failure = "Unable to produce items file.";
                s = dailyItemsFileText(store, now, &text);
                break;
            default:
                failure = "Unable to produce reorder file.";
                s = reorderFileText(store, &text);
                break;
        }
        if (s && !safeReportName(name)) s = Status::ioError(failure);
        if (s) s = writeReportFile(store, name, text, failure);
        if (s && paths) paths->push_back(store.pathOf(name));
        note(s);
    }
    return first;
}

}  // namespace kassio
