// Booking goods received: the stock of an item goes up, its quantity on
// order down (not below 0), and each receipt is journalled in the day's
// ininvent.dat; and the report of what was received over a range of days.
#pragma once

#include <string>
#include <vector>

#include "inventory/inventory_maintenance.h"
#include "inventory/item_forms.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace kassio {

// "Inventory received" (by number or description) and "Inventory received
// by SKU 1" (by the SKU 1 fragment search), repeated while the clerk
// presses "Next".
void receiveInventory(InventoryMaintenance& inventory, bool bySku1);

// What a receipt does to the item: stock up, sell-by date as chosen, on
// order down by the quantity but not below 0.
void applyReceipt(InventoryRecord& item, int32_t quantity, int sellByDay, int sellByMonth,
                  int sellByYearIndex);

// "Updated total": held plus the number typed so far, "%d".
std::string updatedTotalText(int held, const std::string& typed);

// The range is used only when both days are 1-31, months 1-12, years 2000-4000.
bool receivedRangeUsable(const DateRange& range);
// "Inventory received: <from> to <to>".
std::string receivedReportTitle(const DateRange& range);
// One line per ReceivedRecord of each day of the range, in day order:
// "%s         %I64d %s        Quantity: %I64d" (date, item, its current
// description or nothing, quantity).
std::vector<std::string> receivedReportLines(DataStore& store, const DateRange& range);

// Lines cut into pages, each page led by "%s Inventory received, page: %d"
// (store heading, page number). linesPerPage comes from the printer's font.
PagedText pageReceivedReport(const std::string& storeHeading, const std::vector<std::string>& lines,
                             int linesPerPage);

// The Reports menu command: range window, list window, and on "Print" the
// pages handed to the forms' printer.
void receivedReport(InventoryMaintenance& inventory, int linesPerPage = 60);

}  // namespace kassio
