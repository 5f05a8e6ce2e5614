// Procedures 0 and 1: finding an item or a customer for a client station.
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "server/station_server.h"
#include "store/record_layout.h"
#include "store/slot_search.h"

namespace kassio {

namespace {

// The number a query text stands for: only digits, 1..kMaxRecordNumber.
// Anything else ("7UP", "0", "-3") is a pattern.
std::optional<int64_t> numberText(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kMaxRecordNumber) return std::nullopt;
    return n;
}

// Whether field starts with the pattern from position `first` on. '?' in the
// pattern stands for any one byte, also past the end of the text, as in the
// back office's searches: a pattern "B?" finds the description "B".
template <std::size_t N>
bool startsWithPattern(const char (&field)[N], std::string_view pattern, std::size_t first = 0) {
    for (std::size_t i = first; i < pattern.size(); ++i) {
        if (pattern[i] == '?') continue;
        if (i >= N || pattern[i] != field[i]) return false;
    }
    return true;
}

// The first two pattern characters against the field's first two bytes, as
// the prefix table holds them; a field whose two bytes are both zero (a
// deleted slot's) never matches.
template <std::size_t N>
bool prefixMatches(const char (&field)[N], std::string_view pattern) {
    if (field[0] == '\0' && field[1] == '\0') return false;
    for (std::size_t i = 0; i < 2 && i < pattern.size(); ++i)
        if (pattern[i] != '?' && pattern[i] != field[i]) return false;
    return true;
}

// The slot a continued search starts at: 0 for `from` 0 and -1, else the slot
// after the one holding record number `after`. None when that record is
// gone: a continued search whose anchor vanished ends instead of starting
// over (which could offer the same records to the client for ever).
std::optional<uint64_t> firstSlotAfter(const RecordFile& file, int64_t after) {
    if (after == 0 || after == -1) return 0;
    auto slot = file.find(after);
    if (!slot) return std::nullopt;
    return *slot + 1;
}

// The first record from slot `first` on that the texts in memory name and
// that passes `match` when read again under the DataMutex (slot_search.h).
// The DataMutex is not held by the caller.
template <typename Record, typename Find, typename Match>
bool searchSlots(DataStore& store, const RecordFile& file, const SlotTexts& texts, uint64_t first,
                 Find find, Match match, Record& out) {
    static_assert(sizeof(Record) == 2113 || sizeof(Record) == 1242);
    auto hit = searchFrom(
        store, file, texts, first, find,
        [&](uint64_t, const unsigned char* rec) {
            std::memcpy(&out, rec, sizeof out);
            return match(out);
        },
        nullptr);
    if (!hit) return false;
    std::memcpy(&out, hit->record.data(), sizeof out);
    return true;
}

// A one-character pattern matches every text starting with that character.
std::string patternOf(std::string text) {
    if (text.size() == 1) text += '?';
    return text;
}

}  // namespace

void StationServer::findItem(const ItemQuery& query, InventoryRecord& out) {
    using namespace item_texts;
    const std::string text = fieldText(query.text);
    const SlotTexts& texts = m_store.itemTexts();
    RecordFile& items = m_store.items();
    InventoryRecord found;
    bool ok = false;
    bool skuMode = false;
    std::optional<uint64_t> first;
    std::string pattern;
    {
        auto lock = m_store.lock();
        skuMode = query.from == 0 && m_store.config().record().settings_b[kSetBEntryModeSku] == 2;
        if (skuMode) {
            // SKU 1 exactly: the lowest live slot holding it.
            auto slot = text.empty() ? std::nullopt : m_store.skus().find(text);
            if (slot) ok = items.read(*slot, &found).isOk() && found.number > 0;
        } else if (query.from >= -1) {
            if (auto number = numberText(text)) {
                if (auto slot = items.find(*number)) ok = items.read(*slot, &found).isOk();
            } else if (!text.empty()) {
                pattern = patternOf(text);
                first = firstSlotAfter(items, query.from);
            }
        } else if (!text.empty()) {
            // -(from + 2) rather than -from - 2: from may be the lowest int64.
            first = firstSlotAfter(items, -(query.from + 2));
        }
    }
    // The long searches run on memory, without the DataMutex.
    if (first && !pattern.empty()) {
        ok = searchSlots(
            m_store, items, texts, *first,
            [&](uint64_t from, uint64_t to) {
                return firstByInitials(texts, kDescription, pattern, from, to);
            },
            [&](const InventoryRecord& r) {
                return prefixMatches(r.description, pattern) &&
                       startsWithPattern(r.description, pattern, 2);
            },
            found);
    } else if (first) {
        ok = searchSlots(
            m_store, items, texts, *first,
            [&](uint64_t from, uint64_t to) {
                return firstContaining(texts, {kSku1, kSku2, kSku3, kSku4}, text, from, to);
            },
            [&](const InventoryRecord& r) {
                for (const auto* sku : {&r.sku1, &r.sku2, &r.sku3, &r.sku4})
                    if (fieldText(*sku).find(text) != std::string::npos) return true;
                return false;
            },
            found);
    }
    if (ok)
        out = found;
    else
        std::memset(&out, 0, sizeof out);
}

void StationServer::findCustomer(const CustomerQuery& query, CustomerRecord& out) {
    using namespace customer_texts;
    const std::string text = fieldText(query.name);
    const std::string prefix2 = fieldText(query.prefix);
    const SlotTexts& texts = m_store.customerTexts();
    RecordFile& customers = m_store.customers();
    CustomerRecord found;
    bool ok = false;
    std::optional<uint64_t> first;
    std::string pattern;
    {
        auto lock = m_store.lock();
        if (auto number = numberText(text)) {
            if (auto slot = customers.find(*number)) ok = customers.read(*slot, &found).isOk();
        } else if (!text.empty()) {
            pattern = patternOf(text);
            first = firstSlotAfter(customers, query.from);
        }
    }
    if (first) {
        ok = searchSlots(
            m_store, customers, texts, *first,
            [&](uint64_t from, uint64_t to) {
                for (;;) {
                    auto slot = firstByInitials(texts, kName, pattern, from, to);
                    if (!slot || startsWithPatternAt(texts.text(kNamePrefix2), *slot, prefix2))
                        return slot;
                    from = *slot + 1;
                }
            },
            [&](const CustomerRecord& c) {
                return prefixMatches(c.name, pattern) && startsWithPattern(c.name, pattern, 2) &&
                       startsWithPattern(c.name_prefix2, prefix2);
            },
            found);
    }
    if (ok)
        out = found;
    else
        std::memset(&out, 0, sizeof out);
}

}  // namespace kassio
