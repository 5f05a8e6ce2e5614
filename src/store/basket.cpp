#include "store/basket.h"

#include "base/money.h"

namespace kassio {

bool basketAmountsSane(const Basket& b) {
    if (b.line_count < 0 || b.line_count > kMaxBasketLines) return false;
    for (int i = 0; i < b.line_count; ++i) {
        for (double v : {b.non_taxable[i], b.taxable[i], b.tax1[i], b.tax2[i], b.cost[i],
                         b.discount[i], b.line_total[i]})
            if (!isSaneMoney(v)) return false;
    }
    for (double v : {b.total_non_taxable, b.total_taxable, b.subtotal, b.total_tax1, b.total_tax2,
                     b.total_cost, b.total, b.total_discount})
        if (!isSaneMoney(v)) return false;
    for (double v : b.payment)
        if (!isSaneMoney(v)) return false;
    return true;
}

}  // namespace kassio
