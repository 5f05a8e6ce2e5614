#include "admin/report_commands.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <memory>
#include <optional>

#include "admin/admin_open.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "reports/activity_log_reader.h"
#include "reports/activity_summary.h"
#include "reports/item_summary.h"
#include "reports/sales_report.h"
#include "reports/stock_lists.h"
#include "store/data_store.h"
#include "store/file_io.h"

namespace kassio {

namespace {

// The options of all report commands; each command reads those it offers.
struct ReportOptions {
    std::string day, from, to, month, week;
    std::string clerk, item, category;
    std::string costLimit, retailLimit;
    std::vector<std::string> exclude;
    std::string pdf, exportFile;
    bool csv = false;
    bool includeRefunds = false;
    bool byOrderCode = false;
    bool noCostRetail = false;
    bool monthUnits = false;
};

int failText(Ui& ui, const std::string& text) {
    return fail(ui, Status::invalid(text));
}

// "DD/MM/YYYY", else today.
bool dayOption(const std::string& text, const AdminEnvironment& env, Day* out) {
    if (text.empty()) {
        *out = dayOf(env.clock.now());
        return true;
    }
    return parseDayEntry(text, out) && isValidDay(*out);
}

template <typename T>
bool numberOption(const std::string& text, T* out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, *out);
    return ec == std::errc() && p == end;
}

bool moneyOption(const std::string& text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && *out >= 0 && *out < 1e9;
}

int openRead(DataStore& store, AdminEnvironment& env) {
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) return fail(env.ui, s);
    return 0;
}

void printLine(AdminEnvironment& env, const std::string& line) {
    std::fprintf(env.out, "%s\n", line.c_str());
}

void printRows(AdminEnvironment& env,
               const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [label, value] : rows)
        std::fprintf(env.out, "%s: %s\n", label.c_str(), value.c_str());
}

// Prints the pages into the PDF file at path.
int printPdf(AdminEnvironment& env, const std::string& path, const PageBuilder& build) {
    Printers* printers = env.printers ? env.printers() : nullptr;
    if (!printers)
        return failText(env.ui, "This kassio-admin was built without printing: no PDF file");
    std::unique_ptr<PrintJob> job = printers->openPdf(path, false);
    if (!job) return failText(env.ui, "Unable to write " + path);
    const bool printed = printPages(*job, build);
    if (!job->release() || !printed) return failText(env.ui, "Unable to write " + path);
    return 0;
}

int printListing(AdminEnvironment& env, const std::string& path, Listing listing) {
    return printPdf(env, path, [listing = std::move(listing)](const PageGeometry& g) {
        return paginate(listing, g);
    });
}

std::string headingOf(DataStore& store) {
    std::lock_guard lock(store.mutex());
    return store.config().heading(1);
}

int runSummary(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    Day day;
    if (!dayOption(o.day, env, &day)) return failText(env.ui, "Invalid date");
    if (int rc = openRead(store, env)) return rc;
    const LocalTime now = env.clock.now();
    const bool today = day == dayOf(now);
    const ShopFigures shop = shopFigures(store);
    const DayTotals totals = dayTotals(store, day);
    if (!o.exportFile.empty()) {
        const std::string text = exportedSummaryText(shop.heading, totals, day);
        if (!replaceFileAtomically(o.exportFile, text.data(), text.size()))
            return failText(env.ui, "Unable to open file.");
    }
    const StatusView v = statusView(shop, totals, day, today);
    printLine(env, v.title);
    printRows(env, v.rows);
    for (const std::string& n : v.notes) printLine(env, n);
    if (!o.pdf.empty()) {
        PrintedPage page = activitySummaryPage(shop, totals, now);
        return printPdf(env, o.pdf,
                        [page](const PageGeometry&) { return std::vector<PrintedPage>{page}; });
    }
    return 0;
}

int runCloseoutFigures(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    if (int rc = openRead(store, env)) return rc;
    const LocalTime now = env.clock.now();
    const ShopFigures shop = shopFigures(store);
    const TillCount count = tillCount(shop.initialTill, dayTotals(store, dayOf(now)));
    printLine(env, "Till reconciliation");
    printRows(env, tillCountRows(count));
    printLine(env,
              "The figures include customer balance payments and exclude credit sales and credit "
              "refunds.");
    if (!o.pdf.empty()) {
        int64_t clerk = 0;
        std::string name;
        {
            std::lock_guard lock(store.mutex());
            clerk = store.config().record().current_clerk;
            name = store.config().clerkName(clerk);
        }
        PrintedPage page = closeoutPage(shop.heading, count, now, clerk, name);
        return printPdf(env, o.pdf,
                        [page](const PageGeometry&) { return std::vector<PrintedPage>{page}; });
    }
    return 0;
}

int runItems(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    SummaryPeriod period = SummaryPeriod::kDay;
    Day first, last;
    int given = !o.day.empty() + !o.week.empty() + !o.month.empty() + !o.from.empty();
    if (given > 1) return failText(env.ui, "Give one of --day, --week, --month or --from/--to");
    if (!o.week.empty()) {
        period = SummaryPeriod::kWeek;
        if (!dayOption(o.week, env, &first)) return failText(env.ui, "Invalid date");
    } else if (!o.month.empty()) {
        period = SummaryPeriod::kMonth;
        if (!parseDayEntry("01/" + o.month, &first) || !isValidDay(first))
            return failText(env.ui, "Invalid date");
    } else if (!o.from.empty()) {
        period = SummaryPeriod::kPeriod;
        if (!dayOption(o.from, env, &first) || !dayOption(o.to, env, &last))
            return failText(env.ui, "Invalid date");
        if (compareDays(first, last) > 0) return failText(env.ui, "The end is before the start");
    } else if (!dayOption(o.day, env, &first)) {
        return failText(env.ui, "Invalid date");
    }
    if (int rc = openRead(store, env)) return rc;
    if (o.csv) {
        if (period != SummaryPeriod::kDay && period != SummaryPeriod::kWeek)
            return failText(env.ui, "The items CSV is of a day or a week");
        std::string text;
        if (Status s = itemsCsv(store, first, period == SummaryPeriod::kWeek, &text); !s)
            return fail(env.ui, s);
        std::fputs(text.c_str(), env.out);
        return 0;
    }
    // Refunds are left out unless asked for, as the window's filters start.
    ItemSummaryFilter filter;
    filter.excludeRefunds = !o.includeRefunds;
    for (const std::string& e : o.exclude) {
        if (e == "refunds")
            filter.excludeRefunds = true;
        else if (e == "cash")
            filter.excludeCash = true;
        else if (e == "ch")
            filter.excludeCh = true;
        else if (e == "eft")
            filter.excludeEft = true;
        else if (e == "credit")
            filter.excludeCredit = true;
        else if (e == "split")
            filter.excludeSplit = true;
        else
            return failText(env.ui, "Unknown exclusion " + e);
    }
    if (!o.category.empty() && o.category != "All") {
        if (o.category == "Non Inventory") {
            filter.category = kNonInventoryCategory;
        } else {
            std::lock_guard lock(store.mutex());
            for (int c = 0; c < kDisplayCategories; ++c)
                if (store.config().categoryCode(c) == o.category) filter.category = c;
            if (filter.category == kEveryCategory)
                return failText(env.ui, "No category " + o.category);
        }
    }
    const ItemSummary s = itemSummary(store, summaryDays(period, first, last), filter);
    printLine(env, summaryTitle(period, first, last));
    printLine(env, kItemSummaryColumns);
    for (const std::string& line : summaryLines(s)) printLine(env, line);
    printLine(env, summaryTotalsLine(s));
    if (!o.exportFile.empty()) {
        const std::string text = summaryFileText(s);
        if (!replaceFileAtomically(o.exportFile, text.data(), text.size()))
            return failText(env.ui, "Unable to open file.");
    }
    if (!o.pdf.empty())
        return printListing(env, o.pdf, summaryPrint(period, headingOf(store), first, last, s));
    return 0;
}

int runSales(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    SalesReportRequest r;
    if (!dayOption(o.from, env, &r.from) || !dayOption(o.to, env, &r.to))
        return failText(env.ui, "Invalid date");
    if (compareDays(r.from, r.to) > 0) return failText(env.ui, "The end is before the start");
    if (!o.clerk.empty()) {
        int32_t clerk = 0;
        if (!numberOption(o.clerk, &clerk) || clerk < 1 || clerk > kClerkCount)
            return failText(env.ui, "No clerk " + o.clerk);
        r.clerk = clerk;
    }
    if (!o.item.empty()) {
        int64_t item = 0;
        if (!numberOption(o.item, &item) || item < 1) return failText(env.ui, "No item " + o.item);
        r.item = item;
    }
    if (int rc = openRead(store, env)) return rc;
    const SalesReport report = salesReport(store, r);
    printLine(env, report.title);
    for (int f = 0; f < kSalesFigures; ++f)
        for (int l = 0; l < kSalesLevels; ++l) {
            std::fprintf(env.out, "%s by %s:\n", kSalesFigureNames[f], kSalesLevelNames[l]);
            for (const std::string& line : report.lists[f][l]) printLine(env, "  " + line);
        }
    for (int f = 0; f < kSalesFigures; ++f)
        std::fprintf(env.out, "%s: %.2f\n", kSalesFigureNames[f], report.grand[f]);
    printLine(env, kSalesReportNote);
    return 0;
}

int runUnits(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    if (int rc = openRead(store, env)) return rc;
    const UnitsByCategory u = unitsByCategory(store, o.monthUnits);
    printLine(env, u.title);
    for (const UnitsRow& row : u.rows)
        std::fprintf(env.out, "%s  %d, %.2f    %s  %d, %.2f\n", row.code[0].c_str(), row.units[0],
                     row.value[0], row.code[1].c_str(), row.units[1], row.value[1]);
    if (!o.pdf.empty()) {
        PrintedPage page =
            unitsByCategoryPage(headingOf(store), u, o.monthUnits, dayOf(env.clock.now()));
        return printPdf(env, o.pdf,
                        [page](const PageGeometry&) { return std::vector<PrintedPage>{page}; });
    }
    return 0;
}

int runStock(DataStore& store, AdminEnvironment& env, const ReportOptions&) {
    if (int rc = openRead(store, env)) return rc;
    StockSummary s;
    if (Status st = stockSummary(store, &s); !st) return fail(env.ui, st);
    printLine(env, "Stock summary");
    printRows(env, stockSummaryRows(s));
    return 0;
}

int runStockList(DataStore& store, AdminEnvironment& env, const ReportOptions& o, StockList list) {
    if (list == StockList::kReorder && o.byOrderCode) list = StockList::kReorderByOrderCode;
    if (int rc = openRead(store, env)) return rc;
    const Day today = dayOf(env.clock.now());
    StockListView v;
    if (Status s = stockList(store, list, today, &v); !s) return fail(env.ui, s);
    printLine(env, v.title);
    if (!v.columns.empty()) printLine(env, v.columns);
    for (const std::string& line : v.lines) printLine(env, line);
    if (!o.pdf.empty())
        return printListing(env, o.pdf, stockListPrint(list, headingOf(store), today, v.lines));
    return 0;
}

int runCostCheck(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    BoundsCheck check;
    check.costAboveRetail = !o.noCostRetail;
    double limit = 0;
    if (!o.costLimit.empty()) {
        if (!moneyOption(o.costLimit, &limit)) return failText(env.ui, "Invalid cost limit");
        check.costLimit = limit;
    }
    if (!o.retailLimit.empty()) {
        if (!moneyOption(o.retailLimit, &limit)) return failText(env.ui, "Invalid retail limit");
        check.retailLimit = limit;
    }
    if (int rc = openRead(store, env)) return rc;
    std::vector<std::string> lines;
    if (Status s = boundsCheck(store, check, &lines); !s) return fail(env.ui, s);
    printLine(env, "Data cost retail check");
    for (const std::string& line : lines) printLine(env, line);
    return 0;
}

int runLog(DataStore& store, AdminEnvironment& env, const ReportOptions& o) {
    Day day;
    if (!o.day.empty() && !parseDayEntry(o.day, &day)) return failText(env.ui, "Invalid date");
    if (o.day.empty()) day = dayOf(env.clock.now());
    if (int rc = openRead(store, env)) return rc;
    if (!o.exportFile.empty()) {
        if (Status s = exportLog(store, day, o.exportFile); !s) return fail(env.ui, s);
    }
    auto lines = logPrintLines(store, day);
    if (!lines) return failText(env.ui, "No log for that day.");
    for (uint64_t offset = 0;;) {
        auto chunk = readLogChunk(store, day, offset);
        if (!chunk) break;
        std::fwrite(chunk->text.data(), 1, chunk->text.size(), env.out);
        if (!chunk->hasNext) break;
        offset += chunk->text.size();
    }
    if (!o.pdf.empty())
        return printListing(env, o.pdf, logPrint(headingOf(store), day, std::move(*lines)));
    return 0;
}

}  // namespace

void addReportCommands(CLI::App& app, AdminCommands& commands) {
    auto o = std::make_shared<ReportOptions>();
    CLI::App* report = app.add_subcommand("report", "the back office's reports, as lines of text");
    report->require_subcommand(1);
    auto add = [&](const char* name, const char* what,
                   std::function<int(DataStore&, AdminEnvironment&, const ReportOptions&)> run) {
        CLI::App* c = report->add_subcommand(name, what);
        commands.push_back(
            {c, [o, run](DataStore& s, AdminEnvironment& e) { return run(s, e, *o); }});
        return c;
    };
    const char* dayHelp = "the day, DD/MM/YYYY (default today)";
    CLI::App* c = add("summary", "the Daily Status of a day", runSummary);
    c->add_option("--day", o->day, dayHelp);
    c->add_option("--pdf", o->pdf, "also print the activity summary into this PDF file");
    c->add_option("--export", o->exportFile, "also export the day's summary to this text file");
    c = add("closeout-figures", "today's till reconciliation", runCloseoutFigures);
    c->add_option("--pdf", o->pdf, "also print the closeout page into this PDF file");
    c = add("items", "an item summary, or with --csv the items CSV of a day or week", runItems);
    c->add_option("--day", o->day, dayHelp);
    c->add_option("--week", o->week, "the week from this day, DD/MM/YYYY");
    c->add_option("--month", o->month, "the month, MM/YYYY");
    c->add_option("--from", o->from, "the period's first day, DD/MM/YYYY");
    c->add_option("--to", o->to, "the period's last day, DD/MM/YYYY");
    c->add_option("--exclude", o->exclude, "refunds, cash, ch, eft, credit, split")->delimiter(',');
    c->add_flag("--include-refunds", o->includeRefunds,
                "take refund lines too (left out by default)");
    c->add_option("--category", o->category, "a category code, All or \"Non Inventory\"");
    c->add_flag("--csv", o->csv, "the items CSV export of the day or week instead");
    c->add_option("--export", o->exportFile, "also save the list to this text file");
    c->add_option("--pdf", o->pdf, "also print the list into this PDF file");
    c = add("sales", "the sales report of a period", runSales);
    c->add_option("--from", o->from, "the first day, DD/MM/YYYY (default today)");
    c->add_option("--to", o->to, "the last day, DD/MM/YYYY (default today)");
    c->add_option("--clerk", o->clerk, "only this clerk's sales");
    c->add_option("--item", o->item, "the sales of this item");
    c = add("units", "units by category, today's or the month's", runUnits);
    c->add_flag("--month", o->monthUnits, "the month's units");
    c->add_option("--pdf", o->pdf, "also print the page into this PDF file");
    add("stock", "the stock summary", runStock);
    auto list = [&](const char* name, const char* what, StockList kind) {
        CLI::App* l =
            add(name, what, [kind](DataStore& s, AdminEnvironment& e, const ReportOptions& opts) {
                return runStockList(s, e, opts, kind);
            });
        l->add_option("--pdf", o->pdf, "also print the list into this PDF file");
        return l;
    };
    list("reorder", "the reorder list", StockList::kReorder)
        ->add_flag("--by-order-code", o->byOrderCode, "the order code first");
    list("outofstock", "the out-of-stock list", StockList::kOutOfStock);
    list("special", "the special orders", StockList::kSpecialOrders);
    list("sellby", "the items past their sell-by date", StockList::kSellByExpired);
    c = add("costcheck", "items whose retail price is below cost, or past a limit", runCostCheck);
    c->add_option("--cost-limit", o->costLimit, "also list costs above this");
    c->add_option("--retail-limit", o->retailLimit, "also list retail prices above this");
    c->add_flag("--no-cost-retail", o->noCostRetail, "leave out the cost above retail test");
    c = add("log", "the ActivityLog of a day", runLog);
    c->add_option("--day", o->day, dayHelp);
    c->add_option("--pdf", o->pdf, "also print the log into this PDF file");
    c->add_option("--export", o->exportFile, "also copy the log to this file");
}

}  // namespace kassio
