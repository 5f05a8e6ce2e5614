// Wires the customer operations to their command numbers.
#pragma once

#include "commands/command_router.h"
#include "customers/customer_maintenance.h"

namespace kassio {

namespace customer_command {
// Numbers of the command table that the till's list does not name yet.
inline constexpr int kAmendCustomer = 1090;      // Ctrl+B
inline constexpr int kLoyaltyCard = 1091;        // Ctrl+T
inline constexpr int kFindTelephone = 1097;      // Ctrl+E
inline constexpr int kFunctionTelephone = 2763;  // function button 3
// Menu items the command table gives no number; chosen here, outside every
// number the table uses.
inline constexpr int kPruneCustomers = 3110;
inline constexpr int kFindThatContain = 3111;
inline constexpr int kAmendBalance = 3112;
}  // namespace customer_command

// Registers Add, Amend, Delete, Prune, the finds, Amend balance and the
// loyalty card. customers must outlive the router.
void registerCustomerCommands(CommandRouter& router, CustomerMaintenance& customers);

}  // namespace kassio
