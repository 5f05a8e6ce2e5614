#include "ui/devices/till_config_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

TillConfigDialog::TillConfigDialog(QWidget* parent, const TillConfigPage& page) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Till configuration"));
    auto* layout = new QVBoxLayout(this);
    m_direct = new QRadioButton(QStringLiteral("Direct connect"), this);
    m_printer = new QRadioButton(QStringLiteral("Receipt printer connect"), this);
    (page.printerConnect ? m_printer : m_direct)->setChecked(true);
    layout->addWidget(m_direct);
    layout->addWidget(m_printer);

    auto* form = new QFormLayout;
    m_port = new QComboBox(this);
    m_port->addItems(
        {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:", "COM6:", "COM7:", "COM8:", "LPT1:", "LPT2:"});
    m_port->setCurrentIndex(page.port);
    form->addRow(QStringLiteral("Port"), m_port);
    m_character = new QLineEdit(qtText(page.openCharacter), this);
    m_character->setObjectName(QStringLiteral("openCharacter"));
    form->addRow(QStringLiteral("Open character (0-255)"), m_character);
    m_repeat = new QLineEdit(qtText(page.repeat), this);
    m_repeat->setObjectName(QStringLiteral("repeat"));
    form->addRow(QStringLiteral("Repeat (1-10)"), m_repeat);
    m_sequence = new QLineEdit(qtText(page.controlSequence), this);
    m_sequence->setMaxLength(31);
    form->addRow(QStringLiteral("Printer control sequence"), m_sequence);
    layout->addLayout(form);
    m_automatic = new QCheckBox(QStringLiteral("Open automatically"), this);
    m_automatic->setChecked(page.openAutomatically);
    layout->addWidget(m_automatic);

    auto* models = new QListWidget(this);
    models->setObjectName(QStringLiteral("models"));
    for (const char* model : kPrinterModelCodes) models->addItem(QString::fromLatin1(model));
    models->setSelectionMode(QAbstractItemView::NoSelection);
    models->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(models);
    for (const char* note : {"The printer MUST be specified on Utilities, 'Receipts' (a CUPS "
                             "printer queue).",
                             "The Epson TM-T88 IV receipt printer requires a control sequence of "
                             "27,112,48,55, 121 to open a daisychained cash drawer.",
                             "COM1 to COM8 are /dev/ttyS0 to /dev/ttyS7 and LPT1, LPT2 are "
                             "/dev/lp0, /dev/lp1, unless devices.cfg in the data folder names "
                             "other devices (COM1=/dev/ttyUSB0). The line settings are made "
                             "here; the user running the till needs to be in the dialout (or "
                             "lp) group."}) {
        auto* label = new QLabel(QString::fromLatin1(note), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TillConfigPage TillConfigDialog::read() const {
    TillConfigPage p;
    p.printerConnect = m_printer->isChecked();
    p.port = m_port->currentIndex();
    p.openCharacter = coreText(m_character->text());
    p.repeat = coreText(m_repeat->text());
    p.controlSequence = coreText(m_sequence->text());
    p.openAutomatically = m_automatic->isChecked();
    return p;
}

std::optional<TillConfigPage> TillConfigDialog::run(QWidget* parent, const TillConfigPage& page) {
    TillConfigDialog dialog(parent, page);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
