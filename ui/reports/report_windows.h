// The report windows: small dialogs that show what the core worked out
// (reports/) and hand the person's choices back. No figure is computed here.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reports/activity_log_reader.h"
#include "reports/item_summary.h"
#include "reports/sales_report.h"
#include "reports/stock_lists.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QProgressDialog;

namespace kassio {

using Rows = std::vector<std::pair<std::string, std::string>>;

// "Please select the day": a calendar with OK and Cancel.
std::optional<Day> pickDay(QWidget* parent, const Day& today);

// A window of labelled figures with notes and one closing button.
void showFigures(QWidget* parent, const QString& title, const Rows& rows,
                 const std::vector<std::string>& notes, const QString& closeText = "OK");

// The till closeout: the figures with "Close and log off", "Print, close and
// log off" and "Cancel".
enum class CloseoutChoice { kCancel, kClose, kPrintAndClose };
CloseoutChoice askCloseout(QWidget* parent, const Rows& rows);

// "Item summary": the filters of a summary, with the day (or month, or the
// start and end) it covers.
struct SummaryChoice {
    ItemSummaryFilter filter;
    Day first;
    Day last;
};
std::optional<SummaryChoice> askItemSummary(QWidget* parent, SummaryPeriod period, const Day& today,
                                            const std::vector<std::string>& categories);

// "Please specify the period": a start and an end day.
std::optional<std::pair<Day, Day>> askPeriod(QWidget* parent, const Day& today);

// A list of report lines with optional Print and Save buttons.
struct ListWindowSpec {
    QString title;
    QString columns;
    std::vector<std::string> lines;
    std::vector<std::string> footer;  // shown below the list
    std::function<void()> print;      // no Print button when empty
    std::function<void()> save;       // no Save button when empty
};
void showList(QWidget* parent, const ListWindowSpec& spec);

void showSalesReport(QWidget* parent, const SalesReport& report);

// Units by category: the nine rows; print is called for "Print".
void showUnits(QWidget* parent, const UnitsByCategory& units, const std::function<void()>& print);

// "Data Bounds Check": which tests and limits.
std::optional<BoundsCheck> askBounds(QWidget* parent);

// "KASSIO SC log": the chunk viewer. next/previous return the chunk to show.
struct LogViewerSource {
    std::function<std::optional<LogChunk>(const LogChunk& shown)> next;
    std::function<std::optional<LogChunk>(const LogChunk& shown)> previous;
};
void showLog(QWidget* parent, const LogChunk& first, const LogViewerSource& source);

// A progress panel that shows itself only after half a second and can be
// cancelled; progress() is what the core calls between days.
class ReportProgressPanel {
  public:
    explicit ReportProgressPanel(QWidget* parent, const QString& text);
    ~ReportProgressPanel();
    ReportProgress progress();

  private:
    QProgressDialog* m_dialog;
};

// A file name from the save panel (documents folder, "Text files (*.TXT)");
// empty when cancelled.
std::string askSaveFile(QWidget* parent, const QString& proposed = {});

}  // namespace kassio
