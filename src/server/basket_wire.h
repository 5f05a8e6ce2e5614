// BasketWire: a client station's whole transaction, sent for posting
// (procedures 14 and 15). The packed form is the till's Basket byte for
// byte; the runs follow its member types in order. The line count inside is
// the client's word: nothing here reads it.
#pragma once

#include <cstddef>

#include "server/ndr.h"
#include "store/basket.h"

namespace kassio {

struct BasketFormat {
    using Packed = Basket;
    static constexpr ndr::Runs<19> kRuns{{
        {8, 3},      // transaction number, reserved, customer number
        {8, 400},    // line item numbers
        {4, 2},      // clerk, line count
        {1, 16000},  // char[40][400]: line descriptions
        {8, 2800},   // 7 x double[400]: the per-line amounts
        {8, 23},     // 23 x double: totals and tender amounts
        {1, 40},     // 2 x char[20]: time, date
        {1, 40},     // customer name
        {1, 150},    // 5 x char[30]: customer address and telephone
        {1, 240},    // 6 x char[40]: payment word, five texts
        {1, 20},     // char[20]
        {1, 80},     // 2 x char[40]
        {1, 80},     // char[80]
        {1, 320},    // 8 x char[40]
        {4, 5},      // 5 x long: a client refund's restock and kind
        {4, 40},     // long[40]
        {8, 5},      // 5 x double
        {8, 40},     // double[40]
        {1, 80},     // transaction note
    }};
};

static_assert(ndr::validRuns(BasketFormat::kRuns));
static_assert(ndr::packedSize(BasketFormat::kRuns) == kBasketSize);
static_assert(ndr::packedOffset(BasketFormat::kRuns, 2) == offsetof(Basket, clerk));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 3) == offsetof(Basket, description));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 4) == offsetof(Basket, non_taxable));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 5) == offsetof(Basket, total_non_taxable));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 6) == offsetof(Basket, time));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 9) == offsetof(Basket, payment_word));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 10) == offsetof(Basket, text20));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 13) == offsetof(Basket, texts40b));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 14) == offsetof(Basket, values));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 16) == offsetof(Basket, doubles5));
static_assert(ndr::packedOffset(BasketFormat::kRuns, 18) == offsetof(Basket, note));
static_assert(ndr::alignment(BasketFormat::kRuns) == 8);

}  // namespace kassio
