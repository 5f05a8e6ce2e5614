// The in-memory number index of a record file, its prefix table and its
// three counters.
//
// The index holds one (number, slot) entry per slot of the file, sorted
// ascending by number, so every deleted slot (-1) comes first. Equal numbers
// keep slot order. Lookups give exactly what a scan from the front would
// give (the first entry whose number is not below the wanted one) but by
// binary search, so they stay fast with a million items.
//
// Not synchronised: every call is made with the DataMutex held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kassio {

struct IndexEntry {
    int64_t number;
    uint64_t slot;
};

class RecordIndex {
  public:
    using Prefix = std::array<char, 2>;

    // extraRoom: entries kept free beyond the slots at build time (200 for
    // items, 100 for customers and suppliers). The room doubles when used up.
    explicit RecordIndex(std::size_t extraRoom = 100) : m_extraRoom(extraRoom) {}

    // One call per slot in file order, then finishBuild() sorts the entries
    // (stable, so duplicates keep slot order).
    void beginBuild(std::size_t expectedSlots);
    void addSlot(int64_t number, Prefix prefix);
    void finishBuild();

    // The slot of the first live entry with this number, if any.
    std::optional<uint64_t> find(int64_t number) const;
    // Position of the first entry whose number is at or above this one.
    std::size_t lowerBound(int64_t number) const;

    // The slot an insert would use: the first deleted slot, else a new one at
    // the end of the file.
    uint64_t slotForInsert() const;
    // Records an insert at slotForInsert(). The caller has checked the number
    // is not in use and has already written the record.
    void commitInsert(int64_t number, Prefix prefix);
    // Moves a live slot's entry to the back of the deleted entries at the
    // front. False when no entry has this number and slot.
    bool commitDelete(int64_t number, uint64_t slot);
    void setPrefix(uint64_t slot, Prefix prefix);

    const std::vector<IndexEntry>& entries() const { return m_entries; }
    Prefix prefix(uint64_t slot) const {
        return slot < m_prefix.size() ? m_prefix[slot] : Prefix{};
    }
    std::size_t slotCount() const { return m_slots; }
    std::size_t deletedCount() const { return m_deleted; }
    std::size_t liveCount() const { return m_live; }
    // Entries the index can hold before it must grow.
    std::size_t room() const { return m_room; }

  private:
    void ensureRoom(std::size_t needed);

    std::size_t m_extraRoom;
    std::vector<IndexEntry> m_entries;
    std::vector<Prefix> m_prefix;  // per slot, not per entry
    std::size_t m_slots = 0;
    std::size_t m_deleted = 0;
    std::size_t m_live = 0;
    std::size_t m_room = 0;
};

}  // namespace kassio
