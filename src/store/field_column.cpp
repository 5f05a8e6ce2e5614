#include "store/field_column.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kassio {

namespace {

std::string_view textOf(const char* field, std::size_t width) {
    const void* nul = std::memchr(field, 0, width);
    return {field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : width};
}

// Whether the field's bytes after its text's NUL are all zero.
bool cleanTail(const char* field, std::size_t width, std::size_t length) {
    // Every byte looked at, without an early return, so the compiler can
    // do it a vector at a time: a load asks this of every field.
    unsigned char any = 0;
    for (std::size_t i = length + 1; i < width; ++i) any |= static_cast<unsigned char>(field[i]);
    return any == 0;
}

}  // namespace

FieldColumn::FieldColumn(std::size_t width) : m_width(width) {
    if (width == 0 || width >= kAside) throw std::logic_error("FieldColumn: width out of range");
    m_start.push_back(0);
}

void FieldColumn::clear() {
    m_arena.clear();
    m_start.assign(1, 0);
    m_length.clear();
    m_aside.clear();
    m_hasTail.clear();
    m_tails.clear();
}

void FieldColumn::reserve(std::size_t slots, std::size_t textBytes) {
    m_arena.reserve(textBytes + slots);
    m_start.reserve(slots + 1);
    m_length.reserve(slots);
    m_hasTail.reserve(slots);
}

void FieldColumn::appendSlot(std::string_view text) {
    const std::size_t at = m_arena.size();
    m_arena.resize(at + text.size() + 1);
    if (!text.empty()) std::memcpy(m_arena.data() + at, text.data(), text.size());
    // Offsets are 32-bit: 4 GB of text is a hundred million slots of 40 bytes.
    if (m_arena.size() > UINT32_MAX) throw std::length_error("FieldColumn: arena full");
    m_start.push_back(static_cast<uint32_t>(m_arena.size()));
    m_length.push_back(static_cast<uint8_t>(text.size()));
    m_hasTail.push_back(false);
}

std::string_view FieldColumn::text(uint64_t slot) const {
    if (slot >= slotCount()) return {};
    if (m_length[slot] == kAside) return m_aside.at(slot);
    return {m_arena.data() + m_start[slot], m_length[slot]};
}

unsigned char FieldColumn::byteAt(uint64_t slot, std::size_t i) const {
    if (slot < slotCount() && m_hasTail[slot])
        return static_cast<unsigned char>(m_tails.at(slot)[i]);
    std::string_view t = text(slot);
    return i < t.size() ? static_cast<unsigned char>(t[i]) : 0;
}

bool FieldColumn::holds(uint64_t slot, const char* field) const {
    if (slot >= slotCount()) return false;
    if (m_hasTail[slot]) return std::memcmp(m_tails.at(slot).data(), field, m_width) == 0;
    std::string_view now = textOf(field, m_width);
    return now == text(slot) && cleanTail(field, m_width, now.size());
}

void FieldColumn::set(uint64_t slot, const char* field) {
    const std::string_view t = textOf(field, m_width);
    if (slot >= slotCount()) {
        // A new slot at the end (every slot of a load): nothing to replace.
        while (slotCount() < slot) appendSlot({});
        appendSlot(t);
        if (!cleanTail(field, m_width, t.size())) {
            m_tails[slot] = std::string(field, m_width);
            m_hasTail[slot] = true;
        }
        return;
    }
    {
        const std::size_t room = m_start[slot + 1] - m_start[slot] - 1;
        char* at = m_arena.data() + m_start[slot];
        if (t.size() <= room) {
            std::memcpy(at, t.data(), t.size());
            std::memset(at + t.size(), 0, room - t.size());
            if (m_length[slot] == kAside) m_aside.erase(slot);
            m_length[slot] = static_cast<uint8_t>(t.size());
        } else {
            std::memset(at, 0, room);
            m_length[slot] = kAside;
            m_aside[slot] = std::string(t);
        }
    }
    if (cleanTail(field, m_width, t.size())) {
        if (m_hasTail[slot]) m_tails.erase(slot);
        m_hasTail[slot] = false;
    } else {
        m_tails[slot] = std::string(field, m_width);
        m_hasTail[slot] = true;
    }
    // The texts aside are searched one by one: rebuild before they are many.
    if (m_aside.size() > std::max<std::size_t>(256, slotCount() / 16)) rebuild();
}

void FieldColumn::erase(uint64_t slot) {
    const std::string empty(m_width, '\0');
    set(slot, empty.data());
}

void FieldColumn::rebuild() {
    std::vector<char> arena;
    std::vector<uint32_t> start;
    arena.reserve(m_arena.size() + m_aside.size() * m_width);
    start.reserve(m_start.size());
    for (uint64_t slot = 0; slot < slotCount(); ++slot) {
        std::string_view t = text(slot);
        start.push_back(static_cast<uint32_t>(arena.size()));
        arena.insert(arena.end(), t.begin(), t.end());
        arena.push_back('\0');
        m_length[slot] = static_cast<uint8_t>(t.size());
    }
    start.push_back(static_cast<uint32_t>(arena.size()));
    m_arena.swap(arena);
    m_start.swap(start);
    m_aside.clear();
}

uint64_t FieldColumn::slotAtOffset(uint64_t offset) const {
    auto it = std::upper_bound(m_start.begin(), m_start.end(), static_cast<uint32_t>(offset));
    return static_cast<uint64_t>(it - m_start.begin()) - 1;
}

std::optional<uint64_t> FieldColumn::findContaining(std::string_view fragment, uint64_t from,
                                                    uint64_t to) const {
    to = std::min<uint64_t>(to, slotCount());
    if (fragment.empty() || from >= to || fragment.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::optional<uint64_t> found;
    const char* base = m_arena.data();
    const char* end = base + m_start[to];
    const void* hit =
        ::memmem(base + m_start[from], static_cast<std::size_t>(end - (base + m_start[from])),
                 fragment.data(), fragment.size());
    // A slot whose text is aside has its room blanked, so a hit is the
    // slot's own text.
    if (hit) found = slotAtOffset(static_cast<uint64_t>(static_cast<const char*>(hit) - base));
    const uint64_t limit = found ? *found : to;
    for (auto it = m_aside.lower_bound(from); it != m_aside.end() && it->first < limit; ++it) {
        if (it->second.find(fragment) != std::string::npos) return it->first;
    }
    return found;
}

std::size_t FieldColumn::memoryBytes() const {
    std::size_t bytes = m_arena.capacity() + m_start.capacity() * sizeof(uint32_t) +
                        m_length.capacity() + m_hasTail.capacity() / 8;
    for (const auto& [slot, text] : m_aside) bytes += 64 + text.capacity();
    bytes += m_tails.size() * (64 + m_width);
    return bytes;
}

}  // namespace kassio
