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

// Fills the visible buttons with the matching items from index position
// `start`, walking forwards, or backwards (nearest last) from just before it.
void QuickSelectPage::collect(std::size_t start, bool forward) {
    const int c = category();
    std::vector<QuickSelectEntry> found;
    {
        auto lock = m_store.lock();
        const auto& entries = m_store.items().index().entries();
        const SlotTexts& texts = m_store.itemTexts();
        auto take = [&](const IndexEntry& e) {
            if (e.number < 0) return;
            // The category and the omission are in memory: only the items
            // that go on a button are read.
            if ((c != kAllCategories && texts.number(item_texts::kDisplayCategory, e.slot) != c) ||
                texts.number(item_texts::kOmitFromQuickSelect, e.slot) == 2)
                return;
            InventoryRecord item;
            if (!m_store.items().read(e.slot, &item)) return;
            if ((c != kAllCategories && item.display_category != c) ||
                item.omit_from_quick_select == 2)
                return;
            QuickSelectEntry q;
            q.number = item.number;
            q.description = fieldText(item.description);
            q.picture = item.own_picture == 1
                            ? formatted("m%lld.bmp", static_cast<long long>(item.number))
                            : formatted("STOCK%d.bmp", item.picture_number);
            found.push_back(std::move(q));
        };
        const std::size_t want = static_cast<std::size_t>(m_visible);
        if (forward) {
            for (std::size_t p = start; p < entries.size() && found.size() < want; ++p)
                take(entries[p]);
        } else {
            for (std::size_t p = start; p > 0 && found.size() < want; --p) take(entries[p - 1]);
            std::reverse(found.begin(), found.end());
        }
    }
    if (found.empty() && m_entries[0].number != 0) return;  // nothing further: the page stays
    for (auto& q : m_entries) q = QuickSelectEntry{};
    for (std::size_t i = 0; i < found.size(); ++i) m_entries[i] = std::move(found[i]);
}

void QuickSelectPage::fill() {
    collect(0, true);
}

void QuickSelectPage::forward() {
    int last = -1;
    for (int i = 0; i < m_visible; ++i)
        if (m_entries[static_cast<std::size_t>(i)].number != 0) last = i;
    if (last < 0) return;
    const int64_t number = m_entries[static_cast<std::size_t>(last)].number;
    std::size_t from;
    {
        auto lock = m_store.lock();
        from = m_store.items().index().lowerBound(number + 1);
    }
    collect(from, true);
}

void QuickSelectPage::back() {
    if (m_entries[0].number == 0) return;
    std::size_t from;
    {
        auto lock = m_store.lock();
        from = m_store.items().index().lowerBound(m_entries[0].number);
    }
    collect(from, false);
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
