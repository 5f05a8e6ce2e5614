// Byte layouts: records written by the code, read back at the documented
// offsets, and the texts and codes the records carry.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/fixed_text.h"
#include "base/timestamp.h"
#include "base/win1252.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "store/journal_format.h"
#include "store/receipt_words.h"
#include "store/supplier_record.h"

namespace kassio {
namespace {

template <typename T>
T at(const unsigned char* bytes, std::size_t offset) {
    T v;
    std::memcpy(&v, bytes + offset, sizeof v);
    return v;
}

TEST(RecordLayout, ItemFieldsLandAtTheirOffsets) {
    InventoryRecord item;
    std::memset(&item, 0, sizeof item);
    item.number = 100000000000000000LL;
    setFieldText(item.description, "COLA 330ML");
    setFieldText(item.sku1, "5000112637922");
    item.quantity = -7;
    item.tax = 3;
    item.total_sold = 9;
    item.retail_price = 12.5;
    item.cost_price = 0.25;
    item.picture_number = 24;
    item.bundle_free[5] = 2;
    item.bundle_quantity[0] = 50;
    item.offer = 4;
    item.sell_by_year = 69;
    item.own_picture = 1;
    item.display_category = 17;
    item.kind = kItemKindBundle;
    setFieldText(item.last_used, "09:0506/12/2026");
    item.last_reference = -2;

    const auto* b = reinterpret_cast<const unsigned char*>(&item);
    EXPECT_EQ(at<int64_t>(b, 0), 100000000000000000LL);
    EXPECT_STREQ(reinterpret_cast<const char*>(b + 8), "COLA 330ML");
    EXPECT_STREQ(reinterpret_cast<const char*>(b + 90), "5000112637922");
    EXPECT_EQ(at<int32_t>(b, 670), -7);
    EXPECT_EQ(at<int32_t>(b, 686), 3);
    EXPECT_EQ(at<int32_t>(b, 714), 9);
    EXPECT_EQ(at<double>(b, 830), 12.5);
    EXPECT_EQ(at<double>(b, 814), 0.25);
    EXPECT_EQ(at<int32_t>(b, 1270), 24);
    EXPECT_EQ(at<int32_t>(b, 1290 + 20), 2);
    EXPECT_EQ(at<int32_t>(b, 1314), 50);
    EXPECT_EQ(at<int32_t>(b, 1338), 4);
    EXPECT_EQ(at<int32_t>(b, 1354), 69);
    EXPECT_EQ(at<int32_t>(b, 1810), 1);
    EXPECT_EQ(at<int32_t>(b, 2022), 17);
    EXPECT_EQ(at<int32_t>(b, 2037), 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(b + 2049), "09:0506/12/2026");
    EXPECT_EQ(at<int64_t>(b, 2065), -2);
}

TEST(RecordLayout, CustomerSupplierAndJournalFields) {
    CustomerRecord c;
    std::memset(&c, 0, sizeof c);
    setFieldText(c.name, "ACME LTD");
    c.group = 2000;
    c.terms = 8;
    c.balance = -1.5;
    c.credit_limit = 2000;
    c.transactions = 3;
    c.tax = 1;
    const auto* cb = reinterpret_cast<const unsigned char*>(&c);
    EXPECT_STREQ(reinterpret_cast<const char*>(cb + 8), "ACME LTD");
    EXPECT_EQ(at<int32_t>(cb, 652), 2000);
    EXPECT_EQ(at<int32_t>(cb, 1006), 8);
    EXPECT_EQ(at<double>(cb, 1158), -1.5);
    EXPECT_EQ(at<double>(cb, 1166), 2000.0);
    EXPECT_EQ(at<int32_t>(cb, 1206), 3);
    EXPECT_EQ(at<int64_t>(cb, 1210), 1);

    SupplierRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = 2000000000000000LL;
    setFieldText(s.email, "orders@example.com");
    const auto* sb = reinterpret_cast<const unsigned char*>(&s);
    EXPECT_EQ(at<int64_t>(sb, 0), 2000000000000000LL);
    EXPECT_STREQ(reinterpret_cast<const char*>(sb + 942), "orders@example.com");

    SaleRecord sale;
    std::memset(&sale, 0, sizeof sale);
    sale.number = 42;
    sale.total = 12.5;
    sale.cheque = 2.25;
    setFieldText(sale.payment, "Split");
    setFieldText(sale.note, "Gift wrap");
    const auto* rb = reinterpret_cast<const unsigned char*>(&sale);
    EXPECT_EQ(at<double>(rb, 80), 12.5);
    EXPECT_EQ(at<double>(rb, 168), 2.25);
    EXPECT_STREQ(reinterpret_cast<const char*>(rb + 446), "Split");
    EXPECT_STREQ(reinterpret_cast<const char*>(rb + 970), "Gift wrap");
}

TEST(FixedText, CutsToTheFieldAndKeepsTheRest) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    setFieldText(field, "ABCDEFGH");
    EXPECT_EQ(fieldText(field), "ABCDE");
    setFieldText(field, "AB");
    EXPECT_EQ(fieldText(field), "AB");
    EXPECT_EQ(field[3], 'D');  // bytes after the terminator are left as they were

    char unterminated[4] = {'W', 'X', 'Y', 'Z'};
    EXPECT_EQ(fieldText(unterminated), "WXYZ");
    EXPECT_EQ(upperCase("abc-xyz 9\xE9"), "ABC-XYZ 9\xE9");
}

TEST(Timestamp, TextsAndLogForm) {
    LocalTime t{2026, 3, 7, 8, 4, 0};
    EXPECT_EQ(dateText(t), "07/03/2026");
    const std::string ts = timestampText(t);
    EXPECT_EQ(ts, "08:0407/03/2026");
    EXPECT_EQ(ts.size(), 15u);
    EXPECT_EQ(ts.substr(5), "07/03/2026");
    EXPECT_EQ(logTimeText(ts), "08:04 07/03/2026");
}

TEST(ReceiptWords, BuiltInLanguagesAndLimits) {
    ReceiptWords w;
    w.loadBuiltIn(2);
    EXPECT_EQ(w.word(0), "Espanol");
    EXPECT_EQ(w.word(1), "Recepci\xF3n");
    EXPECT_EQ(w.word(12),
              "Pago: cr\xE9"
              "dito");
    EXPECT_EQ(w.word(35), "Condiciones");
    EXPECT_EQ(w.word(36), "");
    w.loadBuiltIn(4);  // no such language: unchanged
    EXPECT_EQ(w.word(0), "Espanol");
    w.loadBuiltIn(3);
    EXPECT_EQ(w.word(16), "Terugbetaling");
    w.setWord(5, std::string(100, 'K'));
    EXPECT_EQ(w.word(5).size(), 79u);
    EXPECT_EQ(w.bytes()[5 * 80 + 79], 0);
}

TEST(Win1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToWin1252(win1252ToUtf8(all)), all);
    EXPECT_EQ(win1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8ToWin1252("\xE2\x82\xAC 5"), "\x80 5");
    EXPECT_EQ(utf8ToWin1252("\xE4\xB8\xAD"), "?");  // not in 1252
    EXPECT_EQ(utf8ToWin1252("a\xC3"), "a?");        // cut short
}

}  // namespace
}  // namespace kassio
