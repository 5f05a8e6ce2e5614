#include "reports/day_totals.h"

#include <cstring>
#include <unordered_map>

namespace kassio {

DayTotals dayTotals(const DayJournal& day) {
    DayTotals t;
    // Lines per transaction number, counted once instead of a pass over the
    // items log for every transaction; the counts are the same.
    std::unordered_map<int64_t, int> lines;
    lines.reserve(day.sales.size() * 2 + 1);
    for (const SaleLineRecord& line : day.lines) ++lines[line.number];
    auto linesOf = [&](int64_t number) {
        auto it = lines.find(number);
        return it == lines.end() ? 0 : it->second;
    };
    for (const SaleRecord& s : day.sales) {
        const TransactionKind kind = kindOf(s);
        if (kind == TransactionKind::kBalancePayment) {
            t.paymentsCash += s.cash;
            t.paymentsCh += s.cheque;
            t.paymentsEft += s.eft;
            continue;
        }
        t.nonTaxable += s.non_taxable;
        t.taxable += s.taxable;
        t.tax1 += s.tax1;
        t.tax2 += s.tax2;
        t.cost += s.cost;
        t.total += s.total;
        if (kind == TransactionKind::kRefund) {
            if (s.cash != 0) t.cashRefunds += s.cash;
            if (s.cheque != 0) t.chRefunds += s.cheque;
            if (s.eft != 0) t.eftRefunds += s.eft;
            if (s.cash == 0 && s.cheque == 0 && s.eft == 0) t.creditRefunds += s.total;
            t.itemsRefunded += linesOf(s.number);
        } else {
            if (s.cash != 0) t.cashSales += s.cash;
            if (s.cheque != 0) t.chSales += s.cheque;
            if (s.eft != 0) t.eftSales += s.eft;
            if (std::strncmp(s.payment, "Credit", sizeof s.payment) == 0) t.creditSales += s.total;
            if (s.discount != 0) t.discounts += s.discount;
            if (s.cash_back > 0) t.cashBack += s.cash_back;
            t.itemsSold += linesOf(s.number);
        }
    }
    return t;
}

DayTotals dayTotals(DataStore& store, const Day& day) {
    return dayTotals(readDayJournal(store, day));
}

}  // namespace kassio
