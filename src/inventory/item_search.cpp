#include "inventory/item_search.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/record_scan.h"

namespace kassio {

namespace {

InventoryRecord toItem(const std::vector<unsigned char>& bytes) {
    InventoryRecord item;
    std::memcpy(&item, bytes.data(), sizeof item);
    return item;
}

bool contains(std::string_view field, const std::string& fragment) {
    return field.find(fragment) != std::string_view::npos;
}

constexpr std::size_t kDescriptionOffset = offsetof(InventoryRecord, description);

bool initialsAt(const std::string& query, const unsigned char* record) {
    return initialsMatch(query, reinterpret_cast<const char*>(record + kDescriptionOffset), 40);
}

std::string_view textAt(const unsigned char* record, std::size_t offset, std::size_t width) {
    return fieldView(record, offset, width);
}

bool advancedAt(const AdvancedQuery& q, const unsigned char* rec) {
    const std::string_view description = textAt(rec, offsetof(InventoryRecord, description), 40);
    const std::string_view skus[4] = {textAt(rec, offsetof(InventoryRecord, sku1), 40),
                                      textAt(rec, offsetof(InventoryRecord, sku2), 40),
                                      textAt(rec, offsetof(InventoryRecord, sku3), 40),
                                      textAt(rec, offsetof(InventoryRecord, sku4), 40)};
    auto inAnySku = [&](const std::string& fragment) {
        for (const auto& s : skus)
            if (contains(s, fragment)) return true;
        return false;
    };
    if (q.all) {
        if (!contains(description, q.description)) return false;
        for (const std::string& f : q.sku)
            if (!inAnySku(f)) return false;
        return true;
    }
    if (!q.description.empty() && contains(description, q.description)) return true;
    for (const std::string& f : q.sku)
        if (!f.empty() && inAnySku(f)) return true;
    return false;
}

std::optional<ItemHit> toHit(std::optional<ScanHit> hit) {
    if (!hit) return std::nullopt;
    return ItemHit{hit->slot, toItem(hit->record)};
}

}  // namespace

std::optional<std::string> initialsQuery(const std::string& typed) {
    if (typed.empty()) return std::nullopt;
    std::string q = upperCase(typed);
    if (q.size() == 1) q += '?';
    return q;
}

bool matchesInitials(const std::string& query, const char (&description)[40]) {
    RecordIndex::Prefix p{description[0], description[1]};
    return prefixMatches(query, p) && initialsMatch(query, description, sizeof description);
}

AdvancedQuery upperCased(const AdvancedQuery& query) {
    AdvancedQuery q = query;
    q.description = upperCase(q.description);
    for (std::string& s : q.sku) s = upperCase(s);
    return q;
}

bool advancedMatches(const AdvancedQuery& q, const InventoryRecord& item) {
    return advancedAt(q, reinterpret_cast<const unsigned char*>(&item));
}

std::optional<ItemHit> nextByInitials(DataStore& store, const std::string& query, uint64_t from,
                                      Status* error) {
    if (query.size() < 2) return std::nullopt;
    const RecordIndex& index = store.items().index();
    // The prefix table is read inside the scan, under the same hold of the
    // lock as the file, so the two agree.
    return toHit(scanFrom(
        store, store.items(), from,
        [&](uint64_t slot) { return prefixMatches(query, index.prefix(slot)); },
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) > 0 && initialsAt(query, rec);
        },
        error));
}

std::optional<ItemHit> nextByFragment(DataStore& store, FragmentField field,
                                      const std::string& upperQuery, uint64_t from, Status* error) {
    if (upperQuery.empty()) return std::nullopt;
    const std::size_t offset = field == FragmentField::kDescription
                                   ? offsetof(InventoryRecord, description)
                                   : offsetof(InventoryRecord, sku1);
    return toHit(scanFrom(
        store, store.items(), from, everySlot,
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) > 0 && contains(textAt(rec, offset, 40), upperQuery);
        },
        error));
}

std::optional<ItemHit> nextAdvanced(DataStore& store, const AdvancedQuery& q, uint64_t from,
                                    Status* error) {
    return toHit(scanFrom(
        store, store.items(), from, everySlot,
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) > 0 && advancedAt(q, rec);
        },
        error));
}

ItemPickList initialsPickList(DataStore& store, const std::string& query, Status* error) {
    ItemPickList list;
    if (query.size() < 2) return list;
    const RecordIndex& index = store.items().index();
    auto hits = scanAll(
        store, store.items(),
        [&](uint64_t slot) { return prefixMatches(query, index.prefix(slot)); },
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) > 0 && initialsAt(query, rec);
        },
        error);
    for (const ScanHit& h : hits) {
        InventoryRecord item = toItem(h.record);
        list.numbers.push_back(item.number);
        list.lines.push_back(formatted("%lld, %s (%d) %.2f", static_cast<long long>(item.number),
                                       fieldText(item.description).c_str(), item.quantity,
                                       item.retail_price));
    }
    return list;
}

std::optional<ItemHit> recheckHit(DataStore& store, const ItemHit& hit,
                                  const std::function<bool(const InventoryRecord&)>& stillMatches) {
    auto lock = store.lock();
    InventoryRecord item;
    if (!store.items().read(hit.slot, &item)) return std::nullopt;
    if (item.number != hit.item.number || !stillMatches(item)) return std::nullopt;
    return ItemHit{hit.slot, item};
}

}  // namespace kassio
