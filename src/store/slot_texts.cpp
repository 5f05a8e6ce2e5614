#include "store/slot_texts.h"

#include <cstring>

namespace kassio {

void SearchLock::lock() {
    std::unique_lock hold(m_mutex);
    ++m_writersWaiting;
    m_changed.wait(hold, [this] { return !m_writer && m_readers == 0; });
    --m_writersWaiting;
    m_writer = true;
}

void SearchLock::unlock() {
    {
        std::lock_guard hold(m_mutex);
        m_writer = false;
    }
    m_changed.notify_all();
}

void SearchLock::lock_shared() {
    std::unique_lock hold(m_mutex);
    m_changed.wait(hold, [this] { return !m_writer && m_writersWaiting == 0; });
    ++m_readers;
}

void SearchLock::unlock_shared() {
    bool last = false;
    {
        std::lock_guard hold(m_mutex);
        last = --m_readers == 0;
    }
    if (last) m_changed.notify_all();
}

SlotTexts::SlotTexts(std::vector<Field> texts, std::vector<std::size_t> numbers,
                     std::vector<Field> figures)
    : m_fields(std::move(texts)), m_numberOffsets(std::move(numbers)) {
    for (const Field& f : m_fields) m_texts.emplace_back(f.width);
    m_numbers.resize(m_numberOffsets.size());
    for (const Field& f : figures) m_figures.push_back({f, {}});
}

void SlotTexts::beginLoad(std::size_t expectedSlots, std::size_t textBytesPerSlot) {
    if (!m_loading) m_loading = std::unique_lock(m_lock);
    for (FieldColumn& c : m_texts) {
        c.clear();
        c.reserve(expectedSlots, expectedSlots * textBytesPerSlot);
    }
    for (auto& n : m_numbers) {
        n.clear();
        n.reserve(expectedSlots);
    }
    for (Figures& f : m_figures) {
        f.bytes.clear();
        f.bytes.reserve(expectedSlots * f.field.width);
    }
    m_live.clear();
    m_live.reserve(expectedSlots);
}

void SlotTexts::finishLoad() {
    if (m_loading) m_loading.unlock();
    m_loading = {};
}

void SlotTexts::set(uint64_t slot, const unsigned char* record) {
    const char* rec = reinterpret_cast<const char*>(record);
    if (m_loading) {
        apply(slot, rec);
        return;
    }
    // Compared first without the lock (no other writer can run, and readers
    // only read): a posting's write changes nothing a search reads, only
    // figures, which no search reads.
    if (live(slot)) {
        bool same = true;
        for (std::size_t i = 0; same && i < m_fields.size(); ++i)
            same = m_texts[i].holds(slot, rec + m_fields[i].offset);
        for (std::size_t i = 0; same && i < m_numberOffsets.size(); ++i) {
            int32_t v;
            std::memcpy(&v, rec + m_numberOffsets[i], sizeof v);
            same = m_numbers[i][slot] == v;
        }
        if (same) {
            copyFigures(slot, rec);
            return;
        }
    }
    std::lock_guard hold(m_lock);
    apply(slot, rec);
}

void SlotTexts::apply(uint64_t slot, const char* rec) {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_texts[i].set(slot, rec + m_fields[i].offset);
    if (slot >= m_live.size()) {
        // Slots below it that were never set are not live (a load's
        // deleted slots).
        m_live.resize(slot, 0);
        m_live.push_back(1);
        for (Figures& f : m_figures) {
            f.bytes.resize(slot * f.field.width, 0);
            f.bytes.insert(f.bytes.end(), rec + f.field.offset,
                           rec + f.field.offset + f.field.width);
        }
        for (std::size_t i = 0; i < m_numberOffsets.size(); ++i) {
            int32_t v;
            std::memcpy(&v, rec + m_numberOffsets[i], sizeof v);
            m_numbers[i].resize(slot, 0);
            m_numbers[i].push_back(v);
        }
        return;
    }
    for (std::size_t i = 0; i < m_numberOffsets.size(); ++i)
        std::memcpy(&m_numbers[i][slot], rec + m_numberOffsets[i], sizeof(int32_t));
    copyFigures(slot, rec);
    m_live[slot] = 1;
}

void SlotTexts::copyFigures(uint64_t slot, const char* rec) {
    for (Figures& f : m_figures)
        std::memcpy(f.bytes.data() + slot * f.field.width, rec + f.field.offset, f.field.width);
}

void SlotTexts::erase(uint64_t slot) {
    if (slot >= m_live.size()) return;
    std::unique_lock<SearchLock> hold;
    if (!m_loading) hold = std::unique_lock(m_lock);
    for (FieldColumn& c : m_texts) c.erase(slot);
    for (auto& n : m_numbers) n[slot] = 0;
    for (Figures& f : m_figures)
        std::memset(f.bytes.data() + slot * f.field.width, 0, f.field.width);
    m_live[slot] = 0;
}

std::size_t SlotTexts::memoryBytes() const {
    std::size_t bytes = m_live.capacity();
    for (const FieldColumn& c : m_texts) bytes += c.memoryBytes();
    for (const auto& n : m_numbers) bytes += n.capacity() * sizeof(int32_t);
    for (const Figures& f : m_figures) bytes += f.bytes.capacity();
    return bytes;
}

}  // namespace kassio
