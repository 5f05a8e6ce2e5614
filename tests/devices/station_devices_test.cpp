#include "devices/station_devices.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "device_fakes.h"
#include "devices/device_settings.h"
#include "store/store_fixture.h"
#include "support/scripted_ui.h"

namespace kassio::test {
namespace {

using ::testing::ElementsAre;

class StationDevicesTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        devices = std::make_unique<StationDevices>(*store, ui, deviceUi, printers, ports);
        basket = std::make_unique<Basket>();
        std::memset(basket.get(), 0, sizeof(Basket));
        basket->number = 31;
        basket->clerk = 2;
        basket->line_count = 1;
        basket->item[0] = 1;
        setFieldText(basket->description[0], "TEA BAGS");
        basket->line_total[0] = basket->total = 2.5;
        basket->payment[kPayCash] = 2.5;
        setFieldText(basket->payment_word, "Cash");
        // Documents interleave with device output in one list.
        printers.onDocument = [this] { ports.events.push_back("document"); };
    }
    StoreConfigRecord& cfg() { return store->config().record(); }

    ScriptedUi ui;
    ScriptedDeviceUi deviceUi;
    FakePrinters printers;
    FakePorts ports;
    std::unique_ptr<StationDevices> devices;
    std::unique_ptr<Basket> basket;
};

TEST_F(StationDevicesTest, SummaryBoxPressesTheAutomaticDocumentPerCopy) {
    cfg().settings_b[kSetBAutoPrint] = 1;      // "Till receipt"
    cfg().settings_b[kSetBReceiptCopies] = 1;  // two
    basket->payment[kPayCashBack] = 5;
    deviceUi.extraPresses = {DocumentKind::kCustomReceipt};
    devices->printAfterSale(*basket, 10, 7.5);
    EXPECT_THAT(deviceUi.summaries, ElementsAre("2.50|10.00|7.50|CB: 5.00"));
    ASSERT_EQ(printers.documents.size(), 3u);
    for (const auto& d : printers.documents) EXPECT_EQ(d.name, "KASSIO");
    EXPECT_THAT(printers.documents[0].canvas->texts(), ::testing::Contains("Receipt: 31"));
    EXPECT_THAT(printers.documents[1].canvas->texts(), ::testing::Contains("Cash change: 7.50"));
}

TEST_F(StationDevicesTest, CustomReceiptCopiesEachFollowedByTheCutter) {
    cfg().options[kOptNoSummaryBox] = 1;
    cfg().settings_b[kSetBAutoPrint] = 4;      // "Custom receipt"
    cfg().settings_b[kSetBReceiptCopies] = 2;  // three
    setFieldText(cfg().cutter_code, "27,105");
    cfg().settings_b[kSetBCustomCutterPort] = 1;  // COM2
    devices->printAfterSale(*basket, 2.5, 0);
    EXPECT_TRUE(deviceUi.summaries.empty());
    EXPECT_THAT(ports.events, ElementsAre("document", "open COM2", "write 1B 69", "close COM2",  //
                                          "document", "open COM2", "write 1B 69", "close COM2",  //
                                          "document", "open COM2", "write 1B 69", "close COM2"));

    // A reprint from the transaction viewer sends no cutter codes.
    ports.events.clear();
    devices->reprint(DocumentKind::kCustomReceipt, *basket);
    EXPECT_THAT(ports.events, ElementsAre("document"));
}

TEST_F(StationDevicesTest, DrawerPoleThenDocumentsThenKitchenCopy) {
    cfg().options[kOptOpenDrawerAutomatically] = 1;
    cfg().options[kOptNoSummaryBox] = 1;
    cfg().settings_b[kSetBAutoPrint] = 1;
    cfg().settings_b[kSetBKitchenCopy] = 2;
    cfg().settings_b[kSetBPoleInUse] = 2;
    cfg().receipt_printer_choice = 1;
    setFieldText(cfg().receipt_printer_name, "receipt");
    devices->printAfterSale(*basket, 5, 2.5);

    // The drawer kick went to the receipt printer's queue first.
    ASSERT_EQ(printers.raw.size(), 1u);
    EXPECT_EQ(printers.raw[0].queue, "receipt");
    ASSERT_GE(ports.events.size(), 4u);
    EXPECT_EQ(ports.events[0], "open COM1");  // the pole
    EXPECT_EQ(ports.events.back(), "document");
    ASSERT_EQ(printers.opened.size(), 2u);
    EXPECT_EQ(printers.opened[0].target, Printers::Target::kNamed);
    EXPECT_EQ(printers.opened[0].name, "receipt");
    EXPECT_EQ(printers.opened[1].target, Printers::Target::kDefaultSilent);
}

TEST_F(StationDevicesTest, PrinterRoutes) {
    struct Case {
        bool receiptPrinter;
        bool confirm;  // "Omit print confirm" off
        int route;     // 0 document, 1 refund receipt
        Printers::Target target;
    } cases[] = {
        {false, false, 0, Printers::Target::kDefaultSilent},
        {false, true, 0, Printers::Target::kDialog},
        {true, true, 0, Printers::Target::kNamed},
        {false, false, 1, Printers::Target::kDialog},  // a refund always asks
        {true, false, 1, Printers::Target::kNamed},
    };
    for (const Case& k : cases) {
        printers.opened.clear();
        cfg().receipt_printer_choice = k.receiptPrinter ? 1 : 0;
        setFieldText(cfg().receipt_printer_name, k.receiptPrinter ? "receipt" : "");
        cfg().options[kOptPrintConfirmation] = k.confirm ? 1 : 0;
        if (k.route == 0)
            devices->printDocument(DocumentKind::kStandardReceipt, *basket, 2.5, 0);
        else
            devices->printRefundReceipt(*basket);
        ASSERT_EQ(printers.opened.size(), 1u);
        EXPECT_EQ(printers.opened[0].target, k.target);
    }
}

TEST_F(StationDevicesTest, DialogCopiesCancelRefusalAndRelease) {
    cfg().options[kOptPrintConfirmation] = 1;
    printers.dialogCopies = 3;
    devices->printDocument(DocumentKind::kStandardReceipt, *basket, 2.5, 0);
    EXPECT_EQ(printers.documents.size(), 3u);

    printers.documents.clear();
    printers.cancelDialog = true;
    devices->printDocument(DocumentKind::kStandardReceipt, *basket, 2.5, 0);
    EXPECT_TRUE(printers.documents.empty());
    EXPECT_TRUE(ui.shown.empty());

    printers.cancelDialog = false;
    printers.refuseDocuments = true;  // every copy is tried, none printed, no message
    printers.releaseFails = true;
    ports.events.clear();
    devices->printDocument(DocumentKind::kStandardReceipt, *basket, 2.5, 0);
    EXPECT_EQ(ports.events.size(), 3u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to release printer");
    EXPECT_EQ(ui.shown[0].title, "Problem");
}

TEST_F(StationDevicesTest, InvoicesNeedTheirDrawerAndGetPagesAsAsked) {
    devices->printDocument(DocumentKind::kInvoice1, *basket, 2.5, 0);
    EXPECT_TRUE(printers.opened.empty());
    std::vector<int> drawn;
    devices->setInvoiceDrawer([&](Canvas&, DocumentKind, const ReceiptData&, int page) {
        drawn.push_back(page);
        return 3;
    });
    cfg().receipt_printer_choice = 1;  // invoices never go to the receipt printer
    setFieldText(cfg().receipt_printer_name, "receipt");
    devices->printDocument(DocumentKind::kDeliveryNote, *basket, 2.5, 0);
    EXPECT_THAT(drawn, ElementsAre(1, 2, 3));
    ASSERT_EQ(printers.documents.size(), 1u);
    EXPECT_EQ(printers.documents[0].pages, 3);
    EXPECT_EQ(printers.opened[0].target, Printers::Target::kDefaultSilent);
}

// Without a printer to take them, documents become PDF files in the
// DataFolder; the reason is told once per run, the file every time.
TEST_F(StationDevicesTest, DocumentsWithoutAPrinterGoToPdf) {
    struct Case {
        const char* what;
        bool serverDown;
        bool printersInstalled;
        const char* receiptPrinter;  // stored name, "" for "Default"
        bool confirm;
        const char* reason;  // start of the first message; nullptr: printed on paper
    } cases[] = {
        {"cups down", true, true, "", false, "The CUPS printing service is not running"},
        {"no queue", false, false, "", false, "CUPS has no printer set up"},
        {"queue gone", false, true, "kitchen", false, "The receipt printer \"kitchen\""},
        {"dialog, no queue", false, false, "", true, "CUPS has no printer set up"},
        {"PDF chosen", false, true, kPdfPrinterName, false, ""},
        {"printer ready", false, true, "receipt", false, nullptr},
    };
    const std::string pdf = store->pathOf("pdf/receipt-31.pdf");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        devices = std::make_unique<StationDevices>(*store, ui, deviceUi, printers, ports);
        printers.opened.clear();
        ui.shown.clear();
        printers.serverDown = k.serverDown;
        if (!k.printersInstalled) printers.installed.clear();
        cfg().receipt_printer_choice = *k.receiptPrinter ? 1 : 0;
        setFieldText(cfg().receipt_printer_name, k.receiptPrinter);
        cfg().options[kOptPrintConfirmation] = k.confirm ? 1 : 0;
        for (int run = 0; run < 2; ++run)
            devices->printDocument(DocumentKind::kStandardReceipt, *basket, 2.5, 0);
        printers.installed = {{"receipt", "Receipt printer"}};
        if (!k.reason) {
            EXPECT_EQ(printers.opened[0].target, Printers::Target::kNamed);
            EXPECT_TRUE(ui.shown.empty());
            continue;
        }
        ASSERT_EQ(printers.opened.size(), 2u);
        EXPECT_EQ(printers.opened[0].target, Printers::Target::kPdfFile);
        EXPECT_EQ(printers.opened[0].name, pdf);
        EXPECT_TRUE(std::filesystem::is_directory(store->pathOf("pdf")));
        ASSERT_EQ(ui.shown.size(), 2u);
        if (*k.reason) {
            EXPECT_EQ(ui.shown[0].text.rfind(k.reason, 0), 0u) << ui.shown[0].text;
            EXPECT_THAT(ui.shown[0].text, ::testing::HasSubstr("This one is " + pdf));
        } else {
            EXPECT_EQ(ui.shown[0].text, "Saved as PDF: " + pdf);
        }
        EXPECT_EQ(ui.shown[1].text, "Saved as PDF: " + pdf);
    }
}

TEST_F(StationDevicesTest, PoleOnlyWhenInUse) {
    devices->poleShowPassiveText();
    devices->poleShowItem(*basket);
    EXPECT_TRUE(ports.events.empty());
    cfg().settings_b[kSetBPoleInUse] = 2;
    devices->poleShowItem(*basket);
    EXPECT_THAT(ports.events,
                ::testing::Contains("write 00 54 45 41 20 42 41 47 53 20 32 2E 35 30"));
}

TEST_F(StationDevicesTest, SettingsAndLanguageAreStoredOnDisk) {
    PolePage page = PolePage::load(cfg());
    page.port = 4;
    page.passiveText = "HELLO";
    EXPECT_TRUE(devices->previewPole(page));
    EXPECT_EQ(ports.events.front(), "open COM5");

    LanguageCustomization dialog(cfg(), store->words());
    dialog.chooseLanguage(3);
    dialog.edit(1, "Bon");
    EXPECT_TRUE(devices->applyLanguage(dialog));

    open();  // a new run reads kq.cfg and language.ini
    EXPECT_EQ(poleText(cfg(), PoleText::kPassive), "HELLO");
    EXPECT_EQ(+cfg().settings_b[kSetBReceiptLanguage], 3);
    EXPECT_EQ(store->words().word(1), "Bon");
    EXPECT_EQ(store->words().word(2), "Subtotaal");
    EXPECT_EQ(store->words().word(0), "English");
}

TEST_F(StationDevicesTest, CardSaleThroughThePort) {
    setFieldText(cfg().card_exchange_folder, data + "/nowhere");
    CardResult r = devices->cardSaleExchange(*basket, basket->total);
    EXPECT_FALSE(r.approved);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to create EVT file");
}

}  // namespace
}  // namespace kassio::test
