// The Basket a client station builds: taxes, rounding, thresholds and
// offers as the till works them out, and the sale files it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

#include "base/fixed_text.h"
#include "base/money.h"
#include "server/client_sale.h"

namespace kassio {
namespace {

ClientSaleLine units(int64_t item, int count = 1) {
    ClientSaleLine line;
    line.item = item;
    line.count = count;
    return line;
}

class ClientSaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config = std::make_unique<ClientConfig>();
        std::memset(config.get(), 0, sizeof *config);
        config->options[kOptTax1InUse] = 2;
        config->options[kOptTax1Rate] = 2000;  // 20.00 %
        config->next_transaction = 41;
        lookups.item = [this](int64_t n, InventoryRecord& out) {
            std::memset(&out, 0, sizeof out);
            if (items.count(n)) out = items[n];
            return Status::ok();
        };
        lookups.customer = [](int64_t n, CustomerRecord& out) {
            std::memset(&out, 0, sizeof out);
            if (n == 7) {
                out.number = 7;
                setFieldText(out.name, "J SMITH");
                setFieldText(out.town, "LEEDS");
            }
            return Status::ok();
        };
    }

    void item(int64_t n, double price, int32_t tax, int32_t offer = 0, int32_t noRounding = 0) {
        InventoryRecord r;
        std::memset(&r, 0, sizeof r);
        r.number = n;
        setFieldText(r.description, ("ITEM " + std::to_string(n)).c_str());
        r.retail_price = price;
        r.cost_price = price / 2;
        r.tax = tax;
        r.offer = offer;
        r.no_tax_rounding = noRounding;
        items[n] = r;
    }

    std::unique_ptr<Basket> build(std::vector<ClientSaleLine> lines, const char* payment = "Cash",
                                  Status* status = nullptr) {
        ClientSale sale;
        sale.payment = payment;
        sale.station = "TILL 2";
        sale.lines = std::move(lines);
        auto b = std::make_unique<Basket>();
        Status s = buildClientBasket(sale, *config, lookups, {2026, 12, 6, 9, 5, 0}, *b);
        if (status)
            *status = s;
        else
            EXPECT_TRUE(s) << s.message();
        return b;
    }

    std::unique_ptr<ClientConfig> config;
    std::map<int64_t, InventoryRecord> items;
    SaleLookups lookups;
};

TEST_F(ClientSaleTest, TaxesRoundAndAddUpAsAtTheTill) {
    config->options[kOptTax2InUse] = 2;
    config->options[kOptTax2Rate] = 1000;  // 10.00 %, on the price plus tax 1
    config->options[kOptTax2OnTax1] = 2;
    item(1, 0.99, 2);
    item(2, 0.99, 2, 0, 2);  // tax not rounded up
    item(3, 0.125, 2);
    item(4, 10, 3);
    item(5, 10, 1);
    item(6, 4, 0);
    struct Case {
        int64_t item;
        double tax1, tax2;
    };
    const Case cases[] = {{1, 0.20, 0}, {2, 0.19, 0},    {3, 0.03, 0},
                          {4, 0, 1.00}, {5, 2.00, 1.20}, {6, 0, 0}};
    std::vector<ClientSaleLine> all;
    for (const Case& c : cases) all.push_back(units(c.item));
    auto b = build(all);
    double total = 0;
    for (int i = 0; i < b->line_count; ++i) {
        EXPECT_DOUBLE_EQ(+b->tax1[i], cases[i].tax1) << "item " << cases[i].item;
        EXPECT_DOUBLE_EQ(+b->tax2[i], cases[i].tax2) << "item " << cases[i].item;
        total += b->line_total[i];
    }
    EXPECT_DOUBLE_EQ(+b->total_tax1, 2.42);
    EXPECT_DOUBLE_EQ(+b->total_tax2, 2.20);
    EXPECT_DOUBLE_EQ(+b->subtotal, 26.10);  // rounded as it grows: 2.105 is 2.1049... in binary
    EXPECT_NEAR(+b->total, total, 0.005 * +b->line_count);
    EXPECT_DOUBLE_EQ(+b->total_non_taxable, 4);

    // The threshold: the line that crosses 100 carries tax 1 on all of it.
    config->settings_b[kSetBTax1Threshold] = 2;
    config->money[kMoneyTax1Threshold] = 100;
    item(90, 90, 2);
    item(50, 50, 2);
    item(20, 20, 2);
    b = build({units(90), units(20), units(20)});
    EXPECT_DOUBLE_EQ(+b->tax1[0], 0);
    EXPECT_DOUBLE_EQ(+b->tax1[1], 22.00);
    EXPECT_DOUBLE_EQ(+b->tax1[2], 4.00);
    EXPECT_DOUBLE_EQ(+build({units(50), units(20)})->tax1[1], 0);
}

TEST_F(ClientSaleTest, OffersMakeEverySecondOrThirdUnitFree) {
    item(2, 5, 0, 2);
    item(4, 5, 0, 4);
    auto b = build({units(2, 4)});
    EXPECT_EQ(+b->line_count, 4);
    const double bogof[] = {5, 0, 5, 0};
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(+b->line_total[i], bogof[i]) << i;
    b = build({units(4, 6)});
    const double threeForTwo[] = {5, 5, 0, 5, 5, 0};
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(+b->line_total[i], threeForTwo[i]) << i;
    EXPECT_DOUBLE_EQ(+b->total, 20);
}

TEST_F(ClientSaleTest, RefusedSales) {
    item(1, 2.5, 0);
    struct Case {
        std::vector<ClientSaleLine> lines;
        const char* payment;
        const char* message;
    };
    const Case cases[] = {
        {{units(1, 401)}, "Cash", "Transaction limit 400 items"},
        {{units(1, 200), units(1, 201)}, "Cash", "Transaction limit 400 items"},
        {{}, "Cash", "No items"},
        {{units(9)}, "Cash", "9"},
        {{units(1)}, "Split", "Payment must be \"Cash\", \"CH\", \"EFT\" or \"Credit\""},
        {{units(1)}, "Credit", "A sale on credit needs a customer"},
    };
    for (const Case& c : cases) {
        Status s;
        build(c.lines, c.payment, &s);
        EXPECT_EQ(s.message(), c.message);
    }
    Status s;
    build({units(1, 400)}, "Cash", &s);
    EXPECT_TRUE(s);
}

TEST(ClientSaleFile, ReadsTheDocumentedShapeAndRefusesOthers) {
    auto json = readJson(R"({"station": "CAFÉ", "clerk": 2, "payment": "CH",
        "customer": 9007199254740993, "kind": 1, "restock": 1,
        "lines": [{"item": 42, "count": 3}, {"description": "MISC", "price": 1e9, "tax": 2,
                   "cost": -1e9}]})");
    ASSERT_TRUE(json);
    ClientSale sale;
    ASSERT_TRUE(readClientSale(*json, true, sale));
    EXPECT_EQ(sale.station, "CAF\xC9");
    EXPECT_EQ(sale.customer, 9007199254740993LL);  // 2^53 + 1, not rounded through a double
    EXPECT_EQ(sale.kind, 1);
    ASSERT_EQ(sale.lines.size(), 2u);
    EXPECT_EQ(sale.lines[0].count, 3);
    EXPECT_EQ(sale.lines[1].tax, 2);
    EXPECT_EQ(sale.lines[1].price, kMoneyLimit);

    struct Case {
        const char* json;
        const char* message;
    };
    const Case cases[] = {
        {R"([])", "The sale must be a JSON object"},
        {R"({"lines": 3})", "\"lines\" must be a list of lines"},
        {R"({"lines": [{"count": 2}]})", "Line 1: a line needs an \"item\" or a \"description\""},
        {R"({"lines": [{"item": 1}, {"item": 1, "count": 0}]})", "Line 2: \"count\" must be 1"},
        {R"({"lines": [{"item": -4}]})", "Line 1: \"item\" must be an item number"},
        {R"({"lines": [{"item": 1.5}]})", "Line 1: \"item\" must be an item number"},
        {R"({"clerk": "one", "lines": []})", "\"clerk\" must be a whole number"},
        {R"({"lines": [{"description": "X", "tax": 4}]})",
         "Line 1: \"tax\" must be a tax code 0..3"},
        {R"({"kind": 99999999999, "lines": []})", "\"kind\" must be a whole number"},
        {R"({"lines": [{"description": "X", "price": 1.5e9}]})",
         "Line 1: \"price\" must be an amount from -1000000000 to 1000000000"},
        {R"({"lines": [{"description": "X", "cost": -1e300}]})", "Line 1: \"cost\" must be"},
        {R"({"lines": [{"description": "X", "price": "2.00"}]})", "Line 1: \"price\" must be"},
    };
    for (const Case& c : cases) {
        auto doc = readJson(c.json);
        ASSERT_TRUE(doc) << c.json;
        Status s = readClientSale(*doc, false, sale);
        EXPECT_FALSE(s) << c.json;
        EXPECT_EQ(s.message().rfind(c.message, 0), 0u) << c.json << ": " << s.message();
    }
}

}  // namespace
}  // namespace kassio
