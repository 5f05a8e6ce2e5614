#include "till/stock_check.h"

#include "store/file_io.h"
#include "store/inventory_record.h"

namespace kassio {

StockProblem checkBasketStock(DataStore& store, const Basket& b) {
    auto lock = store.lock();
    if (!fileExists(store.items().path())) return StockProblem::kNoItemFile;
    const bool permitted = store.config().record().options[kOptPermitInsufficientStock] != 0;
    for (int i = 0; i < b.line_count; ++i) {
        if (b.item[i] == 0) continue;
        auto slot = store.items().find(b.item[i]);
        if (!slot) return StockProblem::kUnknownItem;
        InventoryRecord item;
        if (!store.items().read(*slot, &item)) return StockProblem::kUnreadableItem;
        if (!permitted && item.quantity < 1) return StockProblem::kOutOfStock;
    }
    return StockProblem::kNone;
}

}  // namespace kassio
