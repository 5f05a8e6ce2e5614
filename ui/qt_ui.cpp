#include "ui/qt_ui.h"

#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

#include "base/win1252.h"

namespace kassio {

QString toQt(const std::string& win1252) {
    return QString::fromStdString(win1252ToUtf8(win1252));
}

std::string fromQt(const QString& text) {
    return utf8ToWin1252(text.toStdString());
}

Ui::Answer QtUi::message(const std::string& text, const std::string& title, Icon icon,
                         Buttons buttons) {
    if (m_echo)
        std::fprintf(stderr, "kassio: %s: %s\n", win1252ToUtf8(title).c_str(),
                     win1252ToUtf8(text).c_str());
    QMessageBox::Icon qicon = QMessageBox::Information;
    switch (icon) {
        case Icon::kInformation:
            qicon = QMessageBox::Information;
            break;
        case Icon::kWarning:
            qicon = QMessageBox::Warning;
            break;
        case Icon::kError:
            qicon = QMessageBox::Critical;
            break;
        case Icon::kQuestion:
            qicon = QMessageBox::Question;
            break;
    }
    QMessageBox::StandardButtons qbuttons = QMessageBox::Ok;
    switch (buttons) {
        case Buttons::kOk:
            qbuttons = QMessageBox::Ok;
            break;
        case Buttons::kOkCancel:
            qbuttons = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::kYesNo:
            qbuttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::kYesNoCancel:
            qbuttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(qicon, toQt(title), toQt(text), qbuttons, m_parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::kYes;
        case QMessageBox::No:
            return Answer::kNo;
        case QMessageBox::Cancel:
            return Answer::kCancel;
        default:
            return Answer::kOk;
    }
}

std::optional<std::string> QtUi::prompt(const std::string& caption, const std::string& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(m_parent, toQt(caption), QString(), QLineEdit::Normal,
                                         toQt(initial), &ok);
    if (!ok || text.isEmpty()) return std::nullopt;
    return fromQt(text);
}

std::optional<int> QtUi::pickFromList(const std::string& title,
                                      const std::vector<std::string>& entries) {
    if (entries.empty()) return std::nullopt;
    QStringList items;
    for (const std::string& e : entries) items << toQt(e);
    bool ok = false;
    QString picked = QInputDialog::getItem(m_parent, toQt(title), QString(), items, 0, false, &ok);
    if (!ok) return std::nullopt;
    int index = static_cast<int>(items.indexOf(picked));
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

}  // namespace kassio
