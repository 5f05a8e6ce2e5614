#include "reports/activity_summary.h"

#include "base/text_format.h"
#include "store/store_config.h"

namespace kassio {

namespace {

std::string money(double v) {
    return formatted("%.2f", v);
}

int64_t highestNumber(const RecordIndex& index) {
    const auto& entries = index.entries();
    if (entries.empty() || entries.back().number < 1) return 0;
    return entries.back().number;
}

std::string clockDigits(const LocalTime& t) {
    return formatted("%02d:%02d", t.hour, t.minute);
}

}  // namespace

ShopFigures shopFigures(DataStore& store) {
    std::lock_guard lock(store.mutex());
    const StoreConfig& config = store.config();
    const StoreConfigRecord& cfg = config.record();
    ShopFigures f;
    f.heading = config.heading(1);
    f.started = config.lastStart();
    f.previousClose = store.previousStart();
    const int32_t* b = cfg.counters + kCounterLastBackup;
    f.lastBackup = {b[4], b[3], b[2], b[1], b[0], 0};
    f.nextTransaction = cfg.next_transaction;
    f.liveItems = static_cast<int>(store.items().index().liveCount());
    f.highestItem = highestNumber(store.items().index());
    f.liveCustomers = static_cast<int>(store.customers().index().liveCount());
    f.highestCustomer = highestNumber(store.customers().index());
    f.initialTill = cfg.default_till_float;
    return f;
}

StatusView statusView(const ShopFigures& shop, const DayTotals& t, const Day& day, bool today) {
    StatusView v;
    v.title = today ? formatted("Daily Status %s ", longDateText(day).c_str())
                    : formatted("Daily Status D:%d M:%d Y:%d", day.day, day.month, day.year);
    auto row = [&v](std::string label, std::string value) {
        v.rows.emplace_back(std::move(label), std::move(value));
    };
    const LocalTime& off = shop.previousClose;
    const LocalTime& bk = shop.lastBackup;
    row("Ontime", clockDigits(shop.started));
    row("Offtime",
        formatted("%02d:%02d %d/%d/%d", off.hour, off.minute, off.day, off.month, off.year));
    row("Backup", formatted("%02d:%02d %d/%d/%d", bk.hour, bk.minute, bk.day, bk.month, bk.year));
    row("Inventory on the system", formatted("%d", shop.liveItems));
    row("Highest inventory number", formatted("%lld", static_cast<long long>(shop.highestItem)));
    row("Customers on the system", formatted("%d", shop.liveCustomers));
    row("Highest customer number", formatted("%lld", static_cast<long long>(shop.highestCustomer)));
    row("Cash sales", money(t.cashSales));
    row("CH sales", money(t.chSales));
    row("EFT sales", money(t.eftSales));
    row("Credit sales", money(t.creditSales));
    row("Total sales", money(t.totalSales()));
    row("Cash refunds", money(t.cashRefunds));
    row("CH refunds", money(t.chRefunds));
    row("EFT refunds", money(t.eftRefunds));
    row("Credit refunds", money(t.creditRefunds));
    row("Total refunds", money(t.totalRefunds()));
    row("Non Tax Sales", money(t.nonTaxable));
    row("Taxable sales", money(t.taxable));
    row("Tax 1", money(t.tax1));
    row("Tax 2", money(t.tax2));
    row("Total", money(t.total));
    row("Discounts", money(t.discounts));
    row("Customer balance payments Cash", money(t.paymentsCash));
    row("Customer balance payments CH", money(t.paymentsCh));
    row("Customer balance payments EFT", money(t.paymentsEft));
    row("Customer balance payments Total", money(t.paymentsTotal()));
    row("Net sales", money(t.netSales()));
    row("Cost of sales", money(t.cost));
    row("Gross profit", money(t.grossProfit()));
    row("Cash back", money(t.cashBack));
    row("Items sold (refunded)", formatted("%d (%d)", t.itemsSold, t.itemsRefunded));
    v.notes = {
        "The till takings figure includes Cash, CH and EFT sales and balance payments less non "
        "credit refunds.",
        "It excludes balance adjustments, credit sales, credit refunds and petty cash payments.",
        "The Print report item on the File menu will include the summary with additional "
        "information."};
    return v;
}

PrintedPage activitySummaryPage(const ShopFigures& shop, const DayTotals& t, const LocalTime& now) {
    PrintedPage p;
    auto at = [&p](int line, std::string text) { p.push_back({line, 0, std::move(text)}); };
    at(0, formatted("%s  %s %s", shop.heading.c_str(), clockDigits(now).c_str(),
                    longDateText(dayOf(now)).c_str()));
    at(2, formatted("Ontime: %02d:%02d  Transaction number: %d", shop.started.hour,
                    shop.started.minute, shop.nextTransaction));
    at(3,
       formatted("Inventory on the system: %d, Customers: %d", shop.liveItems, shop.liveCustomers));
    at(5, formatted("Items sold: %d, Refunded: %d", t.itemsSold, t.itemsRefunded));
    at(7, formatted("Cash sales: %.2f", t.cashSales));
    at(8, formatted("CH sales: %.2f", t.chSales));
    at(9, formatted("EFT sales: %.2f", t.eftSales));
    at(10, formatted("Credit sales: %.2f", t.creditSales));
    at(11, formatted("Total: %.2f", t.totalSales()));
    at(12, formatted("(Discounts: %.2f)", t.discounts));
    at(14, formatted("Cash refunds: %.2f", t.cashRefunds));
    at(15, formatted("CH refunds: %.2f", t.chRefunds));
    at(16, formatted("EFT refunds: %.2f", t.eftRefunds));
    at(17, formatted("Credit refunds: %.2f", t.creditRefunds));
    at(18, formatted("Total: (%.2f)", t.totalRefunds()));
    at(19, formatted("Non taxable sales: %.2f", t.nonTaxable));
    at(20, formatted("Taxable sales: %.2f", t.taxable));
    at(21, formatted("Sub total: %.2f", t.netSales()));
    at(22, formatted("Tax 1: %.2f", t.tax1));
    at(23, formatted("Tax 2: %.2f", t.tax2));
    at(24, formatted("Total: %.2f", t.total));
    at(25, "Balance payments:");
    at(26, formatted("Cash: %.2f", t.paymentsCash));
    at(27, formatted("CH: %.2f", t.paymentsCh));
    at(28, formatted("EFT: %.2f", t.paymentsEft));
    at(29, formatted("Total: %.2f", t.paymentsTotal()));
    at(30, formatted("(Cash back: %.2f)", t.cashBack));
    at(32, formatted("Net sales: %.2f", t.netSales()));
    at(33, formatted("Cost of sales: %.2f", t.cost));
    at(34, formatted("Gross profit: %.2f", t.grossProfit()));
    return p;
}

namespace {

// Items 4 to 9 of the activity report file, shared with the export.
std::string reportFigures(const DayTotals& t) {
    std::string s;
    s += formatted("\r\nItems sold: %d, Refunded: %d", t.itemsSold, t.itemsRefunded);
    s += "\r\n\r\nSales";
    s += formatted("\r\nCash: %.2f\r\nCH: %.2f\r\nEFT: %.2f\r\nCredit: %.2f", t.cashSales,
                   t.chSales, t.eftSales, t.creditSales);
    s += formatted("\r\nTotal: %.2f\r\n(Discounts: %.2f)", t.totalSales(), t.discounts);
    s += "\r\n\r\nRefunds";
    s += formatted("\r\nCash: %.2f\r\nCH: %.2f\r\nEFT: %.2f\r\nCredit: %.2f", t.cashRefunds,
                   t.chRefunds, t.eftRefunds, t.creditRefunds);
    s += formatted("\r\nTotal: %.2f", t.totalRefunds());
    s += formatted(
        "\r\n\r\nNon taxable sales: %.2f\r\nTaxable sales: %.2f\r\nSub total: %.2f\r\nTax 1: "
        "%.2f\r\nTax 2: %.2f\r\nTotal: %.2f",
        t.nonTaxable, t.taxable, t.netSales(), t.tax1, t.tax2, t.total);
    s +=
        formatted("\r\n\r\nBalance payments:\r\nCash: %.2f\r\nCH: %.2f\r\nEFT: %.2f\r\nTotal: %.2f",
                  t.paymentsCash, t.paymentsCh, t.paymentsEft, t.paymentsTotal());
    s += formatted(
        "\r\n\r\n(Cash back: %.2f)\r\nNet sales: %.2f\r\nCost of sales: %.2f\r\nGross profit: "
        "%.2f",
        t.cashBack, t.netSales(), t.cost, t.grossProfit());
    return s;
}

}  // namespace

std::string activityReportText(const ShopFigures& shop, const DayTotals& t, const LocalTime& now) {
    std::string s = formatted("%s  %s %s", shop.heading.c_str(), clockDigits(now).c_str(),
                              longDateText(dayOf(now)).c_str());
    s += formatted("\r\nOntime: %02d:%02d  Transaction number: %d", shop.started.hour,
                   shop.started.minute, shop.nextTransaction);
    s += formatted("\r\nInventory on the system: %d, Customers: %d", shop.liveItems,
                   shop.liveCustomers);
    return s + reportFigures(t);
}

std::string exportedSummaryText(const std::string& heading, const DayTotals& t, const Day& day) {
    return formatted("%s Activity report: D:%d M:%d Y:%d", heading.c_str(), day.day, day.month,
                     day.year) +
           reportFigures(t);
}

TillCount tillCount(double initialTill, const DayTotals& t) {
    TillCount c;
    c.initialTill = initialTill;
    c.cash = t.cashSales + t.paymentsCash;
    c.cashRefunds = t.cashRefunds;
    c.cashBack = t.cashBack;
    c.totalCash = initialTill + t.cashSales + t.paymentsCash + t.cashRefunds - t.cashBack;
    c.ch = t.chSales + t.paymentsCh;
    c.chRefunds = t.chRefunds;
    c.eft = t.eftSales + t.paymentsEft;
    c.eftRefunds = t.eftRefunds;
    c.tillTotal = c.totalCash + t.eftSales + t.chSales + t.paymentsCh + t.chRefunds + t.eftRefunds +
                  t.paymentsEft;
    c.itemsSold = t.itemsSold;
    c.itemsRefunded = t.itemsRefunded;
    return c;
}

std::vector<std::pair<std::string, std::string>> tillCountRows(const TillCount& c) {
    return {{"Initial till", money(c.initialTill)},
            {"Cash", money(c.cash)},
            {"Cash refunds", money(c.cashRefunds)},
            {"Cash back", money(c.cashBack)},
            {"Total cash", money(c.totalCash)},
            {"Ch", money(c.ch)},
            {"Ch refunds", money(c.chRefunds)},
            {"EFT", money(c.eft)},
            {"EFT refunds", money(c.eftRefunds)},
            {"Till total", money(c.tillTotal)},
            {"Items", formatted("%d (%d)", c.itemsSold, c.itemsRefunded)}};
}

PrintedPage closeoutPage(const std::string& heading, const TillCount& c, const LocalTime& now,
                         int64_t clerk, const std::string& clerkName) {
    PrintedPage p;
    auto at = [&p](int line, std::string text) { p.push_back({line, 0, std::move(text)}); };
    at(0, formatted("%s  Till closeout", heading.c_str()));
    at(1, formatted("%s %s", clockDigits(now).c_str(), shortDateText(dayOf(now)).c_str()));
    at(2, formatted("Assoc: %lld, %s", static_cast<long long>(clerk), clerkName.c_str()));
    at(4, formatted("Initial till: %.2f", c.initialTill));
    at(5, formatted("Cash: %.2f", c.cash));
    at(6, formatted("Cash refunds: %.2f", c.cashRefunds));
    at(7, formatted("Cash back: %.2f", c.cashBack));
    at(8, formatted("Total cash: %.2f", c.totalCash));
    at(10, formatted("Ch: %.2f", c.ch));
    at(11, formatted("Ch refunds: %.2f", c.chRefunds));
    at(12, formatted("EFT: %.2f", c.eft));
    at(13, formatted("EFT refunds: %.2f", c.eftRefunds));
    at(15, formatted("Till total: %.2f", c.tillTotal));
    return p;
}

std::string closeoutLogText(const TillCount& c, const LocalTime& now, int64_t clerk,
                            const std::string& clerkName) {
    std::string s = formatted("\r\n%s %s Till closeout\r\n", clockDigits(now).c_str(),
                              shortDateText(dayOf(now)).c_str());
    s += formatted("Assoc: %lld, %s\r\n", static_cast<long long>(clerk), clerkName.c_str());
    s += formatted(
        "Initial till: %.2f\r\nCash: %.2f\r\nCash refunds: %.2f\r\nCash back: %.2f\r\nTotal cash: "
        "%.2f\r\n",
        c.initialTill, c.cash, c.cashRefunds, c.cashBack, c.totalCash);
    s += formatted(
        "Ch: %.2f\r\nCh refunds: %.2f\r\nEFT: %.2f\r\nEFT refunds: %.2f\r\nTill total: "
        "%.2f\r\n",
        c.ch, c.chRefunds, c.eft, c.eftRefunds, c.tillTotal);
    return s;
}

Status writeCloseout(DataStore& store, const TillCount& c, int64_t clerk,
                     const std::string& clerkName) {
    const LocalTime now = store.clock().now();
    uint64_t ticket = 0;
    Status result;
    {
        StoreFiles::Batch batch(store.files());
        // A folder that cannot be made shows up as the failure of the append.
        static_cast<void>(store.journal().ensureMonthFolders(now));
        const bool logged =
            store.journal().appendActivity(now, closeoutLogText(c, now, clerk, clerkName));
        result = batch.commit(&ticket);
        if (!logged) return Status::ioError("Data log text file not present.", kTitleFatal);
    }
    if (result) result = store.waitDurable(ticket);
    if (!result) return Status::ioError("Data log text file not present.", kTitleFatal);
    return Status::ok();
}

}  // namespace kassio
