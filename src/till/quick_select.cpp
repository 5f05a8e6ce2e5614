#include "till/quick_select.h"

#include <algorithm>
#include <vector>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/inventory_record.h"

namespace kassio {

void QuickSelectPage::setVisibleButtons(int count) {
    m_visible = std::clamp(count, 1, kQuickSelectButtons);
}

int QuickSelectPage::category() const {
    return m_store.config().record().settings_b[kSetBQuickSelectCategory];
}

std::string QuickSelectPage::categoryLabel() const {
    int c = category();
    return c >= 0 && c < kDisplayCategories ? m_store.config().categoryCode(c) : "ALL";
}

int64_t QuickSelectPage::itemAt(int button) const {
    if (button < 0 || button >= kQuickSelectButtons) return 0;
    return m_entries[static_cast<std::size_t>(button)].number;
}

QuickSelectEntry quickSelectEntryOf(const InventoryRecord& item) {
    QuickSelectEntry q;
    q.number = item.number;
    q.description = fieldText(item.description);
    q.picture = item.own_picture == 1 ? formatted("m%lld.bmp", static_cast<long long>(item.number))
                                      : formatted("STOCK%d.bmp", item.picture_number);
    return q;
}

void QuickSelectPage::show(std::vector<QuickSelectEntry> found) {
    if (found.empty() && m_entries[0].number != 0) return;  // nothing further: the page stays
    for (auto& q : m_entries) q = QuickSelectEntry{};
    for (std::size_t i = 0; i < found.size() && i < m_entries.size(); ++i)
        m_entries[i] = std::move(found[i]);
}

void QuickSelectPage::fill() {
    show(m_data.itemsAfter(0, category(), static_cast<std::size_t>(m_visible)));
}

void QuickSelectPage::forward() {
    int last = -1;
    for (int i = 0; i < m_visible; ++i)
        if (m_entries[static_cast<std::size_t>(i)].number != 0) last = i;
    if (last < 0) return;
    const int64_t number = m_entries[static_cast<std::size_t>(last)].number;
    show(m_data.itemsAfter(number, category(), static_cast<std::size_t>(m_visible)));
}

void QuickSelectPage::back() {
    if (m_entries[0].number == 0) return;
    show(m_data.itemsBefore(m_entries[0].number, category(), static_cast<std::size_t>(m_visible)));
}

void QuickSelectPage::selectCategory(int c) {
    if (c < 0 || c > kAllCategories) return;
    {
        auto lock = m_store.lock();
        m_store.config().record().settings_b[kSetBQuickSelectCategory] = c;
    }
    for (auto& q : m_entries) q = QuickSelectEntry{};
    fill();
}

void QuickSelectPage::left() {
    int c = category() - 1;
    selectCategory(c < 0 ? kAllCategories : c);
}

void QuickSelectPage::right() {
    int c = category() + 1;
    selectCategory(c > kAllCategories ? 0 : c);
}

}  // namespace kassio
