#include "commands/menu_table.h"

#include "commands/command_router.h"
#include "store/store_config.h"
#include "till/till.h"

namespace kassio {

namespace {

constexpr bool G = true;  // greyed for an ordinary clerk
constexpr bool C = true;  // checkable

}  // namespace

const std::vector<MenuItem>& menuTable() {
    using namespace command;
    static const std::vector<MenuItem> kTable = {
        {"&File", "E&xit", kExit, "Alt+X", false, false},
        {"&File", "Exit - print report", kExitPrintReport, "", false, false},
        {"&File", "Exit - print log", kExitPrintLog, "", false, false},
        {"&File", "Exit - print report + log", kExitPrintBoth, "", false, false},
        {"&File", nullptr, 0, "", false, false},
        {"&File", "Listing font size", 3010, "", G, false},
        {"&File", "Indent listings", 3021, "", G, C},

        {"&Payments", "Customer credit", kCreditTender, "F6", false, false},
        {"&Payments", "EFT (Credit card)", kCardTender, "F7", false, false},
        {"&Payments", "Cash", kCashTender, "F5", false, false},
        {"&Payments", "CH", kChequeTender, "", false, false},
        {"&Payments", "Split Cash Other", kSplitTender, "", false, false},
        {"&Payments", "Card completion (cardholder not present)", 5054, "", false, false},
        {"&Payments", nullptr, 0, "", false, false},
        {"&Payments", "Balance payment", 3032, "", false, false},
        {"&Payments", "Balance pay on transaction", 3041, "", false, false},

        {"&Transactions", "Add note", kTransactionNote, "", false, false},
        {"&Transactions", "Associate customer", kAssociateCustomer, "", false, false},
        {"&Transactions", "Add discount", kAddDiscount, "", false, false},
        {"&Transactions", nullptr, 0, "", false, false},
        {"&Transactions", "Display transaction", kDisplayTransaction, "F11", false, false},
        {"&Transactions", "Find transaction", 3033, "", false, false},
        {"&Transactions", "In specific day", 1022, "", false, false},
        {"&Transactions", "In specific month", 1025, "", false, false},
        {"&Transactions", "In specific year", 1065, "", false, false},
        {"&Transactions", "Discounted", 1036, "", false, false},
        {"&Transactions", "Reprint last receipt invoice", kReprintLast, "", false, false},
        {"&Transactions", "Pro Forma Quotation", 1070, "Ctrl+R", false, false},

        {"&Activity", "&Activity summary", kActivitySummary, "F12", G, false},
        {"&Activity", "Print activity summary", 5001, "", G, false},
        {"&Activity", "Display log for today", 5002, "", G, false},
        {"&Activity", "Display previous log file", 5003, "", G, false},
        {"&Activity", "&Print log for today", 5004, "", G, false},
        {"&Activity", "Pr&int log from a specific day", 5005, "", G, false},
        {"&Activity", "Previous activity summary", 5200, "", false, false},
        {"&Activity", "Export an activity summary", 5201, "", false, false},
        {"&Activity", "Export log for a specific day", 5202, "", false, false},
        {"&Activity", nullptr, 0, "", false, false},
        {"&Activity", "Change basket table", kChangeBasket, "Ctrl+W", false, false},
        {"&Activity", "Head office report setup", 5060, "", false, false},
        {"&Activity", "Upload report", 3054, "", false, false},
        {"&Activity", "Email an activity summary", 5061, "", false, false},

        {"&Inventory", "New line", kNewLine, "F4", G, false},
        {"&Inventory", "&Amend", kAmendInventory, "F3", G, false},
        {"&Inventory", "&Delete", kDeleteInventory, "", G, false},
        {"&Inventory", "New bundle", kNewBundle, "", false, false},
        {"&Inventory", "Inventory received", kInventoryReceived, "Ctrl+V", G, false},
        {"&Inventory", "Inventory received by SKU 1", 3056, "", false, false},
        {"&Inventory", nullptr, 0, "", false, false},
        {"&Inventory", "Find", kFindInventory, "F2", false, false},
        {"&Inventory", "Find by description", kFindByDescription, "Ctrl+N", false, false},
        {"&Inventory", "Find that contain", 1056, "", false, false},
        {"&Inventory", "Find in Sku 1", kSkuSearch, "Ctrl+X", false, false},
        {"&Inventory", "Find in SKUs", kFindInSkus, "Ctrl+S", false, false},
        {"&Inventory", "Find advanced", 1072, "Ctrl+F", false, false},
        {"&Inventory", nullptr, 0, "", false, false},
        {"&Inventory", "List from number", 1029, "Ctrl+I", false, false},
        {"&Inventory", "Print inventory", 1040, "", false, false},
        {"&Inventory", "Print custom inventory", 1047, "", false, false},
        {"&Inventory", "Add image to inventory", 1076, "", false, false},

        {"&Customers", "Add", kAddCustomer, "Ctrl+A", false, false},
        {"&Customers", "&Amend", 1090, "Ctrl+B", G, false},
        {"&Customers", "&Delete", kDeleteCustomer, "", G, false},
        {"&Customers", "&Prune", 3110, "", G, false},
        {"&Customers", "Find", kFindCustomer, "Ctrl+J", false, false},
        {"&Customers", "Find telephone", 1097, "Ctrl+E", false, false},
        {"&Customers", "Find that contain", 3111, "", false, false},
        {"&Customers", "Loyalty card", 1091, "Ctrl+T", false, false},
        {"&Customers", "List from number", 1011, "Ctrl+M", false, false},
        {"&Customers", nullptr, 0, "", false, false},
        {"&Customers", "Amend balance", 3112, "", G, false},
        {"&Customers", "Customer statement", 5012, "", G, false},
        {"&Customers", "Outstanding balances", 5013, "", G, false},
        {"&Customers", "Print debtors", 1019, "Ctrl+D", false, false},
        {"&Customers", "Print &debtor letter 1", 1068, "Ctrl+L", G, false},
        {"&Customers", "Print d&ebtor letter 2", 5014, "", G, false},

        {"&Suppliers", "Find", 3102, "", false, false},
        {"&Suppliers", "List", 5021, "", false, false},
        {"&Suppliers", "Print", 5022, "", false, false},
        {"&Suppliers", "Add", 3036, "", false, false},
        {"&Suppliers", "Amend", 3103, "", false, false},
        {"&Suppliers", "Delete", 1071, "", false, false},

        {"&Reports", "&Sales report", 3047, "", G, false},
        {"&Reports", "Sales by staff", 5030, "", G, false},
        {"&Reports", "Sales by item", 5031, "", G, false},
        {"&Reports", "&Highest volume products", 5032, "", G, false},
        {"&Reports", "Reorder list", 3014, "", G, false},
        {"&Reports", "Inventory received", 3100, "", false, false},
        {"&Reports", "Till reconciliation", 5203, "", false, false},
        {"&Reports", "Till closeout", 5034, "", false, false},
        {"&Reports", nullptr, 0, "", false, false},
        {"&Reports", "Daily item summary", 5204, "", false, false},
        {"&Reports", "Weekly item summary", 5205, "", false, false},
        {"&Reports", "Monthly item summary", 5206, "", false, false},
        {"&Reports", "Specific period item summary", 5207, "", false, false},
        {"&Reports", "Export daily items CSV", 5208, "", false, false},
        {"&Reports", "Export weekly items CSV", 5209, "", false, false},
        {"&Reports", "Units by category for today", 5210, "", false, false},
        {"&Reports", "Units by category for month", 5211, "", false, false},
        {"&Reports", nullptr, 0, "", false, false},
        {"&Reports", "Stock summary", 5212, "", false, false},
        {"&Reports", "Reorder list by order code", 5213, "", false, false},
        {"&Reports", "Out of stock", 5214, "", false, false},
        {"&Reports", "Special orders", 5215, "", false, false},
        {"&Reports", "Sell by expired", 5216, "", false, false},
        {"&Reports", "List items with retail less than cost", 5217, "", false, false},
        {"&Reports", "Data Bounds Check", 5218, "", false, false},

        {"&Utilities", "&Configuration", kConfiguration, "Ctrl+C", G, false},
        {"&Utilities", "&User control", kUserControl, "Ctrl+P", G, false},
        {"&Utilities", "&Operator setup", kOperatorSetup, "", G, false},
        {"&Utilities", "Tax setup", 5040, "", G, false},
        {"&Utilities", "Store print heading", 5041, "", G, false},
        {"&Utilities", "Non inventory settings", 5048, "", false, false},
        {"&Utilities", "Receipts", 5050, "", G, false},
        {"&Utilities", "Till configuration", 5051, "", G, false},
        {"&Utilities", "Pole configuration", 5052, "", G, false},
        {"&Utilities", "Card terminal", 5053, "", G, false},
        {"&Utilities", "Custom receipt", 5042, "", G, false},
        {"&Utilities", "Invoices", 5071, "", G, false},
        {"&Utilities", "Barcode print", 5070, "", false, false},
        {"&Utilities", "Customize language", 5043, "", false, false},
        {"&Utilities", "Mailmerge", 5044, "", G, false},
        {"&Utilities", "&Export", 5045, "", G, false},
        {"&Utilities", "&Import", 5046, "", G, false},
        {"&Utilities", "Import ZENTIL inventory", 5049, "", G, false},
        {"&Utilities", "&File reset", 5047, "", G, false},
        {"&Utilities", "Change inbuilt stock picture", 3101, "", false, false},
        {"&Utilities", nullptr, 0, "", false, false},
        {"&Utilities", "&Backup", kBackup, "", false, false},
        {"&Utilities", "&Restore", kRestore, "", false, false},
        {"&Utilities", "Purge transaction history", kPurgeHistory, "", G, false},
        {"&Utilities", nullptr, 0, "", false, false},
        {"&Utilities", "Button tips", 3017, "", false, C},
        {"&Utilities", "Sound effects", 3024, "", G, C},

        // The lists, printed listings and account documents.
        {"&Inventory", nullptr, 0, "", false, false},
        {"&Inventory", "List alphabetical", 5100, "", false, false},
        {"&Inventory", "List by category", 5101, "", false, false},
        {"&Inventory", "List by SKU or fragment", 5102, "", false, false},
        {"&Inventory", "Print alphabetical", 5103, "", false, false},
        {"&Inventory", "Print with cost value", 5104, "", false, false},
        {"&Inventory", "Print category", 5105, "", false, false},
        {"&Inventory", "Print inventory held", 5106, "", false, false},
        {"&Inventory", "Print location", 5107, "", false, false},
        {"&Customers", nullptr, 0, "", false, false},
        {"&Customers", "Customer period activity", 5118, "", false, false},
        {"&Customers", "Print customer details", 5119, "", false, false},
        {"&Customers", "List alphabetical", 5110, "", false, false},
        {"&Customers", "List non zero credit", 5111, "", false, false},
        {"&Customers", "List not category 1", 5112, "", false, false},
        {"&Customers", "List active", 5113, "", false, false},
        {"&Customers", "Overdue list", 5114, "", false, false},
        {"&Customers", "Takings list", 5115, "", false, false},
        {"&Customers", "Search by name", 5116, "", false, false},
        {"&Customers", "Search by address", 5117, "", false, false},
        {"&Customers", "Print customer list", 5120, "", false, false},
        {"&Customers", "Print alphabetical list", 5121, "", false, false},
        {"&Customers", "Print debit / credit list", 5122, "", false, false},
        {"&Customers", "Print non default category list", 5123, "", false, false},
        {"&Customers", "Print inactive list", 5124, "", false, false},
        {"&Customers", "Print takings", 5125, "", false, false},

        {"&Help", "&Contents", 1098, "F1", false, false},
        {"&Help", "&Tip of the day ...", 3045, "", false, false},
        {"&Help", "Calendar", 3006, "", false, false},
        {"&Help", "A&bout", 1061, "", false, false},
    };
    return kTable;
}

bool menuItemEnabled(const MenuItem& item, const Till& till, const CommandRouter& router) {
    if (!item.text || !router.available(item.command)) return false;
    if (till.clerks().accessLevel() != 2 || !item.greyedForClerks) return true;
    // Greyed for clerks, unless the shop granted the permission behind it.
    return !router.restricted(item.command) && router.hasPermission(item.command);
}

bool commandEnabled(int command, const Till& till, const CommandRouter& router) {
    for (const MenuItem& item : menuTable())
        if (item.text && item.command == command) return menuItemEnabled(item, till, router);
    return router.available(command) && !router.restricted(command);
}

bool menuItemChecked(const MenuItem& item, const Till& till) {
    const StoreConfigRecord& cfg = till.store().config().record();
    switch (item.command) {
        case 3024:
            return cfg.settings_b[kSetBSoundEffectsOff] == 0;
        case 3017:
            return cfg.settings_b[kSetBButtonTipsOff] == 0;
        case 3021:
            return cfg.settings_b[kSetBListingIndent] != 0;
        default:
            return false;
    }
}

}  // namespace kassio
