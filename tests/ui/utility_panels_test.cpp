// The Utilities and Help panels from the till window's menu commands: each
// settings panel changed and confirmed reaches kq.cfg, cancelled changes
// nothing; the manual opens on F1; the toolbar greys as the menus do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <fstream>
#include <functional>
#include <iterator>

#include "admin/store_settings.h"
#include "commands/command_router.h"
#include "support/modal_windows.h"
#include "till_fixture_ui.h"
#include "ui/main_window.h"
#include "ui/till_dialogs.h"
#include "ui/utilities/utility_commands.h"

namespace kassio {
namespace {

using test::whenModal;

using namespace utility_command;

void press(QWidget* w, QDialogButtonBox::StandardButton which) {
    w->findChild<QDialogButtonBox*>()->button(which)->click();
}

class UtilityPanelsTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
    }
    void TearDown() override {
        window.reset();
        router.reset();
    }

    std::string kqCfg() const {
        std::ifstream in(root / "kq.cfg", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    StoreConfigRecord onDisk() const {
        StoreConfigRecord r{};
        std::string bytes = kqCfg();
        std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
        return r;
    }
    QAction* tool(const QString& tip) const {
        for (QAction* a : window->findChild<QToolBar*>()->actions())
            if (a->toolTip() == tip) return a;
        ADD_FAILURE() << "no tool " << tip.toStdString();
        return nullptr;
    }

    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
};

TEST_F(UtilityPanelsTest, EachSettingsPanelStoresOnOkAndNothingOnCancel) {
    struct Case {
        int command;
        std::function<void(QWidget*)> change;
        std::function<bool(const StoreConfigRecord&)> changed;
    } cases[] = {
        {kTaxSetup, [](QWidget* w) { w->findChild<QLineEdit*>("tax1Rate")->setText("17.5"); },
         [](const StoreConfigRecord& r) { return r.options[kOptTax1Rate] == 1750; }},
        {kPrintHeading,
         [](QWidget* w) { w->findChild<QLineEdit*>("line1")->setText("CORNER SHOP"); },
         [](const StoreConfigRecord& r) { return std::string(r.heading[0]) == "CORNER SHOP"; }},
        {kNonInventorySettings,
         [](QWidget* w) {
             w->findChild<QLineEdit*>("label2")->setText("Stamps");
             w->findChild<QCheckBox*>("taxable")->setChecked(false);
         },
         [](const StoreConfigRecord& r) {
             return std::string(r.custom_button_labels[1]) == "Stamps" &&
                    r.settings_b[kSetBNonInventoryNotTaxable] == 2;
         }},
        {command::kConfiguration,
         [](QWidget* w) { w->findChild<QCheckBox*>("skuEntry")->setChecked(true); },
         [](const StoreConfigRecord& r) { return r.settings_b[kSetBEntryModeSku] == 2; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.command);
        const std::string before = kqCfg();
        whenModal([&](QWidget* w) {
            k.change(w);
            press(w, QDialogButtonBox::Cancel);
        });
        window->runCommand(k.command);
        EXPECT_EQ(kqCfg(), before);

        whenModal([&](QWidget* w) {
            k.change(w);
            press(w, QDialogButtonBox::Ok);
        });
        window->runCommand(k.command);
        EXPECT_TRUE(k.changed(onDisk()));
    }
}

TEST_F(UtilityPanelsTest, RefusedValueKeepsThePanelOpenWithTheReason) {
    const std::string before = kqCfg();
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("tax2Rate")->setText("150");
        press(w, QDialogButtonBox::Ok);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->findChild<QLabel*>("problem")->text(),
                  "Tax rate must be a percentage from 0 to 100");
        press(w, QDialogButtonBox::Cancel);
    });
    window->runCommand(kTaxSetup);
    EXPECT_EQ(kqCfg(), before);
}

TEST_F(UtilityPanelsTest, FileResetAsksThenResetsAndSaysWhat) {
    store->config().record().running_totals[kRunningTakings] = 55;
    store->config().record().money[kMoneyPettyCash] = 4;
    whenModal([](QWidget* w) {
        w->findChild<QCheckBox*>("reset1")->setChecked(true);
        press(w, QDialogButtonBox::Ok);  // asks first
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->findChild<QLabel*>("problem")->text(),
                  "Reset Till takings since the last closeout to zero? Press OK again to "
                  "confirm.");
        press(w, QDialogButtonBox::Ok);
    });
    window->runCommand(kFileReset);
    EXPECT_EQ(onDisk().running_totals[kRunningTakings], 0);
    EXPECT_EQ(onDisk().money[kMoneyPettyCash], 4);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, "Reset to zero: Till takings since the last closeout.");
}

TEST_F(UtilityPanelsTest, F1OpensTheManualAndAboutGivesTheVersion) {
    window->entryBox()->setFocus();
    QTest::keyClick(window->entryBox(), Qt::Key_F1);
    auto* help = window->findChild<QTextBrowser*>("helpWindow");
    ASSERT_NE(help, nullptr) << "the manual was not found";
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains("KASSIO SC help"));
    window->runCommand(kHelpContents);  // the same window again, not a second one
    EXPECT_EQ(window->findChildren<QTextBrowser*>("helpWindow").size(), 1);

    QString about;
    whenModal([&](QWidget* w) {
        about = w->findChild<QLabel*>("about")->text();
        press(w, QDialogButtonBox::Ok);
    });
    window->runCommand(kAbout);
    EXPECT_TRUE(about.contains("Version " KASSIO_TEST_VERSION)) << about.toStdString();
}

TEST_F(UtilityPanelsTest, ToolbarGreysForAClerkAsTheMenusDo) {
    router->set(command::kDeleteInventory, [] {});
    router->set(1050, [] {});  // amend inventory, granted by a permission flag
    window->commandsChanged();
    EXPECT_TRUE(tool("Delete inventory")->isEnabled());
    ASSERT_TRUE(till->logOn(5, ""));
    window->refresh();
    EXPECT_FALSE(tool("Delete inventory")->isEnabled());
    EXPECT_FALSE(tool("Amend inventory (F3)")->isEnabled());
    store->config().record().settings_b[kSetBPermitAmend] = 2;
    window->refresh();
    EXPECT_TRUE(tool("Amend inventory (F3)")->isEnabled());
    EXPECT_TRUE(tool("Upload report")->isEnabled());  // a command every clerk may run
}

// Operator setup is one panel: a refused entry says why and the panel stays
// open with the name as typed; a stored one closes it with "Amended".
TEST_F(UtilityPanelsTest, OperatorSetupPanelStaysOpenUntilTheEntryIsStored) {
    std::vector<std::string> whileOpen;
    bool nameKept = false;
    whenModal([&](QWidget* number) {
        auto* input = qobject_cast<QInputDialog*>(number);
        ASSERT_NE(input, nullptr);
        input->setIntValue(7);
        whenModal([&](QWidget* panel) {
            auto box = [panel](const char* name) { return panel->findChild<QLineEdit*>(name); };
            box("name")->setText("SAM");
            box("password")->setText("12");
            box("reentered")->setText("21");
            press(panel, QDialogButtonBox::Ok);
            whileOpen.push_back(said());
            box("reentered")->setText("123456789");
            box("password")->setText("123456789");
            press(panel, QDialogButtonBox::Ok);
            whileOpen.push_back(said());
            nameKept = panel->isVisible() && box("name")->text() == "SAM";
            box("password")->setText("12");
            box("reentered")->setText("12");
            press(panel, QDialogButtonBox::Ok);
        });
        input->accept();
    });
    window->runCommand(command::kOperatorSetup);
    EXPECT_EQ(whileOpen, (std::vector<std::string>{"Passwords do not match", "Password too long"}));
    EXPECT_TRUE(nameKept);
    EXPECT_EQ(said(), "Amended");
    EXPECT_EQ(store->config().clerkName(7), "SAM");
    EXPECT_STREQ(store->config().record().clerk_passwords[7], "12");
}

// The log-on panel's clerk number can be typed as well as stepped; the
// name line follows it and OK logs that clerk on.
TEST_F(UtilityPanelsTest, LogOnPanelTakesATypedClerkNumber) {
    setFieldText(store->config().record().clerk_passwords[7], "55");
    QPointer<LogOnDialog> dialog = new LogOnDialog(*till, window.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    auto* number = dialog->findChild<QLineEdit*>("clerkNumber");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->text(), "1");
    number->clear();
    QTest::keyClicks(number, "7");
    EXPECT_EQ(dialog->findChild<QLabel*>("nameLine")->text(), "7 Clerk 7");
    QTest::mouseClick(dialog->button("Up"), Qt::LeftButton);
    EXPECT_EQ(number->text(), "6");
    QTest::mouseClick(dialog->button("Down"), Qt::LeftButton);
    QTest::keyClicks(dialog->passwordBox(), "55");
    QTest::keyClick(dialog->passwordBox(), Qt::Key_Return);
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_FALSE(dialog);
    EXPECT_EQ(till->clerks().clerk(), 7);
}

}  // namespace
}  // namespace kassio
