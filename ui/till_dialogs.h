// The till's panels on Qt: the modal ones behind the TillPanels port, the
// log-on panel, the non-inventory sale, and the modeless tender, discount
// and price panels that drive the core state machines.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <memory>
#include <optional>

#include "admin/clerks.h"
#include "platform/till_panels.h"
#include "till/till.h"

namespace kassio {

class CashPanel;
class SplitPanel;
class DiscountPanel;
class PricePanel;

class QtTillPanels final : public TillPanels {
  public:
    explicit QtTillPanels(QWidget* parent) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    std::optional<RefundChoice> refundPanel(const Basket& basket, int32_t transaction,
                                            const std::string& date) override;
    CustomerPayment customerTransactionPanel(const Basket& basket,
                                             const CustomerRecord& customer) override;
    ElectronicPayment electronicPaymentBox() override;
    std::optional<std::string> cashBackEntry() override;
    CardRefundChoice cardRefundBox() override;
    std::optional<int> selectBasket() override;
    std::optional<std::string> customerEntry() override;

  private:
    QWidget* m_parent;
};

// "USER LOGON" over the core LogOnPanel: returns when a clerk has logged
// on, or on Cancel. A refused log on says why and the panel stays.
class LogOnDialog final : public QDialog {
    Q_OBJECT
  public:
    LogOnDialog(Till& till, QWidget* parent);
    QLineEdit* passwordBox() const { return m_password; }
    QPushButton* button(const QString& label) const;
    const LogOnPanel& panel() const { return m_panel; }

  private:
    void refresh();
    void accept() override;

    Till& m_till;
    LogOnPanel m_panel;
    QLineEdit* m_number;
    QLabel* m_name;
    QLineEdit* m_password;
};

// The two panels of "Operator setup" on Qt.
class QtOperatorSetupForm final : public OperatorSetupForm {
  public:
    explicit QtOperatorSetupForm(QWidget* parent) : m_parent(parent) {}
    std::optional<int> clerkNumber() override;
    bool editClerk(int clerk, const OperatorSetup& entry, const StoreEntry& store) override;

  private:
    QWidget* m_parent;
};

// "Non inventory sale": fills a NonInventoryLine.
std::optional<NonInventoryLine> askNonInventoryLine(const StoreConfig& config, QWidget* parent);

// The modeless panel over the main window while the tender state is 2.
// Each keeps the amount box the keypad types into.
//
// Lifetime: the main window owns the widget (through a QPointer) and the
// till's tender session owns the core panel; the widget only observes it
// (weak_ptr) and never calls it once it is done. When the core panel is
// done the widget hides, emits closed() once and deletes itself later, so
// a second Enter, a late click or Esc after the close reach nothing.
class TenderPanelWidget : public QDialog {
    Q_OBJECT
  public:
    TenderPanelWidget(Till& till, const std::shared_ptr<TillPanel>& core, QWidget* parent);
    QLineEdit* amountBox() const { return m_amount; }
    void focusAmount();
    // OK, as the panel's OK button and Enter in the amount box.
    virtual void ok() = 0;
    // Cancel, as the Cancel button and Esc.
    void cancel();
    bool finished() const { return m_finished; }
    // Closes the widget when its core panel finished elsewhere (a posted sale).
    void followCore();

  signals:
    void closed();

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    virtual void cancelCore() = 0;
    // The core panel while it takes input, else null.
    template <class P>
    std::shared_ptr<P> core() const {
        if (m_finished) return nullptr;
        auto p = std::dynamic_pointer_cast<P>(m_core.lock());
        return p && !p->done() ? p : nullptr;
    }
    // Runs a call into the core panel (OK, a quick amount, Cancel). A box
    // the call shows runs an event loop of its own, in which the clerk may
    // close this panel another way; the widget is deleted only once the
    // outermost call has returned. Afterwards the widget closes when the
    // core panel is done, else the focus goes back to the amount box.
    template <class F>
    void run(F&& call) {
        ++m_calls;
        call();
        --m_calls;
        afterCall();
    }
    QPushButton* button(const QString& text, QLayout* row);

    Till& m_till;
    QLineEdit* m_amount = nullptr;

  private:
    void afterCall();
    void finish();

    std::weak_ptr<TillPanel> m_core;
    bool m_finished = false;
    int m_calls = 0;  // calls into the core under way (nested by boxes)
    bool m_deleteWhenIdle = false;
};

class CashPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    CashPanelWidget(Till& till, const std::shared_ptr<CashPanel>& panel, QWidget* parent);
    QLabel* changeLabel() const { return m_change; }
    QPushButton* quickButton(int i) const { return m_quick[i]; }
    void ok() override;

  protected:
    void cancelCore() override;

  private:
    void typed();
    QLabel* m_change;
    QPushButton* m_quick[3];
};

class SplitPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    SplitPanelWidget(Till& till, const std::shared_ptr<SplitPanel>& panel, QWidget* parent);
    QRadioButton* chequeChoice() const { return m_cheque; }
    void ok() override;

  protected:
    void cancelCore() override;

  private:
    QLabel* m_other;
    QRadioButton* m_cheque;
};

class DiscountPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    DiscountPanelWidget(Till& till, const std::shared_ptr<DiscountPanel>& panel, QWidget* parent);
    QComboBox* percentList() const { return m_percent; }
    void ok() override;

  protected:
    void cancelCore() override;

  private:
    QLabel* m_amended;
    QComboBox* m_percent;
};

class PricePanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    PricePanelWidget(Till& till, const std::shared_ptr<PricePanel>& panel, QWidget* parent);
    void ok() override;

  protected:
    void cancelCore() override;

  private:
    void refreshValues();
    QLabel* m_values;
};

// The widget for the till's open core panel, or null when none is open.
TenderPanelWidget* makePanelWidget(Till& till, const std::shared_ptr<TillPanel>& core,
                                   QWidget* parent);

}  // namespace kassio
