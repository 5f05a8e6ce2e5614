#include "ui/reports/report_windows.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "ui/qt_ui.h"

namespace kassio {

namespace {

QDate toDate(const Day& d) {
    return QDate(d.year, d.month, d.day);
}

Day fromDate(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

QLabel* noteLabel(const std::string& text, QWidget* parent) {
    auto* l = new QLabel(toQt(text), parent);
    l->setWordWrap(true);
    return l;
}

// Rows of label and value in a grid, two columns of pairs when long.
QWidget* figureGrid(const Rows& rows, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* grid = new QGridLayout(w);
    const int perColumn =
        rows.size() > 14 ? static_cast<int>((rows.size() + 1) / 2) : static_cast<int>(rows.size());
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const int col = (i / perColumn) * 2;
        const int row = i % perColumn;
        grid->addWidget(new QLabel(toQt(rows[i].first), w), row, col);
        auto* value = new QLabel(toQt(rows[i].second), w);
        value->setObjectName(toQt(rows[i].first));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, row, col + 1);
    }
    return w;
}

}  // namespace

std::optional<Day> pickDay(QWidget* parent, const Day& today) {
    QDialog dialog(parent);
    dialog.setObjectName("dayPicker");
    dialog.setWindowTitle("Please select the day");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Please select the day", &dialog));
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setSelectedDate(toDate(today));
    layout->addWidget(calendar);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return fromDate(calendar->selectedDate());
}

void showFigures(QWidget* parent, const QString& title, const Rows& rows,
                 const std::vector<std::string>& notes, const QString& closeText) {
    QDialog dialog(parent);
    dialog.setObjectName("figures");
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(title, &dialog));
    layout->addWidget(figureGrid(rows, &dialog));
    for (const std::string& n : notes) layout->addWidget(noteLabel(n, &dialog));
    auto* close = new QPushButton(closeText, &dialog);
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.exec();
}

CloseoutChoice askCloseout(QWidget* parent, const Rows& rows) {
    QDialog dialog(parent);
    dialog.setObjectName("tillCloseout");
    dialog.setWindowTitle("Till closeout");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Till closeout", &dialog));
    layout->addWidget(figureGrid(rows, &dialog));
    layout->addWidget(
        noteLabel("The figures include customer balance payments and exclude "
                  "credit sales and credit refunds.",
                  &dialog));
    auto* row = new QHBoxLayout;
    CloseoutChoice choice = CloseoutChoice::kCancel;
    auto button = [&](const char* text, CloseoutChoice c) {
        auto* b = new QPushButton(text, &dialog);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &choice, c] {
            choice = c;
            dialog.accept();
        });
        row->addWidget(b);
    };
    button("Close and log off", CloseoutChoice::kClose);
    button("Print, close and log off", CloseoutChoice::kPrintAndClose);
    button("Cancel", CloseoutChoice::kCancel);
    layout->addLayout(row);
    dialog.exec();
    return choice;
}

std::optional<SummaryChoice> askItemSummary(QWidget* parent, SummaryPeriod period, const Day& today,
                                            const std::vector<std::string>& categories) {
    QDialog dialog(parent);
    dialog.setObjectName("itemSummary");
    dialog.setWindowTitle("Item summary");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    QComboBox* dayBox = nullptr;
    QComboBox* monthBox = nullptr;
    QComboBox* yearBox = nullptr;
    QDateEdit* startEdit = nullptr;
    QDateEdit* endEdit = nullptr;
    if (period == SummaryPeriod::kPeriod) {
        startEdit = new QDateEdit(toDate(today), &dialog);
        endEdit = new QDateEdit(toDate(today), &dialog);
        startEdit->setCalendarPopup(true);
        endEdit->setCalendarPopup(true);
        startEdit->setDisplayFormat("dd/MM/yyyy");
        endEdit->setDisplayFormat("dd/MM/yyyy");
        form->addRow("Start", startEdit);
        form->addRow("End", endEdit);
    } else {
        if (period != SummaryPeriod::kMonth) {
            dayBox = new QComboBox(&dialog);
            for (int d = 1; d <= 31; ++d) dayBox->addItem(QString::number(d));
            dayBox->setCurrentIndex(today.day - 1);
            form->addRow(period == SummaryPeriod::kWeek ? "First day" : "Day", dayBox);
        }
        monthBox = new QComboBox(&dialog);
        for (int m = 1; m <= 12; ++m) monthBox->addItem(QString::number(m));
        monthBox->setCurrentIndex(today.month - 1);
        form->addRow("Month", monthBox);
        yearBox = new QComboBox(&dialog);
        for (int y = today.year; y >= today.year - 8; --y) yearBox->addItem(QString::number(y));
        form->addRow("Year", yearBox);
    }
    const char* names[] = {"Exclude refunds",   "Exclude cash sales",   "Exclude CH sales",
                           "Exclude EFT sales", "Exclude credit sales", "Exclude split sales"};
    QCheckBox* boxes[6];
    for (int i = 0; i < 6; ++i) {
        boxes[i] = new QCheckBox(names[i], &dialog);
        layout->addWidget(boxes[i]);
    }
    boxes[0]->setChecked(true);
    auto* category = new QComboBox(&dialog);
    category->setObjectName("category");
    category->addItem("All");
    for (const std::string& c : categories) category->addItem(toQt(c));
    category->addItem("Non Inventory");
    form->addRow("Category", category);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* problem = new QLabel(&dialog);
    problem->setObjectName("problem");
    layout->addWidget(problem);
    layout->addWidget(buttons);
    SummaryChoice choice;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (startEdit) {
            choice.first = fromDate(startEdit->date());
            choice.last = fromDate(endEdit->date());
            if (compareDays(choice.first, choice.last) > 0) {
                problem->setText("The end is before the start");
                return;
            }
        } else {
            choice.first = {yearBox->currentText().toInt(), monthBox->currentIndex() + 1,
                            dayBox ? dayBox->currentIndex() + 1 : 1};
            if (!isValidDay(choice.first)) {
                problem->setText("Invalid date");
                return;
            }
            choice.last = choice.first;
        }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ItemSummaryFilter& f = choice.filter;
    f.excludeRefunds = boxes[0]->isChecked();
    f.excludeCash = boxes[1]->isChecked();
    f.excludeCh = boxes[2]->isChecked();
    f.excludeEft = boxes[3]->isChecked();
    f.excludeCredit = boxes[4]->isChecked();
    f.excludeSplit = boxes[5]->isChecked();
    const int c = category->currentIndex();
    f.category = c == 0 ? kEveryCategory : c - 1;  // the last entry is 18, "Non Inventory"
    return choice;
}

std::optional<std::pair<Day, Day>> askPeriod(QWidget* parent, const Day& today) {
    QDialog dialog(parent);
    dialog.setObjectName("period");
    dialog.setWindowTitle("Please specify the period");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto* start = new QDateEdit(toDate(today), &dialog);
    auto* end = new QDateEdit(toDate(today), &dialog);
    for (QDateEdit* e : {start, end}) {
        e->setCalendarPopup(true);
        e->setDisplayFormat("dd/MM/yyyy");
    }
    start->setObjectName("start");
    end->setObjectName("end");
    form->addRow("Start", start);
    form->addRow("End", end);
    layout->addLayout(form);
    layout->addWidget(noteLabel(
        "Please note that this routine may take a few minutes while transactions are parsed.",
        &dialog));
    auto* problem = new QLabel(&dialog);
    problem->setObjectName("problem");
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (start->date() > end->date()) {
            problem->setText("The end is before the start");
            return;
        }
        dialog.accept();
    });
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::make_pair(fromDate(start->date()), fromDate(end->date()));
}

void showList(QWidget* parent, const ListWindowSpec& spec) {
    QDialog dialog(parent);
    dialog.setObjectName("reportList");
    dialog.setWindowTitle(spec.title);
    dialog.resize(760, 520);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(spec.title, &dialog));
    QFont mono("DejaVu Sans Mono");
    mono.setStyleHint(QFont::Monospace);
    if (!spec.columns.isEmpty()) {
        auto* columns = new QLabel(spec.columns, &dialog);
        columns->setFont(mono);
        layout->addWidget(columns);
    }
    auto* list = new QListWidget(&dialog);
    list->setObjectName("lines");
    list->setFont(mono);
    for (const std::string& line : spec.lines) list->addItem(toQt(line));
    layout->addWidget(list, 1);
    for (const std::string& f : spec.footer) layout->addWidget(noteLabel(f, &dialog));
    auto* row = new QHBoxLayout;
    row->addStretch();
    if (spec.print) {
        auto* b = new QPushButton("Print", &dialog);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&spec] { spec.print(); });
        row->addWidget(b);
    }
    if (spec.save) {
        auto* b = new QPushButton("Save", &dialog);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&spec] { spec.save(); });
        row->addWidget(b);
    }
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    row->addWidget(ok);
    layout->addLayout(row);
    dialog.exec();
}

void showSalesReport(QWidget* parent, const SalesReport& report) {
    QDialog dialog(parent);
    dialog.setObjectName("salesReport");
    dialog.setWindowTitle(toQt(report.title));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(toQt(report.title), &dialog));
    auto* grid = new QGridLayout;
    for (int l = 0; l < kSalesLevels; ++l)
        grid->addWidget(new QLabel(kSalesLevelNames[l], &dialog), 0, l + 1);
    for (int f = 0; f < kSalesFigures; ++f) {
        grid->addWidget(new QLabel(kSalesFigureNames[f], &dialog), f + 1, 0);
        for (int l = 0; l < kSalesLevels; ++l) {
            auto* box = new QComboBox(&dialog);
            box->setObjectName(QString("%1 %2").arg(kSalesFigureNames[f], kSalesLevelNames[l]));
            box->setMinimumContentsLength(22);
            for (const std::string& line : report.lists[f][l]) box->addItem(toQt(line));
            grid->addWidget(box, f + 1, l + 1);
        }
    }
    layout->addLayout(grid);
    layout->addWidget(noteLabel(kSalesReportNote, &dialog));
    auto* ok = new QPushButton("OK", &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    dialog.exec();
}

void showUnits(QWidget* parent, const UnitsByCategory& units, const std::function<void()>& print) {
    QDialog dialog(parent);
    dialog.setObjectName("units");
    dialog.setWindowTitle(toQt(units.title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    int r = 0;
    for (const UnitsRow& row : units.rows) {
        for (int k = 0; k < 2; ++k) {
            grid->addWidget(new QLabel(toQt(row.code[k]), &dialog), r, k * 2);
            grid->addWidget(
                new QLabel(QString("%1, %2").arg(row.units[k]).arg(row.value[k], 0, 'f', 2),
                           &dialog),
                r, k * 2 + 1);
        }
        ++r;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* printButton = buttons->addButton("Print", QDialogButtonBox::ActionRole);
    QObject::connect(printButton, &QPushButton::clicked, &dialog, [&print] { print(); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

std::optional<BoundsCheck> askBounds(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName("bounds");
    dialog.setWindowTitle("Data Bounds Check");
    auto* layout = new QVBoxLayout(&dialog);
    auto* costRetail = new QCheckBox("Cost price exceeds retail price", &dialog);
    costRetail->setChecked(true);
    layout->addWidget(costRetail);
    auto* costBox = new QCheckBox("Cost price exceeds", &dialog);
    auto* costLimit = new QLineEdit("100.00", &dialog);
    auto* retailBox = new QCheckBox("Retail price exceeds", &dialog);
    auto* retailLimit = new QLineEdit("100.00", &dialog);
    auto* form = new QFormLayout;
    form->addRow(costBox, costLimit);
    form->addRow(retailBox, retailLimit);
    layout->addLayout(form);
    auto* problem = new QLabel(&dialog);
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    BoundsCheck check;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        check = BoundsCheck{};
        check.costAboveRetail = costRetail->isChecked();
        bool ok = true;
        if (costBox->isChecked()) check.costLimit = costLimit->text().toDouble(&ok);
        bool ok2 = true;
        if (retailBox->isChecked()) check.retailLimit = retailLimit->text().toDouble(&ok2);
        if (!ok || !ok2) {
            problem->setText("Outside range");
            return;
        }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return check;
}

void showLog(QWidget* parent, const LogChunk& first, const LogViewerSource& source) {
    QDialog dialog(parent);
    dialog.setObjectName("logViewer");
    dialog.setWindowTitle("KASSIO SC log");
    dialog.resize(720, 520);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(" Detail:", &dialog));
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName("detail");
    text->setReadOnly(true);
    layout->addWidget(text, 1);
    auto* row = new QHBoxLayout;
    auto* previous = new QPushButton("Previous", &dialog);
    auto* next = new QPushButton("Next", &dialog);
    auto* ok = new QPushButton("OK", &dialog);
    row->addWidget(previous);
    row->addWidget(next);
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
    LogChunk shown = first;
    auto show = [&] {
        text->setPlainText(toQt(shown.text));
        next->setEnabled(shown.hasNext);
        previous->setEnabled(shown.hasPrevious);
    };
    show();
    QObject::connect(next, &QPushButton::clicked, &dialog, [&] {
        if (auto c = source.next(shown)) shown = *c;
        show();
    });
    QObject::connect(previous, &QPushButton::clicked, &dialog, [&] {
        if (auto c = source.previous(shown)) shown = *c;
        show();
    });
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.exec();
}

ReportProgressPanel::ReportProgressPanel(QWidget* parent, const QString& text)
    : m_dialog(new QProgressDialog(text, "Cancel", 0, 100, parent)) {
    m_dialog->setObjectName("reportProgress");
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setValue(0);
}

ReportProgressPanel::~ReportProgressPanel() {
    m_dialog->close();
    m_dialog->deleteLater();
}

ReportProgress ReportProgressPanel::progress() {
    QProgressDialog* d = m_dialog;
    return [d](int done, int total) {
        d->setMaximum(std::max(1, total));
        d->setValue(done);  // processes events once the panel shows
        return !d->wasCanceled();
    };
}

std::string askSaveFile(QWidget* parent, const QString& proposed) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString file = QFileDialog::getSaveFileName(
        parent, "Save", proposed.isEmpty() ? documents : QDir(documents).filePath(proposed),
        "Text files (*.TXT)");
    return file.toStdString();
}

}  // namespace kassio
