// The quick-select page: the items behind the picture buttons, one display
// category at a time, paged forwards and back through the item index.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/data_store.h"
#include "store/inventory_record.h"
#include "till/till_data.h"

namespace kassio {

inline constexpr int kQuickSelectButtons = 60;

// An item's button: its number, description and picture file.
QuickSelectEntry quickSelectEntryOf(const InventoryRecord& item);

class QuickSelectPage {
  public:
    QuickSelectPage(DataStore& store, TillData& data) : m_store(store), m_data(data) {}

    // How many buttons the window shows: 1..60.
    void setVisibleButtons(int count);
    int visibleButtons() const { return m_visible; }

    void fill();
    // The page after the last visible item, or before the first; a page
    // with nothing further stays as it is.
    void forward();
    void back();
    // 0..17, 18 for all; kept in kq.cfg's settings (saved at close).
    void selectCategory(int category);
    void left();
    void right();
    int category() const;
    std::string categoryLabel() const;

    const std::array<QuickSelectEntry, kQuickSelectButtons>& entries() const { return m_entries; }
    // The item of a button, 0 for an empty or unknown one.
    int64_t itemAt(int button) const;

  private:
    void show(std::vector<QuickSelectEntry> found);

    DataStore& m_store;
    TillData& m_data;
    int m_visible = 14;
    std::array<QuickSelectEntry, kQuickSelectButtons> m_entries;
};

}  // namespace kassio
