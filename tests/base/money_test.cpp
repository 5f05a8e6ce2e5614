// The till's rounding rules and typed amounts, with the documented examples.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include "base/money.h"

#include "base/numbers.h"
#include "base/timestamp.h"

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

// Dates as the journal stores them: English, plain ASCII, weekday right
// across leap years and centuries, the fallback outside the valid range;
// the same under any locale the desktop has.
TEST(Dates, ReceiptDateTextIsOursWhateverTheLocale) {
    struct Case {
        int day, month, year;
        const char* text;
    };
    const Case cases[] = {
        {6, 12, 2026, "Sun 6 Dec 26"},    {29, 2, 2024, "Thu 29 Feb 24"},
        {1, 1, 2000, "Sat 1 Jan 00"},     {1, 3, 2100, "Mon 1 Mar 00"},
        {31, 12, 1980, "Wed 31 Dec 80"},  {1, 1, 1979, "D: 1 M: 1 Y:1979"},
        {0, 5, 2026, "D: 0 M: 5 Y:2026"}, {5, 13, 2026, "D: 5 M:13 Y:2026"},
    };
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    for (const char* locale : {"C", "C.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        std::setlocale(LC_ALL, locale);
        for (const Case& c : cases) {
            LocalTime t;
            t.day = c.day;
            t.month = c.month;
            t.year = c.year;
            EXPECT_EQ(localeDateText(t), c.text) << locale << " " << c.year;
        }
    }
    std::setlocale(LC_ALL, saved.c_str());
}

// Typed amounts are money only when finite and within the bound.
TEST(Money, SaneMoneyBounds) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {0.0, -0.01, kMoneyLimit, -kMoneyLimit, 12.5}) EXPECT_TRUE(isSaneMoney(v)) << v;
    for (double v : {nan, inf, -inf, std::nextafter(kMoneyLimit, inf), 1e30})
        EXPECT_FALSE(isSaneMoney(v)) << v;
    // What a keypad entry of too many digits reads as is refused, not clamped.
    EXPECT_FALSE(isSaneMoney(typedCentsAmount(std::string(40, '9'))));
    EXPECT_FALSE(isSaneMoney(decimalFromText("1e30")));
    EXPECT_FALSE(isSaneMoney(decimalFromText("nan")));
    EXPECT_FALSE(isSaneMoney(decimalFromText("-inf")));
}

}  // namespace
}  // namespace kassio
