// Port: the devices' own boxes, beyond the Ui port's message, prompt and
// list: the card sale's boxes, the summary box and the wait for the card
// terminal. (The "Card refund" box belongs to the refund, TillPanels.)
//
// Contract: UI thread; never called with the DataMutex held.
#pragma once

#include <optional>
#include <string>

namespace kassio {

class SummaryBox;

enum class CardPaymentChoice { kPayment, kPaymentPlusCashBack, kNotPresent, kCancel };

class DeviceUi {
  public:
    virtual ~DeviceUi() = default;

    // The "Electronic Payment" box: "Payment", "Payment plus cashback" (only
    // when offered), "Cardholder not present payment" (only when offered)
    // and "Cancel".
    virtual CardPaymentChoice electronicPayment(bool offerCashBack, bool offerNotPresent) = 0;

    // The number entry box for the cash back; nullopt on cancel.
    virtual std::optional<std::string> cashBackEntry() = 0;

    // Shows the summary box until it is closed; its buttons call the box's
    // press() and email(), and it calls pressAutomatically() as it opens.
    virtual void summaryBox(SummaryBox& box) = 0;

    // The wait for the card-payment program's answer. cardWait() lets about
    // the given time pass while the screen stays alive, and returns false
    // once the clerk has abandoned the wait.
    virtual void cardWaitStarted() {}
    virtual bool cardWait(int milliseconds) = 0;
    virtual void cardWaitFinished() {}
};

}  // namespace kassio
