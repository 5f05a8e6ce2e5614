#include "base/numbers.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace kassio {
namespace {

// Skips leading blanks and a '+' (which from_chars does not take).
std::string_view numberStart(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    text.remove_prefix(i);
    if (!text.empty() && text[0] == '+' && (text.size() < 2 || text[1] != '-'))
        text.remove_prefix(1);
    return text;
}

template <typename T>
T integerPrefix(std::string_view text) {
    text = numberStart(text);
    T value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return !text.empty() && text[0] == '-' ? std::numeric_limits<T>::min()
                                               : std::numeric_limits<T>::max();
    }
    return ec == std::errc() ? value : 0;
}

}  // namespace

int64_t numberFromText(std::string_view text) {
    return integerPrefix<int64_t>(text);
}

int32_t integerFromText(std::string_view text) {
    return integerPrefix<int32_t>(text);
}

double decimalFromText(std::string_view text) {
    text = numberStart(text);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return !text.empty() && text[0] == '-' ? -std::numeric_limits<double>::infinity()
                                               : std::numeric_limits<double>::infinity();
    }
    return ec == std::errc() ? value : 0;
}

std::optional<int64_t> positiveNumber(std::string_view text) {
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::optional<double> decimalNumber(std::string_view text) {
    text = numberStart(text);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace kassio
