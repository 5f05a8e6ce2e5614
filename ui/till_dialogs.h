// The till's panels on Qt: the modal ones behind the TillPanels port, the
// log-on panel, the non-inventory sale, and the modeless tender, discount
// and price panels that drive the core state machines.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <optional>

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

// "USER LOGON": returns when a clerk has logged on, or on Cancel.
class LogOnDialog final : public QDialog {
    Q_OBJECT
  public:
    LogOnDialog(Till& till, QWidget* parent);
    // The clerk number box, for tests and the keypad.
    QLineEdit* passwordBox() const { return m_password; }

  private:
    void refresh();
    void accept() override;

    Till& m_till;
    int m_clerk = 1;
    QLabel* m_name;
    QLineEdit* m_password;
};

// "Non inventory sale": fills a NonInventoryLine.
std::optional<NonInventoryLine> askNonInventoryLine(const StoreConfig& config, QWidget* parent);

// The modeless panel over the main window while the tender state is 2.
// Each keeps the amount box the keypad types into; done() tells the window
// the panel closed.
class TenderPanelWidget : public QDialog {
    Q_OBJECT
  public:
    TenderPanelWidget(Till& till, QWidget* parent);
    QLineEdit* amountBox() const { return m_amount; }
    void focusAmount();

  signals:
    void closed();

  protected:
    void reject() override;  // Escape: as Cancel
    virtual void cancelPanel() = 0;
    void finish();

    Till& m_till;
    QLineEdit* m_amount = nullptr;
};

class CashPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    CashPanelWidget(Till& till, CashPanel& panel, QWidget* parent);
    QLabel* changeLabel() const { return m_change; }
    void ok();

  protected:
    void cancelPanel() override;

  private:
    void typed();
    CashPanel& m_panel;
    QLabel* m_change;
};

class SplitPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    SplitPanelWidget(Till& till, SplitPanel& panel, QWidget* parent);
    void ok();
    bool openedCash() const { return m_openedCash; }

  protected:
    void cancelPanel() override;

  private:
    SplitPanel& m_panel;
    QLabel* m_other;
    bool m_openedCash = false;
};

class DiscountPanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    DiscountPanelWidget(Till& till, DiscountPanel& panel, QWidget* parent);

  protected:
    void cancelPanel() override;

  private:
    DiscountPanel& m_panel;
    QLabel* m_amended;
};

class PricePanelWidget final : public TenderPanelWidget {
    Q_OBJECT
  public:
    PricePanelWidget(Till& till, PricePanel& panel, QWidget* parent);

  protected:
    void cancelPanel() override;

  private:
    void refreshValues();
    PricePanel& m_panel;
    QLabel* m_values;
};

}  // namespace kassio
