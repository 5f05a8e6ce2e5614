// The check made before a Basket is posted: every inventory line still
// names an item on file that may be sold. The till and the station server
// both run it; each reports a failure in its own words.
#pragma once

#include "store/basket.h"
#include "store/data_store.h"

namespace kassio {

enum class StockProblem {
    kNone,
    kNoItemFile,      // inventory.dat is not there
    kUnknownItem,     // a line names an item number not on file
    kUnreadableItem,  // the item's record could not be read
    kOutOfStock,      // stock below 1 and the shop does not permit the sale
};

// Takes the DataMutex (it is re-entrant, so a caller may hold it already).
// Lines 0 .. line_count - 1; the caller has checked the line count.
StockProblem checkBasketStock(DataStore& store, const Basket& basket);

}  // namespace kassio
