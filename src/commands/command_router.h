// Command routing: every menu item, toolbar and till button and shortcut
// key is a command number; this is the one place that maps numbers to
// operations, applies the clerk restrictions, refuses commands while a
// tender panel is open and clears an untendered basket first where needed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kassio {

class Till;

namespace command {
inline constexpr int kExit = 1000;  // "E&xit", Alt+X
inline constexpr int kExitPrintReport = 1002;
inline constexpr int kExitPrintLog = 1003;
inline constexpr int kExitPrintBoth = 1004;
inline constexpr int kBackup = 1005;
inline constexpr int kAdjustPrice = 1008;
inline constexpr int kFindCustomer = 1009;
inline constexpr int kDeleteCustomer = 1023;
inline constexpr int kFindInventory = 1027;
inline constexpr int kFindByDescription = 1028;
inline constexpr int kFindInSkus = 1032;
inline constexpr int kAssociateCustomer = 1034;
inline constexpr int kReprintLast = 1039;
inline constexpr int kPrintInventory = 1040;
inline constexpr int kPrintCustomInventory = 1047;
inline constexpr int kAmendInventory = 1050;
inline constexpr int kDeleteInventory = 1051;
inline constexpr int kConfiguration = 1053;
inline constexpr int kAbout = 1061;
inline constexpr int kActivitySummary = 1062;
inline constexpr int kUserControl = 1063;
inline constexpr int kDisplayTransaction = 1067;
inline constexpr int kPrintDebtorLetter1 = 1068;
inline constexpr int kDeleteSupplier = 1071;
inline constexpr int kAddImageToInventory = 1076;
inline constexpr int kRestore = 1079;
inline constexpr int kTransactionNote = 1081;
inline constexpr int kHelpContents = 1098;  // F1
inline constexpr int kCashTender = 2459;
inline constexpr int kNonInventorySale = 2408;
inline constexpr int kAddDiscount = 2409;
inline constexpr int kOpenDrawer = 2410;
inline constexpr int kNewLine = 2411;
inline constexpr int kTradeToggle = 2413;
inline constexpr int kVoidLine = 2415;
inline constexpr int kRepeatLine = 2417;
inline constexpr int kClearBasket = 2425;
inline constexpr int kCreditTender = 2426;
inline constexpr int kAdjustByWeight = 2427;
inline constexpr int kCardTender = 2428;
inline constexpr int kKeypadFirst = 2430;  // "0".."9" are 2430..2439
inline constexpr int kKeypadClear = 2440;
inline constexpr int kKeypadErase = 2441;
inline constexpr int kPictureSearch = 2442;
inline constexpr int kPageBack = 2453;
inline constexpr int kCategoryLeft = 2454;
inline constexpr int kCategoryRight = 2455;
inline constexpr int kPageForward = 2456;
inline constexpr int kLogOn = 2457;
inline constexpr int kRefund = 2458;
inline constexpr int kSkuSearch = 2466;
inline constexpr int kChangeBasket = 2467;
inline constexpr int kCategoryFirst = 2500;  // 2500..2517, 2518 "ALL"
inline constexpr int kCategoryAll = 2518;
inline constexpr int kQuickSelectFirst = 2700;  // 2700..2759
inline constexpr int kQuickSelectLast = 2759;
inline constexpr int kFunctionReceived = 2761;
inline constexpr int kFunctionDiscount = 2762;
inline constexpr int kFunctionFindPhone = 2763;
inline constexpr int kFunctionCheque = 2764;
inline constexpr int kFunctionReorder = 2765;
inline constexpr int kFunctionOutOfStock = 2766;
inline constexpr int kFunctionReprint = 2767;
inline constexpr int kFunctionAssociate = 2768;
inline constexpr int kSplitTender = 3001;
inline constexpr int kAddCustomer = 3012;
inline constexpr int kReorderList = 3014;
inline constexpr int kButtonTips = 3017;
inline constexpr int kPurgeHistory = 3022;
inline constexpr int kSoundEffects = 3024;
inline constexpr int kOperatorSetup = 3025;
inline constexpr int kPayments = 3026;
inline constexpr int kChequeTender = 3035;
inline constexpr int kAddSupplier = 3036;
inline constexpr int kTipOfTheDay = 3045;
inline constexpr int kInventoryReceived = 3046;
inline constexpr int kSalesReport = 3047;
inline constexpr int kUploadReport = 3054;
inline constexpr int kNewBundle = 3050;
inline constexpr int kPruneCustomers = 3110;
}  // namespace command

enum class Key {
    kF1,
    kF2,
    kF3,
    kF4,
    kF5,
    kF6,
    kF7,
    kF8,
    kF9,
    kF10,
    kF11,
    kF12,
    kLeft,
    kUp,
    kRight,
    kDown,
    kLetter
};

struct KeyBinding {
    Key key;
    bool control;
    char letter;  // for Key::kLetter, upper case
    int command;  // 0 for F1 (help), which is no command
};

// The whole key map.
const std::vector<KeyBinding>& keyMap();
// The command of a key, or nullopt when the key has none.
std::optional<int> commandForKey(Key key, bool control, char letter = 0);

class CommandRouter {
  public:
    enum class Outcome {
        kRan,           // the command's operation ran
        kFocusPanel,    // a tender panel is open: only the focus moved back to it
        kIgnored,       // an ordinary clerk may not run it
        kNotAvailable,  // no operation in this build yet
        kKeptBasket,    // the clerk chose to keep a basket the command would clear
    };

    explicit CommandRouter(Till& till);

    // The operation of a command. Registering again replaces it; the till's
    // own commands are registered by the constructor.
    void set(int command, std::function<void()> operation);
    bool available(int command) const;

    Outcome route(int command);

    // An ordinary clerk may not run it (the menu greys it).
    bool restricted(int command) const;
    // The shop granted ordinary clerks the permission behind this command.
    bool hasPermission(int command) const;
    // It clears an untendered basket before it runs.
    static bool clears(int command);
    // Before a command that clears: a basket with lines goes into a free slot
    // of the basket table ("Basket kept in table slot N"); with no slot free
    // the clerk is asked, and true comes back only when the basket may go.
    bool putBasketAside();
    // Before the program ends: true when the basket is empty or the clerk
    // agrees to lose it.
    bool confirmExit();

    // The entry box's text as typed (the quantity Repeat reads). A command
    // that used it up empties it and says so once.
    void setEntryText(const std::string& text) { m_entryText = text; }
    bool takeEntryUsed();

    // The entry box after a change: what to do with its text.
    struct EntryResult {
        bool emptyBox = false;
        bool ranSearch = false;  // ENTER in an empty box
        bool added = false;
    };
    EntryResult processEntry(const std::string& text, bool controlDown);
    // The search that ENTER in an empty box runs, by entry mode.
    void setEmptyEntrySearch(std::function<void()> search) { m_emptyEntry = std::move(search); }

  private:
    Till& m_till;
    std::map<int, std::function<void()>> m_operations;
    std::function<void()> m_emptyEntry;
    std::string m_entryText;
    bool m_entryUsed = false;
};

}  // namespace kassio
