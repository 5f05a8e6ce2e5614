#include "devices/code39.h"

#include <cstring>

namespace kassio {

namespace {

struct Entry {
    char c;
    const char* pattern;
};

// The standard Code 39 table: three of the nine elements are wide.
constexpr Entry kTable[] = {
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
    {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
    {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
    {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
    {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
    {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
    {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
    {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
    {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
    {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"}, {'*', "010010100"},
};

}  // namespace

const char* code39Pattern(char c) {
    for (const Entry& e : kTable)
        if (e.c == c) return e.pattern;
    return nullptr;
}

int drawCode39(Canvas& canvas, int x, int y, const std::string& text, int module, int height) {
    const int left = x;
    for (char c : text) {
        const char* pattern = code39Pattern(c);
        if (!pattern) pattern = code39Pattern('*');
        for (int element = 0; element < 9; ++element) {
            const int width = (pattern[element] == '1' ? 2 : 1) * module;
            if (element % 2 == 0) canvas.fillRect(x, y, x + width, y - height);
            x += width;
        }
        x += module;  // the gap after the character
    }
    return x - left;
}

}  // namespace kassio
