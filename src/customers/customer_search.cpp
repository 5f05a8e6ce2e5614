#include "customers/customer_search.h"

#include <algorithm>
#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/record_scan.h"

namespace kassio {

namespace {

constexpr std::size_t kName = offsetof(CustomerRecord, name);
constexpr std::size_t kTelephone = offsetof(CustomerRecord, telephone);
constexpr std::size_t kTelephone2 = offsetof(CustomerRecord, telephone2);

CustomerRecord toCustomer(const std::vector<unsigned char>& bytes) {
    CustomerRecord c;
    std::memcpy(&c, bytes.data(), sizeof c);
    return c;
}

std::optional<CustomerHit> toHit(std::optional<ScanHit> hit) {
    if (!hit) return std::nullopt;
    return CustomerHit{hit->slot, toCustomer(hit->record)};
}

bool has(std::string_view field, const std::string& q) {
    return field.find(q) != std::string_view::npos;
}

// The name search by initial characters: the prefix table first, then the
// name from its third character.
auto namePrefix(DataStore& store, const std::string& query) {
    const RecordIndex& index = store.customers().index();
    return [&index, &query](uint64_t slot) { return prefixMatches(query, index.prefix(slot)); };
}

auto nameInitials(const std::string& query) {
    return [&query](uint64_t, const unsigned char* rec) {
        return recordNumber(rec) > 0 &&
               initialsMatch(query, reinterpret_cast<const char*>(rec + kName), 30);
    };
}

}  // namespace

std::optional<std::string> nameQuery(const std::string& typed) {
    if (typed.empty()) return std::nullopt;
    std::string q = upperCase(typed);
    if (q.size() == 1) q += '?';
    return q;
}

std::optional<CustomerHit> nextByName(DataStore& store, const std::string& query, uint64_t from,
                                      Status* error) {
    if (query.size() < 2) return std::nullopt;
    return toHit(scanFrom(store, store.customers(), from, namePrefix(store, query),
                          nameInitials(query), error));
}

std::optional<CustomerHit> nextByNameFragment(DataStore& store, const std::string& q, uint64_t from,
                                              Status* error) {
    if (q.empty()) return std::nullopt;
    return toHit(scanFrom(
        store, store.customers(), from, everySlot,
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) > 0 && has(fieldView(rec, kName, 30), q);
        },
        error));
}

std::optional<CustomerHit> nextByTelephone(DataStore& store, const std::string& q, uint64_t from,
                                           Status* error) {
    if (q.empty()) return std::nullopt;
    return toHit(scanFrom(
        store, store.customers(), from, everySlot,
        [&](uint64_t, const unsigned char* rec) {
            return recordNumber(rec) >= 1 && (has(fieldView(rec, kTelephone, 20), q) ||
                                              has(fieldView(rec, kTelephone2, 20), q));
        },
        error));
}

CustomerPickList namePickList(DataStore& store, const std::string& query, Status* error) {
    CustomerPickList list;
    if (query.size() < 2) return list;
    auto hits =
        scanAll(store, store.customers(), namePrefix(store, query), nameInitials(query), error);
    std::vector<CustomerRecord> found;
    found.reserve(hits.size());
    for (const ScanHit& h : hits) found.push_back(toCustomer(h.record));
    // The list follows the CustomerIndex: number order, equal numbers in slot order.
    std::stable_sort(
        found.begin(), found.end(),
        [](const CustomerRecord& a, const CustomerRecord& b) { return a.number < b.number; });
    for (const CustomerRecord& c : found) {
        list.numbers.push_back(c.number);
        list.lines.push_back(formatted("%lld %s,  %s", static_cast<long long>(c.number),
                                       fieldText(c.name).c_str(), fieldText(c.road).c_str()));
    }
    return list;
}

std::optional<CustomerHit> recheckCustomer(
    DataStore& store, const CustomerHit& hit,
    const std::function<bool(const CustomerRecord&)>& stillMatches) {
    auto lock = store.lock();
    CustomerRecord c;
    if (!store.customers().read(hit.slot, &c)) return std::nullopt;
    if (c.number != hit.customer.number || !stillMatches(c)) return std::nullopt;
    return CustomerHit{hit.slot, c};
}

std::string matchedTelephone(const CustomerRecord& c, const std::string& query) {
    const std::string t1 = fieldText(c.telephone);
    return t1.find(query) != std::string::npos ? t1 : fieldText(c.telephone2);
}

}  // namespace kassio
