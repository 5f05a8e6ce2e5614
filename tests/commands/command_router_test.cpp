// The command table: the tender guard, the clerk restrictions, the
// commands that clear an untendered basket, the entry box and the key map.
#include <gtest/gtest.h>

#include "commands/command_router.h"
#include "till/tender.h"
#include "till/till_fixture.h"

namespace kassio {
namespace {

using test::TillTest;

TEST_F(TillTest, RouterGuardsRestrictsAndClears) {
    CommandRouter router(*till);
    ASSERT_TRUE(till->logOn(5, ""));  // an ordinary clerk
    ASSERT_TRUE(till->addItem(12));
    EXPECT_EQ(router.route(command::kCashTender), CommandRouter::Outcome::kRan);
    ASSERT_EQ(till->tenderState(), 2);
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
    EXPECT_EQ(till->basket().line_count, 0);  // a maintenance command cleared the basket

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

}  // namespace
}  // namespace kassio
