// Procedures 7 and 8: pages of quick-select items for a client station's
// picture buttons, walked through the ItemIndex in number order.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "server/station_server.h"
#include "store/file_io.h"

namespace kassio {

namespace {

struct PageEntry {
    int64_t number;
    char description[40];
    char picture[40];
};

// The picture a quick-select button shows: the item's own, or a built-in one.
void pictureName(const InventoryRecord& item, char (&out)[40]) {
    if (item.own_picture == 1)
        std::snprintf(out, sizeof out, "m%lld.bmp", static_cast<long long>(item.number));
    else
        std::snprintf(out, sizeof out, "STOCK%d.bmp", item.picture_number);
}

bool onPage(const InventoryRecord& item, int32_t category) {
    return (category == kPageAllCategories || item.display_category == category) &&
           item.omit_from_quick_select != 2;
}

// Walks the ItemIndex from entry `from` forwards (step 1) or backwards
// (step -1) and collects up to a page of items of the category, in walking
// order. The caller holds the DataMutex. Each item is read through the
// store, so the page shows postings not yet in the file without waiting
// for them to get there.
std::vector<PageEntry> collect(DataStore& store, std::ptrdiff_t from, int step, int32_t category) {
    std::vector<PageEntry> found;
    const auto& entries = store.items().index().entries();
    InventoryRecord item;
    for (std::ptrdiff_t p = from;
         p >= 0 && p < static_cast<std::ptrdiff_t>(entries.size()) && found.size() < kItemPageSize;
         p += step) {
        const IndexEntry& e = entries[static_cast<std::size_t>(p)];
        if (e.number <= 0) {
            if (step < 0) break;  // the deleted entries are all at the front
            continue;
        }
        // The category and the omission are in memory: only the items that
        // go on the page are read.
        const SlotTexts& texts = store.itemTexts();
        if ((category != kPageAllCategories &&
             texts.number(item_texts::kDisplayCategory, e.slot) != category) ||
            texts.number(item_texts::kOmitFromQuickSelect, e.slot) == 2)
            continue;
        if (!store.items().read(e.slot, &item)) break;
        if (!onPage(item, category)) continue;
        PageEntry entry{};
        entry.number = e.number;
        setFieldText(entry.description, fieldText(item.description));
        pictureName(item, entry.picture);
        found.push_back(entry);
    }
    return found;
}

PageEntry entryOf(const ItemPage& page, int i) {
    PageEntry e;
    e.number = page.numbers[i];
    std::memcpy(e.description, page.texts[i], sizeof e.description);
    std::memcpy(e.picture, page.texts[kItemPageSize + i], sizeof e.picture);
    return e;
}

// Puts the entries on the page in order and empties the rest of it.
void fill(ItemPage& page, const std::vector<PageEntry>& entries) {
    for (int i = 0; i < kItemPageSize; ++i) {
        if (i < static_cast<int>(entries.size())) {
            page.numbers[i] = entries[i].number;
            std::memcpy(page.texts[i], entries[i].description, sizeof page.texts[i]);
            std::memcpy(page.texts[kItemPageSize + i], entries[i].picture, sizeof page.texts[i]);
        } else {
            page.numbers[i] = 0;
            std::memset(page.texts[i], 0, sizeof page.texts[i]);
            std::memset(page.texts[kItemPageSize + i], 0, sizeof page.texts[i]);
        }
    }
}

void setLastFromPage(ItemPage& page) {
    page.last = 0;
    for (int i = 0; i < kItemPageSize; ++i)
        if (page.numbers[i] != 0) page.last = page.numbers[i];
}

}  // namespace

// Asked by name: an inventory.dat moved away is missing even though the
// station still holds it open.
bool StationServer::inventoryPresent() const {
    return m_store.files().exists(m_store.items().name());
}

void StationServer::firstItemPage(ItemPage& page) {
    auto lock = m_store.lock();
    std::vector<PageEntry> found;
    if (inventoryPresent()) found = collect(m_store, 0, 1, page.category);
    fill(page, found);
    page.last = found.empty() ? 0 : found.back().number;
}

Status StationServer::nextItemPage(ItemPage& page) {
    auto lock = m_store.lock();
    if (!inventoryPresent()) {
        fill(page, {});
        page.last = 0;
        return m_store.items().notPresent();
    }
    const RecordIndex& index = m_store.items().index();

    if (page.direction == kPagePrevious) {
        if (page.last == 0 || page.numbers[0] <= 1) return Status::ok();
        const auto before = static_cast<std::ptrdiff_t>(index.lowerBound(page.numbers[0])) - 1;
        std::vector<PageEntry> found = collect(m_store, before, -1, page.category);
        if (found.empty()) return Status::ok();
        // Nearest last, in number order, then as many of the page's first
        // items as still fit.
        std::vector<PageEntry> entries(found.rbegin(), found.rend());
        for (int i = 0; entries.size() < kItemPageSize; ++i) entries.push_back(entryOf(page, i));
        fill(page, entries);
        setLastFromPage(page);
        return Status::ok();
    }

    const int64_t eighth = page.numbers[kItemPageSize - 1];
    if (eighth == 0) return Status::ok();
    std::size_t after = index.lowerBound(eighth);
    while (after < index.entries().size() && index.entries()[after].number == eighth) ++after;
    std::vector<PageEntry> found =
        collect(m_store, static_cast<std::ptrdiff_t>(after), 1, page.category);
    // As procedure 7 does: past the end of the category the page comes
    // back empty (last 0), which is how a client knows it has reached it.
    fill(page, found);
    page.last = found.empty() ? 0 : found.back().number;
    return Status::ok();
}

}  // namespace kassio
