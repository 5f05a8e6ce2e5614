#include "ui/devices/pole_config_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

QComboBox* choice(QWidget* parent, const QStringList& entries, int current) {
    auto* combo = new QComboBox(parent);
    combo->addItems(entries);
    combo->setCurrentIndex(current);
    return combo;
}

QLineEdit* text(QWidget* parent, const std::string& value) {
    auto* edit = new QLineEdit(qtText(value), parent);
    edit->setMaxLength(31);
    return edit;
}

}  // namespace

PoleConfigDialog::PoleConfigDialog(QWidget* parent, const PolePage& page,
                                   std::function<void(const PolePage&)> preview)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pole configuration"));
    auto* layout = new QVBoxLayout(this);
    m_use = new QCheckBox(QStringLiteral("Use"), this);
    m_use->setChecked(page.use);
    layout->addWidget(m_use);
    auto* form = new QFormLayout;
    m_port =
        choice(this, {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}, page.port);
    form->addRow(QStringLiteral("Port"), m_port);
    QStringList bauds;
    for (int b : kPoleBaudRates) bauds << QString::number(b);
    m_baud = choice(this, bauds, page.baud);
    form->addRow(QStringLiteral("Baud rate"), m_baud);
    m_parity = choice(this, {"No parity", "Even parity", "Odd parity"}, page.parity);
    form->addRow(QStringLiteral("Parity"), m_parity);
    m_dataBits = choice(this, {"8", "4", "5", "6", "7"}, page.dataBits);
    form->addRow(QStringLiteral("Data bits"), m_dataBits);
    m_stopBits = choice(this, {"1", "1.5", "2"}, page.stopBits);
    form->addRow(QStringLiteral("Stop bits"), m_stopBits);
    m_columns1 = new QSpinBox(this);
    m_columns1->setRange(0, 999);
    m_columns1->setValue(page.columns1);
    form->addRow(QStringLiteral("Columns in line 1"), m_columns1);
    m_columns2 = new QSpinBox(this);
    m_columns2->setRange(0, 999);
    m_columns2->setValue(page.columns2);
    form->addRow(QStringLiteral("Columns in line 2"), m_columns2);
    m_passive = text(this, page.passiveText);
    form->addRow(QStringLiteral("Passive text"), m_passive);
    m_on = text(this, page.printerOn);
    form->addRow(QStringLiteral("Switch printer on"), m_on);
    m_off = text(this, page.printerOff);
    form->addRow(QStringLiteral("Switch printer off"), m_off);
    m_clear = text(this, page.clear);
    form->addRow(QStringLiteral("Clear display message"), m_clear);
    m_first = text(this, page.firstLine);
    form->addRow(QStringLiteral("Set cursor first line"), m_first);
    m_second = text(this, page.secondLine);
    form->addRow(QStringLiteral("Set cursor second line"), m_second);
    layout->addLayout(form);
    for (const char* note :
         {"The settings for a standard ESC POS display are:", "Clear display: 27,64",
          "Set cursor first line: 11", "Set cursor second line: 11,10",
          "The printer control is used if the display and printer are daisy chained on the "
          "serial port.",
          "The display unit may be verified from a terminal with: echo mytext > /dev/ttyS0 "
          "(COM1; see devices.cfg in the data folder for other devices)",
          "The Preview button will display the passive text using the current values."}) {
        auto* label = new QLabel(QString::fromLatin1(note), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* previewButton =
        buttons->addButton(QStringLiteral("Preview"), QDialogButtonBox::ActionRole);
    connect(previewButton, &QPushButton::clicked, this, [this, preview = std::move(preview)] {
        if (preview) preview(read());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PolePage PoleConfigDialog::read() const {
    PolePage p;
    p.use = m_use->isChecked();
    p.port = m_port->currentIndex();
    p.baud = m_baud->currentIndex();
    p.parity = m_parity->currentIndex();
    p.dataBits = m_dataBits->currentIndex();
    p.stopBits = m_stopBits->currentIndex();
    p.columns1 = m_columns1->value();
    p.columns2 = m_columns2->value();
    p.passiveText = coreText(m_passive->text());
    p.printerOn = coreText(m_on->text());
    p.printerOff = coreText(m_off->text());
    p.clear = coreText(m_clear->text());
    p.firstLine = coreText(m_first->text());
    p.secondLine = coreText(m_second->text());
    return p;
}

std::optional<PolePage> PoleConfigDialog::run(QWidget* parent, const PolePage& page,
                                              std::function<void(const PolePage&)> preview) {
    PoleConfigDialog dialog(parent, page, std::move(preview));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
