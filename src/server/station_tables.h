// StationTables: a block of tables a client station sends and gets back
// (procedure 4). This station only puts the store heading line 1 into the
// first text. 4000 bytes packed and on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

#pragma pack(push, 1)
struct StationTables {
    char texts[10][200];
    int64_t hypers[100];
    int32_t longs[100];
    double doubles[100];
};
#pragma pack(pop)

struct StationTablesFormat {
    using Packed = StationTables;
    static constexpr ndr::Runs<4> kRuns{{{1, 2000}, {8, 100}, {4, 100}, {8, 100}}};
};

static_assert(sizeof(StationTables) == 4000);
static_assert(offsetof(StationTables, hypers) == 2000);
static_assert(offsetof(StationTables, longs) == 2800);
static_assert(offsetof(StationTables, doubles) == 3200);
static_assert(ndr::validRuns(StationTablesFormat::kRuns));
static_assert(ndr::kWireSize<StationTablesFormat> == 4000);

}  // namespace kassio
