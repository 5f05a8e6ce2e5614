#include "ui/devices/receipts_page_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

QCheckBox* tick(QWidget* parent, QVBoxLayout* layout, const char* text, bool on) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setChecked(on);
    layout->addWidget(box);
    return box;
}

QComboBox* choice(QWidget* parent, const QStringList& entries, int current) {
    auto* combo = new QComboBox(parent);
    combo->addItems(entries);
    combo->setCurrentIndex(current);
    return combo;
}

}  // namespace

ReceiptsPageDialog::ReceiptsPageDialog(QWidget* parent, const ReceiptsPage& page,
                                       const std::vector<PrinterInfo>& printers, StoreFiles& files)
    : QDialog(parent), m_files(files) {
    setWindowTitle(QStringLiteral("Receipts"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    QStringList names{QStringLiteral("Default")};
    for (const PrinterInfo& p : printers) names << qtText(p.name);
    m_printer = choice(this, names, page.printer);
    m_printer->setObjectName(QStringLiteral("printer"));
    form->addRow(QStringLiteral("Printer"), m_printer);
    m_auto = choice(
        this, {"None", "Till receipt", "Standard invoice", "Custom invoice", "Custom receipt"},
        page.autoReceipt);
    form->addRow(QStringLiteral("Auto receipt"), m_auto);
    m_copies = choice(this, {"1 copy", "2", "3"}, page.copies);
    form->addRow(QStringLiteral("Copies"), m_copies);
    m_font = choice(this, {"Printer default", "9 point", "10 point", "11 point", "12 point"},
                    page.fontSize);
    form->addRow(QStringLiteral("Receipt font size"), m_font);
    layout->addLayout(form);

    m_omitConfirm = tick(this, layout, "Omit print confirm", page.omitPrintConfirm);
    m_kitchen = tick(this, layout,
                     "Auto print additional receipt to other (kitchen) receipt printer (it must be "
                     "set as the CUPS default printer)",
                     page.kitchenCopy);
    m_singleLine =
        tick(this, layout, "Items show detail and quantity on a single line with heading",
             page.singleLineItems);
    m_centred = tick(this, layout,
                     "Justify the items centred (default is description on left, price on right)",
                     page.centred);
    m_logo =
        tick(this, layout,
             "Include logo (requires receipt.bmp in KASSIO folder). Printed to half page width.",
             page.logo);
    m_pageWidth = tick(this, layout, "Print to page width", page.logoPageWidth);
    auto* logoButton = new QPushButton(QStringLiteral("Select logo bitmap file"), this);
    layout->addWidget(logoButton);
    connect(logoButton, &QPushButton::clicked, this, &ReceiptsPageDialog::selectLogo);
    m_barcode = tick(this, layout, "Include barcode", page.barcode);
    m_exclusive =
        tick(this, layout,
             "Receipt items exclusive of tax with subtotal (default inclusive, no subtotal).",
             page.exclusiveOfTax);
    m_limit = tick(this, layout, "Limit item description to 20 characters", page.limitDescription);

    auto* footerForm = new QFormLayout;
    m_footer = new QLineEdit(qtText(page.footer), this);
    m_footer->setMaxLength(252);
    footerForm->addRow(QStringLiteral("Footer text (up to 252 characters)."), m_footer);
    layout->addLayout(footerForm);
    m_wrap = tick(this, layout, "Wordwrap", page.footerWordWrap);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

ReceiptsPage ReceiptsPageDialog::read() const {
    ReceiptsPage p;
    p.printer = m_printer->currentIndex();
    p.autoReceipt = m_auto->currentIndex();
    p.copies = m_copies->currentIndex();
    p.fontSize = m_font->currentIndex();
    p.omitPrintConfirm = m_omitConfirm->isChecked();
    p.kitchenCopy = m_kitchen->isChecked();
    p.singleLineItems = m_singleLine->isChecked();
    p.centred = m_centred->isChecked();
    p.logo = m_logo->isChecked();
    p.logoPageWidth = m_pageWidth->isChecked();
    p.barcode = m_barcode->isChecked();
    p.exclusiveOfTax = m_exclusive->isChecked();
    p.limitDescription = m_limit->isChecked();
    p.footer = coreText(m_footer->text());
    p.footerWordWrap = m_wrap->isChecked();
    return p;
}

void ReceiptsPageDialog::selectLogo() {
    QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Select logo bitmap file"),
                                                start, QStringLiteral("Bitmap files (*.bmp)"));
    if (file.isEmpty()) return;
    Status s = installLogo(m_files, file.toStdString());
    if (s)
        QMessageBox::information(this, QStringLiteral("Logo picture"), QStringLiteral("Updated."));
    else
        QMessageBox::warning(this, qtText(s.title()), qtText(s.message()));
}

std::optional<ReceiptsPage> ReceiptsPageDialog::run(QWidget* parent, const ReceiptsPage& page,
                                                    const std::vector<PrinterInfo>& printers,
                                                    bool listRead, StoreFiles& files) {
    const std::string& dataFolder = files.folder();
    if (!listRead)
        QMessageBox::warning(
            parent, QStringLiteral("Problem"),
            QStringLiteral("Unable to get printers: the CUPS printing service is "
                           "not running. Choose \"%1\" to save receipts as PDF "
                           "files in %2/pdf.")
                .arg(QString::fromLatin1(kPdfPrinterName), QString::fromStdString(dataFolder)));
    ReceiptsPageDialog dialog(parent, page, printers, files);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ReceiptsPage result = dialog.read();
    result.printerListRead = listRead;
    return result;
}

}  // namespace kassio
