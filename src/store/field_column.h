// One text field of every slot of a record file, held in memory for the
// searches: the description of every item, the name of every customer, ...
//
// The texts (up to the field's first NUL) lie one after another in slot
// order in one arena, each followed by at least one NUL byte, so a search
// for a fragment over a run of slots is one memmem() over a contiguous
// range, and a hit always lies inside one slot's text (a fragment never
// holds a NUL). A text that no longer fits the room its slot has in the
// arena is kept aside (and its room blanked) until the arena is rebuilt.
//
// The searches by initial characters compare the stored bytes of the field
// past its NUL as well; a field whose bytes after the NUL are not all zero
// (a record written by another program) keeps those bytes aside too.
//
// Not synchronised: SlotTexts (slot_texts.h) locks around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kassio {

class FieldColumn {
  public:
    // width: the field's bytes in the record (40 for a description).
    explicit FieldColumn(std::size_t width);

    void clear();
    void reserve(std::size_t slots, std::size_t textBytes);

    // Whether slot holds exactly these width bytes of a field.
    bool holds(uint64_t slot, const char* field) const;
    // Slot now holds these width bytes; slots below it that were never set
    // hold empty texts.
    void set(uint64_t slot, const char* field);
    // Slot holds an empty field (a deleted record).
    void erase(uint64_t slot);

    std::size_t slotCount() const { return m_length.size(); }
    std::size_t width() const { return m_width; }
    std::string_view text(uint64_t slot) const;
    // Byte i (< width) of the field as stored in the record.
    unsigned char byteAt(uint64_t slot, std::size_t i) const;
    // The whole width of the field when its bytes after the NUL are not
    // all zero, else nullptr (the field is then its text and zeros).
    const char* storedBytes(uint64_t slot) const {
        return slot < m_hasTail.size() && m_hasTail[slot] ? m_tails.at(slot).data() : nullptr;
    }

    // The first slot in [from, to) whose text contains the fragment; none
    // for an empty fragment or one holding a NUL.
    std::optional<uint64_t> findContaining(std::string_view fragment, uint64_t from,
                                           uint64_t to) const;

    // Bytes of memory held.
    std::size_t memoryBytes() const;

  private:
    static constexpr uint8_t kAside = 0xFF;  // text kept in m_aside

    void appendSlot(std::string_view text);
    void rebuild();
    uint64_t slotAtOffset(uint64_t offset) const;

    std::size_t m_width;
    std::vector<char> m_arena;
    std::vector<uint32_t> m_start;  // per slot, then the arena's end
    std::vector<uint8_t> m_length;  // bytes of the text, or kAside
    std::map<uint64_t, std::string> m_aside;
    std::vector<bool> m_hasTail;
    std::unordered_map<uint64_t, std::string> m_tails;  // whole field bytes
};

}  // namespace kassio
