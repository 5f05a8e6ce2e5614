// The account windows: "Payment", "Statement" (also the period activity),
// the period window, "Mailmerge" and the custom listing's columns. Each
// shows a core value and returns what was chosen; the rules are the core's.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "accounts/account_history.h"
#include "accounts/balance_payment.h"
#include "accounts/mailmerge.h"
#include "listings/listing_settings.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace kassio {

struct PaymentEntry {
    PaymentMethod method = PaymentMethod::kCash;
    std::string amount;  // as typed
};

class PaymentDialog : public QDialog {
    Q_OBJECT
  public:
    PaymentDialog(QWidget* parent, const PaymentView& view);
    PaymentEntry entry() const;
    // nullopt when cancelled.
    static std::optional<PaymentEntry> run(QWidget* parent, const PaymentView& view);

  private:
    QButtonGroup* m_method;
    QLineEdit* m_pay;
};

// The statement lines with "Print" (print() is called) and "OK".
class StatementDialog : public QDialog {
    Q_OBJECT
  public:
    StatementDialog(QWidget* parent, const QString& title, const Statement& statement,
                    std::function<void()> print);
};

// Start and end day of a period; nullopt when cancelled.
std::optional<std::pair<LocalTime, LocalTime>> askPeriod(QWidget* parent, const LocalTime& first,
                                                         const LocalTime& today);

struct MailmergeEntry {
    int64_t start = 1, end = 1;
    MailmergeSelection selection = MailmergeSelection::kAll;
    std::string text;
};

class MailmergeDialog : public QDialog {
    Q_OBJECT
  public:
    MailmergeDialog(QWidget* parent, const std::string& folder);
    // nullopt when cancelled or the numbers are no numbers.
    std::optional<MailmergeEntry> entry() const;

  private:
    QLineEdit* m_start;
    QLineEdit* m_end;
    QComboBox* m_selection;
    QPlainTextEdit* m_text;
};

// The 20 columns of "Print custom inventory"; nullopt when cancelled.
std::optional<std::array<bool, kListingColumnCount>> askListingColumns(
    QWidget* parent, const std::array<bool, kListingColumnCount>& current);

}  // namespace kassio
