#include "ui/reports/report_commands.h"

#include <QWidget>
#include <memory>

#include "base/text_format.h"
#include "commands/command_router.h"
#include "platform/printers.h"
#include "platform/ui.h"
#include "reports/activity_log_reader.h"
#include "reports/activity_summary.h"
#include "reports/item_summary.h"
#include "reports/sales_report.h"
#include "reports/stock_lists.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "till/till.h"
#include "ui/qt_ui.h"
#include "ui/reports/report_windows.h"

namespace kassio {

using namespace report_command;

namespace {

// What every report command needs; one per registration, owned by the
// router's operations.
struct ReportContext {
    DataStore& store;
    Ui& ui;
    Till& till;
    Printers& printers;
    QWidget* window;

    Day today() const { return dayOf(store.clock().now()); }
    std::string heading() {
        std::lock_guard lock(store.mutex());
        return store.config().heading(1);
    }
    void show(const Status& s) {
        if (!s) ui.error(s.message(), s.title());
    }

    // The print dialog, then the pages; a cancelled dialog prints nothing.
    void print(const PageBuilder& build) {
        std::unique_ptr<PrintJob> job = printers.open(Printers::Target::kDialog, "");
        if (!job) return;
        printPages(*job, build);
        if (!job->release()) ui.error("Unable to release printer", kTitleProblem);
    }
    void printPage(PrintedPage page) {
        print([page = std::move(page)](const PageGeometry&) {
            return std::vector<PrintedPage>{page};
        });
    }
    void printListing(Listing listing) {
        print(
            [listing = std::move(listing)](const PageGeometry& g) { return paginate(listing, g); });
    }

    void summary(const Day& day, bool today) {
        const ShopFigures shop = shopFigures(store);
        const StatusView v = statusView(shop, dayTotals(store, day), day, today);
        showFigures(window, toQt(v.title), v.rows, v.notes);
    }
    void printSummary() {
        printPage(activitySummaryPage(shopFigures(store), dayTotals(store, today()),
                                      store.clock().now()));
    }

    std::optional<Day> askDayEntry() {
        auto text = ui.prompt("Enter day (DD/MM/YYYY):");
        if (!text) return std::nullopt;
        Day d;
        if (!parseDayEntry(*text, &d)) {
            ui.error("Invalid date", kTitleProblem);
            return std::nullopt;
        }
        return d;
    }
    void displayLog(const Day& day) {
        // Today's folders first, as every reader of today's log does.
        static_cast<void>(store.journal().ensureMonthFolders(store.clock().now()));
        auto first = readLogChunk(store, day, 0);
        if (!first) {
            ui.error("No log for that day.", kTitleProblem);
            return;
        }
        LogViewerSource source;
        source.next = [this, day](const LogChunk& shown) {
            return readLogChunk(store, day, shown.offset + shown.text.size());
        };
        source.previous = [this, day](const LogChunk& shown) {
            return previousLogChunk(store, day, shown.offset);
        };
        showLog(window, *first, source);
    }
    void printLog(const Day& day) {
        auto lines = logPrintLines(store, day);
        if (!lines) {
            ui.error("No log for day.", kTitleProblem);
            return;
        }
        printListing(logPrint(heading(), day, std::move(*lines)));
    }

    TillCount count() {
        return tillCount(shopFigures(store).initialTill, dayTotals(store, today()));
    }
    void closeout(CommandRouter& router) {
        const TillCount c = count();
        const CloseoutChoice choice = askCloseout(window, tillCountRows(c));
        if (choice == CloseoutChoice::kCancel) return;
        const int64_t clerk = till.clerks().clerk();
        std::string name;
        {
            std::lock_guard lock(store.mutex());
            name = store.config().clerkName(clerk);
        }
        if (choice == CloseoutChoice::kPrintAndClose)
            printPage(closeoutPage(heading(), c, store.clock().now(), clerk, name));
        if (Status s = writeCloseout(store, c, clerk, name); !s) {
            show(s);
            return;
        }
        router.route(command::kLogOn);  // the window's log-off
    }

    void itemSummary(SummaryPeriod period) {
        std::vector<std::string> categories;
        {
            std::lock_guard lock(store.mutex());
            for (int c = 0; c < kDisplayCategories; ++c)
                categories.push_back(store.config().categoryCode(c));
        }
        auto choice = askItemSummary(window, period, today(), categories);
        if (!choice) return;
        ItemSummary s;
        {
            ReportProgressPanel panel(window, "Item summary");
            s = kassio::itemSummary(store, summaryDays(period, choice->first, choice->last),
                                    choice->filter, panel.progress());
        }
        if (s.cancelled) return;
        ListWindowSpec spec;
        spec.title = toQt(summaryTitle(period, choice->first, choice->last));
        spec.columns = kItemSummaryColumns;
        spec.lines = summaryLines(s);
        spec.footer = {formatted("Items: %d", s.items), formatted("Cost: %.2f", s.cost),
                       formatted("Retail (nett): %.2f", s.retail), kItemSummaryNote};
        spec.print = [this, period, choice, &s] {
            printListing(summaryPrint(period, heading(), choice->first, choice->last, s));
        };
        spec.save = [this, &s] {
            const std::string file = askSaveFile(window);
            if (file.empty()) return;
            const std::string text = summaryFileText(s);
            if (!replaceFileAtomically(file, text.data(), text.size()))
                ui.error("Unable to open file.", kTitleProblem);
            else
                ui.inform("Complete", "File save");
        };
        showList(window, spec);
    }

    void exportItems(bool week) {
        const Day t = today();
        auto number = [this](const char* caption, int preset) -> std::optional<int> {
            auto text = ui.prompt(caption, std::to_string(preset));
            if (!text) return std::nullopt;
            return std::atoi(text->c_str());
        };
        auto d = number(week ? "Please enter the first day (1-31)" : "Please enter the day (1-31)",
                        t.day);
        if (!d) return;
        auto m = number("Please enter the month (1-12)", t.month);
        if (!m) return;
        auto y = number("Please enter the year (yyyy)", t.year);
        if (!y) return;
        const Day first{*y, *m, *d};
        if (!isValidDay(first)) {
            ui.error("Invalid date", kTitleProblem);
            return;
        }
        const std::string file = askSaveFile(window);
        if (file.empty()) return;
        std::string text;
        if (Status s = itemsCsv(store, first, week, &text); !s) return show(s);
        if (!replaceFileAtomically(file, text.data(), text.size()))
            return ui.error("Unable to open file.", kTitleProblem);
        ui.inform("Complete.", "File export");
    }

    void sales(std::optional<int32_t> clerk, std::optional<int64_t> item) {
        auto period = askPeriod(window, today());
        if (!period) return;
        SalesReportRequest r{period->first, period->second, clerk, item};
        SalesReport report;
        {
            ReportProgressPanel panel(window, "Sales report");
            report = salesReport(store, r, panel.progress());
        }
        if (!report.cancelled) showSalesReport(window, report);
    }

    void stockListWindow(StockList list) {
        const Day t = today();
        StockListView v;
        if (Status s = stockList(store, list, t, &v); !s) return show(s);
        ListWindowSpec spec;
        spec.title = toQt(v.title);
        spec.columns = toQt(v.columns);
        spec.lines = v.lines;
        spec.print = [this, list, t, lines = v.lines] {
            printListing(stockListPrint(list, heading(), t, lines));
        };
        showList(window, spec);
    }

    void costCheck(const BoundsCheck& check) {
        std::vector<std::string> lines;
        if (Status s = boundsCheck(store, check, &lines); !s) return show(s);
        ListWindowSpec spec;
        spec.title = "Data cost retail check";
        spec.lines = std::move(lines);
        showList(window, spec);
    }

    void units(bool month) {
        const UnitsByCategory u = unitsByCategory(store, month);
        showUnits(window, u, [this, &u, month] {
            printPage(unitsByCategoryPage(heading(), u, month, today()));
        });
    }
};

}  // namespace

void registerReportCommands(CommandRouter& router, DataStore& store, Ui& ui, Till& till,
                            Printers& printers, QWidget* window) {
    auto c = std::make_shared<ReportContext>(ReportContext{store, ui, till, printers, window});
    CommandRouter* r = &router;
    router.set(command::kActivitySummary, [c] { c->summary(c->today(), true); });
    router.set(kPrintActivitySummary, [c] { c->printSummary(); });
    router.set(kPreviousActivitySummary, [c] {
        if (auto day = pickDay(c->window, c->today())) c->summary(*day, false);
    });
    router.set(kExportActivitySummary, [c] {
        auto day = pickDay(c->window, c->today());
        if (!day) return;
        const std::string file = askSaveFile(c->window, "Kassio_Daily_Summary");
        if (file.empty()) return;
        const std::string text = exportedSummaryText(c->heading(), dayTotals(c->store, *day), *day);
        if (!replaceFileAtomically(file, text.data(), text.size()))
            return c->ui.error("Unable to open file.", kTitleProblem);
        c->ui.inform("Exported.", "Activity file");
    });
    router.set(kDisplayLogToday, [c] { c->displayLog(c->today()); });
    router.set(kDisplayPreviousLog, [c] {
        if (auto day = pickDay(c->window, c->today())) c->displayLog(*day);
    });
    router.set(kPrintLogToday, [c] { c->printLog(c->today()); });
    router.set(kPrintLogOfDay, [c] {
        if (auto day = c->askDayEntry()) c->printLog(*day);
    });
    router.set(kExportLog, [c] {
        auto day = c->askDayEntry();
        if (!day) return;
        if (!logPrintLines(c->store, *day)) return c->ui.error("No log for day.", kTitleProblem);
        const std::string file = askSaveFile(c->window);
        if (file.empty()) return;
        if (Status s = exportLog(c->store, *day, file); !s) return c->show(s);
        c->ui.inform("Complete", "File export");
    });
    router.set(kTillReconciliation, [c] {
        showFigures(c->window, "Till reconciliation", tillCountRows(c->count()),
                    {"The figures include customer balance payments and exclude credit sales and "
                     "credit refunds."},
                    "Finish");
    });
    router.set(kTillCloseout, [c, r] { c->closeout(*r); });
    router.set(command::kSalesReport, [c] { c->sales(std::nullopt, std::nullopt); });
    router.set(kSalesByStaff, [c] {
        auto text = c->ui.prompt("Clerk number");
        if (!text) return;
        const int clerk = std::atoi(text->c_str());
        if (clerk < 1 || clerk > kClerkCount) return c->ui.error("Outside range", kTitleProblem);
        c->sales(clerk, std::nullopt);
    });
    router.set(kSalesByItem, [c] {
        auto text = c->ui.prompt("Item number");
        if (!text) return;
        const long long item = std::atoll(text->c_str());
        if (item < 1) return c->ui.error("Outside range", kTitleProblem);
        c->sales(std::nullopt, item);
    });
    router.set(kDailyItemSummary, [c] { c->itemSummary(SummaryPeriod::kDay); });
    router.set(kWeeklyItemSummary, [c] { c->itemSummary(SummaryPeriod::kWeek); });
    router.set(kMonthlyItemSummary, [c] { c->itemSummary(SummaryPeriod::kMonth); });
    router.set(kPeriodItemSummary, [c] { c->itemSummary(SummaryPeriod::kPeriod); });
    router.set(kExportDailyItems, [c] { c->exportItems(false); });
    router.set(kExportWeeklyItems, [c] { c->exportItems(true); });
    router.set(kUnitsToday, [c] { c->units(false); });
    router.set(kUnitsMonth, [c] { c->units(true); });
    router.set(kStockSummary, [c] {
        StockSummary s;
        if (Status st = stockSummary(c->store, &s); !st) return c->show(st);
        showFigures(c->window, "Stock summary", stockSummaryRows(s), {});
    });
    for (auto [command, list] : {std::pair{command::kReorderList, StockList::kReorder},
                                 std::pair{command::kFunctionReorder, StockList::kReorder},
                                 std::pair{kReorderByOrderCode, StockList::kReorderByOrderCode},
                                 std::pair{kOutOfStock, StockList::kOutOfStock},
                                 std::pair{command::kFunctionOutOfStock, StockList::kOutOfStock},
                                 std::pair{kSpecialOrders, StockList::kSpecialOrders},
                                 std::pair{kSellByExpired, StockList::kSellByExpired}})
        router.set(command, [c, list = list] { c->stockListWindow(list); });
    router.set(kRetailBelowCost, [c] { c->costCheck(BoundsCheck{}); });
    router.set(kBoundsCheck, [c] {
        if (auto check = askBounds(c->window)) c->costCheck(*check);
    });
    // The exits that print first: the summary, the log, or both, then the
    // window's own close (which asks about a basket left behind).
    auto exitAfter = [c](bool summary, bool log) {
        return [c, summary, log] {
            if (summary) c->printSummary();
            if (log) c->printLog(c->today());
            if (c->window) c->window->close();
        };
    };
    router.set(command::kExitPrintReport, exitAfter(true, false));
    router.set(command::kExitPrintLog, exitAfter(false, true));
    router.set(command::kExitPrintBoth, exitAfter(true, true));
}

}  // namespace kassio
