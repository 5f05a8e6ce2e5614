// The customer searches over customer.dat: by the initial characters of the
// name ('?' matches any character), by a fragment of the name, and by a
// fragment of either telephone number. As for items, each next...() call
// holds the DataMutex only while it looks for the next match.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "store/customer_record.h"
#include "store/data_store.h"

namespace kassio {

struct CustomerHit {
    uint64_t slot = 0;
    CustomerRecord customer{};
};

// The typed text as a name query: upper case, a lone character followed by
// '?'; nullopt for an empty text.
std::optional<std::string> nameQuery(const std::string& typed);

std::optional<CustomerHit> nextByName(DataStore& store, const std::string& query, uint64_t from,
                                      Status* error);
std::optional<CustomerHit> nextByNameFragment(DataStore& store, const std::string& upperQuery,
                                              uint64_t from, Status* error);
std::optional<CustomerHit> nextByTelephone(DataStore& store, const std::string& query,
                                           uint64_t from, Status* error);
// A fragment of the billing address: road, area, town or post code.
std::optional<CustomerHit> nextByAddress(DataStore& store, const std::string& query, uint64_t from,
                                         Status* error);

// The list mode: one line "%I64d %s,  %s" (number, name, road) per customer
// whose name begins with the query, in customer-number order.
struct CustomerPickList {
    std::vector<int64_t> numbers;
    std::vector<std::string> lines;
};
CustomerPickList namePickList(DataStore& store, const std::string& query, Status* error);

// The slot read again after the clerk chose it with the lock released: the
// customer, if the slot still holds that number and it still matches.
std::optional<CustomerHit> recheckCustomer(
    DataStore& store, const CustomerHit& hit,
    const std::function<bool(const CustomerRecord&)>& stillMatches);

// The telephone the match box shows: Telephone when it holds the query,
// else Telephone 2.
std::string matchedTelephone(const CustomerRecord& customer, const std::string& query);

}  // namespace kassio
