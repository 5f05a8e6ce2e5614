#include "devices/code_sequence.h"

#include <cstddef>

namespace kassio {

namespace {

constexpr std::size_t kMaxSequenceChars = 32;

// A leading integer as atoi reads it. Values past the range of long long
// saturate rather than overflow; only the low 8 bits are used, and a
// sequence of that size is a typing error anyway.
uint8_t fieldByte(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    unsigned long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (value < (1ULL << 60)) value = value * 10 + static_cast<unsigned>(field[i] - '0');
    }
    if (negative) value = 0 - value;  // two's complement: "-1" is FF
    return static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

std::vector<uint8_t> codeSequenceBytes(std::string_view text) {
    if (text.size() > kMaxSequenceChars) text = text.substr(0, kMaxSequenceChars);
    std::vector<uint8_t> bytes;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            bytes.push_back(fieldByte(text.substr(start)));
            return bytes;
        }
        bytes.push_back(fieldByte(text.substr(start, comma - start)));
        start = comma + 1;
    }
}

}  // namespace kassio
