// The till engine: item entry and the tenders over the parts of a till.
//
//   CurrentBasket   the Basket under construction, its rows and selection
//   BasketTable     the 16 parked baskets
//   QuickSelectPage the items behind the picture buttons
//   ClerkSession    the clerk logged on and the access level
//   TenderSession   the open modeless panel, the tender state, tendered/change
//
// Till holds the rules that join them (what may be added, what a tender
// writes, posting) and reaches the screen, sounds and devices only through
// the ports given at construction, never with the DataMutex held. A test
// drives it from log-on to a posted sale without a window; the Qt screen
// calls the same operations. Owned by the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/sound.h"
#include "platform/till_devices.h"
#include "platform/till_panels.h"
#include "platform/ui.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/inventory_record.h"
#include "till/basket_table.h"
#include "till/clerk_session.h"
#include "till/current_basket.h"
#include "till/line_arithmetic.h"
#include "till/quick_select.h"
#include "till/tender_session.h"
#include "till/till_data.h"

namespace kassio {

class CashPanel;
class SplitPanel;
class DiscountPanel;
class PricePanel;

enum class AddMode { kOrdinary = 0, kFree = 2, kRepeat = 4 };

// The most units one entry ("3*12") or one repeat may add.
inline constexpr int kMaxEntryQuantity = kMaxBasketLines;

// A line of a non-inventory sale as its panel fills it.
struct NonInventoryLine {
    std::string description;
    double price = 0;  // before tax
    bool taxable = true;
    bool tax1 = true;
    bool tax2 = false;
    double cost = 0;
};

// What the entry box names: a quantity and the text of an item number or a
// SKU 1. "3*12" is three of "12"; anything else is one of the whole text.
struct EntryQuantity {
    int quantity = 1;  // 0 when the quantity is not 1..400
    std::string key;
};
EntryQuantity splitEntryQuantity(const std::string& entry);

// The customer an entry names: a number of 1 or more, else one of the
// customers whose name begins with the text, picked from a list. nullopt
// when there is none (the clerk is told) or the pick is cancelled.
std::optional<CustomerRecord> pickCustomerFrom(TillData& data, Ui& ui, const std::string& entry);

// The customer's number, name, address and telephone into the Basket.
void attachCustomer(Basket& basket, const CustomerRecord& customer);

class Till {
  public:
    // The main station's till: its data is the DataStore's.
    Till(DataStore& store, Ui& ui, TillPanels& panels, Sound& sound, TillDevices& devices);
    // A till whose items, customers and postings come through `data` (a
    // client station's); `store` holds its configuration and wording.
    Till(DataStore& store, TillData& data, Ui& ui, TillPanels& panels, Sound& sound,
         TillDevices& devices);
    ~Till();
    Till(const Till&) = delete;
    Till& operator=(const Till&) = delete;

    // --- Ports and parts --------------------------------------------------
    DataStore& store() { return m_store; }
    const DataStore& store() const { return m_store; }
    TillData& data() { return m_data; }
    Ui& ui() { return m_ui; }
    TillPanels& panels() { return m_panels; }
    TillDevices& devices() { return m_devices; }

    CurrentBasket& current() { return m_current; }
    const CurrentBasket& current() const { return m_current; }
    const Basket& basket() const { return m_current.image(); }
    Basket& basket() { return m_current.image(); }
    BasketTable& table() { return m_table; }
    QuickSelectPage& quickSelect() { return m_quick; }
    const QuickSelectPage& quickSelect() const { return m_quick; }
    ClerkSession& clerks() { return m_clerks; }
    const ClerkSession& clerks() const { return m_clerks; }
    TenderSession& tender() { return m_tender; }
    TenderState tenderState() const { return m_tender.state(); }

    // --- Clerks -----------------------------------------------------------
    // On success the clerk is current, the basket cleared and "Log on."
    // logged; a refusal says why and changes nothing.
    Status logOn(int64_t clerk, const std::string& password);

    // --- Item entry -------------------------------------------------------
    // Adds one unit of the item; false (with its message shown) when refused.
    bool addItem(int64_t number, AddMode mode = AddMode::kOrdinary);
    // The entry box's text after ENTER: an optional quantity ("3*"), then an
    // item number or a SKU 1. In item-number mode a text that names no item
    // is tried as a SKU 1; in SKU 1 mode a SKU that matches nothing is tried
    // as an item number; then "No item or SKU ..." (title "Invalid entry").
    bool addFromEntry(const std::string& text);
    // The item an entry names, 0 when none (the message is shown).
    int64_t resolveEntry(const std::string& key);
    void voidLine();
    // Adds the last line's item again: the entry text's number of times, once
    // when it reads as 0.
    void repeatLast(const std::string& entryText);
    // Empties the rows and zeroes the Basket (sound 8003) when it has rows.
    void clearBasket();
    // Moves a non-empty basket into a free slot of the basket table and
    // empties the till; nullopt when it is empty or no slot is free.
    std::optional<int> parkBasket();
    void changeBasket();  // asks which of the 16 baskets
    void changeBasketTo(int number);
    bool addNonInventory(const NonInventoryLine& line);
    void addNote();
    void associateCustomer();
    // Flips the trade-price switch between 0 and 2.
    void toggleTradePrices();
    void pressQuickSelect(int button);
    TotalsPanel totalsPanel() const;

    // --- Tenders ----------------------------------------------------------
    // The modeless panels open with tender state 2 until their OK, quick
    // amount, exact amount or Cancel; nullptr when refused. The pointer is
    // for the caller's next calls; the session owns the panel.
    CashPanel* cashTender();
    SplitPanel* splitTender();
    void chequeTender();
    void cardTender();
    void creditTender();
    void refund();
    DiscountPanel* addDiscount();
    PricePanel* adjustPrice();
    PricePanel* adjustByWeight();

    // The open panel, after letting go of a finished one and opening the
    // cash panel a split payment asked for.
    std::shared_ptr<TillPanel> openPanel();
    CashPanel* openCashPanel();
    SplitPanel* openSplitPanel();
    DiscountPanel* openDiscountPanel();
    PricePanel* openPricePanel();

    // --- Used by the panels ----------------------------------------------
    // Stamps the transaction header (number, time, date, clerk).
    void stampHeader();
    // Posts the current Basket as a sale, then runs the after-sale sequence
    // on the posted image; the Basket is zeroed when the posting completed.
    bool completeSale(double tendered, double change);
    bool soundsOn() const;
    void play(SoundId id);
    void show(const Status& status);
    TaxRules taxRules() const { return TaxRules::of(m_store.config().record()); }
    bool descriptionOnlyRows() const;
    // The customer for an "edit2box" answer: a number of 1 or more, else the
    // customers whose name begins with the text, picked from a list.
    std::optional<CustomerRecord> pickCustomer(const std::string& entry);
    // The customer look-up of the back office, used by pickCustomer() when set.
    using CustomerLookUp = std::function<std::optional<CustomerRecord>(const std::string&)>;
    void setCustomerLookUp(CustomerLookUp lookUp) { m_customerLookUp = std::move(lookUp); }
    // Told once a sale is posted and before the after-sale sequence (summary
    // box, receipt), so the screen can drop the closed panel and the basket.
    void setSalePosted(std::function<void()> posted) { m_salePosted = std::move(posted); }

  private:
    Till(DataStore& store, std::unique_ptr<TillData> own, TillData* data, Ui& ui,
         TillPanels& panels, Sound& sound, TillDevices& devices);
    bool findItem(int64_t number, InventoryRecord* item);
    bool addBundle(const InventoryRecord& bundle, AddMode mode);
    bool addUnits(int64_t number, int quantity);
    bool postSale();
    bool refuseTender(const char* message, const char* title);

    DataStore& m_store;
    std::unique_ptr<TillData> m_ownData;  // the main station's, when none was given
    TillData& m_data;
    Ui& m_ui;
    TillPanels& m_panels;
    Sound& m_sound;
    TillDevices& m_devices;

    CurrentBasket m_current;
    BasketTable m_table;
    QuickSelectPage m_quick;
    ClerkSession m_clerks;
    TenderSession m_tender;

    bool m_repeatRun = false;
    bool m_inBundle = false;
    int64_t m_lastPosted = 0;
    CustomerLookUp m_customerLookUp;
    std::function<void()> m_salePosted;
};

}  // namespace kassio
