// Fixed-size, NUL-terminated Windows-1252 text fields inside records.
//
// Bytes after the terminator carry no meaning but are preserved as read, so
// setText() writes the text and one NUL and leaves the rest of the array as
// it was (a new record starts all zero anyway).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace kassio {

// The text of a field up to its first NUL, or the whole field when it has
// none (a damaged record must not make us read past the array).
template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    const void* nul = std::memchr(field, 0, N);
    std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N;
    return std::string(field, len);
}

// Stores at most N - 1 characters and a terminating NUL.
template <std::size_t N>
void setFieldText(char (&field)[N], std::string_view text) {
    std::size_t len = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), len);
    field[len] = '\0';
}

// Upper case for the ASCII letters; the forms upper-case as the user types
// and searches compare bytes exactly, so this must not depend on the locale.
std::string upperCase(std::string_view text);

}  // namespace kassio
