#include <gtest/gtest.h>

#include "base/fixed_text.h"
#include "inventory/backoffice_fixture.h"
#include "inventory/bundles.h"
#include "inventory/inventory_maintenance.h"
#include "inventory/scripted_item_forms.h"
#include "inventory/stock_received.h"
#include "till/till.h"

namespace kassio::test {
namespace {

class BundleTest : public BackOfficeTest {
  protected:
    void SetUp() override {
        BackOfficeTest::SetUp();
        inventory = std::make_unique<InventoryMaintenance>(*store, ui, forms, sound,
                                                           [] { return int64_t{1}; });
    }

    BundleFormReply bundleReply(const std::string& number, std::vector<BundleRow> rows) {
        BundleFormReply r;
        r.button = FormButton::kOk;
        r.fields = blankBundleFields(store->config(), clock.now());
        r.fields.number = number;
        r.fields.description = "GIFT SET";
        for (std::size_t i = 0; i < rows.size(); ++i) r.fields.rows[i] = rows[i];
        return r;
    }

    ScriptedItemForms forms;
    std::unique_ptr<InventoryMaintenance> inventory;
};

TEST_F(BundleTest, NewBundleRefusalsAndSave) {
    item(1, "MUG");
    item(2, "SPOON");
    // A slot whose text is not a number counts as no item at all.
    forms.bundleReplies = {bundleReply("50", {{"ABC", "", false, 0}})};
    newBundle(*inventory);
    EXPECT_EQ(said(), "No items selected");
    EXPECT_EQ(sound.played, std::vector<SoundId>{SoundId::kRefused});
    ASSERT_EQ(forms.bundleRequests.size(), 2u);
    EXPECT_EQ(forms.bundleRequests[1].presentation, ItemFormPresentation::kAmend);
    EXPECT_FALSE(readItem(*store, 50));

    // Nor does a number that names no item.
    forms.bundleReplies = {bundleReply("50", {{"1", "MUG", false, 0}, {"99", "", false, 0}})};
    newBundle(*inventory);
    EXPECT_EQ(said(), "No items selected");

    forms.bundleReplies = {bundleReply("50", {{"1", "MUG", false, 1}, {"2", "SPOON", true, 2}})};
    newBundle(*inventory);
    auto bundle = readItem(*store, 50);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->kind, kItemKindBundle);
    EXPECT_EQ(fieldText(bundle->format), "1");
    EXPECT_EQ(fieldText(bundle->bundle_component2), "2");
    EXPECT_EQ(bundle->bundle_quantity[0], 2);
    EXPECT_EQ(bundle->bundle_free[1], 2);
    EXPECT_EQ(bundle->bundle_quantity[1], 3);

    // Select refuses a bundle and fills a row from an item.
    script.replies = {"50", "2", "77"};
    EXPECT_FALSE(selectBundleComponent(*inventory));
    EXPECT_EQ(said(), "Bundle may not contain a bundle");
    auto row = selectBundleComponent(*inventory);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->number, "2");
    EXPECT_EQ(row->description, "SPOON");
    EXPECT_FALSE(selectBundleComponent(*inventory));  // no such item: row unchanged

    // Find shows a bundle in the bundle view, Amend opens the bundle form.
    script.replies = {"50"};
    inventory->find();
    ASSERT_EQ(forms.bundlesShown.size(), 1u);
    EXPECT_EQ(forms.bundlesShown[0].components.size(), 2u);
    EXPECT_TRUE(forms.bundlesShown[0].components[1].free);
    forms.bundleRequests.clear();
    BundleFormReply amended = bundleReply("50", {{"2", "SPOON", false, 0}});
    amended.fields.description = "GIFT";
    forms.bundleReplies = {amended};
    script.replies = {"50"};
    inventory->amend();
    EXPECT_EQ(forms.bundleRequests[0].title, "Amend bundle");
    EXPECT_EQ(forms.bundleRequests[0].fields.rows[0].description, "MUG");
    EXPECT_EQ(fieldText(readItem(*store, 50)->format), "2");
}

TEST_F(BundleTest, TheTillSellsABundleComponentByComponent) {
    item(1, "MUG");
    item(2, "SPOON");
    forms.bundleReplies = {bundleReply("50", {{"1", "MUG", false, 1}, {"2", "SPOON", true, 0}})};
    newBundle(*inventory);
    RecordingDevices devices;
    ScriptedPanels panels;
    Till till(*store, ui, panels, sound, devices);
    ASSERT_TRUE(till.addItem(50));
    const Basket& b = till.basket();
    ASSERT_EQ(b.line_count, 3);
    EXPECT_EQ(b.item[0], 1);
    EXPECT_EQ(b.item[1], 1);
    EXPECT_EQ(b.item[2], 2);
    EXPECT_GT(b.line_total[0], 0);
    EXPECT_EQ(b.line_total[2], 0);  // the free spoon
}

TEST_F(BundleTest, ReceivingRaisesStockLowersOnOrderAndJournals) {
    struct Case {
        int onOrder, received, onOrderAfter;
    };
    const Case cases[] = {{3, 5, 0}, {8, 5, 3}, {0, 5, 0}, {5, 5, 0}};
    int64_t number = 10;
    for (const Case& c : cases) {
        InventoryRecord r = item(++number, "FLOUR", 10);
        r.on_order = c.onOrder;
        ASSERT_TRUE(amendItem(*store, number, r));
        script.replies = {std::to_string(number)};
        ReceiveReply reply;
        reply.button = FormButton::kOk;
        reply.quantity = std::to_string(c.received);
        reply.sellByDay = 1;
        reply.sellByMonth = 2;
        reply.sellByYearIndex = 15;
        forms.receiveReplies = {reply};
        receiveInventory(*inventory, false);
        auto after = readItem(*store, number);
        EXPECT_EQ(after->quantity, 10 + c.received);
        EXPECT_EQ(after->on_order, c.onOrderAfter) << c.onOrder;
        EXPECT_EQ(after->sell_by_year, 15);
        EXPECT_EQ(said(), std::to_string(10 + c.received));
        EXPECT_EQ(saidTitle(), "Updated quantity");
    }
    auto received = store->journal().readReceived(2026, 12, 6);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].item, 12);
    EXPECT_EQ(received[1].quantity, 5);

    // A quantity of 0 changes nothing.
    script.replies = {"11"};
    ReceiveReply zero;
    zero.button = FormButton::kNext;
    zero.quantity = "0";
    forms.receiveReplies = {zero};
    receiveInventory(*inventory, false);
    EXPECT_EQ(said(), "Invalid quantity");
    EXPECT_EQ(readItem(*store, 11)->quantity, 15);
    EXPECT_EQ(store->journal().readReceived(2026, 12, 6).size(), 4u);
}

TEST_F(BundleTest, ReceivingBySku1KeepsASaleMadeMeanwhile) {
    item(7, "SUGAR", 10, "5012345");
    script.replies = {"0123"};
    script.answers = {Ui::Answer::kYes};
    ReceiveReply reply;
    reply.button = FormButton::kOk;
    reply.quantity = "4";
    forms.receiveReplies = {reply};
    forms.onReceive = [&] {  // a client station sells 3 while the window is open
        InventoryRecord r = *readItem(*store, 7);
        r.quantity -= 3;
        ASSERT_TRUE(amendItem(*store, 7, r));
    };
    receiveInventory(*inventory, true);
    EXPECT_EQ(script.prompts.back(), "Find in SKU 1:");
    EXPECT_EQ(readItem(*store, 7)->quantity, 11);
}

TEST_F(BundleTest, ReceivedReportListsDaysAndDeletedItemsWithoutDescription) {
    item(5, "RICE");
    item(6, "BEANS");
    ASSERT_TRUE(store->journal().appendReceived({2026, 12, 5}, {5, 4}));
    ASSERT_TRUE(store->journal().appendReceived({2026, 12, 6}, {6, 2}));
    ASSERT_TRUE(store->journal().appendReceived({2026, 12, 6}, {0, 1}));
    ASSERT_TRUE(deleteItem(*store, 5));

    forms.range = DateRange{5, 12, 2026, 6, 12, 2026};
    forms.printList = true;
    receivedReport(*inventory, 3);
    EXPECT_EQ(forms.listTitle, "Inventory received: Sat 5 Dec 26 to Sun 6 Dec 26");
    EXPECT_EQ(forms.listLines,
              (std::vector<std::string>{"Sat 5 Dec 26         5         Quantity: 4",
                                        "Sun 6 Dec 26         6 BEANS        Quantity: 2",
                                        "Sun 6 Dec 26         0         Quantity: 1"}));
    ASSERT_EQ(forms.printed.size(), 1u);
    ASSERT_EQ(forms.printed[0].pages.size(), 2u);
    EXPECT_EQ(forms.printed[0].pages[1][0], "YOUR STORE Inventory received, page: 2");

    // A range outside 2000-4000 is not used.
    forms.listLines.clear();
    forms.range = DateRange{5, 12, 1999, 6, 12, 2026};
    receivedReport(*inventory);
    EXPECT_TRUE(forms.listLines.empty());
}

}  // namespace
}  // namespace kassio::test
