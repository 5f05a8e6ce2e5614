// The till engine: the Basket under construction, its rows, the tender
// state, the clerk logged on, the basket table and the quick-select page.
// A complete till that a test drives from log-on to a posted sale without
// a window; the Qt screen calls the same operations.
//
// Owned by the UI thread. Messages, panels, sounds and devices go through
// the ports given at construction, never with the DataMutex held.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "platform/till_devices.h"
#include "platform/till_panels.h"
#include "platform/ui.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace kassio {

class CashPanel;
class SplitPanel;
class DiscountPanel;
class PricePanel;

enum class AddMode { kOrdinary = 0, kFree = 2, kRepeat = 4 };

inline constexpr int kBasketTableSize = 16;
inline constexpr int kQuickSelectButtons = 60;
inline constexpr int kAllCategories = 18;

struct QuickSelectEntry {
    int64_t number = 0;  // 0 = empty button
    std::string description;
    std::string picture;  // "STOCK%d.bmp" or "m%I64d.bmp"
};

// What the totals panel shows, as texts.
struct TotalsPanel {
    int lines = 0;
    bool trade = false;
    bool skuMode = false;
    std::string transaction;  // "Transaction: %d"
    bool showTotals = false;
    std::string taxable, nonTaxable, subtotal, tax1, tax2;
    std::string discount;  // "(%.2f)" or empty
    std::string total;
    std::string secondCurrency;  // "%s%.2f" or empty
};

// A line of a non-inventory sale as its panel fills it.
struct NonInventoryLine {
    std::string description;
    double price = 0;  // before tax
    bool taxable = true;
    bool tax1 = true;
    bool tax2 = false;
    double cost = 0;
};

// The customer's number, name, address and telephone into the Basket.
void attachCustomer(Basket& basket, const CustomerRecord& customer);

class Till {
  public:
    Till(DataStore& store, Ui& ui, TillPanels& panels, Sound& sound, TillDevices& devices);
    ~Till();
    Till(const Till&) = delete;
    Till& operator=(const Till&) = delete;

    DataStore& store() { return m_store; }
    const DataStore& store() const { return m_store; }
    Ui& ui() { return m_ui; }
    TillPanels& panels() { return m_panels; }
    TillDevices& devices() { return m_devices; }

    const Basket& basket() const { return *m_basket; }
    Basket& basket() { return *m_basket; }
    const std::vector<std::string>& rows() const { return m_rows; }
    int selectedRow() const { return m_selected; }
    void selectRow(int row);

    // 0, or 2 while a modeless panel (cash, split, discount, price) is open.
    int tenderState() const { return m_tenderState; }
    double amountTendered() const { return m_tendered; }
    double change() const { return m_change; }
    int currentBasketNumber() const { return m_currentBasket; }

    // --- Clerks -----------------------------------------------------------
    // The log-on check: clerk 1..99 and the exact stored password. On
    // success the clerk is current, the basket cleared and "Log on." logged.
    bool logOn(int64_t clerk, const std::string& password);
    int64_t clerk() const { return m_clerk; }
    std::string clerkName() const;
    // 0 for clerks 1 and 2, 2 for every other clerk (and before a log on).
    int accessLevel() const { return m_accessLevel; }
    // "KASSIO SC    Assoc: %I64d, %s" once a clerk has logged on.
    std::string windowTitle() const;

    // --- Item entry -------------------------------------------------------
    // Adds one unit of the item; false (with its message shown) when refused.
    bool addItem(int64_t number, AddMode mode = AddMode::kOrdinary);
    // The entry box's text after ENTER: an item number, or SKU 1 in SKU mode.
    bool addFromEntry(const std::string& text);
    void voidLine();
    void repeatLast(const std::string& entryText);
    // Empties the rows and zeroes the Basket (sound 8003) when it has rows.
    void clearBasket();
    void changeBasket();  // asks which of the 16 baskets
    void changeBasketTo(int number);
    bool addNonInventory(const NonInventoryLine& line);
    void addNote();
    void associateCustomer();
    // 2 when selling at trade prices.
    void toggleTradePrices();

    // --- Quick select -----------------------------------------------------
    void setVisibleButtons(int count);
    int visibleButtons() const { return m_visibleButtons; }
    void fillQuickSelect();
    void quickSelectForward();
    void quickSelectBack();
    void selectCategory(int category);  // 0..17, 18 for all
    void categoryLeft();
    void categoryRight();
    int category() const;
    std::string categoryLabel() const;
    const std::array<QuickSelectEntry, kQuickSelectButtons>& quickSelect() const { return m_quick; }
    void pressQuickSelect(int button);

    TotalsPanel totalsPanel() const;

    // --- Tenders ----------------------------------------------------------
    // The cash and split panels stay open (tender state 2) until their OK,
    // quick amount, exact amount or Cancel; nullptr when refused.
    CashPanel* cashTender();
    SplitPanel* splitTender();
    CashPanel* openCashPanel() { return m_cash.get(); }
    SplitPanel* openSplitPanel() { return m_split.get(); }
    void openCashForSplit(double cashPart);
    void chequeTender();
    void cardTender();
    void creditTender();

    // --- Refund, discounts ------------------------------------------------
    void refund();
    DiscountPanel* addDiscount();
    PricePanel* adjustPrice();
    PricePanel* adjustByWeight();
    DiscountPanel* openDiscountPanel() { return m_discount.get(); }
    PricePanel* openPricePanel() { return m_price.get(); }

    // --- Used by the panels ----------------------------------------------
    void closePanels();
    // Stamps the transaction header (number, time, date, clerk).
    void stampHeader();
    // The after-sale sequence and the posting of the current Basket as a
    // sale; the Basket is zeroed when the posting completed.
    bool completeSale(double tendered, double change);
    bool soundsOn() const;
    void play(SoundId id);
    void show(const Status& status);
    // The customer for an "edit2box" answer: a number of 1 or more, else the
    // customers whose name begins with the text, picked from a list.
    std::optional<CustomerRecord> pickCustomer(const std::string& entry);
    // The customer look-up of the back office, used by pickCustomer() when set.
    using CustomerLookUp = std::function<std::optional<CustomerRecord>(const std::string&)>;
    void setCustomerLookUp(CustomerLookUp lookUp) { m_customerLookUp = std::move(lookUp); }
    // Told once a sale is posted and before the after-sale sequence (summary
    // box, receipt), so the screen can drop the closed panel and the basket.
    void setSalePosted(std::function<void()> posted) { m_salePosted = std::move(posted); }
    // Rebuilds the row of the last line after its price changed.
    void refreshLastRow(int stockQuantity);
    // Adds line values to the running totals as an added line does.
    double computeTax1(double price, const InventoryRecord* item, int taxCode, bool noRounding,
                       bool applyThreshold) const;
    double computeTax2(double price, double tax1, int taxCode, bool noRounding) const;

    void zeroBasket();

  private:
    std::string rowText(int line, int stock) const;
    bool findItem(int64_t number, InventoryRecord* item);
    bool addBundle(const InventoryRecord& bundle, AddMode mode);
    bool postLocalSale();
    void collectQuickSelect(std::size_t startEntry, bool forward);

    DataStore& m_store;
    Ui& m_ui;
    TillPanels& m_panels;
    Sound& m_sound;
    TillDevices& m_devices;

    std::unique_ptr<Basket> m_basket;
    std::vector<std::string> m_rows;
    int m_selected = -1;
    int m_tenderState = 0;
    double m_tendered = 0;
    double m_change = 0;
    int64_t m_clerk = 0;
    int m_accessLevel = 2;
    bool m_repeatRun = false;

    std::vector<Basket> m_table;  // the 16 saved baskets, zero-filled
    int m_currentBasket = 1;

    int64_t m_lastPosted = 0;
    CustomerLookUp m_customerLookUp;
    std::function<void()> m_salePosted;
    bool m_inBundle = false;

    int m_visibleButtons = 14;
    std::array<QuickSelectEntry, kQuickSelectButtons> m_quick;

    std::unique_ptr<CashPanel> m_cash;
    std::unique_ptr<SplitPanel> m_split;
    std::unique_ptr<DiscountPanel> m_discount;
    std::unique_ptr<PricePanel> m_price;
    // A panel that closed itself from one of its own members lives on
    // here until the next panel opens.
    std::unique_ptr<CashPanel> m_closedCash;
    std::unique_ptr<SplitPanel> m_closedSplit;
    std::unique_ptr<DiscountPanel> m_closedDiscount;
    std::unique_ptr<PricePanel> m_closedPrice;
};

}  // namespace kassio
