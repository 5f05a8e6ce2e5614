// LargeItemPage: a sixty-item page (procedure 9). This station does not
// fill it; the procedure hands it back as received. 5296 bytes packed and on
// the wire.
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

#pragma pack(push, 1)
struct LargeItemPage {
    int32_t value0;
    int32_t value4;
    int64_t value8;
    int64_t numbers[60];
    char texts[120][40];
};
#pragma pack(pop)

struct LargeItemPageFormat {
    using Packed = LargeItemPage;
    static constexpr ndr::Runs<5> kRuns{{{4, 1}, {4, 1}, {8, 1}, {8, 60}, {1, 4800}}};
};

static_assert(sizeof(LargeItemPage) == 5296);
static_assert(offsetof(LargeItemPage, numbers) == 16);
static_assert(offsetof(LargeItemPage, texts) == 496);
static_assert(ndr::validRuns(LargeItemPageFormat::kRuns));
static_assert(ndr::kWireSize<LargeItemPageFormat> == 5296);

}  // namespace kassio
