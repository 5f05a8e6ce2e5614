// Code sequences: the comma-separated decimal byte values the user types for
// the drawer, the cutter and the pole display ("27,112,0,25,250").
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kassio {

// At most the first 32 characters are read. Each comma-separated field reads
// as a C leading integer (blanks skipped, optional sign, digits up to the
// first non-digit, 0 without digits) and gives its low 8 bits. The end of the
// text closes the last field, so an empty text gives one 00 byte and a
// trailing comma a final 00 byte.
std::vector<uint8_t> codeSequenceBytes(std::string_view text);

}  // namespace kassio
