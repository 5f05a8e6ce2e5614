// The till's rounding rules and typed amounts, with the documented examples.
#include <gtest/gtest.h>

#include "till/money.h"
#include "till/tender.h"

namespace kassio {
namespace {

TEST(Money, TaxRoundingExamples) {
    struct Case {
        double tax;
        bool noRounding;
        double expected;
    };
    const Case cases[] = {
        {0.198, false, 0.20},   // 20 % of 0.99: digit 8 becomes 9, prints 0.20
        {0.198, true, 0.19},    // not rounded: truncated to cents
        {0.025, false, 0.03},   // 20 % of 0.125: digit 5 becomes 9
        {0.025, true, 0.02},
        {0.024, false, 0.02},
        {0.024, true, 0.02},    // digit below 5: no truncation step
        {2.0, false, 2.00},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(roundTax(c.tax, c.noRounding), c.expected) << c.tax << " " << c.noRounding;
    // Printed to three places first: 0.1449 is "0.145", whose 5 rounds up.
    EXPECT_DOUBLE_EQ(roundTax(0.1449, false), 0.15);
    EXPECT_DOUBLE_EQ(roundMoney(1.005), 1.00);  // "%.2f" of the double as stored
    EXPECT_DOUBLE_EQ(roundMoney(2.675000001), 2.68);
}

TEST(Money, CentsTypedAndCompared) {
    EXPECT_DOUBLE_EQ(typedCentsAmount("2000"), 20.00);
    EXPECT_DOUBLE_EQ(typedCentsAmount("5"), 0.05);
    EXPECT_DOUBLE_EQ(typedCentsAmount("12"), 0.12);
    EXPECT_DOUBLE_EQ(typedCentsAmount(""), 0);
    EXPECT_EQ(wholeCents(12.30), 1230);
    EXPECT_EQ(wholeCents(0.1 + 0.2), 30);
    EXPECT_EQ(wholeCents(-4), 0);
}

TEST(Money, QuickAmounts) {
    const std::pair<double, std::array<double, 3>> cases[] = {
        {12.30, {15, 20, 50}}, {15.00, {20, 30, 100}}, {3.20, {5, 10, 20}},
        {5.00, {5, 10, 20}},   {50.00, {55, 60, 100}}, {5.01, {10, 20, 50}},
        {95.00, {100, 110, 150}}};
    for (const auto& [total, expected] : cases) EXPECT_EQ(quickAmounts(total), expected) << total;
}

}  // namespace
}  // namespace kassio
