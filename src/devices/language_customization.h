// The "Language customization" dialog's rules: a language list, and 35
// pairs of words (the built-in word of the listed language, read-only, and
// the current word, editable). Choosing a language or "Reset" fills both
// boxes of every pair with the built-in words; "OK" stores the language and
// the 35 current words; slot 0 (the language name) is left as it was.
#pragma once

#include <array>
#include <string>

#include "store/receipt_words.h"
#include "store/store_config.h"

namespace kassio {

inline constexpr int kCustomWordCount = 35;   // slots 1..35
inline constexpr int kReceiptWordGroup = 16;  // slots 1..16 are the "Receipt" group
extern const std::array<const char*, kLanguageCount> kLanguageNames;

class LanguageCustomization {
  public:
    static constexpr const char* kNote =
        "The text on receipts and invoices may be specified. Some fields appear only on the "
        "custom versions. Note that if the language is changed any existing customizations are "
        "lost.";

    // Preset to the stored language; the editable boxes hold the current words.
    LanguageCustomization(const StoreConfigRecord& cfg, const ReceiptWords& current);

    int language() const { return m_language; }
    void chooseLanguage(int language);  // 0..3; anything else changes nothing
    void reset() { chooseLanguage(m_language); }

    // Word slot 1..35.
    const std::string& builtIn(int slot) const { return m_builtIn[slot - 1]; }
    const std::string& current(int slot) const { return m_current[slot - 1]; }
    void edit(int slot, const std::string& text);  // keeps 79 characters

    void apply(StoreConfigRecord& cfg, ReceiptWords& words) const;

  private:
    int m_language = 0;
    std::array<std::string, kCustomWordCount> m_builtIn;
    std::array<std::string, kCustomWordCount> m_current;
};

}  // namespace kassio
