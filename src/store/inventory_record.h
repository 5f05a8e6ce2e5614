// inventory.dat: the shop's item list, one 2113-byte InventoryRecord per slot,
// no header. Slot n lies at byte n * 2113. A number of -1 marks a deleted
// slot. Reserved ranges are never interpreted and are written back as read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/record_layout.h"

namespace kassio {

#pragma pack(push, 1)
struct InventoryRecord {
    int64_t number;        // 1..kMaxRecordNumber, -1 deleted
    char description[40];  // at least two characters
    char extra_text[42];   // only the ZENTIL import fills it
    char sku1[40];         // the till's SKU mode looks this up exactly
    char sku2[40];
    char sku3[40];
    char sku4[40];
    char reserved_text1[20];
    char format[20];    // in a bundle: component 1 as decimal text
    char category[20];  // free text, not the display category
    char reserved_text2[20];
    char reserved_text3[20];
    char location[40];
    char reserved_texts4_7[160];
    char order_code[40];
    char bundle_component4[20];
    char bundle_component5[20];
    char date_added[20];  // "DD/MM/YYYY"
    char bundle_component6[20];
    int32_t quantity;  // in stock
    int32_t reorder_quantity;
    int32_t minimum_order;
    int32_t order_quantity;
    int32_t tax;  // 0 none, 1 tax 1 and 2, 2 tax 1, 3 tax 2
    int32_t delivery_lead;
    int32_t on_order;
    int32_t committed;
    int32_t labels_to_print;
    int32_t reserved_ints[2];
    int32_t total_sold;  // sale lines posted, not units
    int32_t reserved_int_tables[24];
    double cost_price;  // currency units, without tax
    double trade_price;
    double retail_price;
    double reserved_values[9];
    double delivery;
    double weight;
    double reserved_values2[3];
    char website[40];
    char web_image[40];
    char reserved_texts8_13[240];
    int32_t picture_number;   // 1..24: "STOCK%d.bmp"
    int32_t no_tax_rounding;  // 2 = tax not rounded at the third decimal
    int32_t special_order;
    int32_t age_limit;               // 0 or minimum buyer age 2..30
    int32_t omit_from_quick_select;  // 2 = never on a quick-select button
    int32_t bundle_free[6];          // 2 = component included free
    int32_t bundle_quantity[6];      // 1..50
    int32_t offer;                   // 0 none, 2 buy one get one, 4 buy two get one
    int32_t reserved_int;
    int32_t sell_by_day;
    int32_t sell_by_month;
    int32_t sell_by_year;  // 0 none, else 2011 + value
    int32_t reserved_ints2[23];
    double reserved_doubles1[5];
    double reserved_doubles2[40];
    int32_t own_picture;  // 1 = "m%I64d.bmp" with the item number
    int32_t sale_or_return;
    char reserved_text14[20];
    char reserved_text15[20];
    char notes[80];
    char reserved_text16[4];
    char bundle_component2[20];
    char bundle_component3[20];
    char reserved_text18[40];
    int32_t display_category;  // 0..17
    char reserved_text17[11];
    int32_t kind;  // 2 = bundle
    double reserved_double;
    char last_used[16];  // timestamp of the last sale or refund
    int64_t last_reference;
    char second_timestamp[16];
    int64_t reserved_int64[3];
};
#pragma pack(pop)

inline constexpr std::size_t kInventoryRecordSize = 2113;
inline constexpr int32_t kItemKindBundle = 2;

static_assert(sizeof(InventoryRecord) == kInventoryRecordSize);
static_assert(offsetof(InventoryRecord, description) == 8);
static_assert(offsetof(InventoryRecord, extra_text) == 48);
static_assert(offsetof(InventoryRecord, sku1) == 90);
static_assert(offsetof(InventoryRecord, sku2) == 130);
static_assert(offsetof(InventoryRecord, sku3) == 170);
static_assert(offsetof(InventoryRecord, sku4) == 210);
static_assert(offsetof(InventoryRecord, format) == 270);
static_assert(offsetof(InventoryRecord, category) == 290);
static_assert(offsetof(InventoryRecord, location) == 350);
static_assert(offsetof(InventoryRecord, order_code) == 550);
static_assert(offsetof(InventoryRecord, bundle_component4) == 590);
static_assert(offsetof(InventoryRecord, bundle_component5) == 610);
static_assert(offsetof(InventoryRecord, date_added) == 630);
static_assert(offsetof(InventoryRecord, bundle_component6) == 650);
static_assert(offsetof(InventoryRecord, quantity) == 670);
static_assert(offsetof(InventoryRecord, reorder_quantity) == 674);
static_assert(offsetof(InventoryRecord, minimum_order) == 678);
static_assert(offsetof(InventoryRecord, order_quantity) == 682);
static_assert(offsetof(InventoryRecord, tax) == 686);
static_assert(offsetof(InventoryRecord, delivery_lead) == 690);
static_assert(offsetof(InventoryRecord, on_order) == 694);
static_assert(offsetof(InventoryRecord, committed) == 698);
static_assert(offsetof(InventoryRecord, labels_to_print) == 702);
static_assert(offsetof(InventoryRecord, total_sold) == 714);
static_assert(offsetof(InventoryRecord, cost_price) == 814);
static_assert(offsetof(InventoryRecord, trade_price) == 822);
static_assert(offsetof(InventoryRecord, retail_price) == 830);
static_assert(offsetof(InventoryRecord, delivery) == 910);
static_assert(offsetof(InventoryRecord, weight) == 918);
static_assert(offsetof(InventoryRecord, website) == 950);
static_assert(offsetof(InventoryRecord, web_image) == 990);
static_assert(offsetof(InventoryRecord, picture_number) == 1270);
static_assert(offsetof(InventoryRecord, no_tax_rounding) == 1274);
static_assert(offsetof(InventoryRecord, special_order) == 1278);
static_assert(offsetof(InventoryRecord, age_limit) == 1282);
static_assert(offsetof(InventoryRecord, omit_from_quick_select) == 1286);
static_assert(offsetof(InventoryRecord, bundle_free) == 1290);
static_assert(offsetof(InventoryRecord, bundle_quantity) == 1314);
static_assert(offsetof(InventoryRecord, offer) == 1338);
static_assert(offsetof(InventoryRecord, sell_by_day) == 1346);
static_assert(offsetof(InventoryRecord, sell_by_month) == 1350);
static_assert(offsetof(InventoryRecord, sell_by_year) == 1354);
static_assert(offsetof(InventoryRecord, reserved_doubles1) == 1450);
static_assert(offsetof(InventoryRecord, reserved_doubles2) == 1490);
static_assert(offsetof(InventoryRecord, own_picture) == 1810);
static_assert(offsetof(InventoryRecord, sale_or_return) == 1814);
static_assert(offsetof(InventoryRecord, notes) == 1858);
static_assert(offsetof(InventoryRecord, bundle_component2) == 1942);
static_assert(offsetof(InventoryRecord, bundle_component3) == 1962);
static_assert(offsetof(InventoryRecord, display_category) == 2022);
static_assert(offsetof(InventoryRecord, kind) == 2037);
static_assert(offsetof(InventoryRecord, last_used) == 2049);
static_assert(offsetof(InventoryRecord, last_reference) == 2065);
static_assert(offsetof(InventoryRecord, second_timestamp) == 2073);
static_assert(offsetof(InventoryRecord, reserved_int64) == 2089);

}  // namespace kassio
