// Export and import through real files: text read back by Python's csv
// module, XML by xmllint, and the records an export writes imported again.
#include <gtest/gtest.h>

#include "exchange/record_export.h"
#include "exchange/record_import.h"
#include "exchange_fixture.h"

namespace kassio {
namespace {

using test::fileText;
using test::writeText;

class ExportImportTest : public test::ExchangeTest {
  protected:
    ExportChoice choice(bool customers, ExportFormat format) {
        ExportChoice c;
        c.customers = customers;
        c.format = format;
        c.finish = 1000;
        return c;
    }
    ExchangeOutcome import(const std::string& text, ImportMap map) {
        writeText(root / "in.txt", text);
        ImportSurvey survey;
        EXPECT_TRUE(surveyImportFile(root / "in.txt", &survey));
        limitImportMap(map, survey.fields);
        return importRecords(*store, root / "in.txt", map, survey.records);
    }
    ImportMap itemMap(std::vector<int> columns, bool merge = false) {
        ImportMap m = defaultImportMap(false, 0);
        for (std::size_t i = 0; i < columns.size(); ++i) m.columns[i] = columns[i];
        m.merge = merge;
        return m;
    }
};

TEST_F(ExportImportTest, TextExportReadsBackAndImportsAsTheSameRecords) {
    const std::string out = root / "INVENTOR.TXT";
    ASSERT_TRUE(exportRecords(*store, choice(false, ExportFormat::kText), out));
    EXPECT_EQ(fileText(out).substr(0, 42), "5,SALT & PEPPER <2>,501,,1.25,0,2.50,10,0,");
    // Python's csv module sees three rows of ten fields each.
    EXPECT_EQ(test::run("/usr/bin/python3 -c \"import csv,sys; r=list(csv.reader(open('" + out +
                        "', newline=''))); sys.exit(0 if [len(x) for x in r]==[10]*3 else 1)\""),
              0);

    ExchangeOutcome o = import(fileText(out), itemMap({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    ASSERT_TRUE(o.closeDown);
    ASSERT_EQ(store->items().index().liveCount(), 3u);
    InventoryRecord salt = item(5), tea = item(7);
    EXPECT_EQ(fieldText(salt.description), "SALT & PEPPER <2>");
    EXPECT_EQ(fieldText(salt.sku1), "501");
    EXPECT_EQ(salt.tax, 1);  // exported as taxable or not
    EXPECT_DOUBLE_EQ(salt.cost_price, 1.25);
    EXPECT_DOUBLE_EQ(salt.retail_price, 2.5);
    EXPECT_EQ(tea.display_category, 3);
    EXPECT_EQ(tea.reorder_quantity, 4);
    EXPECT_EQ(tea.quantity, 10);
    EXPECT_TRUE(fileExists(data + "/temp2.dat"));  // the previous inventory
    EXPECT_FALSE(fileExists(data + "/inventory.dat.new"));
}

TEST_F(ExportImportTest, CustomersRoundTripThroughText) {
    const std::string out = root / "CUSTOMER.TXT";
    ASSERT_TRUE(exportRecords(*store, choice(true, ExportFormat::kText), out));
    ImportMap map = defaultImportMap(true, 10);
    ExchangeOutcome o = import(fileText(out), map);
    ASSERT_TRUE(o.closeDown);
    ASSERT_EQ(o.notices.back().title, "File import complete");
    CustomerRecord c{};
    ASSERT_TRUE(store->customers().read(*store->customers().find(3), &c));
    EXPECT_EQ(fieldText(c.name), "SMITH & SONS");
    EXPECT_EQ(fieldText(c.road), "1 HIGH ST");
    EXPECT_DOUBLE_EQ(c.balance, 12.5);
    ASSERT_TRUE(store->customers().read(*store->customers().find(4), &c));
    EXPECT_DOUBLE_EQ(c.credit_limit, 100);
}

TEST_F(ExportImportTest, EveryXmlAndHtmlExportIsWellFormed) {
    for (bool customers : {false, true}) {
        const std::string out = root / (customers ? "c.xml" : "i.xml");
        ASSERT_TRUE(exportRecords(*store, choice(customers, ExportFormat::kXml), out));
        EXPECT_EQ(test::run("xmllint --noout '" + out + "'"), 0) << fileText(out);
    }
    EXPECT_NE(
        fileText(root / "i.xml").find("<description>SALT &amp; PEPPER &lt;2&gt;</description>"),
        std::string::npos);
    EXPECT_NE(fileText(root / "c.xml").find("<name>SMITH &amp; SONS</name>"), std::string::npos);

    ExportChoice html = choice(false, ExportFormat::kHtml);
    html.fields = {true, true, false, false, false, false, false, false, false, true};
    ASSERT_TRUE(exportRecords(*store, html, root / "i.htm"));
    EXPECT_EQ(fileText(root / "i.htm"),
              "<HTML><BODY>\r\n<FONT SIZE='1'>\r\n<B>5</B><B> SALT & PEPPER <2></B> Taxable<BR>\r\n"
              "<B>7</B><B> TEA BAGS</B> Non taxable<BR>\r\n<B>9</B><B> MILK</B> Non "
              "taxable<BR>\r\n</BODY></HTML>");
}

TEST_F(ExportImportTest, RangesAndCategories) {
    struct Case {
        int64_t start, finish;
        bool byCategory;
        int category;
        const char* message;  // nullptr: written
        const char* text;
    } cases[] = {
        {1, 5, false, 0, nullptr, "5\r\n"},    {6, 6, false, 0, "No items in range.", ""},
        {0, 9, false, 0, "Invalid range", ""}, {9, 7, false, 0, "Invalid range", ""},
        {1, 100, true, 3, nullptr, "7\r\n"},   {1, 100, true, 9, nullptr, ""},
    };
    for (const Case& c : cases) {
        ExportChoice e = choice(false, ExportFormat::kText);
        e.start = c.start;
        e.finish = c.finish;
        e.byCategory = c.byCategory;
        e.category = c.category;
        e.fields = {true, false, false, false, false, false, false, false, false, false};
        std::remove((root / "r.txt").c_str());
        Status s = exportRecords(*store, e, root / "r.txt");
        if (c.message) {
            EXPECT_EQ(s.message(), c.message) << c.start;
            EXPECT_FALSE(fileExists(root / "r.txt"));
        } else {
            ASSERT_TRUE(s) << s.message();
            EXPECT_EQ(fileText(root / "r.txt"), c.text) << c.start;
        }
    }
}

TEST_F(ExportImportTest, ImportLineRules) {
    // A heading line is record number 0 and skipped; the last line has no
    // line feed, so it is not counted; taxable 5 becomes 1; a line that
    // stops early leaves the later slots at their defaults; a repeated
    // number is written twice and the smallest repeat reported.
    const std::string file =
        "Number,Description,Tax,Cat\n"
        "20,apple,5,2\n"
        "21,x,1,2\n"
        "12,pear\n"
        "20,apple again,0,40\n"
        "12,pear again,1,1\n"
        "30,never read,1,1";
    ExchangeOutcome o = import(file, itemMap({1, 2, 0, 0, 0, 4, 0, 0, 0, 3}));
    ASSERT_EQ(o.notices.size(), 2u);
    EXPECT_EQ(o.notices[0].text, "Item 12 duplicated");
    EXPECT_EQ(o.notices[0].title, "Import inconsistancy");
    EXPECT_EQ(o.notices[1].text, "KASSIO will now close down");
    EXPECT_TRUE(o.closeDown);
    EXPECT_EQ(store->items().index().liveCount(), 4u);  // 20, 20, 12, 12
    EXPECT_FALSE(store->items().find(21));              // description too short
    EXPECT_FALSE(store->items().find(30));
    InventoryRecord apple = item(20), pear = item(12);
    EXPECT_EQ(fieldText(apple.description), "APPLE");
    EXPECT_EQ(apple.tax, 1);
    EXPECT_EQ(apple.display_category, 2);
    EXPECT_EQ(fieldText(apple.last_used), "NEW");
    EXPECT_EQ(pear.display_category, 14);
    EXPECT_EQ(pear.tax, 0);
}

TEST_F(ExportImportTest, MergeAndSilentOrFailedImports) {
    // Number mapped to column 0: nothing happens and nothing is said.
    ExchangeOutcome none = import("40,NEW ONE\n", itemMap({0, 2}));
    EXPECT_TRUE(none.notices.empty());
    EXPECT_FALSE(none.closeDown);

    // Merge: an existing number stays as it was, a new one is added.
    ExchangeOutcome merged = import("7,CHANGED\n41,PLUMS\n", itemMap({1, 2}, true));
    EXPECT_TRUE(merged.closeDown);
    EXPECT_EQ(fieldText(item(7).description), "TEA BAGS");
    EXPECT_EQ(fieldText(item(41).description), "PLUMS");
    EXPECT_EQ(store->items().index().liveCount(), 4u);

    // A Replace with nothing valid keeps the inventory and goes on.
    ExchangeOutcome empty = import("0,NOTHING\n", itemMap({1, 2}));
    ASSERT_EQ(empty.notices.size(), 1u);
    EXPECT_EQ(empty.notices[0].text, "No valid items");
    EXPECT_FALSE(empty.closeDown);
    EXPECT_EQ(store->items().index().liveCount(), 4u);

    ImportSurvey survey;
    writeText(root / "nolf.txt", "1,ONE");
    EXPECT_EQ(surveyImportFile(root / "nolf.txt", &survey).message(), "Non recognised format");
    writeText(root / "empty.txt", "");
    EXPECT_EQ(surveyImportFile(root / "empty.txt", &survey).message(), "File has no content");
    EXPECT_EQ(surveyImportFile(root / "missing.txt", &survey).message(), "File not present.");
}

TEST_F(ExportImportTest, SiblingInventory) {
    std::string records(2 * kSiblingRecordSize, '\0');
    auto put = [&records](std::size_t at, const void* p, std::size_t n) {
        std::memcpy(records.data() + at, p, n);
    };
    const int64_t number = 77;
    const float retail = 3.25f;
    const int32_t category = 6;
    put(kSiblingRecordSize, &number, 8);
    put(kSiblingRecordSize + 8, "OLIVE OIL", 9);
    put(kSiblingRecordSize + 822, &retail, 4);
    put(kSiblingRecordSize + 1787, &category, 4);
    std::memset(records.data() + kSiblingRecordSize + 1610, 'N', 80);  // no terminator
    writeText(root / "z.dat", records);
    int count = 0;
    ASSERT_TRUE(surveySiblingFile(root / "z.dat", &count));
    EXPECT_EQ(count, 2);
    ExchangeOutcome o = importSiblingInventory(*store, root / "z.dat");
    ASSERT_TRUE(o.closeDown);
    EXPECT_EQ(store->items().index().liveCount(), 1u);
    InventoryRecord oil = item(77);
    EXPECT_EQ(fieldText(oil.description), "OLIVE OIL");
    EXPECT_DOUBLE_EQ(oil.retail_price, 3.25);
    EXPECT_EQ(oil.display_category, 6);
    EXPECT_EQ(fieldText(oil.notes), std::string(79, 'N'));

    // One record numbered 0: the inventory before it stays.
    writeText(root / "zero.dat", std::string(kSiblingRecordSize, '\0'));
    ExchangeOutcome zero = importSiblingInventory(*store, root / "zero.dat");
    ASSERT_EQ(zero.notices.size(), 1u);
    EXPECT_EQ(zero.notices[0].text, "No valid items");
    EXPECT_TRUE(store->items().find(77));
    writeText(root / "odd.dat", std::string(kSiblingRecordSize + 1, '\0'));
    EXPECT_EQ(surveySiblingFile(root / "odd.dat", &count).message(), "Non recognised format");
}

}  // namespace
}  // namespace kassio
