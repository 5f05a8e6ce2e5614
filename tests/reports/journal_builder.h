// Crafted journal days for the report tests: transactions with known
// figures appended through the journal, as the postings append them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "reports/report_dates.h"
#include "store/data_store.h"
#include "store/journal_format.h"

namespace kassio::test {

struct Tender {
    double cash = 0, cheque = 0, eft = 0, cashBack = 0;
};

inline SaleLineRecord line(int64_t number, int64_t item, double net, double tax1 = 0,
                           int64_t category = 5, const char* description = "ITEM") {
    SaleLineRecord l;
    std::memset(&l, 0, sizeof l);
    l.number = number;
    l.item = item;
    l.display_category = category;
    setFieldText(l.description, description);
    l.taxable = net;
    l.tax1 = tax1;
    l.cost = net / 2;
    l.total = net + tax1;
    l.clerk = 1;
    return l;
}

// A transaction whose amounts are the sums of its lines, paid as `tender`
// says. A refund's lines stay positive and its totals are negated, as the
// refund posting stores them.
inline void post(DataStore& store, const Day& day, int64_t number, const char* payment,
                 const std::vector<SaleLineRecord>& lines, Tender tender = {}, double discount = 0,
                 int32_t clerk = 1) {
    SaleRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.clerk = clerk;
    s.line_count = static_cast<int32_t>(lines.size());
    for (const SaleLineRecord& l : lines) {
        s.non_taxable += l.non_taxable;
        s.taxable += l.taxable;
        s.tax1 += l.tax1;
        s.tax2 += l.tax2;
        s.cost += l.cost;
        s.total += l.total;
    }
    if (payment[0] == 'R')
        for (double* v : {&s.non_taxable, &s.taxable, &s.tax1, &s.tax2, &s.cost, &s.total})
            *v = -*v;
    s.subtotal = s.non_taxable + s.taxable;
    s.discount = discount;
    s.cash = tender.cash;
    s.cheque = tender.cheque;
    s.eft = tender.eft;
    s.cash_back = tender.cashBack;
    setFieldText(s.payment, payment);
    LocalTime at{day.year, day.month, day.day, 10, 0, 0};
    ASSERT_TRUE(store.journal().appendTransaction(at, s, lines, ""));
}

// A customer balance payment: no lines, the amount in its tender field.
inline void payment(DataStore& store, const Day& day, int64_t number, const char* word,
                    Tender tender) {
    post(store, day, number, word, {}, tender);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace kassio::test
