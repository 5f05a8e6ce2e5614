// The lists read from the item file (each list's selection at its
// boundaries, the stock summary's margin) and the ActivityLog read back in
// 31999-byte chunks and as printed lines.
#include <gtest/gtest.h>

#include "journal_builder.h"
#include "reports/activity_log_reader.h"
#include "reports/stock_lists.h"
#include "store/items.h"
#include "store/store_fixture.h"

namespace kassio::test {
namespace {

class StockListsTest : public StoreTest {
  protected:
    void item(int64_t number, const char* description,
              const std::function<void(InventoryRecord&)>& set) {
        InventoryRecord r = makeItem(number, description);
        set(r);
        // Straight into the file: the form's rules would refuse some of these.
        ASSERT_TRUE(store->items().insert(&r));
    }
};

TEST_F(StockListsTest, EachListChoosesItsRecords) {
    ASSERT_TRUE(deleteItem(*store, 1));
    ASSERT_TRUE(deleteItem(*store, 2));
    item(30, "AT REORDER", [](InventoryRecord& r) {
        r.quantity = 4;
        r.reorder_quantity = 4;
    });
    item(20, "ABOVE REORDER", [](InventoryRecord& r) {
        r.quantity = 5;
        r.reorder_quantity = 4;
    });
    item(10, "NONE LEFT", [](InventoryRecord& r) {
        r.quantity = 0;
        setFieldText(r.order_code, "Z9");
    });
    item(40, "BUNDLE", [](InventoryRecord& r) {
        r.quantity = -1;
        r.kind = kItemKindBundle;
        r.special_order = 1;
    });
    item(50, "EXPIRED", [](InventoryRecord& r) {
        r.sell_by_day = 5;
        r.sell_by_month = 12;
        r.sell_by_year = 15;  // 2026
    });
    item(60, "SELLS TODAY", [](InventoryRecord& r) {
        r.sell_by_day = 6;
        r.sell_by_month = 12;
        r.sell_by_year = 15;
    });
    item(70, "NO YEAR", [](InventoryRecord& r) {
        r.sell_by_day = 1;
        r.sell_by_month = 1;
    });
    const Day today{2026, 12, 6};
    struct Case {
        StockList list;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        // Number order, bundles left out.
        {StockList::kReorder, {"10, NONE LEFT, 0,0,0,0, Z9", "30, AT REORDER, 4,4,0,0, "}},
        {StockList::kReorderByOrderCode,
         {"Z9, 10, NONE LEFT, 0,0,0,0", ", 30, AT REORDER, 4,4,0,0"}},
        {StockList::kOutOfStock, {"10, NONE LEFT, 0,0,0, Z9"}},
        {StockList::kSpecialOrders, {"40, BUNDLE, -1, 1"}},
        {StockList::kSellByExpired, {"50, EXPIRED, D:5 M:12 Y:2026"}},
    };
    for (const Case& c : cases) {
        StockListView v;
        ASSERT_TRUE(stockList(*store, c.list, today, &v));
        EXPECT_EQ(v.lines, c.lines) << v.title;
    }
    const Listing printed = stockListPrint(StockList::kOutOfStock, "SHOP", today, {"x"});
    EXPECT_EQ(printed.heading(2), "SHOP  Out of stock list: Sun 6 Dec 26      Page: 2");
    EXPECT_EQ(printed.columns,
              std::vector<std::string>{"Item, Reorder level, On order, Order qty, Code"});
}

TEST_F(StockListsTest, SummaryMarginAndCostChecks) {
    StockSummary s;
    ASSERT_TRUE(deleteItem(*store, 1));
    ASSERT_TRUE(deleteItem(*store, 2));
    ASSERT_TRUE(stockSummary(*store, &s));
    EXPECT_EQ(s.margin, "N/A");
    item(1, "DEAR", [](InventoryRecord& r) {
        r.quantity = 2;
        r.cost_price = 3.004;  // 3.00 as whole cents: not above retail
        r.retail_price = 3.0;
    });
    item(2, "LOSS", [](InventoryRecord& r) {
        r.quantity = 1;
        r.cost_price = 5;
        r.retail_price = 4.99;
    });
    item(3, "FREE", [](InventoryRecord& r) {
        r.quantity = 0;
        r.cost_price = 1;
        r.retail_price = 0;  // a price of 0 takes no part
    });
    ASSERT_TRUE(stockSummary(*store, &s));
    EXPECT_EQ(s.items, 3);
    EXPECT_EQ(stockSummaryRows(s)[1].second, "11.01");
    EXPECT_EQ(s.margin, "-0.16%");

    std::vector<std::string> lines;
    ASSERT_TRUE(boundsCheck(*store, {}, &lines));
    EXPECT_EQ(lines, std::vector<std::string>{"2, LOSS (1) 5.00 4.99"});
    BoundsCheck limits{false, 3.0, std::nullopt};
    ASSERT_TRUE(boundsCheck(*store, limits, &lines));
    EXPECT_EQ(lines, std::vector<std::string>{"2, LOSS (1) 5.00 4.99"});
    limits.costLimit = 10.0;
    ASSERT_TRUE(boundsCheck(*store, limits, &lines));
    EXPECT_EQ(lines, std::vector<std::string>{"No items"});
}

class ActivityLogTest : public StoreTest {
  protected:
    void writeLog(const Day& d, const std::string& text) {
        const LocalTime at{d.year, d.month, d.day, 9, 0, 0};
        ASSERT_TRUE(store->journal().ensureMonthFolders(at));
        ASSERT_TRUE(store->journal().appendActivity(at, text));
    }
};

TEST_F(ActivityLogTest, ChunksOf31999Bytes) {
    struct Case {
        Day day;
        std::size_t size;
        std::vector<std::size_t> chunks;  // sizes shown by Next, from the first
    };
    const std::vector<Case> cases = {
        {{2026, 1, 1}, 31998, {31998}},
        {{2026, 1, 2}, 31999, {31999, 0}},  // Next, then an empty chunk
        {{2026, 1, 3}, 32000, {31999, 1}},
        {{2026, 1, 4}, 64000, {31999, 31999, 2}},
    };
    for (const Case& c : cases) {
        writeLog(c.day, std::string(c.size, 'x'));
        std::vector<std::size_t> seen;
        auto chunk = readLogChunk(*store, c.day, 0);
        ASSERT_TRUE(chunk);
        EXPECT_FALSE(chunk->hasPrevious);
        for (;;) {
            seen.push_back(chunk->text.size());
            if (!chunk->hasNext) break;
            const uint64_t at = chunk->offset + chunk->text.size();
            chunk = readLogChunk(*store, c.day, at);
            ASSERT_TRUE(chunk->hasPrevious);
            EXPECT_EQ(previousLogChunk(*store, c.day, at)->offset, at - kLogChunkBytes);
        }
        EXPECT_EQ(seen, c.chunks) << c.size;
    }
    EXPECT_FALSE(readLogChunk(*store, {2026, 2, 31}, 0));
}

TEST_F(ActivityLogTest, PrintedLinesSplitAtReturnsAndAt253Characters) {
    const Day d{2026, 3, 3};
    writeLog(d, "\r\nab\tc\r\n" + std::string(300, 'y') + "\r\ntail");
    auto lines = logPrintLines(*store, d);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"", "abc", std::string(253, 'y'),
                                                std::string(47, 'y'), "tail", "  "}));
    EXPECT_EQ(logPrint("SHOP", d, *lines).heading(1), "SHOP Log file: 03/03/2026      Page: 1");
    EXPECT_FALSE(logPrintLines(*store, {2026, 3, 4}));

    const std::string target = root / "copy.txt";
    ASSERT_TRUE(exportLog(*store, d, target));
    EXPECT_EQ(readFile(target), "\r\nab\tc\r\n" + std::string(300, 'y') + "\r\ntail");
    EXPECT_EQ(exportLog(*store, {2026, 3, 4}, target).message(), "No log for day.");
}

}  // namespace
}  // namespace kassio::test
