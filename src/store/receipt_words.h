// language.ini: the receipt and invoice wording, 58 slots of 80 bytes
// (4640 bytes, no header, Windows-1252). Slot 0 is the language name,
// slots 1..35 the words, 36..57 empty.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace kassio {

inline constexpr int kReceiptWordSlots = 58;
inline constexpr std::size_t kReceiptWordWidth = 80;
inline constexpr std::size_t kReceiptWordsSize = kReceiptWordSlots * kReceiptWordWidth;
inline constexpr int kLanguageCount = 4;  // 0 English, 1 Italiano, 2 Espanol, 3 Nederlands

class ReceiptWords {
  public:
    ReceiptWords() { m_bytes.fill(0); }

    // The built-in words of language 0..3; any other number changes nothing.
    void loadBuiltIn(int language);

    std::string word(int slot) const;
    // Stores at most 79 characters.
    void setWord(int slot, const std::string& text);

    unsigned char* bytes() { return m_bytes.data(); }
    const unsigned char* bytes() const { return m_bytes.data(); }

  private:
    std::array<unsigned char, kReceiptWordsSize> m_bytes;
};

}  // namespace kassio
