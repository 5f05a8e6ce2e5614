#include "customers/customer_maintenance.h"

#include <gtest/gtest.h>

#include "base/fixed_text.h"
#include "customers/customer_fields.h"
#include "customers/scripted_customer_forms.h"
#include "inventory/backoffice_fixture.h"

namespace kassio::test {
namespace {

class CustomerTest : public BackOfficeTest {
  protected:
    void SetUp() override {
        BackOfficeTest::SetUp();
        customers = std::make_unique<CustomerMaintenance>(*store, ui, forms, sound, shell);
    }

    CustomerFormReply reply(FormButton button, const std::string& number, const std::string& name,
                            const std::string& group = "1") {
        CustomerFormReply r;
        r.button = button;
        r.fields.number = number;
        r.fields.name = name;
        r.fields.group = group;
        return r;
    }

    ScriptedCustomerForms forms;
    RecordingShell shell;
    std::unique_ptr<CustomerMaintenance> customers;
};

TEST_F(CustomerTest, AddValidatesGroupAndNameAndKeepsTheFirstBalance) {
    struct Case {
        const char* number;
        const char* name;
        const char* group;
        const char* message;
    };
    const Case cases[] = {
        {"10", "ANN", "1", nullptr},
        {"11", "BOB", "2000", nullptr},
        {"12", "CID", "0", "Invalid category (1-2000)"},
        {"13", "DON", "2001", "Invalid category (1-2000)"},
        {"14", "E", "1", "The name must have at least two characters."},
        {"100000000000000001", "FAY", "1", "Number outside range."},
        {"10", "GUS", "1", "Number in use."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        script.shown.clear();
        forms.requests.clear();
        forms.replies = {reply(FormButton::kOk, c.number, c.name, c.group)};
        customers->add();
        if (!c.message) {
            EXPECT_EQ(said(), "Saved.");
            EXPECT_EQ(saidTitle(), "Customer");
            continue;
        }
        EXPECT_EQ(said(), c.message);
        EXPECT_EQ(saidTitle(), "Problem");
    }
    EXPECT_EQ(store->config().record().options[kOptCustomersAdded], 2);

    // After a refusal the form is in its amend presentation; the balance
    // typed first is the one kept.
    CustomerFormReply first = reply(FormButton::kOk, "20", "H");
    first.fields.balance = "12.50";
    CustomerFormReply second = reply(FormButton::kOk, "20", "HAL");
    second.fields.balance = "999";
    forms.requests.clear();
    forms.replies = {first, second};
    customers->add();
    EXPECT_EQ(forms.requests[0].presentation, CustomerFormPresentation::kNew);
    EXPECT_EQ(forms.requests[1].presentation, CustomerFormPresentation::kAmend);
    auto c = readCustomer(*store, 20);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->balance, 12.5);
    EXPECT_EQ(fieldText(c->last_used), "NEW");
}

TEST_F(CustomerTest, AmendLogsBeforeAndAfterByteForByteAndKeepsTheBalance) {
    CustomerRecord c = customer(7, "J SMITH");
    setFieldText(c.road, "1 HIGH ST");
    setFieldText(c.area, "WEST");
    setFieldText(c.town, "LEEDS");
    setFieldText(c.postcode, "LS1");
    setFieldText(c.telephone, "0113");
    setFieldText(c.comment, "GOOD");
    c.group = 3;
    {
        auto lock = store->lock();
        ASSERT_TRUE(store->customers().write(*store->customers().find(7), &c));
    }
    CustomerFormReply r;
    r.button = FormButton::kOk;
    r.fields = customerFields(c);
    r.fields.name = "J SMYTHE";
    r.fields.town = "YORK";
    r.fields.card1 = "4111";
    r.fields.balance = "0";  // hidden in the amend presentation: never read
    forms.replies = {r};
    // A sale put on account at a client station while the form is open.
    forms.onForm = [&] {
        auto lock = store->lock();
        CustomerRecord sold = c;
        sold.balance = 40;
        ASSERT_TRUE(store->customers().write(*store->customers().find(7), &sold));
    };
    forms.entries = {"7"};
    const std::string before = todaysLog();
    customers->amend();
    EXPECT_EQ(forms.captions[0], "Amend customer");
    EXPECT_EQ(forms.requests[0].presentation, CustomerFormPresentation::kAmend);
    auto after = readCustomer(*store, 7);
    EXPECT_EQ(fieldText(after->name), "J SMYTHE");
    EXPECT_EQ(after->balance, 40);
    EXPECT_EQ(todaysLog().substr(before.size()),
              "\r\n14:30 06/12/2026  Customer 7 amended:"
              "\r\nBefore: J SMITH\r\n1 HIGH ST, WEST\r\nLEEDS, LS1\r\nTel: 0113, Category: 3"
              "\r\nComment: GOOD"
              "\r\n\r\nAfter: J SMYTHE\r\n1 HIGH ST, WEST\r\nYORK, LS1\r\nTel: 0113, Category: 3"
              "\r\nComment: GOOD\r\nCredit card: 4111\r\n");

    forms.onForm = nullptr;
    r.fields.group = "0";
    forms.replies = {r};
    forms.entries = {"7"};
    customers->amend();
    EXPECT_EQ(said(), "Invalid category (1-2000)");
}

TEST_F(CustomerTest, AmendBalanceWithEmptyTextSetsZero) {
    customer(7, "J SMITH", 1, 25.5);
    forms.entries = {"7"};
    forms.amount = "";
    const std::string before = todaysLog();
    customers->amendBalance();
    EXPECT_EQ(forms.captions.back(), "7 J SMITH, owed:");
    EXPECT_EQ(forms.amountInitial, "25.50");
    EXPECT_EQ(readCustomer(*store, 7)->balance, 0);
    EXPECT_EQ(todaysLog().substr(before.size()),
              "\r\n14:30 06/12/2026  Credit amendment\r\nCustomer: 7 J SMITH\r\n"
              "Before: 25.50, After: 0.00\r\n");
    EXPECT_EQ(said(), "Updated");
}

TEST_F(CustomerTest, DeleteLogsTheLineAndFreesTheSlot) {
    customer(7, "J SMITH");
    forms.entries = {"7"};
    script.answers = {Ui::Answer::kOk};
    const std::string before = todaysLog();
    customers->remove();
    EXPECT_EQ(script.shown[0].title, "7 Name: J SMITH");
    EXPECT_FALSE(readCustomer(*store, 7));
    EXPECT_EQ(todaysLog().substr(before.size()),
              "\r\n14:30 6/12/2026 Customer 7, J SMITH deleted.\r\n");
    EXPECT_EQ(store->customers().index().deletedCount(), 1u);
}

TEST_F(CustomerTest, PruneOffersOldAndNewTaxExemptCustomers) {
    // Cut-off: June 2026 (December less six months).
    customer(1, "NEW OWING", 0, 50);                         // NEW: offered whatever it owes
    customer(2, "OLD CLEAR", 0, 0, "10:0001/06/2026");       // at the cut-off: offered
    customer(3, "RECENT", 0, 0, "10:0001/07/2026");          // after the cut-off
    customer(4, "OLD IN CREDIT", 0, -5, "10:0001/01/2025");  // owes nothing but not 0
    customer(5, "TAXABLE", 1, 0, "10:0001/01/2020");         // only tax-exempt ones
    customer(6, "OLD OWING", 0, 9, "10:0001/01/2025");
    script.replies = {"1"};
    script.answers = {Ui::Answer::kYes /* omit debtors */, Ui::Answer::kNo, Ui::Answer::kYes};
    customers->prune();
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"Omit those that owe money?", "Last used:  Balance: 50.00",
                                        "Last used: 01/06/2026 Balance: 0.00"}));
    EXPECT_EQ(script.shown[2].title, "2 Name: OLD CLEAR");
    EXPECT_TRUE(readCustomer(*store, 1));
    EXPECT_FALSE(readCustomer(*store, 2));

    // Debtors not omitted: the old ones owing or in credit are offered too;
    // a start number of 4 begins the walk there.
    script.shown.clear();
    script.replies = {"4"};
    script.answers = {Ui::Answer::kNo, Ui::Answer::kNo, Ui::Answer::kCancel};
    customers->prune();
    EXPECT_EQ(script.shown[1].title, "4 Name: OLD IN CREDIT");
    EXPECT_EQ(script.shown[2].title, "6 Name: OLD OWING");
    EXPECT_EQ(script.shown.size(), 3u);
}

TEST_F(CustomerTest, NameSearchesListModeTelephoneAndMap) {
    customer(3, "BROWN");
    customer(1, "BLACK");
    CustomerRecord town = customer(2, "GREEN");
    setFieldText(town.town, "LEEDS");
    setFieldText(town.telephone2, "0113 555");
    {
        auto lock = store->lock();
        ASSERT_TRUE(store->customers().write(*store->customers().find(2), &town));
    }
    // Initials: FIND CUSTOMER with Next, in file order.
    forms.findButtons = {FormButton::kNext, FormButton::kOk};
    auto hit = lookUpCustomer(*store, ui, forms, "b");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->number, 1);
    ASSERT_EQ(forms.findShown.size(), 2u);
    EXPECT_EQ(forms.findShown[0].name, "BROWN");

    // List mode: "?" lists everyone in number order.
    store->config().record().options[kOptCustomerSearchAsList] = 1;
    script.picks = {2};
    hit = lookUpCustomer(*store, ui, forms, "?");
    EXPECT_EQ(script.lists[0].second,
              (std::vector<std::string>{"1 BLACK,  ", "2 GREEN,  ", "3 BROWN,  "}));
    EXPECT_EQ(hit->number, 3);

    // Telephone 2 matches; the box shows it.
    script.replies = {"555"};
    script.answers = {Ui::Answer::kYes};
    forms.pressMap = true;
    customers->findTelephone();
    EXPECT_EQ(script.shown[0].text, "2, GREEN: 0113 555");
    EXPECT_EQ(script.shown[0].title, "Search: Yes to halt, No to continue");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "https://www.bing.com/maps?where1=%2CLEEDS");
    EXPECT_EQ(mapQuery(town), ",LEEDS");
    EXPECT_EQ(ui.heldDuringBox, 0);
}

}  // namespace
}  // namespace kassio::test
