#include "server/json_value.h"

#include <cerrno>
#include <cstdlib>

namespace kassio {

// Recursive descent over the text. Nesting is limited so that a hostile
// file cannot exhaust the stack.
class JsonParser {
  public:
    explicit JsonParser(std::string_view text) : m_text(text) {}

    bool document(JsonValue& out) {
        if (!value(out, 0)) return false;
        skipSpace();
        return m_pos == m_text.size() || fail("text after the value");
    }

    std::string error() const { return m_error + " at byte " + std::to_string(m_pos); }

  private:
    static constexpr int kMaxDepth = 32;

    bool fail(const char* why) {
        if (m_error.empty()) m_error = why;
        return false;
    }
    void skipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool take(char c) {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (m_text.substr(m_pos, w.size()) != w) return fail("unknown word");
        m_pos += w.size();
        return true;
    }

    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return fail("nested too deeply");
        skipSpace();
        if (m_pos >= m_text.size()) return fail("value missing");
        const char c = m_text[m_pos];
        if (c == '{') return object(out, depth);
        if (c == '[') return array(out, depth);
        if (c == '"') {
            out.m_kind = JsonValue::Kind::kString;
            return string(out.m_text);
        }
        if (c == 't' || c == 'f') {
            out.m_kind = JsonValue::Kind::kBool;
            out.m_bool = c == 't';
            return word(c == 't' ? "true" : "false");
        }
        if (c == 'n') return word("null");
        return number(out);
    }

    bool object(JsonValue& out, int depth) {
        out.m_kind = JsonValue::Kind::kObject;
        ++m_pos;
        if (take('}')) return true;
        do {
            skipSpace();
            std::string name;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') return fail("member name missing");
            if (!string(name)) return false;
            if (!take(':')) return fail("':' missing");
            JsonValue v;
            if (!value(v, depth + 1)) return false;
            out.m_members.emplace_back(std::move(name), std::move(v));
        } while (take(','));
        return take('}') || fail("'}' missing");
    }

    bool array(JsonValue& out, int depth) {
        out.m_kind = JsonValue::Kind::kArray;
        ++m_pos;
        if (take(']')) return true;
        do {
            JsonValue v;
            if (!value(v, depth + 1)) return false;
            out.m_items.push_back(std::move(v));
        } while (take(','));
        return take(']') || fail("']' missing");
    }

    bool number(JsonValue& out) {
        const std::size_t start = m_pos;
        auto digits = [&] {
            const std::size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
            return m_pos > from;
        };
        if (m_pos < m_text.size() && m_text[m_pos] == '-') ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '0')
            ++m_pos;
        else if (!digits())
            return fail("not a value");
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (!digits()) return fail("digits missing after '.'");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) ++m_pos;
            if (!digits()) return fail("digits missing in the exponent");
        }
        out.m_kind = JsonValue::Kind::kNumber;
        out.m_text = std::string(m_text.substr(start, m_pos - start));
        return true;
    }

    bool hex4(unsigned& out) {
        if (m_pos + 4 > m_text.size()) return fail("short \\u escape");
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            out <<= 4;
            if (c >= '0' && c <= '9')
                out |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                out |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                out |= static_cast<unsigned>(c - 'A' + 10);
            else
                return fail("bad \\u escape");
        }
        return true;
    }

    static void appendUtf8(std::string& s, unsigned cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool string(std::string& out) {
        ++m_pos;  // the opening quote
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return fail("control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) break;
            const char e = m_text[m_pos++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        unsigned low = 0;
                        if (m_text.substr(m_pos, 2) != "\\u") return fail("lone surrogate");
                        m_pos += 2;
                        if (!hex4(low)) return false;
                        if (low < 0xDC00 || low >= 0xE000) return fail("lone surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp < 0xE000) {
                        return fail("lone surrogate");
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    return fail("unknown escape");
            }
        }
        return fail("string not closed");
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

std::optional<JsonValue> JsonValue::parse(std::string_view text, std::string* error) {
    JsonParser parser(text);
    JsonValue v;
    if (!parser.document(v)) {
        if (error) *error = parser.error();
        return std::nullopt;
    }
    return v;
}

const JsonValue* JsonValue::member(std::string_view name) const {
    const JsonValue* found = nullptr;
    for (const auto& [n, v] : m_members)
        if (n == name) found = &v;
    return found;
}

std::optional<int64_t> JsonValue::asInt() const {
    if (m_kind != Kind::kNumber || m_text.find_first_of(".eE") != std::string::npos)
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(m_text.c_str(), &end, 10);
    if (errno == ERANGE || end != m_text.c_str() + m_text.size()) return std::nullopt;
    return v;
}

std::optional<double> JsonValue::asDouble() const {
    if (m_kind != Kind::kNumber) return std::nullopt;
    return std::strtod(m_text.c_str(), nullptr);
}

}  // namespace kassio
