// Procedures 14 and 15: what a client station gets back from a posting, and
// that a refused posting leaves the shop's files as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "base/fixed_text.h"
#include "base/money.h"
#include "server/basket_wire.h"
#include "server_fixture.h"
#include "store/faulty_file_system.h"
#include "store/file_io.h"
#include "store/posix_file_system.h"
#include "till/posting.h"

namespace kassio::test {
namespace {

class PostingTest : public ServerTest {
  protected:
    std::unique_ptr<Basket> basketOf(std::vector<int64_t> items, const char* payment = "Cash") {
        auto b = std::make_unique<Basket>();
        std::memset(b.get(), 0, sizeof *b);
        for (int64_t item : items) {
            const int i = b->line_count++;
            b->item[i] = item;
            setFieldText(b->description[i], item ? "ITEM" : "MISC");
            b->non_taxable[i] = 2.5;
            b->cost[i] = 1.25;
            b->line_total[i] = 2.5;
            b->total_non_taxable += 2.5;
            b->subtotal += 2.5;
            b->total += 2.5;
            b->total_cost += 1.25;
        }
        b->clerk = 1;
        b->number = store->config().nextTransaction();
        setFieldText(b->payment_word, payment);
        setFieldText(b->texts[0], "TILL 2");
        return b;
    }

    int32_t next() const { return store->config().nextTransaction(); }

    // The shop's files as they stand, to show a refused posting changed none.
    std::vector<std::vector<unsigned char>> files() const {
        std::vector<std::vector<unsigned char>> out;
        for (const char* name : {"inventory.dat", "customer.dat", "kq.cfg"})
            out.push_back(readWholeFile(data + "/" + name).value_or(std::vector<unsigned char>{}));
        return out;
    }

    std::size_t salesToday() const {
        LocalTime t = clock.now();
        return store->journal().readSales(t.year, t.month, t.day).size();
    }
};

TEST_F(PostingTest, RefusedSalesReturnTheirCodeAndWriteNothing) {
    struct Case {
        const char* what;
        std::function<void(Basket&)> change;
        int32_t code;
    };
    const Case cases[] = {
        {"no lines", [](Basket& b) { b.line_count = 0; }, 1},
        {"negative line count", [](Basket& b) { b.line_count = -3; }, 1},
        {"line count past 400", [](Basket& b) { b.line_count = 401; }, 1},
        {"huge line count", [](Basket& b) { b.line_count = 0x7FFFFFFF; }, 1},
        {"unknown customer", [](Basket& b) { b.customer = 99; }, 2},
        {"unknown item", [](Basket& b) { b.item[1] = 999; }, 4},
        // Amounts no shop can take: "1e999" reads as infinity, and +inf with
        // -inf sums to NaN; any of them would stay in the totals for good.
        {"infinite line price",
         [](Basket& b) {
             b.line_total[0] = b.non_taxable[0] = std::numeric_limits<double>::infinity();
         },
         kClientInsaneAmount},
        {"plus and minus infinity",
         [](Basket& b) {
             b.line_total[0] = std::numeric_limits<double>::infinity();
             b.line_total[1] = -std::numeric_limits<double>::infinity();
         },
         kClientInsaneAmount},
        {"NaN total", [](Basket& b) { b.total = std::numeric_limits<double>::quiet_NaN(); },
         kClientInsaneAmount},
        {"NaN payment", [](Basket& b) { b.payment[0] = std::numeric_limits<double>::quiet_NaN(); },
         kClientInsaneAmount},
        {"beyond the money limit", [](Basket& b) { b.cost[1] = kMoneyLimit * 2; },
         kClientInsaneAmount},
    };
    const auto filesBefore = files();
    const int32_t before = next();
    for (const Case& c : cases) {
        auto b = basketOf({1, 2});
        c.change(*b);
        ClientPostResult r = server->postSale(*b);
        EXPECT_EQ(r.code, c.code) << c.what;
        EXPECT_TRUE(r.stationMessage) << c.what;
    }
    EXPECT_EQ(next(), before);
    EXPECT_EQ(salesToday(), 0u);
    EXPECT_TRUE(files() == filesBefore);
}

// A flush that fails fails the posting, and the server puts its files and
// memory back in step by itself: the next posting is taken under the number
// the failed one would have had, with no restart, and a refund and a
// customer change after a second failure likewise. Only the answered
// postings are in the journal.
TEST_F(PostingTest, AfterADiskFailureTheNextPostingIsTakenWithoutARestart) {
    ASSERT_TRUE(store->close());
    server.reset();
    static PosixFileSystem disk;  // outlives every store of the run
    auto faulty = std::make_unique<FaultyFileSystem>(disk);
    FaultyFileSystem& port = *faulty;
    store = std::make_unique<DataStore>(data, clock, std::move(faulty));
    ASSERT_TRUE(store->openData());
    server = std::make_unique<StationServer>(*store);
    const int32_t first = next();
    const int stock = readItem(*store, 2)->quantity;

    port.failAt(FaultyFileSystem::Fault::kSync, 1);
    EXPECT_LT(server->postSale(*basketOf({2})).code, kClientPostedOffset);  // refused
    EXPECT_TRUE(store->files().error());
    ClientPostResult sold = server->postSale(*basketOf({2}));
    EXPECT_EQ(sold.code, first + 1 + kClientPostedOffset);  // the number after it
    EXPECT_EQ(readItem(*store, 2)->quantity, stock - 1);

    port.failAt(FaultyFileSystem::Fault::kSync, 1);
    CustomerRecord changed = *readCustomer(*store, 1);
    setFieldText(changed.town, "LEEDS");
    EXPECT_EQ(server->changeCustomer(changed), kCustomerFileUnavailable);
    EXPECT_TRUE(store->files().error());
    EXPECT_EQ(server->changeCustomer(changed), kCustomerDone);
    EXPECT_STREQ(readCustomer(*store, 1)->town, "LEEDS");
    EXPECT_EQ(server->postRefund(*basketOf({2}, "Refund")).code, first + 2 + kClientPostedOffset);
    EXPECT_EQ(readItem(*store, 2)->quantity, stock);
    EXPECT_EQ(salesToday(), 2u);
}

TEST_F(PostingTest, StockAndMissingFilesStopASale) {
    store->config().record().options[kOptPermitInsufficientStock] = 0;
    auto slot = store->items().find(2);
    InventoryRecord milk;
    ASSERT_TRUE(store->items().read(*slot, &milk));
    milk.quantity = 0;
    ASSERT_TRUE(store->items().write(*slot, &milk));
    EXPECT_EQ(server->postSale(*basketOf({1, 2})).code, 5);
    const int32_t before = next();
    EXPECT_EQ(server->postSale(*basketOf({0})).code, before + 1 + 20);  // a non-inventory line

    ASSERT_EQ(std::rename(store->customers().path().c_str(), (data + "/c.moved").c_str()), 0);
    auto withCustomer = basketOf({1});
    withCustomer->customer = 1;
    EXPECT_EQ(server->postSale(*withCustomer).code, 2);
    ASSERT_EQ(std::rename(store->items().path().c_str(), (data + "/i.moved").c_str()), 0);
    EXPECT_EQ(server->postSale(*basketOf({1})).code, 3);
}

TEST_F(PostingTest, RefusedRefundsReturnTheirCode) {
    struct Case {
        const char* what;
        std::function<void(Basket&)> change;
        int32_t code;
    };
    const Case cases[] = {
        {"no lines", [](Basket& b) { b.line_count = 0; }, 1},
        {"line count past 400", [](Basket& b) { b.line_count = 500; }, 1},
        {"kind above 3", [](Basket& b) { b.values[kValueRefundKind] = 4; }, 2},
        {"negative kind", [](Basket& b) { b.values[kValueRefundKind] = -1; }, 2},
        {"restock above 1", [](Basket& b) { b.values[kValueRestock] = 2; }, 2},
        {"credit to unknown customer",
         [](Basket& b) {
             b.values[kValueRefundKind] = 3;
             b.customer = 99;
         },
         3},
        {"NaN credited to a customer",
         [](Basket& b) {
             b.values[kValueRefundKind] = 3;
             b.customer = 1;
             b.total = b.line_total[0] = std::numeric_limits<double>::quiet_NaN();
         },
         kClientInsaneAmount},
        {"minus infinity refunded",
         [](Basket& b) { b.total = -std::numeric_limits<double>::infinity(); },
         kClientInsaneAmount},
    };
    const auto filesBefore = files();
    const int32_t before = next();
    for (const Case& c : cases) {
        auto b = basketOf({1}, "Refund");
        c.change(*b);
        EXPECT_EQ(server->postRefund(*b).code, c.code) << c.what;
    }
    EXPECT_EQ(next(), before);
    EXPECT_EQ(salesToday(), 0u);
    EXPECT_TRUE(files() == filesBefore);
}

TEST_F(PostingTest, RefundOfAVanishedItemTellsTheStation) {
    auto b = basketOf({1, 999}, "Refund");
    ClientPostResult r = server->postRefund(*b);
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.stationMessage.message(), "Invalid entry");
    EXPECT_EQ(r.stationMessage.title(), "Problem");

    const int32_t before = next();
    r = server->postRefund(*basketOf({1}, "Refund"));
    EXPECT_EQ(r.code, before + 1 + 20);
    EXPECT_EQ(+readItem(*store, 1)->quantity, 12);  // 10, + 1 by each refund's restock
}

}  // namespace
}  // namespace kassio::test
