// The till's modeless panels and the log-on panel on the real window, with
// keys and clicks: every way of closing each panel, then the till still
// answers; split tender to the journal; quantities, scanning, parking.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "commands/command_router.h"
#include "support/modal_windows.h"
#include "till/tender.h"
#include "till_fixture_ui.h"
#include "ui/main_window.h"
#include "ui/till_button.h"
#include "ui/till_dialogs.h"

namespace kassio {
namespace {

// Lets queued calls and deferred deletes run, as the event loop would.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class TillPanelsTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        item(20, "TWENTY", 20, 2, 50);
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
    }
    void TearDown() override {
        window.reset();
        router.reset();
        settle();
    }

    void typeInEntry(const QString& text) {
        window->entryBox()->setFocus();
        QTest::keyClicks(window->entryBox(), text);
        QTest::keyClick(window->entryBox(), Qt::Key_Return);
    }
    void click(int command) {
        TillButton* b = window->button(command);
        ASSERT_NE(b, nullptr) << command;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QPushButton* panelButton(const char* name) {
        TenderPanelWidget* p = window->openPanel();
        return p ? p->findChild<QPushButton*>(name) : nullptr;
    }

    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
};

enum class Way { kOkButton, kCancelButton, kEscape, kEnterTwice };

TEST_F(TillPanelsTest, EveryPanelClosesEveryWayAndTheTillGoesOn) {
    struct Panel {
        const char* name;
        int command;
        const char* typed;  // into the amount box; nullptr keeps what it shows
        bool sells;         // OK posts the sale
    };
    const Panel panels[] = {
        {"cash", command::kCashTender, "10000", true},
        {"discount", command::kFunctionDiscount, "100", false},
        {"price", command::kAdjustPrice, "200", false},
        {"weight", command::kAdjustByWeight, nullptr, false},
        {"split", command::kSplitTender, "1000", false},
    };
    for (const Panel& p : panels) {
        for (Way way : {Way::kOkButton, Way::kCancelButton, Way::kEscape, Way::kEnterTwice}) {
            const std::string what =
                std::string(p.name) + " way " + std::to_string(static_cast<int>(way));
            till->clearBasket();
            typeInEntry("20");
            ASSERT_EQ(till->basket().line_count, 1) << what;
            const std::size_t sales = todaysSales().size();
            window->runCommand(p.command);
            QPointer<TenderPanelWidget> panel = window->openPanel();
            ASSERT_TRUE(panel) << what;
            ASSERT_EQ(till->tenderState(), TenderState::kPanelOpen) << what;
            QPointer<QPushButton> ok = panelButton("OK");
            ASSERT_TRUE(ok) << what;
            if (p.typed) {
                panel->amountBox()->clear();
                QTest::keyClicks(panel->amountBox(), p.typed);
            }
            switch (way) {
                case Way::kOkButton:
                    QTest::mouseClick(ok, Qt::LeftButton);
                    break;
                case Way::kCancelButton:
                    QTest::mouseClick(panelButton("Cancel"), Qt::LeftButton);
                    break;
                case Way::kEscape:
                    QTest::keyClick(panel->amountBox(), Qt::Key_Escape);
                    break;
                case Way::kEnterTwice:
                    QTest::keyClick(panel->amountBox(), Qt::Key_Return);
                    if (panel) QTest::keyClick(panel->amountBox(), Qt::Key_Return);
                    break;
            }
            const bool accepted = way == Way::kOkButton || way == Way::kEnterTwice;
            // A split's OK hands over to its cash part; cancel that one too.
            if (std::string(p.name) == "split" && accepted) {
                settle();
                ASSERT_NE(window->openPanel(), nullptr) << what;
                EXPECT_NE(qobject_cast<CashPanelWidget*>(window->openPanel()), nullptr) << what;
                QTest::keyClick(window->openPanel()->amountBox(), Qt::Key_Escape);
            }
            // A late click on the closed panel's OK reaches nothing.
            if (ok) QTest::mouseClick(ok, Qt::LeftButton);
            settle();
            EXPECT_FALSE(panel) << what;
            EXPECT_EQ(window->openPanel(), nullptr) << what;
            EXPECT_EQ(till->tenderState(), TenderState::kNone) << what;
            EXPECT_EQ(todaysSales().size(), sales + (accepted && p.sells ? 1 : 0)) << what;
            // The till answers the next entry.
            till->clearBasket();
            typeInEntry("12");
            EXPECT_EQ(till->basket().line_count, 1) << what;
        }
    }
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
}

TEST_F(TillPanelsTest, CashKeepsTheFocusAndSaysLessThanTotalOnce) {
    typeInEntry("20");
    QTest::keyClick(window->entryBox(), Qt::Key_F5);
    TenderPanelWidget* panel = window->openPanel();
    ASSERT_NE(panel, nullptr);
    QTest::keyClicks(panel->amountBox(), "5");
    QTest::keyClick(panel->amountBox(), Qt::Key_Return);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(said(), "Less than total");

    // A picture button while the panel is open: typing still reaches the panel.
    click(command::kQuickSelectFirst);
    EXPECT_EQ(till->basket().line_count, 1);
    panel->amountBox()->clear();
    QTest::keyClicks(window->entryBox(), "3000");
    EXPECT_TRUE(window->entryBox()->text().isEmpty());
    EXPECT_EQ(panel->amountBox()->text(), "3000");
    QTest::keyClick(window->entryBox(), Qt::Key_Return);
    settle();
    EXPECT_EQ(window->openPanel(), nullptr);
    ASSERT_EQ(todaysSales().size(), 1u);
    EXPECT_DOUBLE_EQ(devices.lastTendered, 30);
}

TEST_F(TillPanelsTest, SplitTenderPostsToTheJournal) {
    typeInEntry("20");
    window->runCommand(command::kSplitTender);
    auto* split = qobject_cast<SplitPanelWidget*>(window->openPanel());
    ASSERT_NE(split, nullptr);
    QTest::keyClicks(split->amountBox(), "1000");
    QTest::mouseClick(panelButton("OK"), Qt::LeftButton);
    settle();
    auto* cash = qobject_cast<CashPanelWidget*>(window->openPanel());
    ASSERT_NE(cash, nullptr);
    EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen);
    for (int c : {1, 5, 0, 0}) click(command::kKeypadFirst + c);
    EXPECT_EQ(cash->amountBox()->text(), "1500");
    QTest::mouseClick(panelButton("OK"), Qt::LeftButton);
    settle();
    EXPECT_EQ(window->openPanel(), nullptr);
    auto sales = todaysSales();
    ASSERT_EQ(sales.size(), 1u);
    EXPECT_STREQ(sales[0].payment, "Split");
    EXPECT_DOUBLE_EQ(sales[0].cash, 10);
    EXPECT_DOUBLE_EQ(sales[0].eft, 14);  // 24.00 with tax, 10.00 of it in cash
    EXPECT_DOUBLE_EQ(devices.lastChange, 5);
    EXPECT_EQ(till->basket().line_count, 0);
}

TEST_F(TillPanelsTest, QuantitiesScanningAndParking) {
    InventoryRecord& scanned = item(30, "SCANNED", 1, 0, 50);
    setFieldText(scanned.sku1, "5012345678900");
    amend(scanned);
    typeInEntry("5012345678900");  // a scanner types the code and Enter
    typeInEntry("2*12");
    QTest::keyClicks(window->entryBox(), "3");
    click(command::kRepeatLine);
    EXPECT_TRUE(window->entryBox()->text().isEmpty());
    const Basket& b = till->basket();
    ASSERT_EQ(b.line_count, 6);
    EXPECT_EQ(b.item[0], 30);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(b.item[i], 12) << i;
    EXPECT_EQ(window->basketList()->count(), 6);

    typeInEntry("abc");
    EXPECT_EQ(said(), "No item or SKU abc");

    bool ran = false;
    router->set(command::kSalesReport, [&ran] { ran = true; });
    window->runCommand(command::kSalesReport);
    EXPECT_TRUE(ran);
    EXPECT_EQ(said(), "Basket kept in table slot 2");
    EXPECT_EQ(window->basketList()->count(), 0);
    till->changeBasketTo(2);
    EXPECT_EQ(till->basket().line_count, 6);
}

// Rows rebuilt by a basket swap all carry the number column, a
// non-inventory line's 0 included, in the window's list.
TEST_F(TillPanelsTest, SwappedBackBasketListsEveryRowWithItsNumber) {
    typeInEntry("20");
    NonInventoryLine loose;
    loose.description = "LOOSE";
    loose.price = 1.50;
    loose.taxable = false;
    ASSERT_TRUE(till->addNonInventory(loose));
    window->refresh();
    ASSERT_EQ(window->basketList()->count(), 2);
    EXPECT_EQ(window->basketList()->item(1)->text(), "LOOSE  1.50");
    for (int to : {2, 1}) {
        panels.basket = to;
        window->runCommand(command::kChangeBasket);
    }
    ASSERT_EQ(window->basketList()->count(), 2);
    EXPECT_TRUE(window->basketList()->item(0)->text().startsWith("20  TWENTY  "));
    EXPECT_EQ(window->basketList()->item(1)->text(), "0  LOOSE  1.50");
}

// What the discount, weight and price panels show when they open, read
// off the real panels.
TEST_F(TillPanelsTest, DiscountWeightAndPricePanelsOpenWithTheirPresets) {
    typeInEntry("20");
    ASSERT_EQ(till->basket().line_count, 1);
    auto openPanel = [this](int command) {
        click(command);
        TenderPanelWidget* panel = window->openPanel();
        EXPECT_NE(panel, nullptr) << command;
        return panel;
    };
    auto close = [](TenderPanelWidget* panel) {
        QTest::keyClick(panel->amountBox(), Qt::Key_Escape);
        settle();
    };

    // No default rate: nothing chosen, the amended total is the subtotal.
    TenderPanelWidget* panel = openPanel(command::kFunctionDiscount);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->findChild<QComboBox*>("percent")->currentIndex(), 0);
    EXPECT_EQ(panel->findChild<QLabel*>("amended")->text(), "20.00");
    close(panel);

    // A default rate of 10 %: chosen in the list, typed into the box, and
    // the amended total already less it.
    store->config().record().settings_b[kSetBDiscountButtonRate] = 10;
    panel = openPanel(command::kFunctionDiscount);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->findChild<QComboBox*>("percent")->currentText(), "10.00");
    EXPECT_EQ(panel->amountBox()->text(), "200");
    EXPECT_EQ(panel->findChild<QLabel*>("amended")->text(), "18.00");
    close(panel);
    store->config().record().settings_b[kSetBDiscountButtonRate] = 0;

    // The weight list runs 1..2000 with 100 chosen; a pick fills the box.
    panel = openPanel(command::kAdjustByWeight);
    ASSERT_NE(panel, nullptr);
    auto* weights = panel->findChild<QComboBox*>("weightList");
    ASSERT_NE(weights, nullptr);
    EXPECT_EQ(weights->count(), 2000);
    EXPECT_EQ(weights->currentText(), "100");
    emit weights->activated(249);
    EXPECT_EQ(panel->amountBox()->text(), "250");
    close(panel);

    // An empty "Amended price" is 0.00: OK prices the line at nothing.
    panel = openPanel(command::kAdjustPrice);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->amountBox()->text().isEmpty());
    QTest::keyClick(panel->amountBox(), Qt::Key_Return);
    settle();
    EXPECT_EQ(window->openPanel(), nullptr);
    EXPECT_DOUBLE_EQ(till->basket().line_total[0], 0);
}

TEST_F(TillPanelsTest, AltXExitsAndAsksFirstWithABasket) {
    typeInEntry("12");
    ui.answers.push_back(Ui::Answer::kCancel);
    window->runCommand(command::kExit);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(saidTitle(), "Exit");
    till->clearBasket();
    QAction* exit = window->menuAction(command::kExit);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    exit->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TillPanelsTest, LogOnPanelRefusesAloudAndClosesEveryWay) {
    store->config().record().clerk_passwords[1][0] = '7';
    for (int c = 3; c <= 99; ++c)
        store->config().record().settings_a[kSetAClerkAvailable + c - 1] = 2;
    struct Case {
        const char* keys;  // pressed on the panel's keypad
        bool escape;
        bool loggedOn;
        const char* said;
    };
    const Case cases[] = {
        {"9", false, false, "Wrong password for clerk 1"},
        {"", true, false, ""},
        {"7", false, true, ""},
    };
    for (const Case& c : cases) {
        ui.shown.clear();
        QPointer<LogOnDialog> dialog = new LogOnDialog(*till, window.get());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        QTest::mouseClick(dialog->button("Down"), Qt::LeftButton);
        EXPECT_EQ(dialog->panel().clerk(), 2);  // 3..99 are not available
        QTest::mouseClick(dialog->button("Up"), Qt::LeftButton);
        for (const char* k = c.keys; *k; ++k)
            QTest::mouseClick(dialog->button(QString(QChar(*k))), Qt::LeftButton);
        if (c.escape)
            QTest::keyClick(dialog->passwordBox(), Qt::Key_Escape);
        else
            QTest::keyClick(dialog->passwordBox(), Qt::Key_Return);
        EXPECT_EQ(said(), c.said);
        EXPECT_EQ(dialog && dialog->isVisible(), !c.escape && !c.loggedOn);
        if (dialog) {
            QTest::keyClick(dialog->passwordBox(), Qt::Key_Return);  // a second Enter
            dialog->close();
        }
        settle();
        EXPECT_FALSE(dialog);
    }
    EXPECT_EQ(till->clerks().clerk(), 1);
    EXPECT_EQ(store->config().record().current_clerk, 1);
}

}  // namespace
}  // namespace kassio
