#include "ui/devices/card_exchange_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

CardExchangeDialog::CardExchangeDialog(QWidget* parent, const CardExchangeSettings& settings)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Card terminal"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_folder = new QLineEdit(qtText(settings.folder), this);
    m_folder->setMaxLength(253);
    auto* browse = new QPushButton(QStringLiteral("Folder..."), this);
    row->addWidget(m_folder);
    row->addWidget(browse);
    layout->addLayout(row);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Exchange folder"),
                                                        m_folder->text());
        if (!dir.isEmpty()) m_folder->setText(dir);
    });
    auto tick = [&](const char* text, bool on) {
        auto* box = new QCheckBox(QString::fromLatin1(text), this);
        box->setChecked(on);
        layout->addWidget(box);
        return box;
    };
    m_exchange = tick("Card payments through the exchange folder", settings.exchange);
    m_cashBack = tick("Offer payment plus cashback", settings.cashBack);
    m_notPresent = tick("Offer cardholder not present payment", settings.notPresent);
    m_refundKind = tick("Ask for the kind of card refund", settings.refundKind);
    m_showApproval = tick("Report approvals", settings.showApproval);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CardExchangeSettings CardExchangeDialog::read() const {
    CardExchangeSettings s;
    s.folder = coreText(m_folder->text());
    s.exchange = m_exchange->isChecked();
    s.cashBack = m_cashBack->isChecked();
    s.notPresent = m_notPresent->isChecked();
    s.refundKind = m_refundKind->isChecked();
    s.showApproval = m_showApproval->isChecked();
    return s;
}

std::optional<CardExchangeSettings> CardExchangeDialog::run(QWidget* parent,
                                                            const CardExchangeSettings& settings) {
    CardExchangeDialog dialog(parent, settings);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
