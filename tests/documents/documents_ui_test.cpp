// The document commands where the clerk meets them: the Transactions menu
// opens the Transaction panel on a posted sale without losing the sale
// under construction, its buttons print real PDF files, and every way of
// closing it leaves the till's basket as it was; "Barcode print" prints
// the labels it is asked for; the summary box prints the delivery note and
// the invoice and hands the order's mail link to the desktop; the
// quotation and the "Invoices" window from their menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "base/text_format.h"
#include "commands/command_router.h"
#include "commands/menu_table.h"
#include "devices/device_fakes.h"
#include "devices/station_devices.h"
#include "documents/invoice_settings.h"
#include "support/modal_windows.h"
#include "till/tender.h"
#include "till/till_fixture.h"
#include "ui/devices/qt_device_ui.h"
#include "ui/devices/qt_printers.h"
#include "ui/documents/document_commands.h"
#include "ui/main_window.h"

namespace kassio::test {
namespace {

using namespace document_command;

// Stands in for the desktop's mail program: the links it is handed.
class MailCatcher : public QObject {
    Q_OBJECT
  public:
    std::vector<QUrl> links;
  public Q_SLOTS:
    void open(const QUrl& url) { links.push_back(url); }
};

std::string pdfText(const QString& pdf) {
    std::string out;
    if (FILE* p = ::popen(("pdftotext '" + pdf.toStdString() + "' - 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

class DocumentsUiTest : public TillTest {
  protected:
    void SetUp() override {
        if (std::system("command -v pdftotext >/dev/null") != 0)
            GTEST_SKIP() << "poppler-utils is not installed";
        TillTest::SetUp();
        ASSERT_TRUE(makeDirectories(root / "out"));
        printers.setPdfOutput(QString::fromStdString(root / "out"), QPageSize(QPageSize::A4));
        devices = std::make_unique<StationDevices>(*store, ui, deviceUi, printers, ports);
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        registerDocumentCommands(*router, *store, *till, *devices, printers, window.get());
        window->commandsChanged();
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
    }
    void TearDown() override {
        window.reset();
        router.reset();
        devices.reset();
    }

    QtPrinters printers;
    QtDeviceUi deviceUi;
    FakePorts ports;
    std::unique_ptr<StationDevices> devices;
    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DocumentsUiTest, TransactionPanelReprintsAPastSaleAndLeavesTheSaleInProgressAside) {
    ASSERT_TRUE(till->addItem(12));
    ASSERT_TRUE(till->addItem(12));
    const int64_t posted = store->config().nextTransaction();
    ASSERT_TRUE(till->cashTender()->exact());
    ASSERT_TRUE(till->addItem(12));  // a sale under construction

    struct Close {
        const char* how;
        std::function<void(QWidget*)> close;
    } closes[] = {
        {"OK", [](QWidget* w) { button(w, "OK")->click(); }},
        {"Esc", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
        {"window", [](QWidget* w) { w->close(); }},
    };
    bool first = true;
    for (const Close& c : closes) {
        SCOPED_TRACE(c.how);
        ui.replies = {std::to_string(posted)};
        std::string number, terminal, inventory;
        int printed = 0;
        whenModal([&](QWidget* w) {
            number = w->findChild<QLabel*>("Number")->text().toStdString();
            terminal = w->findChild<QLabel*>("Terminal")->text().toStdString();
            inventory = w->findChild<QComboBox*>("Inventory")->currentText().toStdString();
            if (first) {
                button(w, "Till receipt")->click();
                button(w, "Invoice")->click();
                button(w, "&Custom receipt")->click();
                printed = static_cast<int>(printers.pdfFiles().size());
                // The newest sale has no next: said, and the panel stays on it.
                button(w, "&Next")->click();
                EXPECT_EQ(said(), "End of list.");
                EXPECT_EQ(w->findChild<QLabel*>("Number")->text().toStdString(), number);
            }
            c.close(w);
        });
        window->runCommand(kDisplayTransaction);
        EXPECT_EQ(number, std::to_string(posted));
        EXPECT_EQ(terminal, "Server");
        EXPECT_EQ(inventory, "12 FILTER COFFEE  2.99");
        EXPECT_TRUE(till->current().empty()) << "the recalled sale never enters the till";
        if (first) {
            ASSERT_EQ(printed, 3);
            EXPECT_NE(pdfText(printers.pdfFiles()[0]).find("Receipt: " + number),
                      std::string::npos);
            const std::string invoice = pdfText(printers.pdfFiles()[1]);
            EXPECT_NE(invoice.find("2 @ 2.49"), std::string::npos) << invoice;
            EXPECT_NE(invoice.find("Order Number: " + number), std::string::npos);
        }
        first = false;
    }
    // The sale that was being rung up waits in the basket table.
    const std::string kept = "Basket kept in table slot ";
    ASSERT_EQ(ui.shown.front().text.rfind(kept, 0), 0u) << ui.shown.front().text;
    till->changeBasketTo(std::stoi(ui.shown.front().text.substr(kept.size())));
    EXPECT_EQ(till->basket().line_count, 1);
}

TEST_F(DocumentsUiTest, BarcodePrintWindowPrintsTheChosenRange) {
    item(13, "GREEN TEA", 1.99, 0, 5);
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("start")->setText("12");
        w->findChild<QLineEdit*>("finish")->setText("13");
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window->runCommand(kBarcodePrint);
    ASSERT_EQ(printers.pdfFiles().size(), 1);
    const std::string text = pdfText(printers.pdfFiles()[0]);
    EXPECT_NE(text.find("FILTER COFFEE"), std::string::npos) << text;
    EXPECT_NE(text.find("GREEN TEA"), std::string::npos) << text;

    // A refused range prints nothing and says why.
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("start")->setText("14");
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window->runCommand(kBarcodePrint);
    EXPECT_EQ(said(), "Invalid range");
    EXPECT_EQ(printers.pdfFiles().size(), 1);
}

TEST_F(DocumentsUiTest, SummaryBoxPrintsTheDeliveryNoteAndInvoiceAndHandsOnTheMailLink) {
    MailCatcher mail;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
    // A till whose after-sale sequence is the station's own.
    Till sale(*store, ui, panels, sound, *devices);
    ASSERT_TRUE(sale.logOn(1, ""));
    ASSERT_TRUE(sale.addItem(12));
    ASSERT_TRUE(sale.addItem(12));
    const int64_t number = store->config().nextTransaction();
    whenModal([](QWidget* w) {
        button(w, "Delivery note")->click();
        button(w, "&Invoice 1")->click();
        button(w, "Email document")->click();
        button(w, "OK")->click();
    });
    ASSERT_TRUE(sale.cashTender()->exact());
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    const std::string total = formatted("TOTAL: %.2f", todaysSales().back().total);
    const std::string num = std::to_string(number);
    ASSERT_EQ(printers.pdfFiles().size(), 2u);
    const std::string delivery = pdfText(printers.pdfFiles()[0]);
    for (const std::string& s : {std::string("Delivery Note"), "Transaction reference: " + num,
                                 std::string("2 @ 2.49"), total})
        EXPECT_NE(delivery.find(s), std::string::npos) << s << "\n" << delivery;
    const std::string invoice = pdfText(printers.pdfFiles()[1]);
    for (const std::string& s : {std::string("INVOICE"), "Order Number: " + num, total})
        EXPECT_NE(invoice.find(s), std::string::npos) << s << "\n" << invoice;

    // No customer: a message with no recipient, the order and its total.
    ASSERT_EQ(mail.links.size(), 1u);
    const QUrl& link = mail.links[0];
    EXPECT_EQ(link.scheme(), "mailto");
    EXPECT_TRUE(link.path().isEmpty()) << link.toString().toStdString();
    const std::string body = link.toString(QUrl::FullyDecoded).toStdString();
    EXPECT_NE(body.find("Order Confirmation"), std::string::npos) << body;
    EXPECT_NE(body.find("Order reference: " + num), std::string::npos) << body;
    EXPECT_NE(body.find(formatted("Total : %.2f", todaysSales().back().total)), std::string::npos)
        << body;
}

TEST_F(DocumentsUiTest, QuotationFromTheMenuAndTheInvoicesWindowClosedEveryWay) {
    for (int command :
         {kDisplayTransaction, kFindTransaction, kInSpecificDay, kInSpecificMonth, kInSpecificYear,
          kDiscounted, kReprintLast, kProFormaQuotation, kBarcodePrint, kInvoices})
        EXPECT_TRUE(commandEnabled(command, *till, *router)) << command;

    // The quotation prints the basket under the number the sale will take,
    // and the sale goes on.
    ASSERT_TRUE(till->addItem(12));
    const std::string next = std::to_string(store->config().nextTransaction());
    window->runCommand(kProFormaQuotation);
    ASSERT_EQ(printers.pdfFiles().size(), 1u);
    const std::string quote = pdfText(printers.pdfFiles()[0]);
    EXPECT_NE(quote.find("Quotation"), std::string::npos) << quote;
    EXPECT_NE(quote.find("Reference: " + next), std::string::npos) << quote;
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_TRUE(todaysSales().empty());

    // "Store name" typed as 20: kept by OK only.
    struct Close {
        const char* how;
        std::function<void(QWidget*)> close;
        const char* stored;
    } closes[] = {
        {"Cancel",
         [](QWidget* w) {
             w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
         },
         "7"},
        {"Esc", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, "7"},
        {"window", [](QWidget* w) { w->close(); }, "7"},
        {"OK",
         [](QWidget* w) {
             w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
         },
         "20"},
    };
    for (const Close& c : closes) {
        SCOPED_TRACE(c.how);
        whenModal([&c](QWidget* w) {
            w->findChild<QLineEdit*>("Store name")->setText("20");
            c.close(w);
        });
        window->runCommand(kInvoices);
        EXPECT_EQ(InvoiceSettings::load(store->config().record()).lines[0], c.stored);
    }
}

}  // namespace
}  // namespace kassio::test

#include "documents_ui_test.moc"
