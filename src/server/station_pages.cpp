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
// order. The caller holds the DataMutex; `file` is inventory.dat.
std::vector<PageEntry> collect(DataStore& store, const File& file, std::ptrdiff_t from, int step,
                               int32_t category) {
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
        if (file.readAt(e.slot * sizeof item, &item, sizeof item) !=
            static_cast<long long>(sizeof item))
            break;
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

void StationServer::firstItemPage(ItemPage& page) {
    auto lock = m_store.lock();
    auto file = File::open(m_store.items().path(), File::Mode::kRead);
    std::vector<PageEntry> found;
    if (file) found = collect(m_store, *file, 0, 1, page.category);
    fill(page, found);
    page.last = found.empty() ? 0 : found.back().number;
}

Status StationServer::nextItemPage(ItemPage& page) {
    auto lock = m_store.lock();
    auto file = File::open(m_store.items().path(), File::Mode::kRead);
    if (!file) {
        fill(page, {});
        page.last = 0;
        return m_store.items().notPresent();
    }
    const RecordIndex& index = m_store.items().index();

    if (page.direction == kPagePrevious) {
        if (page.last == 0 || page.numbers[0] <= 1) return Status::ok();
        const auto before = static_cast<std::ptrdiff_t>(index.lowerBound(page.numbers[0])) - 1;
        std::vector<PageEntry> found = collect(m_store, *file, before, -1, page.category);
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
        collect(m_store, *file, static_cast<std::ptrdiff_t>(after), 1, page.category);
    // At the end of the category the page stays as it is, as at the till,
    // rather than turning into an empty page the client cannot page back from.
    if (found.empty()) return Status::ok();
    fill(page, found);
    page.last = found.back().number;
    return Status::ok();
}

}  // namespace kassio
