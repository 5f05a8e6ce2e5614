#include "inventory/item_search.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/slot_search.h"

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

// The searches look in memory (store/slot_search.h) and test each record
// they return again, by the rules above, after reading it.

namespace {

using namespace item_texts;

auto byInitials(const DataStore& store, const std::string& query) {
    return [&texts = store.itemTexts(), &query](uint64_t from, uint64_t to) {
        return firstByInitials(texts, kDescription, query, from, to);
    };
}

auto initialsTest(const std::string& query) {
    return [&query](uint64_t, const unsigned char* rec) {
        return prefixMatches(query, {static_cast<char>(rec[kDescriptionOffset]),
                                     static_cast<char>(rec[kDescriptionOffset + 1])}) &&
               initialsAt(query, rec);
    };
}

// The first live slot of [from, to) whose SKU 1 to SKU 4 hold the fragment.
std::optional<uint64_t> inAnySku(const SlotTexts& texts, const std::string& fragment, uint64_t from,
                                 uint64_t to) {
    return firstContaining(texts, {kSku1, kSku2, kSku3, kSku4}, fragment, from, to);
}

// The advanced search in memory. Any: the nearest slot any non-empty
// fragment finds. All: each fragment's nearest slot from a candidate on; the
// candidate moves to the farthest of them until all agree.
std::optional<uint64_t> advancedIn(const SlotTexts& texts, const AdvancedQuery& q, uint64_t from,
                                   uint64_t to) {
    if (!q.all) {
        std::optional<uint64_t> best;
        auto take = [&](std::optional<uint64_t> hit) {
            if (hit && (!best || *hit < *best)) best = hit;
        };
        if (!q.description.empty())
            take(firstContaining(texts, {kDescription}, q.description, from, to));
        for (const std::string& f : q.sku)
            if (!f.empty()) take(inAnySku(texts, f, from, best ? *best : to));
        return best;
    }
    uint64_t candidate = from;
    for (;;) {
        auto hit = firstContaining(texts, {kDescription}, q.description, candidate, to);
        if (!hit) return std::nullopt;
        bool agreed = true;
        for (const std::string& f : q.sku) {
            auto skuHit = inAnySku(texts, f, *hit, to);
            if (!skuHit) return std::nullopt;
            if (*skuHit != *hit) {
                candidate = *skuHit;
                agreed = false;
                break;
            }
        }
        if (agreed) return hit;
    }
}

}  // namespace

std::optional<ItemHit> nextByInitials(DataStore& store, const std::string& query, uint64_t from,
                                      Status* error) {
    if (query.size() < 2) return std::nullopt;
    return toHit(searchFrom(store, store.items(), store.itemTexts(), from, byInitials(store, query),
                            initialsTest(query), error));
}

std::optional<ItemHit> nextByFragment(DataStore& store, FragmentField field,
                                      const std::string& upperQuery, uint64_t from, Status* error) {
    if (upperQuery.empty()) return std::nullopt;
    const bool description = field == FragmentField::kDescription;
    const std::size_t offset =
        description ? offsetof(InventoryRecord, description) : offsetof(InventoryRecord, sku1);
    const std::size_t column = description ? kDescription : kSku1;
    const SlotTexts& texts = store.itemTexts();
    return toHit(searchFrom(
        store, store.items(), texts, from,
        [&](uint64_t first, uint64_t end) {
            return firstContaining(texts, {column}, upperQuery, first, end);
        },
        [&](uint64_t, const unsigned char* rec) {
            return contains(textAt(rec, offset, 40), upperQuery);
        },
        error));
}

std::optional<ItemHit> nextAdvanced(DataStore& store, const AdvancedQuery& q, uint64_t from,
                                    Status* error) {
    const SlotTexts& texts = store.itemTexts();
    return toHit(searchFrom(
        store, store.items(), texts, from,
        [&](uint64_t first, uint64_t end) { return advancedIn(texts, q, first, end); },
        [&](uint64_t, const unsigned char* rec) { return advancedAt(q, rec); }, error));
}

ItemPickList initialsPickList(DataStore& store, const std::string& query, Status* error) {
    ItemPickList list;
    if (query.size() < 2) return list;
    auto hits = searchAll(store, store.items(), store.itemTexts(), byInitials(store, query),
                          initialsTest(query), error);
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
