// Code 39 symbols as the receipts and labels draw them: each character is
// nine elements (bar, space, bar, ... bar), narrow or wide.
#pragma once

#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace kassio {

// The nine elements of a character, '1' for wide and '0' for narrow, bars
// at the even positions; nullptr for a character Code 39 cannot carry.
// Digits, upper-case letters, space, "-.$/+%" and the start/stop '*'.
const char* code39Pattern(char c);

// Width of one character in modules (narrow 1, wide 2): always 12.
inline constexpr int kCode39CharModules = 12;
// Characters are this many modules apart: a one-module gap follows each.
inline constexpr int kCode39CharStep = kCode39CharModules + 1;

// Draws the characters of text (the caller adds the start and stop '*')
// as bars of the given module width and height, the first character's
// left edge at x, the bars running from y towards smaller y (downward in
// the 0.01 mm mapping). A character Code 39 cannot carry is drawn as '*'.
// Returns the symbol's width.
int drawCode39(Canvas& canvas, int x, int y, const std::string& text, int module, int height);

}  // namespace kassio
