// Item summaries from crafted journals: what is taken, merged and in what
// order (checked against the exchange pass itself), the calendar of weeks,
// the sales report's levels, and the printed pages at their line numbers.
#include <gtest/gtest.h>

#include <random>

#include "journal_builder.h"
#include "reports/item_summary.h"
#include "reports/sales_report.h"
#include "store/store_fixture.h"

namespace kassio::test {
namespace {

class ItemSummaryTest : public StoreTest {};

TEST_F(ItemSummaryTest, MergesSalesOfOneItemButNeverRefundsOrNonInventoryLines) {
    const Day d{2026, 5, 4};
    post(*store, d, 1, "Cash", {line(1, 7, 2, 0, 5, "TEA"), line(1, 0, 1, 0, 18, "MISC")});
    post(*store, d, 2, "EFT",
         {line(2, 9, 3, 0, 5, "JAM"), line(2, 7, 2, 0, 5, "TEA"), line(2, 0, 1, 0, 18, "MISC")});
    post(*store, d, 3, "Refund", {line(3, 7, 2, 0, 5, "TEA")});
    payment(*store, d, 4, "Payment (cash)", {.cash = 9});

    ItemSummaryFilter keepRefunds;
    keepRefunds.excludeRefunds = false;
    ItemSummary s = itemSummary(*store, {d}, keepRefunds);
    EXPECT_EQ(summaryLines(s), (std::vector<std::string>{
                                   "7, TEA, 5, 2.00, 4.00, 0.00, 4.00, 2",
                                   "0, MISC, 18, 0.50, 1.00, 0.00, 1.00, 1",
                                   "9, JAM, 5, 1.50, 3.00, 0.00, 3.00, 1",
                                   "0, MISC, 18, 0.50, 1.00, 0.00, 1.00, 1",
                                   "Refund: 7, TEA, 5, -1.00, -2.00, -0.00, -2.00, 1",
                               }));
    EXPECT_EQ(summaryTotalsLine(s), "Items: 6, Cost: 3.50, Retail: 7.00");

    struct Filtered {
        const char* name;
        ItemSummaryFilter filter;
        int items;
    };
    ItemSummaryFilter noCash, noEft, nonInventory, category5;
    noCash.excludeCash = true;
    noEft.excludeEft = true;
    nonInventory.category = kNonInventoryCategory;
    category5.category = 5;
    for (const Filtered& f :
         {Filtered{"refunds excluded by default", {}, 5}, Filtered{"cash excluded", noCash, 3},
          Filtered{"EFT excluded", noEft, 2}, Filtered{"non inventory only", nonInventory, 2},
          Filtered{"category 5", category5, 3}}) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(itemSummary(*store, {d}, f.filter).items, f.items);
    }
}

TEST(ItemSummaryOrder, EqualCountsKeepTheExchangePassOrder) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<SummaryEntry> entries;
        const int n = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            SummaryEntry e;
            e.item = 0;  // never merged, so the order alone is tested
            e.count = 1 + static_cast<int>(random() % 4);
            e.cost = i;  // tells equal counts apart
            entries.push_back(e);
        }
        // The literal pass on (count, tag) pairs gives the expected tags.
        std::vector<std::pair<int, int>> literal;
        for (int i = 0; i < n; ++i) literal.push_back({entries[i].count, i});
        for (std::size_t i = 0; i < literal.size(); ++i)
            for (std::size_t j = i + 1; j < literal.size(); ++j)
                if (literal[i].first < literal[j].first) std::swap(literal[i], literal[j]);
        mergeAndOrder(&entries);
        for (int i = 0; i < n; ++i) ASSERT_EQ(entries[i].cost, literal[i].second) << round;
    }
}

TEST(ReportCalendar, WeeksAndMonthsFollowTheGregorianCalendar) {
    struct Case {
        Day first;
        std::vector<Day> week;
    };
    const std::vector<Case> cases = {
        {{2028, 2, 27},
         {{2028, 2, 27},
          {2028, 2, 28},
          {2028, 2, 29},
          {2028, 3, 1},
          {2028, 3, 2},
          {2028, 3, 3},
          {2028, 3, 4}}},
        {{2100, 2, 27},
         {{2100, 2, 27},
          {2100, 2, 28},
          {2100, 3, 1},
          {2100, 3, 2},
          {2100, 3, 3},
          {2100, 3, 4},
          {2100, 3, 5}}},
        {{2026, 12, 29},
         {{2026, 12, 29},
          {2026, 12, 30},
          {2026, 12, 31},
          {2027, 1, 1},
          {2027, 1, 2},
          {2027, 1, 3},
          {2027, 1, 4}}},
    };
    for (const Case& c : cases) EXPECT_EQ(summaryDays(SummaryPeriod::kWeek, c.first), c.week);
    EXPECT_EQ(summaryDays(SummaryPeriod::kMonth, {2000, 2, 1}).size(), 29u);
    EXPECT_EQ(summaryDays(SummaryPeriod::kMonth, {2100, 2, 1}).size(), 28u);
    EXPECT_EQ(summaryDays(SummaryPeriod::kPeriod, {2026, 1, 30}, {2026, 2, 2}).size(), 4u);

    Day d;
    EXPECT_TRUE(parseDayEntry("31/02/2026", &d));  // accepted; it simply finds no file
    EXPECT_EQ(d, (Day{2026, 2, 31}));
    for (const char* bad : {"1/02/2026", "01-02-2026", "01/2/2026", "01/02/26", "aa/02/2026"})
        EXPECT_FALSE(parseDayEntry(bad, &d)) << bad;
}

TEST_F(ItemSummaryTest, SalesReportSumsDaysMonthsAndYears) {
    post(*store, {2026, 12, 30}, 1, "Cash", {line(1, 7, 10, 1)});
    post(*store, {2026, 12, 30}, 2, "Cash", {line(2, 8, 5)}, {}, 0, 2);
    payment(*store, {2026, 12, 31}, 3, "Payment (cash)", {.cash = 50});
    post(*store, {2027, 1, 2}, 4, "Refund", {line(4, 7, 10, 1)});

    SalesReport all = salesReport(*store, {{2026, 12, 29}, {2027, 1, 2}, {}, {}});
    EXPECT_EQ(all.title, "Sales report: Tue 29 Dec 26 to Sat 2 Jan 27");
    EXPECT_EQ(all.lists[kTotal][kDayLevel],
              (std::vector<std::string>{"Wed 30 Dec 26  16.00", "Thu 31 Dec 26  0.00",
                                        "Sat 2 Jan 27  -11.00"}));
    EXPECT_EQ(all.lists[kTotal][kMonthLevel],
              (std::vector<std::string>{"12 of 2026  16.00", "1 of 2027  -11.00"}));
    EXPECT_EQ(all.lists[kTax1][kYearLevel],
              (std::vector<std::string>{"2026  1.00", "2027  -1.00"}));
    EXPECT_DOUBLE_EQ(all.grand[kTotal], 5);

    SalesReport staff = salesReport(*store, {{2026, 12, 30}, {2026, 12, 30}, 2, {}});
    EXPECT_EQ(staff.title.rfind("Staff sales report:", 0), 0u);
    EXPECT_DOUBLE_EQ(staff.grand[kTotal], 5);
    SalesReport item = salesReport(*store, {{2026, 12, 29}, {2027, 1, 2}, {}, 7});
    // Day lines only where the item's total is not 0; a refund's line takes
    // its sale back out.
    EXPECT_EQ(item.lists[kTotal][kDayLevel],
              (std::vector<std::string>{"Wed 30 Dec 26  11.00", "Sat 2 Jan 27  -11.00"}));

    int calls = 0;
    SalesReport cancelled = salesReport(*store, {{2026, 1, 1}, {2026, 12, 31}, {}, {}},
                                        [&calls](int, int) { return ++calls < 3; });
    EXPECT_TRUE(cancelled.cancelled);
}

TEST(ReportPages, ListingsBreakWhereTheNextLineWouldPassThePage) {
    Listing l;
    l.heading = [](int page) { return "H" + std::to_string(page); };
    l.columns = {"C"};
    for (int i = 0; i < 10; ++i) l.body.push_back("L" + std::to_string(i));
    l.extraPerLine = 2;
    l.footer = "F";
    // Line height 10, extra 2: line n fits while 12 (n + 1) <= 72, so lines 0..5.
    const PageGeometry g{10, 72, 5};
    const std::vector<PrintedPage> pages = paginate(l, g);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(
        pages[0],
        (PrintedPage{
            {0, 0, "H1"}, {1, 0, "C"}, {2, 0, "L0"}, {3, 0, "L1"}, {4, 0, "L2"}, {5, 0, "L3"}}));
    EXPECT_EQ(pages[1].front(), (PrintedLine{0, 0, "H2"}));
    EXPECT_EQ(pages[1][2], (PrintedLine{2, 0, "L4"}));
    // The last page holds L8, L9 at lines 2 and 3; the footer two lines
    // below L9 (line 5) fits.
    EXPECT_EQ(pages[2].back(), (PrintedLine{5, 0, "F"}));
    l.body.resize(8);  // L4..L7 fill page 2 to line 5: no room for the footer
    EXPECT_EQ(paginate(l, g).back().back(), (PrintedLine{5, 0, "L7"}));
}

}  // namespace
}  // namespace kassio::test
