#include "till/tender.h"

#include <cstdlib>
#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/numbers.h"
#include "base/timestamp.h"
#include "store/customers.h"
#include "till/till.h"

namespace kassio {

namespace {

// A whole-currency amount in cents rounded up to a multiple of `step` units.
double roundUpTo(int64_t cents, int64_t step) {
    const int64_t stepCents = step * 100;
    return static_cast<double>((cents + stepCents - 1) / stepCents * stepCents) / 100;
}

void setWord(Basket& b, const char* word) {
    std::memset(b.payment_word, 0, sizeof b.payment_word);
    setFieldText(b.payment_word, word);
}

}  // namespace

CustomerTransactionFigures customerTransactionFigures(const Basket& b, const CustomerRecord& c) {
    return {moneyText(c.balance), moneyText(c.balance + b.total)};
}

std::array<double, 3> quickAmounts(double total) {
    std::array<double, 3> q{5.00, 10.00, 20.00};
    if (!(total > 5)) return q;
    const int64_t cents = wholeCents(total);
    q = {roundUpTo(cents, 5), roundUpTo(cents, 10), roundUpTo(cents, 50)};
    if (wholeCents(q[0]) == cents) q = {q[0] + 5, q[1] + 10, q[2] + 50};
    if (wholeCents(q[0]) == wholeCents(q[1])) q[1] += 10;
    if (wholeCents(q[1]) == wholeCents(q[2])) q[2] += 50;
    return q;
}

// --- Cash -----------------------------------------------------------------

CashPanel::CashPanel(Till& till, double due, bool splitCash)
    : m_till(till),
      m_due(due),
      m_split(splitCash),
      m_quick(splitCash ? std::array<double, 3>{5.00, 10.00, 20.00} : kassio::quickAmounts(due)) {}

void CashPanel::typed(const std::string& text) {
    m_typed = text;
    const int64_t cents = wholeCents(typedCentsAmount(text));
    const int64_t due = wholeCents(roundMoney(m_due));
    if (cents < due) {
        m_changeText.clear();
        m_colour = kChangeShortColour;
    } else {
        m_changeText = moneyText(static_cast<double>(cents - due) / 100);
        m_colour = kChangeDueColour;
    }
}

bool CashPanel::complete(double tendered, double change) {
    Till& till = m_till;
    const bool split = m_split;
    finish();
    Basket& b = till.basket();
    till.stampHeader();
    if (split) {
        setWord(b, "Split");
        tendered = change + b.payment[kPayCash] + b.payment[kPayCheque] + b.payment[kPayCard];
    } else {
        b.payment[kPayCash] = b.total;
        setWord(b, "Cash");
    }
    till.completeSale(tendered, change);
    return true;
}

bool CashPanel::ok() {
    if (done()) return false;
    if (m_typed.empty()) {
        m_till.ui().error("Less than total", kTitleProblem);
        return false;
    }
    const double amount = typedCentsAmount(m_typed);
    if (!isSaneMoney(amount)) {
        m_till.ui().error(kAmountOutOfRange, kTitleProblem);
        return false;
    }
    typed(m_typed);
    if (wholeCents(roundMoney(m_due)) <= wholeCents(amount)) {
        const double change = decimalFromText(m_changeText);
        return complete(change + m_due, change);
    }
    m_till.ui().error("Less than total", kTitleProblem);
    return false;
}

bool CashPanel::exact() {
    if (done()) return false;
    return complete(m_due, 0);
}

bool CashPanel::quick(int index) {
    if (done() || index < 0 || index > 2) return false;
    const double amount = m_quick[static_cast<std::size_t>(index)];
    if (wholeCents(m_due) <= wholeCents(amount))
        return complete(amount, roundMoney(amount - m_due));
    m_till.ui().error("Less than total", kTitleProblem);
    return false;
}

void CashPanel::cancel() {
    if (done()) return;
    if (m_split) {
        Basket& b = m_till.basket();
        b.payment[kPayCash] = b.payment[kPayCheque] = b.payment[kPayCard] = 0;
    }
    finish();
}

// --- Split ----------------------------------------------------------------

SplitPanel::SplitPanel(Till& till, double total) : m_till(till), m_total(total) {}

void SplitPanel::typed(const std::string& text) {
    m_typed = text;
    const double cash = typedCentsAmount(text);
    if (wholeCents(cash) >= wholeCents(m_total))
        m_other.clear();
    else
        m_other = moneyText(m_total - cash);
}

bool SplitPanel::ok() {
    if (done()) return false;
    const double cash = roundMoney(typedCentsAmount(m_typed));
    if (!isSaneMoney(cash)) {
        m_till.ui().error(kAmountOutOfRange, kTitleProblem);
        return false;
    }
    if (wholeCents(cash) > wholeCents(m_total)) {
        m_till.ui().error("Cash exceeds total", kTitleProblem);
        m_typed.clear();
        m_other.clear();
        return false;
    }
    Basket& b = m_till.basket();
    b.payment[kPayCash] = cash;
    const double other = roundMoney(m_total - cash);
    b.payment[kPayCheque] = m_cheque ? other : 0;
    b.payment[kPayCard] = m_cheque ? 0 : other;
    finish();
    m_till.tender().continueWithCash(cash);
    return true;
}

void SplitPanel::cancel() {
    finish();
}

// --- The tenders, on the Till ---------------------------------------------

// True when a tender may not start: a panel is open (nothing is said) or
// the Basket has no lines (the message is shown).
bool Till::refuseTender(const char* message, const char* title) {
    if (tenderState() != TenderState::kNone) return true;
    if (basket().line_count <= 0) {
        m_ui.error(message, title);
        return true;
    }
    return false;
}

CashPanel* Till::cashTender() {
    if (refuseTender("Please select items", kTitleProblem)) return nullptr;
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2)
        m_devices.poleShowTotal(basket());
    return m_tender.open(std::make_shared<CashPanel>(*this, basket().total, false));
}

SplitPanel* Till::splitTender() {
    if (refuseTender("Please select items", kTitleProblem)) return nullptr;
    return m_tender.open(std::make_shared<SplitPanel>(*this, basket().total));
}

void Till::chequeTender() {
    if (refuseTender("Please select items", kTitleProblem)) return;
    Basket& b = basket();
    stampHeader();
    b.payment[kPayCheque] = b.total;
    setWord(b, "CH");
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowTotal(b);
    completeSale(b.total, 0);
}

void Till::cardTender() {
    if (refuseTender("Please select items", kTitleProblem)) return;
    Basket& b = basket();
    StoreConfigRecord& cfg = m_store.config().record();
    const bool exchange = cfg.money[kMoneyCardTerminalMode] == 2.0;
    double cashBack = 0;
    if (!exchange &&
        (m_clerks.accessLevel() == 0 || cfg.settings_b[kSetBCashBackRestricted] == 0)) {
        ElectronicPayment choice = m_panels.electronicPaymentBox();
        if (choice == ElectronicPayment::kCancel) return;
        if (choice == ElectronicPayment::kPaymentPlusCashBack) {
            auto typed = m_panels.cashBackEntry();
            if (!typed) return;
            // Read without the locale, and checked before it becomes a
            // whole number: "1e30" or "nan" would make that undefined.
            const double value = decimalFromText(*typed);
            if (!isSaneMoney(value)) {
                m_ui.error(kAmountOutOfRange, kTitleProblem);
                return;
            }
            if (value > 100 && !m_ui.confirm(*typed, "Please confirm")) return;
            cashBack = static_cast<double>(static_cast<long long>(value));
            if (cashBack < 0) cashBack = 0;
            auto lock = m_store.lock();
            cfg.money[kMoneyCashBack] += cashBack;
        }
    }
    stampHeader();
    b.payment[kPayCard] = b.total;
    b.payment[kPayCashBack] = cashBack;
    setWord(b, "EFT");
    if (exchange) {
        CardResult r = m_devices.cardSaleExchange(b, b.total);
        if (!r.approved) {
            b.payment[kPayCard] = 0;
            b.payment[kPayCashBack] = 0;
            std::memset(b.payment_word, 0, sizeof b.payment_word);
            m_tender.setTendered(0, 0);
            return;
        }
        b.payment[kPayCashBack] = r.cashBack;
        if (r.cashBack > 0) {
            auto lock = m_store.lock();
            cfg.money[kMoneyCashBack] += r.cashBack;
        }
    }
    if (cfg.settings_b[kSetBPoleInUse] == 2) m_devices.poleShowTotal(b);
    completeSale(b.total, 0);
}

void Till::creditTender() {
    if (refuseTender("Please first select the items", "Payment by customer credit")) return;
    auto entry = m_panels.customerEntry();
    if (!entry) return;
    auto customer = pickCustomer(*entry);
    if (!customer) return;
    Basket& b = basket();
    if (customer->credit_limit < customer->balance + b.total &&
        m_ui.message("Exceeded", "Credit limit", Ui::Icon::kWarning, Ui::Buttons::kOkCancel) ==
            Ui::Answer::kCancel)
        return;

    attachCustomer(b, *customer);
    stampHeader();

    CustomerPayment how = m_panels.customerTransactionPanel(b, *customer);
    if (how == CustomerPayment::kCancel) return;
    const char* word = how == CustomerPayment::kCash     ? "Cash"
                       : how == CustomerPayment::kCheque ? "CH"
                       : how == CustomerPayment::kCard   ? "EFT"
                                                         : "Credit";
    setWord(b, word);
    b.payment[kPayBalanceBefore] = customer->balance;

    if (customer->tax == 0) {
        // A tax-exempt customer pays the net prices: every tax comes off and
        // the taxable amounts become non-taxable.
        b.total_non_taxable += b.total_taxable;
        b.total_taxable = 0;
        b.total = roundMoney(b.total - b.total_tax1 - b.total_tax2);
        b.total_tax1 = b.total_tax2 = 0;
        for (int i = 0; i < b.line_count; ++i) {
            if (b.taxable[i] > 0) {
                b.non_taxable[i] += b.taxable[i];
                b.taxable[i] = 0;
                b.line_total[i] -= b.tax1[i] + b.tax2[i];
                b.tax1[i] = b.tax2[i] = 0;
            }
        }
    }
    if (how == CustomerPayment::kCard) b.payment[kPayCard] = b.total;
    if (how == CustomerPayment::kCash) b.payment[kPayCash] = b.total;
    if (how == CustomerPayment::kCheque) b.payment[kPayCheque] = b.total;

    // The customer is written before the sale is posted.
    show(m_data.recordCustomerSale(customer->number, b, how == CustomerPayment::kCredit));
    completeSale(b.total, 0);
}

}  // namespace kassio
