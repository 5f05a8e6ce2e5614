// customer.dat: the customer file, one 1242-byte CustomerRecord per slot, no
// header. Account customers carry a balance (positive = owes the shop).
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/record_layout.h"

namespace kassio {

#pragma pack(push, 1)
struct CustomerRecord {
    int64_t number;  // 1..kMaxRecordNumber, -1 deleted
    char name[30];   // at least two characters
    char road[30];
    char area[30];
    char town[30];
    char postcode[10];
    char telephone[20];
    char telephone_extension[20];
    char telephone2[20];
    char fax[20];
    char shipping_address_1[60];
    char shipping_address_2[30];
    char shipping_address_3[30];
    char shipping_address_4[30];
    char shipping_address_5[10];
    char name_prefix1[6];
    char name_prefix2[8];
    char contact[60];
    char notes[200];
    int32_t group;  // 1..2000
    char reserved_text1[20];
    char comment[30];
    char credit_card[40];
    char credit_card2[40];
    char reserved_text2[40];
    char credit_card_expiry[20];
    char credit_card2_expiry[20];
    char reserved_text3[20];
    char reserved_texts4_7[120];
    int32_t terms;  // 1..8: terms band of the store configuration
    int32_t last_transaction;
    char comment2[40];
    char email[40];
    double total_purchases;
    char reserved_text8[12];
    char origination[12];
    char last_used[16];  // timestamp, "NEW" before the first sale
    char last_payment[16];
    double balance;
    double credit_limit;
    double reserved_values[4];
    int32_t transactions;
    int64_t tax;  // 1 taxable, 0 exempt
    int32_t reserved_ints[5];
    int32_t reserved_counter;
};
#pragma pack(pop)

inline constexpr std::size_t kCustomerRecordSize = 1242;

static_assert(sizeof(CustomerRecord) == kCustomerRecordSize);
static_assert(offsetof(CustomerRecord, name) == 8);
static_assert(offsetof(CustomerRecord, road) == 38);
static_assert(offsetof(CustomerRecord, area) == 68);
static_assert(offsetof(CustomerRecord, town) == 98);
static_assert(offsetof(CustomerRecord, postcode) == 128);
static_assert(offsetof(CustomerRecord, telephone) == 138);
static_assert(offsetof(CustomerRecord, telephone_extension) == 158);
static_assert(offsetof(CustomerRecord, telephone2) == 178);
static_assert(offsetof(CustomerRecord, fax) == 198);
static_assert(offsetof(CustomerRecord, shipping_address_1) == 218);
static_assert(offsetof(CustomerRecord, shipping_address_2) == 278);
static_assert(offsetof(CustomerRecord, shipping_address_3) == 308);
static_assert(offsetof(CustomerRecord, shipping_address_4) == 338);
static_assert(offsetof(CustomerRecord, shipping_address_5) == 368);
static_assert(offsetof(CustomerRecord, name_prefix1) == 378);
static_assert(offsetof(CustomerRecord, name_prefix2) == 384);
static_assert(offsetof(CustomerRecord, contact) == 392);
static_assert(offsetof(CustomerRecord, notes) == 452);
static_assert(offsetof(CustomerRecord, group) == 652);
static_assert(offsetof(CustomerRecord, reserved_text1) == 656);
static_assert(offsetof(CustomerRecord, comment) == 676);
static_assert(offsetof(CustomerRecord, credit_card) == 706);
static_assert(offsetof(CustomerRecord, credit_card2) == 746);
static_assert(offsetof(CustomerRecord, credit_card_expiry) == 826);
static_assert(offsetof(CustomerRecord, credit_card2_expiry) == 846);
static_assert(offsetof(CustomerRecord, reserved_texts4_7) == 886);
static_assert(offsetof(CustomerRecord, terms) == 1006);
static_assert(offsetof(CustomerRecord, last_transaction) == 1010);
static_assert(offsetof(CustomerRecord, comment2) == 1014);
static_assert(offsetof(CustomerRecord, email) == 1054);
static_assert(offsetof(CustomerRecord, total_purchases) == 1094);
static_assert(offsetof(CustomerRecord, reserved_text8) == 1102);
static_assert(offsetof(CustomerRecord, origination) == 1114);
static_assert(offsetof(CustomerRecord, last_used) == 1126);
static_assert(offsetof(CustomerRecord, last_payment) == 1142);
static_assert(offsetof(CustomerRecord, balance) == 1158);
static_assert(offsetof(CustomerRecord, credit_limit) == 1166);
static_assert(offsetof(CustomerRecord, transactions) == 1206);
static_assert(offsetof(CustomerRecord, tax) == 1210);
static_assert(offsetof(CustomerRecord, reserved_counter) == 1238);

}  // namespace kassio
