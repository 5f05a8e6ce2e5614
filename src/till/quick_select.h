// The quick-select page: the items behind the picture buttons, one display
// category at a time, paged forwards and back through the item index.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/data_store.h"

namespace kassio {

inline constexpr int kQuickSelectButtons = 60;
inline constexpr int kAllCategories = 18;

struct QuickSelectEntry {
    int64_t number = 0;  // 0 = empty button
    std::string description;
    std::string picture;  // "STOCK%d.bmp" or "m%I64d.bmp"
};

class QuickSelectPage {
  public:
    explicit QuickSelectPage(DataStore& store) : m_store(store) {}

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
    void collect(std::size_t start, bool forward);

    DataStore& m_store;
    int m_visible = 14;
    std::array<QuickSelectEntry, kQuickSelectButtons> m_entries;
};

}  // namespace kassio
