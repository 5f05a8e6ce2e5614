// The write passes shared by the till's own postings and those made for
// client stations. Both run with the DataMutex held from the year index to
// kq.cfg (they take it themselves; it is re-entrant).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "store/basket.h"
#include "store/data_store.h"

namespace kassio {

struct SaleWriteOptions {
    bool client = false;
    std::string clerkName;
    std::string configFailure = "Unable to update the configuration file";
};

struct SalePostOutcome {
    bool posted = false;   // every step ran
    bool stopped = false;  // an item vanished or inventory.dat failed mid-way
    bool configFailed = false;
    int code = 0;        // the client failure code, 0 when posted
    int64_t number = 0;  // the transaction number used
    // The journal was refused the posting: nothing of it is on disk.
    bool failed = false;
    // The posting is on disk once store.waitDurable(ticket) has returned,
    // which the caller does after letting go of the DataMutex. 0 when the
    // caller's own batch holds the posting.
    uint64_t ticket = 0;
    std::vector<Status> messages;  // to show once the DataMutex is released
};

// Journals the Basket as a sale under the next transaction number, updates
// stock and statistics, logs it, adds the takings and advances the number.
SalePostOutcome writeSale(DataStore& store, Basket& basket, const SaleWriteOptions& options);

struct RefundWriteOptions {
    bool client = false;
    int kind = 0;     // 0 cash, 1 CH, 2 EFT, 3 credit
    int restock = 0;  // 0 back to stock, 1 faulty
    std::string clerkName;
};

using RefundPostOutcome = SalePostOutcome;

// Negates the Basket's totals, sets the refund part, journals it, restocks
// when asked, logs it and advances the number.
RefundPostOutcome writeRefund(DataStore& store, Basket& basket, const RefundWriteOptions& options);

}  // namespace kassio
