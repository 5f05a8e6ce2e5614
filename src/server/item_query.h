// ItemQuery: what a client station sends to find an item (procedure 0).
// 48 bytes packed and on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

#pragma pack(push, 1)
struct ItemQuery {
    // The search mode and where a continued search starts: 0 or -1 from the
    // first slot, an item number to continue after that item's slot, -2 or
    // below a search of the SKUs after item (-from - 2).
    int64_t from;
    char text[40];  // an item number, a description pattern, a SKU or a fragment
};
#pragma pack(pop)

struct ItemQueryFormat {
    using Packed = ItemQuery;
    static constexpr ndr::Runs<2> kRuns{{{8, 1}, {1, 40}}};
};

static_assert(sizeof(ItemQuery) == 48);
static_assert(offsetof(ItemQuery, text) == ndr::packedOffset(ItemQueryFormat::kRuns, 1));
static_assert(ndr::validRuns(ItemQueryFormat::kRuns));
static_assert(ndr::alignment(ItemQueryFormat::kRuns) == 8);
static_assert(ndr::kWireSize<ItemQueryFormat> == 48);

}  // namespace kassio
