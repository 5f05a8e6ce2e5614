#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <random>

#include "accounts/account_documents.h"
#include "base/fixed_text.h"
#include "base/text_format.h"
#include "devices/device_fakes.h"
#include "exchange/upload_settings.h"
#include "inventory/backoffice_fixture.h"
#include "listings/listing_page.h"
#include "listings/listing_settings.h"
#include "listings/printed_listing.h"
#include "listings/record_list.h"
#include "listings/sorted_list_file.h"
#include "till/posting.h"

namespace kassio::test {
namespace {

class ListingTest : public BackOfficeTest {
  protected:
    std::vector<std::string> numbers(const ListPager& pager) {
        std::vector<std::string> out;
        for (const ListRow& r : pager.rows()) out.push_back(r.number);
        return out;
    }
};

TEST_F(ListingTest, PagingAtTwelveThirteenAndFourteenRows) {
    struct Case {
        int items;
        bool firstOnlyOk;       // "OK" alone on the first page
        std::size_t afterMore;  // rows found once "More" was pressed
    };
    const Case cases[] = {{12, true, 12}, {13, false, 0}, {14, false, 1}};
    int64_t base = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        base += 100;
        for (int i = 0; i < c.items; ++i) item(base + i, "THING");
        ListRequest r;
        r.kind = ListKind::kItemsFromNumber;
        r.fromNumber = base;
        Status error;
        auto source = makeListSource(*store, r, &error);
        ASSERT_TRUE(source);
        ListPager pager(*source);
        // The lists of the earlier cases' numbers lie below this one's
        // start; the later ones do not exist yet.
        ASSERT_TRUE(pager.open());
        EXPECT_EQ(pager.rows().size(), kListPageRows);
        EXPECT_EQ(pager.rows()[0].number, std::to_string(base));
        EXPECT_EQ(pager.onlyOk(), c.firstOnlyOk);
        if (c.firstOnlyOk) {
            EXPECT_EQ(pager.rows()[12].number, "");
            continue;
        }
        ASSERT_TRUE(pager.more());
        EXPECT_EQ(pager.found(), c.afterMore);
        EXPECT_TRUE(pager.onlyOk());
        EXPECT_TRUE(pager.canGoBack());
        ASSERT_TRUE(pager.back());
        EXPECT_EQ(pager.rows()[0].number, std::to_string(base));
        EXPECT_FALSE(pager.canGoBack());
    }
}

TEST_F(ListingTest, EmptyListsAndTheHistoryLimit) {
    ListRequest r;
    r.kind = ListKind::kCustomersWithCredit;
    Status error;
    auto source = makeListSource(*store, r, &error);
    ListPager empty(*source);
    EXPECT_EQ(empty.open().message(), "No items on record.");

    for (int i = 1; i <= 13 * 205; ++i) customer(i, "CUST");
    r.kind = ListKind::kCustomersFromNumber;
    source = makeListSource(*store, r, &error);
    ListPager pager(*source);
    ASSERT_TRUE(pager.open());
    for (int page = 0; page < 204; ++page) ASSERT_TRUE(pager.more());
    EXPECT_EQ(pager.historySize(), kListHistoryPages);
    EXPECT_EQ(pager.rows()[0].number, std::to_string(204 * 13 + 1));
}

TEST_F(ListingTest, AlphabeticalFromAToAIncludesDigitsAndKeepsTiesInFileOrder) {
    item(1, "BANANA");
    item(2, "apple pie");
    item(3, "9V BATTERY");
    item(4, "ABLE");
    item(5, "#2 PENCIL");
    item(6, "ABLE");
    item(7, "APPLE");
    item(8, "AZURE");
    item(9, "Ab lower");
    struct Case {
        const char* start;
        const char* end;
        std::vector<std::string> numbers;
    };
    const Case cases[] = {
        // Buckets by upper-cased prefix (#2, 9V, AB, AP, AZ), the names
        // byte by byte within a bucket, equal names in file order.
        {"A", "A", {"5", "3", "4", "6", "9", "7", "2", "8"}},
        {"a", "b", {"5", "3", "4", "6", "9", "7", "2", "8", "1"}},
        {"B", "Z", {"1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        ListRequest r;
        r.kind = ListKind::kItemsAlphabetical;
        r.text = c.start;
        r.endText = c.end;
        Status error;
        auto source = makeListSource(*store, r, &error);
        ASSERT_TRUE(source) << error.message();
        ListPager pager(*source);
        ASSERT_TRUE(pager.open());
        std::vector<std::string> nums;
        for (const ListRow& row : pager.rows())
            if (!row.number.empty()) nums.push_back(row.number);
        EXPECT_EQ(nums, c.numbers);
        EXPECT_TRUE(fileExists(root / "f2.dat"));
    }
    // Ranges that are no range end silently.
    for (auto [s, e] : {std::pair{"Z", "A"}, {"1", "Z"}, {"", "B"}}) {
        ListRequest r;
        r.kind = ListKind::kItemsAlphabetical;
        r.text = s;
        r.endText = e;
        Status error;
        EXPECT_FALSE(makeListSource(*store, r, &error));
        EXPECT_TRUE(error);
    }
}

// The sorted work files against a plain record-by-record sort: long names
// sharing their first sixteen bytes, bytes above 127, lower case, equal
// names, negative and odd amounts. The rows come from what the store keeps
// in memory, so they are compared as written, after a sale, an amend,
// deletions and an insert into a freed slot, and as loaded at a start.
TEST_F(ListingTest, SortedFilesOrderAsARecordByRecordSortDoes) {
    std::mt19937 rng(7);
    const std::vector<std::string> pieces = {
        "A", "a", "AB", "SHARED SIXTEEN B", "SHARED SIXTEEN BYTES", "\xC9", "9", " ", "#", "Z"};
    const double amounts[] = {2.5, -0.0, -1.005, 1234.565, 0.125, -17.0};
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int n = 1; n <= 300; ++n) {
        std::string name;
        while (name.size() < 2 || pick(3) != 0) name += pieces[pick(pieces.size())];
        name.resize(std::min<std::size_t>(name.size(), 29));
        InventoryRecord r = item(n, name.c_str());
        r.quantity = static_cast<int32_t>(pick(60)) - 5;
        r.retail_price = amounts[pick(std::size(amounts))];
        r.total_sold = static_cast<int32_t>(pick(4));
        r.display_category = static_cast<int32_t>(pick(3));
        {
            auto lock = store->lock();
            ASSERT_TRUE(store->items().write(*store->items().find(n), &r));
        }
        customer(n, name.c_str(), 1, amounts[pick(std::size(amounts))]);
    }

    struct Expected {
        unsigned char c, d;
        SortedRow row;
        int32_t sold;
        int32_t category;
    };
    auto upper = [](char ch) {
        const auto u = static_cast<unsigned char>(ch);
        return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 32) : u;
    };
    auto same = [](const SortedRows& got, const std::vector<Expected>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].number, want[i].row.number);
            EXPECT_STREQ(got[i].name, want[i].row.name);
            EXPECT_STREQ(got[i].second, want[i].row.second);
            EXPECT_STREQ(got[i].third, want[i].row.third);
        }
    };
    auto check = [&](const char* when, std::size_t items, std::size_t customers) {
        SCOPED_TRACE(when);
        for (const bool forItems : {true, false}) {
            SCOPED_TRACE(forItems ? "items" : "customers");
            std::vector<Expected> expected;
            {
                auto lock = store->lock();
                RecordFile& file = forItems ? store->items() : store->customers();
                for (uint64_t slot = 0; slot < file.index().slotCount(); ++slot) {
                    const auto prefix = file.index().prefix(slot);
                    Expected e{upper(prefix[0]), upper(prefix[1]), {}, 0, 0};
                    std::memset(&e.row, 0, sizeof e.row);
                    if (forItems) {
                        InventoryRecord r;
                        ASSERT_TRUE(file.read(slot, &r));
                        if (r.number <= 0) continue;
                        e.row.number = r.number;
                        e.sold = r.total_sold;
                        e.category = r.display_category;
                        setFieldText(e.row.name, fieldText(r.description));
                        setFieldText(e.row.second, formatted("%d", r.quantity));
                        setFieldText(e.row.third, formatted("%.2f", r.retail_price));
                    } else {
                        CustomerRecord r;
                        ASSERT_TRUE(file.read(slot, &r));
                        if (r.number <= 0) continue;
                        e.row.number = r.number;
                        setFieldText(e.row.name, fieldText(r.name));
                        setFieldText(e.row.second, fieldText(r.telephone));
                        setFieldText(e.row.third, formatted("%.2f", r.balance));
                    }
                    if (e.d >= 32) expected.push_back(e);
                }
            }
            ASSERT_EQ(expected.size(), forItems ? items : customers);
            std::stable_sort(expected.begin(), expected.end(),
                             [](const Expected& x, const Expected& y) {
                                 if (x.c != y.c) return x.c < y.c;
                                 if (x.d != y.d) return x.d < y.d;
                                 return std::strncmp(x.row.name, y.row.name, sizeof x.row.name) < 0;
                             });
            same(sortAlphabetically(*store, forItems ? SortedFile::kItems : SortedFile::kCustomers,
                                    0, 255),
                 expected);
            if (!forItems) continue;

            // By volume the middle column is the sales count.
            for (Expected& e : expected) setFieldText(e.row.second, formatted("%d", e.sold));
            std::sort(expected.begin(), expected.end(), [](const Expected& x, const Expected& y) {
                if (x.sold != y.sold) return x.sold > y.sold;
                return x.row.number < y.row.number;
            });
            same(sortByVolume(*store, -1), expected);
            std::erase_if(expected, [](const Expected& e) { return e.category != 1; });
            same(sortByVolume(*store, 1), expected);
        }
    };
    check("as written", 300, 300);

    // A credit sale changes the stock and sales of items 1 to 3 and the
    // customer's balance, nothing a search looks at.
    const InventoryRecord soldBefore = *readItem(*store, 2);
    const CustomerRecord buyerBefore = *readCustomer(*store, 9);
    Basket sale;
    std::memset(&sale, 0, sizeof sale);
    for (int64_t n : {1, 2, 2, 3}) {
        const int i = sale.line_count++;
        sale.item[i] = n;
        setFieldText(sale.description[i], "THING");
        sale.non_taxable[i] = sale.line_total[i] = 2.0;
        sale.total += 2.0;
    }
    sale.customer = 9;
    sale.clerk = 1;
    setFieldText(sale.payment_word, "Credit");
    ASSERT_GE(postClientSale(*store, sale).code, kClientPostedOffset);
    ASSERT_EQ(readItem(*store, 2)->quantity, soldBefore.quantity - 2);
    ASSERT_EQ(readItem(*store, 2)->total_sold, soldBefore.total_sold + 2);
    ASSERT_NE(readCustomer(*store, 9)->balance, buyerBefore.balance);
    // An amend that moves an item to another letter and another category.
    InventoryRecord amended = *readItem(*store, 4);
    setFieldText(amended.description, "ZZ AMENDED");
    amended.retail_price = 99.99;
    amended.display_category = 1;
    ASSERT_TRUE(amendItem(*store, 4, amended));
    for (int64_t n = 10; n < 20; ++n) {
        ASSERT_TRUE(deleteItem(*store, n));
        ASSERT_TRUE(deleteCustomer(*store, n + 10));
    }
    item(301, "INTO A FREED SLOT", 7);
    check("after a sale, an amend, deletions and an insert", 291, 290);

    ASSERT_TRUE(store->close());
    store = std::make_unique<DataStore>(root.path(), clock);
    ASSERT_TRUE(store->openData());
    ui.watch(store->mutex());
    check("as loaded", 291, 290);
}

TEST_F(ListingTest, CustomListingPrintsTheChosenColumnsInTheirFixedOrder) {
    InventoryRecord w = item(5, "WIDGET", 10, "SKU-5");
    {
        auto lock = store->lock();
        auto slot = store->items().find(5);
        w.tax = 2;
        ASSERT_TRUE(store->items().write(*slot, &w));
    }
    std::array<bool, kListingColumnCount> on{};
    for (ListingColumn c : {ListingColumn::kInStock, ListingColumn::kDescription,
                            ListingColumn::kTaxCode, ListingColumn::kCost, ListingColumn::kSku1})
        on[static_cast<std::size_t>(c)] = true;
    ASSERT_TRUE(setListingColumns(*store, on));
    ListingRequest r;
    r.kind = PrintedListing::kItemsCustom;
    RecordListing listing;
    ASSERT_TRUE(buildListing(*store, r, &listing));
    EXPECT_EQ(listing.heading, "Inventory list: ");
    EXPECT_EQ(listing.columns, "Number, Description, SKU 1, Cost, Tax code, In stock");
    ASSERT_EQ(listing.rows.size(), 1u);
    EXPECT_EQ(listing.rows[0][0].second, "5, WIDGET, SKU-5, 1.25, Tax 1, 10");
    EXPECT_EQ(listingPageHeading("SHOP", listing.heading, clock.now(), 2),
              "SHOP Inventory list: December 6 2026  Page: 2");
}

TEST_F(ListingTest, ListingSettingsShareNoValueOfKqCfgWithTheUploadChoices) {
    // Every listing column and the font size ticked, then all cleared: the
    // upload's choices and the clerks' availability keep what they held.
    StoreConfigRecord& r = store->config().record();
    for (int i = 0; i < 194; ++i) r.settings_a[i] = 7;
    std::array<bool, kListingColumnCount> on{};
    on.fill(true);
    ASSERT_TRUE(setListingColumns(*store, on));
    ASSERT_TRUE(setListingFontSize(*store, 3));
    on.fill(false);
    ASSERT_TRUE(setListingColumns(*store, on));
    for (int setting : {kSetAUploadOverview, kSetAUploadItems, kSetAUploadReorder, kSetAUploadTls,
                        kSetAClerkAvailable, kSetAClerkAvailable + 98})
        EXPECT_EQ(r.settings_a[setting], 7) << setting;
    EXPECT_EQ(r.settings_a[kSetAListingFontSize], 3);
}

TEST_F(ListingTest, IndentTakesWholeNumbersFromZeroToForty) {
    struct Case {
        const char* typed;
        const char* message;
        int stored;
    };
    const Case cases[] = {
        {"0", "Indent set to 0", 0}, {"40", "Indent set to 40", 40}, {"41", "Outside range", 40},
        {"-1", "Outside range", 40}, {"4.5", "Outside range", 40},   {"abc", "Outside range", 40},
        {"7", "Indent set to 7", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string done;
        Status s = setListingIndent(*store, c.typed, &done);
        EXPECT_EQ(s ? done : s.message(), c.message);
        EXPECT_EQ(listingIndent(store->config()), c.stored);
    }
}

TEST_F(ListingTest, LettersNeedAnAmountOutstanding) {
    for (double balance : {0.0, -3.0, 0.01}) {
        CustomerRecord c = blankCustomer();
        c.balance = balance;
        EXPECT_EQ(debtorLetterAllowed(c).isOk(), balance > 0);
        if (balance <= 0) {
            EXPECT_EQ(debtorLetterAllowed(c).message(), "No amount is outstanding");
        }
    }
}

// A job on a short sheet that counts its sheets, asked for two copies.
class ShortSheetJob final : public PrintJob {
  public:
    explicit ShortSheetJob(int rows) { canvas.height = rows * canvas.rowHeight(); }
    int copies() const override { return 2; }
    Canvas* startDocument(const std::string&) override { return &canvas; }
    bool newPage() override { return ++sheets, true; }
    bool endDocument() override { return true; }
    bool release() override { return true; }
    int count(const std::string& text) const {
        int n = 0;
        for (const auto& op : canvas.ops)
            n += op.kind == RecordingCanvas::Op::kText && op.text == text;
        return n;
    }
    RecordingCanvas canvas;
    int sheets = 1;
};

TEST_F(ListingTest, EveryCopyOfEveryPrintedListCarriesEveryLine) {
    std::vector<std::string> lines;
    for (int i = 0; i < 25; ++i) lines.push_back("LINE " + std::to_string(i));
    RecordListing listing{"Inventory list:", "Number", {}};
    for (const std::string& l : lines) listing.rows.push_back({{0, l}});
    Statement st{"CUSTOMER: 5  ANN", lines, "Balance: 1.00"};
    LetterSetup setup;
    // The stock-received report cuts its own pages: the first is longer
    // than a sheet and goes on over the next.
    const std::vector<std::vector<std::string>> received = {{"SHOP Inventory received, page: 1"},
                                                            {"SHOP Inventory received, page: 2"}};
    std::vector<std::vector<std::string>> pages = received;
    pages[0].insert(pages[0].end(), lines.begin(), lines.begin() + 20);
    pages[1].insert(pages[1].end(), lines.begin() + 20, lines.end());

    struct Case {
        const char* what;
        std::function<Status(PrintJob&)> print;
        int sheetsPerCopy;
    } cases[] = {
        // 10 rows a sheet: heading and columns, then 8 rows.
        {"listing",
         [&](PrintJob& j) { return printListing(j, listing, "SHOP", clock.now(), 0, 0); }, 4},
        // 20 + 1 lines on page 1 over 10-row sheets, then 5 + 1 on page 2.
        {"received", [&](PrintJob& j) { return printTextPages(j, pages); }, 4},
        {"period", [&](PrintJob& j) { return printPeriodActivity(j, setup, st); }, 4},
        {"statement", [&](PrintJob& j) { return printStatement(j, setup, CustomerRecord{}, st); },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShortSheetJob job(10);
        ASSERT_TRUE(c.print(job));
        for (const std::string& l : lines) EXPECT_EQ(job.count(l), 2) << l;
        if (c.sheetsPerCopy > 0) {
            EXPECT_EQ(job.sheets, 2 * c.sheetsPerCopy);
        }
    }
}

}  // namespace
}  // namespace kassio::test
