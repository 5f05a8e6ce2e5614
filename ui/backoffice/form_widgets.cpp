#include "form_widgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include "base/win1252.h"

namespace kassio::backoffice {

QString qt(const std::string& win1252) {
    return QString::fromStdString(win1252ToUtf8(win1252));
}

std::string core(const QString& text) {
    return utf8ToWin1252(text.toStdString());
}

QLineEdit* entry(QWidget* parent, const std::string& text, int maxLength, bool upper) {
    auto* e = new QLineEdit(qt(text), parent);
    e->setMaxLength(maxLength);
    if (upper) {
        QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
            QString up = t;
            for (QChar& c : up)
                if (c >= QChar('a') && c <= QChar('z')) c = QChar(c.unicode() - 'a' + 'A');
            if (up != t) {
                const int at = e->cursorPosition();
                e->setText(up);
                e->setCursorPosition(at);
            }
        });
    }
    return e;
}

QComboBox* numberList(QWidget* parent, int first, int last, int current) {
    auto* box = new QComboBox(parent);
    for (int n = first; n <= last; ++n) box->addItem(QString::number(n), n);
    int at = box->findData(current);
    box->setCurrentIndex(at >= 0 ? at : 0);
    return box;
}

QComboBox* textList(QWidget* parent, const std::vector<std::string>& texts, int current) {
    auto* box = new QComboBox(parent);
    for (const std::string& t : texts) box->addItem(qt(t));
    box->setCurrentIndex(current >= 0 && current < box->count() ? current : 0);
    return box;
}

void showPicture(QLabel* label, const std::string& path) {
    QPixmap p(QString::fromStdString(path));
    label->setFixedSize(48, 48);
    if (p.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(p.scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void showEnlarged(QWidget* parent, const std::string& path, const std::string& title) {
    QDialog d(parent);
    d.setWindowTitle(qt(title));
    auto* layout = new QVBoxLayout(&d);
    auto* label = new QLabel(&d);
    label->setFixedSize(300, 300);
    label->setAlignment(Qt::AlignCenter);
    QPixmap p(QString::fromStdString(path));
    if (!p.isNull())
        label->setPixmap(p.scaled(300, 300, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    layout->addWidget(new QLabel(QStringLiteral("Inventory image"), &d));
    layout->addWidget(label);
    d.exec();
}

QWidget* readOnlyRows(QWidget* parent, const TextRows& rows, std::vector<QLabel*>* values,
                      QSize minimum) {
    auto* area = new QScrollArea(parent);
    auto* inner = new QWidget(area);
    auto* form = new QFormLayout(inner);
    for (const auto& [label, value] : rows) {
        auto* v = new QLabel(qt(value), inner);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(qt(label), v);
        if (values) values->push_back(v);
    }
    area->setWidget(inner);
    area->setWidgetResizable(true);
    area->setMinimumSize(minimum);
    return area;
}

void refillRows(std::vector<QLabel*>& values, const TextRows& rows) {
    for (std::size_t i = 0; i < values.size() && i < rows.size(); ++i)
        values[i]->setText(qt(rows[i].second));
}

FormButton findWindow(QWidget* parent, const QString& title, const TextRows& first,
                      const std::function<std::optional<TextRows>()>& next, QSize minimum) {
    QDialog d(parent);
    d.setWindowTitle(title);
    std::vector<QLabel*> values;
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(readOnlyRows(&d, first, &values, minimum));
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.action(QStringLiteral("Next"), [&] {
        if (auto rows = next())
            refillRows(values, *rows);
        else
            buttons.finish(FormButton::kCancel);
    });
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    layout->addWidget(buttons.widget());
    d.exec();
    return buttons.result();
}

QPushButton* ButtonRow::add(const QString& text, FormButton button) {
    auto* b = new QPushButton(text, widget());
    widget()->layout()->addWidget(b);
    QObject::connect(b, &QPushButton::clicked, m_dialog, [this, button] { finish(button); });
    if (button == FormButton::kOk) b->setDefault(true);
    return b;
}

QPushButton* ButtonRow::action(const QString& text, std::function<void()> onClick) {
    auto* b = new QPushButton(text, widget());
    widget()->layout()->addWidget(b);
    QObject::connect(b, &QPushButton::clicked, m_dialog, [onClick] { onClick(); });
    return b;
}

QWidget* ButtonRow::widget() {
    if (!m_row) {
        m_row = new QWidget(m_dialog);
        auto* layout = new QHBoxLayout(m_row);
        layout->addStretch(1);
    }
    return m_row;
}

void ButtonRow::finish(FormButton b) {
    m_result = b;
    if (b == FormButton::kCancel)
        m_dialog->reject();
    else
        m_dialog->accept();
}

}  // namespace kassio::backoffice
