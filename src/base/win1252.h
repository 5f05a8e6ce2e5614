// Windows-1252 <-> UTF-8, used only where text leaves or enters the core
// (the screen, exports, the locale). Inside the core, texts stay 1252 bytes.
#pragma once

#include <string>
#include <string_view>

namespace kassio {

// Every 1252 byte has a UTF-8 form; the five bytes 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value so
// that a round trip keeps them.
std::string win1252ToUtf8(std::string_view text);

// Characters 1252 cannot hold become '?'; malformed UTF-8 bytes likewise.
std::string utf8ToWin1252(std::string_view text);

}  // namespace kassio
