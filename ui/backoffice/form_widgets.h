// Small building blocks shared by the back-office dialogs: text conversion
// at the Qt boundary, upper-case entry fields, list boxes of numbers, the
// picture label, the read-only rows of the find and view windows and the
// button rows.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/form_button.h"

namespace kassio::backoffice {

QString qt(const std::string& win1252);
std::string core(const QString& text);

// A one-line entry of at most maxLength characters; upper turns ASCII
// letters into capitals as they are typed.
QLineEdit* entry(QWidget* parent, const std::string& text, int maxLength, bool upper);

// A list of the numbers first..last, optionally led by extra entries.
QComboBox* numberList(QWidget* parent, int first, int last, int current);
QComboBox* textList(QWidget* parent, const std::vector<std::string>& texts, int current);

// The picture file drawn at 48 x 48; a missing file leaves the label empty.
void showPicture(QLabel* label, const std::string& path);
// "Inventory image": the picture fitted into 300 x 300 keeping its shape.
void showEnlarged(QWidget* parent, const std::string& path, const std::string& title);

// Label and value pairs of a read-only form, in the order shown.
using TextRows = std::vector<std::pair<std::string, std::string>>;

// The rows as selectable labels in a scrolled area of at least minimum;
// values, when given, receives the value labels in row order.
QWidget* readOnlyRows(QWidget* parent, const TextRows& rows, std::vector<QLabel*>* values,
                      QSize minimum);
// Puts the values of rows into labels made by readOnlyRows, row by row.
void refillRows(std::vector<QLabel*>& values, const TextRows& rows);

// A FIND window: the rows of the first match with OK, Next and Cancel. Next
// shows the rows next() gives, or closes as Cancel when it gives none.
FormButton findWindow(QWidget* parent, const QString& title, const TextRows& first,
                      const std::function<std::optional<TextRows>()>& next, QSize minimum);

// The same for matches of any kind, each shown through rowsOf.
template <class View, class RowsOf>
FormButton findWindow(QWidget* parent, const QString& title, const View& first,
                      const std::function<std::optional<View>()>& next, RowsOf rowsOf,
                      QSize minimum) {
    return findWindow(
        parent, title, rowsOf(first),
        [&]() -> std::optional<TextRows> {
            if (auto v = next()) return rowsOf(*v);
            return std::nullopt;
        },
        minimum);
}

// Buttons at the foot of a dialog. Each sets the dialog's result to its
// FormButton and closes it; result() then reads it back.
class ButtonRow {
  public:
    explicit ButtonRow(QDialog* dialog) : m_dialog(dialog) {}
    QPushButton* add(const QString& text, FormButton button);
    // A button that does not close the dialog.
    QPushButton* action(const QString& text, std::function<void()> onClick);
    QWidget* widget();
    FormButton result() const { return m_result; }
    void finish(FormButton b);

  private:
    QDialog* m_dialog;
    QWidget* m_row = nullptr;
    FormButton m_result = FormButton::kCancel;
};

}  // namespace kassio::backoffice
