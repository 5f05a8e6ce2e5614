// EAN-13 symbols as the barcode labels draw them ("EAN (UPC A)"): twelve
// digits and their check digit in 95 modules, laid out from module 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kassio {

// The twelve digits a value encodes: fewer are zero-padded on the left,
// more are cut to the first twelve. Negative values encode their digits.
std::string ean13Digits(int64_t value);

// The check digit of twelve digits: three times the digits in even
// positions plus those in odd positions, from 10 minus the remainder by
// 10, with 10 becoming 0.
int ean13CheckDigit(const std::string& twelveDigits);

// The thirteen digits printed under the symbol.
std::string ean13Text(int64_t value);

// One bar of the symbol, in modules from the symbol's left edge.
struct Ean13Bar {
    int module;
    bool guard;  // guard bars are drawn longer than data bars
};

// Every one-module bar of the symbol for thirteen digits: the left guard
// at modules 1 and 3, the left six digits from module 4 in the parity set
// the first digit chooses, the centre guard at 47 and 49, the right six
// from 51, and the right guard at 93 and 95.
std::vector<Ean13Bar> ean13Bars(const std::string& thirteenDigits);

}  // namespace kassio
