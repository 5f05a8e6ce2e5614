// Ten client stations post sales and refunds through real gRPC calls while
// the till of this station posts its own sales: every transaction gets its
// own number, the numbers run without a gap, and the journal, the stock and
// the ActivityLog agree with what was posted. Between its sales the clerk
// flips the menu switches (sound, tips, the picture category, trade prices,
// the tip of the day): kq.cfg, which every posting writes whole from the
// server's threads, changes only under the DataMutex (the ThreadSanitizer
// build runs this test).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <set>
#include <thread>

#include "base/fixed_text.h"
#include "station_fixture.h"
#include "store/journal_format.h"
#include "support/scripted_ui.h"
#include "support/till_fakes.h"
#include "till/shop_settings.h"
#include "till/till.h"

namespace kassio::test {
namespace {

constexpr int kClients = 10;
constexpr int kPerClient = 24;  // alternately a sale and a refund
constexpr int kLocalSales = 40;
constexpr int64_t kFirstItem = 3, kLastItem = 12;
constexpr int kInitialStock = 1000;

struct Posted {
    int64_t item;
    bool refund;
    bool restock;
};

class StationLoadTest : public StationTest {
  protected:
    void SetUp() override {
        StationTest::SetUp();
        for (int64_t n = kFirstItem; n <= kLastItem; ++n) {
            InventoryRecord item = makeItem(n, ("ITEM " + std::to_string(n)).c_str(), 1.0 + n);
            item.quantity = kInitialStock;
            item.display_category = static_cast<int32_t>(n % 18);
            ASSERT_TRUE(createItem(*store, item));
        }
    }
};

TEST_F(StationLoadTest, ConcurrentClientAndTillPostingsStayConsistent) {
    startServer();
    std::vector<std::unique_ptr<StationClient>> clients;
    for (int c = 0; c < kClients; ++c) clients.push_back(socketClient());

    std::vector<std::vector<Posted>> posted(kClients);
    std::vector<std::vector<int32_t>> codes(kClients);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            while (!go) std::this_thread::yield();
            for (int t = 0; t < kPerClient; ++t) {
                const bool refund = t % 2 == 1;
                const int64_t a = kFirstItem + (c + t) % 10, b = kFirstItem + (c * 3 + t) % 10;
                const int restock = (t / 2) % 2;
                const std::string station = "CLIENT " + std::to_string(c);
                auto basket = refund ? clientBasket({a}, "Refund", station)
                                     : clientBasket({a, b, 0}, "Cash", station);
                basket->values[kValueRestock] = refund ? restock : 0;
                basket->values[kValueRefundKind] = refund ? t % 3 : 0;
                int32_t code = -1;
                Status s = refund ? clients[c]->postRefund(*basket, code)
                                  : clients[c]->postSale(*basket, code);
                EXPECT_TRUE(s) << s.message();
                codes[c].push_back(code);
                for (int i = 0; i < basket->line_count; ++i)
                    posted[c].push_back({basket->item[i], refund, restock == 0});
            }
        });
    }

    // The station's own till, posting at the same time on this thread.
    ScriptedUi ui;
    ScriptedPanels panels;
    RecordingSound sound;
    RecordingDevices devices;
    Till till(*store, ui, panels, sound, devices);
    ASSERT_TRUE(till.logOn(1, ""));
    std::vector<Posted> local;
    const int32_t soundOff = store->config().record().settings_b[kSetBSoundEffectsOff];
    const int32_t tipsOff = store->config().record().settings_b[kSetBButtonTipsOff];
    go = true;
    for (int s = 0; s < kLocalSales; ++s) {
        const int64_t item = kFirstItem + s % 10;
        ASSERT_TRUE(till.addItem(item)) << (ui.shown.empty() ? "" : ui.shown.back().text);
        till.chequeTender();
        local.push_back({item, false, false});
        ASSERT_TRUE(toggleSoundEffects(*store));
        ASSERT_TRUE(toggleButtonTips(*store));
        ASSERT_TRUE(storeTipOfTheDay(*store, s, s % 2 == 0));
        till.quickSelect().selectCategory(s % 19);
        till.toggleTradePrices();  // on and off again: these items have no trade price
        till.toggleTradePrices();
    }
    for (auto& t : threads) t.join();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;

    // Every posting succeeded.
    for (const auto& list : codes)
        for (int32_t code : list) EXPECT_GE(code, 20);

    // One gap-free run of unique numbers, in the year index, the sales log
    // and the configuration alike.
    const int total = kClients * kPerClient + kLocalSales;
    const LocalTime t = clock.now();
    std::set<int64_t> indexNumbers;
    for (const TransactionIndexEntry& e : store->journal().readYearIndex(t.year))
        EXPECT_TRUE(indexNumbers.insert(+e.number).second) << "twice: " << e.number;
    const auto sales = store->journal().readSales(t.year, t.month, t.day);
    ASSERT_EQ(sales.size(), static_cast<std::size_t>(total));
    std::set<int64_t> saleNumbers;
    for (const SaleRecord& s : sales) EXPECT_TRUE(saleNumbers.insert(+s.number).second);
    EXPECT_EQ(indexNumbers, saleNumbers);
    EXPECT_EQ(*saleNumbers.begin(), 1);
    EXPECT_EQ(*saleNumbers.rbegin(), total);
    EXPECT_EQ(nextTransaction(), total + 1);
    StoreConfigRecord onDisk;
    auto cfg = readWholeFile(store->pathOf("kq.cfg"));
    ASSERT_EQ(cfg->size(), sizeof onDisk);
    std::memcpy(&onDisk, cfg->data(), sizeof onDisk);
    EXPECT_EQ(+onDisk.next_transaction, total + 1);
    // The switches as the clerk left them, next to the postings' figures.
    static_assert(kLocalSales % 2 == 0);
    ASSERT_TRUE(toggleSoundEffects(*store));  // one more write after the last posting
    cfg = readWholeFile(store->pathOf("kq.cfg"));
    std::memcpy(&onDisk, cfg->data(), sizeof onDisk);
    EXPECT_EQ(+onDisk.settings_b[kSetBSoundEffectsOff], soundOff == 0 ? 2 : 0);
    EXPECT_EQ(+onDisk.settings_b[kSetBButtonTipsOff], tipsOff);
    EXPECT_EQ(+onDisk.settings_b[kSetBQuickSelectCategory], (kLocalSales - 1) % 19);
    EXPECT_EQ(+onDisk.counters[kCounterTipNumber], kLocalSales - 1);
    EXPECT_EQ(+onDisk.counters[kCounterTipsOff], 2);
    EXPECT_EQ(+onDisk.next_transaction, total + 1);

    // Every line is in itemslog.dat under its transaction.
    const auto lines = store->journal().readLines(t.year, t.month, t.day);
    std::map<int64_t, int> linesPerTransaction;
    for (const SaleLineRecord& l : lines) ++linesPerTransaction[+l.number];
    std::size_t expectedLines = local.size();
    for (const auto& list : posted) expectedLines += list.size();
    EXPECT_EQ(lines.size(), expectedLines);
    for (const SaleRecord& s : sales)
        EXPECT_EQ(linesPerTransaction[+s.number], +s.line_count) << "transaction " << s.number;

    // Stock: each sale line takes one, each restocked refund line gives one back.
    std::map<int64_t, int> stock, sold;
    for (int64_t n = kFirstItem; n <= kLastItem; ++n) stock[n] = kInitialStock;
    auto apply = [&](const Posted& p) {
        if (p.item == 0) return;
        if (!p.refund) {
            --stock[p.item];
            ++sold[p.item];
        } else if (p.restock) {
            ++stock[p.item];
        }
    };
    for (const auto& list : posted)
        for (const Posted& p : list) apply(p);
    for (const Posted& p : local) apply(p);
    for (int64_t n = kFirstItem; n <= kLastItem; ++n) {
        auto item = readItem(*store, n);
        EXPECT_EQ(+item->quantity, stock[n]) << "item " << n;
        EXPECT_EQ(+item->total_sold, sold[n]) << "item " << n;
    }

    // The ActivityLog holds each transaction once, clients with their station.
    const std::string log = logOfToday();
    for (const SaleRecord& s : sales) {
        const bool refund = std::string(s.payment) == "Refund";
        const std::string entry =
            std::string(refund ? " Refund: " : " Sale: ") + std::to_string(s.number) + ", Total:";
        const auto first = log.find(entry);
        EXPECT_NE(first, std::string::npos) << entry;
        EXPECT_EQ(log.find(entry, first + 1), std::string::npos) << entry;
    }
    for (int c = 0; c < kClients; ++c)
        EXPECT_NE(log.find("Station: CLIENT " + std::to_string(c) + "\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kassio::test
