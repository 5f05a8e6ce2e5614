// Fault injection through the FileSystem port: a client's credit sale (the
// till's posting code, customer update included) is posted once for every
// step at which a write, a full disk, a flush or a rename can fail. After
// the station dies and starts again, the shop's files are exactly as before
// the posting or exactly as after it, the answer said which, and the
// transaction number is never used twice.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/fixed_text.h"
#include "store/customers.h"
#include "store/faulty_file_system.h"
#include "store/file_io.h"
#include "store/items.h"
#include "store/posix_file_system.h"
#include "store/start_up.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "till/posting.h"

namespace kassio {
namespace {

namespace fs = std::filesystem;
using Fault = test::FaultyFileSystem::Fault;
using Files = std::map<std::string, std::string>;

// Every file of the shop, by name, without the journal and the lock.
Files shopFiles(const std::string& folder) {
    Files out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        const std::string name = fs::relative(e.path(), folder).string();
        if (name.rfind("posting.journal", 0) == 0 || name == "kassio.lock") continue;
        auto data = readWholeFile(e.path().string());
        out[name] = data ? std::string(data->begin(), data->end()) : "<unreadable>";
    }
    return out;
}

// Three items and one customer, started once (today's folders made) and
// closed.
void makeShop(const std::string& folder, const Clock& clock) {
    ASSERT_TRUE(makeDirectories(folder));
    InventoryRecord none;
    std::memset(&none, 0, sizeof none);
    none.number = -1;
    ASSERT_TRUE(replaceFileAtomically(folder + "/inventory.dat", &none, sizeof none));
    ASSERT_TRUE(replaceFileAtomically(folder + "/customer.dat", &none, kCustomerRecordSize));
    test::ScriptedUi ui;
    DataStore store(folder, clock);
    ASSERT_TRUE(startDataStore(store, "", "", ui));
    for (int64_t n : {1, 2, 3}) {
        InventoryRecord item = blankItem(store.config(), clock.now());
        item.number = n;
        setFieldText(item.description, "THING");
        item.retail_price = 2.0;
        item.cost_price = 1.0;
        item.quantity = 50;
        ASSERT_TRUE(createItem(store, item));
    }
    CustomerRecord c = blankCustomer();
    c.number = 9;
    setFieldText(c.name, "A CUSTOMER");
    c.balance = 10.0;
    ASSERT_TRUE(createCustomer(store, c));
    ASSERT_TRUE(store.close());
}

Basket creditSale() {
    Basket b;
    std::memset(&b, 0, sizeof b);
    for (int64_t item : {1, 2, 2, 3}) {
        const int i = b.line_count++;
        b.item[i] = item;
        setFieldText(b.description[i], "THING");
        b.non_taxable[i] = b.line_total[i] = 2.0;
        b.total += 2.0;
    }
    b.customer = 9;
    b.clerk = 1;
    setFieldText(b.payment_word, "Credit");
    return b;
}

int timesNumbered(DataStore& store, const LocalTime& day, int64_t number) {
    int n = 0;
    for (const SaleRecord& s : store.journal().readSales(day.year, day.month, day.day))
        n += s.number == number;
    return n;
}

TEST(PostingFaults, EveryFailedStepLeavesTheFilesBeforeOrAfterAndTheAnswerSaysWhich) {
    test::FixedClock clock({2026, 12, 6, 14, 30, 0});
    test::TempFolder root;

    // The reference: the same posting on a healthy disk.
    const std::string reference = root / "reference";
    makeShop(reference, clock);
    const Files before = shopFiles(reference);
    int32_t postedCode = 0;
    {
        DataStore store(reference, clock);
        ASSERT_TRUE(store.openData());
        postedCode = postClientSale(store, creditSale()).code;
        ASSERT_GE(postedCode, kClientPostedOffset);
        ASSERT_TRUE(store.close());
    }
    const Files after = shopFiles(reference);
    ASSERT_NE(before, after);
    const int64_t number = postedCode - kClientPostedOffset - 1;

    const std::pair<Fault, const char*> kinds[] = {{Fault::kWrite, "write"},
                                                   {Fault::kNoSpace, "full disk"},
                                                   {Fault::kSync, "flush"},
                                                   {Fault::kRename, "rename"}};
    int runs = 0, refused = 0;
    for (const auto& [fault, what] : kinds) {
        bool fired = true;
        for (int nth = 1; fired; ++nth) {
            SCOPED_TRACE(std::string(what) + " failing at call " + std::to_string(nth));
            const std::string folder = root / ("shop-" + std::to_string(++runs));
            makeShop(folder, clock);
            PosixFileSystem disk;
            auto faulty = std::make_unique<test::FaultyFileSystem>(disk);
            test::FaultyFileSystem& port = *faulty;
            ClientPostResult answer;
            {
                DataStore store(folder, clock, std::move(faulty));
                // A checkpoint after every posting: its flushes and its
                // rename are steps of the posting too.
                store.files().setCheckpointBytes(1);
                ASSERT_TRUE(store.openData());
                port.failAt(fault, nth);
                answer = postClientSale(store, creditSale());
                fired = port.fired();
                // The station dies here, whatever state it is in.
            }
            const bool posted = answer.code >= kClientPostedOffset;
            if (fired && !posted) ++refused;
            if (posted) {
                EXPECT_EQ(answer.code, postedCode);
            }

            DataStore restarted(folder, clock);
            ASSERT_TRUE(restarted.openData());
            ASSERT_TRUE(restarted.close());
            EXPECT_TRUE(shopFiles(folder) == (posted ? after : before))
                << (posted ? "answered posted, files are not" : "answered failed, files changed");

            // The next posting takes the next unused number.
            ASSERT_TRUE(restarted.openData());
            const ClientPostResult next = postClientSale(restarted, creditSale());
            ASSERT_GE(next.code, kClientPostedOffset);
            EXPECT_EQ(next.code, postedCode + (posted ? 1 : 0));
            const LocalTime today = clock.now();
            EXPECT_EQ(timesNumbered(restarted, today, number), 1);
            EXPECT_EQ(timesNumbered(restarted, today, number + 1), posted ? 1 : 0);
            ASSERT_TRUE(restarted.close());
        }
    }
    // Each kind failed a posting outright at least once (its journal write
    // or flush), and every step was tried until none was left to fail.
    EXPECT_GE(refused, 3);
    EXPECT_GT(runs, 20);
}

TEST(PostingFaults, AReopenAfterAFailedFlushTakesPostingsAgainWithoutARestart) {
    test::FixedClock clock({2026, 12, 6, 14, 30, 0});
    test::TempFolder root;
    makeShop(root.path(), clock);
    const Files before = shopFiles(root.path());
    PosixFileSystem disk;
    auto faulty = std::make_unique<test::FaultyFileSystem>(disk);
    test::FaultyFileSystem& port = *faulty;
    DataStore store(root.path(), clock, std::move(faulty));
    ASSERT_TRUE(store.openData());
    const int32_t firstCode = store.config().nextTransaction() + kClientPostedOffset + 1;

    port.failAt(Fault::kSync, 1);
    EXPECT_EQ(postClientSale(store, creditSale()).code, kClientNotSaved);
    EXPECT_FALSE(store.files().error());
    EXPECT_LT(postClientSale(store, creditSale()).code, kClientPostedOffset);  // refused

    ASSERT_TRUE(store.reopen());
    EXPECT_TRUE(store.files().error());
    EXPECT_EQ(shopFiles(root.path()), before);
    // Memory agrees with the files again: the same number, the same stock.
    EXPECT_EQ(postClientSale(store, creditSale()).code, firstCode);
    InventoryRecord item;
    ASSERT_TRUE(store.items().read(*store.items().find(2), &item));
    EXPECT_EQ(item.quantity, 48);
    ASSERT_TRUE(store.close());
    EXPECT_EQ(timesNumbered(store, clock.now(), firstCode - kClientPostedOffset - 1), 1);
}

}  // namespace
}  // namespace kassio
