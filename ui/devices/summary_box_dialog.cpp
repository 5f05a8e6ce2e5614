#include "ui/devices/summary_box_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

SummaryBoxDialog::SummaryBoxDialog(QWidget* parent, SummaryBox& box) : QDialog(parent), m_box(box) {
    setWindowTitle(QString::fromLatin1(SummaryBox::kTitle));
    auto* layout = new QVBoxLayout(this);
    auto* figures = new QFormLayout;
    QFont big = font();
    big.setPointSize(big.pointSize() * 2);
    auto figure = [&](const char* label, const std::string& value) {
        auto* v = new QLabel(qtText(value), this);
        v->setFont(big);
        v->setObjectName(QString::fromLatin1(label));
        figures->addRow(QString::fromLatin1(label), v);
    };
    figure("Total due", box.totalDue());
    figure("Tendered", box.tendered());
    figure("Change", box.change());
    layout->addLayout(figures);
    if (auto cb = box.cashBack()) {
        auto* label = new QLabel(qtText(*cb), this);
        label->setObjectName(QStringLiteral("cashBack"));
        layout->addWidget(label);
    }

    auto* buttons = new QGridLayout;
    struct Button {
        const char* text;
        std::function<void()> action;
    };
    const Button list[] = {
        {"&Standard receipt", [this] { m_box.press(DocumentKind::kStandardReceipt); }},
        {"&Custom receipt", [this] { m_box.press(DocumentKind::kCustomReceipt); }},
        {"&Invoice 1", [this] { m_box.press(DocumentKind::kInvoice1); }},
        {"Invoice 2", [this] { m_box.press(DocumentKind::kInvoice2); }},
        {"Custom invoice", [this] { m_box.press(DocumentKind::kCustomInvoice); }},
        {"Delivery note", [this] { m_box.press(DocumentKind::kDeliveryNote); }},
        {"Email document", [this] { m_box.email(); }},
    };
    int i = 0;
    for (const Button& b : list) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        button->setMinimumHeight(40);
        connect(button, &QPushButton::clicked, this, b.action);
        buttons->addWidget(button, i / 2, i % 2);
        ++i;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setMinimumHeight(40);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ok, i / 2, i % 2);
    layout->addLayout(buttons);
}

void SummaryBoxDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        // Centred across the main window, its bottom 10 pixels above the
        // main window's bottom.
        QRect frame = main->frameGeometry();
        move(frame.center().x() - width() / 2, frame.bottom() - 10 - frameGeometry().height());
    }
    if (!m_pressed) {
        m_pressed = true;
        QTimer::singleShot(0, this, [this] { m_box.pressAutomatically(); });
    }
}

void SummaryBoxDialog::run(QWidget* parent, SummaryBox& box) {
    SummaryBoxDialog dialog(parent, box);
    dialog.exec();
}

}  // namespace kassio
