#include <gmock/gmock.h>

#include "receipt_fixture.h"

namespace kassio::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsSupersetOf;
using ::testing::Not;

// Geometry of the fixture: C = 500, P = 20, right edge 2C - P = 980,
// left items at P + 10 = 30, the single-line quantity column at
// 30 + (A/2) x 3 x 16 = 270 and its unit price right at 270 + 10A = 370.

TEST_F(ReceiptTest, StandardSingleLineReceiptRowByRow) {
    addLine(5, "TEA BAGS", 1.50);
    addLine(5, "TEA BAGS", 1.50);
    addLine(5, "TEA BAGS", 1.50);
    addLine(6, "CHOCOLATE BARS DELUXE", 2.40);
    payCash(10.00);

    RecordingCanvas c = draw();

    EXPECT_THAT(c.rows(), ElementsAreArray({
                              "1|C|500|CORNER SHOP",
                              "2|C|500|1 HIGH STREET",
                              "3|C|500|LITTLETON",
                              "4|C|500|01234 567890",
                              "6|C|500|========================",
                              "7|C|500|Receipt: 12",
                              "8|C|500|09:05  06/12/2026",
                              "9|C|500|1, Administrator",
                              "10|C|500|------------------------",
                              "12|L|30|Description",
                              "12|L|255|Qty   Price",
                              "12|R|980|Amount",
                              "14|L|30|TEA BAGS",
                              "14|L|270|3",
                              "14|R|370|1.50",
                              "14|R|980|4.50",
                              "15|L|30|CHOCOLATE BARS",
                              "15|L|270|1",
                              "15|R|370|2.40",
                              "15|R|980|2.40",
                              "17|C|500|Total: $6.90",
                              "18|C|500|========================",
                              "20|C|500|Payment: Cash",
                              "21|C|500|Cash change: 3.10",
                              "22|C|500|VAT 1: 1.15 (20.00%)",
                              "24|C|500|Always happy to help!",
                              "25|C|500|  ",
                          }));
    // The column heading between two rules at 12.2 and 13.7 rows.
    auto lines = c.of(RecordingCanvas::Op::kLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].y, 390);  // 32 x 12.2, truncated
    EXPECT_EQ(lines[1].y, 438);  // 32 x 13.7
    EXPECT_EQ(lines[0].x, 30);
    EXPECT_EQ(lines[0].x2, 980);
}

TEST_F(ReceiptTest, TwoRowStyleGroupsIdenticalLinesAndKeepsOtherPrices) {
    cfg().settings_b[kSetBReceiptItemStyle] = 2;
    addLine(5, "TEA BAGS", 1.50);
    addLine(7, "MILK", 0.89);
    addLine(5, "TEA BAGS", 1.50);
    addLine(5, "TEA BAGS", 1.75);  // same item, other price: its own entry
    addLine(5, "TEA BAGS", 1.50);
    payCash(10);

    RecordingCanvas c = draw();
    EXPECT_THAT(c.rows(), IsSupersetOf({
                              "12|L|30|TEA BAGS",
                              "13|L|30|3 @ 1.50",
                              "13|R|980|4.50",
                              "14|L|30|MILK",
                              "14|R|980|0.89",
                              "15|L|30|TEA BAGS",
                              "15|R|980|1.75",
                              // four entries on five rows: the total after one blank row
                              "17|C|500|Total: $7.14",
                          }));
}

TEST_F(ReceiptTest, GroupingCountsAndNonInventoryLines) {
    addLine(5, "TEA BAGS", 1.50);
    addLine(0, "Misc", 1.00);
    addLine(5, "TEA BAGS", 1.50);
    addLine(0, "Lottery", 1.00);  // item 0 too, but another thing
    addLine(0, "Misc", 1.00);
    EXPECT_THAT(groupLineCounts(b()), ElementsAre(2, 2, 0, 1, 0));
}

TEST_F(ReceiptTest, DescriptionCutByStyle) {
    const char* longName = "EXTRA LARGE FREE RANGE EGGS";  // 27 characters
    struct Case {
        int style;  // settings value: 0 single line, 2 two rows
        bool centred;
        bool limit20;
        std::string expected;
    } cases[] = {
        {0, false, false, "EXTRA LARGE FR"},
        {0, false, true, "EXTRA LARGE FR"},
        {2, false, false, "EXTRA LARGE FREE RANGE EGGS"},
        {2, false, true, "EXTRA LARGE FREE RAN"},
        {2, true, false, "EXTRA LARGE FREE RANGE EGGS, 2.00"},
        {2, true, true, "EXTRA LARGE FREE RAN, 2.00"},
    };
    addLine(9, longName, 2.00);
    for (const Case& k : cases) {
        cfg().settings_b[kSetBReceiptItemStyle] = k.style;
        cfg().settings_b[kSetBReceiptCentred] = k.centred ? 2 : 0;
        cfg().settings_b[kSetBLimitDescription20] = k.limit20 ? 2 : 0;
        EXPECT_THAT(draw().texts(), Contains(k.expected))
            << "style " << k.style << " centred " << k.centred << " limit " << k.limit20;
    }
}

TEST_F(ReceiptTest, CentredItemsShowCountAndAmount) {
    cfg().settings_b[kSetBReceiptCentred] = 2;
    addLine(5, "TEA BAGS", 1.50);
    addLine(5, "TEA BAGS", 1.50);
    addLine(7, "MILK", 0.89);
    EXPECT_THAT(draw().rows(), IsSupersetOf({"12|C|500|2 TEA BAGS, 3.00", "13|C|500|MILK, 0.89"}));
}

TEST_F(ReceiptTest, SubtotalTaxAndDiscountLines) {
    cfg().settings_b[kSetBReceiptItemStyle] = 2;
    struct Case {
        bool exclusive;
        bool taxed;
        double discount;
        std::vector<std::string> extras;  // centred lines between the items and the total
    } cases[] = {
        {true, false, 0, {}},
        {true, false, 0.50, {"Sub total: 3.00", "Discount: (0.50)"}},
        {true, true, 0, {"Sub total: 2.50", "VAT 1: 0.50"}},
        {true, true, 0.50, {"Sub total: 2.50", "VAT 1: 0.50", "Discount: (0.50)"}},
        {false, true, 0, {}},
        {false, false, 0.25, {"Sub total: 3.00", "Discount: (0.25)"}},
    };
    for (const Case& k : cases) {
        b().line_count = 0;
        b().total = b().subtotal = b().total_tax1 = b().total_taxable = 0;
        b().total_non_taxable = 0;
        addLine(5, "SOAP", 3.00, k.taxed);
        b().total_discount = k.discount;
        cfg().settings_b[kSetBReceiptExclusiveOfTax] = k.exclusive ? 2 : 0;

        std::vector<std::string> rows = draw().rows();
        std::vector<std::string> expected;
        int row = 14;  // the item is on row 12, then one blank row
        for (const std::string& e : k.extras)
            expected.push_back(std::to_string(row++) + "|C|500|" + e);
        expected.push_back(std::to_string(row) + "|C|500|Total: $3.00");
        // Exclusive of tax, the unit price is the net price.
        expected.push_back(k.exclusive && k.taxed ? "12|R|980|2.50" : "12|R|980|3.00");
        EXPECT_THAT(rows, IsSupersetOf(expected))
            << "exclusive " << k.exclusive << " taxed " << k.taxed << " discount " << k.discount;
        // The tax element under the payment only when prices include tax.
        bool taxElement = false;
        for (const std::string& r : rows) taxElement |= r.find("(20.00%)") != std::string::npos;
        EXPECT_EQ(taxElement, !k.exclusive && k.taxed);
    }
}

TEST_F(ReceiptTest, RefundSaysRefundAndNeverShowsChange) {
    addLine(5, "TEA BAGS", 1.50);
    setFieldText(b().payment_word, "Refund");
    tendered = 5;
    change = 3.5;
    std::vector<std::string> texts = draw().texts();
    EXPECT_THAT(texts, Contains("Refund: 12"));
    EXPECT_THAT(texts, Not(Contains("Receipt: 12")));
    EXPECT_THAT(texts, Not(Contains("Cash change: 3.50")));
    EXPECT_FALSE(receiptElementText(data(), 18, Placement::kRelative).has_value());

    // The undrawn change row is still counted: the tax row stands where it
    // does on the same sale.
    auto taxRow = [this] {
        for (const std::string& r : draw().rows())
            if (r.find("VAT 1:") != std::string::npos) return r.substr(0, r.find('|'));
        return std::string();
    };
    const std::string refundRow = taxRow();
    std::memset(b().payment_word, 0, sizeof b().payment_word);
    setFieldText(b().payment_word, "Cash");
    EXPECT_FALSE(refundRow.empty());
    EXPECT_EQ(refundRow, taxRow());
}

TEST_F(ReceiptTest, PaymentWording) {
    struct Case {
        double cash, cheque, card, cashBack;
        const char* word;
        std::string expected;
    } cases[] = {
        {5, 0, 0, 0, "Cash", "Payment: Cash"},
        {0, 5, 0, 0, "CH", "Payment: Cheque"},
        {0, 0, 5, 0, "EFT", "Payment: EFT"},
        {0, 0, 5, 20, "EFT", "Payment: EFT (CB: 20.00)"},
        {0, 0, 0, 0, "Credit", "Payment: Credit"},
        {2, 3, 0, 0, "Split", "Payment: CH with cash"},
        {2, 0, 3, 0, "Split", "Payment: EFT with cash"},
    };
    for (const Case& k : cases) {
        b().payment[kPayCash] = k.cash;
        b().payment[kPayCheque] = k.cheque;
        b().payment[kPayCard] = k.card;
        b().payment[kPayCashBack] = k.cashBack;
        setFieldText(b().payment_word, k.word);
        EXPECT_EQ(paymentText(words, b()), k.expected) << k.word;
    }
    // The user's wording is what prints.
    words.loadBuiltIn(1);
    b().payment[kPayCash] = 0;
    b().payment[kPayCheque] = 0;
    setFieldText(b().payment_word, "Credit");
    EXPECT_EQ(paymentText(words, b()), "Pagamento: Credit");
}

TEST_F(ReceiptTest, ElementTexts) {
    b().customer = 42;
    setFieldText(b().customer_name, "J SMITH");
    setFieldText(b().customer_town, "LITTLETON");
    cfg().options[kOptTax2Rate] = 0;
    b().total = 6.9;
    b().total_tax2 = 0;
    tendered = 10;
    change = 3.1;
    struct Case {
        int element;
        std::string expected;
    } cases[] = {
        {6, "09:05  06/12/2026"},     {8, "Customer: 42"},         {9, "J SMITH"},
        {12, "VAT 1: 0.00 (20.00%)"}, {13, "VAT 2: 0.00 (0.00%)"}, {14, "Total: $6.90"},
        {15, "1, Administrator"},     {16, "Receipt: 12"},         {17, "Tendered: 10.00"},
        {18, "Cash change: 3.10"},    {25, "LITTLETON"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(receiptElementText(data(), k.element, Placement::kFixed).value_or("<none>"),
                  k.expected)
            << "element " << k.element;

    // A client station's sale kept while the main station was away has no
    // number yet, and its receipt says so.
    b().number = 0;
    EXPECT_EQ(receiptElementText(data(), 16, Placement::kFixed).value_or("<none>"),
              "Receipt: OFFLINE");
}

TEST_F(ReceiptTest, SecondCurrencyOnlyOnTheCustomReceipt) {
    b().total = 10;
    setFieldText(cfg().second_currency_symbol, "E");
    cfg().money[kMoneySecondCurrencyRate] = 1.5;
    cfg().settings_b[kSetBSecondCurrency] = 2;
    cfg().settings_b[kSetBCustomSecondCurrency] = 2;
    EXPECT_EQ(*receiptElementText(data(), 14, Placement::kRelative), "Total $10.00  E15.00");
    EXPECT_EQ(*receiptElementText(data(), 14, Placement::kFixed), "Total: $10.00");
    cfg().money[kMoneySecondCurrencyRate] = 0;
    EXPECT_EQ(*receiptElementText(data(), 14, Placement::kRelative), "Total: $10.00");
}

TEST_F(ReceiptTest, BarcodeTextAndBars) {
    EXPECT_EQ(receiptBarcodeText(7), "0007");
    EXPECT_EQ(receiptBarcodeText(12), "0012");
    EXPECT_EQ(receiptBarcodeText(999), "0999");
    EXPECT_EQ(receiptBarcodeText(1234), "1234");
    EXPECT_EQ(receiptBarcodeText(12345), "12345");

    RecordingCanvas c = prepared;
    drawReceiptBarcode(c, ui, 7, 20, false);
    auto bars = c.of(RecordingCanvas::Op::kRect);
    // "*0007*": 5 bars per character, one rectangle each; '*' and '0' both
    // have two wide bars (2 modules), so 7 modules of bar per character.
    ASSERT_EQ(bars.size(), 6u * 5u);
    int barModules = 0;
    for (const auto& bar : bars) barModules += (bar.x2 - bar.x) / 40;
    EXPECT_EQ(barModules, 6 * 7);
    // Top at (20 + 2) rows = 704 device units = 8940 (0.01 mm), y upwards.
    const int top = -704 * 2540 / 200;
    const int symbol = 6 * 13 * 40;  // (digits + 2) x 13 modules of 0.40 mm
    const int centre = 500 * 2540 / 200;
    EXPECT_EQ(bars.front().x, centre - symbol / 2);
    for (const auto& bar : bars) {
        EXPECT_TRUE(bar.metric);
        EXPECT_TRUE(bar.x2 - bar.x == 40 || bar.x2 - bar.x == 80);
        EXPECT_EQ(bar.y, top);
        EXPECT_EQ(bar.y2, top - 1000);
    }
    // The last bar ends one gap module before the symbol's right edge.
    EXPECT_EQ(bars.back().x2, centre - symbol / 2 + symbol - 40);
}

TEST_F(ReceiptTest, BarcodeAtPageBottomAndWithoutResolution) {
    RecordingCanvas c = prepared;
    drawReceiptBarcode(c, ui, 7, 0, false);
    drawReceiptBarcode(c, ui, 7, 0, true);
    auto bars = c.of(RecordingCanvas::Op::kRect);
    // page height 3040 - 0.54 x 200 - offset 10 - 10 = 2912; raised: 0.79 -> 2862.
    EXPECT_EQ(bars.front().y, -2912 * 2540 / 200);
    EXPECT_EQ(bars.back().y, -2862 * 2540 / 200);

    c = prepared;
    c.dpi = 0;
    drawReceiptBarcode(c, ui, 7, 20, false);
    EXPECT_TRUE(c.of(RecordingCanvas::Op::kRect).empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to get printer");
    EXPECT_EQ(ui.shown[0].title, "Problem");
}

TEST_F(ReceiptTest, StandardReceiptBarcodeReplacesTheFeedLine) {
    cfg().settings_b[kSetBReceiptBarcode] = 2;
    addLine(5, "TEA BAGS", 1.50);
    RecordingCanvas c = draw();
    EXPECT_THAT(c.texts(), Not(Contains("  ")));
    // The feed row would be L+19+j = 2+19+2 = 23 (single-line heading, one
    // item, one tax element); the bars start two rows below it.
    EXPECT_EQ(c.of(RecordingCanvas::Op::kRect).front().y, -(25 * 32) * 2540 / 200);
}

TEST_F(ReceiptTest, FooterWordWrapIsClippedToFourRows) {
    cfg().settings_b[kSetBReceiptItemStyle] = 2;
    cfg().settings_b[kSetBFooterWordWrap] = 2;
    // 250 characters on a page 40 characters wide: seven rows of text.
    setFieldText(cfg().receipt_footer, std::string(250, 'x'));
    prepared.width = 400;
    addLine(5, "TEA BAGS", 1.50);
    RecordingCanvas c = draw();
    auto wrapped = c.of(RecordingCanvas::Op::kWrapped);
    ASSERT_EQ(wrapped.size(), 1u);
    // Row L+18+j with j = 2 (one item row, one tax element): the box holds
    // rows 20 to 24 across the page; the canvas clips the rest.
    EXPECT_EQ(wrapped[0].x, 0);
    EXPECT_EQ(wrapped[0].x2, 400);
    EXPECT_EQ(wrapped[0].y, 20 * 32);
    EXPECT_EQ(wrapped[0].y2, 24 * 32);
    // The feed line moves down by the seven rows the text needed.
    EXPECT_THAT(c.rows(), Contains("28|C|200|  "));
}

TEST_F(ReceiptTest, FontSizeAndFailure) {
    cfg().settings_b[kSetBReceiptFontSize] = 2;  // 10 point at 200 dpi: 27.8 -> 28
    RecordingCanvas c = draw();
    auto fonts = c.of(RecordingCanvas::Op::kFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].text, "Arial");
    EXPECT_EQ(fonts[0].x, 28);
    EXPECT_EQ(fonts[0].y, 400);
    EXPECT_EQ(c.of(RecordingCanvas::Op::kRestoreFont).size(), 1u);

    prepared.fontsFail = true;
    c = draw();
    EXPECT_TRUE(c.of(RecordingCanvas::Op::kRestoreFont).empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable set font");
    EXPECT_THAT(c.texts(), Contains("CORNER SHOP"));  // drawn all the same

    cfg().settings_b[kSetBReceiptFontSize] = 0;
    EXPECT_TRUE(draw().of(RecordingCanvas::Op::kFont).empty());
}

TEST_F(ReceiptTest, LogoHalfAndFullWidth) {
    prepared.bitmaps["/data/receipt.bmp"] = {400, 200};
    RecordingCanvas c = draw();
    auto logo = c.of(RecordingCanvas::Op::kBitmap);
    ASSERT_EQ(logo.size(), 1u);
    EXPECT_EQ(logo[0].x, 250);
    EXPECT_EQ(logo[0].y, 10);
    EXPECT_EQ(logo[0].x2 - logo[0].x, 500);
    EXPECT_EQ(logo[0].y2 - logo[0].y, 250);
    EXPECT_THAT(c.rows(), Contains("9|C|500|CORNER SHOP"));  // L = 270 / 32 = 8

    cfg().settings_b[kSetBLogoPageWidth] = 2;
    c = draw();
    logo = c.of(RecordingCanvas::Op::kBitmap);
    EXPECT_EQ(logo[0].x, 0);
    EXPECT_EQ(logo[0].x2, 1000);
    EXPECT_THAT(c.rows(), Contains("17|C|500|CORNER SHOP"));  // L = 520 / 32 = 16

    cfg().settings_b[kSetBReceiptLogo] = 0;
    EXPECT_TRUE(draw().of(RecordingCanvas::Op::kBitmap).empty());
}

// --- Custom receipt --------------------------------------------------------

TEST_F(ReceiptTest, CustomReceiptWithFirstRunLines) {
    cfg().settings_b[kSetBCustomBlankLines] = 2;
    addLine(5, "TEA BAGS", 1.50);
    addLine(5, "TEA BAGS", 1.50);
    addLine(7, "MILK", 0.89, false);
    payCash(5);
    // First run: name 1, address 1..3 at 2..4, telephone 5, date 7, footer 4,
    // total 2, clerk 8. Heading M = 8, items from row 0 + 2 + 8 = 10.
    EXPECT_THAT(draw(ReceiptLayout::kCustom).rows(),
                ElementsAreArray({
                    "1|C|500|CORNER SHOP",
                    "2|C|500|1 HIGH STREET",
                    "3|C|500|LITTLETON",
                    "4|C|500|SHIRE",
                    "5|C|500|01234 567890",
                    "7|C|500|09:05  06/12/2026",
                    "8|C|500|1, Administrator",
                    "10|L|20|TEA BAGS",
                    "11|L|20|2 @ 1.50",
                    "11|R|980|3.00",
                    "12|L|20|MILK",
                    "12|R|980|0.89",
                    // B' = 13: footer 4, total 2; then two feed lines at B' + 4 + 2
                    "17|C|500|Always happy to help!",
                    "15|C|500|Total: $3.89",
                    "19|C|500|  ",
                    "20|C|500|  ",
                }));
}

TEST_F(ReceiptTest, CustomElementsOmittedCustomerOnlyWhenAttached) {
    setCustomLineOf(cfg(), 8, 9);    // customer number
    setCustomLineOf(cfg(), 27, 10);  // customer phone
    setCustomLineOf(cfg(), 22, 1);   // payment type, footer
    setCustomLineOf(cfg(), 0, 0);    // store name omitted
    setFieldText(b().customer_telephone, "555 1234");
    addLine(5, "TEA BAGS", 1.50);

    std::vector<std::string> texts = draw(ReceiptLayout::kCustom).texts();
    EXPECT_THAT(texts, Not(Contains("CORNER SHOP")));
    EXPECT_THAT(texts, Not(Contains("555 1234")));
    EXPECT_THAT(texts, Contains("Payment: Cash"));

    b().customer = 42;
    RecordingCanvas c = draw(ReceiptLayout::kCustom);
    // The customer lines raise the heading to M = 10: the item moves to row 12.
    EXPECT_THAT(c.rows(),
                IsSupersetOf({"9|C|500|Customer: 42", "10|C|500|555 1234", "12|L|20|TEA BAGS"}));
}

TEST_F(ReceiptTest, CustomExemptMarksDiscountNoteAndBarcode) {
    cfg().settings_b[kSetBCustomMarkExempt] = 2;
    cfg().settings_b[kSetBCustomBarcode] = 2;
    cfg().settings_b[kSetBCustomNoteLine] = 6;
    addLine(7, "MILK", 0.89, false);
    addLine(7, "MILK", 0.89, false);
    addLine(5, "TEA BAGS", 1.50);
    b().total_discount = 0.30;
    setFieldText(b().note, "Deliver Friday");

    RecordingCanvas c = draw(ReceiptLayout::kCustom);
    // Items at 10..12, discount on B' = 13, then B' = 14.
    EXPECT_THAT(c.rows(),
                IsSupersetOf({"11|R|980|E  1.78", "12|R|980|1.50", "13|L|20|(Discount: 0.30)"}));
    auto note = c.of(RecordingCanvas::Op::kWrapped);
    ASSERT_EQ(note.size(), 1u);
    EXPECT_EQ(note[0].text, "Deliver Friday");
    EXPECT_EQ(note[0].y, (14 + 6) * 32);
    EXPECT_EQ(note[0].y2, (14 + 10) * 32);
    // M2 = max(footer 4, total 2, note 6) = 6: barcode row 14 + 6 + 2, top 2 rows lower.
    EXPECT_EQ(c.of(RecordingCanvas::Op::kRect).front().y, -(24 * 32) * 2540 / 200);
    EXPECT_THAT(c.texts(), Not(Contains("  ")));

    cfg().settings_b[kSetBCustomCentred] = 2;
    EXPECT_THAT(draw(ReceiptLayout::kCustom).texts(),
                IsSupersetOf({"2 MILK, E  1.78", "TEA BAGS, 1.50"}));
}

// Stored line numbers beyond what the page takes (a damaged kq.cfg) are
// read as its limits (found by fuzzing: row times height overflowed).
TEST_F(ReceiptTest, CustomLinesBeyondThePageLimitsAreClamped) {
    cfg().custom_receipt_lines[0] = 2000000000;   // store name
    cfg().custom_receipt_lines[1] = -2000000000;  // address 1
    cfg().settings_b[kSetBCustomNoteLine] = -2147483647 - 1;
    setFieldText(b().note, "Deliver Friday");
    addLine(5, "TEA BAGS", 1.50);
    EXPECT_EQ(customLineOf(cfg(), 0), kMaxCustomLine);
    EXPECT_EQ(customLineOf(cfg(), 1), 0);
    RecordingCanvas c = draw(ReceiptLayout::kCustom);
    EXPECT_THAT(c.rows(), Contains("40|C|500|CORNER SHOP"));
    EXPECT_THAT(c.texts(), Not(Contains("1 HIGH STREET")));
    auto note = c.of(RecordingCanvas::Op::kWrapped);
    ASSERT_EQ(note.size(), 1u);
    EXPECT_EQ(note[0].y2 - note[0].y, 4 * 32);
}

TEST_F(ReceiptTest, CustomLogoAndNoteWithoutLine) {
    prepared.bitmaps["/data/receipt.bmp"] = {400, 200};
    setFieldText(b().note, "Deliver Friday");
    RecordingCanvas c = draw(ReceiptLayout::kCustom);
    EXPECT_EQ(c.of(RecordingCanvas::Op::kBitmap).size(), 1u);
    EXPECT_TRUE(c.of(RecordingCanvas::Op::kWrapped).empty());  // note line 0
    EXPECT_THAT(c.rows(), Contains("9|C|500|CORNER SHOP"));    // L = 8, line 1

    cfg().settings_b[kSetBCustomOmitLogo] = 2;
    EXPECT_TRUE(draw(ReceiptLayout::kCustom).of(RecordingCanvas::Op::kBitmap).empty());
}

}  // namespace
}  // namespace kassio::test
