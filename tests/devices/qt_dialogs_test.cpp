// The devices' dialogs driven as a person would: each test acts on the
// modal dialog once it is up, then reads what run() returned.
#include <gmock/gmock.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "devices/summary_box.h"
#include "store/store_config.h"
#include "support/modal_windows.h"
#include "ui/devices/card_boxes.h"
#include "ui/devices/language_dialog.h"
#include "ui/devices/qt_device_ui.h"
#include "ui/devices/qt_printers.h"
#include "ui/devices/summary_box_dialog.h"
#include "ui/devices/till_config_dialog.h"

namespace kassio::test {
namespace {

void clickOk(QWidget* w) {
    w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST(QtDialogs, ElectronicPaymentOffersOnlyWhatIsAllowed) {
    whenModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Electronic Payment");
        QStringList texts;
        for (QPushButton* b : w->findChildren<QPushButton*>()) texts << b->text();
        EXPECT_EQ(texts, QStringList({"Payment", "Cardholder not present payment", "Cancel"}));
        button(w, "Cardholder not present payment")->click();
    });
    EXPECT_EQ(ElectronicPaymentBox::ask(nullptr, false, true), CardPaymentChoice::kNotPresent);
    whenModal([](QWidget* w) { button(w, "Cancel")->click(); });
    EXPECT_EQ(CardRefundBox::ask(nullptr), CardRefundChoice::kCancel);
}

TEST(QtDialogs, TillConfigurationReturnsTheTypedValues) {
    TillConfigPage page;
    page.openCharacter = "7";
    page.repeat = "3";
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("openCharacter")->setText("300");
        w->findChild<QLineEdit*>("repeat")->setText("5");
        clickOk(w);
    });
    auto result = TillConfigDialog::run(nullptr, page);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->openCharacter, "300");
    EXPECT_EQ(result->repeat, "5");
}

TEST(QtDialogs, LanguageChangeFillsBothBoxesAndEditsAreKept) {
    StoreConfigRecord cfg{};
    ReceiptWords words;
    words.loadBuiltIn(0);
    whenModal([](QWidget* w) {
        w->findChild<QComboBox*>("language")->setCurrentIndex(1);
        EXPECT_EQ(w->findChild<QLineEdit*>("word3")->text(), "Totale");
        w->findChild<QLineEdit*>("word1")->setText("Scontrino");
        clickOk(w);
    });
    auto result = LanguageDialog::run(nullptr, LanguageCustomization(cfg, words));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->language(), 1);
    EXPECT_EQ(result->current(1), "Scontrino");
    EXPECT_EQ(result->current(2), "Sub totale");
}

TEST(QtDialogs, SummaryBoxPressesTheAutomaticReceiptPerCopy) {
    std::vector<DocumentKind> printed;
    SummaryBox box(
        7.79, 10, 2.21, 20, DocumentKind::kCustomReceipt, 2,
        [&](DocumentKind k) { printed.push_back(k); }, [] {});
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Transaction committed, summary");
        EXPECT_EQ(w->findChild<QLabel*>("Total due")->text(), "7.79");
        EXPECT_EQ(w->findChild<QLabel*>("cashBack")->text(), "CB: 20.00");
        QTimer::singleShot(50, w, [w] {
            button(w, "&Standard receipt")->click();
            button(w, "OK")->click();
        });
    });
    SummaryBoxDialog::run(nullptr, box);
    EXPECT_THAT(printed,
                ::testing::ElementsAre(DocumentKind::kCustomReceipt, DocumentKind::kCustomReceipt,
                                       DocumentKind::kStandardReceipt));
}

TEST(QtDialogs, CardWaitKeepsTheScreenAliveUntilAbandoned) {
    QtDeviceUi ui;
    ui.cardWaitStarted();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    whenModal([](QWidget* w) {
        QTimer::singleShot(300, w, [w] { w->findChild<QPushButton*>("abandon")->click(); });
    });
    QElapsedTimer clock;
    clock.start();
    int waits = 0;
    while (ui.cardWait(200)) ASSERT_LT(++waits, 50);
    ui.cardWaitFinished();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_GT(ticks, 10);  // events went on being processed while waiting
}

// A copy count raised in the print dialog belongs to that document: the
// next document's dialog starts at one copy again, and printed unchanged
// it is one copy.
TEST(PrintDialog, ARaisedCopyCountAppliesToThatDocumentOnly) {
    QtPrinters printers;
    std::vector<int> offered;
    auto answer = [&offered](int raiseTo) {
        whenModal([&offered, raiseTo](QWidget* w) {
            auto* dialog = qobject_cast<QPrintDialog*>(w);
            auto* copies = w->findChild<QSpinBox*>("copies");
            offered.push_back(copies ? copies->value() : -1);
            if (copies && raiseTo > 0) copies->setValue(raiseTo);
            if (dialog) dialog->printer()->setOutputFileName("/dev/null");
            if (dialog) dialog->accept();
        });
    };
    answer(3);
    auto first = printers.open(Printers::Target::kDialog, "");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->copies(), 3);
    first.reset();

    answer(0);
    auto second = printers.open(Printers::Target::kDialog, "");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->copies(), 1);
    EXPECT_EQ(offered, (std::vector<int>{1, 1}));
}

}  // namespace
}  // namespace kassio::test
