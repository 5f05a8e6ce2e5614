// Code 39 symbols as the receipts and labels draw them: each character is
// nine elements (bar, space, bar, ... bar), narrow or wide.
#pragma once

#include <string_view>

namespace kassio {

// The nine elements of a character, '1' for wide and '0' for narrow, bars
// at the even positions; nullptr for a character Code 39 cannot carry.
// Digits, upper-case letters, space, "-.$/+%" and the start/stop '*'.
const char* code39Pattern(char c);

// Width of one character in modules (narrow 1, wide 2): always 12.
inline constexpr int kCode39CharModules = 12;

}  // namespace kassio
