#include "ui/devices/custom_receipt_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

// The elements counted from the top, and those counted from the last item.
constexpr std::array<int, 17> kHeader = {0, 1, 2, 3, 4, 5, 6, 8, 9, 15, 16, 19, 23, 24, 25, 26, 27};
constexpr std::array<int, 11> kFooter = {7, 10, 11, 12, 13, 14, 17, 18, 20, 21, 22};

QCheckBox* tick(QWidget* parent, QVBoxLayout* layout, const char* text, bool on) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setChecked(on);
    layout->addWidget(box);
    return box;
}

}  // namespace

CustomReceiptDialog::CustomReceiptDialog(QWidget* parent, const CustomReceiptPage& page)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Custom receipt"));
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QGridLayout;
    auto lineGroup = [&](const char* title, const char* note, const auto& elements, int column) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        auto* form = new QFormLayout(group);
        for (int e : elements) {
            auto* edit = new QLineEdit(qtText(page.lines[e]), group);
            edit->setObjectName(QStringLiteral("line%1").arg(e));
            edit->setMaxLength(6);
            edit->setMaximumWidth(60);
            form->addRow(QString::fromLatin1(kReceiptElementLabels[e]), edit);
            m_lines[e] = edit;
        }
        // The header group is the taller: its note stands with the options.
        if (column > 0) {
            auto* label = new QLabel(QString::fromLatin1(note), group);
            label->setWordWrap(true);
            form->addRow(label);
        } else {
            m_headerNote = QString::fromLatin1(note);
        }
        groups->addWidget(group, 0, column);
        return form;
    };
    lineGroup("Header",
              "The header line value is the number of lines from the top of the receipt that "
              "the item is printed (1-40). A zero value omits.",
              kHeader, 0);
    QFormLayout* footer = lineGroup(
        "Footer",
        "The footer line value is the number of lines from the last item (1-40). A zero value "
        "omits.",
        kFooter, 1);
    m_note = new QLineEdit(qtText(page.noteLine), this);
    m_note->setObjectName(QStringLiteral("noteLine"));
    footer->insertRow(footer->rowCount() - 1, QStringLiteral("Transaction note"), m_note);
    layout->addLayout(groups);
    // The texts and options stand beside the two groups, so that the
    // dialog fits a 1024 x 768 screen.
    auto* right = new QVBoxLayout;
    groups->addLayout(right, 0, 2);

    auto* form = new QFormLayout;
    for (int i = 0; i < 3; ++i) {
        m_texts[i] = new QLineEdit(qtText(page.texts[i]), this);
        m_texts[i]->setMaxLength(49);
        form->addRow(QStringLiteral("Text %1").arg(i + 1), m_texts[i]);
    }
    m_cutter = new QLineEdit(qtText(page.cutter), this);
    m_cutter->setMaxLength(49);
    m_cutter->setPlaceholderText(QStringLiteral("Say 27,112,0,75,250"));
    form->addRow(QStringLiteral("Cutter"), m_cutter);
    m_cutterPort = new QComboBox(this);
    m_cutterPort->addItems(
        {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "LPT1", "LPT2"});
    m_cutterPort->setCurrentIndex(page.cutterPort);
    form->addRow(QStringLiteral("Port"), m_cutterPort);
    m_blank = new QComboBox(this);
    for (int i = 1; i <= 20; ++i) m_blank->addItem(QString::number(i));
    m_blank->setCurrentIndex(page.blankLines - 1);
    form->addRow(QStringLiteral("Blank lines at end"), m_blank);
    right->addLayout(form);

    m_excluding = new QRadioButton(QStringLiteral("Items (Excluding tax)"), this);
    m_including = new QRadioButton(QStringLiteral("Items (Including tax)"), this);
    (page.excludingTax ? m_excluding : m_including)->setChecked(true);
    right->addWidget(m_excluding);
    right->addWidget(m_including);
    m_centred =
        tick(this, right, "Justify items centred (default is description on left,\nprice on right)",
             page.centred);
    m_exempt = tick(this, right, "Denote tax exempt item with E", page.markExempt);
    m_logo = tick(this, right, "Include logo (requires receipt.bmp in the data folder)", page.logo);
    m_barcode = tick(this, right, "Include barcode", page.barcode);
    m_second = tick(this, right, "Include second currency", page.secondCurrency);
    auto* headerNote = new QLabel(m_headerNote, this);
    headerNote->setWordWrap(true);
    right->addWidget(headerNote);
    right->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CustomReceiptPage CustomReceiptDialog::read() const {
    CustomReceiptPage p;
    for (int e = 0; e < kReceiptElementCount; ++e) p.lines[e] = coreText(m_lines[e]->text());
    p.noteLine = coreText(m_note->text());
    for (int i = 0; i < 3; ++i) p.texts[i] = coreText(m_texts[i]->text());
    p.cutter = coreText(m_cutter->text());
    p.cutterPort = m_cutterPort->currentIndex();
    p.blankLines = m_blank->currentIndex() + 1;
    p.excludingTax = m_excluding->isChecked();
    p.centred = m_centred->isChecked();
    p.markExempt = m_exempt->isChecked();
    p.logo = m_logo->isChecked();
    p.barcode = m_barcode->isChecked();
    p.secondCurrency = m_second->isChecked();
    return p;
}

std::optional<CustomReceiptPage> CustomReceiptDialog::run(QWidget* parent,
                                                          const CustomReceiptPage& page) {
    CustomReceiptDialog dialog(parent, page);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
