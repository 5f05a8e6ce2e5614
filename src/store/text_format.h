// printf-style formatting into a std::string, for the system's documented
// formats ("%.2f", "%02d:%02d", log lines). Callers pass plain values;
// int64 numbers go as long long with "%lld".
#pragma once

#include <cstdio>
#include <string>

namespace kassio {

template <typename... Args>
std::string formatted(const char* format, Args... args) {
    int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, format, args...);
    return out;
}

}  // namespace kassio
