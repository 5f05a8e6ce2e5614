#include "customers/customer_search.h"

#include <algorithm>
#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/slot_search.h"

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

// The name search by initial characters, in memory and on a record read.
auto nameInMemory(const DataStore& store, const std::string& query) {
    return [&texts = store.customerTexts(), &query](uint64_t from, uint64_t to) {
        return firstByInitials(texts, customer_texts::kName, query, from, to);
    };
}

auto nameInitials(const std::string& query) {
    return [&query](uint64_t, const unsigned char* rec) {
        const char* name = reinterpret_cast<const char*>(rec + kName);
        return prefixMatches(query, {name[0], name[1]}) && initialsMatch(query, name, 30);
    };
}

// A fragment of any of these fields, in memory.
auto containingInMemory(const DataStore& store, std::initializer_list<std::size_t> fields,
                        const std::string& fragment) {
    return [&texts = store.customerTexts(), fields, &fragment](uint64_t from, uint64_t to) {
        return firstContaining(texts, fields, fragment, from, to);
    };
}

constexpr std::size_t kAddressOffsets[] = {
    offsetof(CustomerRecord, road), offsetof(CustomerRecord, area), offsetof(CustomerRecord, town),
    offsetof(CustomerRecord, postcode)};
constexpr std::size_t kAddressWidths[] = {30, 30, 30, 10};

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
    return toHit(searchFrom(store, store.customers(), store.customerTexts(), from,
                            nameInMemory(store, query), nameInitials(query), error));
}

std::optional<CustomerHit> nextByNameFragment(DataStore& store, const std::string& q, uint64_t from,
                                              Status* error) {
    if (q.empty()) return std::nullopt;
    return toHit(searchFrom(
        store, store.customers(), store.customerTexts(), from,
        containingInMemory(store, {customer_texts::kName}, q),
        [&](uint64_t, const unsigned char* rec) { return has(fieldView(rec, kName, 30), q); },
        error));
}

std::optional<CustomerHit> nextByTelephone(DataStore& store, const std::string& q, uint64_t from,
                                           Status* error) {
    if (q.empty()) return std::nullopt;
    return toHit(searchFrom(
        store, store.customers(), store.customerTexts(), from,
        containingInMemory(store, {customer_texts::kTelephone, customer_texts::kTelephone2}, q),
        [&](uint64_t, const unsigned char* rec) {
            return has(fieldView(rec, kTelephone, 20), q) ||
                   has(fieldView(rec, kTelephone2, 20), q);
        },
        error));
}

std::optional<CustomerHit> nextByAddress(DataStore& store, const std::string& q, uint64_t from,
                                         Status* error) {
    if (q.empty()) return std::nullopt;
    using namespace customer_texts;
    return toHit(searchFrom(
        store, store.customers(), store.customerTexts(), from,
        containingInMemory(store, {kRoad, kArea, kTown, kPostcode}, q),
        [&](uint64_t, const unsigned char* rec) {
            for (std::size_t i = 0; i < 4; ++i)
                if (has(fieldView(rec, kAddressOffsets[i], kAddressWidths[i]), q)) return true;
            return false;
        },
        error));
}

CustomerPickList namePickList(DataStore& store, const std::string& query, Status* error) {
    CustomerPickList list;
    if (query.size() < 2) return list;
    auto hits = searchAll(store, store.customers(), store.customerTexts(),
                          nameInMemory(store, query), nameInitials(query), error);
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
