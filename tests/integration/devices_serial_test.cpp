// The serial adapter on a real pty pair: socat links ttyA (where devices.cfg
// points COM3 and LPT1) to ttyB, where the test reads what the display or
// drawer would receive. Ptys keep the line settings, so they are read back.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/fixed_text.h"
#include "device_fakes.h"
#include "devices/device_settings.h"
#include "devices/pole_display.h"
#include "devices/till_drawer.h"
#include "platform/posix/serial_device_port.h"
#include "platform/posix/serial_speed.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace kassio::test {
namespace {

class PtyPairTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access("/usr/bin/socat", X_OK) != 0) GTEST_SKIP() << "socat is not installed";
        m_socat = ::fork();
        if (m_socat == 0) {
            std::string a = "pty,raw,echo=0,link=" + dir / "ttyA";
            std::string b = "pty,raw,echo=0,link=" + dir / "ttyB";
            ::execl("/usr/bin/socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!(std::filesystem::exists(dir / "ttyA") && std::filesystem::exists(dir / "ttyB"))) {
            ASSERT_LT(std::chrono::steady_clock::now(), until) << "socat made no ptys";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_b = ::open((dir / "ttyB").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(m_b, 0);
        termios t{};
        ::tcgetattr(m_b, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_b, TCSANOW, &t);
        // Held open so that the settings of ttyA can be read after the
        // adapter has closed it.
        m_a = ::open((dir / "ttyA").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(m_a, 0);
        std::ofstream(dir / "devices.cfg") << "# test ports\nCOM3=" << dir / "ttyA"
                                           << "\n lpt1 = " << dir / "ttyA"
                                           << "\n";
        std::memset(&cfg, 0, sizeof cfg);
        cfg.settings_b[kSetBPoleInUse] = 2;
        cfg.settings_b[kSetBPolePort] = 2;
    }
    void TearDown() override {
        if (m_a >= 0) ::close(m_a);
        if (m_b >= 0) ::close(m_b);
        if (m_socat > 0) {
            ::kill(m_socat, SIGTERM);
            ::waitpid(m_socat, nullptr, 0);
        }
    }

    // What arrived at ttyB, waiting up to a second for `count` bytes.
    std::string received(std::size_t count) {
        std::vector<uint8_t> got;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (got.size() < count && std::chrono::steady_clock::now() < until) {
            pollfd p{m_b, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            uint8_t buf[256];
            ssize_t n = ::read(m_b, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        // Anything more than expected shows up too.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        uint8_t buf[256];
        for (ssize_t n; (n = ::read(m_b, buf, sizeof buf)) > 0;)
            got.insert(got.end(), buf, buf + n);
        return hexBytes(got);
    }

    termios settingsOfA() {
        termios t{};
        ::tcgetattr(m_a, &t);
        return t;
    }

    TempFolder dir;
    StoreConfigRecord cfg;
    ScriptedUi ui;
    int m_a = -1, m_b = -1;

  private:
    pid_t m_socat = -1;
};

TEST_F(PtyPairTest, PoleMessagesAndLineSettings) {
    SerialDevicePort ports(dir.path());
    PoleDisplay pole(ports, ui);
    cfg.settings_b[kSetBPoleBaud] = 4;      // 2400
    cfg.settings_b[kSetBPoleStopBits] = 2;  // 2
    setPoleText(cfg, PoleText::kFirstLine, "11");
    setPoleText(cfg, PoleText::kSecondLine, "11,10");
    setPoleText(cfg, PoleText::kPassive, "OPEN");

    pole.showPassiveText(cfg);
    EXPECT_EQ(received(6), "00 0B 4F 50 45 4E");  // empty clear: one 00 byte

    auto basket = std::make_unique<Basket>();
    std::memset(basket.get(), 0, sizeof(Basket));
    basket->line_count = 1;
    setFieldText(basket->description[0], "Chocolate bar");
    basket->line_total[0] = 1.20;
    pole.showItem(cfg, *basket);
    // "Chocolate ba" + "  1.20"
    EXPECT_EQ(received(20), "00 0B 43 68 6F 63 6F 6C 61 74 65 20 62 61 20 20 31 2E 32 30");

    pole.showTenderAndChange(cfg, 20, 18.8);
    EXPECT_EQ(received(30),
              "00 0B 54 65 6E 64 65 72 3A 20 32 30 2E 30 30 "
              "0B 0A 43 68 61 6E 67 65 3A 20 31 38 2E 38 30");
    EXPECT_TRUE(ui.shown.empty());

    // A pty keeps the speed, stop bits and modes; it always reads back 8
    // data bits without parity (those are checked on applyLine below).
    termios t = settingsOfA();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B2400));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | IXANY | INPCK | PARMRK));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
}

TEST_F(PtyPairTest, EveryBaudPosition) {
    SerialDevicePort ports(dir.path());
    PoleDisplay pole(ports, ui);
    const int bauds[13] = {9600,  300,   600,   1200,   2400,   4800,  14400,
                           19200, 38400, 57600, 115200, 128000, 256000};
    for (int position = 0; position < 13; ++position) {
        cfg.settings_b[kSetBPoleBaud] = position;
        pole.showPassiveText(cfg);
        EXPECT_EQ(received(1), "00");
        EXPECT_EQ(readSpeed(m_a), bauds[position]) << "position " << position;
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PtyPairTest, ALineTheDeviceRefusesIsReported) {
    SerialDevicePort ports(dir.path());
    cfg.settings_b[kSetBPoleDataBits] = 1;  // 4 data bits exist on no Linux port
    PoleDisplay(ports, ui).showPassiveText(cfg);
    EXPECT_EQ(received(1), "");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to open port");
    EXPECT_EQ(ui.shown[0].title, "Pole display");
}

TEST(SerialLineFlags, DataBitsParityAndStopBits) {
    struct Case {
        SerialLine line;
        tcflag_t size;
        bool parity, odd, cstopb;
    } cases[] = {
        {{9600, 8, SerialLine::Parity::kNone, SerialLine::StopBits::kOne},
         CS8,
         false,
         false,
         false},
        {{9600, 7, SerialLine::Parity::kEven, SerialLine::StopBits::kTwo}, CS7, true, false, true},
        {{9600, 6, SerialLine::Parity::kOdd, SerialLine::StopBits::kOne}, CS6, true, true, false},
        {{9600, 5, SerialLine::Parity::kNone, SerialLine::StopBits::kOneAndHalf},
         CS5,
         false,
         false,
         true},
    };
    for (const Case& k : cases) {
        termios t{};
        t.c_cflag = CRTSCTS | CS8 | PARODD;
        t.c_iflag = IXON | IXOFF | INPCK | ICRNL;
        t.c_lflag = ICANON | ECHO;
        ASSERT_TRUE(applyLine(t, k.line));
        EXPECT_EQ(t.c_cflag & CSIZE, k.size);
        EXPECT_EQ((t.c_cflag & PARENB) != 0, k.parity);
        EXPECT_EQ((t.c_cflag & PARODD) != 0, k.odd);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, k.cstopb);
        EXPECT_FALSE(t.c_cflag & CRTSCTS);
        EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | INPCK | ICRNL));
        EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
        EXPECT_TRUE(t.c_cflag & (CLOCAL | CREAD));
    }
    termios t{};
    EXPECT_FALSE(applyLine(t, {9600, 4, SerialLine::Parity::kNone, SerialLine::StopBits::kOne}));
}

TEST_F(PtyPairTest, DirectDrawerAndExclusiveOpen) {
    SerialDevicePort ports(dir.path());
    FakePrinters printers;
    cfg.settings_b[kSetBDrawerConnection] = 0;
    cfg.options[kOptDrawerPort] = 8;  // LPT1, pointed at ttyA
    cfg.options[kOptDrawerCharacter] = 7;
    cfg.options[kOptDrawerRepeat] = 3;
    TillDrawer(printers, ports, ui).open(cfg);
    EXPECT_EQ(received(3), "07 07 07");

    // While one operation holds the port, another cannot open it.
    auto held = ports.open(8);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(ports.open(2), nullptr);  // COM3 is the same device
    TillDrawer(printers, ports, ui).open(cfg);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Till drawer");
    held.reset();
    EXPECT_NE(ports.open(2), nullptr);
}

TEST_F(PtyPairTest, AWriteNobodyTakesGivesUp) {
    SerialDevicePort ports(dir.path(), 300);
    auto port = ports.open(2);
    ASSERT_NE(port, nullptr);
    std::vector<uint8_t> lots(4 << 20, 'x');  // more than the ptys and socat buffer
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port->write(lots.data(), lots.size()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(DevicePaths, DefaultsAndOverrides) {
    TempFolder dir;
    EXPECT_EQ(devicePathOf(dir.path(), 0), "/dev/ttyS0");
    EXPECT_EQ(devicePathOf(dir.path(), 7), "/dev/ttyS7");
    EXPECT_EQ(devicePathOf(dir.path(), 8), "/dev/lp0");
    EXPECT_EQ(devicePathOf(dir.path(), 9), "/dev/lp1");
    EXPECT_EQ(devicePathOf(dir.path(), 10), "");
    std::ofstream(dir / "devices.cfg")
        << "COM1=/dev/ttyUSB0\n#COM2=/dev/nope\nLPT2 = /dev/usb/lp0\n";
    EXPECT_EQ(devicePathOf(dir.path(), 0), "/dev/ttyUSB0");
    EXPECT_EQ(devicePathOf(dir.path(), 1), "/dev/ttyS1");
    EXPECT_EQ(devicePathOf(dir.path(), 9), "/dev/usb/lp0");
    SerialDevicePort ports(dir.path());
    EXPECT_EQ(ports.open(9), nullptr);  // an existing device only
}

}  // namespace
}  // namespace kassio::test
