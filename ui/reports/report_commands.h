// The till window's report commands: the Daily Status and its prints and
// exports, the till reconciliation and closeout, the log viewer, the item
// summaries, sales reports, units by category, the stock lists, and the
// File menu's exits that print first.
#pragma once

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Printers;
class Till;
class Ui;

namespace report_command {
inline constexpr int kPrintActivitySummary = 5001;
inline constexpr int kDisplayLogToday = 5002;
inline constexpr int kDisplayPreviousLog = 5003;
inline constexpr int kPrintLogToday = 5004;
inline constexpr int kPrintLogOfDay = 5005;
inline constexpr int kSalesByStaff = 5030;
inline constexpr int kSalesByItem = 5031;
inline constexpr int kTillCloseout = 5034;
inline constexpr int kPreviousActivitySummary = 5200;
inline constexpr int kExportActivitySummary = 5201;
inline constexpr int kExportLog = 5202;
inline constexpr int kTillReconciliation = 5203;
inline constexpr int kDailyItemSummary = 5204;
inline constexpr int kWeeklyItemSummary = 5205;
inline constexpr int kMonthlyItemSummary = 5206;
inline constexpr int kPeriodItemSummary = 5207;
inline constexpr int kExportDailyItems = 5208;
inline constexpr int kExportWeeklyItems = 5209;
inline constexpr int kUnitsToday = 5210;
inline constexpr int kUnitsMonth = 5211;
inline constexpr int kStockSummary = 5212;
inline constexpr int kReorderByOrderCode = 5213;
inline constexpr int kOutOfStock = 5214;
inline constexpr int kSpecialOrders = 5215;
inline constexpr int kSellByExpired = 5216;
inline constexpr int kRetailBelowCost = 5217;
inline constexpr int kBoundsCheck = 5218;
}  // namespace report_command

// Every reference must outlive the router. Printing goes to `printers`
// through the print dialog.
void registerReportCommands(CommandRouter& router, DataStore& store, Ui& ui, Till& till,
                            Printers& printers, QWidget* window);

}  // namespace kassio
