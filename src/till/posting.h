// Posting a tendered sale or refund into the journal, the item file, the
// customer file and the configuration.
//
// The write pass holds the DataMutex from the year index to kq.cfg, so
// postings from the till and from client stations never interleave and
// transaction numbers stay unique and gap-free. Everything a posting writes
// is one record of the posting journal, on disk before anyone is told the
// posting is done.
#pragma once

#include <cstdint>
#include <functional>
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

// A refund's totals are kept negative; its lines keep their positive values.
void negateTotals(Basket& basket);

struct ClientPostResult {
    int32_t code = 0;
    Status stationMessage;
};

// Procedures 14 and 15: the result on success is the next transaction
// number plus this.
inline constexpr int32_t kClientPostedOffset = 20;
// The failure codes given when the posting could not be made to stick on
// disk (the codes of the sales log and the refund's sales log).
inline constexpr int32_t kClientNotSaved = 7;
inline constexpr int32_t kClientRefundNotSaved = 6;

// The client variants: the Basket comes from the station; silent except for
// the kq.cfg failure. Safe to call from any thread.
//
// requestId (may be empty): the station's id for this posting. A posting
// whose id was seen before is not posted again; the first answer comes
// back instead, so a station that lost an answer can safely ask again.
//
// committed (may be empty) is called once the posting is in the journal's
// queue, before the wait for the disk: the station server lets the next
// client's posting in then, so that postings waiting together share one
// flush.
ClientPostResult postClientSale(DataStore& store, const Basket& basket,
                                const std::string& requestId = {},
                                const std::function<void()>& committed = {});
ClientPostResult postClientRefund(DataStore& store, const Basket& basket,
                                  const std::string& requestId = {},
                                  const std::function<void()>& committed = {});

// The SaleRecord image of a Basket: header, totals, payments and texts.
SaleRecord saleRecordOf(const Basket& basket);

}  // namespace kassio
