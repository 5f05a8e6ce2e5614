#include "store/slot_search.h"

namespace kassio {

namespace {

// The field's bytes as the record holds them, read from the column once.
class StoredField {
  public:
    StoredField(const FieldColumn& column, uint64_t slot)
        : m_width(column.width()), m_raw(column.storedBytes(slot)), m_text(column.text(slot)) {}
    std::size_t width() const { return m_width; }
    unsigned char operator[](std::size_t i) const {
        if (m_raw) return static_cast<unsigned char>(m_raw[i]);
        return i < m_text.size() ? static_cast<unsigned char>(m_text[i]) : 0;
    }

  private:
    std::size_t m_width;
    const char* m_raw;
    std::string_view m_text;
};

bool patternFrom(const StoredField& field, std::string_view pattern, std::size_t first) {
    for (std::size_t i = first; i < pattern.size(); ++i) {
        if (pattern[i] == '?') continue;
        if (i >= field.width() || field[i] != static_cast<unsigned char>(pattern[i])) return false;
    }
    return true;
}

}  // namespace

bool initialsAt(const FieldColumn& column, uint64_t slot, const std::string& query) {
    if (query.size() < 2) return false;
    const StoredField field(column, slot);
    const unsigned char b0 = field[0];
    const unsigned char b1 = field[1];
    if (b0 == 0 && b1 == 0) return false;  // as a deleted slot's prefix
    if ((query[0] != '?' && static_cast<unsigned char>(query[0]) != b0) ||
        (query[1] != '?' && static_cast<unsigned char>(query[1]) != b1))
        return false;
    return patternFrom(field, query, 2);
}

bool startsWithPatternAt(const FieldColumn& column, uint64_t slot, std::string_view pattern) {
    return patternFrom(StoredField(column, slot), pattern, 0);
}

std::optional<uint64_t> firstByInitials(const SlotTexts& texts, std::size_t field,
                                        const std::string& query, uint64_t from, uint64_t to) {
    const FieldColumn& column = texts.text(field);
    for (uint64_t slot = from; slot < to; ++slot)
        if (texts.live(slot) && initialsAt(column, slot, query)) return slot;
    return std::nullopt;
}

std::optional<uint64_t> firstLive(const SlotTexts& texts, uint64_t from, uint64_t to) {
    for (uint64_t slot = from; slot < to; ++slot)
        if (texts.live(slot)) return slot;
    return std::nullopt;
}

std::optional<uint64_t> firstContaining(const SlotTexts& texts,
                                        std::initializer_list<std::size_t> fields,
                                        std::string_view fragment, uint64_t from, uint64_t to) {
    if (fragment.empty()) return firstLive(texts, from, to);
    std::optional<uint64_t> best;
    for (std::size_t field : fields) {
        uint64_t at = from;
        const uint64_t limit = best ? *best : to;
        // A deleted slot's texts are empty, so a hit is a live slot; the
        // check is for a slot never set, which holds nothing either.
        while (auto hit = texts.text(field).findContaining(fragment, at, limit)) {
            if (texts.live(*hit)) {
                best = *hit;
                break;
            }
            at = *hit + 1;
        }
    }
    return best;
}

}  // namespace kassio
