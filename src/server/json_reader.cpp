#include "server/json_reader.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "base/money.h"

namespace kassio {

namespace {

// Builds the tree from nlohmann-json's events, refusing a container that
// would be opened kMaxJsonDepth deep. Values go into the innermost open
// container; pointers into a container stay valid because only the
// innermost one grows.
class TreeBuilder final : public nlohmann::json_sax<Json> {
  public:
    explicit TreeBuilder(Json& root) : m_root(root) {}

    bool null() override { return put(nullptr) != nullptr; }
    bool boolean(bool v) override { return put(v) != nullptr; }
    bool number_integer(number_integer_t v) override { return put(v) != nullptr; }
    bool number_unsigned(number_unsigned_t v) override { return put(v) != nullptr; }
    bool number_float(number_float_t v, const string_t&) override { return put(v) != nullptr; }
    bool string(string_t& v) override { return put(std::move(v)) != nullptr; }
    bool binary(binary_t& v) override { return put(Json::binary(std::move(v))) != nullptr; }
    bool start_object(std::size_t) override { return open(Json::object()); }
    bool key(string_t& name) override {
        m_key = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Json::array()); }
    bool end_array() override { return close(); }
    // nlohmann-json counts the bytes it has read, the faulty one included;
    // a number too large for a double is at fault from its first digit.
    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::json::exception& e) override {
        const bool overflow = dynamic_cast<const nlohmann::json::out_of_range*>(&e) != nullptr;
        const std::size_t back = overflow ? lastToken.size() : 1;
        m_errorOffset = position >= back ? position - back : 0;
        m_error = e.what();
        return false;
    }

    bool tooDeep() const { return m_tooDeep; }
    std::size_t errorOffset() const { return m_errorOffset; }
    const std::string& error() const { return m_error; }

  private:
    Json* put(Json value) {
        if (m_open.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        Json& container = *m_open.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        // ordered_json's operator[] finds a repeated name in place.
        Json& member = container[m_key];
        member = std::move(value);
        return &member;
    }
    bool open(Json container) {
        if (m_open.size() >= static_cast<std::size_t>(kMaxJsonDepth)) {
            m_tooDeep = true;
            return false;
        }
        m_open.push_back(put(std::move(container)));
        return true;
    }
    bool close() {
        m_open.pop_back();
        return true;
    }

    Json& m_root;
    std::vector<Json*> m_open;
    std::string m_key;
    bool m_tooDeep = false;
    std::size_t m_errorOffset = 0;
    std::string m_error;
};

// Where the container that opens one level deeper than allowed starts. The
// text up to it has been read without a fault, so counting brackets outside
// strings finds it.
std::size_t offsetOfTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonDepth) return i;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return text.size();
}

// nlohmann-json's message without its exception tag and its own account of
// the place, which the caller gives as a byte offset instead.
std::string reasonOf(std::string message) {
    if (message.rfind("[json.exception.", 0) == 0) {
        const auto tagEnd = message.find("] ");
        if (tagEnd != std::string::npos) message.erase(0, tagEnd + 2);
    }
    if (message.rfind("parse error", 0) == 0) {
        const auto placeEnd = message.find(": ");
        if (placeEnd != std::string::npos) message.erase(0, placeEnd + 2);
    }
    return message;
}

std::string place(std::string_view text, std::size_t offset) {
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return "at byte " + std::to_string(offset) + " (line " + std::to_string(line) + ", column " +
           std::to_string(offset - lineStart + 1) + ")";
}

}  // namespace

std::optional<Json> readJson(std::string_view text, std::string* error) {
    Json root;
    TreeBuilder builder(root);
    if (Json::sax_parse(text, &builder, nlohmann::json::input_format_t::json, true, false))
        return root;
    if (error) {
        if (builder.tooDeep()) {
            *error = "nested more than " + std::to_string(kMaxJsonDepth) + " deep " +
                     place(text, offsetOfTooDeep(text));
        } else {
            *error = reasonOf(builder.error()) + " " +
                     place(text, std::min(builder.errorOffset(), text.size()));
        }
    }
    return std::nullopt;
}

std::optional<int64_t> jsonWholeNumber(const Json& value) {
    if (value.is_number_unsigned()) {
        const auto v = value.get<uint64_t>();
        if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
        return static_cast<int64_t>(v);
    }
    if (value.is_number_integer()) return value.get<int64_t>();
    return std::nullopt;
}

std::optional<double> jsonMoney(const Json& value) {
    if (!value.is_number()) return std::nullopt;
    const double v = value.get<double>();
    if (!isSaneMoney(v)) return std::nullopt;
    return v;
}

std::string jsonMoneyWanted() {
    char bound[32];
    std::snprintf(bound, sizeof bound, "%.0f", kMoneyLimit);
    return std::string("an amount from -") + bound + " to " + bound;
}

}  // namespace kassio
