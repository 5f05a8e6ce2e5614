// printf-style formatting into a std::string, for the system's stored and
// printed formats ("%.2f", "%02d:%02d", log lines). The format attribute
// lets the compiler check every call's arguments against its format, so a
// 64-bit number goes as long long with "%lld" (or PRId64).
#pragma once

#include <string>

namespace kassio {

std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kassio
