// The arithmetic of one Basket line, shared by the till's item entry, the
// price panels and the baskets built for client stations: the two line
// taxes under the shop's tax options, and the running totals a new line
// adds to. Every total is money-rounded after each change; the cost total
// is not.
#pragma once

#include <cstdint>
#include <string>

#include "store/basket.h"
#include "store/store_config.h"

namespace kassio {

// The tax options of kq.cfg that a line's taxes depend on.
struct TaxRules {
    bool tax1InUse = false;
    int64_t tax1Rate = 0;  // hundredths of a percent
    bool threshold = false;
    double thresholdAmount = 0;
    bool tax2InUse = false;
    int64_t tax2Rate = 0;
    bool tax2OnTax1 = false;

    // From the option table, settings block B and the money values, laid
    // out as in kq.cfg (a client station's configuration copies them).
    static TaxRules of(const int64_t* options, const int32_t* settingsB, const double* money);
    static TaxRules of(const StoreConfigRecord& config) {
        return of(config.options, config.settings_b, config.money);
    }
};

// Tax 1 of a line at `price` (before tax). Tax code 0 and 3 carry none.
// With the threshold rule (when `applyThreshold`), the line that takes the
// taxable subtotal `taxableSoFar` over the threshold carries the tax on
// everything taxable so far, and a subtotal not over it carries none.
double lineTax1(const TaxRules& rules, double price, int taxCode, bool noTaxRounding,
                double taxableSoFar, bool applyThreshold);
// Tax 2 of a line; code 0 and 2 carry none; on price + tax 1 when so set.
double lineTax2(const TaxRules& rules, double price, double tax1, int taxCode, bool noTaxRounding);

// The values of one line: exactly one of nonTaxable and taxable is the price.
struct LineValues {
    double nonTaxable = 0, taxable = 0, tax1 = 0, tax2 = 0, total = 0;
};
// taxable: whether the price is taxable; taxCode then picks the taxes
// (1 both, 2 tax 1, 3 tax 2, 0 none).
LineValues lineValues(const TaxRules& rules, double price, bool taxable, int taxCode,
                      bool noTaxRounding, double taxableSoFar, bool applyThreshold);

struct NewLine {
    int64_t item = 0;  // 0: not an inventory item
    std::string description;
    double price = 0;  // before tax
    bool taxable = true;
    int taxCode = 0;
    bool noTaxRounding = false;
    double cost = 0;
};

// Appends `line` at line_count and adds it to the totals. The caller has
// checked that the Basket has room. Returns the new line's index.
int appendLine(Basket& basket, const TaxRules& rules, const NewLine& line);

// Replaces the values of line i, adding each difference to its total.
void replaceLineValues(Basket& basket, int i, const LineValues& values);

// Removes line i: its values come off the totals and later lines move up;
// a Basket left without lines is zeroed whole.
void removeLine(Basket& basket, int i);

}  // namespace kassio
