#include "devices/ean13.h"

#include <cinttypes>
#include <cstdio>

namespace kassio {

namespace {

// The seven modules of each digit, '1' a bar: the odd-parity (L) set; the
// even (G) set is R read backwards, and R is L inverted.
constexpr const char* kLeftOdd[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                      "0110001", "0101111", "0111011", "0110111", "0001011"};
// Per first digit, the parity of the six left digits ('G' even).
constexpr const char* kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                     "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

std::string rightPattern(int digit) {
    std::string p = kLeftOdd[digit];
    for (char& c : p) c = c == '1' ? '0' : '1';
    return p;
}

std::string evenPattern(int digit) {
    std::string r = rightPattern(digit);
    return std::string(r.rbegin(), r.rend());
}

}  // namespace

std::string ean13Digits(int64_t value) {
    char buf[32];
    // The magnitude as digits; INT64_MIN has no positive counterpart.
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::snprintf(buf, sizeof buf, "%012" PRIu64, magnitude);
    return std::string(buf).substr(0, 12);
}

int ean13CheckDigit(const std::string& d) {
    int even = 0, odd = 0;
    for (std::size_t i = 0; i < 12 && i < d.size(); ++i) {
        const int digit = d[i] - '0';
        if ((i + 1) % 2 == 0)
            even += digit;
        else
            odd += digit;
    }
    const int check = 10 - (3 * even + odd) % 10;
    return check == 10 ? 0 : check;
}

std::string ean13Text(int64_t value) {
    const std::string digits = ean13Digits(value);
    return digits + static_cast<char>('0' + ean13CheckDigit(digits));
}

std::vector<Ean13Bar> ean13Bars(const std::string& d) {
    std::vector<Ean13Bar> bars;
    if (d.size() != 13) return bars;
    for (int m : {1, 3}) bars.push_back({m, true});
    const char* parity = kParity[d[0] - '0'];
    for (int i = 0; i < 6; ++i) {
        const int digit = d[1 + i] - '0';
        const std::string p = parity[i] == 'L' ? std::string(kLeftOdd[digit]) : evenPattern(digit);
        for (int k = 0; k < 7; ++k)
            if (p[k] == '1') bars.push_back({4 + 7 * i + k, false});
    }
    for (int m : {47, 49}) bars.push_back({m, true});
    for (int i = 0; i < 6; ++i) {
        const std::string p = rightPattern(d[7 + i] - '0');
        for (int k = 0; k < 7; ++k)
            if (p[k] == '1') bars.push_back({51 + 7 * i + k, false});
    }
    for (int m : {93, 95}) bars.push_back({m, true});
    return bars;
}

}  // namespace kassio
