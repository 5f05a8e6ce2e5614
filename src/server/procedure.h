// The station server's sixteen procedures, by their interface numbers, and
// the values procedures 12 and 13 return.
//
// Interface identity kept from the original named-pipe service: UUID
// 96550238-5b8d-4e8e-a520-a5421ba774a4, version 1.0, NDR transfer syntax.
#pragma once

#include <cstdint>

namespace kassio {

enum class Procedure : int {
    kFindItem = 0,               // in ItemQuery; out ItemRecordWire
    kFindCustomer = 1,           // in CustomerQuery; out CustomerRecordWire
    kClientConfig = 2,           // out ClientConfig
    kReceiptWords = 3,           // out ReceiptWordsWire
    kStationTables = 4,          // in/out StationTables
    kSuggestCustomerNumber = 5,  // out NumberText
    kFileChunk = 6,              // in/out FileChunk
    kFirstItemPage = 7,          // in/out ItemPage
    kNextItemPage = 8,           // in/out ItemPage
    kLargeItemPage = 9,          // in/out LargeItemPage, unchanged
    kItemRecord10 = 10,          // in ItemRecordWire; returns long 0
    kItemRecord11 = 11,          // in ItemRecordWire; returns long 0
    kAddCustomer = 12,           // in CustomerRecordWire; returns long
    kChangeCustomer = 13,        // in CustomerRecordWire; returns long
    kPostSale = 14,              // in BasketWire; returns long
    kPostRefund = 15,            // in BasketWire; returns long
};

inline constexpr int kProcedureCount = 16;

// Procedures 12 and 13.
inline constexpr int32_t kCustomerDone = 0;
inline constexpr int32_t kCustomerNumberOutOfRange = 2;
inline constexpr int32_t kCustomerNumberInUse = 3;  // procedure 12
inline constexpr int32_t kCustomerNotFound = 3;     // procedure 13
inline constexpr int32_t kCustomerFileUnavailable = 4;
// Procedure 12: the new customer's purchases, balance or credit limit is
// NaN, an infinity or beyond kMoneyLimit; nothing is stored.
inline constexpr int32_t kCustomerInsaneAmount = 5;

// Procedures 14 and 15: a result at or above this is the station's next
// transaction number after the posting plus this; below it, a failure code.
inline constexpr int32_t kPostedOffset = 20;
// A basket whose line count is outside 0..400 is refused as one without
// lines.
inline constexpr int32_t kPostNoLines = 1;

}  // namespace kassio
