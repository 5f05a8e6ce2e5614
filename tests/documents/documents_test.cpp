// The printed documents where the shop meets them: sales posted through the
// till, printed by `kassio-admin print` and `kassio-admin labels` into real
// PDF files, read back with pdftotext and, for barcodes, rasterized with
// pdftoppm and decoded with zbarimg. Then the rules behind them: check
// digits, terms, the mail link, label settings and the transaction viewer.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "base/text_format.h"
#include "devices/ean13.h"
#include "documents/barcode_labels.h"
#include "documents/invoice_layout.h"
#include "documents/order_email.h"
#include "till/tender.h"
#include "till/till_fixture.h"
#include "till/transaction_viewer.h"

namespace kassio::test {
namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

bool have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0;
}

std::string pdfText(const std::string& pdf, int page = 0) {
    const std::string range = page > 0 ? formatted("-f %d -l %d ", page, page) : "";
    return run("pdftotext " + range + "'" + pdf + "' -");
}

int pdfPages(const std::string& pdf) {
    const std::string info = run("pdfinfo '" + pdf + "'");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

// Occurrences of a whole caption: "TOTAL: 5.00" not inside "SUBTOTAL: 5.00".
int countWord(const std::string& text, const std::string& needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        if (at == 0 || !std::isalpha(static_cast<unsigned char>(text[at - 1]))) ++n;
    return n;
}

class DocumentsTest : public TillTest {
  protected:
    void SetUp() override {
        if (!have("pdftotext") || !have("pdfinfo"))
            GTEST_SKIP() << "poppler-utils is not installed";
        TillTest::SetUp();
        ASSERT_TRUE(till->logOn(1, ""));
    }

    // Posts a cash sale of the items; its transaction number.
    int64_t sell(const std::vector<int64_t>& items, const CustomerRecord* customer = nullptr) {
        for (int64_t n : items) EXPECT_TRUE(till->addItem(n));
        if (customer) attachCustomer(till->basket(), *customer);
        const int64_t number = store->config().nextTransaction();
        EXPECT_TRUE(till->cashTender()->exact());
        return number;
    }

    std::string print(const std::string& kind, int64_t number) {
        const std::string pdf = root / (kind + ".pdf");
        const std::string out = run(formatted("%s --data-dir '%s' print %s %" PRId64 " --pdf '%s'",
                                              KASSIO_ADMIN_PROGRAM, root.path().c_str(),
                                              kind.c_str(), number, pdf.c_str()));
        EXPECT_NE(out.find(pdf), std::string::npos) << kind;
        // scripts/document-screenshots keeps the pages to look at.
        if (const char* keep = std::getenv("KASSIO_KEEP_DOCUMENTS"))
            run(formatted("cp '%s' '%s/'", pdf.c_str(), keep));
        return pdf;
    }

    std::string labels(const std::string& options, const std::string& name) {
        const std::string pdf = root / (name + ".pdf");
        run(formatted("%s --data-dir '%s' labels %s --pdf '%s'", KASSIO_ADMIN_PROGRAM,
                      root.path().c_str(), options.c_str(), pdf.c_str()));
        if (const char* keep = std::getenv("KASSIO_KEEP_DOCUMENTS"))
            run(formatted("cp '%s' '%s/'", pdf.c_str(), keep));
        return pdf;
    }
};

TEST_F(DocumentsTest, EveryDocumentOfASaleShowsItsLinesAndTheJournalsTotal) {
    item(7, "TEA BAGS 80", 2.50, 0, 10);
    item(8, "MILK 2L", 1.20, 2, 10);
    CustomerRecord c = blankCustomer();
    c.number = 5;
    setFieldText(c.name, "ACME LTD");
    c.terms = 3;
    ASSERT_TRUE(createCustomer(*store, c));
    // Band 3 holds discount choice 3 ("5% disc") and, here, period 4.
    store->config().record().options[kOptTermsPeriod + 2] = 4;
    ASSERT_TRUE(store->saveConfig());
    const int64_t n = sell({7, 7, 8}, &c);
    const SaleRecord sale = todaysSales().back();
    const std::string total = formatted("%.2f", sale.total);
    const std::string num = formatted("%" PRId64, n);

    const struct {
        const char* kind;
        std::vector<std::string> shows;
    } cases[] = {
        {"receipt", {"Receipt: " + num, "TEA BAGS 80", total}},
        {"custom-receipt", {"TEA BAGS 80", total}},
        {"invoice", {"INVOICE", "Order Number: " + num, "2 @ 2.50", "TOTAL: " + total}},
        {"invoice2", {"INVOICE", "Order Number: " + num, "Terms: 5% disc, 30 days"}},
        {"custom-invoice", {"INVOICE", "Terms: 5% disc, 30 days", "TOTAL: " + total}},
        {"delivery",
         {"Delivery Note", "Transaction reference: " + num, "Terms: 5% disc, 30 days",
          "TOTAL: " + total}},
        {"quotation", {"Quotation", "Reference: " + num, "TOTAL: " + total}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.kind);
        const std::string text = pdfText(print(k.kind, n));
        for (const std::string& s : k.shows) EXPECT_NE(text.find(s), std::string::npos) << s;
    }
}

TEST_F(DocumentsTest, PageBreaksLoseNoLineAndOnlyTheLastPageCarriesTheTotals) {
    for (int i = 0; i < 61; ++i) item(100 + i, formatted("LINE %03d", i).c_str(), 1.00, 0, 10);
    for (int lines : {59, 60, 61}) {
        std::vector<int64_t> items;
        for (int i = 0; i < lines; ++i) items.push_back(100 + i);
        const int64_t n = sell(items);
        const std::string total = formatted("TOTAL: %.2f", todaysSales().back().total);
        for (const char* kind : {"invoice", "invoice2", "custom-invoice", "delivery"}) {
            SCOPED_TRACE(formatted("%s with %d lines", kind, lines));
            const std::string pdf = print(kind, n);
            const int pages = pdfPages(pdf);
            ASSERT_GE(pages, 2) << "60 single lines overflow the first page";
            std::vector<std::string> text;
            for (int p = 1; p <= pages; ++p) text.push_back(pdfText(pdf, p));
            for (int i = 0; i < lines; ++i) {
                int seen = 0;
                for (const std::string& t : text) seen += countWord(t, formatted("LINE %03d", i));
                EXPECT_EQ(seen, 1) << "LINE " << i;
            }
            for (int p = 0; p < pages; ++p)
                EXPECT_EQ(countWord(text[p], total), p + 1 == pages ? 1 : 0) << "page " << p + 1;
        }
    }
}

// The page rasterized as a grey map: decoding label by label proves the order.
struct Grey {
    int width = 0, height = 0;
    std::string pixels;
    bool dark(int x, int y) const {
        return static_cast<unsigned char>(pixels[y * width + x]) < 128;
    }
};

Grey rasterize(const std::string& pdf, const std::string& stem, int dpi) {
    run(formatted("pdftoppm -r %d -gray -singlefile '%s' '%s'", dpi, pdf.c_str(), stem.c_str()));
    std::ifstream in(stem + ".pgm", std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Grey g;
    in >> magic >> g.width >> g.height >> maxValue;
    in.get();
    g.pixels.assign(std::istreambuf_iterator<char>(in), {});
    return g;
}

std::string decodeStrip(const Grey& g, int top, int height, const std::string& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P5\n" << g.width << " " << height << "\n255\n";
    out.write(g.pixels.data() + static_cast<std::size_t>(top) * g.width,
              static_cast<std::streamsize>(height) * g.width);
    out.close();
    return run("zbarimg -q --raw '" + file + "'");
}

TEST_F(DocumentsTest, LabelsAndTheReceiptBarcodeDecodeWithARealScanner) {
    if (!have("zbarimg") || !have("pdftoppm")) GTEST_SKIP() << "zbar-tools is not installed";
    item(7, "TEA BAGS 80", 2.50, 0, 10);
    auto decode = [&](const std::string& pdf) {
        const Grey g = rasterize(pdf, root / "page", 200);
        return decodeStrip(g, 0, g.height, root / "whole.pgm");
    };
    EXPECT_EQ(decode(labels("--start 7 --finish 7", "code39")), "0007\n");
    EXPECT_EQ(decode(labels("--source all --symbol ean --start 12345 --finish 12345", "ean")),
              "0000000123457\n");
    const std::string columns =
        labels("--source all --symbol ean --format three --start 12345 --finish 12345", "ean3");
    EXPECT_EQ(decode(columns), "0000000123457\n");
    EXPECT_NE(pdfText(columns).find("0000000123457"), std::string::npos);

    // Sixteen labels, one strip each from the first bar down.
    const std::string sheet = labels("--source all --start 101 --finish 130", "sheet");
    EXPECT_EQ(pdfPages(sheet), 2);
    const int dpi = 200;
    const Grey g = rasterize(sheet, root / "sheet", dpi);
    int top = 0;
    while (top < g.height && [&] {
        for (int x = 0; x < g.width; ++x)
            if (g.dark(x, top)) return false;
        return true;
    }())
        ++top;
    const int pitch = 1690 * dpi / 2540, bar = 1000 * dpi / 2540;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(decodeStrip(g, top + i * pitch + bar / 4, bar / 2, root / "strip.pgm"),
                  formatted("%04d\n", 101 + i))
            << "label " << i;

    // The receipt's own barcode carries the transaction number.
    store->config().record().settings_b[kSetBReceiptBarcode] = 2;
    ASSERT_TRUE(store->saveConfig());
    const int64_t n = sell({7});
    EXPECT_EQ(decode(print("receipt", n)), formatted("%04" PRId64 "\n", n));
}

TEST(DocumentRules, Ean13CheckDigitsAndTermsTexts) {
    const struct {
        int64_t value;
        const char* text;
    } ean[] = {{12345, "0000000123457"},
               {400638133393, "4006381333931"},
               {1, "0000000000017"},
               {1234567890123456, "1234567890128"}};  // only the first twelve digits count
    for (const auto& e : ean) EXPECT_EQ(ean13Text(e.value), e.text);
    std::set<int> guards;
    for (const Ean13Bar& bar : ean13Bars(ean13Text(12345)))
        if (bar.guard) guards.insert(bar.module);
    EXPECT_EQ(guards, (std::set<int>{1, 3, 47, 49, 93, 95}));

    StoreConfig cfg;
    cfg.setFirstRunDefaults({2026, 12, 6, 9, 5, 0});
    cfg.record().options[kOptTermsPeriod + 2] = 4;
    ReceiptWords words;
    words.loadBuiltIn(0);
    EXPECT_EQ(invoiceTermsText(cfg.record(), words, 3, false), "Terms: 5% disc, 30 days");
    EXPECT_EQ(invoiceTermsText(cfg.record(), words, 3, true), "Terms: 5% disc, 30 days");
    EXPECT_EQ(invoiceTermsText(cfg.record(), words, 1, false), "Terms: Nett, ");
    EXPECT_EQ(invoiceTermsText(cfg.record(), words, 1, true), "Terms: Nett");
}

TEST(DocumentRules, InvoiceEntriesKeepDifferentDescriptionsApart) {
    auto b = std::make_unique<Basket>();
    std::memset(b.get(), 0, sizeof(Basket));
    const struct {
        int64_t item;
        const char* description;
        double price;
    } lines[] = {{7, "TEA", 2.5}, {7, "TEA", 2.5}, {7, "TEA (GIFT)", 2.5}, {0, "Misc", 1}};
    for (const auto& l : lines) {
        const int i = b->line_count++;
        b->item[i] = l.item;
        setFieldText(b->description[i], l.description);
        b->non_taxable[i] = b->line_total[i] = l.price;
    }
    const std::vector<InvoiceEntry> e = invoiceEntries(*b);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].count, 2);
    EXPECT_EQ(e[1].line, 2);
    EXPECT_EQ(e[2].count, 1);
}

TEST(DocumentRules, OrderConfirmationLinkKeepsItsFieldsWhateverTheShopIsCalled) {
    StoreConfig cfg;
    cfg.setFirstRunDefaults({2026, 12, 6, 9, 5, 0});
    setFieldText(cfg.record().heading[0], "SMITH & SONS");
    setFieldText(cfg.record().clerk_names[0], "ANN");
    auto b = std::make_unique<Basket>();
    std::memset(b.get(), 0, sizeof(Basket));
    b->number = 31;
    b->clerk = 1;
    b->total = 12.5;
    const LocalTime now{2026, 12, 6, 9, 5, 0};
    const std::string none = orderConfirmationLink(cfg.record(), *b, "", now);
    EXPECT_EQ(none.rfind(
                  "mailto:?subject=SMITH %26 SONS Order Confirmation&body=SMITH %26 SONS%0D%0A", 0),
              0u)
        << none;
    EXPECT_NE(none.find("Order reference: 31%0D%0ADate: 09:05 Dec 6 2026%0D%0AAssociate: 1, "
                        "ANN%0D%0ATotal : 12.50%0D%0A%0D%0AThank you for your purchase."),
              std::string::npos)
        << none;
    EXPECT_EQ(orderConfirmationLink(cfg.record(), *b, "ann@example.com", now)
                  .rfind("mailto:ann@example.com?subject=", 0),
              0u);
}

TEST(DocumentRules, LabelSettingsReadWithTheirLimitsAndFallBacks) {
    const struct {
        std::function<void(LabelSettings&)> change;
        const char* refusal;  // nullptr: accepted
        std::function<bool(const LabelJob&)> check;
    } cases[] = {
        {[](LabelSettings& s) { s.finish = "100000000000000001"; },
         "Range limit 100000000000000000", nullptr},
        {[](LabelSettings& s) { s.start = "5"; }, "Invalid range", nullptr},
        {[](LabelSettings& s) {
             s.source = LabelSource::kRepeat;
             s.start = "0";
         },
         "Invalid range", nullptr},
        {[](LabelSettings& s) {
             s.originX = "20001";
             s.fromCentre = "0";
             s.elementWidth = "201";
             s.perSheet = "201";
             s.quantity = "-3";
         },
         nullptr,
         [](const LabelJob& j) {
             return j.originX == 3600 && j.fromCentre == 4800 && j.elementWidth == 200 &&
                    j.perSheet == 16 && j.quantity == 0;
         }},
        {[](LabelSettings& s) {
             s.chooseFormat(LabelFormat::kThreeColumn);
             s.chooseSymbol(LabelSymbol::kEan13);
         },
         nullptr,
         [](const LabelJob& j) {
             return j.labelHeight == 1690 && j.perSheet == 48 && j.elementWidth == 50;
         }},
    };
    for (const auto& k : cases) {
        LabelSettings s;
        k.change(s);
        LabelJob job;
        const Status st = readLabelJob(s, &job);
        if (k.refusal) {
            EXPECT_EQ(st.message(), k.refusal);
        } else {
            ASSERT_TRUE(st) << st.message();
            EXPECT_TRUE(k.check(job));
        }
    }
}

TEST_F(DocumentsTest, TransactionViewerFindsStepsAndSkips) {
    item(7, "TEA BAGS 80", 2.50, 0, 10);
    const int64_t first = sell({7});
    const int64_t discounted = sell({7, 7});
    // The second sale is marked discounted in its journal record, as the
    // discount panel leaves it.
    {
        const LocalTime t = clock.now();
        const std::string path = store->journal().salesLogPath(t.year, t.month, t.day);
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        const double discount = 0.5;
        f.seekp(static_cast<std::streamoff>(kSaleRecordSize + offsetof(SaleRecord, discount)));
        f.write(reinterpret_cast<const char*>(&discount), sizeof discount);
    }
    const int64_t last = sell({7});

    TransactionViewer viewer(*store, ui);
    auto b = std::make_unique<Basket>();
    for (const char* answer : {"0", "200000001", "x"}) {
        ui.replies = {answer};
        EXPECT_FALSE(viewer.choose(TransactionChoice::kDisplay, *b));
    }
    EXPECT_TRUE(ui.shown.empty());

    ui.replies = {std::to_string(first)};
    ASSERT_TRUE(viewer.choose(TransactionChoice::kDisplay, *b));
    TransactionFields f = viewer.fields();
    EXPECT_EQ(f.number, std::to_string(first));
    EXPECT_EQ(f.terminal, "Server");
    EXPECT_EQ(f.type, "Cash sale");
    EXPECT_EQ(f.customer, "N/A");
    ASSERT_EQ(f.inventory.size(), 1u);
    EXPECT_EQ(f.inventory[0], "7 TEA BAGS 80  2.50");
    EXPECT_EQ(b->line_count, 1);
    EXPECT_DOUBLE_EQ(b->total, 2.5);

    ASSERT_TRUE(viewer.next(*b));
    EXPECT_EQ(b->number, discounted);
    ASSERT_TRUE(viewer.next(*b));
    EXPECT_EQ(b->number, last);
    EXPECT_FALSE(viewer.next(*b));
    EXPECT_EQ(said(), "End of list.");
    EXPECT_EQ(b->number, last);

    ui.picks = {0};
    ASSERT_TRUE(viewer.choose(TransactionChoice::kDiscounted, *b));
    EXPECT_EQ(b->number, discounted);
    EXPECT_FALSE(viewer.next(*b)) << "the last sale has no discount";

    ASSERT_TRUE(viewer.choose(TransactionChoice::kLast, *b));
    EXPECT_EQ(b->number, last);
    ui.replies = {"99"};
    EXPECT_FALSE(viewer.choose(TransactionChoice::kDisplay, *b));
    EXPECT_EQ(said(), "No match found");
}

}  // namespace
}  // namespace kassio::test
