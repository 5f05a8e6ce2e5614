#include "ui/documents/barcode_print_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace kassio {

namespace {

struct Entry {
    const char* caption;
    const char* name;
    std::string LabelSettings::*field;
};
const Entry kEntries[] = {
    {"Start", "start", &LabelSettings::start},
    {"Finish", "finish", &LabelSettings::finish},
    {"Origin X", "originX", &LabelSettings::originX},
    {"Origin Y", "originY", &LabelSettings::originY},
    {"Label height", "labelHeight", &LabelSettings::labelHeight},
    {"Labels per sheet", "perSheet", &LabelSettings::perSheet},
    {"From centre (three column)", "fromCentre", &LabelSettings::fromCentre},
    {"Element width", "elementWidth", &LabelSettings::elementWidth},
    {"Quantity", "quantity", &LabelSettings::quantity},
};

QButtonGroup* choices(QWidget* parent, QVBoxLayout* into, const char* title,
                      std::initializer_list<const char*> texts, int checked) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    int id = 0;
    for (const char* t : texts) {
        auto* b = new QRadioButton(QString::fromLatin1(t), box);
        b->setObjectName(QString::fromLatin1(t));
        group->addButton(b, id);
        if (id == checked) b->setChecked(true);
        layout->addWidget(b);
        ++id;
    }
    into->addWidget(box);
    return group;
}

}  // namespace

BarcodePrintDialog::BarcodePrintDialog(QWidget* parent, const LabelSettings& start)
    : QDialog(parent), m_settings(start) {
    setWindowTitle(QStringLiteral("Barcode print"));
    auto* outer = new QGridLayout(this);
    auto* form = new QFormLayout;
    for (const Entry& e : kEntries) {
        auto* edit = new QLineEdit(QString::fromStdString(start.*e.field), this);
        edit->setObjectName(QString::fromLatin1(e.name));
        form->addRow(QString::fromLatin1(e.caption), edit);
    }
    outer->addLayout(form, 0, 0);

    auto* right = new QVBoxLayout;
    QButtonGroup* source = choices(this, right, "Source",
                                   {"Inventory", "Customers", "All values in the range",
                                    "Repeat of inventory barcode in start box"},
                                   static_cast<int>(start.source));
    source->setObjectName(QStringLiteral("source"));
    QButtonGroup* format =
        choices(this, right, "Format", {"Video spine", "Two column", "Three column"},
                static_cast<int>(start.format));
    format->setObjectName(QStringLiteral("format"));
    QButtonGroup* symbol = choices(this, right, "Barcode type", {"EAN (UPC A)", "Code 39"},
                                   static_cast<int>(start.symbol));
    symbol->setObjectName(QStringLiteral("symbol"));
    outer->addLayout(right, 0, 1);

    auto* options = new QVBoxLayout;
    auto check = [&](const char* text, bool on) {
        auto* c = new QCheckBox(QString::fromLatin1(text), this);
        c->setObjectName(QString::fromLatin1(text));
        c->setChecked(on);
        options->addWidget(c);
        return c;
    };
    check("Include price", start.includePrice);
    QButtonGroup* tax =
        choices(this, options, "Price", {"With tax", "Without tax"}, start.withTax ? 0 : 1);
    tax->setObjectName(QStringLiteral("tax"));
    check("Incude store (Video spine)", start.includeStore);
    check("Position below other text (Video spine)", start.priceBelow);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("textSize"));
    slider->setRange(10, 200);
    slider->setValue(start.textSize > 0 ? start.textSize : 40);
    auto* sizes = new QFormLayout;
    sizes->addRow(QStringLiteral("Large - Tiny"), slider);
    options->addLayout(sizes);
    QCheckBox* printerDefault = check("Use the printer default", start.textSize == 0);
    slider->setEnabled(start.textSize != 0);
    connect(printerDefault, &QCheckBox::toggled, slider,
            [slider](bool on) { slider->setEnabled(!on); });
    outer->addLayout(options, 1, 0, 1, 2);

    // Choosing a format or a symbol loads its geometry into the entries.
    auto* originX = findChild<QLineEdit*>(QStringLiteral("originX"));
    originX->setEnabled(start.originXEditable());
    connect(format, &QButtonGroup::idClicked, this, [this, originX](int id) {
        LabelSettings s = read();
        s.chooseFormat(static_cast<LabelFormat>(id));
        show(s);
        originX->setEnabled(s.originXEditable());
    });
    connect(symbol, &QButtonGroup::idClicked, this, [this](int id) {
        LabelSettings s = read();
        s.chooseSymbol(static_cast<LabelSymbol>(id));
        show(s);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons, 2, 0, 1, 2);
}

void BarcodePrintDialog::show(const LabelSettings& s) {
    for (const Entry& e : kEntries)
        findChild<QLineEdit*>(QString::fromLatin1(e.name))
            ->setText(QString::fromStdString(s.*e.field));
}

LabelSettings BarcodePrintDialog::read() const {
    LabelSettings s = m_settings;
    for (const Entry& e : kEntries)
        s.*e.field = findChild<QLineEdit*>(QString::fromLatin1(e.name))->text().toStdString();
    auto group = [this](const char* name) {
        return findChild<QButtonGroup*>(QString::fromLatin1(name))->checkedId();
    };
    s.source = static_cast<LabelSource>(group("source"));
    s.format = static_cast<LabelFormat>(group("format"));
    s.symbol = static_cast<LabelSymbol>(group("symbol"));
    s.withTax = group("tax") == 0;
    auto checked = [this](const char* name) {
        return findChild<QCheckBox*>(QString::fromLatin1(name))->isChecked();
    };
    s.includePrice = checked("Include price");
    s.includeStore = checked("Incude store (Video spine)");
    s.priceBelow = checked("Position below other text (Video spine)");
    s.textSize = checked("Use the printer default")
                     ? 0
                     : findChild<QSlider*>(QStringLiteral("textSize"))->value();
    return s;
}

std::optional<LabelSettings> BarcodePrintDialog::run(QWidget* parent, const LabelSettings& start) {
    BarcodePrintDialog dialog(parent, start);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.read();
}

}  // namespace kassio
