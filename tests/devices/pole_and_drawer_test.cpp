#include <gmock/gmock.h>

#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "device_fakes.h"
#include "devices/code_sequence.h"
#include "devices/device_settings.h"
#include "devices/pole_display.h"
#include "devices/till_drawer.h"
#include "support/scripted_ui.h"

namespace kassio::test {
namespace {

using ::testing::ElementsAre;

TEST(CodeSequence, Conversion) {
    struct Case {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"27,112,0,25,250", "1B 70 00 19 FA"},
        {"27,112,48,55, 121", "1B 70 30 37 79"},
        {"256", "00"},
        {"-1", "FF"},
        {"abc", "00"},
        {"", "00"},
        {"27,", "1B 00"},
        {",", "00 00"},
        {"7x,+8", "07 08"},
        // Only the first 32 characters count: the 33rd ("9") is cut off.
        {"1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,129", "01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 0C"},
    };
    for (const Case& k : cases) EXPECT_EQ(hexBytes(codeSequenceBytes(k.text)), k.bytes) << k.text;
}

TEST(PoleLine, ListPositions) {
    StoreConfigRecord cfg;
    std::memset(&cfg, 0, sizeof cfg);
    EXPECT_EQ(poleLine(cfg),
              (SerialLine{9600, 8, SerialLine::Parity::kNone, SerialLine::StopBits::kOne}));
    const int bauds[13] = {9600,  300,   600,   1200,   2400,   4800,  14400,
                           19200, 38400, 57600, 115200, 128000, 256000};
    for (int i = 0; i < 13; ++i) {
        cfg.settings_b[kSetBPoleBaud] = i;
        EXPECT_EQ(poleLine(cfg).baud, bauds[i]) << i;
    }
    cfg.settings_b[kSetBPoleDataBits] = 4;
    cfg.settings_b[kSetBPoleParity] = 2;
    cfg.settings_b[kSetBPoleStopBits] = 1;
    SerialLine line = poleLine(cfg);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.parity, SerialLine::Parity::kOdd);
    EXPECT_EQ(line.stopBits, SerialLine::StopBits::kOneAndHalf);
    cfg.settings_b[kSetBPoleBaud] = 13;  // damaged: read as position 0
    EXPECT_EQ(poleLine(cfg).baud, 9600);
}

class PoleTest : public ::testing::Test {
  protected:
    PoleTest() : basket(std::make_unique<Basket>()) {
        std::memset(&cfg, 0, sizeof cfg);
        std::memset(basket.get(), 0, sizeof(Basket));
        cfg.settings_b[kSetBPoleInUse] = 2;
        cfg.settings_b[kSetBPolePort] = 2;  // COM3
        setPoleText(cfg, PoleText::kClear, "27,64");
        setPoleText(cfg, PoleText::kFirstLine, "11");
        setPoleText(cfg, PoleText::kSecondLine, "11,10");
        setPoleText(cfg, PoleText::kPassive, "WELCOME");
    }
    void item(const char* description, double price) {
        int i = basket->line_count++;
        setFieldText(basket->description[i], description);
        basket->line_total[i] = price;
    }

    StoreConfigRecord cfg;
    std::unique_ptr<Basket> basket;
    FakePorts ports;
    ScriptedUi ui;
    PoleDisplay pole{ports, ui};
};

TEST_F(PoleTest, ItemText) {
    struct Case {
        const char* description;
        double price;
        const char* text;
    } cases[] = {
        {"Milk", 0.89, "Milk 0.89"},
        {"Twelve chars", 1.5, "Twelve chars 1.50"},
        {"Chocolate bar", 1.20, "Chocolate ba  1.20"},
        {"Television set", 12345678.9, "Television s  12345678"},  // price cut to 10
    };
    for (const Case& k : cases) {
        basket->line_count = 0;
        item("first", 1);
        item(k.description, k.price);
        EXPECT_EQ(poleItemText(*basket), k.text);
    }
}

TEST_F(PoleTest, MessagesByteForByte) {
    item("Milk", 0.89);
    pole.showPassiveText(cfg);
    pole.showItem(cfg, *basket);
    pole.showTotal(cfg, 12.5);
    pole.showTenderAndChange(cfg, 20, 7.5);
    EXPECT_THAT(
        ports.events,
        ElementsAre("open COM3", "line 9600", "write 1B 40 0B 57 45 4C 43 4F 4D 45", "close COM3",
                    "open COM3", "line 9600", "write 1B 40 0B 4D 69 6C 6B 20 30 2E 38 39",
                    "close COM3", "open COM3", "line 9600",
                    "write 1B 40 0B 54 6F 74 61 6C 3A 20 31 32 2E 35 30", "close COM3", "open COM3",
                    "line 9600", "write 1B 40 0B 54 65 6E 64 65 72 3A 20 32 30 2E 30 30",
                    "write 0B 0A 43 68 61 6E 67 65 3A 20 37 2E 35 30", "close COM3"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PoleTest, EmptySequencesStillSendTheirZeroByte) {
    setPoleText(cfg, PoleText::kClear, "");
    setPoleText(cfg, PoleText::kFirstLine, "");
    setPoleText(cfg, PoleText::kSecondLine, "");
    setPoleText(cfg, PoleText::kPassive, "");
    pole.showPassiveText(cfg);
    pole.showTenderAndChange(cfg, 1, 0);
    EXPECT_THAT(ports.events,
                ElementsAre("open COM3", "line 9600", "write 00", "close COM3", "open COM3",
                            "line 9600", "write 00 54 65 6E 64 65 72 3A 20 31 2E 30 30",
                            "write 00 43 68 61 6E 67 65 3A 20 30 2E 30 30", "close COM3"));
}

TEST_F(PoleTest, PrinterSwitchWrapsEachMessage) {
    setPoleText(cfg, PoleText::kPrinterOff, "27,61,2");
    setPoleText(cfg, PoleText::kPrinterOn, "27,61,1");
    setPoleText(cfg, PoleText::kPassive, "");
    cfg.settings_b[kSetBPoleBaud] = 3;
    pole.showPassiveText(cfg);
    EXPECT_THAT(ports.events,
                ElementsAre("open COM3", "line 1200", "write 1B 3D 02", "close COM3", "open COM3",
                            "line 1200", "write 1B 40 0B", "close COM3", "open COM3", "line 1200",
                            "write 1B 3D 01", "close COM3"));
}

TEST_F(PoleTest, FailuresAndTheirTitles) {
    setPoleText(cfg, PoleText::kPrinterOn, "1");
    struct Case {
        bool refuse;
        bool failWrites;
        void (*show)(PoleDisplay&, StoreConfigRecord&, Basket&);
        std::vector<std::string> messages;  // "title: text"
    } cases[] = {
        {true,
         false,
         [](PoleDisplay& p, StoreConfigRecord& c, Basket&) { p.showPassiveText(c); },
         {"Problem: Unable to open port", "Pole display: Unable to open port"}},
        {true,
         false,
         [](PoleDisplay& p, StoreConfigRecord& c, Basket&) { p.showTotal(c, 1); },
         {"Problem: Unable to open port", "Problem: Unable to open port"}},
        {false,
         true,
         [](PoleDisplay& p, StoreConfigRecord& c, Basket&) { p.showTotal(c, 1); },
         {"Problem: Unable write to port", "Problem: Unable write to port"}},
    };
    for (const Case& k : cases) {
        FakePorts p;
        ScriptedUi u;
        if (k.refuse) p.refuseOpen = {2};
        p.writesFail = k.failWrites;
        PoleDisplay display(p, u);
        k.show(display, cfg, *basket);
        std::vector<std::string> shown;
        for (const auto& m : u.shown) shown.push_back(m.title + ": " + m.text);
        // The printer is switched back on (its own failure first) before the
        // message's failure is shown.
        EXPECT_EQ(shown, k.messages);
    }
}

TEST_F(PoleTest, OnlyTheSecondTenderWriteDecides) {
    struct Case {
        std::vector<int> failing;
        std::size_t messages;
    } cases[] = {{{0}, 0}, {{1}, 1}, {{0, 1}, 1}};
    for (const Case& k : cases) {
        FakePorts p;
        ScriptedUi u;
        p.failWrites = k.failing;
        PoleDisplay(p, u).showTenderAndChange(cfg, 1, 0);
        EXPECT_EQ(u.shown.size(), k.messages);
    }
}

TEST_F(PoleTest, PreviewSetsTheLineOnlyOnTheFirstOpen) {
    setPoleText(cfg, PoleText::kPrinterOff, "2");
    pole.preview(cfg);
    EXPECT_THAT(ports.events,
                ElementsAre("open COM3", "line 9600", "close COM3",              // check
                            "open COM3", "line 9600", "write 02", "close COM3",  // printer off
                            "open COM3", "write 1B 40 0B 57 45 4C 43 4F 4D 45", "close COM3"));
    FakePorts refusing;
    refusing.refuseOpen = {2};
    ScriptedUi u;
    PoleDisplay(refusing, u).preview(cfg);
    ASSERT_EQ(u.shown.size(), 1u);
    EXPECT_EQ(u.shown[0].title, "Problem");
    EXPECT_EQ(u.shown[0].text, "Unable to open port");
}

TEST(PolePage, TextsKeepThirtyOneCharacters) {
    StoreConfigRecord cfg;
    std::memset(&cfg, 0, sizeof cfg);
    PolePage page = PolePage::load(cfg);
    page.passiveText = std::string(40, 'p');
    page.baud = 12;
    page.apply(cfg);
    EXPECT_EQ(poleText(cfg, PoleText::kPassive), std::string(31, 'p'));
    EXPECT_EQ(PolePage::load(cfg).baud, 12);
}

class DrawerTest : public ::testing::Test {
  protected:
    DrawerTest() {
        std::memset(&cfg, 0, sizeof cfg);
        setFieldText(cfg.receipt_printer_name, "receipt");
    }
    StoreConfigRecord cfg;
    FakePrinters printers;
    FakePorts ports;
    ScriptedUi ui;
    TillDrawer drawer{printers, ports, ui};
};

TEST_F(DrawerTest, DirectConnect) {
    cfg.settings_b[kSetBDrawerConnection] = 0;
    cfg.options[kOptDrawerPort] = 8;  // LPT1
    cfg.options[kOptDrawerCharacter] = 7;
    cfg.options[kOptDrawerRepeat] = 3;
    drawer.open(cfg);
    EXPECT_THAT(ports.events, ElementsAre("open LPT1", "write 07 07 07", "close LPT1"));

    ports.events.clear();
    cfg.options[kOptDrawerRepeat] = 0;  // first-run value: the port opens, nothing is written
    drawer.open(cfg);
    EXPECT_THAT(ports.events, ElementsAre("open LPT1", "close LPT1"));
    EXPECT_TRUE(printers.raw.empty());

    ports.refuseOpen = {8};
    drawer.open(cfg);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to open port");
    EXPECT_EQ(ui.shown[0].title, "Till drawer");
}

TEST_F(DrawerTest, ThroughTheReceiptPrinter) {
    cfg.settings_b[kSetBDrawerConnection] = 2;
    setFieldText(cfg.drawer_code, "27,112,48,55, 121");
    drawer.open(cfg);
    ASSERT_EQ(printers.raw.size(), 1u);
    EXPECT_EQ(printers.raw[0].queue, "receipt");
    EXPECT_EQ(printers.raw[0].document, "KASSIO");
    EXPECT_EQ(hexBytes(printers.raw[0].bytes), "1B 70 30 37 79");
    EXPECT_TRUE(ports.events.empty());

    printers.rawAnswer = Printers::RawResult::kFailed;  // later spooler steps: silent
    drawer.open(cfg);
    EXPECT_TRUE(ui.shown.empty());
    printers.rawAnswer = Printers::RawResult::kCannotOpen;
    drawer.open(cfg);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to open printer for till drawer");
    EXPECT_EQ(ui.shown[0].title, "Problem");

    setFieldText(cfg.drawer_code, "");  // empty sequence: nothing opened, nothing sent
    printers.raw.clear();
    drawer.open(cfg);
    EXPECT_TRUE(printers.raw.empty());
}

TEST_F(DrawerTest, Cutter) {
    cfg.settings_b[kSetBCustomCutterPort] = 9;  // LPT2
    drawer.sendCutterCodes(cfg);
    EXPECT_TRUE(ports.events.empty());
    setFieldText(cfg.cutter_code, "27,112,0,75,250");
    drawer.sendCutterCodes(cfg);
    EXPECT_THAT(ports.events, ElementsAre("open LPT2", "write 1B 70 00 4B FA", "close LPT2"));
    ports.writesFail = true;
    drawer.sendCutterCodes(cfg);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable write to port");
}

TEST(TillConfigPage, ValidatesTypedNumbers) {
    StoreConfigRecord cfg;
    std::memset(&cfg, 0, sizeof cfg);
    cfg.options[kOptDrawerCharacter] = 7;
    cfg.options[kOptDrawerRepeat] = 2;
    struct Case {
        const char* character;
        const char* repeat;
        int64_t storedCharacter, storedRepeat;
    } cases[] = {
        {"0", "1", 0, 1},     {"255", "10", 255, 10}, {"256", "11", 255, 10},
        {"-1", "0", 255, 10}, {"abc", "", 255, 10},   {"27", "3", 27, 3},
    };
    for (const Case& k : cases) {
        TillConfigPage page = TillConfigPage::load(cfg);
        page.openCharacter = k.character;
        page.repeat = k.repeat;
        page.apply(cfg);
        EXPECT_EQ(+cfg.options[kOptDrawerCharacter], k.storedCharacter) << k.character;
        EXPECT_EQ(+cfg.options[kOptDrawerRepeat], k.storedRepeat) << k.repeat;
    }
    TillConfigPage page = TillConfigPage::load(cfg);
    page.controlSequence = "27,112,0,25,250,27,112,0,25,250,99";  // 34 characters
    page.printerConnect = false;
    page.openAutomatically = true;
    page.apply(cfg);
    EXPECT_EQ(fieldText(cfg.drawer_code), "27,112,0,25,250,27,112,0,25,250");
    EXPECT_EQ(+cfg.settings_b[kSetBDrawerConnection], 0);
    EXPECT_EQ(+cfg.options[kOptOpenDrawerAutomatically], 1);
    EXPECT_STREQ(kPrinterModelCodes[3], "Epson TM T88 IV: 27,112,48,55,121");
}

}  // namespace
}  // namespace kassio::test
