#include "ui/documents/invoices_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kassio {

namespace {

struct Switch {
    const char* text;
    bool InvoiceSettings::*field;
};
const Switch kSwitches[] = {{"Use logo", &InvoiceSettings::standardLogo},
                            {"Barcode", &InvoiceSettings::barcode},
                            {"Box encased", &InvoiceSettings::boxEncased},
                            {"Use logo ", &InvoiceSettings::customLogo}};

}  // namespace

InvoicesDialog::InvoicesDialog(QWidget* parent, const InvoiceSettings& start,
                               std::function<void()> selectLogo)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Invoices"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < kInvoiceLineCount; ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(start.lines[i]), this);
        edit->setObjectName(QString::fromLatin1(kInvoiceLineLabels[i]));
        edit->setMaximumWidth(60);
        grid->addWidget(new QLabel(QString::fromLatin1(kInvoiceLineLabels[i]), this), i % 10,
                        (i / 10) * 2);
        grid->addWidget(edit, i % 10, (i / 10) * 2 + 1);
    }
    layout->addLayout(grid);
    auto* note = new QLabel(QString::fromLatin1(kInvoiceLinesNote), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    for (const Switch& s : kSwitches) {
        auto* c = new QCheckBox(QString::fromLatin1(s.text), this);
        c->setObjectName(QString::fromLatin1(s.text));
        c->setChecked(start.*s.field);
        layout->addWidget(c);
    }
    auto* fontNote = new QLabel(QString::fromLatin1(kInvoiceHeaderFontNote), this);
    fontNote->setWordWrap(true);
    layout->addWidget(fontNote);
    auto* logo = new QPushButton(QStringLiteral("Select logo bitmap file"), this);
    logo->setAutoDefault(false);
    connect(logo, &QPushButton::clicked, this, [selectLogo] {
        if (selectLogo) selectLogo();
    });
    layout->addWidget(logo);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

InvoiceSettings InvoicesDialog::read() const {
    InvoiceSettings s;
    for (int i = 0; i < kInvoiceLineCount; ++i)
        s.lines[i] = findChild<QLineEdit*>(QString::fromLatin1(kInvoiceLineLabels[i]))
                         ->text()
                         .trimmed()
                         .toStdString();
    for (const Switch& sw : kSwitches)
        s.*sw.field = findChild<QCheckBox*>(QString::fromLatin1(sw.text))->isChecked();
    return s;
}

std::optional<InvoiceSettings> InvoicesDialog::run(QWidget* parent, const InvoiceSettings& start,
                                                   std::function<void()> selectLogo) {
    InvoicesDialog dialog(parent, start, std::move(selectLogo));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
