#include "ui/devices/qt_device_ui.h"

#include "ui/devices/card_boxes.h"
#include "ui/devices/summary_box_dialog.h"

namespace kassio {

QtDeviceUi::~QtDeviceUi() {
    delete m_wait;
}

CardPaymentChoice QtDeviceUi::electronicPayment(bool offerCashBack, bool offerNotPresent) {
    return ElectronicPaymentBox::ask(m_parent, offerCashBack, offerNotPresent);
}

std::optional<std::string> QtDeviceUi::cashBackEntry() {
    return askCashBack(m_parent);
}

void QtDeviceUi::summaryBox(SummaryBox& box) {
    SummaryBoxDialog::run(m_parent, box);
}

void QtDeviceUi::cardWaitStarted() {
    delete m_wait;
    m_wait = new CardWaitPanel(m_parent);
    m_wait->show();
}

bool QtDeviceUi::cardWait(int milliseconds) {
    if (!m_wait) cardWaitStarted();
    return m_wait->wait(milliseconds);
}

void QtDeviceUi::cardWaitFinished() {
    delete m_wait;
}

}  // namespace kassio
