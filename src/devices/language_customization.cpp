#include "devices/language_customization.h"

namespace kassio {

namespace {

constexpr std::size_t kWordChars = kReceiptWordWidth - 1;

}  // namespace

const std::array<const char*, kLanguageCount> kLanguageNames = {"English", "Italiano", "Espanol",
                                                                "Nederlands"};

LanguageCustomization::LanguageCustomization(const StoreConfigRecord& cfg,
                                             const ReceiptWords& current) {
    int stored = cfg.settings_b[kSetBReceiptLanguage];
    m_language = stored >= 0 && stored < kLanguageCount ? stored : 0;
    ReceiptWords builtIn;
    builtIn.loadBuiltIn(m_language);
    for (int slot = 1; slot <= kCustomWordCount; ++slot) {
        m_builtIn[slot - 1] = builtIn.word(slot);
        m_current[slot - 1] = current.word(slot);
    }
}

void LanguageCustomization::chooseLanguage(int language) {
    if (language < 0 || language >= kLanguageCount) return;
    m_language = language;
    ReceiptWords builtIn;
    builtIn.loadBuiltIn(language);
    for (int slot = 1; slot <= kCustomWordCount; ++slot)
        m_builtIn[slot - 1] = m_current[slot - 1] = builtIn.word(slot);
}

void LanguageCustomization::edit(int slot, const std::string& text) {
    if (slot < 1 || slot > kCustomWordCount) return;
    m_current[slot - 1] = text.substr(0, kWordChars);
}

void LanguageCustomization::apply(StoreConfigRecord& cfg, ReceiptWords& words) const {
    cfg.settings_b[kSetBReceiptLanguage] = m_language;
    for (int slot = 1; slot <= kCustomWordCount; ++slot) words.setWord(slot, m_current[slot - 1]);
}

}  // namespace kassio
