#include "till/current_basket.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/text_format.h"

namespace kassio {

TotalsPanel totalsPanelOf(const Basket& b, const StoreConfigRecord& cfg, int32_t nextTransaction) {
    TotalsPanel p;
    p.lines = b.line_count;
    p.trade = cfg.options[kOptTradePrices] == 2;
    p.skuMode = skuEntryMode(cfg);
    p.transaction = formatted("Transaction: %d", nextTransaction);
    p.showTotals = b.line_count > 0;
    if (p.showTotals) {
        p.taxable = moneyText(b.total_taxable);
        p.nonTaxable = moneyText(b.total_non_taxable);
        p.subtotal = moneyText(b.subtotal);
        p.tax1 = moneyText(b.total_tax1);
        p.tax2 = moneyText(b.total_tax2);
        if (b.total_discount != 0) p.discount = formatted("(%.2f)", b.total_discount);
        p.total = moneyText(b.total);
        const double rate = cfg.money[kMoneySecondCurrencyRate];
        if (cfg.settings_b[kSetBSecondCurrency] == 2 && rate > 0)
            p.secondCurrency =
                formatted("%s%.2f", fieldText(cfg.second_currency_symbol).c_str(), b.total * rate);
    }
    return p;
}

std::string basketRowText(const Basket& b, int line, int stock, bool descriptionOnly) {
    const std::string description = fieldText(b.description[line]);
    if (b.item[line] == 0) return formatted("%s  %.2f", description.c_str(), b.line_total[line]);
    if (descriptionOnly)
        return formatted("%s (%d)  %.2f", description.c_str(), stock, b.line_total[line]);
    return formatted("%lld  %s (%d)  %.2f", static_cast<long long>(b.item[line]),
                     description.c_str(), stock, b.line_total[line]);
}

std::string tableRowText(const Basket& b, int line, bool descriptionOnly) {
    const std::string d = fieldText(b.description[line]);
    // Every row rebuilt from the table has the number column, a
    // non-inventory line's 0 included; only description-only rows drop it.
    if (descriptionOnly) return formatted("%s  %.2f", d.c_str(), b.line_total[line]);
    return formatted("%lld  %s  %.2f", static_cast<long long>(b.item[line]), d.c_str(),
                     b.line_total[line]);
}

CurrentBasket::CurrentBasket() : m_basket(std::make_unique<Basket>()) {
    zero();
}

void CurrentBasket::selectRow(int row) {
    if (row >= -1 && row < static_cast<int>(m_rows.size())) m_selected = row;
}

int CurrentBasket::append(const TaxRules& rules, const NewLine& line, int stock,
                          bool descriptionOnly) {
    const int i = appendLine(*m_basket, rules, line);
    m_rows.push_back(basketRowText(*m_basket, i, stock, descriptionOnly));
    m_selected = static_cast<int>(m_rows.size()) - 1;
    return i;
}

int CurrentBasket::selectedOrLast() const {
    const int count = m_basket->line_count;
    return m_selected >= 0 && m_selected < count ? m_selected : count - 1;
}

void CurrentBasket::remove(int line) {
    if (line < 0 || line >= m_basket->line_count) return;
    removeLine(*m_basket, line);
    if (line < static_cast<int>(m_rows.size())) m_rows.erase(m_rows.begin() + line);
    m_selected = static_cast<int>(m_rows.size()) - 1;
}

void CurrentBasket::refreshRow(int line, int stock, bool descriptionOnly) {
    if (line < 0 || line >= m_basket->line_count || line >= static_cast<int>(m_rows.size())) return;
    m_rows[static_cast<std::size_t>(line)] = basketRowText(*m_basket, line, stock, descriptionOnly);
    m_selected = line;
}

void CurrentBasket::clear() {
    m_rows.clear();
    m_selected = -1;
    zero();
}

void CurrentBasket::zero() {
    std::memset(m_basket.get(), 0, sizeof(Basket));
}

void CurrentBasket::load(const Basket& image, bool descriptionOnly) {
    clear();
    *m_basket = image;
    Basket& b = *m_basket;
    if (b.line_count < 0 || b.line_count > kMaxBasketLines) b.line_count = 0;
    for (int i = 0; i < b.line_count; ++i) m_rows.push_back(tableRowText(b, i, descriptionOnly));
    m_selected = static_cast<int>(m_rows.size()) - 1;
}

CurrentBasket::Snapshot CurrentBasket::snapshot() const {
    return {std::make_unique<Basket>(*m_basket), m_rows, m_selected};
}

void CurrentBasket::restore(const Snapshot& s) {
    *m_basket = *s.basket;
    m_rows = s.rows;
    m_selected = s.selected;
}

}  // namespace kassio
