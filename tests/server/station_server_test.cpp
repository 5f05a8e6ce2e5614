// The station procedures on a real DataFolder: lookups, the configuration
// and words a client gets, the item pages, and customers added and changed.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "base/fixed_text.h"
#include "base/money.h"
#include "server_fixture.h"
#include "store/file_io.h"

namespace kassio::test {
namespace {

class FindTest : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        // Slots 0, 1: the samples 1 "TEA BAGS", 2 "MILK 1L".
        addItem(42, "BREAD", 0, "5000");  // slot 2
        addItem(7, "BUTTER");             // slot 3
        addItem(9, "BEANS");              // slot 4
        addItem(11, "BRIE");              // slot 5, deleted below
        addItem(5, "bagel");              // slot 6
        auto slot = store->items().find(7);
        InventoryRecord butter;
        ASSERT_TRUE(store->items().read(*slot, &butter));
        setFieldText(butter.sku2, "X-1234");
        ASSERT_TRUE(store->items().write(*slot, &butter));
        ASSERT_TRUE(deleteItem(*store, 11));
    }
};

TEST_F(FindTest, FindsItemsByNumberPatternAndSkuFragment) {
    struct Case {
        int64_t from;
        const char* text;
        int64_t expected;
    };
    const Case cases[] = {
        {0, "42", 42},  {-1, "42", 42},        {0, "43", 0},    {0, "", 0},
        {0, "11", 0},                                                         // deleted
        {0, "B", 42},   {42, "B", 7},          {7, "B", 9},     {9, "B", 0},  // BRIE is deleted
        {0, "B?E", 42}, {42, "B?E", 0},        {0, "?E", 1},    {0, "b", 5},
        {0, "BRIE", 0}, {0, "7UP", 0},         {99, "B", 0},  // anchor item gone: search ends
        {-2, "123", 7}, {-2, "500", 42},       {-44, "500", 0}, {-44, "123", 7},
        {-2, "", 0},    {LLONG_MIN, "500", 0},
    };
    for (const Case& c : cases) {
        InventoryRecord r = findItem(c.from, c.text);
        EXPECT_EQ(+r.number, c.expected) << "from " << c.from << " text \"" << c.text << '"';
        if (c.expected == 0) {
            EXPECT_EQ(r.description[0], '\0');  // a clean empty record
        }
    }
}

TEST_F(FindTest, QuestionMarkMatchesPastTheEndOfAText) {
    // One-letter texts, as an import may bring them (the forms want two).
    {
        auto lock = store->lock();
        InventoryRecord b = makeItem(60, "B");  // takes BRIE's deleted slot 5
        ASSERT_TRUE(store->items().insert(&b));
        CustomerRecord q = makeCustomer(8, "Q");
        ASSERT_TRUE(store->customers().insert(&q));
    }
    struct Case {
        int64_t from;
        const char* text;
        int64_t expected;
    };
    const Case items[] = {{9, "B", 60}, {9, "B?", 60}, {9, "B??", 60}, {60, "B", 0}, {9, "B?X", 0}};
    for (const Case& c : items)
        EXPECT_EQ(+findItem(c.from, c.text).number, c.expected) << c.from << " " << c.text;
    const Case customers[] = {{0, "Q", 8}, {0, "Q?", 8}, {0, "Q?X", 0}};
    for (const Case& c : customers) {
        EXPECT_EQ(+findCustomer(c.from, c.text).number, c.expected) << c.text;
        EXPECT_EQ(+findCustomer(c.from, c.text, "?").number, c.expected)
            << c.text;  // prefix 2 empty
    }
}

TEST_F(FindTest, SkuOneSelectionAppliesOnlyToFromZero) {
    store->config().record().settings_b[kSetBEntryModeSku] = 2;
    EXPECT_EQ(+findItem(0, "5000").number, 42);
    EXPECT_EQ(+findItem(0, "42").number, 0);
    EXPECT_EQ(+findItem(0, "").number, 0);  // items without a SKU 1 are not "" matches
    EXPECT_EQ(+findItem(-1, "42").number, 42);
    EXPECT_EQ(+findItem(-1, "BR").number, 42);
}

TEST_F(FindTest, FindsCustomersByNameAndNamePrefix) {
    // The sample customer 1 "J SMITH" is in slot 0.
    addCustomer(2, "JONES", "MR");
    addCustomer(3, "JOHNSON", "MRS");
    addCustomer(4, "ADAMS");
    struct Case {
        int64_t from;
        const char* name;
        const char* prefix;
        int64_t expected;
    };
    const Case cases[] = {
        {0, "2", "", 2},      {0, "2", "XX", 2},  // a number ignores the prefix
        {0, "J", "", 1},      {1, "J", "", 2},     {0, "JO", "MRS", 3},
        {0, "JO", "MR", 2},   {0, "JO", "M?S", 3}, {2, "JO", "", 3},
        {0, "JO", "MRSX", 0}, {0, "X", "", 0},     {0, "A", "", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(+findCustomer(c.from, c.name, c.prefix).number, c.expected)
            << c.from << " " << c.name << " " << c.prefix;
}

TEST_F(ServerTest, ClientConfigCarriesTheStoreConfigFieldByField) {
    StoreConfigRecord& cfg = store->config().record();
    setFieldText(cfg.heading[0], "CORNER SHOP");
    setFieldText(cfg.heading[5], "0123 456");
    setFieldText(cfg.heading[6], "SEVENTH LINE");             // not sent
    std::memset(cfg.heading[1], 'H', sizeof cfg.heading[1]);  // 80 characters, no terminator
    setFieldText(cfg.currency_symbol, "EUR");
    cfg.options[kOptTax1Rate] = 2000;
    cfg.next_transaction = 41;
    cfg.current_clerk = 3;
    cfg.settings_b[kSetBEntryModeSku] = 2;
    cfg.money[kMoneyTax1Threshold] = 100;
    cfg.client_table2[0] = 77;
    cfg.running_totals[0] = 999;  // never sent
    std::memcpy(cfg.client_texts + (1636 - 640), "TEXT AT 1636", 13);

    auto c = std::make_unique<ClientConfig>();
    std::memset(c.get(), 0x77, sizeof *c);
    server->clientConfig(*c);

    EXPECT_STREQ(c->headings[0], "CORNER SHOP");
    EXPECT_EQ(std::string(c->headings[1]), std::string(59, 'H'));
    EXPECT_STREQ(c->headings[5], "0123 456");
    EXPECT_STREQ(c->headings[6], "");
    EXPECT_STREQ(c->currency_symbol, "EUR");
    EXPECT_EQ(std::memcmp(c->category_codes_1_9, store->config().bytes() + 6, 30), 0);
    EXPECT_EQ(std::string(c->codes_and_tax_names + 27), store->config().tax1Name());
    EXPECT_EQ(+c->options[kOptTax1Rate], 2000);
    EXPECT_EQ(+c->next_transaction, 41);
    EXPECT_EQ(+c->reserved4796, +cfg.reserved4796);
    EXPECT_EQ(+c->current_clerk, 3);
    EXPECT_STREQ(c->clerk_names[0], "Administrator");
    EXPECT_EQ(+c->settings_b[kSetBEntryModeSku], 2);
    EXPECT_EQ(+c->money[kMoneyTax1Threshold], 100);
    EXPECT_EQ(+c->client_table2[0], 77);
    EXPECT_STREQ(c->client_texts880[3], "TEXT AT 1636");
    EXPECT_STREQ(c->receipt_footer, "Always happy to help!");
    EXPECT_STREQ(c->drawer_code, "27,112,0,25,250");
    // Nothing of this station's own in the members not filled.
    EXPECT_EQ(+c->zero4726, 0);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(+c->zero_totals[i], 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(+c->unfilled_totals[i], 0);
    EXPECT_EQ(c->client_texts880[4][0], 0);
}

TEST_F(ServerTest, WordsAndSuggestedNumber) {
    store->words().setWord(31, "TAXABLE");
    store->words().setWord(37, "THIRTY-SEVEN");
    store->words().setWord(38, "NOT SENT");
    ReceiptWordsWire words;
    server->receiptWords(words);
    EXPECT_EQ(std::string(words.words[0]), store->words().word(0));
    EXPECT_EQ(std::string(words.words[30]), store->words().word(30));
    EXPECT_STREQ(words.words[31], "");
    EXPECT_STREQ(words.words[37], "THIRTY-SEVEN");

    NumberText n;
    server->suggestCustomerNumber(n);
    EXPECT_STREQ(n.text, "2");  // customer 1 exists
}

class PageTest : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        // Items 1 and 2 (samples) are in category 0. Items 3..22: even
        // numbers in category 0, odd in category 1; 6 is never on a button.
        for (int64_t n = 3; n <= 22; ++n) {
            std::string d = "ITEM " + std::to_string(n);
            addItem(n, d.c_str(), static_cast<int32_t>(n % 2), "", n == 6 ? 2 : 0);
        }
        auto slot = store->items().find(7);
        InventoryRecord item;
        ASSERT_TRUE(store->items().read(*slot, &item));
        item.own_picture = 1;
        ASSERT_TRUE(store->items().write(*slot, &item));
    }

    ItemPage first(int32_t category) {
        ItemPage page;
        std::memset(&page, 0x44, sizeof page);
        page.category = category;
        server->firstItemPage(page);
        return page;
    }

    ItemPage step(ItemPage page, int32_t direction) {
        page.direction = direction;
        Status notice = server->nextItemPage(page);
        EXPECT_TRUE(notice) << notice.message();
        return page;
    }

    static std::vector<int64_t> numbers(const ItemPage& p) {
        std::vector<int64_t> out;
        for (int i = 0; i < kItemPageSize; ++i) out.push_back(p.numbers[i]);
        return out;
    }
};

using Numbers = std::vector<int64_t>;

TEST_F(PageTest, AllCategoriesPageForwardsAndBackInNumberOrder) {
    ItemPage p = first(kPageAllCategories);
    EXPECT_EQ(numbers(p), (Numbers{1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(+p.last, 9);
    EXPECT_STREQ(p.texts[0], "TEA BAGS");
    EXPECT_STREQ(p.texts[8], "STOCK1.bmp");
    EXPECT_STREQ(p.texts[8 + 5], "m7.bmp");

    p = step(p, 0);
    EXPECT_EQ(numbers(p), (Numbers{10, 11, 12, 13, 14, 15, 16, 17}));
    p = step(p, 0);
    EXPECT_EQ(numbers(p), (Numbers{18, 19, 20, 21, 22, 0, 0, 0}));
    EXPECT_EQ(+p.last, 22);
    EXPECT_STREQ(p.texts[5], "");
    EXPECT_EQ(numbers(step(p, 0)), numbers(p));  // eighth entry empty: no change

    p = step(p, kPagePrevious);
    EXPECT_EQ(numbers(p), (Numbers{10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_STREQ(p.texts[7], "ITEM 17");
    p = step(p, kPagePrevious);
    EXPECT_EQ(numbers(p), (Numbers{1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(numbers(step(p, kPagePrevious)), numbers(p));  // starts at item 1
}

TEST_F(PageTest, PreviousPageTopsUpWithThePagesFirstItems) {
    ItemPage p = first(kPageAllCategories);
    p = step(p, 0);  // 10..17
    // A client page that starts at 4: only 3, 2, 1 lie before it.
    const int64_t shifted[8] = {4, 5, 7, 8, 9, 10, 11, 12};
    for (int i = 0; i < 8; ++i) {
        p.numbers[i] = shifted[i];
        setFieldText(p.texts[i], ("ITEM " + std::to_string(shifted[i])).c_str());
    }
    p = step(p, kPagePrevious);
    EXPECT_EQ(numbers(p), (Numbers{1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_STREQ(p.texts[3], "ITEM 4");
    EXPECT_EQ(+p.last, 9);

    p.last = 0;  // a page that never was filled does not page back
    p.numbers[0] = 9;
    EXPECT_EQ(+step(p, kPagePrevious).numbers[0], 9);
}

TEST_F(PageTest, CategoryPagesSkipOtherCategoriesOmittedAndDeletedItems) {
    ASSERT_TRUE(deleteItem(*store, 8));
    ItemPage p = first(0);
    EXPECT_EQ(numbers(p), (Numbers{1, 2, 4, 10, 12, 14, 16, 18}));
    p = step(p, 0);
    EXPECT_EQ(numbers(p), (Numbers{20, 22, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(numbers(first(1)), (Numbers{3, 5, 7, 9, 11, 13, 15, 17}));
    ItemPage none = first(17);
    EXPECT_EQ(numbers(none), (Numbers(8, 0)));
    EXPECT_EQ(+none.last, 0);

    // A full page that ends its category: "next" answers an empty page.
    ASSERT_TRUE(deleteItem(*store, 19));
    ASSERT_TRUE(deleteItem(*store, 21));
    ItemPage end = step(first(1), 0);
    EXPECT_EQ(numbers(end), (Numbers(8, 0)));
    EXPECT_EQ(+end.last, 0);
}

TEST_F(PageTest, NextPageWithoutInventoryFileTellsTheStation) {
    ItemPage p = first(kPageAllCategories);
    ASSERT_EQ(std::rename(store->items().path().c_str(), (data + "/moved.dat").c_str()), 0);
    p.direction = 0;
    Status notice = server->nextItemPage(p);
    EXPECT_EQ(notice.message(), "Data file: inventory.dat, not present.");
    EXPECT_EQ(notice.title(), "Fatal error");
    EXPECT_EQ(numbers(p), (Numbers(8, 0)));
    EXPECT_EQ(numbers(first(kPageAllCategories)), (Numbers(8, 0)));
}

TEST_F(ServerTest, AddCustomerChecksNumberAndReusesDeletedSlots) {
    CustomerRecord gone = makeCustomer(5, "GONE");
    ASSERT_TRUE(createCustomer(*store, gone));
    ASSERT_TRUE(deleteCustomer(*store, 5));
    const auto sizeBefore = readWholeFile(store->customers().path())->size();
    const int64_t addedBefore = store->config().record().options[optionAt(4392)];

    struct Case {
        int64_t number;
        int32_t expected;
    };
    const Case cases[] = {{0, 2}, {-1, 2}, {kMaxRecordNumber + 1, 2}, {1, 3},
                          {8, 0}, {8, 3},  {kMaxRecordNumber, 0}};
    for (const Case& c : cases) {
        CustomerRecord rec = makeCustomer(c.number, "NEW NAME");
        EXPECT_EQ(server->addCustomer(rec), c.expected) << c.number;
    }
    // Two added: one took the deleted slot, one went on the end.
    EXPECT_EQ(readWholeFile(store->customers().path())->size(), sizeBefore + kCustomerRecordSize);
    EXPECT_EQ(store->config().record().options[optionAt(4392)], addedBefore + 2);
    EXPECT_EQ(+findCustomer(0, "NE").number, 8);

    // A balance or limit that is no sum of money never reaches the file.
    const auto fileBefore = readWholeFile(store->customers().path());
    for (auto poison : std::vector<std::function<void(CustomerRecord&)>>{
             [](CustomerRecord& c) { c.balance = std::numeric_limits<double>::quiet_NaN(); },
             [](CustomerRecord& c) { c.credit_limit = std::numeric_limits<double>::infinity(); },
             [](CustomerRecord& c) { c.total_purchases = -kMoneyLimit * 10; }}) {
        CustomerRecord rec = makeCustomer(9, "POISON");
        poison(rec);
        EXPECT_EQ(server->addCustomer(rec), kCustomerInsaneAmount);
    }
    EXPECT_TRUE(readWholeFile(store->customers().path()) == fileBefore);
    auto j = readCustomer(*store, 1);
    EXPECT_STREQ(j->name, "J SMITH");  // the refused 3 changed nothing
}

TEST_F(ServerTest, ChangeCustomerTakesTheTextsAndKeepsTheFigures) {
    auto stored = readCustomer(*store, 1);
    stored->balance = 12.5;
    stored->group = 4;
    setFieldText(stored->name_prefix2, "MR");
    ASSERT_TRUE(store->customers().write(*store->customers().find(1), &*stored));

    CustomerRecord sent = makeCustomer(1, "JANE SMITH");
    setFieldText(sent.road, "1 HIGH ST");
    setFieldText(sent.area, "NORTH");
    setFieldText(sent.town, "LEEDS");
    setFieldText(sent.postcode, "LS1");
    setFieldText(sent.telephone, "0113");
    setFieldText(sent.email, "J@X.COM");
    setFieldText(sent.origination, "CLIENT");
    sent.balance = 9999;
    sent.group = 1;
    sent.credit_limit = 1;

    EXPECT_EQ(server->changeCustomer(sent), 0);
    auto now = readCustomer(*store, 1);
    EXPECT_STREQ(now->name, "JANE SMITH");
    EXPECT_STREQ(now->email, "J@X.COM");
    EXPECT_STREQ(now->origination, "CLIENT");
    EXPECT_EQ(+now->balance, 12.5);
    EXPECT_EQ(+now->group, 4);
    EXPECT_EQ(+now->credit_limit, 2000);
    EXPECT_STREQ(now->name_prefix2, "MR");
    EXPECT_EQ(store->customers().index().prefix(0), (RecordIndex::Prefix{'J', 'A'}));
    EXPECT_NE(logOfToday().find("\r\n09:05 06/12/2026 Customer updated: 1, JANE SMITH"
                                "\r\n1 HIGH ST, NORTH\r\nLEEDS, LS1\r\nTel: 0113, Category: 4"
                                "\r\nBalance: 12.50"),
              std::string::npos)
        << logOfToday();

    sent.number = 77;
    EXPECT_EQ(server->changeCustomer(sent), 3);
    sent.number = 0;
    EXPECT_EQ(server->changeCustomer(sent), 2);
    ASSERT_EQ(std::rename(store->customers().path().c_str(), (data + "/moved.dat").c_str()), 0);
    sent.number = 1;
    EXPECT_EQ(server->changeCustomer(sent), 4);
}

}  // namespace
}  // namespace kassio::test
