// The parts of the till beyond one sale: what the entry box may name, the
// lifetime of the modeless panels, the basket table, the clerks and the
// settings the till's menus change.
#include <gtest/gtest.h>

#include <memory>

#include "admin/clerks.h"
#include "store/file_io.h"
#include "till/discounts.h"
#include "till/line_arithmetic.h"
#include "till/shop_settings.h"
#include "till/tender.h"
#include "till_fixture.h"

namespace kassio {
namespace {

using test::TillTest;

// --- Line arithmetic at the threshold ----------------------------------------

TEST(LineArithmetic, TaxOneAroundTheThreshold) {
    TaxRules rules;
    rules.tax1InUse = true;
    rules.tax1Rate = 2000;
    rules.threshold = true;
    rules.thresholdAmount = 100;
    struct Case {
        double sofar, price;
        bool applyThreshold;
        double tax1;
    };
    const Case cases[] = {
        {90, 10, true, 0},         // reaches 100, not over it
        {90, 10.01, true, 20.00},  // crosses: tax on everything so far
        {100, 5, true, 1.00},      // not below it before: its own price only
        {0, 50, false, 10.00},     // the price panels do not apply the rule
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(lineTax1(rules, c.price, 2, false, c.sofar, c.applyThreshold), c.tax1)
            << c.sofar << " + " << c.price;
}

// --- Entry: item numbers, SKU 1, quantities ----------------------------------

TEST_F(TillTest, EntryNamesAnItemBySkuOrNumberWithAQuantity) {
    InventoryRecord& scanned = item(4, "SCANNED", 1, 0, 50);
    setFieldText(scanned.sku1, "5012345678900");
    amend(scanned);
    InventoryRecord& coded = item(5, "CODED", 1, 0, 50);
    setFieldText(coded.sku1, "ABC123");
    amend(coded);
    struct Case {
        int mode;  // the entry mode: 0 item numbers, 2 SKU 1
        const char* entry;
        int64_t item;  // 0: refused
        int lines;
        const char* said;
    };
    const Case cases[] = {
        {0, "12\r\n", 12, 1, ""},
        {0, "5012345678900\r\n", 4, 1, ""},  // a barcode typed by a scanner
        {0, "abc123\r\n", 5, 1, ""},
        {0, "3*12\r\n", 12, 3, ""},
        {0, "2*abc123\r\n", 5, 2, ""},
        {0, "abc\r\n", 0, 0, "No item or SKU abc"},
        {0, "99\r\n", 0, 0, "No item or SKU 99"},
        {0, "-4\r\n", 0, 0, "No item or SKU -4"},
        {0, "0*12\r\n", 0, 0, "Quantity 1 to 400, then * and the item"},
        {0, "401*12\r\n", 0, 0, "Quantity 1 to 400, then * and the item"},
        {2, "abc123\r\n", 5, 1, ""},
        {2, "12\r\n", 12, 1, ""},  // no SKU "12": the item number
        {2, "nope\r\n", 0, 0, "No item or SKU nope"},
    };
    for (const Case& c : cases) {
        store->config().record().settings_b[kSetBEntryModeSku] = c.mode;
        till->clearBasket();
        ui.shown.clear();
        EXPECT_EQ(till->addFromEntry(c.entry), c.item != 0) << c.entry;
        EXPECT_EQ(till->basket().line_count, c.lines) << c.entry;
        if (c.item) {
            EXPECT_EQ(till->basket().item[0], c.item) << c.entry;
        }
        EXPECT_EQ(said(), c.said) << c.entry;
        if (*c.said) {
            EXPECT_EQ(saidTitle(), "Invalid entry") << c.entry;
        }
    }
    // A quantity is refused whole when it would pass 400 lines.
    store->config().record().options[kOptPermitInsufficientStock] = 2;
    store->config().record().settings_b[kSetBEntryModeSku] = 0;
    till->clearBasket();
    ASSERT_TRUE(till->addFromEntry("398*12\r\n"));
    EXPECT_FALSE(till->addFromEntry("3*12\r\n"));
    EXPECT_EQ(said(), "Transaction limit 400 items");
    EXPECT_EQ(till->basket().line_count, 398);
}

// --- The modeless panels: one owner, every way of closing ---------------------

TEST_F(TillTest, EveryPanelClosesEveryWayAndIsLetGoOf) {
    ASSERT_TRUE(till->logOn(1, ""));
    enum class Close { kOk, kCancel };
    struct Case {
        const char* name;
        std::function<TillPanel*()> open;
        Close how;
        int sales;  // sales journalled after the close
    };
    auto cash = [this] {
        CashPanel* p = till->cashTender();
        if (p) p->typed("10000");
        return p;
    };
    auto split = [this] {
        SplitPanel* p = till->splitTender();
        if (p) p->typed("100");
        return p;
    };
    auto discount = [this] {
        DiscountPanel* p = till->addDiscount();
        if (p) p->typed("10");
        return p;
    };
    auto price = [this] {
        PricePanel* p = till->adjustPrice();
        if (p) p->typed("200");
        return p;
    };
    auto weight = [this] { return till->adjustByWeight(); };
    auto ok = [](TillPanel* p) {
        if (auto* c = dynamic_cast<CashPanel*>(p)) return c->ok();
        if (auto* s = dynamic_cast<SplitPanel*>(p)) return s->ok();
        if (auto* d = dynamic_cast<DiscountPanel*>(p)) return d->ok();
        return dynamic_cast<PricePanel*>(p)->ok();
    };
    auto cancel = [](TillPanel* p) {
        if (auto* c = dynamic_cast<CashPanel*>(p)) return c->cancel();
        if (auto* s = dynamic_cast<SplitPanel*>(p)) return s->cancel();
        if (auto* d = dynamic_cast<DiscountPanel*>(p)) return d->cancel();
        return dynamic_cast<PricePanel*>(p)->cancel();
    };
    const Case cases[] = {
        {"cash ok", cash, Close::kOk, 1},
        {"cash cancel", cash, Close::kCancel, 0},
        {"split cancel", split, Close::kCancel, 0},
        {"discount ok", discount, Close::kOk, 0},
        {"discount cancel", discount, Close::kCancel, 0},
        {"price ok", price, Close::kOk, 0},
        {"price cancel", price, Close::kCancel, 0},
        {"weight ok", weight, Close::kOk, 0},
        {"weight cancel", weight, Close::kCancel, 0},
    };
    for (const Case& c : cases) {
        till->clearBasket();
        ASSERT_TRUE(till->addItem(12)) << c.name;
        const std::size_t salesBefore = todaysSales().size();
        TillPanel* panel = c.open();
        ASSERT_NE(panel, nullptr) << c.name;
        std::weak_ptr<TillPanel> watch = till->openPanel();
        EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen) << c.name;
        if (c.how == Close::kOk)
            ASSERT_TRUE(ok(panel)) << c.name;
        else
            cancel(panel);
        EXPECT_TRUE(panel->done()) << c.name;
        EXPECT_EQ(till->tenderState(), TenderState::kNone) << c.name;
        // A second OK or Cancel on the finished panel changes nothing.
        const Basket before = till->basket();
        const std::size_t shown = ui.shown.size();
        EXPECT_FALSE(ok(panel)) << c.name;
        cancel(panel);
        EXPECT_EQ(std::memcmp(&before, &till->basket(), sizeof before), 0) << c.name;
        EXPECT_EQ(ui.shown.size(), shown) << c.name;
        EXPECT_EQ(todaysSales().size(), salesBefore + c.sales) << c.name;
        // The owner lets go of it once the call has returned.
        EXPECT_EQ(till->openPanel(), nullptr) << c.name;
        EXPECT_TRUE(watch.expired()) << c.name;
    }
}

TEST_F(TillTest, SplitPaymentHandsOverToTheCashPartAndCancelTakesThePartsOff) {
    ASSERT_TRUE(till->logOn(1, ""));
    item(2, "FIFTY", 50, 0, 9);
    ASSERT_TRUE(till->addItem(2));
    SplitPanel* split = till->splitTender();
    split->chooseCheque(true);
    split->typed("2000");
    ASSERT_TRUE(split->ok());
    EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen);  // the cash part is due
    CashPanel* cash = till->openCashPanel();
    ASSERT_NE(cash, nullptr);
    EXPECT_TRUE(cash->splitCash());
    EXPECT_DOUBLE_EQ(till->basket().payment[kPayCheque], 30);
    cash->cancel();
    EXPECT_EQ(till->tenderState(), TenderState::kNone);
    EXPECT_DOUBLE_EQ(till->basket().payment[kPayCheque], 0);
    EXPECT_DOUBLE_EQ(till->basket().payment[kPayCash], 0);

    // A cash tender afterwards is a plain cash sale.
    ASSERT_TRUE(till->cashTender()->exact());
    const SaleRecord s = todaysSales().back();
    EXPECT_STREQ(s.payment, "Cash");
    EXPECT_DOUBLE_EQ(s.cash, 50);
    EXPECT_DOUBLE_EQ(s.cheque, 0);
}

// --- The basket table: parking before a command that clears -----------------

TEST_F(TillTest, ParkingTakesTheLowestFreeSlotOtherThanTheCurrent) {
    EXPECT_FALSE(till->parkBasket());  // nothing to park
    for (int expected = 2; expected <= kBasketTableSize; ++expected) {
        ASSERT_TRUE(till->addItem(12));
        EXPECT_EQ(till->parkBasket(), expected);
        EXPECT_EQ(till->basket().line_count, 0);
        store->config().record().options[kOptPermitInsufficientStock] = 2;
    }
    ASSERT_TRUE(till->addItem(12));
    EXPECT_FALSE(till->parkBasket());  // every other slot holds a basket
    EXPECT_EQ(till->basket().line_count, 1);
    till->changeBasketTo(5);
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_EQ(till->table().freeSlot(), std::nullopt);  // slot 1 now holds the till's basket
}

// --- Clerks -------------------------------------------------------------------

class ScriptedSetupForm final : public OperatorSetupForm {
  public:
    std::optional<int> clerkNumber() override { return number; }
    // OK with each entry in turn while the panel stays open; Cancel after.
    bool editClerk(int, const OperatorSetup&, const StoreEntry& store) override {
        while (!entries.empty()) {
            const OperatorSetup entry = entries.front();
            entries.erase(entries.begin());
            if (store(entry)) return true;
        }
        return false;
    }
    std::optional<int> number;
    std::vector<OperatorSetup> entries;
};

TEST_F(TillTest, OperatorSetupAsksAgainUntilTheEntryIsStored) {
    struct Case {
        int access;
        std::optional<int> clerk;
        std::vector<OperatorSetup> entries;
        std::vector<std::string> said;
        const char* password;  // clerk 7's password afterwards
    };
    const Case cases[] = {
        {2, 7, {{"SAM", true, "1", "1"}}, {"Administrator or manager"}, ""},
        {0, std::nullopt, {}, {}, ""},
        {0, 100, {}, {"Outside range"}, ""},
        {0, 7, {}, {}, ""},  // Cancel on the clerk panel
        {0,
         7,
         {{"SAM", true, "12", "21"}, {"SAM", true, "12", "12"}},
         {"Passwords do not match", "Amended"},
         "12"},
    };
    for (const Case& c : cases) {
        ui.shown.clear();
        ScriptedSetupForm form;
        form.number = c.clerk;
        form.entries = c.entries;
        runOperatorSetup(*store, c.access, ui, form);
        std::vector<std::string> said;
        for (const auto& s : ui.shown) said.push_back(s.text);
        EXPECT_EQ(said, c.said);
        EXPECT_STREQ(store->config().record().clerk_passwords[7], c.password);
    }
    // The log-on panel and the log on agree on who may log on.
    store->config().record().settings_a[kSetAClerkAvailable + 7 - 1] = 2;
    LogOnPanel panel(store->config());
    EXPECT_FALSE(panel.available(7));
    EXPECT_FALSE(panel.available(0));
    EXPECT_FALSE(panel.available(100));
    Status wrong = till->logOn(1, "9");
    EXPECT_EQ(wrong.message(), "Wrong password for clerk 1");
    EXPECT_EQ(till->clerks().clerk(), 0);
    EXPECT_TRUE(till->logOn(1, ""));
}

// --- Settings the menus change, and the discount percent list -----------------

TEST_F(TillTest, MenuSwitchesReachTheFileAndThePercentListMatchesItsEntries) {
    auto onDisk = [this] {
        StoreConfigRecord disk;
        std::memcpy(&disk, readWholeFile(store->pathOf("kq.cfg"))->data(), sizeof disk);
        return disk;
    };
    ASSERT_TRUE(toggleSoundEffects(*store));
    EXPECT_EQ(onDisk().settings_b[kSetBSoundEffectsOff], 2);
    ASSERT_TRUE(toggleButtonTips(*store));
    ASSERT_TRUE(toggleButtonTips(*store));
    EXPECT_EQ(onDisk().settings_b[kSetBButtonTipsOff], 0);
    ASSERT_TRUE(storeTipOfTheDay(*store, 4, false));
    EXPECT_EQ(onDisk().counters[kCounterTipNumber], 4);
    EXPECT_EQ(onDisk().counters[kCounterTipsOff], 2);

    const std::vector<std::string> list = discountPercentList();
    ASSERT_EQ(list.size(), 161u);
    EXPECT_EQ(list.front(), "0.00");
    EXPECT_EQ(list[20], "10.00");
    EXPECT_EQ(list.back(), "80.00");
    item(1, "HUNDRED", 100, 0, 9);
    store->config().record().settings_b[kSetBDiscountButtonRate] = 5;
    ASSERT_TRUE(till->addItem(1));
    DiscountPanel* d = till->addDiscount();
    EXPECT_EQ(list[static_cast<std::size_t>(d->initialPercentEntry())], "5.00");
    d->choosePercent(20);
    EXPECT_EQ(d->typedText(), "1000");  // 10.00 % of 100.00, in cents
}

}  // namespace
}  // namespace kassio
