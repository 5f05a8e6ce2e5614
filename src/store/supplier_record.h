// suppliers.dat: the supplier address book, one 1094-byte SupplierRecord per
// slot. Apart from the number every field is free text. Created at the first
// start holding a single deleted record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/record_layout.h"

namespace kassio {

#pragma pack(push, 1)
struct SupplierRecord {
    int64_t number;  // 1..kMaxSupplierNumber, -1 deleted
    char name[42];
    int32_t listing_count;  // shown by the supplier listing only
    char reserved1[4];
    double listing_value1;  // shown by the supplier listing only
    double listing_value2;
    char road[30];
    char area[30];
    char town[30];
    char postcode[10];
    char telephone1[20];
    char extension[20];
    char telephone2[20];
    char fax[194];
    char contact[60];
    char notes[200];
    char reserved2[4];
    char comment1[30];
    char origination[40];
    char credit_limit[40];  // as text
    char terms[100];        // as text
    char comment2[40];
    char email[40];
    char reserved3[112];
};
#pragma pack(pop)

inline constexpr std::size_t kSupplierRecordSize = 1094;
inline constexpr int64_t kMaxSupplierNumber = 2000000000000000LL;

static_assert(sizeof(SupplierRecord) == kSupplierRecordSize);
static_assert(offsetof(SupplierRecord, name) == 8);
static_assert(offsetof(SupplierRecord, listing_count) == 50);
static_assert(offsetof(SupplierRecord, listing_value1) == 58);
static_assert(offsetof(SupplierRecord, listing_value2) == 66);
static_assert(offsetof(SupplierRecord, road) == 74);
static_assert(offsetof(SupplierRecord, area) == 104);
static_assert(offsetof(SupplierRecord, town) == 134);
static_assert(offsetof(SupplierRecord, postcode) == 164);
static_assert(offsetof(SupplierRecord, telephone1) == 174);
static_assert(offsetof(SupplierRecord, extension) == 194);
static_assert(offsetof(SupplierRecord, telephone2) == 214);
static_assert(offsetof(SupplierRecord, fax) == 234);
static_assert(offsetof(SupplierRecord, contact) == 428);
static_assert(offsetof(SupplierRecord, notes) == 488);
static_assert(offsetof(SupplierRecord, comment1) == 692);
static_assert(offsetof(SupplierRecord, origination) == 722);
static_assert(offsetof(SupplierRecord, credit_limit) == 762);
static_assert(offsetof(SupplierRecord, terms) == 802);
static_assert(offsetof(SupplierRecord, comment2) == 902);
static_assert(offsetof(SupplierRecord, email) == 942);
static_assert(offsetof(SupplierRecord, reserved3) == 982);

}  // namespace kassio
