// The JSON files kassio-station reads (a customer, a sale), parsed with
// nlohmann-json under the rules those files need:
//
// - strict RFC 8259 syntax: no comments, no trailing commas, nothing after
//   the value, strings in UTF-8;
// - objects and arrays nested at most kMaxJsonDepth deep, so that a hostile
//   file cannot make the reader build an unbounded tree;
// - a name that repeats in an object keeps its last value, at the place of
//   its first;
// - members keep the order of the file, so the first bad member of a file
//   is the one a refusal names;
// - integers are read as 64-bit integers, never through a double, so item
//   numbers above 2^53 come out exactly.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace kassio {

using Json = nlohmann::ordered_json;

inline constexpr int kMaxJsonDepth = 32;

// The value of a whole document, or nullopt with what is wrong and where in
// *error: "<what> at byte <offset> (line <l>, column <c>)", the offset
// counted from 0, lines and columns from 1.
std::optional<Json> readJson(std::string_view text, std::string* error = nullptr);

// A number written without fraction or exponent that fits in 64 bits.
std::optional<int64_t> jsonWholeNumber(const Json& value);

// A number that is a sum of money: finite and within +-kMoneyLimit, the
// bound the station itself holds every amount to.
std::optional<double> jsonMoney(const Json& value);

// What jsonMoney() takes, in words for a refusal: "an amount from -X to X".
std::string jsonMoneyWanted();

}  // namespace kassio
