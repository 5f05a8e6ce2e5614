// The Basket: the transaction under construction at the till, 43406 bytes.
//
// The same image is kept in the basket table, copied into the journal's
// SaleRecord and sent by client stations for posting, so its layout is
// fixed byte for byte. Up to 400 lines, each one unit of one item; the
// line arrays at and above line_count are zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/record_layout.h"

namespace kassio {

inline constexpr int kMaxBasketLines = 400;

#pragma pack(push, 1)
struct Basket {
    int64_t number;                 // transaction number, set at tender time
    int64_t reserved8;              // carried into the SaleRecord
    int64_t customer;               // 0 = none
    int64_t item[kMaxBasketLines];  // 0 = a non-inventory line
    int32_t clerk;
    int32_t line_count;  // 0..400
    char description[kMaxBasketLines][40];
    double non_taxable[kMaxBasketLines];
    double taxable[kMaxBasketLines];  // net of tax
    double tax1[kMaxBasketLines];
    double tax2[kMaxBasketLines];
    double cost[kMaxBasketLines];
    double discount[kMaxBasketLines];
    double line_total[kMaxBasketLines];  // price plus both taxes
    double total_non_taxable;
    double total_taxable;
    double subtotal;  // net of tax
    double total_tax1;
    double total_tax2;
    double total_cost;
    double total;
    double total_discount;
    double payment[15];  // see kPay* below
    char time[20];       // "%02d:%02d"
    char date[20];
    char customer_name[40];
    char customer_road[30];
    char customer_area[30];
    char customer_town[30];
    char customer_postcode[30];
    char customer_telephone[30];
    char payment_word[40];  // "Cash", "CH", "EFT", "Split", "Credit", "Refund"
    char texts[5][40];      // texts[0]: a client station's name
    char text20[20];
    char texts40[2][40];
    char text80[80];
    char texts40b[8][40];
    int32_t values[5];  // a client refund: [0] restock, [1] kind
    int32_t values40[40];
    double doubles5[5];
    double doubles40[40];
    char note[80];  // transaction note
};
#pragma pack(pop)

inline constexpr std::size_t kBasketSize = 43406;

// Every amount a posting takes from the Basket (the used lines, the totals,
// the payments) is a sane sum of money (base/money.h). A Basket from a
// client station is checked with this before anything is read from it.
bool basketAmountsSane(const Basket& basket);
static_assert(sizeof(Basket) == kBasketSize);
static_assert(offsetof(Basket, item) == 24);
static_assert(offsetof(Basket, clerk) == 3224);
static_assert(offsetof(Basket, line_count) == 3228);
static_assert(offsetof(Basket, description) == 3232);
static_assert(offsetof(Basket, non_taxable) == 19232);
static_assert(offsetof(Basket, line_total) == 19232 + 6 * 3200);
static_assert(offsetof(Basket, total_non_taxable) == 41632);
static_assert(offsetof(Basket, payment) == 41696);
static_assert(offsetof(Basket, time) == 41816);
static_assert(offsetof(Basket, customer_name) == 41856);
static_assert(offsetof(Basket, payment_word) == 42046);
static_assert(offsetof(Basket, text20) == 42286);
static_assert(offsetof(Basket, texts40b) == 42466);
static_assert(offsetof(Basket, values) == 42786);
static_assert(offsetof(Basket, doubles5) == 42966);
static_assert(offsetof(Basket, note) == 43326);

// The payment amounts the till uses; the others stay 0.
inline constexpr int kPayCashBack = 5;
inline constexpr int kPayCash = 6;
inline constexpr int kPayCard = 7;
inline constexpr int kPayCheque = 9;
inline constexpr int kPayBalanceBefore = 12;
inline constexpr int kPayBalanceAfter = 13;

// A client refund carries its choices in the reserved values.
inline constexpr int kValueRestock = 0;     // 0 back to stock, 1 faulty
inline constexpr int kValueRefundKind = 1;  // 0 cash, 1 CH, 2 EFT, 3 credit

// Display category of a line that is not an inventory item.
inline constexpr int kNonInventoryCategory = 18;

}  // namespace kassio
