// Wires the inventory and supplier operations to their command numbers.
#pragma once

#include "commands/command_router.h"
#include "inventory/inventory_maintenance.h"
#include "inventory/supplier_maintenance.h"
#include "till/till.h"

namespace kassio {

namespace backoffice_command {
// Numbers of the command table that the till's list does not name yet.
inline constexpr int kFindByDescription = 1028;  // Ctrl+N: "Item description search"
inline constexpr int kFindInSku1 = 1032;         // Ctrl+S
inline constexpr int kFindThatContain = 1056;
inline constexpr int kFindAdvanced = 1072;  // Ctrl+F
inline constexpr int kAddImage = 1076;
inline constexpr int kDeleteSupplier = 1071;
inline constexpr int kAddSupplier = 3036;
inline constexpr int kReceivedBySku1 = 3056;
// Menu items the command table gives no number; chosen here, outside every
// number the table uses.
inline constexpr int kReceivedReport = 3100;
inline constexpr int kChangeInbuiltPicture = 3101;
inline constexpr int kViewSupplier = 3102;
inline constexpr int kAmendSupplier = 3103;
}  // namespace backoffice_command

// Registers New line, Amend, Delete, the finds, the pictures, New bundle,
// the stock received commands and report, and the search that ENTER in an
// empty entry box runs (its result goes into the basket). The till's
// quick-select page is refreshed after the commands that change items.
// inventory and till must outlive the router.
void registerInventoryCommands(CommandRouter& router, Till& till, InventoryMaintenance& inventory);

// Registers view, add, amend and delete supplier.
void registerSupplierCommands(CommandRouter& router, SupplierMaintenance& suppliers);

}  // namespace kassio
