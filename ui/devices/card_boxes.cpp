#include "ui/devices/card_boxes.h"

#include <QDoubleValidator>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

QPushButton* addButton(QDialog* box, QLayout* layout, const QString& text,
                       std::function<void()> chosen) {
    auto* button = new QPushButton(text, box);
    button->setMinimumHeight(48);  // touch screen
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, box, [box, chosen = std::move(chosen)] {
        chosen();
        box->accept();
    });
    return button;
}

}  // namespace

ElectronicPaymentBox::ElectronicPaymentBox(QWidget* parent, bool offerCashBack,
                                           bool offerNotPresent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Electronic Payment"));
    auto* layout = new QVBoxLayout(this);
    addButton(this, layout, QStringLiteral("Payment"), [this] {
        m_choice = CardPaymentChoice::kPayment;
    })->setDefault(true);
    if (offerCashBack)
        addButton(this, layout, QStringLiteral("Payment plus cashback"),
                  [this] { m_choice = CardPaymentChoice::kPaymentPlusCashBack; });
    if (offerNotPresent)
        addButton(this, layout, QStringLiteral("Cardholder not present payment"),
                  [this] { m_choice = CardPaymentChoice::kNotPresent; });
    addButton(this, layout, QStringLiteral("Cancel"),
              [this] { m_choice = CardPaymentChoice::kCancel; });
}

CardPaymentChoice ElectronicPaymentBox::ask(QWidget* parent, bool offerCashBack,
                                            bool offerNotPresent) {
    ElectronicPaymentBox box(parent, offerCashBack, offerNotPresent);
    box.exec();
    return box.m_choice;
}

CardRefundBox::CardRefundBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Card refund"));
    auto* layout = new QVBoxLayout(this);
    addButton(this, layout, QStringLiteral("Refund"), [this] {
        m_choice = CardRefundChoice::kRefund;
    })->setDefault(true);
    addButton(this, layout, QStringLiteral("Cardholder not present refund"),
              [this] { m_choice = CardRefundChoice::kNotPresent; });
    addButton(this, layout, QStringLiteral("Cancel"),
              [this] { m_choice = CardRefundChoice::kCancel; });
}

CardRefundChoice CardRefundBox::ask(QWidget* parent) {
    CardRefundBox box(parent);
    box.exec();
    return box.m_choice;
}

std::optional<std::string> askCashBack(QWidget* parent) {
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("Cash back"));
    auto* layout = new QVBoxLayout(&box);
    auto* edit = new QLineEdit(&box);
    edit->setObjectName(QStringLiteral("amount"));
    edit->setValidator(new QDoubleValidator(0, 1e6, 2, edit));
    layout->addWidget(edit);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &box);
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &box, &QDialog::reject);
    if (box.exec() != QDialog::Accepted || edit->text().isEmpty()) return std::nullopt;
    return coreText(edit->text());
}

CardWaitPanel::CardWaitPanel(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Card terminal"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Waiting for the card terminal..."), this));
    auto* abandon = new QPushButton(QStringLiteral("Abandon"), this);
    abandon->setObjectName(QStringLiteral("abandon"));
    abandon->setMinimumHeight(48);
    layout->addWidget(abandon);
    connect(abandon, &QPushButton::clicked, this, [this] {
        m_abandoned = true;
        emit abandonPressed();
    });
}

bool CardWaitPanel::wait(int milliseconds) {
    if (m_abandoned) return false;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    connect(this, &CardWaitPanel::abandonPressed, &loop, &QEventLoop::quit);
    loop.exec();
    return !m_abandoned;
}

}  // namespace kassio
