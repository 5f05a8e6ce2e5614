// The DeviceUi port on Qt: the card boxes, the summary box and the panel
// that keeps the screen alive while the card terminal is awaited.
#pragma once

#include <QPointer>
#include <QWidget>

#include "devices/device_ui.h"

namespace kassio {

class CardWaitPanel;

class QtDeviceUi final : public DeviceUi {
  public:
    explicit QtDeviceUi(QWidget* parent = nullptr) : m_parent(parent) {}
    ~QtDeviceUi() override;
    // The main window: the boxes open over it and the summary box sits at
    // its bottom.
    void setParent(QWidget* parent) { m_parent = parent; }

    CardPaymentChoice electronicPayment(bool offerCashBack, bool offerNotPresent) override;
    std::optional<std::string> cashBackEntry() override;
    void summaryBox(SummaryBox& box) override;
    void cardWaitStarted() override;
    bool cardWait(int milliseconds) override;
    void cardWaitFinished() override;

  private:
    QWidget* m_parent;
    QPointer<CardWaitPanel> m_wait;
};

}  // namespace kassio
