#include "store/sku_index.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <stdexcept>

namespace kassio {

uint32_t SkuIndex::hashOf(std::string_view text) {
    const std::size_t h = std::hash<std::string_view>{}(text);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

void SkuIndex::reserve(std::size_t slots) {
    m_hashOfSlot.reserve(slots);
    m_indexed.reserve(slots);
    // Kept at most 70 % full, so a miss ends after a few probes.
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, slots + slots / 2));
    if (wanted > m_table.size()) grow(wanted);
}

void SkuIndex::grow(std::size_t capacity) {
    std::vector<Entry> old(capacity, Entry{0, kFree});
    old.swap(m_table);
    for (const Entry& e : old)
        if (e.slot != kFree) place(e);
}

// Into the first free entry from the hash's home (the text is not there).
void SkuIndex::place(Entry entry) {
    std::size_t at = home(entry.hash);
    while (m_table[at].slot != kFree) at = next(at);
    m_table[at] = entry;
}

// Backward-shift deletion: the entries after it that would be unreachable
// across the gap move into it, so no tombstones build up.
void SkuIndex::removeAt(std::size_t at) {
    for (std::size_t j = next(at);; j = next(j)) {
        if (m_table[j].slot == kFree) break;
        const std::size_t k = home(m_table[j].hash);
        const bool movable = at <= j ? (k <= at || k > j) : (k <= at && k > j);
        if (movable) {
            m_table[at] = m_table[j];
            at = j;
        }
    }
    m_table[at] = Entry{0, kFree};
    --m_used;
}

void SkuIndex::set(uint64_t slot, std::string_view sku) {
    if (slot >= kFree) throw std::length_error("SkuIndex: slot out of range");
    // A posting rewrites an item for its stock, its SKU as it was: the
    // entry stands (the column still holds the slot's old text here).
    if (slot < m_indexed.size() && m_indexed[slot] && m_texts.text(slot) == sku) return;
    clear(slot);
    const auto s = static_cast<uint32_t>(slot);
    const uint32_t h = hashOf(sku);
    if (m_hashOfSlot.size() <= slot) {
        m_hashOfSlot.resize(slot + 1, 0);
        m_indexed.resize(slot + 1, false);
    }
    m_hashOfSlot[slot] = h;
    m_indexed[slot] = true;
    insert(s, h, sku);
}

void SkuIndex::build(std::size_t slots, const std::function<bool(uint64_t)>& live) {
    if (slots >= kFree) throw std::length_error("SkuIndex: slot out of range");
    reset();
    reserve(slots);
    m_hashOfSlot.assign(slots, 0);
    m_indexed.assign(slots, false);
    for (uint64_t slot = 0; slot < slots; ++slot) {
        if (!live(slot)) continue;
        m_hashOfSlot[slot] = hashOf(m_texts.text(slot));
        m_indexed[slot] = true;
    }
    // The table is far bigger than the caches: asking for the entry a few
    // slots ahead lets those misses overlap instead of queueing one by one.
    constexpr std::size_t kAhead = 16;
    for (uint64_t slot = 0; slot < slots; ++slot) {
        if (slot + kAhead < slots)
            __builtin_prefetch(&m_table[home(m_hashOfSlot[slot + kAhead])], 1);
        if (m_indexed[slot])
            insert(static_cast<uint32_t>(slot), m_hashOfSlot[slot], m_texts.text(slot));
    }
}

void SkuIndex::insert(uint32_t s, uint32_t h, std::string_view sku) {
    if ((m_used + 1) * 10 > m_table.size() * 7) grow(std::max<std::size_t>(16, m_table.size() * 2));
    std::size_t at = home(h);
    for (; m_table[at].slot != kFree; at = next(at)) {
        Entry& e = m_table[at];
        if (e.hash != h || m_texts.text(e.slot) != sku) continue;
        if (s < e.slot) {
            // The new lowest: the old one joins the others.
            std::vector<uint32_t> others;
            if (auto it = m_others.find(e.slot); it != m_others.end()) {
                others = std::move(it->second);
                m_others.erase(it);
            }
            others.insert(others.begin(), e.slot);
            m_others[s] = std::move(others);
            e.slot = s;
        } else {
            std::vector<uint32_t>& others = m_others[e.slot];
            others.insert(std::lower_bound(others.begin(), others.end(), s), s);
        }
        return;
    }
    m_table[at] = Entry{h, s};
    ++m_used;
}

void SkuIndex::clear(uint64_t slot) {
    if (slot >= m_indexed.size() || !m_indexed[slot]) return;
    m_indexed[slot] = false;
    const auto s = static_cast<uint32_t>(slot);
    const uint32_t h = m_hashOfSlot[slot];
    // The slot's own text may already be gone from the column: its entry is
    // the one with its hash whose group holds the slot.
    for (std::size_t at = home(h); m_table[at].slot != kFree; at = next(at)) {
        Entry& e = m_table[at];
        if (e.hash != h) continue;
        auto it = m_others.find(e.slot);
        if (e.slot == s) {
            if (it == m_others.end()) {
                removeAt(at);
                return;
            }
            std::vector<uint32_t> others = std::move(it->second);
            m_others.erase(it);
            e.slot = others.front();
            others.erase(others.begin());
            if (!others.empty()) m_others[e.slot] = std::move(others);
            return;
        }
        if (it == m_others.end()) continue;
        std::vector<uint32_t>& others = it->second;
        auto pos = std::lower_bound(others.begin(), others.end(), s);
        if (pos == others.end() || *pos != s) continue;
        others.erase(pos);
        if (others.empty()) m_others.erase(it);
        return;
    }
}

std::optional<uint64_t> SkuIndex::find(std::string_view sku) const {
    if (m_table.empty()) return std::nullopt;
    const uint32_t h = hashOf(sku);
    for (std::size_t at = home(h); m_table[at].slot != kFree; at = next(at)) {
        const Entry& e = m_table[at];
        if (e.hash == h && m_texts.text(e.slot) == sku) return e.slot;
    }
    return std::nullopt;
}

void SkuIndex::reset() {
    m_table.clear();
    m_used = 0;
    m_hashOfSlot.clear();
    m_indexed.clear();
    m_others.clear();
}

std::size_t SkuIndex::memoryBytes() const {
    std::size_t bytes = m_table.capacity() * sizeof(Entry) +
                        m_hashOfSlot.capacity() * sizeof(uint32_t) + m_indexed.capacity() / 8;
    for (const auto& [slot, others] : m_others) bytes += 64 + others.capacity() * sizeof(uint32_t);
    return bytes;
}

}  // namespace kassio
