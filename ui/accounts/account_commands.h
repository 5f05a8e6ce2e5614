// The till window's account and list commands: balance payments,
// statements, period activity, debtor letters, customer details,
// mail-merge, every on-screen list and printed listing, and the listing
// settings of the File menu.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "store/customer_record.h"

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Printers;
class Ui;

namespace account_command {
inline constexpr int kListingFontSize = 3010;
inline constexpr int kIndentListings = 3021;
inline constexpr int kBalancePayment = 3032;
inline constexpr int kBalancePayOnTransaction = 3041;
inline constexpr int kListItemsFromNumber = 1029;
inline constexpr int kListCustomersFromNumber = 1011;
inline constexpr int kPrintInventory = 1040;
inline constexpr int kPrintCustomInventory = 1047;
inline constexpr int kPrintDebtorLetter1 = 1068;
inline constexpr int kCustomerStatement = 5012;
inline constexpr int kPrintDebtorLetter2 = 5014;
inline constexpr int kListSuppliers = 5021;
inline constexpr int kPrintSuppliers = 5022;
inline constexpr int kHighestVolume = 5032;
inline constexpr int kMailmerge = 5044;
inline constexpr int kListItemsAlphabetical = 5100;
inline constexpr int kListItemsByCategory = 5101;
inline constexpr int kListItemsBySku = 5102;
inline constexpr int kPrintItemsAlphabetical = 5103;
inline constexpr int kPrintItemsCostValue = 5104;
inline constexpr int kPrintItemsCategory = 5105;
inline constexpr int kPrintItemsHeld = 5106;
inline constexpr int kPrintItemsLocation = 5107;
inline constexpr int kListCustomersAlphabetical = 5110;
inline constexpr int kListCustomersCredit = 5111;
inline constexpr int kListCustomersNotGroup1 = 5112;
inline constexpr int kListCustomersActive = 5113;
inline constexpr int kListCustomersOverdue = 5114;
inline constexpr int kListCustomersTakings = 5115;
inline constexpr int kSearchCustomersName = 5116;
inline constexpr int kSearchCustomersAddress = 5117;
inline constexpr int kCustomerPeriodActivity = 5118;
inline constexpr int kPrintCustomerDetails = 5119;
inline constexpr int kPrintCustomersNumeric = 5120;
inline constexpr int kPrintCustomersAlphabetical = 5121;
inline constexpr int kPrintCustomersDebitCredit = 5122;
inline constexpr int kPrintCustomersNonDefault = 5123;
inline constexpr int kPrintCustomersInactive = 5124;
inline constexpr int kPrintCustomersTakings = 5125;
}  // namespace account_command

struct AccountHooks {
    // The customer for a "Number / name" answer (the customer look-up of
    // the back office); nullopt when none was chosen.
    std::function<std::optional<CustomerRecord>(const std::string& entry)> lookUpCustomer;
    // The read-only details of a listed item or customer.
    std::function<void(int64_t number)> showItem;
    std::function<void(int64_t number)> showCustomer;
    // The clerk logged on (cost prices, the payment's clerk) and the name.
    std::function<int64_t()> clerk;
    // After a payment: the till display and the pole show the new state.
    std::function<void()> refreshTill;
};

// Every reference must outlive the router.
void registerAccountCommands(CommandRouter& router, DataStore& store, Ui& ui, Printers& printers,
                             QWidget* window, AccountHooks hooks);

}  // namespace kassio
