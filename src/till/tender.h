// The modeless tender panels: cash (with its change calculator and quick
// amounts) and split. Each is a state machine the Qt panel drives: typed()
// on every change of the amount box, then ok(), exact(), quick(i) or
// cancel(). Amounts are typed in cents without a decimal point. A panel
// whose work is over is done(); the till's tender session owns it and lets
// go of it afterwards. Calls on a done panel change nothing.
#pragma once

#include <array>
#include <string>

#include "store/basket.h"
#include "store/customer_record.h"
#include "till/tender_session.h"

namespace kassio {

class Till;

// The figures of the "Customer transaction" panel that are worked out.
struct CustomerTransactionFigures {
    std::string previousBalance;  // "%.2f"
    std::string balanceAfter;     // "%.2f" of balance + total
};
CustomerTransactionFigures customerTransactionFigures(const Basket& basket,
                                                      const CustomerRecord& customer);

struct Colour {
    int red, green, blue;
    bool operator==(const Colour&) const = default;
};
// The change display: short of the total, and enough.
inline constexpr Colour kChangeShortColour{200, 40, 40};
inline constexpr Colour kChangeDueColour{240, 240, 200};

// The three quick amounts for a total (5.00, 10.00, 20.00 up to 5.00, else
// rounded up to 5, 10 and 50 and kept apart).
std::array<double, 3> quickAmounts(double total);

class CashPanel final : public TillPanel {
  public:
    // due: the total, or the cash part of a split payment (fixed quick
    // amounts then). Opened by the Till, which owns it.
    CashPanel(Till& till, double due, bool splitCash);

    double due() const { return m_due; }
    const std::string& typedText() const { return m_typed; }
    void typed(const std::string& text);
    const std::string& changeText() const { return m_changeText; }
    Colour changeColour() const { return m_colour; }
    const std::array<double, 3>& quickAmounts() const { return m_quick; }

    bool splitCash() const { return m_split; }
    // Each of these finishes the panel and completes the sale when the amount
    // covers what is due; otherwise "Less than total" and the panel stays.
    bool ok();
    bool exact();
    bool quick(int index);
    // Finishes the panel; a split payment's parts are taken off the Basket.
    void cancel();

  private:
    bool complete(double tendered, double change);

    Till& m_till;
    double m_due;
    bool m_split;
    std::string m_typed;
    std::string m_changeText;
    Colour m_colour = kChangeShortColour;
    std::array<double, 3> m_quick;
};

class SplitPanel final : public TillPanel {
  public:
    SplitPanel(Till& till, double total);

    double total() const { return m_total; }
    void typed(const std::string& cashText);
    // "CH" or "EFT" for the other part; EFT at first.
    void chooseCheque(bool cheque) { m_cheque = cheque; }
    bool chequeChosen() const { return m_cheque; }
    // total - cash while typing, empty once the cash reaches the total.
    const std::string& otherText() const { return m_other; }
    const std::string& typedText() const { return m_typed; }

    // Sets the parts, finishes, and has the till open the cash panel for the
    // cash part; "Cash exceeds total" empties the cash box and keeps the panel.
    bool ok();
    void cancel();

  private:
    Till& m_till;
    double m_total;
    bool m_cheque = false;
    std::string m_typed;
    std::string m_other;
};

}  // namespace kassio
