#include "store/sku_index.h"

namespace kassio {

void SkuIndex::set(uint64_t slot, const std::string& sku) {
    auto it = m_skuBySlot.find(slot);
    if (it != m_skuBySlot.end()) {
        if (it->second == sku) return;
        clear(slot);
    }
    m_slotsBySku[sku].insert(slot);
    m_skuBySlot.emplace(slot, sku);
}

void SkuIndex::clear(uint64_t slot) {
    auto it = m_skuBySlot.find(slot);
    if (it == m_skuBySlot.end()) return;
    auto bucket = m_slotsBySku.find(it->second);
    if (bucket != m_slotsBySku.end()) {
        bucket->second.erase(slot);
        if (bucket->second.empty()) m_slotsBySku.erase(bucket);
    }
    m_skuBySlot.erase(it);
}

std::optional<uint64_t> SkuIndex::find(const std::string& sku) const {
    auto it = m_slotsBySku.find(sku);
    if (it == m_slotsBySku.end() || it->second.empty()) return std::nullopt;
    return *it->second.begin();
}

void SkuIndex::reset() {
    m_slotsBySku.clear();
    m_skuBySlot.clear();
}

}  // namespace kassio
