// The lists read from inventory.dat: the stock summary, the five stock
// lists, the retail-below-cost and bounds checks, the reorder file of the
// head-office upload, and the units by category kept in the StoreConfig.
//
// The item file is read whole under one hold of the DataMutex, so a posting
// by the till or a client station is wholly in or wholly out of a list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "reports/report_dates.h"
#include "reports/report_printing.h"
#include "store/data_store.h"

namespace kassio {

struct StockSummary {
    long long items = 0;  // units in stock
    double costValue = 0;
    double retailValue = 0;
    std::string margin;  // "%.2f%%" or "N/A"
};
Status stockSummary(DataStore& store, StockSummary* out);
// The summary window's rows: "Items", "Value (cost)", "Value (retail)", "Margin".
std::vector<std::pair<std::string, std::string>> stockSummaryRows(const StockSummary& s);

enum class StockList { kReorder, kReorderByOrderCode, kOutOfStock, kSpecialOrders, kSellByExpired };

struct StockListView {
    std::string title;    // the window's title
    std::string columns;  // the window's column line; empty when it has none
    std::vector<std::string> lines;
};
Status stockList(DataStore& store, StockList list, const Day& today, StockListView* out);
// The printed pages of a list.
Listing stockListPrint(StockList list, const std::string& heading, const Day& today,
                       std::vector<std::string> lines);

// Items whose retail price is below cost and, in the "Data Bounds Check",
// whose prices pass a limit; an item is listed when any chosen test holds.
struct BoundsCheck {
    bool costAboveRetail = true;
    std::optional<double> costLimit;    // "Cost price exceeds"
    std::optional<double> retailLimit;  // "Retail price exceeds"
};
// "Data cost retail check": one line per item, or the single line "No items".
Status boundsCheck(DataStore& store, const BoundsCheck& check, std::vector<std::string>* lines);

// The reorder file's text (head-office upload), in file slot order.
Status reorderFileText(DataStore& store, std::string* text);

// Units by category, today's or the month's: nine rows of two categories.
struct UnitsRow {
    std::string code[2];
    int units[2] = {0, 0};
    double value[2] = {0, 0};
};
struct UnitsByCategory {
    std::string title;
    std::vector<UnitsRow> rows;
};
UnitsByCategory unitsByCategory(DataStore& store, bool month);
PrintedPage unitsByCategoryPage(const std::string& heading, const UnitsByCategory& u, bool month,
                                const Day& today);

}  // namespace kassio
