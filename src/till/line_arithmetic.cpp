#include "till/line_arithmetic.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"

namespace kassio {

TaxRules TaxRules::of(const int64_t* options, const int32_t* settingsB, const double* money) {
    TaxRules r;
    r.tax1InUse = options[kOptTax1InUse] != 0;
    r.tax1Rate = options[kOptTax1Rate];
    r.threshold = settingsB[kSetBTax1Threshold] == 2;
    r.thresholdAmount = money[kMoneyTax1Threshold];
    r.tax2InUse = options[kOptTax2InUse] != 0;
    r.tax2Rate = options[kOptTax2Rate];
    r.tax2OnTax1 = options[kOptTax2OnTax1] != 0;
    return r;
}

double lineTax1(const TaxRules& r, double price, int taxCode, bool noTaxRounding, double sofar,
                bool applyThreshold) {
    if (!r.tax1InUse || r.tax1Rate <= 0 || taxCode == 3 || taxCode == 0) return 0;
    const bool threshold = applyThreshold && r.threshold;
    const double limit = r.thresholdAmount;
    const double rate = static_cast<double>(r.tax1Rate);
    double t1 = rate * price / 10000;
    if (threshold && sofar < limit && sofar + price > limit) t1 = rate * (sofar + price) / 10000;
    t1 = roundTax(t1, noTaxRounding);
    if (threshold && !(sofar + price > limit)) t1 = 0;
    return t1;
}

double lineTax2(const TaxRules& r, double price, double tax1, int taxCode, bool noTaxRounding) {
    if (!r.tax2InUse || r.tax2Rate <= 0 || taxCode == 2 || taxCode == 0) return 0;
    const double base = r.tax2OnTax1 ? price + tax1 : price;
    return roundTax(static_cast<double>(r.tax2Rate) * base / 10000, noTaxRounding);
}

LineValues lineValues(const TaxRules& rules, double price, bool taxable, int taxCode,
                      bool noTaxRounding, double sofar, bool applyThreshold) {
    LineValues v;
    if (!taxable) {
        v.nonTaxable = price;
    } else {
        v.taxable = price;
        v.tax1 = lineTax1(rules, price, taxCode, noTaxRounding, sofar, applyThreshold);
        v.tax2 = lineTax2(rules, price, v.tax1, taxCode, noTaxRounding);
    }
    v.total = price + v.tax1 + v.tax2;
    return v;
}

int appendLine(Basket& b, const TaxRules& rules, const NewLine& line) {
    const int i = b.line_count;
    b.item[i] = line.item;
    std::memset(b.description[i], 0, sizeof b.description[i]);
    setFieldText(b.description[i], line.description);
    b.line_total[i] = line.price;
    b.discount[i] = 0;
    b.cost[i] = line.cost;
    if (line.price != 0) {
        const LineValues v = lineValues(rules, line.price, line.taxable, line.taxCode,
                                        line.noTaxRounding, b.total_taxable, true);
        if (!line.taxable) {
            b.non_taxable[i] = v.nonTaxable;
            b.total_non_taxable = roundMoney(b.total_non_taxable + v.nonTaxable);
        } else {
            b.taxable[i] = v.taxable;
            b.tax1[i] = v.tax1;
            b.tax2[i] = v.tax2;
            b.total_tax1 = roundMoney(b.total_tax1 + v.tax1);
            b.total_taxable = roundMoney(b.total_taxable + v.taxable);
            b.total_tax2 = roundMoney(b.total_tax2 + v.tax2);
        }
        b.total = roundMoney(b.total + v.total);
        b.line_total[i] = v.total;
    }
    b.total_cost += line.cost;
    b.subtotal = roundMoney(b.subtotal + line.price);
    b.line_count += 1;
    return i;
}

void replaceLineValues(Basket& b, int i, const LineValues& v) {
    b.total_non_taxable = roundMoney(b.total_non_taxable + v.nonTaxable - b.non_taxable[i]);
    b.total_taxable = roundMoney(b.total_taxable + v.taxable - b.taxable[i]);
    b.subtotal =
        roundMoney(b.subtotal + (v.nonTaxable - b.non_taxable[i]) + (v.taxable - b.taxable[i]));
    b.total_tax1 = roundMoney(b.total_tax1 + v.tax1 - b.tax1[i]);
    b.total_tax2 = roundMoney(b.total_tax2 + v.tax2 - b.tax2[i]);
    b.total = roundMoney(b.total + v.total - b.line_total[i]);
    b.non_taxable[i] = v.nonTaxable;
    b.taxable[i] = v.taxable;
    b.tax1[i] = v.tax1;
    b.tax2[i] = v.tax2;
    b.line_total[i] = v.total;
}

void removeLine(Basket& b, int line) {
    b.total_tax1 = roundMoney(b.total_tax1 - b.tax1[line]);
    b.total_tax2 = roundMoney(b.total_tax2 - b.tax2[line]);
    if (b.non_taxable[line] > 0) {
        b.total_non_taxable = roundMoney(b.total_non_taxable - b.non_taxable[line]);
        b.subtotal = roundMoney(b.subtotal - b.non_taxable[line]);
    }
    if (b.taxable[line] > 0) {
        b.total_taxable = roundMoney(b.total_taxable - b.taxable[line]);
        b.subtotal = roundMoney(b.subtotal - b.taxable[line]);
    }
    b.total = roundMoney(b.total - b.line_total[line]);
    b.total_cost -= b.cost[line];
    b.total_discount -= b.discount[line];

    const int last = b.line_count - 1;
    for (int i = line; i < last; ++i) {
        b.item[i] = b.item[i + 1];
        std::memcpy(b.description[i], b.description[i + 1], sizeof b.description[i]);
        b.non_taxable[i] = b.non_taxable[i + 1];
        b.taxable[i] = b.taxable[i + 1];
        b.tax1[i] = b.tax1[i + 1];
        b.tax2[i] = b.tax2[i + 1];
        b.cost[i] = b.cost[i + 1];
        b.discount[i] = b.discount[i + 1];
        b.line_total[i] = b.line_total[i + 1];
    }
    b.item[last] = 0;
    std::memset(b.description[last], 0, sizeof b.description[last]);
    b.non_taxable[last] = b.taxable[last] = b.tax1[last] = b.tax2[last] = 0;
    b.cost[last] = b.discount[last] = b.line_total[last] = 0;
    b.line_count -= 1;
    if (b.line_count == 0) std::memset(&b, 0, sizeof b);
}

}  // namespace kassio
