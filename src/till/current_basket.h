// The Basket under construction at the till with the rows of the basket
// list and the selected row, kept in step: one row per line, in line order.
// Plain state and arithmetic; the rules of what may be added live in Till.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/basket.h"
#include "store/store_config.h"
#include "till/line_arithmetic.h"

namespace kassio {

// What the totals panel shows, as texts.
struct TotalsPanel {
    int lines = 0;
    bool trade = false;
    bool skuMode = false;
    std::string transaction;  // "Transaction: %d"
    bool showTotals = false;
    std::string taxable, nonTaxable, subtotal, tax1, tax2;
    std::string discount;  // "(%.2f)" or empty
    std::string total;
    std::string secondCurrency;  // "%s%.2f" or empty
};
// nextTransaction: the number the till's data expects the next posting to
// take (at a client station, the main station's, not the client's copy of
// kq.cfg).
TotalsPanel totalsPanelOf(const Basket& basket, const StoreConfigRecord& config,
                          int32_t nextTransaction);

// The row of a line as it is added: "%I64d  %s (%d)  %.2f" with the stock
// then on hand, "%s (%d)  %.2f" for description-only rows, "%s  %.2f" for a
// line that is no inventory item.
std::string basketRowText(const Basket& basket, int line, int stock, bool descriptionOnly);
// The row of a line brought back from the basket table: no stock figure.
std::string tableRowText(const Basket& basket, int line, bool descriptionOnly);

class CurrentBasket {
  public:
    CurrentBasket();

    const Basket& image() const { return *m_basket; }
    Basket& image() { return *m_basket; }
    const std::vector<std::string>& rows() const { return m_rows; }
    int selectedRow() const { return m_selected; }
    // -1 (none) up to the last row; anything else is ignored.
    void selectRow(int row);
    bool empty() const { return m_rows.empty() && m_basket->line_count == 0; }
    bool full() const { return m_basket->line_count >= kMaxBasketLines; }

    // Appends the line and its row and selects it; the caller checked room.
    int append(const TaxRules& rules, const NewLine& line, int stock, bool descriptionOnly);
    // Removes the line and its row; the new last row is selected.
    void remove(int line);
    // The line the void and repeat act on: the selected row, else the last.
    int selectedOrLast() const;
    void refreshRow(int line, int stock, bool descriptionOnly);
    // No rows, no selection, every byte of the Basket zero.
    void clear();
    // The Basket without its rows (the posting took them).
    void zero();
    // Takes `image` as the Basket and rebuilds its rows; the last is selected.
    void load(const Basket& image, bool descriptionOnly);

    struct Snapshot {
        std::unique_ptr<Basket> basket;
        std::vector<std::string> rows;
        int selected;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);

  private:
    std::unique_ptr<Basket> m_basket;  // 43 KB: kept off the stack
    std::vector<std::string> m_rows;
    int m_selected = -1;
};

}  // namespace kassio
