// JsonValue: a small JSON reader for the files kassio-station reads
// (a customer, a sale). Strict RFC 8259 syntax; numbers keep their text so
// that item numbers above 2^53 are read exactly. Strings are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kassio {

class JsonValue {
  public:
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };

    // The value of a whole document, or nullopt with the reason and the
    // byte offset where reading stopped in *error.
    static std::optional<JsonValue> parse(std::string_view text, std::string* error = nullptr);

    Kind kind() const { return m_kind; }
    bool isObject() const { return m_kind == Kind::kObject; }

    // A string's content, or a number's literal text.
    const std::string& text() const { return m_text; }
    bool boolean() const { return m_bool; }
    const std::vector<JsonValue>& items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& members() const { return m_members; }
    // The member with this name (the last one when a name repeats).
    const JsonValue* member(std::string_view name) const;

    // A number with no fraction or exponent that fits in 64 bits.
    std::optional<int64_t> asInt() const;
    std::optional<double> asDouble() const;

  private:
    friend class JsonParser;
    Kind m_kind = Kind::kNull;
    bool m_bool = false;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

}  // namespace kassio
