#include "store/record_index.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kassio {

void RecordIndex::beginBuild(std::size_t expectedSlots) {
    m_entries.clear();
    m_prefix.clear();
    m_slots = m_deleted = m_live = 0;
    m_room = expectedSlots + m_extraRoom;
    m_entries.reserve(m_room);
    m_prefix.reserve(m_room);
}

void RecordIndex::addSlot(int64_t number, Prefix prefix) {
    m_entries.push_back({number, m_slots});
    m_prefix.push_back(prefix);
    ++m_slots;
    if (number < 0)
        ++m_deleted;
    else
        ++m_live;
}

namespace {

// Sorts by number, equal numbers keeping their order: a least-significant
// digit first radix sort a byte at a time, passing over the bytes every
// number shares (numbers below a million need three passes). Numbers must
// not be negative. At a million slots this takes a fraction of a
// comparison sort's time.
void radixSortByNumber(std::vector<IndexEntry>& entries) {
    std::vector<IndexEntry> other(entries.size());
    for (int shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 256> count{};
        for (const IndexEntry& e : entries)
            ++count[(static_cast<uint64_t>(e.number) >> shift) & 0xFF];
        if (std::find(count.begin(), count.end(), entries.size()) != count.end()) continue;
        std::size_t at = 0;
        for (std::size_t& c : count) at += std::exchange(c, at);
        for (const IndexEntry& e : entries)
            other[count[(static_cast<uint64_t>(e.number) >> shift) & 0xFF]++] = e;
        entries.swap(other);
    }
}

}  // namespace

void RecordIndex::finishBuild() {
    // Entries came in slot order: the deleted ones (all kDeletedNumber at a
    // load) go first as they are, the live ones after them sorted.
    auto live = std::stable_partition(m_entries.begin(), m_entries.end(),
                                      [](const IndexEntry& e) { return e.number < 0; });
    if (std::all_of(m_entries.begin(), live,
                    [&](const IndexEntry& e) { return e.number == m_entries.front().number; })) {
        std::vector<IndexEntry> sorted(live, m_entries.end());
        radixSortByNumber(sorted);
        std::copy(sorted.begin(), sorted.end(), live);
    } else {
        std::stable_sort(
            m_entries.begin(), m_entries.end(),
            [](const IndexEntry& a, const IndexEntry& b) { return a.number < b.number; });
    }
    ensureRoom(m_slots);
}

std::size_t RecordIndex::lowerBound(int64_t number) const {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), number,
                               [](const IndexEntry& e, int64_t n) { return e.number < n; });
    return static_cast<std::size_t>(it - m_entries.begin());
}

std::optional<uint64_t> RecordIndex::find(int64_t number) const {
    // 0 ends the index and negative numbers are deleted slots: never a record.
    if (number <= 0) return std::nullopt;
    std::size_t p = lowerBound(number);
    if (p < m_entries.size() && m_entries[p].number == number) return m_entries[p].slot;
    return std::nullopt;
}

uint64_t RecordIndex::slotForInsert() const {
    return m_deleted > 0 ? m_entries.front().slot : m_slots;
}

void RecordIndex::ensureRoom(std::size_t needed) {
    if (needed <= m_room) return;
    while (m_room < needed) m_room = m_room ? m_room * 2 : 16;
    m_entries.reserve(m_room);
    m_prefix.reserve(m_room);
}

void RecordIndex::commitInsert(int64_t number, Prefix prefix) {
    std::size_t p = lowerBound(number);
    if (m_deleted > 0) {
        // The first (deleted) entry leaves the index; the entries before p
        // move down one place and the new entry takes the place freed at p-1.
        // p >= 1 because a live number sorts after every deleted entry.
        uint64_t slot = m_entries.front().slot;
        std::move(m_entries.begin() + 1, m_entries.begin() + static_cast<std::ptrdiff_t>(p),
                  m_entries.begin());
        m_entries[p - 1] = {number, slot};
        m_prefix[slot] = prefix;
        --m_deleted;
    } else {
        ensureRoom(m_slots + 1);
        m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(p), {number, m_slots});
        m_prefix.push_back(prefix);
        ++m_slots;
    }
    ++m_live;
}

bool RecordIndex::commitDelete(int64_t number, uint64_t slot) {
    std::size_t q = lowerBound(number);
    while (q < m_entries.size() && m_entries[q].number == number && m_entries[q].slot != slot) ++q;
    if (q >= m_entries.size() || m_entries[q].number != number || number < 0) return false;
    // Entries from the end of the deleted run up to q move up one place.
    std::move_backward(m_entries.begin() + static_cast<std::ptrdiff_t>(m_deleted),
                       m_entries.begin() + static_cast<std::ptrdiff_t>(q),
                       m_entries.begin() + static_cast<std::ptrdiff_t>(q) + 1);
    m_entries[m_deleted] = {-1, slot};
    m_prefix[slot] = Prefix{};
    ++m_deleted;
    --m_live;
    return true;
}

void RecordIndex::setPrefix(uint64_t slot, Prefix prefix) {
    if (slot < m_prefix.size()) m_prefix[slot] = prefix;
}

}  // namespace kassio
