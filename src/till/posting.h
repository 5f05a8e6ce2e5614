// Posting a tendered sale or refund into the journal, the item file, the
// customer file and the configuration.
//
// The write pass holds the DataMutex from the year index to kq.cfg, so
// postings from the till and from client stations never interleave and
// transaction numbers stay unique and gap-free. Every file written is
// flushed before the posting returns.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "store/basket.h"
#include "store/data_store.h"
#include "store/journal_format.h"

namespace kassio {

// The answer to a client station. code: on success the next transaction
// number after the posting plus 20, else a failure code below 20.
// stationMessage: a message to show at this station (only a configuration
// file that could not be written), empty otherwise.
// The failure code of a client Basket holding an amount that is not a sane
// sum of money (NaN, an infinity, beyond kMoneyLimit): refused before
// anything is read or written. 11 is free in both the sale's and the
// refund's list of codes.
inline constexpr int32_t kClientInsaneAmount = 11;

struct ClientPostResult {
    int32_t code = 0;
    Status stationMessage;
};

// The client variants: the Basket comes from the station; silent except for
// the kq.cfg failure. Safe to call from any thread.
ClientPostResult postClientSale(DataStore& store, const Basket& basket);
ClientPostResult postClientRefund(DataStore& store, const Basket& basket);

// The SaleRecord image of a Basket: header, totals, payments and texts.
SaleRecord saleRecordOf(const Basket& basket);

}  // namespace kassio
