#include "inventory/inventory_maintenance.h"

#include <gtest/gtest.h>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "inventory/backoffice_fixture.h"
#include "inventory/scripted_item_forms.h"

namespace kassio::test {
namespace {

class InventoryTest : public BackOfficeTest {
  protected:
    void SetUp() override {
        BackOfficeTest::SetUp();
        inventory = std::make_unique<InventoryMaintenance>(*store, ui, forms, sound,
                                                           [this] { return clerk; });
    }

    ItemFormReply reply(FormButton button, const std::string& number,
                        const std::string& description) {
        ItemFormReply r;
        r.button = button;
        r.fields = blankItemFields(store->config(), clock.now());
        r.fields.number = number;
        r.fields.description = description;
        r.fields.retail = "2.00";
        r.fields.cost = "1.00";
        r.fields.quantity = "5";
        return r;
    }

    // Every description the FIND INVENTORY form showed for a query, pressing
    // Next until the scan ends.
    std::vector<std::string> initialsMatches(const std::string& query) {
        forms.findShown.clear();
        forms.findButtons.assign(20, FormButton::kNext);
        inventory->descriptionSearch(query);
        std::vector<std::string> out;
        for (const auto& v : forms.findShown) out.push_back(v.description);
        return out;
    }

    ScriptedItemForms forms;
    int64_t clerk = 1;
    std::unique_ptr<InventoryMaintenance> inventory;
};

TEST_F(InventoryTest, NewLineChecksInOrderAndReopensAsAmend) {
    struct Case {
        std::string number, description, category, retail, quantity, cost;
        const char* message;  // nullptr: saved
    };
    const Case cases[] = {
        {"100000000000000000", "TOP", "0", "2.00", "5", "1.00", nullptr},
        {"100000000000000001", "X", "0", "0", "-1", "0", "Number outside range."},
        {"0", "TEA", "0", "2.00", "5", "1.00", "Number outside range."},
        {"20", "T", "0", "0", "5", "1.00", "The description must have at least two characters."},
        {"21", "TEA", "19", "0", "5", "1.00", "Invalid category"},
        {"22", "TEA", "18", "0", "-1", "0", "Invalid retail price"},
        {"23", "TEA", "3", "2.00", "-1", "0", "Invalid quantity in stock"},
        {"24", "TEA", "3", "2.00", "0", "0", "Invalid cost price"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number + " " + c.description);
        forms.itemRequests.clear();
        script.shown.clear();
        sound.played.clear();
        ItemFormReply r = reply(FormButton::kOk, c.number, c.description);
        r.fields.displayCategory = std::stoi(c.category);
        r.fields.retail = c.retail;
        r.fields.quantity = c.quantity;
        r.fields.cost = c.cost;
        forms.itemReplies = {r};  // then Cancel
        inventory->newLine();
        if (!c.message) {
            EXPECT_TRUE(script.shown.empty());
            EXPECT_TRUE(readItem(*store, numberFromText(c.number)));
            EXPECT_EQ(sound.played, std::vector<SoundId>{SoundId::kAdded});
            continue;
        }
        EXPECT_EQ(said(), c.message);
        EXPECT_EQ(saidTitle(), "Problem");
        EXPECT_EQ(sound.played, std::vector<SoundId>{SoundId::kRefused});
        ASSERT_EQ(forms.itemRequests.size(), 2u);
        EXPECT_EQ(forms.itemRequests[1].presentation, ItemFormPresentation::kAmend);
        EXPECT_EQ(forms.itemRequests[1].fields.description, c.description);
    }
}

TEST_F(InventoryTest, OfferedNumbersNextCopyAndSlotReuse) {
    item(1, "ONE");
    item(2, "TWO");
    item(3, "THREE");
    store->config().record().options[kOptItemNumberBase] = 0;  // "next available" 1
    const uint64_t size = fileSize("inventory.dat");

    forms.itemReplies = {reply(FormButton::kNext, "4", "FOUR"),
                         reply(FormButton::kCopy, "5", "FIVE")};
    ItemFormReply last = reply(FormButton::kOk, "6", "SIX");
    forms.itemReplies.push_back(last);
    inventory->newLine();
    ASSERT_EQ(forms.itemRequests.size(), 3u);
    EXPECT_EQ(forms.itemRequests[0].fields.number, "4");
    EXPECT_EQ(forms.itemRequests[1].presentation, ItemFormPresentation::kBlank);
    EXPECT_EQ(forms.itemRequests[1].fields.number, "5");
    EXPECT_EQ(forms.itemRequests[1].fields.description, "");
    EXPECT_EQ(forms.itemRequests[2].presentation, ItemFormPresentation::kCopy);
    EXPECT_EQ(forms.itemRequests[2].fields.number, "6");
    EXPECT_EQ(forms.itemRequests[2].fields.description, "FIVE");
    EXPECT_EQ(fieldText(readItem(*store, 6)->description), "SIX");

    // Deleting 2 frees its number and its slot: the next item takes both,
    // and the file does not grow.
    const uint64_t grown = fileSize("inventory.dat");
    EXPECT_EQ(grown, size + 3 * kInventoryRecordSize);
    script.replies = {"2"};
    script.answers = {Ui::Answer::kOk};
    inventory->remove();
    forms.itemRequests.clear();
    forms.itemReplies = {reply(FormButton::kOk, "2", "NEW TWO")};
    inventory->newLine();
    EXPECT_EQ(forms.itemRequests[0].fields.number, "2");
    EXPECT_EQ(fileSize("inventory.dat"), grown);

    // A number in use ends New line.
    script.shown.clear();
    forms.itemReplies = {reply(FormButton::kNext, "3", "AGAIN")};
    forms.itemRequests.clear();
    inventory->newLine();
    EXPECT_EQ(said(), "Number in use.");
    EXPECT_EQ(forms.itemRequests.size(), 1u);

    // With offering off, the number is empty and focused.
    store->config().record().options[kOptNoNewInventoryBox] = 1;
    forms.itemRequests.clear();
    inventory->newLine();
    EXPECT_EQ(forms.itemRequests[0].fields.number, "");
    EXPECT_TRUE(forms.itemRequests[0].focusNumber);
}

TEST_F(InventoryTest, AmendValidatesOnlyTheDescriptionAndKeepsOtherChanges) {
    item(7, "TEA BAGS");
    ItemFormReply r = reply(FormButton::kOk, "7", "TEA BAGS 80");
    r.fields.quantity = "-4";
    r.fields.retail = "0";
    r.fields.cost = "0";
    forms.itemReplies = {r};
    // A sale at a client station while the form is open.
    forms.onItemForm = [&] {
        InventoryRecord sold = *readItem(*store, 7);
        sold.total_sold = 3;
        ASSERT_TRUE(amendItem(*store, 7, sold));
    };
    script.replies = {"7"};
    inventory->amend();
    EXPECT_EQ(forms.itemRequests[0].presentation, ItemFormPresentation::kAmend);
    auto amended = readItem(*store, 7);
    EXPECT_EQ(amended->quantity, -4);
    EXPECT_EQ(amended->retail_price, 0);
    EXPECT_EQ(amended->total_sold, 3);  // not lost to the form's old copy
    EXPECT_EQ(store->items().index().prefix(*store->items().find(7))[1], 'E');
    EXPECT_TRUE(script.shown.empty());

    forms.onItemForm = nullptr;
    for (auto [number, description, message] :
         {std::tuple{"7", "T", "The title must have at least two characters."},
          std::tuple{"8", "TEA", "Number cannot be changed"}}) {
        forms.itemReplies = {reply(FormButton::kOk, number, description)};
        script.replies = {"7"};
        inventory->amend();
        EXPECT_EQ(said(), message);
    }
    EXPECT_EQ(fieldText(readItem(*store, 7)->description), "TEA BAGS 80");
}

TEST_F(InventoryTest, DeleteAsksThenLogsOneLineAndClearsThePrefix) {
    item(7, "TEA BAGS");
    script.replies = {"7"};
    script.answers = {Ui::Answer::kCancel};
    inventory->remove();
    EXPECT_EQ(script.shown.back().title, "7 Item: TEA BAGS");
    EXPECT_TRUE(readItem(*store, 7));

    const std::string before = todaysLog();
    script.replies = {"7"};
    script.answers = {Ui::Answer::kOk};
    inventory->remove();
    EXPECT_FALSE(readItem(*store, 7));
    EXPECT_EQ(todaysLog().substr(before.size()),
              "\r\nItem 7, TEA BAGS deleted.  Date: 14:30 06/12/2026\r\n");
    auto bytes = readWholeFile(root / "inventory.dat");
    const std::size_t slot = 0;  // it took the deleted slot
    EXPECT_EQ((*bytes)[slot * kInventoryRecordSize + 8], 0);
    EXPECT_EQ((*bytes)[slot * kInventoryRecordSize + 10], 'A');  // the rest stays
    EXPECT_EQ(store->items().index().deletedCount(), 1u);
}

TEST_F(InventoryTest, DescriptionSearchByInitials) {
    item(1, "ABC");
    item(2, "AXC");
    item(3, "ABD");
    item(4, "BAC");
    item(5, "-5 OFF");
    item(6, "0 CALORIE");
    using V = std::vector<std::string>;
    EXPECT_EQ(initialsMatches("a"), (V{"ABC", "AXC", "ABD"}));
    EXPECT_EQ(initialsMatches("A?C"), (V{"ABC", "AXC"}));
    EXPECT_EQ(initialsMatches("?"), (V{"ABC", "AXC", "ABD", "BAC", "-5 OFF", "0 CALORIE"}));
    EXPECT_EQ(initialsMatches("ABCD"), V{});
    EXPECT_EQ(said(), "No match found");
    EXPECT_EQ(saidTitle(), "Finished");
    EXPECT_EQ(initialsMatches(""), V{});

    // "0" and "-5" at the Find prompt are descriptions, not numbers.
    for (auto [typed, expected] : {std::pair{"-5", "-5 OFF"}, std::pair{"0", "0 CALORIE"}}) {
        forms.findShown.clear();
        forms.findButtons = {FormButton::kOk};
        script.replies = {typed};
        inventory->find();
        ASSERT_EQ(forms.findShown.size(), 1u) << typed;
        EXPECT_EQ(forms.findShown[0].description, expected);
    }
    // A number is looked up and shown in the view form.
    script.replies = {"4"};
    inventory->find();
    ASSERT_EQ(forms.viewsShown.size(), 1u);
    EXPECT_EQ(forms.viewsShown[0].number, "4");

    // OK takes the shown match; clerk 0 sees no cost.
    clerk = 0;
    forms.findButtons = {FormButton::kNext, FormButton::kOk};
    forms.findShown.clear();
    auto hit = inventory->descriptionSearch("A?C");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item.number, 2);
    EXPECT_EQ(forms.findShown[0].cost, "");
}

TEST_F(InventoryTest, ListModeListsMatchesAndLooksThePickUp) {
    item(1, "ABC", 4);
    item(2, "BAC");
    item(3, "AXC", 7);
    store->config().record().options[kOptInventorySearchAsList] = 1;
    script.picks = {1};
    auto hit = inventory->descriptionSearch("A?C");
    ASSERT_EQ(script.lists.size(), 1u);
    EXPECT_EQ(script.lists[0].first, "Please select");
    EXPECT_EQ(script.lists[0].second,
              (std::vector<std::string>{"1, ABC (4) 2.50", "3, AXC (7) 2.50"}));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item.number, 3);
}

TEST_F(InventoryTest, FragmentSearchOffersMatchesWithTheLockReleased) {
    item(1, "GREEN TEA", 10, "SKU-A1");
    item(2, "COFFEE", 10, "SKU-B2");
    item(3, "BLACK TEA", 10, "X-A1");

    script.answers = {Ui::Answer::kNo, Ui::Answer::kCancel};
    EXPECT_FALSE(inventory->fragmentSearch(FragmentField::kDescription, "tea"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"1, GREEN TEA", "3, BLACK TEA"}));
    EXPECT_EQ(script.shown[0].title, "Search: No to continue");

    script.shown.clear();
    script.answers = {Ui::Answer::kNo, Ui::Answer::kYes};
    auto hit = inventory->fragmentSearch(FragmentField::kDescription, "TEA");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item.number, 3);

    script.shown.clear();
    script.answers = {Ui::Answer::kNo, Ui::Answer::kNo};
    EXPECT_FALSE(inventory->fragmentSearch(FragmentField::kSku1, "A1"));
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"1, GREEN TEA", "3, BLACK TEA", "No match found"}));
    EXPECT_EQ(ui.heldDuringBox, 0);

    // Yes on a match deleted while the box waited: the scan goes on.
    script.shown.clear();
    script.answers = {Ui::Answer::kYes, Ui::Answer::kYes};
    ui.onMessage = [&](const std::string& text) {
        if (text == "1, GREEN TEA") {
            ASSERT_TRUE(deleteItem(*store, 1));
        }
    };
    hit = inventory->fragmentSearch(FragmentField::kDescription, "TEA");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item.number, 3);
}

TEST_F(InventoryTest, AdvancedSearchAnyAndAll) {
    InventoryRecord a = item(1, "RED SHIRT", 10, "COTTON");
    setFieldText(a.sku3, "LARGE");
    ASSERT_TRUE(amendItem(*store, 1, a));
    item(2, "RED HAT", 10, "WOOL");
    item(3, "BLUE SHIRT", 10, "COTTON");
    struct Case {
        AdvancedQuery q;
        std::vector<std::string> offered;
    };
    const Case cases[] = {
        {{"red", {"", "", "", ""}, false}, {"1, RED SHIRT", "2, RED HAT"}},
        {{"", {"wool", "", "", ""}, false}, {"2, RED HAT"}},
        {{"hat", {"cotton", "", "", ""}, false}, {"1, RED SHIRT", "2, RED HAT", "3, BLUE SHIRT"}},
        {{"", {"", "", "", ""}, false}, {}},
        {{"SHIRT", {"COTTON", "LARGE", "", ""}, true}, {"1, RED SHIRT"}},
        {{"", {"", "", "", ""}, true}, {"1, RED SHIRT", "2, RED HAT", "3, BLUE SHIRT"}},
    };
    for (const Case& c : cases) {
        script.shown.clear();
        inventory->advancedSearch(c.q);
        std::vector<std::string> offered = texts();
        ASSERT_EQ(offered.back(), "No match found");
        offered.pop_back();
        EXPECT_EQ(offered, c.offered) << c.q.description;
    }
}

TEST_F(InventoryTest, ViewNextFollowsNumbersAndCustomImageIsCopied) {
    item(5, "FIVE");
    item(9, "NINE");
    InventoryRecord nine = *readItem(*store, 9);
    nine.no_tax_rounding = 2;
    ASSERT_TRUE(amendItem(*store, 9, nine));
    forms.viewNexts = 3;
    inventory->showItem(*readItem(*store, 5));
    ASSERT_EQ(forms.viewsShown.size(), 2u);  // 5, 9, then the form closes
    EXPECT_EQ(forms.viewsShown[1].number, "9");
    auto row = [](const ItemView& v, const std::string& label) {
        for (const auto& [l, value] : v.rows)
            if (l == label) return value;
        return std::string("(no row)");
    };
    EXPECT_EQ(row(forms.viewsShown[0], "No tax rounding"), "No");
    EXPECT_EQ(row(forms.viewsShown[1], "No tax rounding"), "Yes");

    ASSERT_TRUE(replaceFileAtomically(root / "pic.bmp", "BMxx", 4));
    forms.bitmap = root / "pic.bmp";
    script.replies = {"9"};
    inventory->addCustomImage();
    EXPECT_EQ(said(), "Updated.");
    EXPECT_EQ(readItem(*store, 9)->own_picture, 1);
    EXPECT_EQ(readWholeFile(root / "m9.bmp")->size(), 4u);
}

}  // namespace
}  // namespace kassio::test
