#include "ui/devices/language_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/devices/qt_text.h"

namespace kassio {

LanguageDialog::LanguageDialog(QWidget* parent, const LanguageCustomization& start)
    : QDialog(parent), m_model(start) {
    setWindowTitle(QStringLiteral("Language customization"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("language"));
    for (const char* name : kLanguageNames) m_language->addItem(QString::fromLatin1(name));
    m_language->setCurrentIndex(m_model.language());
    top->addRow(QStringLiteral("Language"), m_language);
    layout->addLayout(top);

    auto* note = new QLabel(QString::fromLatin1(LanguageCustomization::kNote), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* inner = new QWidget(this);
    auto* columns = new QHBoxLayout(inner);
    auto group = [&](const char* title, int first, int last) {
        auto* box = new QGroupBox(QString::fromLatin1(title), inner);
        auto* grid = new QGridLayout(box);
        for (int slot = first; slot <= last; ++slot) {
            auto* builtIn = new QLineEdit(box);
            builtIn->setReadOnly(true);
            auto* current = new QLineEdit(box);
            current->setMaxLength(79);
            current->setObjectName(QStringLiteral("word%1").arg(slot));
            grid->addWidget(builtIn, slot - first, 0);
            grid->addWidget(current, slot - first, 1);
            m_builtIn[slot - 1] = builtIn;
            m_current[slot - 1] = current;
        }
        columns->addWidget(box);
    };
    group("Receipt", 1, kReceiptWordGroup);
    group("Invoice", kReceiptWordGroup + 1, kCustomWordCount);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
    connect(reset, &QPushButton::clicked, this, [this] {
        m_model.reset();
        showWords();
    });
    connect(m_language, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.chooseLanguage(index);
        showWords();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    showWords();
}

void LanguageDialog::showWords() {
    for (int slot = 1; slot <= kCustomWordCount; ++slot) {
        m_builtIn[slot - 1]->setText(qtText(m_model.builtIn(slot)));
        m_current[slot - 1]->setText(qtText(m_model.current(slot)));
    }
}

void LanguageDialog::takeEdits() {
    for (int slot = 1; slot <= kCustomWordCount; ++slot)
        m_model.edit(slot, coreText(m_current[slot - 1]->text()));
}

std::optional<LanguageCustomization> LanguageDialog::run(QWidget* parent,
                                                         const LanguageCustomization& start) {
    LanguageDialog dialog(parent, start);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    dialog.takeEdits();
    return dialog.m_model;
}

}  // namespace kassio
