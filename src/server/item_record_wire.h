// ItemRecordWire: an item as it crosses to and from a client station
// (procedures 0, 10 and 11). The packed form is the InventoryRecord of
// inventory.dat byte for byte; the runs below follow its member types in
// order, which is what decides the NDR padding.
#pragma once

#include <cstddef>

#include "server/ndr.h"
#include "store/inventory_record.h"

namespace kassio {

struct ItemRecordFormat {
    using Packed = InventoryRecord;
    static constexpr ndr::Runs<31> kRuns{{
        {8, 1},    // number
        {1, 40},   // description
        {1, 42},   // extra text
        {1, 160},  // 4 x char[40]: SKU 1..4
        {1, 100},  // 5 x char[20]
        {1, 240},  // 6 x char[40]: location, reserved texts, order code
        {1, 80},   // 4 x char[20]: bundle components, date added
        {4, 12},   // 12 x long: quantity .. total sold
        {4, 24},   // 2 x long[12]
        {8, 4},    // 4 x double: cost, trade, retail, reserved
        {8, 8},    // double[8]
        {8, 5},    // 5 x double: delivery, weight, reserved
        {1, 320},  // 8 x char[40]: website, web image, reserved
        {4, 5},    // 5 x long: picture .. omit from quick select
        {4, 40},   // long[40]: bundle flags and quantities, offer, sell-by
        {8, 5},    // 5 x double
        {8, 40},   // double[40]
        {4, 2},    // 2 x long: own picture, sale or return
        {1, 40},   // 2 x char[20]
        {1, 80},   // notes
        {1, 4},    // char[4]
        {1, 40},   // 2 x char[20]: bundle components 2, 3
        {1, 40},   // char[40]
        {4, 1},    // display category
        {1, 11},   // char[11]
        {4, 1},    // kind
        {8, 1},    // double
        {1, 16},   // last used
        {8, 1},    // last reference
        {1, 16},   // second timestamp
        {8, 3},    // 3 x hyper
    }};
};

static_assert(ndr::validRuns(ItemRecordFormat::kRuns));
static_assert(ndr::packedSize(ItemRecordFormat::kRuns) == kInventoryRecordSize);
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 3) == offsetof(InventoryRecord, sku1));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 7) == offsetof(InventoryRecord, quantity));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 9) ==
              offsetof(InventoryRecord, cost_price));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 11) ==
              offsetof(InventoryRecord, delivery));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 13) ==
              offsetof(InventoryRecord, picture_number));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 14) ==
              offsetof(InventoryRecord, bundle_free));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 17) ==
              offsetof(InventoryRecord, own_picture));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 19) == offsetof(InventoryRecord, notes));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 23) ==
              offsetof(InventoryRecord, display_category));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 25) == offsetof(InventoryRecord, kind));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 27) ==
              offsetof(InventoryRecord, last_used));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 28) ==
              offsetof(InventoryRecord, last_reference));
static_assert(ndr::packedOffset(ItemRecordFormat::kRuns, 30) ==
              offsetof(InventoryRecord, reserved_int64));
static_assert(ndr::alignment(ItemRecordFormat::kRuns) == 8);

}  // namespace kassio
