// ItemPage: a page of up to eight quick-select items of one display
// category, exchanged with a client station (procedures 7 and 8).
// 1424 bytes packed and on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

inline constexpr int kItemPageSize = 8;
inline constexpr int32_t kPageAllCategories = 18;
inline constexpr int32_t kPagePrevious = 2;

#pragma pack(push, 1)
struct ItemPage {
    int32_t category;     // display category 0..17; 18 = every category
    int32_t direction;    // procedure 8: 2 = previous page, anything else = next
    int64_t last;         // number of the last item on the page
    int64_t numbers[16];  // 0..7: the page's item numbers, 0 = empty; 8..15 unused
    char texts[32][40];   // 0..7: descriptions; 8..15: their picture file names
};
#pragma pack(pop)

struct ItemPageFormat {
    using Packed = ItemPage;
    static constexpr ndr::Runs<5> kRuns{{{4, 1}, {4, 1}, {8, 1}, {8, 16}, {1, 1280}}};
};

static_assert(sizeof(ItemPage) == 1424);
static_assert(offsetof(ItemPage, last) == ndr::packedOffset(ItemPageFormat::kRuns, 2));
static_assert(offsetof(ItemPage, numbers) == 16);
static_assert(offsetof(ItemPage, texts) == 144);
static_assert(ndr::validRuns(ItemPageFormat::kRuns));
static_assert(ndr::kWireSize<ItemPageFormat> == 1424);

}  // namespace kassio
