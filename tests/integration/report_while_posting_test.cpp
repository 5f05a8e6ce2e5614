// The day's summary and the stock summary read while client stations post
// through the real gRPC server: every report counts each posting whole or
// not at all.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "reports/day_totals.h"
#include "reports/stock_lists.h"
#include "station_fixture.h"

namespace kassio::test {
namespace {

class ReportWhilePostingTest : public StationTest {};

TEST_F(ReportWhilePostingTest, SummaryNeverCountsHalfAPosting) {
    startServer();
    constexpr int kClients = 4, kSales = 15;
    std::vector<std::unique_ptr<StationClient>> clients;
    for (int c = 0; c < kClients; ++c) clients.push_back(socketClient());
    std::atomic<int> running{kClients};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back([&, c] {
            // Three non-inventory lines of 1.00 each: items sold is the
            // total, and the cost is half of it, in every whole posting.
            for (int s = 0; s < kSales; ++s) {
                auto basket = clientBasket({0, 0, 0}, "Cash", "CLIENT " + std::to_string(c));
                int32_t code = -1;
                EXPECT_TRUE(clients[c]->postSale(*basket, code));
            }
            --running;
        });
    const Day today = dayOf(clock.now());
    int summaries = 0;
    while (running > 0 || summaries < 5) {
        const DayTotals t = dayTotals(*store, today);
        ASSERT_EQ(t.itemsSold, static_cast<int>(std::lround(t.total))) << "after " << summaries;
        ASSERT_DOUBLE_EQ(t.cost * 2, t.total);
        ++summaries;
        // The DataMutex is not fair: a loop that takes it again at once
        // could keep the postings out for as long as it runs.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (auto& t : threads) t.join();
    const DayTotals last = dayTotals(*store, today);
    EXPECT_EQ(last.itemsSold, kClients * kSales * 3);
    EXPECT_DOUBLE_EQ(last.total, kClients * kSales * 3.0);
}

// Each sale takes one of the first item and one of the last, which lie in
// different parts of a large item file; the units in stock are even before
// and after every whole posting, and odd only if a summary saw half of one.
TEST_F(ReportWhilePostingTest, StockSummaryNeverCountsHalfAPosting) {
    constexpr int64_t kItems = 20000;
    ASSERT_TRUE(store->close());
    store.reset();
    std::vector<InventoryRecord> items;
    for (int64_t n = 1; n <= kItems; ++n) {
        items.push_back(makeItem(n, "ITEM"));
        items.back().quantity = n == 1 || n == kItems ? 1000 : 0;
    }
    writeRecords(data + "/inventory.dat", items);
    open();
    startServer();
    constexpr int kClients = 3, kSales = 20;
    std::vector<std::unique_ptr<StationClient>> clients;
    for (int c = 0; c < kClients; ++c) clients.push_back(socketClient());
    std::atomic<int> running{kClients};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back([&, c] {
            for (int s = 0; s < kSales; ++s) {
                auto basket = clientBasket({1, kItems}, "Cash", "CLIENT " + std::to_string(c));
                int32_t code = -1;
                EXPECT_TRUE(clients[c]->postSale(*basket, code));
            }
            --running;
        });
    int summaries = 0;
    while (running > 0 || summaries < 3) {
        StockSummary s;
        ASSERT_TRUE(stockSummary(*store, &s));
        ASSERT_EQ(s.items % 2, 0) << s.items << " after " << summaries;
        ++summaries;
        // The DataMutex is not fair: a loop that takes it again at once
        // could keep the postings out for as long as it runs.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (auto& t : threads) t.join();
    StockSummary last;
    ASSERT_TRUE(stockSummary(*store, &last));
    EXPECT_EQ(last.items, 2000 - 2 * kClients * kSales);
}

}  // namespace
}  // namespace kassio::test
