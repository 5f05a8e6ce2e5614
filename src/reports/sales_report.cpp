#include "reports/sales_report.h"

#include <unordered_map>

#include "base/text_format.h"

namespace kassio {

namespace {

using Figures = std::array<double, kSalesFigures>;

void add(Figures& to, const Figures& f) {
    for (int i = 0; i < kSalesFigures; ++i) to[i] += f[i];
}

// A day's figures; false when the day adds no day line.
bool dayFigures(DataStore& store, const Day& d, const SalesReportRequest& r, Figures* out) {
    Figures f{};
    if (r.item) {
        const DayJournal day = readDayJournal(store, d, JournalParts::kSalesAndLines);
        if (!day.hasSales) return false;
        // Lines of transactions that are not balance payments. A refund's
        // lines are stored positive like a sale's, so they are taken with
        // their sign turned: a refunded item is a sale taken back, as the
        // all-clerks report counts it.
        std::unordered_map<int64_t, TransactionKind> kinds;
        for (const SaleRecord& s : day.sales) kinds.emplace(s.number, kindOf(s));
        for (const SaleLineRecord& l : day.lines) {
            if (l.item != *r.item) continue;
            auto it = kinds.find(l.number);
            if (it == kinds.end() || it->second == TransactionKind::kBalancePayment) continue;
            const double sign = it->second == TransactionKind::kRefund ? -1.0 : 1.0;
            add(f, {sign * l.non_taxable, sign * l.taxable, sign * l.total, sign * l.tax1,
                    sign * l.tax2});
        }
        *out = f;
        return f[kTotal] != 0;
    }
    const DayJournal day = readDayJournal(store, d, JournalParts::kSalesOnly);
    if (!day.hasSales) return false;
    for (const SaleRecord& s : day.sales) {
        if (kindOf(s) == TransactionKind::kBalancePayment) continue;
        if (r.clerk && s.clerk != *r.clerk) continue;
        add(f, {s.non_taxable, s.taxable, s.total, s.tax1, s.tax2});
    }
    *out = f;
    return true;
}

}  // namespace

SalesReport salesReport(DataStore& store, const SalesReportRequest& r,
                        const ReportProgress& progress) {
    SalesReport report;
    report.title = formatted("%s %s to %s", r.clerk ? "Staff sales report:" : "Sales report:",
                             shortDateText(r.from).c_str(), shortDateText(r.to).c_str());
    if (compareDays(r.from, r.to) > 0) return report;
    const int total = daysBetweenInclusive(r.from, r.to);
    Figures month{}, year{};
    int done = 0;
    for (Day d = r.from;; d = nextDay(d), ++done) {
        if (progress && !progress(done, total)) {
            report.cancelled = true;
            return report;
        }
        Figures f{};
        if (dayFigures(store, d, r, &f)) {
            const std::string date = shortDateText(d);
            for (int i = 0; i < kSalesFigures; ++i)
                report.lists[i][kDayLevel].push_back(formatted("%s  %.2f", date.c_str(), f[i]));
        }
        add(month, f);
        add(year, f);
        add(report.grand, f);
        const bool last = d == r.to;
        const Day next = nextDay(d);
        if (last || next.month != d.month) {
            for (int i = 0; i < kSalesFigures; ++i)
                report.lists[i][kMonthLevel].push_back(
                    formatted("%d of %d  %.2f", d.month, d.year, month[i]));
            month = {};
        }
        if (last || next.year != d.year) {
            for (int i = 0; i < kSalesFigures; ++i)
                report.lists[i][kYearLevel].push_back(formatted("%d  %.2f", d.year, year[i]));
            year = {};
        }
        if (last) break;
    }
    return report;
}

}  // namespace kassio
