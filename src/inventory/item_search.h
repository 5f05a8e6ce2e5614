// The item searches over inventory.dat: by the initial characters of the
// description ('?' matches any character), by a fragment of the description
// or of SKU 1, and the advanced search over the description and the four
// SKUs. Each next...() call takes the DataMutex, finds the next match at or
// after a slot and releases the lock before returning (see record_scan.h), so
// the caller may show the match and wait for the clerk without stalling the
// client stations.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "inventory/item_forms.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace kassio {

// The search type the "Item description search" window preselects: 2 for
// "Within the description", else "Initial characters" (settings block B).
inline constexpr int kSetBDescriptionSearchWithin = settingB(12622);

struct ItemHit {
    uint64_t slot = 0;
    InventoryRecord item{};
};

enum class FragmentField { kDescription, kSku1 };

// The typed text as a description query: upper case, a lone character
// followed by '?'. nullopt for an empty text, which finds nothing.
std::optional<std::string> initialsQuery(const std::string& typed);

// Whether a description (its 40 stored bytes) begins with the query.
bool matchesInitials(const std::string& query, const char (&description)[40]);

bool advancedMatches(const AdvancedQuery& upperQuery, const InventoryRecord& item);
// Every fragment of the query upper-cased.
AdvancedQuery upperCased(const AdvancedQuery& query);

std::optional<ItemHit> nextByInitials(DataStore& store, const std::string& query, uint64_t from,
                                      Status* error);
std::optional<ItemHit> nextByFragment(DataStore& store, FragmentField field,
                                      const std::string& upperQuery, uint64_t from, Status* error);
std::optional<ItemHit> nextAdvanced(DataStore& store, const AdvancedQuery& upperQuery,
                                    uint64_t from, Status* error);

// The list mode of the description search: one line "%I64d, %s (%d) %.2f"
// per matching item in slot order, and the numbers the lines start with.
struct ItemPickList {
    std::vector<int64_t> numbers;
    std::vector<std::string> lines;
};
ItemPickList initialsPickList(DataStore& store, const std::string& query, Status* error);

// After the clerk chose a match with the lock released: the slot read again,
// if it still holds that item and the item still matches.
std::optional<ItemHit> recheckHit(DataStore& store, const ItemHit& hit,
                                  const std::function<bool(const InventoryRecord&)>& stillMatches);

}  // namespace kassio
