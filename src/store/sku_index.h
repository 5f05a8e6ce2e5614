// SKU 1 to slots, for the till's SKU entry mode.
//
// Gives the same slot as reading inventory.dat slot by slot and taking the
// first live slot whose SKU 1 equals the text exactly, without the reads.
// Kept in step by the item file's slot observer; not synchronised (the
// DataMutex is held around every use).
//
// The texts themselves are not held here: the index reads them from the
// SKU 1 column the searches keep (field_column.h), and holds per distinct
// text one table entry (a 32-bit hash and the lowest slot holding it), per
// slot the hash of its text, and for the few texts more than one slot
// holds, the other slots in order. About 20 bytes an item, where a map of
// strings to sets of slots cost well over 200 and most of a start's time.
//
// The column must say what the file says for every slot but the one being
// set or cleared: the observer tells the index before it tells the column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/field_column.h"

namespace kassio {

class SkuIndex {
  public:
    explicit SkuIndex(const FieldColumn& texts) : m_texts(texts) {}

    // Room for this many slots without growing (a load knows the count).
    void reserve(std::size_t slots);
    // Anew from the column, for the live slots below `slots` (a load: one
    // pass once every text is in).
    void build(std::size_t slots, const std::function<bool(uint64_t)>& live);
    // slot now holds sku (a live record); replaces what the slot held before.
    void set(uint64_t slot, std::string_view sku);
    // slot no longer holds a live record.
    void clear(uint64_t slot);
    // The lowest live slot whose SKU 1 is exactly this text.
    std::optional<uint64_t> find(std::string_view sku) const;
    void reset();

    // Bytes of memory held.
    std::size_t memoryBytes() const;

  private:
    static constexpr uint32_t kFree = UINT32_MAX;
    struct Entry {
        uint32_t hash;
        uint32_t slot;  // the lowest slot holding the text; kFree: no entry
    };

    static uint32_t hashOf(std::string_view text);
    std::size_t home(uint32_t hash) const { return hash & (m_table.size() - 1); }
    std::size_t next(std::size_t at) const { return (at + 1) & (m_table.size() - 1); }
    void grow(std::size_t capacity);
    void place(Entry entry);
    void removeAt(std::size_t at);
    // Adds slot s, whose text (hash h) is sku, to the table.
    void insert(uint32_t s, uint32_t h, std::string_view sku);

    const FieldColumn& m_texts;
    std::vector<Entry> m_table;  // open addressing, a power of two long
    std::size_t m_used = 0;
    std::vector<uint32_t> m_hashOfSlot;
    std::vector<bool> m_indexed;
    // Lowest slot -> the other slots holding the same text, ascending.
    std::unordered_map<uint32_t, std::vector<uint32_t>> m_others;
};

}  // namespace kassio
