// SKU 1 to slots, for the till's SKU entry mode.
//
// Gives the same slot as reading inventory.dat slot by slot and taking the
// first live slot whose SKU 1 equals the text exactly, without the reads.
// Kept in step by the item file's slot observer; not synchronised (the
// DataMutex is held around every use).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace kassio {

class SkuIndex {
  public:
    // slot now holds sku (a live record); replaces what the slot held before.
    void set(uint64_t slot, const std::string& sku);
    // slot no longer holds a live record.
    void clear(uint64_t slot);
    // The lowest live slot whose SKU 1 is exactly this text.
    std::optional<uint64_t> find(const std::string& sku) const;
    void reset();

  private:
    std::unordered_map<std::string, std::set<uint64_t>> m_slotsBySku;
    std::unordered_map<uint64_t, std::string> m_skuBySlot;
};

}  // namespace kassio
