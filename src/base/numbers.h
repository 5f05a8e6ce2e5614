// Numbers typed by a clerk or read from a stored text. Everything here
// reads with std::from_chars, so the user's locale can never change how
// "12.50" reads (a German desktop would otherwise stop at the comma).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kassio {

// The decimal number at the start of the text, as far as it reads (leading
// blanks and a sign allowed); 0 when there is none. Out-of-range values
// clamp to the type's limits.
int64_t numberFromText(std::string_view text);
int32_t integerFromText(std::string_view text);
double decimalFromText(std::string_view text);

// Text that reads entirely as a decimal number of 1 or more.
std::optional<int64_t> positiveNumber(std::string_view text);
// Text that reads entirely as a decimal number (a blank before it allowed).
std::optional<double> decimalNumber(std::string_view text);

}  // namespace kassio
