// kq.cfg: the first-start values at their documented offsets, and the rules
// of the General and Terms configuration pages.
#include <gtest/gtest.h>

#include <cstring>

#include "store/store_config.h"

namespace kassio {
namespace {

template <typename T>
T at(const StoreConfig& cfg, std::size_t offset) {
    T v;
    std::memcpy(&v, cfg.bytes() + offset, sizeof v);
    return v;
}

std::string text(const StoreConfig& cfg, std::size_t offset, std::size_t len) {
    return std::string(reinterpret_cast<const char*>(cfg.bytes()) + offset, len);
}

const LocalTime kToday{2026, 12, 6, 10, 0, 0};

TEST(StoreConfig, FirstStartValuesAtTheirOffsets) {
    StoreConfig cfg;
    cfg.setFirstRunDefaults(kToday);
    EXPECT_EQ(text(cfg, 9, 27), "ALCBEEBOOCANCARCOFDELDRIDVD");
    EXPECT_EQ(text(cfg, 4814, 27), "FROFRUHARMSCPAPPOPTEASWEWIN");
    for (int band = 0; band < 8; ++band) {
        EXPECT_EQ(at<int32_t>(cfg, 40 + 4 * band), band + 1);
        EXPECT_EQ(at<int64_t>(cfg, 4480 + 8 * band), band + 1);
    }
    const std::pair<std::size_t, int64_t> int32s[] = {
        {72, 99},   {76, 6},     {4792, 1},     {4796, 2},  {12690, 14}, {13054, 2},  {13110, 2},
        {13142, 2}, {13258, 1},  {13262, 1},    {13266, 1}, {12594, 6},  {12598, 12}, {12602, 2026},
        {12606, 6}, {12610, 12}, {12614, 2026}, {13178, 7}, {13222, 30}, {13234, 34}, {12694, 0},
        {12702, 0}, {5662, 1},   {5682, 5},     {5686, 7},  {5690, 4},   {5718, 2},   {5722, 8}};
    for (auto [offset, value] : int32s) EXPECT_EQ(at<int32_t>(cfg, offset), value) << offset;
    const std::pair<std::size_t, int64_t> int64s[] = {{4336, 1}, {4544, 2}, {4560, 0}, {4576, 2000},
                                                      {4584, 2}, {4592, 0}, {4408, 0}};
    for (auto [offset, value] : int64s) EXPECT_EQ(at<int64_t>(cfg, offset), value) << offset;
    EXPECT_EQ(at<double>(cfg, 4854), 100.0);
    EXPECT_EQ(cfg.bytes()[4805], 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 4841), "VAT 1");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 4847), "VAT 2");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 2392), "Misc");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 2392 + 3 * 80), "Loose items");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 6582), "27,112,0,25,250");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 7190), "Administrator");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 7220), "Manager");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 7250), "Clerk 3");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 7190 + 99 * 30), "Clerk 100");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 10190 + 10), "");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 11310), "Always happy to help!");
    EXPECT_EQ(cfg.bytes()[80], 0);  // heading left for the start to fill
    EXPECT_EQ(cfg.clerkName(100), "Clerk 100");
    EXPECT_EQ(cfg.clerkName(0), "");
}

// The clerk permission flags have no documented place: a value other than
// 0, 1 or 2 there is someone else's data, read as unset; the next field
// (button tips) is not touched.
TEST(StoreConfig, PermissionFlagsOutsideTheirValuesReadAsUnset) {
    StoreConfig cfg;
    cfg.setFirstRunDefaults(kToday);
    StoreConfigRecord& r = cfg.record();
    const int32_t stored[] = {0, 1, 2, 3, -1, 0x20202020, INT32_MIN, 2};
    const int32_t loaded[] = {0, 1, 2, 0, 0, 0, 0, 2};
    for (int i = 0; i < 8; ++i) r.settings_b[kSetBPermitNewLine + i] = stored[i];
    r.settings_b[kSetBButtonTipsOff] = 7;
    cfg.repair();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(r.settings_b[kSetBPermitNewLine + i], loaded[i]) << 13282 + 4 * i;
    EXPECT_EQ(r.settings_b[kSetBButtonTipsOff], 7);
}

TEST(StoreConfig, LocaleCurrencyIsTakenOnce) {
    StoreConfig cfg;
    cfg.adoptLocaleCurrency("CHF12");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 4800), "CHF1");
    EXPECT_EQ(cfg.bytes()[4805], 2);
    cfg.adoptLocaleCurrency("\x80");
    EXPECT_STREQ(reinterpret_cast<const char*>(cfg.bytes() + 4800), "CHF1");
}

TEST(GeneralPage, StoresItsFieldsByTheirRules) {
    StoreConfig cfg;
    cfg.setFirstRunDefaults({2020, 5, 1, 0, 0, 0});
    GeneralPage page = GeneralPage::load(cfg);
    EXPECT_EQ(page.defaultNewCategoryIndex, 14);  // 0 stored: the page offers 15
    EXPECT_TRUE(page.summaryBox);

    page.inventoryNextStart = 5000;
    page.customerNextStart = 1;
    page.defaultButtonCategoryIndex = 3;
    page.defaultNewCategoryIndex = 0;
    page.defaultTillFloat = "abc";
    page.tax1Name = "SALESTAX";
    page.categoryCodes[17] = "WINES";
    page.historyDay = 1;
    page.historyMonth = 6;
    page.historyYearIndex = 5;  // 2025
    page.summaryBox = false;
    page.secondCurrency = true;
    page.secondCurrencySymbol = "USD$";
    page.secondCurrencyRate = 1.25;
    page.apply(cfg, kToday);

    const StoreConfigRecord& r = cfg.record();
    EXPECT_EQ(r.options[kOptItemNumberBase], 4999);
    EXPECT_EQ(r.options[kOptCustomerNumberBase], 0);
    EXPECT_EQ(r.settings_b[kSetBDefaultButtonCategory], 4);
    EXPECT_EQ(r.settings_b[kSetBDefaultNewCategory], 1);
    EXPECT_EQ(r.default_till_float, 100.0);  // not a number: kept
    EXPECT_EQ(cfg.tax1Name(), "SALES");
    EXPECT_EQ(cfg.categoryCode(17), "WIN");
    EXPECT_EQ(r.settings_a[kSetAHistoryStart + 2], 2025);
    EXPECT_EQ(r.settings_a[kSetAHistoryStart + 1], 6);
    EXPECT_EQ(r.options[kOptNoSummaryBox], 1);
    EXPECT_STREQ(r.second_currency_symbol, "USD");
    EXPECT_EQ(r.money[kMoneySecondCurrencyRate], 1.25);

    // A history date after today is ignored; the float takes a number.
    page = GeneralPage::load(cfg);
    page.historyYearIndex = 6;  // 2026
    page.historyMonth = 12;
    page.historyDay = 7;
    page.defaultTillFloat = "150.5";
    page.summaryBox = true;
    page.apply(cfg, kToday);
    EXPECT_EQ(r.settings_a[kSetAHistoryStart + 2], 2025);
    EXPECT_EQ(r.default_till_float, 150.5);
    EXPECT_EQ(r.options[kOptNoSummaryBox], 0);
    page.historyDay = 6;  // today itself is taken
    page.apply(cfg, kToday);
    EXPECT_EQ(r.settings_a[kSetAHistoryStart + 2], 2026);

    // A stored date that is no date (a short kq.cfg reads month 0) is kept
    // as it was rather than compared (found by fuzzing: month 0 indexed
    // before the month table).
    for (auto [day, month] : {std::pair{1, 0}, {1, 13}, {0, 6}, {32, 6}, {-5, -1}}) {
        page.historyYearIndex = 5;
        page.historyDay = day;
        page.historyMonth = month;
        page.apply(cfg, kToday);
        EXPECT_EQ(r.settings_a[kSetAHistoryStart + 2], 2026) << day << "/" << month;
    }
}

TEST(TermsPage, BandsStoreBothListsAndNameTheBand) {
    StoreConfig cfg;
    cfg.setFirstRunDefaults(kToday);
    EXPECT_EQ(termsBandText(cfg, 1), "No credit,Nett");
    EXPECT_EQ(termsBandText(cfg, 8), "180 days,50% disc");
    TermsPage page = TermsPage::load(cfg);
    page.discountIndex[2] = 0;
    page.periodIndex[2] = 3;
    page.apply(cfg);
    EXPECT_EQ(cfg.record().terms_discount[2], 1);
    EXPECT_EQ(cfg.record().options[kOptTermsPeriod + 2], 4);
    EXPECT_EQ(termsBandText(cfg, 3), "30 days,Nett");
    EXPECT_EQ(termsBandText(cfg, 0), "");

    // Codes a kq.cfg written elsewhere may hold: a period outside 2..8 reads
    // "No credit,", a discount outside 1..8 adds nothing, and the page
    // selects nothing for either (INT32_MIN - 1 overflowed once).
    struct Case {
        int64_t period;
        int32_t discount;
        const char* text;
        int periodIndex, discountIndex;
    };
    const Case cases[] = {
        {0, 1, "No credit,Nett", -1, 0},
        {9, 9, "No credit,", -1, -1},
        {1, 0, "No credit,", 0, -1},
        {INT64_MIN, INT32_MIN, "No credit,", -1, -1},
        {INT64_MAX, INT32_MAX, "No credit,", -1, -1},
        {8, 8, "180 days,50% disc", 7, 7},
    };
    for (const Case& c : cases) {
        cfg.record().options[kOptTermsPeriod + 4] = c.period;
        cfg.record().terms_discount[4] = c.discount;
        EXPECT_EQ(termsBandText(cfg, 5), c.text) << c.period << " " << c.discount;
        const TermsPage loaded = TermsPage::load(cfg);
        EXPECT_EQ(loaded.periodIndex[4], c.periodIndex) << c.period;
        EXPECT_EQ(loaded.discountIndex[4], c.discountIndex) << c.discount;
    }
}

// Numbering bases and offered numbers at the ends of their ranges (found by
// fuzzing: base + 1 and the last number of a run + 1 overflowed).
TEST(GeneralPage, NumberingBasesAtTheEndsOfTheirRange) {
    struct Case {
        int64_t base;
        int64_t next;   // numberAfterBase
        int64_t shown;  // the page's start point
    };
    const Case cases[] = {
        {0, 1, 1},
        {41, 42, 42},
        {-1, 0, 1},
        {INT64_MIN, 0, 1},
        {kMaxRecordNumber - 1, kMaxRecordNumber, kMaxRecordNumber},
        {kMaxRecordNumber, 0, 1},
        {INT64_MAX, 0, 1},
    };
    StoreConfig cfg;
    cfg.setFirstRunDefaults(kToday);
    for (const Case& c : cases) {
        EXPECT_EQ(numberAfterBase(c.base), c.next) << c.base;
        cfg.record().options[kOptItemNumberBase] = c.base;
        GeneralPage page = GeneralPage::load(cfg);
        EXPECT_EQ(page.inventoryNextStart, c.shown) << c.base;
        page.inventoryNextStart = INT64_MIN;  // typed: starts at 1
        page.apply(cfg, kToday);
        EXPECT_EQ(cfg.record().options[kOptItemNumberBase], 0) << c.base;
    }
}

}  // namespace
}  // namespace kassio
