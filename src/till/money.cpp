#include "till/money.h"

#include <cstdio>
#include <cstdlib>

namespace kassio {

double roundMoney(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    return std::strtod(buf, nullptr);
}

double roundTax(double tax, bool noTaxRounding) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", tax);
    std::string text = buf;
    const int digit = text.empty() ? 0 : text.back() - '0';
    if (digit >= 5) text.back() = '9';
    double rounded = roundMoney(std::strtod(text.c_str(), nullptr));
    if (digit >= 5 && noTaxRounding) rounded = roundMoney(rounded - 0.01);
    return rounded;
}

int64_t wholeCents(double value) {
    if (!(value > 0)) return 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value * 100);
    return std::strtoll(buf, nullptr, 10);
}

double typedCentsAmount(const std::string& typed) {
    std::string text;
    if (typed.size() == 1) {
        text = std::string(".0") + typed;
    } else if (typed.size() >= 2) {
        text = typed.substr(0, typed.size() - 2) + "." + typed.substr(typed.size() - 2);
    }
    return std::strtod(text.c_str(), nullptr);
}

std::string moneyText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    return buf;
}

}  // namespace kassio
