#include "till/discounts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/money.h"
#include "base/text_format.h"
#include "store/items.h"
#include "till/line_arithmetic.h"
#include "till/till.h"

namespace kassio {

namespace {

// Taxes follow the taxable subtotal down in proportion; with the threshold
// rule a taxable subtotal no longer above it carries no tax 1.
void scaleTaxes(Till& till, Basket& b, double oldTaxable, double newTaxable) {
    const StoreConfigRecord& cfg = till.store().config().record();
    if (b.total_tax1 > 0) {
        if (cfg.settings_b[kSetBTax1Threshold] == 2 &&
            !(newTaxable > cfg.money[kMoneyTax1Threshold]))
            b.total_tax1 = 0;
        else
            b.total_tax1 = roundMoney(b.total_tax1 / oldTaxable * newTaxable);
    }
    if (b.total_tax2 > 0) b.total_tax2 = roundMoney(b.total_tax2 / oldTaxable * newTaxable);
}

}  // namespace

std::vector<std::string> discountPercentList() {
    std::vector<std::string> list;
    list.reserve(kDiscountPercentEntries);
    for (int i = 0; i < kDiscountPercentEntries; ++i) list.push_back(formatted("%.2f", i * 0.5));
    return list;
}

void applyDiscountBeforeTax(Till& till, double d) {
    Basket& b = till.basket();
    const double nt = b.total_non_taxable, t = b.total_taxable, s = b.subtotal;
    b.total_discount += d;
    if (nt == 0 && t != 0) {
        const double t2 = t - d;
        b.total_taxable = t2;
        b.subtotal = s - d;
        scaleTaxes(till, b, t, t2);
        b.total = roundMoney(b.subtotal + b.total_tax1 + b.total_tax2);
    } else if (t == 0) {
        b.total_non_taxable = nt - d;
        b.subtotal = s - d;
        b.total = roundMoney(b.total - d);
    } else {
        const double nt2 = roundMoney(nt - nt / s * d);
        const double t2 = t - (d - (nt - nt2));
        b.total_non_taxable = nt2;
        b.total_taxable = t2;
        b.subtotal = s - d;
        scaleTaxes(till, b, t, t2);
        b.total = roundMoney(b.subtotal + b.total_tax1 + b.total_tax2);
    }
    b.total_taxable = roundMoney(b.total_taxable);
    b.total_non_taxable = roundMoney(b.total_non_taxable);
    b.subtotal = roundMoney(b.subtotal);
}

// --- Discount -------------------------------------------------------------

DiscountPanel::DiscountPanel(Till& till, bool onTotal)
    : m_till(till),
      m_onTotal(onTotal),
      m_openingDiscount(till.basket().total_discount),
      m_openingTotal(till.basket().total) {
    // "Amended total before tax" starts at the subtotal; a default rate
    // then types its discount, which amends it.
    if (!onTotal) m_amended = moneyText(till.basket().subtotal);
    const int rate = till.store().config().record().settings_b[kSetBDiscountButtonRate];
    if (!onTotal && rate > 0) {
        if (rate * 2 < kDiscountPercentEntries) m_initialEntry = rate * 2;
        const Basket& b = till.basket();
        typed(formatted("%.f", (b.total_non_taxable + b.total_taxable) * rate));
    }
}

void DiscountPanel::choosePercent(int entry) {
    if (done() || entry < 0 || entry >= kDiscountPercentEntries) return;
    const Basket& b = m_till.basket();
    const double base = m_onTotal ? b.total : b.total_non_taxable + b.total_taxable;
    // A whole number of cents: i x 0.5 % of the base. On the total the
    // fraction of a cent is cut off (57.30 at 0.5 % gives 28), before tax
    // it is rounded.
    const double cents = base * 0.5 * entry;
    if (m_onTotal && std::abs(cents) < 9e15)
        typed(formatted("%lld", static_cast<long long>(cents)));
    else
        typed(formatted("%.f", cents));
}

void DiscountPanel::typed(const std::string& cents) {
    m_typed = cents;
    const double d = typedCentsAmount(cents);
    const Basket& b = m_till.basket();
    m_amended.clear();
    if (!m_onTotal) {
        if (d > 0 && d < b.subtotal) m_amended = moneyText(b.subtotal - d);
    } else if (d > 0 && d < b.total) {
        m_amended = moneyText(m_openingDiscount + m_openingTotal - d);
    }
}

bool DiscountPanel::ok() {
    if (done()) return false;
    Basket& b = m_till.basket();
    const double d = typedCentsAmount(m_typed);
    const double limit = m_onTotal ? b.total : roundMoney(b.total_non_taxable + b.total_taxable);
    if (d > limit) {
        m_till.ui().error("Invalid discount", kTitleProblem);
        return false;
    }
    if (d >= 0) {
        const double cents = roundMoney(d);
        if (m_onTotal) {
            b.total_discount = cents;
            b.total = roundMoney(m_openingTotal + m_openingDiscount - cents);
        } else {
            applyDiscountBeforeTax(m_till, cents);
        }
    }
    finish();
    return true;
}

void DiscountPanel::cancel() {
    finish();
}

DiscountPanel* Till::addDiscount() {
    if (basket().line_count <= 0 || tenderState() != TenderState::kNone) return nullptr;
    return m_tender.open(std::make_shared<DiscountPanel>(
        *this, m_store.config().record().settings_b[kSetBDiscountOnTotal] != 0));
}

// --- Price ----------------------------------------------------------------

PricePanel::PricePanel(Till& till, const InventoryRecord& item, bool byWeight)
    : m_till(till), m_item(item), m_byWeight(byWeight) {
    if (byWeight)
        setWeight(100);
    else
        compute(0);  // the empty "Amended price" reads as 0.00
}

bool PricePanel::showCost() const {
    const int64_t clerk = m_till.clerks().clerk();
    return clerk == 1 || clerk == 2 ||
           m_till.store().config().record().settings_b[kSetBHideCostFromClerks] == 0;
}

void PricePanel::compute(double price) {
    m_price = price;
    m_valid = true;
    // The threshold rule does not apply to an amended price.
    const LineValues v = lineValues(m_till.taxRules(), price, m_item.tax != 0, m_item.tax,
                                    m_item.no_tax_rounding != 0, 0, false);
    m_nonTaxable = v.nonTaxable;
    m_taxable = v.taxable;
    m_tax1 = v.tax1;
    m_tax2 = v.tax2;
    m_lineTotal = v.total;
}

void PricePanel::typed(const std::string& cents) {
    if (done()) return;
    m_priceText = cents;
    compute(typedCentsAmount(cents));  // empty reads as 0.00
}

void PricePanel::setWeight(int weight) {
    if (done()) return;
    if (weight < 1 || weight > 100000) {
        m_valid = false;
        return;
    }
    const double price = roundMoney(m_item.retail_price / 100 * weight);
    m_priceText = moneyText(price);
    compute(price);
}

bool PricePanel::ok() {
    if (done()) return false;
    if (m_valid && !isSaneMoney(m_price)) {
        m_till.ui().error(kAmountOutOfRange, kTitleProblem);
        return false;
    }
    if (!m_valid || m_price < 0) {
        m_till.ui().error("Invalid price", kTitleProblem);
        return false;
    }
    Basket& b = m_till.basket();
    const int i = b.line_count - 1;
    if (i < 0) {
        finish();
        return false;
    }
    if (b.total_discount != 0 && b.total - b.line_total[i] + m_lineTotal < 0) {
        m_till.ui().error("Discount exceeds transaction", kTitleProblem);
        return false;
    }
    replaceLineValues(b, i, {m_nonTaxable, m_taxable, m_tax1, m_tax2, m_lineTotal});
    auto current = m_till.data().item(m_item.number);
    m_till.current().refreshRow(i, current ? current->quantity : m_item.quantity,
                                m_till.descriptionOnlyRows());
    finish();
    return true;
}

void PricePanel::cancel() {
    finish();
}

static std::shared_ptr<PricePanel> newPricePanel(Till& till, bool byWeight) {
    const Basket& b = till.basket();
    if (b.line_count <= 0) {
        if (byWeight) till.ui().error("No items", kTitleProblem);
        return nullptr;
    }
    const int64_t number = b.item[b.line_count - 1];
    if (number == 0) {
        till.ui().error("Non inventory item", kTitleProblem);
        return nullptr;
    }
    Status error;
    auto item = till.data().item(number, &error);
    if (!item) {
        // An item deleted since it was rung is no missing file.
        till.show(!error.isOk() ? error
                                : Status::invalid(formatted("%lld", static_cast<long long>(number)),
                                                  "Invalid entry"));
        return nullptr;
    }
    return std::make_shared<PricePanel>(till, *item, byWeight);
}

PricePanel* Till::adjustPrice() {
    if (tenderState() != TenderState::kNone) return nullptr;
    auto p = newPricePanel(*this, false);
    return p ? m_tender.open(std::move(p)) : nullptr;
}

PricePanel* Till::adjustByWeight() {
    if (tenderState() != TenderState::kNone) return nullptr;
    auto p = newPricePanel(*this, true);
    return p ? m_tender.open(std::move(p)) : nullptr;
}

}  // namespace kassio
