// What the searches need of every slot of a record file, in memory: the
// texts they look in (FieldColumn), a few whole-number fields (an item's
// display category and quick-select omission), and whether the slot holds a
// live record. A search runs on this and reads a record from the file only
// to return it.
//
// Beside them, the figures (fields of 4 or 8 bytes: a record's number, an
// item's stock, sales and price, a customer's balance) that the sorted
// lists put in their rows, so that a list of every record reads no record:
// an item is over 2 KB, and bringing in every record's pages was most of a
// list's time at a million items. No search looks at a figure.
//
// Kept in step by the record file's slot observer on every load, insert,
// write and delete, so it says what the file says. A write that changes
// nothing searched (a posting's stock and sales figures) costs a compare
// and a copy of the figures, and takes no lock.
//
// Locking. Writers (the observer) hold the DataMutex, so they never run two
// at once; they take this structure's own lock exclusively only to change
// it. Readers (searches) do not take the DataMutex at all while they look:
// they take the lock shared, for a chunk of slots at a time (see
// firstMatch()), so an insert or amend waits at most for one chunk and a
// posting, which changes nothing here, never waits for a search. A reader
// that holds the DataMutex may read without the lock, since no writer can
// run then.
//
// The figures are read only with the DataMutex held (the lists do), so a
// writer changes them without this lock, and a posting still never waits
// for a search.
#pragma once

#include <cassert>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <type_traits>
#include <vector>

#include "store/field_column.h"

namespace kassio {

// A shared lock that lets a waiting writer in before new readers, so a
// stream of searches cannot keep an amend (and the DataMutex it holds)
// waiting.
class SearchLock {
  public:
    void lock();
    void unlock();
    void lock_shared();
    void unlock_shared();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_readers = 0;
    int m_writersWaiting = 0;
    bool m_writer = false;
};

class SlotTexts {
  public:
    struct Field {
        std::size_t offset;  // in the record
        std::size_t width;
    };
    // texts: the text fields kept; numbers: offsets of int32 fields kept;
    // figures: fields of 4 or 8 bytes kept for the lists.
    SlotTexts(std::vector<Field> texts, std::vector<std::size_t> numbers,
              std::vector<Field> figures = {});

    // Slots a search looks at under one hold of the lock: about a quarter
    // of a millisecond of memmem.
    static constexpr uint64_t kChunkSlots = 32768;

    // Writers: the DataMutex is held.
    //
    // A load empties everything and holds the lock exclusively until
    // finishLoad(), so the slots it sets cost no locking each.
    void beginLoad(std::size_t expectedSlots = 0, std::size_t textBytesPerSlot = 0);
    void finishLoad();
    void set(uint64_t slot, const unsigned char* record);
    void erase(uint64_t slot);

    // Readers: under lock() shared, or with the DataMutex held.
    std::size_t slotCount() const { return m_live.size(); }
    bool live(uint64_t slot) const { return slot < m_live.size() && m_live[slot]; }
    const FieldColumn& text(std::size_t field) const { return m_texts[field]; }
    int32_t number(std::size_t field, uint64_t slot) const {
        return slot < m_live.size() ? m_numbers[field][slot] : 0;
    }
    SearchLock& lock() const { return m_lock; }

    // A figure of a slot as the record holds it; zero for a deleted slot.
    // Only with the DataMutex held. T is the field's type in the record.
    template <typename T>
    T figure(std::size_t field, uint64_t slot) const {
        static_assert(std::is_trivially_copyable_v<T>);
        const Figures& f = m_figures[field];
        assert(sizeof(T) == f.field.width);
        T v{};
        if (slot < m_live.size()) std::memcpy(&v, f.bytes.data() + slot * sizeof(T), sizeof(T));
        return v;
    }

    // The first slot at or after `from` for which find(first, end) reports
    // one, asking chunk by chunk, each under its own shared hold of the
    // lock. find(first, end) gives the first matching slot in [first, end).
    template <typename Find>
    std::optional<uint64_t> firstMatch(uint64_t from, Find find) const {
        for (;;) {
            std::shared_lock hold(m_lock);
            const uint64_t end = slotCount();
            if (from >= end) return std::nullopt;
            const uint64_t to = std::min(end, from + kChunkSlots);
            if (auto slot = find(from, to)) return slot;
            from = to;
        }
    }

    std::size_t memoryBytes() const;

  private:
    // One figure field of every slot, width bytes a slot in slot order.
    struct Figures {
        Field field;
        std::vector<char> bytes;
    };

    void apply(uint64_t slot, const char* record);
    void copyFigures(uint64_t slot, const char* record);

    std::vector<Field> m_fields;
    std::vector<std::size_t> m_numberOffsets;
    std::vector<FieldColumn> m_texts;
    std::vector<std::vector<int32_t>> m_numbers;
    std::vector<Figures> m_figures;  // as long as m_live
    std::vector<uint8_t> m_live;
    mutable SearchLock m_lock;
    std::unique_lock<SearchLock> m_loading;
};

}  // namespace kassio
