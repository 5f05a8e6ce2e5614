#include "base/money.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "base/numbers.h"
#include "base/text_format.h"

namespace kassio {

namespace {

// "%.%df" as the C locale prints it, whatever the process locale is.
std::string fixedText(double value, int decimals) {
    char buf[400];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

}  // namespace

bool isSaneMoney(double value) {
    return std::isfinite(value) && value <= kMoneyLimit && value >= -kMoneyLimit;
}

double roundMoney(double value) {
    if (!std::isfinite(value)) return value;
    return decimalFromText(fixedText(value, 2));
}

double roundTax(double tax, bool noTaxRounding) {
    if (!std::isfinite(tax)) return tax;
    std::string text = fixedText(tax, 3);
    const int digit = text.empty() ? 0 : text.back() - '0';
    if (digit >= 5) text.back() = '9';
    double rounded = roundMoney(decimalFromText(text));
    if (digit >= 5 && noTaxRounding) rounded = roundMoney(rounded - 0.01);
    return rounded;
}

int64_t wholeCents(double value) {
    if (!(value > 0) || !std::isfinite(value * 100)) return 0;
    return numberFromText(fixedText(value * 100, 2));
}

double typedCentsAmount(const std::string& typed) {
    std::string text;
    if (typed.size() == 1) {
        text = std::string(".0") + typed;
    } else if (typed.size() >= 2) {
        text = typed.substr(0, typed.size() - 2) + "." + typed.substr(typed.size() - 2);
    }
    return decimalFromText(text);
}

std::string moneyText(double value) {
    if (!std::isfinite(value)) return formatted("%.2f", value);
    return fixedText(value, 2);
}

}  // namespace kassio
