// The till's rounding rules and typed amounts, with the documented examples.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>
#include "base/money.h"

#include "base/numbers.h"

namespace kassio {
namespace {

TEST(Money, TaxRoundingExamples) {
    struct Case {
        double tax;
        bool noRounding;
        double expected;
    };
    const Case cases[] = {
        {0.198, false, 0.20},  // 20 % of 0.99: digit 8 becomes 9, prints 0.20
        {0.198, true, 0.19},   // not rounded: truncated to cents
        {0.025, false, 0.03},  // 20 % of 0.125: digit 5 becomes 9
        {0.025, true, 0.02},  {0.024, false, 0.02},
        {0.024, true, 0.02},  // digit below 5: no truncation step
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

TEST(Numbers, ReadAsFarAsTheyGoWhateverTheLocale) {
    // A desktop in a comma-decimal locale must not change what is read.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(decimalFromText("12.50"), 12.5);
    EXPECT_EQ(decimalFromText(" +3.25x"), 3.25);
    EXPECT_EQ(decimalFromText("abc"), 0);
    EXPECT_EQ(moneyText(12.5), "12.50");
    EXPECT_EQ(numberFromText("  42abc"), 42);
    EXPECT_EQ(numberFromText("-7"), -7);
    EXPECT_EQ(numberFromText("99999999999999999999"), INT64_MAX);
    EXPECT_EQ(integerFromText("99999999999"), INT32_MAX);
    EXPECT_EQ(integerFromText("-99999999999"), INT32_MIN);
    EXPECT_EQ(positiveNumber("12"), 12);
    EXPECT_FALSE(positiveNumber("0"));
    EXPECT_FALSE(positiveNumber("12a"));
    EXPECT_FALSE(positiveNumber(""));
    EXPECT_EQ(decimalNumber("1.5"), 1.5);
    EXPECT_FALSE(decimalNumber("1.5kg"));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace kassio
