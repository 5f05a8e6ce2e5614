// The Utilities panels "Tax setup", "Store print heading", "Non inventory
// settings" and "File reset", and the Help panels "Calendar", "About" and
// the manual. Each panel shows a core value and returns it edited; the
// rules and the saving are the core's (admin/store_settings.h).
//
// A panel whose value the core refuses stays open and shows the reason
// inside itself (objectName "problem"): under a desktop without a window
// manager a second box could open behind it.
#pragma once

#include <QDialog>
#include <QTextBrowser>
#include <functional>
#include <optional>
#include <vector>

#include "admin/store_settings.h"

class QDialogButtonBox;
class QFormLayout;
class QLabel;

namespace kassio {

// A form with a problem line and OK / Cancel; OK accepts only when the
// check passes.
class CheckedDialog : public QDialog {
    Q_OBJECT
  public:
    CheckedDialog(QWidget* parent, const QString& title, const QString& question);

  protected:
    QFormLayout* form() const { return m_form; }
    // Runs the dialog; true when OK was pressed and check() passed.
    bool runChecked(std::function<Status()> check);

  private:
    QFormLayout* m_form;
    QLabel* m_problem;
    std::function<Status()> m_check;
};

class TaxSetupDialog final : public CheckedDialog {
    Q_OBJECT
  public:
    static std::optional<TaxSetup> run(QWidget* parent, const TaxSetup& page);

  private:
    explicit TaxSetupDialog(QWidget* parent);
};

class PrintHeadingDialog final : public CheckedDialog {
    Q_OBJECT
  public:
    static std::optional<PrintHeading> run(QWidget* parent, const PrintHeading& page);

  private:
    explicit PrintHeadingDialog(QWidget* parent);
};

class NonInventoryDialog final : public CheckedDialog {
    Q_OBJECT
  public:
    static std::optional<NonInventorySettings> run(QWidget* parent,
                                                   const NonInventorySettings& page);

  private:
    explicit NonInventoryDialog(QWidget* parent);
};

// The parts to reset; OK asks "Reset ...?" inside the panel first (a
// second OK confirms), so nothing is reset by one careless press.
class FileResetDialog final : public CheckedDialog {
    Q_OBJECT
  public:
    static std::optional<std::vector<ResetPart>> run(QWidget* parent);

  private:
    explicit FileResetDialog(QWidget* parent);
};

// "Calendar": a month view with today marked.
void showCalendar(QWidget* parent);
// "About KASSIO SC": the program, its version and the DataFolder.
void showAbout(QWidget* parent, const QString& dataFolder);

// The manual: kassio.htm in the help folder, in a window of its own that
// stays open beside the till (objectName "helpWindow"). Null when the
// manual cannot be found; the caller says so.
QTextBrowser* openHelp(QWidget* parent);
// The folder holding kassio.htm: beside the installed program
// (<prefix>/share/kassio/help), the install prefix, then the source tree
// when run uninstalled. Empty when none holds it.
QString helpFolder();

}  // namespace kassio
