// Procedures 0 and 1: finding an item or a customer for a client station.
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "server/station_server.h"
#include "store/file_io.h"
#include "store/record_layout.h"

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
// pattern stands for any one character, but never for the end of the text.
template <std::size_t N>
bool startsWithPattern(const char (&field)[N], std::string_view pattern, std::size_t first = 0) {
    if (pattern.size() > N) return false;
    for (std::size_t i = first; i < pattern.size(); ++i) {
        if (field[i] == '\0') return false;
        if (pattern[i] != '?' && pattern[i] != field[i]) return false;
    }
    return true;
}

// The first two pattern characters against a slot's prefix table entry.
bool prefixMatches(RecordIndex::Prefix prefix, std::string_view pattern) {
    if (prefix[0] == '\0') return false;  // deleted slot
    for (std::size_t i = 0; i < 2 && i < pattern.size(); ++i) {
        if (prefix[i] == '\0') return false;
        if (pattern[i] != '?' && pattern[i] != prefix[i]) return false;
    }
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

// Reads slots from `first` on, in file order, until `match` accepts one.
// `candidate` filters on the in-memory prefix table before a slot is read.
// The caller holds the DataMutex.
template <typename Record, typename Candidate, typename Match>
bool scanSlots(const RecordFile& file, uint64_t first, Candidate candidate, Match match,
               Record& out) {
    auto f = File::open(file.path(), File::Mode::kRead);
    if (!f) return false;
    const std::size_t slots = file.index().slotCount();
    for (uint64_t slot = first; slot < slots; ++slot) {
        if (!candidate(file.index().prefix(slot))) continue;
        if (f->readAt(slot * sizeof(Record), &out, sizeof(Record)) !=
            static_cast<long long>(sizeof(Record)))
            return false;  // a short read ends every scan
        if (out.number > 0 && match(out)) return true;
    }
    return false;
}

// A one-character pattern matches every text starting with that character.
std::string patternOf(std::string text) {
    if (text.size() == 1) text += '?';
    return text;
}

}  // namespace

void StationServer::findItem(const ItemQuery& query, InventoryRecord& out) {
    const std::string text = fieldText(query.text);
    InventoryRecord found;
    bool ok = false;
    {
        auto lock = m_store.lock();
        RecordFile& items = m_store.items();
        const StoreConfigRecord& cfg = m_store.config().record();

        if (query.from == 0 && cfg.settings_b[kSetBEntryModeSku] == 2) {
            // SKU 1 exactly: the lowest live slot holding it.
            auto slot = text.empty() ? std::nullopt : m_store.skus().find(text);
            if (slot) ok = items.read(*slot, &found).isOk() && found.number > 0;
        } else if (query.from >= -1) {
            if (auto number = numberText(text)) {
                if (auto slot = items.find(*number)) ok = items.read(*slot, &found).isOk();
            } else if (!text.empty()) {
                const std::string pattern = patternOf(text);
                if (auto first = firstSlotAfter(items, query.from))
                    ok = scanSlots(
                        items, *first,
                        [&](RecordIndex::Prefix p) { return prefixMatches(p, pattern); },
                        [&](const InventoryRecord& r) {
                            return startsWithPattern(r.description, pattern, 2);
                        },
                        found);
            }
        } else if (!text.empty()) {
            // -(from + 2) rather than -from - 2: from may be the lowest int64.
            if (auto first = firstSlotAfter(items, -(query.from + 2)))
                ok = scanSlots(
                    items, *first, [](RecordIndex::Prefix p) { return p[0] != '\0'; },
                    [&](const InventoryRecord& r) {
                        for (const auto* sku : {&r.sku1, &r.sku2, &r.sku3, &r.sku4})
                            if (fieldText(*sku).find(text) != std::string::npos) return true;
                        return false;
                    },
                    found);
        }
    }
    if (ok)
        out = found;
    else
        std::memset(&out, 0, sizeof out);
}

void StationServer::findCustomer(const CustomerQuery& query, CustomerRecord& out) {
    const std::string text = fieldText(query.name);
    const std::string prefix2 = fieldText(query.prefix);
    CustomerRecord found;
    bool ok = false;
    {
        auto lock = m_store.lock();
        RecordFile& customers = m_store.customers();
        if (auto number = numberText(text)) {
            if (auto slot = customers.find(*number)) ok = customers.read(*slot, &found).isOk();
        } else if (!text.empty()) {
            const std::string pattern = patternOf(text);
            if (auto first = firstSlotAfter(customers, query.from))
                ok = scanSlots(
                    customers, *first,
                    [&](RecordIndex::Prefix p) { return prefixMatches(p, pattern); },
                    [&](const CustomerRecord& c) {
                        return startsWithPattern(c.name, pattern, 2) &&
                               startsWithPattern(c.name_prefix2, prefix2);
                    },
                    found);
        }
    }
    if (ok)
        out = found;
    else
        std::memset(&out, 0, sizeof out);
}

}  // namespace kassio
