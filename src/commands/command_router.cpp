#include "commands/command_router.h"

#include <set>

#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/activity_log.h"
#include "store/store_config.h"
#include "till/till.h"

namespace kassio {

using namespace command;

const std::vector<KeyBinding>& keyMap() {
    static const std::vector<KeyBinding> kMap = {
        {Key::kF1, false, 0, 0},
        {Key::kF2, false, 0, kFindInventory},
        {Key::kF3, false, 0, kAmendInventory},
        {Key::kF4, false, 0, kNewLine},
        {Key::kF5, false, 0, kCashTender},
        {Key::kF6, false, 0, kCreditTender},
        {Key::kF7, false, 0, kCardTender},
        {Key::kF8, false, 0, kOpenDrawer},
        {Key::kF9, false, 0, kLogOn},
        {Key::kF11, false, 0, kDisplayTransaction},
        {Key::kF12, false, 0, kActivitySummary},
        {Key::kLeft, false, 0, kCategoryLeft},
        {Key::kUp, false, 0, kPageBack},
        {Key::kRight, false, 0, kCategoryRight},
        {Key::kDown, false, 0, kPageForward},
        {Key::kLetter, true, 'A', kAddCustomer},
        {Key::kLetter, true, 'B', 1090},
        {Key::kLetter, true, 'C', kConfiguration},
        {Key::kLetter, true, 'D', 1019},
        {Key::kLetter, true, 'E', 1097},
        {Key::kLetter, true, 'F', 1072},
        {Key::kLetter, true, 'I', 1029},
        {Key::kLetter, true, 'J', kFindCustomer},
        {Key::kLetter, true, 'K', kNonInventorySale},
        {Key::kLetter, true, 'L', 1068},
        {Key::kLetter, true, 'M', 1011},
        {Key::kLetter, true, 'N', kFindByDescription},
        {Key::kLetter, true, 'P', kUserControl},
        {Key::kLetter, true, 'R', 1070},
        {Key::kLetter, true, 'S', kFindInSkus},
        {Key::kLetter, true, 'T', 1091},
        {Key::kLetter, true, 'V', kInventoryReceived},
        {Key::kLetter, true, 'W', kChangeBasket},
        {Key::kLetter, true, 'X', kSkuSearch},
    };
    return kMap;
}

std::optional<int> commandForKey(Key key, bool control, char letter) {
    for (const KeyBinding& k : keyMap()) {
        if (k.key != key || k.control != control) continue;
        if (key == Key::kLetter && k.letter != letter) continue;
        if (k.command == 0) return std::nullopt;
        return k.command;
    }
    return std::nullopt;
}

namespace {

// Commands that first clear an untendered basket: reports, maintenance,
// transaction finds, payments on account, configuration and the utilities.
const std::set<int> kClearing = {
    3032, 3041, kReprintLast, 3033, kDisplayTransaction, 1022, 1025, 1065, 1036, kNewLine,
    kAmendInventory, kDeleteInventory, 1029, kPrintInventory, kPrintCustomInventory,
    kAddImageToInventory, kAddCustomer, 1090, kDeleteCustomer, 1011, 1019, kPrintDebtorLetter1,
    kReorderList, kSalesReport, kActivitySummary, kConfiguration, kOperatorSetup, kBackup, kRestore,
    kPurgeHistory,
    // the report commands: activity, till counts, item
    // summaries, sales reports, units and stock lists
    5001, 5002, 5003, 5004, 5005, 5030, 5031, 5034, 5200, 5201, 5202, 5203, 5204, 5205, 5206, 5207,
    5208, 5209, 5210, 5211, 5212, 5213, 5214, 5215, 5216, 5217, 5218};

// The option or flag an ordinary clerk's command depends on.
struct Restriction {
    bool option;  // the option table, else settings block B
    int index;
    bool permission;  // runs only when non-zero; else ignored when 2
};

const std::map<int, Restriction>& restrictions() {
    static const std::map<int, Restriction> kMap = {
        {kConfiguration, {true, kOptPermitConfiguration, true}},
        {5040, {true, kOptPermitConfiguration, true}},  // tax setup
        {kDeleteInventory, {true, kOptPermitDeleteItem, true}},
        {kDeleteCustomer, {true, kOptPermitDeleteCustomer, true}},
        {kPruneCustomers, {true, kOptPermitPruneCustomers, true}},
        {kActivitySummary, {true, kOptPermitActivitySummary, true}},
        {5001, {true, kOptPermitActivitySummary, true}},  // print activity summary
        {5004, {true, kOptPermitPrintLog, true}},         // print log for today
        {5005, {true, kOptPermitPrintLog, true}},         // print log from a day
        {kRestore, {true, kOptPermitRestore, true}},
        {kPurgeHistory, {true, kOptPermitRestore, true}},
        {kNewLine, {false, kSetBPermitNewLine, true}},
        {kAmendInventory, {false, kSetBPermitAmend, true}},
        {kInventoryReceived, {false, kSetBPermitReceived, true}},
        {kNewBundle, {false, kSetBPermitNewBundle, true}},
        {kFunctionReceived, {false, kSetBPermitFunction2761, true}},
        {kTradeToggle, {true, kOptForbidTradeToggle, false}},
        {kAdjustByWeight, {true, kOptForbidWeight, false}},
        {kAddDiscount, {true, kOptForbidDiscount, false}},
        {kFunctionDiscount, {true, kOptForbidDiscount, false}},
        {kAdjustPrice, {true, kOptForbidPriceAdjust, false}},
        {kNonInventorySale, {false, kSetBForbidNonInventory, false}},
        {kOpenDrawer, {false, kSetBForbidDrawer, false}},
        {kRefund, {false, kSetBForbidRefund, false}},
    };
    return kMap;
}

}  // namespace

CommandRouter::CommandRouter(Till& till) : m_till(till) {
    Till* t = &till;
    set(kVoidLine, [t] { t->voidLine(); });
    set(kRepeatLine, [this, t] {
        t->repeatLast(m_entryText);
        m_entryText.clear();
        m_entryUsed = true;
    });
    set(kClearBasket, [t] { t->clearBasket(); });
    set(kChangeBasket, [t] { t->changeBasket(); });
    set(kCashTender, [t] { t->cashTender(); });
    set(kSplitTender, [t] { t->splitTender(); });
    set(kChequeTender, [t] { t->chequeTender(); });
    set(kFunctionCheque, [t] { t->chequeTender(); });
    set(kCardTender, [t] { t->cardTender(); });
    set(kCreditTender, [t] { t->creditTender(); });
    set(kRefund, [t] { t->refund(); });
    set(kAddDiscount, [t] { t->addDiscount(); });
    set(kFunctionDiscount, [t] { t->addDiscount(); });
    set(kAdjustPrice, [t] { t->adjustPrice(); });
    set(kAdjustByWeight, [t] { t->adjustByWeight(); });
    set(kTransactionNote, [t] { t->addNote(); });
    set(kAssociateCustomer, [t] { t->associateCustomer(); });
    set(kFunctionAssociate, [t] { t->associateCustomer(); });
    set(kTradeToggle, [t] { t->toggleTradePrices(); });
    set(kPageBack, [t] { t->quickSelect().back(); });
    set(kPageForward, [t] { t->quickSelect().forward(); });
    set(kCategoryLeft, [t] { t->quickSelect().left(); });
    set(kCategoryRight, [t] { t->quickSelect().right(); });
    set(kOpenDrawer, [t] {
        t->devices().openDrawer();
        // A drawer opened without a sale leaves its mark in the day's log.
        DataStore& store = t->store();
        const LocalTime now = store.clock().now();
        if (!store.journal().appendActivity(now, activity::tillOpened(timestampText(now))))
            t->ui().error("Data log file not present.", kTitleProblem);
    });
    for (int c = kCategoryFirst; c <= kCategoryAll; ++c)
        set(c, [t, c] { t->quickSelect().selectCategory(c - kCategoryFirst); });
    for (int b = kQuickSelectFirst; b <= kQuickSelectLast; ++b)
        set(b, [t, b] { t->pressQuickSelect(b - kQuickSelectFirst); });
}

void CommandRouter::set(int command, std::function<void()> operation) {
    m_operations[command] = std::move(operation);
}

bool CommandRouter::available(int command) const {
    return m_operations.count(command) != 0;
}

bool CommandRouter::clears(int command) {
    return kClearing.count(command) != 0;
}

bool CommandRouter::takeEntryUsed() {
    const bool used = m_entryUsed;
    m_entryUsed = false;
    return used;
}

bool CommandRouter::putBasketAside() {
    if (m_till.current().empty()) return true;
    if (auto slot = m_till.parkBasket()) {
        m_till.ui().inform(formatted("Basket kept in table slot %d", *slot), "Basket table");
        return true;
    }
    const std::string question = formatted("No free slot in the basket table: clear the %d lines?",
                                           m_till.basket().line_count);
    if (m_till.ui().message(question, "Clear basket", Ui::Icon::kWarning, Ui::Buttons::kOkCancel) !=
        Ui::Answer::kOk)
        return false;
    m_till.clearBasket();
    return true;
}

bool CommandRouter::confirmExit() {
    if (m_till.current().empty()) return true;
    const std::string question =
        formatted("The basket holds %d lines: exit and lose them?", m_till.basket().line_count);
    return m_till.ui().message(question, "Exit", Ui::Icon::kWarning, Ui::Buttons::kOkCancel) ==
           Ui::Answer::kOk;
}

bool CommandRouter::restricted(int command) const {
    if (m_till.clerks().accessLevel() != 2) return false;
    auto it = restrictions().find(command);
    if (it == restrictions().end()) return false;
    const StoreConfigRecord& cfg = m_till.store().config().record();
    const int64_t value =
        it->second.option ? cfg.options[it->second.index] : cfg.settings_b[it->second.index];
    return it->second.permission ? value == 0 : value == 2;
}

bool CommandRouter::hasPermission(int command) const {
    auto it = restrictions().find(command);
    if (it == restrictions().end() || !it->second.permission) return false;
    const StoreConfigRecord& cfg = m_till.store().config().record();
    return (it->second.option ? cfg.options[it->second.index] : cfg.settings_b[it->second.index]) !=
           0;
}

CommandRouter::Outcome CommandRouter::route(int command) {
    // The guard comes first: while a panel is open nothing may clear the
    // basket under it.
    if (m_till.tenderState() == TenderState::kPanelOpen) {
        const bool passes =
            command == kExit || (command >= kExitPrintReport && command <= kExitPrintBoth) ||
            command == kOpenDrawer || (command >= kKeypadFirst && command <= kKeypadErase);
        if (!passes) return Outcome::kFocusPanel;
    }
    if (restricted(command)) return Outcome::kIgnored;
    auto it = m_operations.find(command);
    if (it == m_operations.end()) return Outcome::kNotAvailable;
    if (clears(command) && !putBasketAside()) return Outcome::kKeptBasket;
    it->second();
    return Outcome::kRan;
}

CommandRouter::EntryResult CommandRouter::processEntry(const std::string& raw, bool controlDown) {
    EntryResult r;
    if (controlDown) {
        r.emptyBox = true;
        return r;
    }
    const std::string text = raw.substr(0, 38);
    if (text.rfind("\r\n", 0) == 0) {
        r.emptyBox = true;
        r.ranSearch = true;
        if (m_emptyEntry) m_emptyEntry();
        return r;
    }
    if (!text.empty() && text.back() == '\n') {
        r.emptyBox = true;
        r.added = m_till.addFromEntry(text);
    }
    return r;
}

}  // namespace kassio
