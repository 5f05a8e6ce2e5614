// The report windows from the till window's menus: the till closeout
// closed every way it closes (Cancel, Esc and the close button write
// nothing; both closing buttons write the closeout to the day's log and log
// the clerk off; the printing one prints a page read back from its PDF),
// the Daily Status, the till reconciliation and a chosen day's summary, the
// item summary printed and saved, the stock lists, the sales report and
// units by category, the exits that print first, the drawer's "Till
// opened." line, and the log viewer's Next over a log longer than one chunk.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "base/text_format.h"
#include "commands/command_router.h"
#include "reports/journal_builder.h"
#include "support/modal_windows.h"
#include "till_fixture_ui.h"
#include "ui/devices/qt_printers.h"
#include "ui/main_window.h"
#include "ui/reports/report_commands.h"

namespace kassio {
namespace {

using test::whenModal;

void click(QWidget* w, const QString& text) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b->click();
    ADD_FAILURE() << "no button " << text.toStdString();
}

// The next modal window of that object name.
void whenShown(const QString& name, std::function<void(QWidget*)> act) {
    whenModal(std::move(act), [name](QWidget* w) { return w->objectName() == name; });
}

QString valueOf(QWidget* w, const QString& label) {
    auto* l = w->findChild<QLabel*>(label);
    if (!l) ADD_FAILURE() << "no figure " << label.toStdString();
    return l ? l->text() : QString();
}

std::vector<std::string> listLines(QWidget* w) {
    std::vector<std::string> out;
    auto* list = w->findChild<QListWidget*>("lines");
    for (int i = 0; list && i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

// Every print dialog answered with a PDF file of its own: <path>1.pdf, ...
class PdfPrinters final : public Printers {
  public:
    explicit PdfPrinters(std::string path) : m_path(std::move(path)) {}
    std::string pdf(int n) const { return m_path + std::to_string(n) + ".pdf"; }
    std::string last() const { return pdf(opened); }
    std::optional<std::vector<PrinterInfo>> list() override { return m_qt.list(); }
    std::string defaultPrinter() override { return {}; }
    bool printerReady(Target, const std::string&) override { return true; }
    std::unique_ptr<PrintJob> open(Target, const std::string&) override {
        ++opened;
        return m_qt.openPdf(pdf(opened), false);
    }
    std::unique_ptr<PrintJob> openPdf(const std::string& path, bool roll) override {
        return m_qt.openPdf(path, roll);
    }
    RawResult rawJob(const std::string&, const std::string&, const std::vector<uint8_t>&) override {
        return RawResult::kCannotOpen;
    }
    int opened = 0;

  private:
    QtPrinters m_qt;
    std::string m_path;
};

// The PDF's text with each run of blanks as one (the layout pads columns).
std::string pdfText(const std::string& pdf) {
    std::string out;
    if (FILE* p = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    std::string squeezed;
    for (char c : out)
        if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
    return squeezed;
}

class ReportWindowsTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        printers = std::make_unique<PdfPrinters>(root / "report");
        registerReportCommands(*router, *store, ui, *till, *printers, window.get());
        window->commandsChanged();
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
    }
    void TearDown() override {
        window.reset();
        router.reset();
    }
    QAction* menuItem(const QString& text) const {
        for (QAction* menu : window->menuBar()->actions()) {
            // The menu greys its items as it opens.
            emit menu->menu()->aboutToShow();
            for (QAction* a : menu->menu()->actions())
                if (a->text() == text) return a;
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }

    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PdfPrinters> printers;
};

TEST_F(ReportWindowsTest, TillCloseoutClosedEveryWay) {
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    ASSERT_EQ(todaysSales().size(), 1u);
    const std::string ch = formatted("Ch: %.2f", todaysSales()[0].cheque);
    const std::string total = formatted("Till total: %.2f", 100 + todaysSales()[0].cheque);
    const std::string clerk = store->config().clerkName(1);
    QAction* closeout = menuItem("Till closeout");
    ASSERT_TRUE(closeout && closeout->isEnabled());

    struct Case {
        const char* button;
        bool logged;
        bool printed;
    };
    // Esc and the window's close button leave it as Cancel does.
    for (const Case& c :
         {Case{"Cancel", false, false}, Case{"Esc", false, false}, Case{"close", false, false},
          Case{"Close and log off", true, false}, Case{"Print, close and log off", true, true}}) {
        SCOPED_TRACE(c.button);
        const std::string before = todaysLog();
        const int opened = printers->opened;
        bool sawLogOn = false;
        whenModal([&](QWidget* w) {
            EXPECT_EQ(w->objectName(), "tillCloseout");
            EXPECT_EQ("Ch: " + w->findChild<QLabel*>("Ch")->text().toStdString(), ch);
            EXPECT_EQ(w->findChild<QLabel*>("Items")->text(), "1 (0)");
            if (c.logged)  // the log-off opens the log-on panel next
                QTimer::singleShot(0, [&] {
                    whenModal([&](QWidget* logOn) {
                        sawLogOn = logOn->objectName() != "tillCloseout";
                        static_cast<QDialog*>(logOn)->reject();
                    });
                });
            if (std::string(c.button) == "Esc")
                QTest::keyClick(w, Qt::Key_Escape);
            else if (std::string(c.button) == "close")
                w->close();
            else
                click(w, c.button);
        });
        closeout->trigger();
        const std::string added = todaysLog().substr(before.size());
        if (c.logged) {
            EXPECT_NE(added.find(" Till closeout\r\nAssoc: 1, " + clerk + "\r\n"),
                      std::string::npos)
                << added;
            EXPECT_NE(added.find(ch + "\r\n"), std::string::npos);
            EXPECT_NE(added.find(total + "\r\n"), std::string::npos) << added;
            EXPECT_TRUE(sawLogOn);
        } else {
            EXPECT_EQ(added, "");
        }
        EXPECT_EQ(printers->opened - opened, c.printed ? 1 : 0);
    }
    const std::string text = pdfText(printers->last());
    EXPECT_NE(text.find("Till closeout"), std::string::npos) << text;
    EXPECT_NE(text.find("Assoc: 1, " + clerk), std::string::npos) << text;
    EXPECT_NE(text.find(ch), std::string::npos) << text;
    EXPECT_NE(text.find(total), std::string::npos) << text;
}

TEST_F(ReportWindowsTest, CloseoutThatCannotWriteTheLogKeepsTheClerkOn) {
    // The next day, whose log is a folder: the closeout's lines cannot be
    // appended.
    clock.set({2026, 12, 7, 9, 0, 0});
    ASSERT_TRUE(makeDirectories(root / "2026/12/7.txt"));
    bool loggedOff = false;
    QTimer watch;  // a log-on panel would mean the clerk was logged off
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && w->objectName() != "tillCloseout") {
            loggedOff = true;
            static_cast<QDialog*>(w)->reject();
        }
    });
    watch.start(10);
    whenShown("tillCloseout", [](QWidget* w) { click(w, "Close and log off"); });
    menuItem("Till closeout")->trigger();
    watch.stop();
    EXPECT_EQ(said(), "Data log text file not present.");
    EXPECT_EQ(saidTitle(), "Fatal error");
    EXPECT_FALSE(loggedOff);
    EXPECT_EQ(till->clerks().clerk(), 1);
}

TEST_F(ReportWindowsTest, DrawerLogsTillOpenedAndTheViewerPagesThroughTheLog) {
    window->runCommand(command::kOpenDrawer);
    EXPECT_NE(todaysLog().find("\r\n14:30 06/12/2026  Till opened.\r\n"), std::string::npos);

    const LocalTime now = clock.now();
    ASSERT_TRUE(store->journal().appendActivity(now, std::string(40000, 'z')));
    whenModal([&](QWidget* w) {
        auto* text = w->findChild<QPlainTextEdit*>("detail");
        auto button = [w](const QString& t) {
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (b->text() == t) return b;
            return static_cast<QPushButton*>(nullptr);
        };
        const QString first = text->toPlainText();
        EXPECT_TRUE(button("Next")->isEnabled());
        EXPECT_FALSE(button("Previous")->isEnabled());
        click(w, "Next");
        EXPECT_TRUE(text->toPlainText().endsWith("zzz"));
        EXPECT_LT(text->toPlainText().size(), 31999 / 2);
        EXPECT_FALSE(button("Next")->isEnabled());
        EXPECT_TRUE(button("Previous")->isEnabled());
        click(w, "Previous");
        EXPECT_EQ(text->toPlainText(), first);
        click(w, "OK");
    });
    menuItem("Display log for today")->trigger();
}

TEST_F(ReportWindowsTest, DailyStatusReconciliationAndAChosenDaysSummary) {
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    ASSERT_EQ(todaysSales().size(), 1u);
    const QString ch = QString::fromStdString(formatted("%.2f", todaysSales()[0].cheque));
    // The day before: one cash balance payment, and nothing else.
    test::payment(*store, {2026, 12, 5}, 900, "Payment (cash)", {.cash = 25});

    // F12, closed with Esc.
    whenShown("figures", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Daily Status Sunday December 6 2026 ");
        EXPECT_EQ(valueOf(w, "CH sales"), ch);
        EXPECT_EQ(valueOf(w, "Total sales"), ch);
        EXPECT_EQ(valueOf(w, "Items sold (refunded)"), "1 (0)");
        EXPECT_EQ(valueOf(w, "Customer balance payments Cash"), "0.00");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QAction* summary = menuItem("&Activity summary\tF12");
    ASSERT_TRUE(summary && summary->isEnabled());
    summary->trigger();

    // The reconciliation, closed with its Finish button.
    whenShown("figures", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Till reconciliation");
        EXPECT_EQ(valueOf(w, "Ch"), ch);
        EXPECT_EQ(valueOf(w, "Initial till"), "100.00");
        EXPECT_EQ(valueOf(w, "Items"), "1 (0)");
        click(w, "Finish");
    });
    menuItem("Till reconciliation")->trigger();

    // The day picker chooses the day before; that summary closes with the
    // window's close button.
    whenShown("dayPicker", [&](QWidget* picker) {
        picker->findChild<QCalendarWidget*>()->setSelectedDate(QDate(2026, 12, 5));
        whenShown("figures", [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Daily Status D:5 M:12 Y:2026");
            EXPECT_EQ(valueOf(w, "CH sales"), "0.00");
            EXPECT_EQ(valueOf(w, "Customer balance payments Cash"), "25.00");
            EXPECT_EQ(valueOf(w, "Items sold (refunded)"), "0 (0)");
            w->close();
        });
        click(picker, "OK");
    });
    menuItem("Previous activity summary")->trigger();

    // A cancelled day picker exports nothing and says nothing.
    whenShown("dayPicker", [](QWidget* picker) { click(picker, "Cancel"); });
    menuItem("Export an activity summary")->trigger();
    EXPECT_TRUE(ui.shown.empty()) << said();
    EXPECT_EQ(printers->opened, 0);
}

TEST_F(ReportWindowsTest, ItemSummaryListsPrintsAndSaves) {
    item(13, "GREEN TEA", 1.50, 2, 30, 7);
    for (int64_t n : {12, 13, 12}) {
        ASSERT_TRUE(till->addItem(n));
        till->chequeTender();
    }
    ASSERT_EQ(todaysLines().size(), 3u);
    const std::string saved = root / "summary.txt";
    std::vector<std::string> shown;

    whenShown("itemSummary", [&](QWidget* filters) {
        whenShown("reportList", [&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Item report   Day 6 Month 12 2026");
            shown = listLines(w);
            click(w, "Print");
            whenModal([&](QWidget* d) { test::answerFileChooser(d, saved); },
                      [](QWidget* d) { return qobject_cast<QFileDialog*>(d) != nullptr; });
            click(w, "Save");
            click(w, "OK");
        });
        click(filters, "OK");
    });
    menuItem("Daily item summary")->trigger();

    // Two sales of 12 merge into one line of quantity 2, first by count.
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].rfind("12, FILTER COFFEE, 5, 2.49, ", 0), 0u) << shown[0];
    EXPECT_EQ(shown[0].substr(shown[0].size() - 3), ", 2");
    EXPECT_EQ(shown[1].rfind("13, GREEN TEA, 7, 0.75, ", 0), 0u) << shown[1];
    EXPECT_EQ(shown[1].substr(shown[1].size() - 3), ", 1");

    const std::string file = test::readFile(saved);
    EXPECT_EQ(file.rfind(shown[0] + "\r\n" + shown[1] + "\r\nItems: 3, Cost: 3.24, Retail: ", 0),
              0u)
        << file;
    EXPECT_EQ(said(), "Complete");
    EXPECT_EQ(saidTitle(), "File save");

    ASSERT_EQ(printers->opened, 1);
    const std::string pdf = pdfText(printers->last());
    EXPECT_NE(pdf.find("Daily item list: Sun 6 Dec 26 page: 1"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find(shown[0]), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("Items: 3, Cost: 3.24, Retail: "), std::string::npos) << pdf;

    // The filters left with Esc or Cancel show no list.
    for (bool esc : {true, false}) {
        whenShown("itemSummary", [esc](QWidget* filters) {
            if (esc)
                QTest::keyClick(filters, Qt::Key_Escape);
            else
                click(filters, "Cancel");
        });
        menuItem("Monthly item summary")->trigger();
    }
    EXPECT_EQ(printers->opened, 1);
}

TEST_F(ReportWindowsTest, StockListSalesReportAndUnitsByCategory) {
    InventoryRecord empty = item(14, "EMPTY JAR", 3.00, 2, 0);
    empty.reorder_quantity = 4;
    empty.order_quantity = 12;
    amend(empty);
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    const std::string total = formatted("%.2f", todaysSales()[0].total);

    whenShown("reportList", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Out of stock");
        EXPECT_EQ(listLines(w), std::vector<std::string>{"14, EMPTY JAR, 4,0,12, "});
        click(w, "Print");
        click(w, "OK");
    });
    menuItem("Out of stock")->trigger();
    ASSERT_EQ(printers->opened, 1);
    std::string pdf = pdfText(printers->last());
    EXPECT_NE(pdf.find("Out of stock list: Sun 6 Dec 26 Page: 1"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("14, EMPTY JAR, 4,0,12,"), std::string::npos) << pdf;

    whenShown("period", [&](QWidget* period) {
        whenShown("salesReport", [&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Sales report: Sun 6 Dec 26 to Sun 6 Dec 26");
            auto* days = w->findChild<QComboBox*>("Total Day");
            ASSERT_TRUE(days);
            ASSERT_EQ(days->count(), 1);
            EXPECT_EQ(days->itemText(0).toStdString(), "Sun 6 Dec 26  " + total);
            EXPECT_EQ(w->findChild<QComboBox*>("Total Month")->itemText(0).toStdString(),
                      "12 of 2026  " + total);
            click(w, "OK");
        });
        click(period, "OK");
    });
    menuItem("&Sales report")->trigger();

    whenShown("units", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Units by category for today");
        click(w, "Print");
        click(w, "Cancel");
    });
    menuItem("Units by category for today")->trigger();
    ASSERT_EQ(printers->opened, 2);
    pdf = pdfText(printers->last());
    EXPECT_NE(pdf.find("Units by category (day)"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("December 6 2026"), std::string::npos) << pdf;
    // The coffee's sale counted under its category (display category 5).
    EXPECT_NE(pdf.find("1, " + formatted("%.2f", todaysLines()[0].total)), std::string::npos)
        << pdf;
}

TEST_F(ReportWindowsTest, ExitPrintReportAndLogPrintsBothThenCloses) {
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    QAction* exit = menuItem("Exit - print report + log");
    ASSERT_TRUE(exit && exit->isEnabled());
    exit->trigger();
    ASSERT_EQ(printers->opened, 2);
    const std::string report = pdfText(printers->pdf(1));
    EXPECT_NE(report.find("Items sold: 1, Refunded: 0"), std::string::npos) << report;
    EXPECT_NE(report.find(formatted("CH sales: %.2f", todaysSales()[0].cheque)), std::string::npos)
        << report;
    const std::string log = pdfText(printers->pdf(2));
    EXPECT_NE(log.find("Log file: 06/12/2026 Page: 1"), std::string::npos) << log;
    EXPECT_NE(log.find("FILTER COFFEE"), std::string::npos) << log;
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ReportWindowsTest, LogOfATypedDayPrintedAndExported) {
    window->runCommand(command::kOpenDrawer);
    const std::string log = todaysLog();
    ASSERT_NE(log.find("Till opened."), std::string::npos);
    struct Case {
        const char* typed;
        const char* said;  // nullptr: printed
    };
    for (const Case& c : {Case{"6/12/2026", "Invalid date"}, Case{"31/02/2026", "No log for day."},
                          Case{"06/12/2026", nullptr}}) {
        SCOPED_TRACE(c.typed);
        ui.shown.clear();
        ui.replies = {c.typed};
        menuItem("Pr&int log from a specific day")->trigger();
        EXPECT_EQ(ui.prompts.back(), "Enter day (DD/MM/YYYY):");
        if (c.said) {
            EXPECT_EQ(said(), c.said);
            EXPECT_EQ(saidTitle(), "Problem");
        } else {
            EXPECT_TRUE(ui.shown.empty()) << said();
        }
    }
    ASSERT_EQ(printers->opened, 1);
    const std::string pdf = pdfText(printers->last());
    EXPECT_NE(pdf.find("Log file: 06/12/2026 Page: 1"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("14:30 06/12/2026 Till opened."), std::string::npos) << pdf;

    // The export copies the file byte for byte.
    const std::string target = root / "log copy.txt";
    ui.replies = {"06/12/2026"};
    whenModal([&](QWidget* d) { test::answerFileChooser(d, target); },
              [](QWidget* d) { return qobject_cast<QFileDialog*>(d) != nullptr; });
    menuItem("Export log for a specific day")->trigger();
    EXPECT_EQ(test::readFile(target), log);
    EXPECT_EQ(said(), "Complete");
    EXPECT_EQ(saidTitle(), "File export");

    // A chosen day without a log.
    whenShown("dayPicker", [](QWidget* picker) {
        picker->findChild<QCalendarWidget*>()->setSelectedDate(QDate(2026, 12, 5));
        click(picker, "OK");
    });
    menuItem("Display previous log file")->trigger();
    EXPECT_EQ(said(), "No log for that day.");
}

}  // namespace
}  // namespace kassio
