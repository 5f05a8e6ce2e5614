// The card boxes: "Electronic Payment", "Card refund", the cash back entry
// and the panel shown while the till waits for the card terminal.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "devices/device_ui.h"
#include "platform/till_panels.h"

class QLabel;

namespace kassio {

class ElectronicPaymentBox final : public QDialog {
    Q_OBJECT
  public:
    // "Payment", "Payment plus cashback" and "Cardholder not present
    // payment" as offered, and "Cancel".
    static CardPaymentChoice ask(QWidget* parent, bool offerCashBack, bool offerNotPresent);

  private:
    ElectronicPaymentBox(QWidget* parent, bool offerCashBack, bool offerNotPresent);
    CardPaymentChoice m_choice = CardPaymentChoice::kCancel;
};

class CardRefundBox final : public QDialog {
    Q_OBJECT
  public:
    // "Refund", "Cardholder not present refund", "Cancel".
    static CardRefundChoice ask(QWidget* parent);

  private:
    explicit CardRefundBox(QWidget* parent);
    CardRefundChoice m_choice = CardRefundChoice::kCancel;
};

// A number entry box for the cash back; the text as typed, nullopt on cancel.
std::optional<std::string> askCashBack(QWidget* parent);

// Shown while the till waits for output.txt: the screen stays alive and the
// clerk may give up the wait.
class CardWaitPanel final : public QDialog {
    Q_OBJECT
  public:
    explicit CardWaitPanel(QWidget* parent);
    bool abandoned() const { return m_abandoned; }
    // Lets about `milliseconds` pass with the screen alive; false once the
    // clerk has pressed "Abandon".
    bool wait(int milliseconds);

  signals:
    void abandonPressed();

  private:
    bool m_abandoned = false;
};

}  // namespace kassio
