// Starting and closing a station's data, and the item, customer and
// supplier rules on real files in a temporary DataFolder.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/timestamp.h"
#include "store/activity_log.h"
#include "store/start_up.h"
#include "store/suppliers.h"
#include "store_fixture.h"
#include "support/scripted_ui.h"

namespace kassio {
namespace {

using test::makeCustomer;
using test::makeItem;

TEST(FirstStart, CreatesTheFolderAndFilesThenASecondStartSkipsThem) {
    test::TempFolder root;
    test::makeSamples(root / "samples");
    test::FixedClock clock({2026, 12, 6, 9, 5, 0});
    test::ScriptedUi ui;
    const std::string data = root / "deep/Orvane/kassio SC";
    {
        DataStore store(data, clock);
        ASSERT_TRUE(startDataStore(store, root / "samples", "\x80", ui));
        EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
        EXPECT_EQ(store.items().index().liveCount(), 2u);
        EXPECT_EQ(store.customers().index().liveCount(), 1u);
        EXPECT_EQ(store.suppliers().index().deletedCount(), 1u);
        EXPECT_EQ(store.config().heading(1), "YOUR STORE");
        EXPECT_EQ(fieldText(store.config().record().currency_symbol), "\x80");
        closeDataStore(store, ui);
    }
    EXPECT_TRUE(fileExists(data + "/stock24.bmp"));
    EXPECT_TRUE(fileExists(data + "/language.ini"));
    EXPECT_EQ(readWholeFile(data + "/kq.cfg")->size(), kStoreConfigSize);
    EXPECT_EQ(readWholeFile(data + "/suppliers.dat")->size(), kSupplierRecordSize);
    EXPECT_EQ(readWholeFile(data + "/language.ini")->size(), kReceiptWordsSize);

    // Second start: kq.cfg is there, so nothing is copied or reset, and the
    // currency symbol taken once is kept.
    ASSERT_TRUE(removeFile(data + "/stock24.bmp"));
    clock.set({2026, 12, 7, 18, 30, 0});
    {
        DataStore store(data, clock);
        ASSERT_TRUE(startDataStore(store, root / "samples", "$", ui));
        EXPECT_EQ(fieldText(store.config().record().currency_symbol), "\x80");
        EXPECT_EQ(store.previousStart().day, 6);
        EXPECT_EQ(store.config().lastStart().day, 7);
        closeDataStore(store, ui);
        EXPECT_EQ(store.journal().readActivityLog(2026, 12, 7),
                  "\r\n18:30 07/12/2026  Switched on.\r\n"
                  "\r\n18:30 07/12/2026  Switched off.\r\nClerk: 0, \r\n");
    }
    EXPECT_FALSE(fileExists(data + "/stock24.bmp"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(FirstStart, WithoutSamplesTheStartFailsWithItsMessages) {
    test::TempFolder root;
    test::FixedClock clock;
    test::ScriptedUi ui;
    DataStore store(root / "data", clock);
    EXPECT_FALSE(startDataStore(store, "", "", ui));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Unable to locate directory in dodemo.");
    EXPECT_EQ(ui.shown[0].title, "Problem");
    EXPECT_EQ(ui.shown[1].text, "Unable to open inventory.dat in Opendata");
    EXPECT_EQ(ui.shown[1].title, "Fatal error");
}

TEST(FirstStart, TheBuiltSamplesMakeAShopThatOpens) {
    test::TempFolder root;
    test::FixedClock clock;
    test::ScriptedUi ui;
    DataStore store(root / "data", clock);
    ASSERT_TRUE(startDataStore(store, KASSIO_TEST_SAMPLES_DIR, "", ui));
    EXPECT_GE(store.items().index().liveCount(), 30u);
    EXPECT_GE(store.customers().index().liveCount(), 8u);
    for (const IndexEntry& e : store.items().index().entries()) {
        if (e.number < 0) continue;
        auto item = readItem(store, e.number);
        ASSERT_TRUE(item);
        EXPECT_TRUE(validateNewItem(*item)) << e.number;
        EXPECT_TRUE(item->picture_number >= 1 && item->picture_number <= 24);
        EXPECT_TRUE(
            fileExists(store.pathOf("stock" + std::to_string(item->picture_number) + ".bmp")));
    }
}

class OpenDataTest : public test::StoreTest {};

// Each damaged or missing file stops the start with its own message, and
// the file is left exactly as it was.
TEST_F(OpenDataTest, DamagedFilesStopTheStartWithTheirMessages) {
    struct Case {
        const char* file;
        long long size;  // -1: remove the file
        const char* message;
    };
    const Case cases[] = {
        {"kq.cfg", -1, "The configuration file is not present in Opendata."},
        {"inventory.dat", -1, "Unable to open inventory.dat in Opendata"},
        {"inventory.dat", 0, "inventory.dat has no data in Opendata."},
        {"inventory.dat", 2113 * 3 + 1, "Data file inventory.dat corrupt in Opendata."},
        {"inventory.dat", 2112, "Data file inventory.dat corrupt in Opendata."},
        {"customer.dat", -1, "Data file customer.dat not present in Opendata."},
        {"customer.dat", 0, "Data file customer.dat no data in Opendata."},
        {"customer.dat", 1243, "Data file customer.dat corrupt in Opendata."},
        {"suppliers.dat", -1, "Data file suppliers.dat not present in Opendata."},
        {"suppliers.dat", 0, "Data file suppliers.dat no data in Opendata."},
        {"suppliers.dat", 1095, "Data file suppliers.dat corrupt in Opendata."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.size));
        const std::string path = store->pathOf(c.file);
        auto original = readWholeFile(path);
        ASSERT_TRUE(original);
        if (c.size < 0) {
            ASSERT_TRUE(removeFile(path));
        } else {
            std::vector<unsigned char> bytes(static_cast<std::size_t>(c.size), 0x5A);
            ASSERT_TRUE(replaceFileAtomically(path, bytes.data(), bytes.size()));
        }
        auto before = readWholeFile(path);
        DataStore other(data, clock);
        Status s = other.openData();
        EXPECT_EQ(s.message(), c.message);
        EXPECT_EQ(s.title(), "Fatal error");
        if (c.size >= 0) {
            EXPECT_EQ(*readWholeFile(path), *before);
        } else if (std::string(c.file) != "kq.cfg") {
            EXPECT_FALSE(fileExists(path));
        }
        ASSERT_TRUE(replaceFileAtomically(path, original->data(), original->size()));
    }
}

TEST_F(OpenDataTest, RepairsTheConfiguration) {
    StoreConfigRecord& r = store->config().record();
    r.next_transaction = 200000001;
    r.tax1_name[0] = '\0';
    r.heading[0][0] = '\0';
    r.settings_a[kSetAHistoryStart + 2] = 2009;
    r.settings_a[kSetAFirstStart + 2] = 0;
    ASSERT_TRUE(store->saveConfig());
    open();
    const StoreConfigRecord& now = store->config().record();
    EXPECT_EQ(now.next_transaction, 1);
    EXPECT_EQ(store->config().tax1Name(), "TAX 1");
    EXPECT_EQ(store->config().tax2Name(), "TAX 2");
    EXPECT_EQ(store->config().heading(7), "ORVANE SOFTWARE");
    EXPECT_EQ(now.settings_a[kSetAHistoryStart + 2], 2015);
    EXPECT_EQ(now.settings_a[kSetAFirstStart + 2], 2015);

    store->config().record().next_transaction = 0;
    ASSERT_TRUE(store->saveConfig());
    open();
    EXPECT_EQ(store->config().nextTransaction(), 1);
}

// An empty language.ini reads as all zero, and an empty kq.cfg is loaded
// that way by a read-only open (found by fuzzing: the empty file's bytes
// were copied from a null buffer); a start refuses the empty kq.cfg.
TEST_F(OpenDataTest, EmptyConfigurationAndWordingFilesReadAsZero) {
    for (const char* file : {"kq.cfg", "language.ini"})
        ASSERT_TRUE(replaceFileAtomically(store->pathOf(file), "", 0));
    store = std::make_unique<DataStore>(data, clock);
    ASSERT_TRUE(store->openData(DataStore::OpenMode::kReadOnly));
    EXPECT_EQ(store->config().nextTransaction(), 1);
    EXPECT_EQ(store->config().heading(1), "YOUR STORE");
    EXPECT_EQ(store->words().word(1), "");
    EXPECT_FALSE(store->configProblem());
}

TEST_F(OpenDataTest, MissingLanguageFileGivesTheStoredLanguage) {
    EXPECT_EQ(store->words().word(0), "English");
    store->config().record().settings_b[kSetBReceiptLanguage] = 3;
    ASSERT_TRUE(store->saveConfig());
    open();
    EXPECT_EQ(store->words().word(1), "Ontvangst");
    store->words().setWord(1, "Bon");
    store->recordClose();
    open();
    EXPECT_EQ(store->words().word(1), "Bon");
}

TEST_F(OpenDataTest, ItemValidationInOrder) {
    struct Case {
        int64_t number;
        const char* description;
        int category;
        double retail, cost;
        int quantity;
        const char* message;
    };
    const Case cases[] = {
        {0, "OK", 0, 1, 1, 0, "Number outside range."},
        {100000000000000001LL, "OK", 0, 1, 1, 0, "Number outside range."},
        {-3, "X", -1, 0, 0, -1, "Number outside range."},
        {5, "X", -1, 0, 0, -1, "The description must have at least two characters."},
        {5, "XY", 19, 0, 0, -1, "Invalid category"},
        {5, "XY", -1, 1, 1, 0, "Invalid category"},
        {5, "XY", 18, 0, 0, -1, "Invalid retail price"},
        {5, "XY", 0, 1, 0, -1, "Invalid quantity in stock"},
        {5, "XY", 0, 1, 0, 0, "Invalid cost price"},
        {1, "XY", 0, 1, 1, 0, "Number in use."},
    };
    for (const Case& c : cases) {
        InventoryRecord item = makeItem(c.number, c.description);
        item.display_category = c.category;
        item.retail_price = c.retail;
        item.cost_price = c.cost;
        item.quantity = c.quantity;
        Status s = createItem(*store, item);
        EXPECT_EQ(s.message(), c.message) << c.number << " " << c.description;
        EXPECT_EQ(s.title(), "Problem");
    }
    EXPECT_EQ(store->items().index().liveCount(), 2u);
    EXPECT_EQ(store->items().index().slotCount(), 2u);

    InventoryRecord top = makeItem(100000000000000000LL, "TOP");
    EXPECT_TRUE(createItem(*store, top));
}

TEST_F(OpenDataTest, CreateAndDeleteItemsReuseSlotsAndLogTheDelete) {
    InventoryRecord a = makeItem(40, "WIDGET");
    std::memset(a.second_timestamp, 'x', sizeof a.second_timestamp);
    a.last_reference = 77;
    ASSERT_TRUE(createItem(*store, a));
    auto back = readItem(*store, 40);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->last_reference, 0);
    EXPECT_EQ(back->second_timestamp[0], '\0');
    EXPECT_EQ(back->second_timestamp[5], ' ');
    EXPECT_EQ(back->second_timestamp[6], '\0');

    clock.set({2026, 12, 6, 14, 7, 0});
    ASSERT_TRUE(deleteItem(*store, 40));
    EXPECT_EQ(logOfToday(), "\r\nItem 40, WIDGET deleted.  Date: 14:07 06/12/2026\r\n");
    EXPECT_FALSE(readItem(*store, 40));
    const auto fileSize = readWholeFile(store->items().path())->size();

    InventoryRecord b = makeItem(41, "GADGET");
    ASSERT_TRUE(createItem(*store, b));
    EXPECT_EQ(readWholeFile(store->items().path())->size(), fileSize);  // slot reused
    EXPECT_EQ(store->items().find(41), 2u);

    // After a restart the slot numbered 0 is free for the next item.
    InventoryRecord zero = makeItem(0, "ZERO");
    std::vector<unsigned char> bytes = *readWholeFile(store->items().path());
    bytes.insert(bytes.end(), reinterpret_cast<unsigned char*>(&zero),
                 reinterpret_cast<unsigned char*>(&zero) + sizeof zero);
    ASSERT_TRUE(replaceFileAtomically(store->items().path(), bytes.data(), bytes.size()));
    open();
    InventoryRecord c = makeItem(42, "THINGY");
    ASSERT_TRUE(createItem(*store, c));
    EXPECT_EQ(store->items().find(42), 3u);
}

TEST_F(OpenDataTest, SuggestedNumbersFollowTheBaseAndSkipRuns) {
    EXPECT_EQ(suggestItemNumber(*store), 3);  // samples hold 1 and 2
    store->config().record().options[kOptItemNumberBase] = 9;
    EXPECT_EQ(suggestItemNumber(*store), 10);
    store->config().record().options[kOptItemNumberBase] = -4;
    EXPECT_EQ(suggestItemNumber(*store), 3);
    EXPECT_EQ(store->config().record().options[kOptItemNumberBase], 0);
    ASSERT_TRUE(deleteItem(*store, 2));
    EXPECT_EQ(suggestItemNumber(*store), 2);  // the number after the delete is free again
    EXPECT_EQ(suggestCustomerNumber(*store), 2);
}

TEST_F(OpenDataTest, SkuLookupFollowsEveryChange) {
    InventoryRecord a = makeItem(10, "SOAP");
    setFieldText(a.sku1, "5012345678900");
    ASSERT_TRUE(createItem(*store, a));
    InventoryRecord b = makeItem(11, "SOAP TWIN");
    setFieldText(b.sku1, "5012345678900");
    ASSERT_TRUE(createItem(*store, b));
    EXPECT_EQ(findItemBySku1(*store, "5012345678900")->number, 10);  // the lower slot
    EXPECT_FALSE(findItemBySku1(*store, "501234567890"));

    ASSERT_TRUE(deleteItem(*store, 10));
    EXPECT_EQ(findItemBySku1(*store, "5012345678900")->number, 11);
    setFieldText(b.sku1, "NEW CODE");
    ASSERT_TRUE(amendItem(*store, 11, b));
    EXPECT_FALSE(findItemBySku1(*store, "5012345678900"));
    EXPECT_EQ(findItemBySku1(*store, "NEW CODE")->number, 11);
    b.number = 12;
    EXPECT_EQ(amendItem(*store, 11, b).message(), "Number cannot be changed");
    open();
    EXPECT_EQ(findItemBySku1(*store, "NEW CODE")->number, 11);
}

TEST_F(OpenDataTest, CustomerRulesAndDeleteLine) {
    const std::pair<int, const char*> groups[] = {{0, "Invalid category (1-2000)"},
                                                  {2001, "Invalid category (1-2000)"},
                                                  {1, nullptr},
                                                  {2000, nullptr}};
    int64_t number = 20;
    for (auto [group, message] : groups) {
        CustomerRecord c = makeCustomer(number++, "ACME");
        c.group = group;
        Status s = createCustomer(*store, c);
        if (message) {
            EXPECT_EQ(s.message(), message);
        } else {
            EXPECT_TRUE(s) << s.message();
        }
    }
    CustomerRecord shortName = makeCustomer(30, "A");
    EXPECT_EQ(createCustomer(*store, shortName).message(),
              "The name must have at least two characters.");
    CustomerRecord taken = makeCustomer(1, "AGAIN");
    EXPECT_EQ(createCustomer(*store, taken).message(), "Number in use.");

    auto c = readCustomer(*store, 22);
    ASSERT_TRUE(c);
    EXPECT_EQ(fieldText(c->last_used), "NEW");
    EXPECT_EQ(c->credit_limit, 2000);
    EXPECT_EQ(c->tax, 1);

    clock.set({2026, 3, 4, 7, 9, 0});
    ASSERT_TRUE(deleteCustomer(*store, 22));
    EXPECT_EQ(logOfToday(), "\r\n07:09 4/3/2026 Customer 22, ACME deleted.\r\n");
}

TEST_F(OpenDataTest, SupplierCommandsRules) {
    EXPECT_EQ(suggestSupplierNumber(*store), 1);
    for (int64_t n : {1, 2, 3}) {
        SupplierRecord s{};
        s.number = n;
        ASSERT_TRUE(createSupplier(*store, s));
    }
    EXPECT_EQ(suggestSupplierNumber(*store), 4);
    EXPECT_EQ(store->suppliers().index().deletedCount(), 0u);  // the first-start slot reused

    SupplierRecord big{};
    big.number = 2000000000000000LL;
    EXPECT_TRUE(createSupplier(*store, big));
    big.number = 2000000000000001LL;
    EXPECT_EQ(createSupplier(*store, big).message(), "Number outside range.");
    SupplierRecord again{};
    again.number = 2;
    EXPECT_EQ(createSupplier(*store, again).message(), "Number in use.");

    Status missing;
    EXPECT_FALSE(viewSupplier(*store, 9, &missing));
    EXPECT_EQ(missing.message(), "Does not exist");
    EXPECT_EQ(missing.title(), "Supplier");
    EXPECT_EQ(checkSupplierExists(*store, 9, "Amend supplier").title(), "Amend supplier");

    SupplierRecord two = *viewSupplier(*store, 2, nullptr);
    setFieldText(two.name, "NEW NAME");
    EXPECT_TRUE(amendSupplier(*store, 2, two));
    two.number = 7;
    EXPECT_EQ(amendSupplier(*store, 2, two).message(), "Not possible to change number");

    std::string done;
    ASSERT_TRUE(deleteSupplier(*store, 2, &done));
    EXPECT_EQ(done, "Supplier deleted.");
    EXPECT_EQ(deleteSupplier(*store, 2).message(), "Supplier does not exist");
    const auto slots = store->suppliers().index().slotCount();
    SupplierRecord five{};
    five.number = 5;
    ASSERT_TRUE(createSupplier(*store, five));
    EXPECT_EQ(store->suppliers().index().slotCount(), slots);
}

TEST_F(OpenDataTest, PurgingAllHistoryRestartsTransactionNumbers) {
    store->config().record().next_transaction = 812;
    EXPECT_TRUE(store->purgeAllHistory().empty());  // no history at all
    open();
    EXPECT_EQ(store->config().nextTransaction(), 1);

    ASSERT_TRUE(store->journal().ensureDayFolders({2021, 2, 3, 0, 0, 0}));
    ASSERT_TRUE(replaceFileAtomically(data + "/2021/2/keep.me", "x", 1));
    auto problems = store->purgeAllHistory();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message(),
              "Please manually delete the 2021 folder in the Users AppData folder.");
    EXPECT_EQ(problems[0].title(), "Unable to complete purge, access denied.");
}

// A station-server thread and the till insert and look up at the same time;
// every item lands once and the index stays whole.
TEST_F(OpenDataTest, TwoThreadsInsertAndFindAtOnce) {
    std::atomic<int> failures{0};
    auto work = [&](int64_t first) {
        for (int64_t n = first; n < first + 200; ++n) {
            InventoryRecord item = makeItem(n, "THREADED");
            if (!createItem(*store, item)) ++failures;
            if (!readItem(*store, n)) ++failures;
            if (n % 3 == 0 && !deleteItem(*store, n)) ++failures;
        }
    };
    std::thread a(work, 1000), b(work, 5000);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    open();
    std::size_t expected = 2;  // the sample items
    for (int64_t first : {1000, 5000}) {
        for (int64_t n = first; n < first + 200; ++n) {
            EXPECT_EQ(readItem(*store, n).has_value(), n % 3 != 0) << n;
            expected += n % 3 != 0;
        }
    }
    EXPECT_EQ(store->items().index().liveCount(), expected);
}

}  // namespace
}  // namespace kassio
