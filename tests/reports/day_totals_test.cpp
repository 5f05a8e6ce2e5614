// The day's figures from crafted journals: every DayTotals rule, the
// summaries built on them (status rows, printed lines, the activity report
// file byte for byte) and the closeout's ActivityLog lines.
#include <gtest/gtest.h>

#include <functional>

#include "journal_builder.h"
#include "reports/activity_summary.h"
#include "reports/upload_files.h"
#include "store/items.h"
#include "store/store_fixture.h"

namespace kassio::test {
namespace {

class DayTotalsTest : public StoreTest {};

TEST_F(DayTotalsTest, EachRuleOfTheFigures) {
    struct Case {
        const char* name;
        std::function<void(DataStore&, const Day&)> post;
        std::function<void(const DayTotals&)> check;
    };
    const std::vector<Case> cases = {
        {"balance payments only",
         [](DataStore& s, const Day& d) {
             payment(s, d, 1, "Payment (cash)", {.cash = 20});
             payment(s, d, 2, "Payment (ch)", {.cheque = 5});
             payment(s, d, 3, "Payment (eft)", {.eft = 7});
         },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.paymentsCash, 20);
             EXPECT_DOUBLE_EQ(t.paymentsCh, 5);
             EXPECT_DOUBLE_EQ(t.paymentsEft, 7);
             EXPECT_DOUBLE_EQ(t.paymentsTotal(), 32);
             EXPECT_DOUBLE_EQ(t.totalSales(), 0);
             EXPECT_DOUBLE_EQ(t.total, 0);
             EXPECT_EQ(t.itemsSold, 0);
         }},
        {"refund on account is a credit refund",
         [](DataStore& s, const Day& d) { post(s, d, 1, "Refund", {line(1, 7, 4)}); },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.creditRefunds, -4);
             EXPECT_DOUBLE_EQ(t.cashRefunds, 0);
             EXPECT_DOUBLE_EQ(t.total, -4);
             EXPECT_DOUBLE_EQ(t.cost, -2);
             EXPECT_EQ(t.itemsRefunded, 1);
             EXPECT_EQ(t.itemsSold, 0);
         }},
        {"cash refund",
         [](DataStore& s, const Day& d) {
             post(s, d, 1, "Refund", {line(1, 7, 4), line(1, 8, 1)}, {.cash = -5});
         },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.cashRefunds, -5);
             EXPECT_DOUBLE_EQ(t.creditRefunds, 0);
             EXPECT_DOUBLE_EQ(t.totalRefunds(), -5);
             EXPECT_EQ(t.itemsRefunded, 2);
         }},
        {"split sale adds to each part it used",
         [](DataStore& s, const Day& d) {
             post(s, d, 1, "Split", {line(1, 7, 10)}, {.cash = 3, .cheque = 2, .eft = 5});
         },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.cashSales, 3);
             EXPECT_DOUBLE_EQ(t.chSales, 2);
             EXPECT_DOUBLE_EQ(t.eftSales, 5);
             EXPECT_DOUBLE_EQ(t.creditSales, 0);
             EXPECT_DOUBLE_EQ(t.totalSales(), 10);
         }},
        {"cash back counts only above 0",
         [](DataStore& s, const Day& d) {
             post(s, d, 1, "Cash", {line(1, 7, 5)}, {.cash = 5, .cashBack = -2});
             post(s, d, 2, "Cash", {line(2, 7, 5)}, {.cash = 8, .cashBack = 3});
         },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.cashBack, 3);
             EXPECT_DOUBLE_EQ(t.cashSales, 13);
             EXPECT_EQ(t.itemsSold, 2);
         }},
        {"credit only for the word exactly Credit, discounts added",
         [](DataStore& s, const Day& d) {
             post(s, d, 1, "Credit", {line(1, 7, 8, 1)}, {}, 1.5);
             post(s, d, 2, "Credit card", {line(2, 7, 2)}, {}, 0);
         },
         [](const DayTotals& t) {
             EXPECT_DOUBLE_EQ(t.creditSales, 9);
             EXPECT_DOUBLE_EQ(t.discounts, 1.5);
             EXPECT_DOUBLE_EQ(t.tax1, 1);
             EXPECT_DOUBLE_EQ(t.total, 11);
             EXPECT_DOUBLE_EQ(t.netSales(), 10);
             EXPECT_DOUBLE_EQ(t.grossProfit(), 5);
         }},
    };
    Day day{2026, 3, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.post(*store, day);
        c.check(dayTotals(*store, day));
        day = nextDay(day);
    }
    // A day without a journal is all zero.
    const DayTotals none = dayTotals(*store, {2026, 4, 30});
    EXPECT_EQ(none.itemsSold, 0);
    EXPECT_DOUBLE_EQ(none.total, 0);
}

TEST_F(DayTotalsTest, HighestNumbersShowZeroOnceEveryRecordIsDeleted) {
    EXPECT_EQ(shopFigures(*store).highestItem, 2);
    ASSERT_TRUE(deleteItem(*store, 1));
    ASSERT_TRUE(deleteItem(*store, 2));
    const ShopFigures shop = shopFigures(*store);
    EXPECT_EQ(shop.liveItems, 0);
    const StatusView v = statusView(shop, DayTotals{}, {2026, 12, 6}, true);
    EXPECT_EQ(v.title, "Daily Status Sunday December 6 2026 ");
    bool seen = false;
    for (const auto& [label, value] : v.rows)
        if (label == "Highest inventory number") {
            EXPECT_EQ(value, "0");
            seen = true;
        }
    EXPECT_TRUE(seen);
}

// A day with one of each kind, known to the cent.
DayTotals sampleDay(DataStore& store, const Day& d) {
    post(store, d, 1, "Cash", {line(1, 7, 10, 1), line(1, 0, 2)}, {.cash = 13, .cashBack = 1});
    post(store, d, 2, "Refund", {line(2, 7, 10, 1)}, {.cash = -11});
    payment(store, d, 3, "Payment (eft)", {.eft = 25});
    return dayTotals(store, d);
}

TEST_F(DayTotalsTest, PrintedSummaryAndActivityReportFile) {
    const Day day = dayOf(clock.now());
    const DayTotals t = sampleDay(*store, day);
    ShopFigures shop = shopFigures(*store);
    shop.started = {2026, 12, 6, 8, 15, 0};
    const PrintedPage page = activitySummaryPage(shop, t, clock.now());
    const std::vector<PrintedLine> expected = {
        {0, 0, "YOUR STORE  09:05 Sunday December 6 2026"},
        {2, 0, "Ontime: 08:15  Transaction number: 1"},
        {5, 0, "Items sold: 2, Refunded: 1"},
        {7, 0, "Cash sales: 13.00"},
        {11, 0, "Total: 13.00"},
        {14, 0, "Cash refunds: -11.00"},
        {18, 0, "Total: (-11.00)"},
        {21, 0, "Sub total: 2.00"},
        {24, 0, "Total: 2.00"},
        {25, 0, "Balance payments:"},
        {28, 0, "EFT: 25.00"},
        {30, 0, "(Cash back: 1.00)"},
        {34, 0, "Gross profit: 1.00"},
    };
    for (const PrintedLine& want : expected)
        EXPECT_NE(std::find(page.begin(), page.end(), want), page.end()) << want.text;
    EXPECT_EQ(page.size(), 30u);

    const std::string file = activityReportText(shop, t, clock.now());
    EXPECT_EQ(file,
              "YOUR STORE  09:05 Sunday December 6 2026\r\n"
              "Ontime: 08:15  Transaction number: 1\r\n"
              "Inventory on the system: 2, Customers: 1\r\n"
              "Items sold: 2, Refunded: 1\r\n\r\n"
              "Sales\r\nCash: 13.00\r\nCH: 0.00\r\nEFT: 0.00\r\nCredit: 0.00\r\nTotal: 13.00\r\n"
              "(Discounts: 0.00)\r\n\r\n"
              "Refunds\r\nCash: -11.00\r\nCH: 0.00\r\nEFT: 0.00\r\nCredit: 0.00\r\nTotal: -11.00"
              "\r\n\r\nNon taxable sales: 0.00\r\nTaxable sales: 2.00\r\nSub total: 2.00\r\n"
              "Tax 1: 0.00\r\nTax 2: 0.00\r\nTotal: 2.00\r\n\r\n"
              "Balance payments:\r\nCash: 0.00\r\nCH: 0.00\r\nEFT: 25.00\r\nTotal: 25.00\r\n\r\n"
              "(Cash back: 1.00)\r\nNet sales: 2.00\r\nCost of sales: 1.00\r\nGross profit: 1.00");
    EXPECT_EQ(exportedSummaryText("SHOP", t, day)
                  .rfind("SHOP Activity report: D:6 M:12 Y:2026"
                         "\r\nItems sold: 2, Refunded: 1\r\n",
                         0),
              0u);
}

TEST_F(DayTotalsTest, UploadFilesByteForByte) {
    const Day day = dayOf(clock.now());
    sampleDay(*store, day);
    InventoryRecord low = makeItem(5, "LOW ONE");
    low.quantity = 3;
    low.reorder_quantity = 3;
    low.on_order = 1;
    low.order_quantity = 12;
    setFieldText(low.order_code, "OC-5");
    ASSERT_TRUE(createItem(*store, low));
    InventoryRecord bundle = makeItem(6, "LOW BUNDLE");
    bundle.quantity = 0;
    bundle.kind = kItemKindBundle;
    ASSERT_TRUE(createItem(*store, bundle));

    // Nothing chosen: nothing written.
    std::vector<std::string> paths;
    const std::array<std::string, 3> names{"Activity.txt", "Dlyitems.txt", "Reorder.txt"};
    ASSERT_TRUE(writeUploadFiles(*store, clock.now(), {false, false, false}, names, &paths));
    EXPECT_TRUE(paths.empty());

    ASSERT_TRUE(writeUploadFiles(*store, clock.now(), {true, true, true}, names, &paths));
    ASSERT_EQ(paths, (std::vector<std::string>{data + "/Activity.txt", data + "/Dlyitems.txt",
                                               data + "/Reorder.txt"}));
    EXPECT_EQ(readFile(paths[1]),
              "Daily item list: YOUR STORE\r\n"
              "Item, Description, Ntx, Tx, T1, T2, Cost, Total, ID, Assoc, Payment\r\n"
              "7,ITEM,0.00,10.00,1.00,0.00,5.00,11.00,1,1,Cash,\r\n"
              "0,ITEM,0.00,2.00,0.00,0.00,1.00,2.00,1,1,Cash,\r\n");
    EXPECT_EQ(readFile(paths[2]),
              "Reorder list: YOUR STORE\r\n"
              "Item, Restock level, In stock, On order, Order quantity, Order code\r\n"
              "5, LOW ONE, 3,3,1,12, OC-5\r\n");
    EXPECT_EQ(readFile(paths[0]).substr(0, 40), "YOUR STORE  09:05 Sunday December 6 2026");

    // A name that is a shop file or leaves the folder is refused; the other
    // files are still written.
    paths.clear();
    Status s = writeUploadFiles(*store, clock.now(), {true, true, true},
                                {"inventory.dat", "Dlyitems.txt", "../Reorder.txt"}, &paths);
    EXPECT_EQ(s.message(), "Unable to produce report file.");
    EXPECT_EQ(paths, std::vector<std::string>{data + "/Dlyitems.txt"});
    EXPECT_TRUE(store->items().find(5).has_value());
}

TEST_F(DayTotalsTest, CloseoutFiguresPageAndLogLines) {
    const DayTotals t = sampleDay(*store, dayOf(clock.now()));
    const TillCount c = tillCount(100, t);
    EXPECT_DOUBLE_EQ(c.totalCash, 100 + 13 - 11 - 1);
    EXPECT_DOUBLE_EQ(c.eft, 25);
    EXPECT_DOUBLE_EQ(c.tillTotal, 101 + 25);
    const PrintedPage page = closeoutPage("SHOP", c, clock.now(), 1, "Administrator");
    EXPECT_EQ(page.front(), (PrintedLine{0, 0, "SHOP  Till closeout"}));
    EXPECT_EQ(page[1], (PrintedLine{1, 0, "09:05 Sun 6 Dec 26"}));
    EXPECT_EQ(page.back(), (PrintedLine{15, 0, "Till total: 126.00"}));

    ASSERT_TRUE(writeCloseout(*store, c, 1, "Administrator"));
    const std::string log = logOfToday();
    EXPECT_NE(log.find("\r\n09:05 Sun 6 Dec 26 Till closeout\r\n"
                       "Assoc: 1, Administrator\r\n"
                       "Initial till: 100.00\r\nCash: 13.00\r\nCash refunds: -11.00\r\n"
                       "Cash back: 1.00\r\nTotal cash: 101.00\r\nCh: 0.00\r\nCh refunds: 0.00\r\n"
                       "EFT: 25.00\r\nEFT refunds: 0.00\r\nTill total: 126.00\r\n"),
              std::string::npos)
        << log;
}

}  // namespace
}  // namespace kassio::test
