// CustomerQuery: what a client station sends to find a customer
// (procedure 1). 46 bytes packed; 48 on the wire (8-byte aligned).
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

#pragma pack(push, 1)
struct CustomerQuery {
    int64_t from;    // as ItemQuery::from for the number and name modes
    char name[30];   // a customer number or a name pattern ('?' any character)
    char prefix[8];  // pattern for the start of the customer's name prefix 2
};
#pragma pack(pop)

struct CustomerQueryFormat {
    using Packed = CustomerQuery;
    static constexpr ndr::Runs<3> kRuns{{{8, 1}, {1, 30}, {1, 8}}};
};

static_assert(sizeof(CustomerQuery) == 46);
static_assert(offsetof(CustomerQuery, name) == ndr::packedOffset(CustomerQueryFormat::kRuns, 1));
static_assert(offsetof(CustomerQuery, prefix) == ndr::packedOffset(CustomerQueryFormat::kRuns, 2));
static_assert(ndr::validRuns(CustomerQueryFormat::kRuns));
static_assert(ndr::alignment(CustomerQueryFormat::kRuns) == 8);
static_assert(ndr::kWireSize<CustomerQueryFormat> == 48);

}  // namespace kassio
