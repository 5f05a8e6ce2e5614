#include <gmock/gmock.h>

#include <cstring>

#include "base/fixed_text.h"
#include "devices/device_settings.h"
#include "devices/language_customization.h"
#include "devices/receipt_pages.h"
#include "store/file_io.h"
#include "support/temp_folder.h"

namespace kassio::test {
namespace {

StoreConfigRecord firstRun() {
    StoreConfig c;
    c.setFirstRunDefaults({2026, 12, 6, 9, 5, 0});
    return c.record();
}

TEST(ReceiptsPage, PrinterChoiceByName) {
    const std::vector<PrinterInfo> printers = {{"office", "HP LaserJet"}, {"receipt", "TM-T88V"}};
    StoreConfigRecord cfg = firstRun();
    ReceiptsPage page = ReceiptsPage::load(cfg, printers);
    EXPECT_EQ(page.printer, 0);

    page.printer = 2;
    page.apply(cfg, printers);
    EXPECT_EQ(+cfg.receipt_printer_choice, 2);
    EXPECT_EQ(fieldText(cfg.receipt_printer_name), "receipt");
    EXPECT_EQ(fieldText(cfg.printer_driver_name), "TM-T88V");

    // The list changed order: the stored name decides, not the position.
    EXPECT_EQ(ReceiptsPage::load(cfg, {{"receipt", ""}, {"office", ""}}).printer, 1);
    // The printer is gone: "Default".
    EXPECT_EQ(ReceiptsPage::load(cfg, {{"office", ""}}).printer, 0);

    page.printer = 0;
    page.apply(cfg, printers);
    EXPECT_EQ(+cfg.receipt_printer_choice, 0);
    EXPECT_EQ(fieldText(cfg.receipt_printer_name), "");
    EXPECT_EQ(fieldText(cfg.printer_driver_name), "");
}

TEST(ReceiptsPage, InvertedSwitchesAndFooter) {
    StoreConfigRecord cfg = firstRun();
    ReceiptsPage page = ReceiptsPage::load(cfg, {});
    EXPECT_TRUE(page.singleLineItems);
    EXPECT_TRUE(page.omitPrintConfirm);
    page.singleLineItems = false;
    page.omitPrintConfirm = false;
    page.footer = std::string(300, 'f');
    page.apply(cfg, {});
    EXPECT_EQ(+cfg.settings_b[kSetBReceiptItemStyle], 2);  // 0 when ticked, 2 when not
    EXPECT_EQ(+cfg.options[kOptPrintConfirmation], 1);     // 1 = show the dialog
    EXPECT_EQ(fieldText(cfg.receipt_footer).size(), 252u);
}

TEST(ReceiptsPage, AnUnreadablePrinterListKeepsThePrinter) {
    StoreConfigRecord cfg = firstRun();
    cfg.receipt_printer_choice = 1;
    setFieldText(cfg.receipt_printer_name, "receipt");
    ReceiptsPage page = ReceiptsPage::load(cfg, {});
    page.printerListRead = false;
    page.apply(cfg, {});
    EXPECT_EQ(fieldText(cfg.receipt_printer_name), "receipt");
    EXPECT_EQ(+cfg.receipt_printer_choice, 1);
}

TEST(CustomReceiptPage, LineNumbersBelowFortyOneOnly) {
    StoreConfigRecord cfg = firstRun();
    CustomReceiptPage page = CustomReceiptPage::load(cfg);
    EXPECT_EQ(page.lines[0], "1");
    EXPECT_EQ(page.lines[15], "8");  // clerk
    struct Case {
        int element;
        const char* typed;
        int32_t stored;
    } cases[] = {
        {0, "40", 40}, {1, "41", 2}, {2, "100", 3},  {5, "0", 0},
        {19, "6", 6},  {22, "3", 3}, {27, "12", 12}, {9, "x", 0},
    };
    for (const Case& k : cases) page.lines[k.element] = k.typed;
    page.noteLine = "41";
    page.apply(cfg);
    for (const Case& k : cases) EXPECT_EQ(customLineOf(cfg, k.element), k.stored) << k.element;
    EXPECT_EQ(+cfg.settings_b[kSetBCustomNoteLine], 0);
    // Each element has a slot of its own.
    EXPECT_EQ(+cfg.settings_b[kSetBCustomText1Line], 6);
    EXPECT_EQ(+cfg.settings_b[kSetBCustomPaymentLine], 3);
    EXPECT_EQ(+cfg.settings_b[kSetBCustomAddressLines + 4], 12);
}

TEST(CustomReceiptPage, TextsCutterAndOptions) {
    StoreConfigRecord cfg = firstRun();
    CustomReceiptPage page = CustomReceiptPage::load(cfg);
    EXPECT_TRUE(page.logo);
    page.texts[1] = std::string(60, 't');
    page.cutter = std::string(60, '1');
    page.blankLines = 25;
    page.logo = false;
    page.apply(cfg);
    EXPECT_EQ(fieldText(cfg.custom_receipt_text[1]).size(), 49u);
    EXPECT_EQ(fieldText(cfg.cutter_code).size(), 49u);
    EXPECT_EQ(+cfg.settings_b[kSetBCustomBlankLines], 20);
    EXPECT_EQ(+cfg.settings_b[kSetBCustomOmitLogo], 2);  // the dialog asks "Include logo"
}

TEST(Logo, InstallCopiesOverReceiptBmp) {
    TempFolder dir;
    ASSERT_TRUE(replaceFileAtomically(dir / "chosen.bmp", "BMnew", 5));
    std::recursive_mutex mutex;
    StoreFiles files(dir.path(), mutex);
    EXPECT_TRUE(installLogo(files, dir / "chosen.bmp"));
    EXPECT_EQ(readWholeFile(dir / "receipt.bmp")->size(), 5u);
    Status missing = installLogo(files, dir / "absent.bmp");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.title(), "Logo picture");
}

class LanguageTest : public ::testing::Test {
  protected:
    LanguageTest() {
        std::memset(&cfg, 0, sizeof cfg);
        words.loadBuiltIn(0);
    }
    StoreConfigRecord cfg;
    ReceiptWords words;
};

TEST_F(LanguageTest, ChoosingItalianAndOkKeepsTheLanguageName) {
    LanguageCustomization dialog(cfg, words);
    EXPECT_EQ(dialog.language(), 0);
    dialog.chooseLanguage(1);
    EXPECT_EQ(dialog.builtIn(1), "Ricevimento");
    EXPECT_EQ(dialog.current(35), "Condizioni");
    dialog.apply(cfg, words);
    EXPECT_EQ(+cfg.settings_b[kSetBReceiptLanguage], 1);
    EXPECT_EQ(words.word(0), "English");
    EXPECT_EQ(words.word(3), "Totale");
    EXPECT_EQ(words.word(35), "Condizioni");
    EXPECT_EQ(words.word(36), "");
}

TEST_F(LanguageTest, EditsResetAndCut) {
    cfg.settings_b[kSetBReceiptLanguage] = 2;
    words.loadBuiltIn(2);
    words.setWord(3, "Importe");
    LanguageCustomization dialog(cfg, words);
    EXPECT_EQ(dialog.language(), 2);
    EXPECT_EQ(dialog.builtIn(3), "Total");
    EXPECT_EQ(dialog.current(3), "Importe");  // the current word, not the built-in
    EXPECT_EQ(dialog.builtIn(1), "Recepci\xF3n");

    dialog.edit(10, std::string(100, 'w'));
    EXPECT_EQ(dialog.current(10).size(), 79u);
    dialog.reset();
    EXPECT_EQ(dialog.current(3), "Total");
    EXPECT_EQ(dialog.current(10), "Pago: Efectivo");

    dialog.chooseLanguage(7);  // not a language: nothing changes
    EXPECT_EQ(dialog.language(), 2);
    dialog.edit(16, "Devoluci\xF3n");
    dialog.apply(cfg, words);
    EXPECT_EQ(words.word(16), "Devoluci\xF3n");
    EXPECT_EQ(words.word(0), "Espanol");
}

}  // namespace
}  // namespace kassio::test
