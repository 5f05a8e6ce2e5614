// The account and list commands from the till window's router: the list
// screen paged with More and Back and closed by OK and Cancel, a row that
// opens the details, the "Payment" window confirmed, over-paid and
// cancelled, a debtor letter printed to PDF and read back, and from the
// menus the statement window and its print, the mail-merge letters and the
// printed inventory listings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "commands/command_router.h"
#include "commands/menu_table.h"
#include "listings/listing_settings.h"
#include "store/file_io.h"
#include "support/modal_windows.h"
#include "till_fixture_ui.h"
#include "ui/accounts/account_commands.h"
#include "ui/accounts/account_dialogs.h"
#include "ui/devices/qt_printers.h"
#include "ui/main_window.h"

namespace kassio {
namespace {

using test::whenModal;

using namespace account_command;

QPushButton* button(QWidget* w, const char* text) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

std::string run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
    return out;
}

class AccountWindowsTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
        printers.setPdfOutput(QString::fromStdString(pdfs.path()), QPageSize(QPageSize::A4));
        AccountHooks hooks;
        hooks.lookUpCustomer = [this](const std::string& entry) {
            return readCustomer(*store, std::atoll(entry.c_str()));
        };
        hooks.showCustomer = [this](int64_t n) { opened.push_back(n); };
        hooks.clerk = [] { return int64_t{1}; };
        registerAccountCommands(*router, *store, ui, printers, window.get(), hooks);
        window->commandsChanged();
    }
    void TearDown() override {
        window.reset();
        router.reset();
    }
    bool said(const std::string& text, const std::string& title) const {
        for (const auto& s : ui.shown)
            if (s.text == text && s.title == title) return true;
        return false;
    }

    test::TempFolder pdfs;
    QtPrinters printers;
    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
    std::vector<int64_t> opened;
};

TEST_F(AccountWindowsTest, ListScreenPagesWithMoreAndBackAndClosesWithOkOrCancel) {
    for (int i = 1; i <= 14; ++i) customer(i, "CUST", 0);
    // More, Back, More, then OK closes; a second run is closed by Cancel.
    ui.replies = {"1"};
    QStringList seen;
    whenModal([&](QWidget* w) {
        auto* rows = w->findChild<QTreeWidget*>("rows");
        seen << rows->topLevelItem(0)->text(0);
        EXPECT_TRUE(button(w, "More")->isVisible());
        EXPECT_FALSE(button(w, "OK")->isVisible());
        EXPECT_FALSE(button(w, "Back")->isEnabled());
        QTest::mouseClick(button(w, "More"), Qt::LeftButton);
        seen << rows->topLevelItem(0)->text(0) << rows->topLevelItem(1)->text(0);
        EXPECT_TRUE(button(w, "OK")->isVisible());
        EXPECT_FALSE(button(w, "More")->isVisible());
        QTest::mouseClick(button(w, "Back"), Qt::LeftButton);
        seen << rows->topLevelItem(0)->text(0);
        // A row with a number opens its details; a blank row nothing.
        QRect r = rows->visualItemRect(rows->topLevelItem(2));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseClick(button(w, "More"), Qt::LeftButton);
        r = rows->visualItemRect(rows->topLevelItem(5));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseClick(button(w, "OK"), Qt::LeftButton);
    });
    EXPECT_EQ(router->route(kListCustomersFromNumber), CommandRouter::Outcome::kRan);
    EXPECT_EQ(seen, (QStringList{"1", "14", "", "1"}));
    EXPECT_EQ(opened, std::vector<int64_t>{3});
    EXPECT_EQ(ui.prompts.back(), "List from number:");

    ui.replies = {"1"};
    bool closed = false;
    whenModal([&](QWidget* w) {
        QTest::mouseClick(button(w, "Cancel"), Qt::LeftButton);
        closed = true;
    });
    router->route(kListCustomersFromNumber);
    EXPECT_TRUE(closed);
}

TEST_F(AccountWindowsTest, PaymentWindowPaysConfirmsOverpaymentAndCancels) {
    customer(7, "ANN SMITH", 50.0);
    struct Case {
        const char* amount;
        const char* method;
        bool cancel;
        std::vector<Ui::Answer> answers;
        double balance;
        bool exceeds;
    };
    const Case cases[] = {
        {"20", "Cash", false, {}, 30.0, false},
        {"99", "CH", true, {}, 30.0, false},                      // window cancelled
        {"40", "EFT", false, {Ui::Answer::kCancel}, 30.0, true},  // "Continue" cancelled
        {"40", "EFT", false, {Ui::Answer::kOk}, -10.0, true},
        {"", "Cash", false, {}, -10.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        ui.shown.clear();
        ui.replies = {"7"};
        ui.answers.assign(c.answers.begin(), c.answers.end());
        whenModal([&](QWidget* w) {
            EXPECT_EQ(w->findChild<QLabel*>("customer")->text(), "ANN SMITH");
            w->findChild<QRadioButton*>(c.method)->setChecked(true);
            w->findChild<QLineEdit*>("pay")->setText(c.amount);
            w->findChild<QDialogButtonBox*>()
                ->button(c.cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)
                ->click();
        });
        router->route(kBalancePayment);
        EXPECT_DOUBLE_EQ(readCustomer(*store, 7)->balance, c.balance);
        EXPECT_EQ(said("Continue", "Exceeds amount due"), c.exceeds);
        if (!*c.amount) {
            EXPECT_TRUE(said("No amount specified.", "Problem"));
        }
    }
    // Two payments reached the journal, as "Payment (cash)" and "Payment (eft)".
    const auto sales = todaysSales();
    ASSERT_EQ(sales.size(), 2u);
    EXPECT_STREQ(sales[0].payment, "Payment (cash)");
    EXPECT_STREQ(sales[1].payment, "Payment (eft)");
}

// "Balance pay on transaction" opens the payment window on the customer of
// the transaction typed; a transaction not kept and a text that is no
// number each say that no customer goes with it, and pay nothing.
TEST_F(AccountWindowsTest, BalancePayOnTransactionPaysThatTransactionsCustomer) {
    customer(7, "ANN SMITH", 50.0);
    auto pay = [](const char* amount) {
        return [amount](QWidget* w) {
            EXPECT_EQ(w->findChild<QLabel*>("customer")->text(), "ANN SMITH");
            w->findChild<QRadioButton*>("Cash")->setChecked(true);
            w->findChild<QLineEdit*>("pay")->setText(amount);
            w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        };
    };
    ui.replies = {"7"};
    whenModal(pay("20"));
    router->route(kBalancePayment);
    ASSERT_EQ(todaysSales().size(), 1u);
    const int64_t paid = todaysSales()[0].number;

    ui.replies = {std::to_string(paid)};
    whenModal(pay("5"));
    router->route(kBalancePayOnTransaction);
    EXPECT_DOUBLE_EQ(readCustomer(*store, 7)->balance, 25.0);
    ASSERT_EQ(todaysSales().size(), 2u);
    EXPECT_EQ(todaysSales()[1].customer, 7);

    for (const std::string& typed : {std::to_string(paid + 100), std::string("ABC")}) {
        SCOPED_TRACE(typed);
        ui.shown.clear();
        ui.replies = {typed};
        router->route(kBalancePayOnTransaction);
        EXPECT_TRUE(said("No customer associated with transaction", "Problem"));
    }
    EXPECT_DOUBLE_EQ(readCustomer(*store, 7)->balance, 25.0);
    EXPECT_EQ(todaysSales().size(), 2u);
}

// The mail-merge letter goes to a file and comes back through the file
// chooser; a letter that cannot be written is said in a warning and the
// text on screen stays as it was.
TEST_F(AccountWindowsTest, MailmergeLetterSavesAndLoadsThroughTheFileChooser) {
    auto choose = [](const std::string& path) {
        whenModal([path](QWidget* w) { test::answerFileChooser(w, path); },
                  [](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; });
    };
    QString warned;
    auto expectWarning = [&warned] {
        whenModal(
            [&warned](QWidget* w) {
                warned = static_cast<QMessageBox*>(w)->text();
                static_cast<QMessageBox*>(w)->accept();
            },
            [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
    };
    MailmergeDialog d(window.get(), store->folder());
    d.show();
    auto* text = d.findChild<QPlainTextEdit*>("text");
    const QString letter = "Dear customer,\nYour account is overdue.";
    text->setPlainText(letter);
    const std::string file = pdfs.path() + "/overdue.txt";
    choose(file);
    button(&d, "Save")->click();
    ASSERT_TRUE(std::filesystem::exists(file));
    text->setPlainText("");
    choose(file);
    button(&d, "Load")->click();
    EXPECT_EQ(text->toPlainText(), letter);

    const std::string nowhere = pdfs.path() + "/no such folder/letter.txt";
    choose(nowhere);
    expectWarning();
    button(&d, "Save")->click();
    EXPECT_TRUE(warned.contains("Unable to save")) << warned.toStdString();
    EXPECT_EQ(text->toPlainText(), letter);
}

TEST_F(AccountWindowsTest, DebtorLetterPrintsItsTextsInOrderAndIsRefusedWithNothingOwing) {
    if (std::system("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    customer(8, "MRS J HARTLEY", 35.2);
    customer(9, "PAID UP", 0);
    ui.replies = {"9"};
    router->route(kPrintDebtorLetter2);
    EXPECT_TRUE(said("No amount is outstanding", "Problem"));
    EXPECT_TRUE(std::filesystem::is_empty(pdfs.path()));

    for (int kind : {kPrintDebtorLetter1, kPrintDebtorLetter2}) {
        ui.replies = {"8"};
        router->route(kind);
    }
    const std::vector<std::vector<std::string>> want = {
        {"MRS J HARTLEY", "Dec 6 2026", "Dear Sir / Madam,", "Customer reference: 8",
         "According to our records the following amount is", "now overdue: 35.20",
         "Please remit at your earliest convenience. Thank you.",
         "If payment has been made in the last few days please disregard this letter.",
         "Yours sincerely,", "---------------------", "Manager"},
        {"MRS J HARTLEY", "Dec 6 2026", "FINAL NOTICE", "Dear Sir / Madam,",
         "Despite our previous reminder(s) the following amount", "is still overdue: 35.20",
         "Please remit the amount by return.", "Please note that delay may incur further costs.",
         "Yours sincerely,", "Manager"},
    };
    for (std::size_t i = 0; i < want.size(); ++i) {
        const std::string file = pdfs / ("kassio-" + std::to_string(i + 1) + ".pdf");
        const std::string text = run("pdftotext -layout '" + file + "' -");
        std::size_t at = 0;
        for (const std::string& line : want[i]) {
            const std::size_t found = text.find(line, at);
            EXPECT_NE(found, std::string::npos) << line << "\n" << text;
            if (found != std::string::npos) at = found + line.size();
        }
    }
}

TEST_F(AccountWindowsTest, StatementMailmergeAndListingsPrintFromTheirMenus) {
    if (std::system("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    for (int command : {kCustomerStatement, kMailmerge, kPrintInventory, kPrintCustomInventory,
                        kBalancePayment, kListItemsAlphabetical})
        EXPECT_TRUE(commandEnabled(command, *till, *router)) << command;
    customer(7, "ANN SMITH", 50.0);
    customer(8, "PAID UP", 0);
    customer(9, "BOB JONES", 12.5);
    item(20, "TEA CADDY", 4.99, 0, 3);
    auto pdf = [this](int n) { return pdfs / ("kassio-" + std::to_string(n) + ".pdf"); };
    auto text = [](const std::string& file) { return run("pdftotext -layout '" + file + "' -"); };
    auto pages = [](const std::string& file) {
        const std::string info = run("pdfinfo '" + file + "'");
        const std::size_t at = info.find("Pages:");
        return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
    };

    // The statement window shows the lines and the balance; its Print
    // prints them under the letterhead; Esc closes it as OK does.
    ui.replies = {"7"};
    QStringList shown;
    whenModal([&](QWidget* w) {
        auto* lines = w->findChild<QListWidget*>("lines");
        for (int i = 0; i < lines->count(); ++i) shown << lines->item(i)->text();
        QTest::mouseClick(w->findChild<QPushButton*>("print"), Qt::LeftButton);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    window->runCommand(kCustomerStatement);
    EXPECT_EQ(shown.back(), "Balance: 50.00");
    const std::string statement = text(pdf(1));
    for (const char* s : {"STATEMENT", "Customer ID: 7", "ANN SMITH", "Balance: 50.00"})
        EXPECT_NE(statement.find(s), std::string::npos) << s << "\n" << statement;

    // Mail-merge to those who owe money: one letter each, the text as typed.
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("start")->setText("1");
        w->findChild<QLineEdit*>("end")->setText("100");
        w->findChild<QComboBox*>("selection")->setCurrentIndex(1);
        w->findChild<QPlainTextEdit*>("text")->setPlainText("Our sale starts Monday.\nDo come.");
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window->runCommand(kMailmerge);
    EXPECT_EQ(pages(pdf(2)), 2);
    const std::string letters = text(pdf(2));
    for (const char* s : {"Customer number: 7", "Our sale starts Monday.", "Do come.",
                          "Customer number: 9", "Manager"})
        EXPECT_NE(letters.find(s), std::string::npos) << s << "\n" << letters;
    EXPECT_EQ(letters.find("PAID UP"), std::string::npos);
    // Cancelled, nothing prints.
    whenModal([](QWidget* w) {
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    window->runCommand(kMailmerge);
    EXPECT_FALSE(std::filesystem::exists(pdf(3)));

    // The toolbar's Print inventory, then Print custom inventory with the
    // columns ticked in its window.
    ui.replies = {"1"};
    window->runCommand(kPrintInventory);
    const std::string listing = text(pdf(3));
    for (const char* s : {"Inventory list:", "Page: 1", "Total retail", "TEA CADDY", "14.97"})
        EXPECT_NE(listing.find(s), std::string::npos) << s << "\n" << listing;
    whenModal([](QWidget* w) {
        for (QCheckBox* b : w->findChildren<QCheckBox*>())
            b->setChecked(b->text() == "Description" || b->text() == "In stock");
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window->runCommand(kPrintCustomInventory);
    const std::string custom = text(pdf(4));
    for (const char* s : {"Number, Description, In stock", "20, TEA CADDY, 3"})
        EXPECT_NE(custom.find(s), std::string::npos) << s << "\n" << custom;
}

// "Listing font size" and "Indent listings" from the File menu of the real
// window: the pick and the typed indent reach kq.cfg on disk, an indent
// outside 0..40 is refused and leaves the file as it was, and the menu's
// check mark follows the indent.
TEST_F(AccountWindowsTest, ListingFontSizeAndIndentFromTheFileMenu) {
    auto onDisk = [this] {
        auto bytes = readWholeFile(store->pathOf("kq.cfg"));
        StoreConfigRecord r{};
        if (bytes && bytes->size() == sizeof r) std::memcpy(&r, bytes->data(), sizeof r);
        return r;
    };
    QAction* font = window->menuAction(kListingFontSize);
    QAction* indent = window->menuAction(kIndentListings);
    ASSERT_NE(font, nullptr);
    ASSERT_NE(indent, nullptr);
    QMenu* file = qobject_cast<QMenu*>(indent->parent());
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    ASSERT_TRUE(font->isEnabled());
    ASSERT_TRUE(indent->isEnabled());

    ui.picks = {3};
    font->trigger();
    ASSERT_EQ(ui.lists.size(), 1u);
    EXPECT_EQ(ui.lists[0].first, "Listing font size");
    EXPECT_EQ(ui.lists[0].second.front(), "Printer default");
    EXPECT_EQ(ui.lists[0].second[3], "10 point");
    EXPECT_EQ(+onDisk().settings_a[kSetAListingFontSize], 3);

    struct Case {
        const char* typed;
        const char* said;
        int stored;
    };
    const Case cases[] = {{"4", "Indent set to 4", 4}, {"41", "Outside range", 4},
                          {"-1", "Outside range", 4},  {"2.5", "Outside range", 4},
                          {"0", "Indent set to 0", 0}, {"40", "Indent set to 40", 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto before = readWholeFile(store->pathOf("kq.cfg"));
        ui.shown.clear();
        ui.replies = {c.typed};
        indent->trigger();
        EXPECT_EQ(ui.prompts.back(), "Indent (in characters, 0-40)");
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, c.said);
        EXPECT_EQ(+onDisk().settings_b[kSetBListingIndent], c.stored);
        if (std::string(c.said) == "Outside range") {
            EXPECT_TRUE(readWholeFile(store->pathOf("kq.cfg")) == before);
        }
        emit file->aboutToShow();
        EXPECT_EQ(indent->isChecked(), c.stored != 0);
    }
}

}  // namespace
}  // namespace kassio
