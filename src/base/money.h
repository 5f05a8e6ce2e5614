// Money as the till computes it: doubles in currency units, rounded to
// cents by printing and reading back, so the result is what the receipt,
// the journal and the reports show.
#pragma once

#include <cstdint>
#include <string>

namespace kassio {

// The largest amount of money, either way, the system takes in from a
// client station, a form, a typed entry or an import: far beyond any
// shop's sale or balance, and far inside what a double holds to the cent
// (2^53 cents). Anything beyond it, and any NaN or infinity, is refused
// before it can reach a stored total.
inline constexpr double kMoneyLimit = 1e9;

// Finite and within +-kMoneyLimit.
bool isSaneMoney(double value);

// What the till says when a typed amount (a tender, cash back, a price, a
// balance) is no sum of money: NaN, an infinity, or beyond kMoneyLimit.
// The amount is refused before it is converted or stored.
inline constexpr const char* kAmountOutOfRange =
    "Amount outside range: the till takes at most 1000000000.00";

// "%.2f" and back.
double roundMoney(double value);

// The line tax rounding: "%.3f"; a thousandths digit of 5 or more becomes
// 9 before the "%.2f" rounding (half-up whatever the double's binary
// form); then, when the item's tax is not to be rounded and that digit was
// 5 or more, 0.01 less (the tax truncated to cents).
double roundTax(double tax, bool noTaxRounding);

// Whole cents of a value: "%.2f" of value x 100 read as an integer; values
// not above 0 are 0 cents.
int64_t wholeCents(double value);

// An amount typed in cents without a decimal point: "1230" is 12.30 and a
// single digit "5" is 0.05. Text that is not digits reads as far as it
// goes, as a number would.
double typedCentsAmount(const std::string& typed);

// "%.2f".
std::string moneyText(double value);

}  // namespace kassio
