#include "form_widgets.h"

#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>

#include "store/win1252.h"

namespace kassio::backoffice {

QString qt(const std::string& win1252) { return QString::fromStdString(win1252ToUtf8(win1252)); }

std::string core(const QString& text) { return utf8ToWin1252(text.toStdString()); }

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
