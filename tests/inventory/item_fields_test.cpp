#include "inventory/item_fields.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/fixed_text.h"

namespace kassio {
namespace {

InventoryRecord zeroItem() {
    InventoryRecord r;
    std::memset(&r, 0, sizeof r);
    return r;
}

TEST(ItemFields, StoresEachFieldAsTheFormTableSays) {
    ItemFormFields f;
    f.number = "100000000000000000";
    f.description = std::string(45, 'D');
    f.retail = "2.345";  // rounded to cents
    f.cost = "1.005";    // kept as typed
    f.quantity = "abc";  // non-numeric gives 0
    f.onOrder = "-7";
    f.notes = std::string(90, 'N');
    f.noTaxRounding = true;
    f.omitQuickSelect = true;
    f.ageWarning = false;
    f.age = 18;
    f.offer = 4;
    f.sor = 1;
    f.day = 3;
    f.month = 4;
    f.year = 2026;
    InventoryRecord r = zeroItem();
    storeItemFields(f, r);
    EXPECT_EQ(r.number, 100000000000000000LL);
    EXPECT_EQ(fieldText(r.description), std::string(38, 'D'));
    EXPECT_DOUBLE_EQ(r.retail_price, 2.35);
    EXPECT_DOUBLE_EQ(r.cost_price, 1.005);
    EXPECT_EQ(r.quantity, 0);
    EXPECT_EQ(r.on_order, -7);
    EXPECT_EQ(fieldText(r.notes).size(), 78u);
    EXPECT_EQ(r.no_tax_rounding, 2);
    EXPECT_EQ(r.omit_from_quick_select, 2);
    EXPECT_EQ(r.age_limit, 0);
    EXPECT_EQ(r.offer, 4);
    EXPECT_EQ(r.sale_or_return, 1);
    EXPECT_EQ(fieldText(r.date_added), "03/04/2026");

    // Back through the amend presentation.
    ItemFormFields back = itemFields(r, {2030, 1, 1});
    EXPECT_EQ(back.retail, "2.35");
    EXPECT_EQ(back.cost, "1.00");  // "%.2f" of 1.005 as a double
    EXPECT_EQ(back.onOrder, "-7");
    EXPECT_EQ(back.day, 3);
    EXPECT_EQ(back.year, 2026);
    // A stored date from 1980 or before shows today in the picker.
    setFieldText(r.date_added, "01/01/1980");
    EXPECT_EQ(itemFields(r, {2030, 5, 6}).year, 2030);
}

TEST(ItemFields, ReadyReckonerByBoxesAndRates) {
    struct Case {
        int64_t r1, r2;
        bool t1, t2;
        const char* withTax;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {2000, 0, true, false, "12.00", "10.00"},
        {2000, 0, false, true, "12.00", std::nullopt},  // tax 2 rate 0: nothing
        {2000, 0, true, true, "12.00", "10.00"},        // only r1 > 0
        {0, 500, true, true, "10.50", "10.00"},         // only r2 > 0
        {2000, 500, true, true, "12.50", "10.00"},      // both: r1 + r2
        {2000, 0, false, false, "12.00", std::nullopt},
        {2000, 0, true, false, "0", "0.0"},
        {2000, 0, true, false, "-3", "0.0"},
        {2000, 0, true, false, "1234567890", "102880657.50"},  // nine characters read
    };
    for (const Case& c : cases) {
        StoreConfig cfg;
        cfg.record().options[kOptTax1Rate] = c.r1;
        cfg.record().options[kOptTax2Rate] = c.r2;
        EXPECT_EQ(priceWithoutTax(cfg, c.withTax, c.t1, c.t2), c.expected)
            << c.withTax << " r1=" << c.r1 << " r2=" << c.r2;
    }
}

// The boxes and the code follow each other both ways: a ticked Tax 1 box
// never leaves the item stored as "Non taxable".
TEST(ItemFields, TaxBoxesAndTaxCodeAgree) {
    const struct {
        bool t1, t2;
        int code;
    } cases[] = {{false, false, 0}, {true, true, 1}, {true, false, 2}, {false, true, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(taxCodeForBoxes(c.t1, c.t2), c.code);
        EXPECT_EQ(taxCodeHasTax1(c.code), c.t1) << c.code;
        EXPECT_EQ(taxCodeHasTax2(c.code), c.t2) << c.code;
    }
}

TEST(ItemFields, PictureBackAndForwardWrapAndReturnToOwnPicture) {
    ItemPicture own(5, true);
    own.back();  // own picture -> inbuilt 1, own remembered
    EXPECT_FALSE(own.showsOwn());
    EXPECT_EQ(own.pictureNumber(), 1);
    for (int i = 0; i < 23; ++i) own.back();
    EXPECT_EQ(own.pictureNumber(), 24);
    EXPECT_FALSE(own.showsOwn());
    own.back();  // 24 wraps to 1: the remembered own picture again
    EXPECT_TRUE(own.showsOwn());

    ItemPicture inbuilt(1, false);
    inbuilt.forward();  // 1 wraps to 24, no own picture to return to
    EXPECT_EQ(inbuilt.pictureNumber(), 24);
    EXPECT_FALSE(inbuilt.showsOwn());
    ItemPicture own2(3, true);
    own2.forward();
    EXPECT_EQ(own2.pictureNumber(), 24);
    own2.forward();
    EXPECT_EQ(own2.pictureNumber(), 23);
}

TEST(ItemFields, CostVisibleToClerksOneAndTwoAndToOthersUnlessHidden) {
    StoreConfig cfg;
    for (bool hidden : {false, true}) {
        cfg.record().settings_b[kSetBHideCostFromClerks] = hidden ? 2 : 0;
        EXPECT_FALSE(costVisible(cfg, 0));
        EXPECT_TRUE(costVisible(cfg, 1));
        EXPECT_TRUE(costVisible(cfg, 2));
        EXPECT_EQ(costVisible(cfg, 3), !hidden);
    }
}

}  // namespace
}  // namespace kassio
