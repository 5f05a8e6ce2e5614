// The Utilities panels' rules: what each refuses, what it stores at which
// offset, and that a save reaches kq.cfg (a new run reads it back).
#include "admin/store_settings.h"

#include <gtest/gtest.h>

#include "store/store_fixture.h"

namespace kassio::test {
namespace {

class StoreSettingsTest : public StoreTest {
  protected:
    StoreConfigRecord& cfg() { return store->config().record(); }
};

TEST_F(StoreSettingsTest, TaxSetupRefusals) {
    struct Case {
        const char* rate1;
        const char* name1;
        bool inUse1;
        const char* threshold;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"17.5", "VAT", true, "0.00", nullptr},
        {"100", "VAT", true, "", nullptr},
        {"100.01", "VAT", true, "0", "Tax rate must be a percentage from 0 to 100"},
        {"-1", "VAT", true, "0", "Tax rate must be a percentage from 0 to 100"},
        {"ten", "VAT", true, "0", "Tax rate must be a percentage from 0 to 100"},
        {"5", "SALEST", true, "0", "Tax name up to 5 characters"},
        {"5", "", true, "0", "Tax 1 needs a name"},
        {"5", "", false, "0", nullptr},
        {"5", "GST", true, "-0.01", "Threshold must be an amount of 0 or more"},
        {"5", "GST", true, "lots", "Threshold must be an amount of 0 or more"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.rate1);
        TaxSetup t = TaxSetup::load(cfg());
        t.tax1Rate = k.rate1;
        t.tax1Name = k.name1;
        t.tax1InUse = k.inUse1;
        t.threshold = k.threshold;
        Status s = t.check();
        if (!k.message) {
            EXPECT_TRUE(s) << s.message();
        } else {
            EXPECT_EQ(s.message(), k.message);
            EXPECT_EQ(s.title(), kTitleProblem);
        }
    }
}

TEST_F(StoreSettingsTest, TaxSetupStoresAndReloads) {
    TaxSetup t = TaxSetup::load(cfg());
    EXPECT_EQ(t.tax1Rate, "20.00");  // the first start's rate
    EXPECT_TRUE(t.tax1InUse);
    t.tax1Rate = "17.5";
    t.tax2InUse = true;
    t.tax2Name = "PST";
    t.tax2Rate = "7";
    t.tax2OnTax1 = true;
    t.thresholdInUse = true;
    t.threshold = "100.006";
    t.defaultTaxCode = 2;
    ASSERT_TRUE(saveTaxSetup(*store, t));
    open();  // a new run reads kq.cfg
    EXPECT_EQ(cfg().options[kOptTax1Rate], 1750);
    EXPECT_EQ(cfg().options[kOptTax2Rate], 700);
    EXPECT_EQ(cfg().options[kOptTax2InUse], 2);
    EXPECT_EQ(cfg().options[kOptTax2OnTax1], 2);
    EXPECT_EQ(store->config().tax2Name(), "PST");
    EXPECT_EQ(+cfg().settings_b[kSetBTax1Threshold], 2);
    EXPECT_DOUBLE_EQ(cfg().money[kMoneyTax1Threshold], 100.01);
    EXPECT_EQ(+cfg().settings_b[kSetBDefaultTaxCode], 2);
    EXPECT_EQ(TaxSetup::load(cfg()).tax1Rate, "17.50");

    t.tax1Rate = "101";  // refused: nothing changes
    EXPECT_FALSE(saveTaxSetup(*store, t));
    open();
    EXPECT_EQ(cfg().options[kOptTax1Rate], 1750);
}

TEST_F(StoreSettingsTest, PrintHeadingAndNonInventorySettings) {
    PrintHeading h = PrintHeading::load(cfg());
    h.lines[0] = "CORNER SHOP";
    h.lines[6] = std::string(79, 'X');
    ASSERT_TRUE(savePrintHeading(*store, h));
    h.lines[6] += "X";
    EXPECT_EQ(savePrintHeading(*store, h).message(), "Heading lines up to 79 characters");
    h.lines[6].clear();
    h.lines[0] = "  ";
    EXPECT_EQ(savePrintHeading(*store, h).message(), "Store name required");

    NonInventorySettings n = NonInventorySettings::load(cfg());
    EXPECT_EQ(n.labels[1], "Lottery");
    EXPECT_TRUE(n.taxable);  // a new shop sells taxable lines with tax 1
    EXPECT_TRUE(n.tax1());
    EXPECT_FALSE(n.tax2());
    n.labels[1] = "Stamps";
    n.taxable = false;
    n.taxChoice = 2;
    n.clientButtons = false;
    ASSERT_TRUE(saveNonInventorySettings(*store, n));
    n.labels[2] = "Accessoriess";
    EXPECT_EQ(saveNonInventorySettings(*store, n).message(), "Button labels up to 11 characters");

    open();
    EXPECT_EQ(store->config().heading(1), "CORNER SHOP");
    EXPECT_EQ(store->config().heading(7), std::string(79, 'X'));
    NonInventorySettings back = NonInventorySettings::load(cfg());
    EXPECT_EQ(back.labels[1], "Stamps");
    EXPECT_EQ(back.labels[2], "Accessories");
    EXPECT_FALSE(back.taxable);
    EXPECT_TRUE(back.tax1() && back.tax2());
    EXPECT_EQ(+cfg().settings_b[kSetBClientCustomButtons], 0);
}

TEST_F(StoreSettingsTest, FileResetZeroesOnlyTheChosenTotalsAndLogsIt) {
    auto fill = [&] {
        cfg().running_totals[kRunningTakings] = 120;
        cfg().running_totals[3] = 4;
        cfg().sales_totals[kSalesTotalsByCategory + 17] = 9;
        cfg().counters[kCounterCategorySales + 17] = 3;
        cfg().money[kMoneyClientCategorySales] = 8;
        cfg().sales_totals[0] = 7;
        cfg().money[kMoneyPettyCash] = 6;
        cfg().money[kMoneyCashBack] = 5;
    };
    fill();
    EXPECT_EQ(resetFiles(*store, {}).message(), "Nothing chosen");
    ASSERT_TRUE(resetFiles(*store, {ResetPart::kTakings, ResetPart::kCategoryTotals}));
    open();
    EXPECT_EQ(cfg().running_totals[kRunningTakings], 0);
    EXPECT_EQ(cfg().sales_totals[kSalesTotalsByCategory + 17], 0);
    EXPECT_EQ(cfg().counters[kCounterCategorySales + 17], 0);
    EXPECT_EQ(cfg().money[kMoneyClientCategorySales], 0);
    EXPECT_EQ(cfg().running_totals[3], 4);  // not chosen: kept
    EXPECT_EQ(cfg().sales_totals[0], 7);
    EXPECT_EQ(cfg().money[kMoneyPettyCash], 6);
    EXPECT_NE(
        logOfToday().find("  File reset: Till takings since the last closeout and Sales totals and "
                          "counters by category.\r\n"),
        std::string::npos)
        << logOfToday();

    fill();
    ASSERT_TRUE(resetFiles(
        *store, {ResetPart::kRefundTotals, ResetPart::kOverviewTotals, ResetPart::kPettyCash}));
    EXPECT_EQ(cfg().running_totals[3], 0);
    EXPECT_EQ(cfg().sales_totals[0], 0);
    EXPECT_EQ(cfg().money[kMoneyPettyCash] + cfg().money[kMoneyCashBack], 0);
    EXPECT_EQ(cfg().running_totals[kRunningTakings], 120);
    EXPECT_EQ(
        resetSummary({ResetPart::kRefundTotals, ResetPart::kOverviewTotals, ResetPart::kPettyCash}),
        "Refund totals, Overview totals and Petty cash and cash back totals");
}

}  // namespace
}  // namespace kassio::test
