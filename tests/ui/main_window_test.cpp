// The real till window, driven by keys and clicks on the offscreen
// platform: what a clerk does at the till, checked in the engine and on disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
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

class MainWindowTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        if (logOnAtStart) {
            ASSERT_TRUE(till->logOn(1, ""));
        }
    }
    void TearDown() override {
        window.reset();
        router.reset();
    }

    void typeInEntry(const QString& text) {
        window->entryBox()->setFocus();
        QTest::keyClicks(window->entryBox(), text);
        QTest::keyClick(window->entryBox(), Qt::Key_Return);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(window->entryBox(), k, m);
    }
    void click(int command) {
        TillButton* b = window->button(command);
        ASSERT_NE(b, nullptr) << command;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    bool logOnAtStart = true;
    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
};

// The till started with --no-log-on: nobody has logged on yet.
class NoLogOnWindowTest : public MainWindowTest {
  protected:
    NoLogOnWindowTest() { logOnAtStart = false; }
};

TEST_F(MainWindowTest, TypingANumberAddsTheItem) {
    typeInEntry("12");
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_EQ(till->basket().item[0], 12);
    EXPECT_EQ(window->basketList()->count(), 1);
    EXPECT_EQ(window->basketList()->item(0)->text(), "12  FILTER COFFEE (30)  2.99");
    EXPECT_TRUE(window->entryBox()->text().isEmpty());
    EXPECT_GE(window->visibleQuickSelect(), 14);
}

TEST_F(MainWindowTest, CashPanelFromF5AndTheKeypad) {
    typeInEntry("12");
    key(Qt::Key_F5);
    ASSERT_NE(window->openPanel(), nullptr);
    EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen);

    // While the panel is open F-keys and till buttons change nothing.
    key(Qt::Key_F7);
    click(command::kVoidLine);
    click(command::kClearBasket);
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen);

    // The on-screen keypad types into the panel's amount box.
    for (int c : {2431, 2432, 2435, 2430}) click(c);
    ASSERT_NE(window->openPanel(), nullptr);
    EXPECT_EQ(window->openPanel()->amountBox()->text(), "1250");
    auto* cash = qobject_cast<CashPanelWidget*>(window->openPanel());
    ASSERT_NE(cash, nullptr);
    EXPECT_EQ(cash->changeLabel()->text(), "9.51");
    cash->ok();
    QApplication::processEvents();
    EXPECT_EQ(till->tenderState(), TenderState::kNone);
    EXPECT_EQ(till->basket().line_count, 0);
    ASSERT_EQ(todaysSales().size(), 1u);
    EXPECT_DOUBLE_EQ(devices.lastTendered, 12.50);
    EXPECT_DOUBLE_EQ(devices.lastChange, 9.51);
    EXPECT_EQ(stock(12), 29);
}

TEST_F(MainWindowTest, AReportPutsAnUntenderedBasketAside) {
    bool ran = false;
    router->set(3047, [&ran] { ran = true; });  // the sales report
    typeInEntry("12");
    typeInEntry("12");
    ASSERT_EQ(till->basket().line_count, 2);
    window->runCommand(3047);
    EXPECT_TRUE(ran);
    EXPECT_EQ(till->basket().line_count, 0);
    EXPECT_EQ(window->basketList()->count(), 0);
    EXPECT_EQ(till->table().slot(2).line_count, 2);
}

TEST_F(MainWindowTest, AnOrdinaryClerkIsRefusedAndSeesGreyedItems) {
    ASSERT_TRUE(till->logOn(5, ""));
    EXPECT_EQ(window->windowTitle(), "KASSIO");  // refreshed at the next command
    window->refresh();
    EXPECT_EQ(window->windowTitle(), "KASSIO SC    Assoc: 5, Clerk 5");
    bool deleted = false;
    router->set(command::kDeleteInventory, [&deleted] { deleted = true; });
    window->runCommand(command::kDeleteInventory);
    EXPECT_FALSE(deleted);

    QAction* del = window->menuAction(command::kDeleteInventory);
    ASSERT_NE(del, nullptr);
    QMenu* menu = qobject_cast<QMenu*>(del->parent());
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_FALSE(del->isEnabled());
    QAction* setup = window->menuAction(command::kOperatorSetup);
    QMenu* utilities = qobject_cast<QMenu*>(setup->parent());
    emit utilities->aboutToShow();
    EXPECT_FALSE(setup->isEnabled());
    EXPECT_TRUE(window->menuAction(command::kCashTender)->isEnabled());

    store->config().record().options[kOptPermitDeleteItem] = 1;
    emit menu->aboutToShow();
    EXPECT_TRUE(del->isEnabled());
    window->runCommand(command::kDeleteInventory);
    EXPECT_TRUE(deleted);

    ASSERT_TRUE(till->logOn(1, ""));
    emit utilities->aboutToShow();
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(MainWindowTest, ControlKeysAndTheQuickSelectButtons) {
    window->entryBox()->setText("abc");
    key(Qt::Key_Q, Qt::ControlModifier);  // no shortcut: the box is emptied
    EXPECT_TRUE(window->entryBox()->text().isEmpty());
    item(20, "TEA", 1.5, 0, 9, 5);
    window->runCommand(command::kCategoryFirst + 5);
    click(command::kQuickSelectFirst);
    EXPECT_EQ(till->basket().item[0], 12);
    click(command::kQuickSelectFirst + 1);
    EXPECT_EQ(till->basket().item[1], 20);
}

// Not logging on gives no one the administrator's rights: the restricted
// items are greyed and ignored as for an ordinary clerk, selling goes on,
// and a log-on of clerk 1 opens them.
TEST_F(NoLogOnWindowTest, RestrictedItemsStayGreyedUntilAClerkWithTheRightLogsOn) {
    EXPECT_EQ(till->clerks().clerk(), 0);
    bool ran = false;
    router->set(command::kOperatorSetup, [&ran] { ran = true; });
    QAction* setup = window->menuAction(command::kOperatorSetup);
    ASSERT_NE(setup, nullptr);
    QMenu* utilities = qobject_cast<QMenu*>(setup->parent());
    ASSERT_NE(utilities, nullptr);
    emit utilities->aboutToShow();
    EXPECT_FALSE(setup->isEnabled());
    setup->trigger();
    EXPECT_FALSE(ran);
    // A permission-governed command typed or pressed is ignored as well.
    bool deleted = false;
    router->set(command::kDeleteInventory, [&deleted] { deleted = true; });
    window->runCommand(command::kDeleteInventory);
    EXPECT_FALSE(deleted);

    typeInEntry("12");
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_TRUE(window->menuAction(command::kCashTender)->isEnabled());

    ASSERT_TRUE(till->logOn(1, ""));
    emit utilities->aboutToShow();
    EXPECT_TRUE(setup->isEnabled());
    setup->trigger();
    EXPECT_TRUE(ran);
    window->runCommand(command::kDeleteInventory);
    EXPECT_TRUE(deleted);
}

// A client station's window: what needs the shop's files is greyed and
// says where it runs; selling is not; the state line shows what it is given.
TEST_F(MainWindowTest, AClientStationGreysWhatRunsAtTheMainStation) {
    ASSERT_NE(window->menuAction(command::kConfiguration), nullptr);
    window->commandsChanged();
    EXPECT_TRUE(router->available(command::kConfiguration));

    window.reset();
    router = std::make_unique<CommandRouter>(*till);
    window =
        std::make_unique<MainWindow>(*store, *till, *router, nullptr, MainWindow::Station::kClient);
    ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
    QAction* configuration = window->menuAction(command::kConfiguration);
    ASSERT_NE(configuration, nullptr);
    EXPECT_FALSE(router->available(command::kConfiguration));
    EXPECT_EQ(configuration->toolTip(), MainWindow::kAtMainStation);
    EXPECT_EQ(window->menuAction(command::kActivitySummary)->toolTip(), MainWindow::kAtMainStation);
    ASSERT_NE(window->button(command::kCashTender), nullptr);
    EXPECT_TRUE(window->button(command::kCashTender)->isEnabled());
    EXPECT_NE(window->button(command::kCashTender)->toolTip(), MainWindow::kAtMainStation);

    typeInEntry("12");
    EXPECT_EQ(till->basket().line_count, 1);
    window->showStationState("OFFLINE: the main station does not answer - 2 sale(s) waiting", true);
    EXPECT_EQ(window->stationState(),
              "OFFLINE: the main station does not answer - 2 sale(s) waiting");
}

}  // namespace
}  // namespace kassio
