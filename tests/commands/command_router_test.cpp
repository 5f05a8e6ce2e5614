// The command table: the tender guard, the clerk restrictions, the
// commands that clear an untendered basket, the entry box and the key map.
#include <gtest/gtest.h>

#include "commands/command_router.h"
#include "commands/inventory_commands.h"
#include "inventory/scripted_item_forms.h"
#include "till/current_basket.h"
#include "till/tender.h"
#include "till/till_fixture.h"

namespace kassio {
namespace {

using test::ScriptedItemForms;
using test::TillTest;

TEST_F(TillTest, RouterGuardsRestrictsAndClears) {
    CommandRouter router(*till);
    ASSERT_TRUE(till->logOn(5, ""));  // an ordinary clerk
    ASSERT_TRUE(till->addItem(12));
    EXPECT_EQ(router.route(command::kCashTender), CommandRouter::Outcome::kRan);
    ASSERT_EQ(till->tenderState(), TenderState::kPanelOpen);
    for (int c : {command::kVoidLine, command::kCardTender, command::kClearBasket, 1062})
        EXPECT_EQ(router.route(c), CommandRouter::Outcome::kFocusPanel) << c;
    EXPECT_EQ(till->basket().line_count, 1);
    till->openCashPanel()->cancel();

    // Restricted for clerk 5: delete item needs its permission, the refund
    // button is ignored once prohibited.
    EXPECT_EQ(router.route(command::kDeleteInventory), CommandRouter::Outcome::kIgnored);
    store->config().record().settings_b[kSetBForbidRefund] = 2;
    EXPECT_EQ(router.route(command::kRefund), CommandRouter::Outcome::kIgnored);
    router.set(command::kDeleteInventory, [] {});
    store->config().record().options[kOptPermitDeleteItem] = 1;
    EXPECT_EQ(router.route(command::kDeleteInventory), CommandRouter::Outcome::kRan);
    EXPECT_EQ(till->basket().line_count, 0);  // a maintenance command put the basket aside
    EXPECT_EQ(said(), "Basket kept in table slot 2");
    EXPECT_EQ(till->table().slot(2).line_count, 1);

    ASSERT_TRUE(till->addItem(12));
    EXPECT_EQ(router.route(command::kDisplayTransaction), CommandRouter::Outcome::kNotAvailable);
    auto r = router.processEntry("12\r\n", false);
    EXPECT_TRUE(r.added && r.emptyBox);
    EXPECT_EQ(till->basket().line_count, 2);
    EXPECT_TRUE(router.processEntry("x", true).emptyBox);
    EXPECT_FALSE(router.processEntry("1", false).emptyBox);
    EXPECT_EQ(commandForKey(Key::kF5, false), command::kCashTender);
    EXPECT_EQ(commandForKey(Key::kLetter, true, 'X'), command::kSkuSearch);
    EXPECT_FALSE(commandForKey(Key::kLetter, true, 'Q'));
    EXPECT_FALSE(commandForKey(Key::kF1, false));
}

// Before anyone logs on (--no-log-on) the till is an ordinary clerk's:
// restricted commands are ignored until clerk 1 or 2 logs on.
TEST_F(TillTest, BeforeAnyLogOnRestrictedCommandsAreIgnored) {
    CommandRouter router(*till);
    router.set(command::kDeleteInventory, [] {});
    EXPECT_EQ(till->clerks().clerk(), 0);
    EXPECT_EQ(router.route(command::kDeleteInventory), CommandRouter::Outcome::kIgnored);
    ASSERT_TRUE(till->logOn(2, ""));
    EXPECT_EQ(router.route(command::kDeleteInventory), CommandRouter::Outcome::kRan);
}

// "Use SKU 1 for cart item selection" is on only when 2, everywhere: ENTER
// in an empty box runs the SKU 1 search then and the description search
// for any other value (1 once ran the SKU 1 search here while the till
// itself still read item numbers).
TEST_F(TillTest, EmptyEntrySearchFollowsTheOneSkuSwitchRule) {
    CommandRouter router(*till);
    ScriptedItemForms forms;
    InventoryMaintenance inventory(*store, ui, forms, sound, [] { return int64_t{1}; });
    registerInventoryCommands(router, *till, inventory);
    ASSERT_TRUE(till->logOn(1, ""));
    for (auto [value, sku] : {std::pair{0, false}, {1, false}, {2, true}, {-1, false}}) {
        store->config().record().settings_b[kSetBEntryModeSku] = value;
        ui.prompts.clear();
        forms.preselectedWithin.clear();
        EXPECT_TRUE(router.processEntry("\r\n", false).ranSearch);
        const bool askedSku = !ui.prompts.empty() && ui.prompts.back() == "Find in SKU 1:";
        EXPECT_EQ(askedSku, sku) << value;
        EXPECT_EQ(forms.preselectedWithin.size(), sku ? 0u : 1u) << value;
        EXPECT_EQ(totalsPanelOf(till->basket(), store->config().record(), 1).skuMode, sku) << value;
    }
}

// Before a command that clears, the basket goes into a free slot; with the
// table full the clerk is asked, and keeping it stops the command.
TEST_F(TillTest, ClearingCommandsKeepTheBasketOrAsk) {
    CommandRouter router(*till);
    ASSERT_TRUE(till->logOn(1, ""));
    store->config().record().options[kOptPermitInsufficientStock] = 2;
    int ran = 0;
    router.set(command::kSalesReport, [&ran] { ++ran; });
    for (int slot = 2; slot <= kBasketTableSize; ++slot) {
        ASSERT_TRUE(till->addItem(12));
        ASSERT_EQ(router.route(command::kSalesReport), CommandRouter::Outcome::kRan);
    }
    EXPECT_EQ(ran, 15);
    ASSERT_TRUE(till->addItem(12));
    struct Case {
        Ui::Answer answer;
        CommandRouter::Outcome outcome;
        int lines;
    };
    for (const Case& c : {Case{Ui::Answer::kCancel, CommandRouter::Outcome::kKeptBasket, 1},
                          Case{Ui::Answer::kOk, CommandRouter::Outcome::kRan, 0}}) {
        ui.answers.push_back(c.answer);
        EXPECT_EQ(router.route(command::kSalesReport), c.outcome);
        EXPECT_EQ(saidTitle(), "Clear basket");
        EXPECT_EQ(till->basket().line_count, c.lines);
    }
    EXPECT_EQ(ran, 16);
    // An empty basket clears and exits without a question.
    const std::size_t asked = ui.shown.size();
    EXPECT_TRUE(router.confirmExit());
    ASSERT_TRUE(till->addItem(12));
    ui.answers.push_back(Ui::Answer::kCancel);
    EXPECT_FALSE(router.confirmExit());
    EXPECT_EQ(said(), "The basket holds 1 lines: exit and lose them?");
    EXPECT_EQ(ui.shown.size(), asked + 1);
}

// Repeat takes the quantity typed in the entry box and empties it.
TEST_F(TillTest, RepeatTakesTheQuantityFromTheEntryBox) {
    CommandRouter router(*till);
    ASSERT_TRUE(till->addItem(12));
    struct Case {
        const char* typed;
        int lines;
    };
    for (const Case& c : {Case{"", 2}, Case{"3", 5}, Case{"0", 6}}) {
        router.setEntryText(c.typed);
        EXPECT_EQ(router.route(command::kRepeatLine), CommandRouter::Outcome::kRan);
        EXPECT_EQ(till->basket().line_count, c.lines) << c.typed;
        EXPECT_TRUE(router.takeEntryUsed());
        EXPECT_FALSE(router.takeEntryUsed());
    }
}

}  // namespace
}  // namespace kassio
