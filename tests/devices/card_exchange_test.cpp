#include "devices/card_exchange.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/fixed_text.h"
#include "device_fakes.h"
#include "devices/device_settings.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace kassio::test {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path + ".tmp", std::ios::binary) << text;
    std::filesystem::rename(path + ".tmp", path);
}

// The card-payment program: waits for a whole request, keeps it, answers
// once. Gives up after ten seconds so a broken test cannot hang.
class FakeCardProgram {
  public:
    FakeCardProgram(std::string folder, std::string response)
        : m_folder(std::move(folder)),
          m_response(std::move(response)),
          m_thread([this] { run(); }) {}
    ~FakeCardProgram() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    // The request it answered, once it has answered.
    std::string request() {
        if (m_thread.joinable()) m_thread.join();
        return m_request;
    }

  private:
    void run() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_stop && std::chrono::steady_clock::now() < until) {
            std::string in = readFile(m_folder + "/input.txt");
            if (in.size() >= 4 && in.compare(in.size() - 4, 4, "99=0") == 0) {
                m_request = in;
                std::filesystem::remove(m_folder + "/input.txt");
                writeFile(m_folder + "/output.txt", m_response);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::string m_folder;
    std::string m_response;
    std::string m_request;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST(CardRequest, TextsByteForByte) {
    EXPECT_EQ(cardSaleRequest(57, 12.50, false), "1=57\n2=0\n3=12.50\n99=0");
    EXPECT_EQ(cardSaleRequest(57, 12.50, true), "1=57\n2=0\n3=12.50\n12=1\n99=0");
    EXPECT_EQ(cardCashBackRequest(57, 30, 20), "1=57\n2=9\n3=30.00\n4=20.00\n99=0");
    EXPECT_EQ(cardRefundRequest(8, 3.2, false), "1=8\n2=20\n3=3.20\n99=0");
    EXPECT_EQ(cardRefundRequest(8, 3.2, true), "1=8\n2=20\n3=3.20\n12=1\n99=0");
    EXPECT_EQ(cardCompletionRequest("R1", "4111", "0927", "A9"),
              "1=R1\n2=3\n5=4111\n6=0927\n13=A9\n99=0");
}

TEST(CardResponse, ResultPairAndCode) {
    struct Case {
        std::string response;
        std::optional<int> code;
        std::string digits;
    } cases[] = {
        {"1=57\n3=00", 0, "00"},
        {"13=5\n3=4", 4, "4"},  // the 3= inside 13= does not count
        {"3=", 0, ""},
        {"3=7\r\n", 7, "7"},
        {"3=16\n99=0", 16, "16"},
        {"3=4A", 4, "4A"},  // the second character is taken, the number stops
        {"3=-1", -1, "-1"},
        {"x3=5", std::nullopt, ""},
        {"1=57\n", std::nullopt, ""},
        {std::string(1999, ' ') + "3=0", std::nullopt, ""},  // past the buffer
        {std::string(1996, ' ') + "3=0", 0, "0"},
    };
    for (const Case& k : cases) {
        auto parsed = parseCardResponse(k.response);
        ASSERT_EQ(parsed.has_value(), k.code.has_value()) << k.response.substr(0, 20);
        if (!parsed) continue;
        EXPECT_EQ(parsed->code, *k.code) << k.response;
        EXPECT_EQ(parsed->digits, k.digits) << k.response;
    }
}

class CardExchangeTest : public ::testing::Test {
  protected:
    CardExchangeTest() {
        std::memset(&cfg, 0, sizeof cfg);
        setFieldText(cfg.card_exchange_folder, folder.path());
        cfg.money[kMoneyCardTerminalMode] = 2.0;
        deviceUi.abandonAfter = 400;  // a test that goes wrong ends within seconds
    }

    std::string messages() const {
        std::string out;
        for (const auto& m : ui.shown) out += m.title + ": " + m.text + "\n";
        return out;
    }

    TempFolder folder;
    StoreConfigRecord cfg;
    ScriptedUi ui;
    ScriptedDeviceUi deviceUi;
    CardTerminal terminal{ui, deviceUi};
};

TEST_F(CardExchangeTest, SaleApprovedAndDeclined) {
    cfg.money[kMoneyCardShowApproval] = 2.0;
    {
        FakeCardProgram program(folder.path(), "1=57\n3=00");
        auto r = terminal.sale(cfg, 57, 12.50);
        EXPECT_TRUE(r.approved);
        EXPECT_EQ(program.request(), "1=57\n2=0\n3=12.50\n99=0");
    }
    EXPECT_EQ(deviceUi.paymentBoxes, 0);  // no option asks for the box
    {
        FakeCardProgram program(folder.path(), "13=5\n3=4");
        EXPECT_FALSE(terminal.sale(cfg, 58, 3.00).approved);
    }
    EXPECT_EQ(messages(), "Authorized: Approved online\nNot authorized: Declined Online\n");
}

TEST_F(CardExchangeTest, EveryResultCodeAnsweredByTheCardProgram) {
    cfg.money[kMoneyCardShowApproval] = 2.0;
    const int codes[] = {0,  1,  2,  3,  4,  5,  9,  16, 19, 20, 21, 22, 23, 24,
                         25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38,
                         42, 43, 50, 60, 61, 62, 63, 64, 65, 7,  99, -1};
    for (int code : codes) {
        ui.shown.clear();
        std::string digits = std::to_string(code);
        FakeCardProgram program(folder.path(), "1=5\n3=" + digits + "\n99=0");
        bool approved = terminal.refund(cfg, 5, 1, false);
        EXPECT_EQ(approved, code < 4) << code;
        ASSERT_EQ(ui.shown.size(), 1u) << code;
        // A refund's approval shows the digits, a decline the code's text
        // ("Declined" for a code without one of its own).
        EXPECT_EQ(ui.shown[0].title, code < 4 ? "Authorized" : "Not authorized");
        EXPECT_EQ(ui.shown[0].text, code < 4 ? digits : std::string(cardResultText(code)));
        if (code == 7 || code == 99) {
            EXPECT_EQ(ui.shown[0].text, "Declined");
        }
    }
}

TEST_F(CardExchangeTest, AStaleResponseIsNotTakenForTheAnswer) {
    writeFile(folder / "output.txt", "3=00");
    FakeCardProgram program(folder.path(), "3=5");
    EXPECT_FALSE(terminal.sale(cfg, 1, 1.00).approved);
    EXPECT_EQ(messages(), "Not authorized: Declined Offline\n");
}

TEST_F(CardExchangeTest, CashBackSale) {
    cfg.money[kMoneyCardCashBack] = 2.0;
    deviceUi.payment = CardPaymentChoice::kPaymentPlusCashBack;
    deviceUi.cashBackTyped = "20.75";
    FakeCardProgram program(folder.path(), "3=2");
    auto r = terminal.sale(cfg, 57, 10.00);
    EXPECT_TRUE(r.approved);
    EXPECT_EQ(r.cashBack, 20);
    EXPECT_EQ(program.request(), "1=57\n2=9\n3=30.00\n4=20.00\n99=0");
    EXPECT_EQ(deviceUi.lastOffer, std::make_pair(true, false));
    EXPECT_TRUE(ui.shown.empty());  // approvals are not shown unless asked for
}

TEST_F(CardExchangeTest, CashBackRefusalsSendNothing) {
    cfg.money[kMoneyCardCashBack] = 2.0;
    deviceUi.payment = CardPaymentChoice::kPaymentPlusCashBack;
    struct Case {
        std::optional<std::string> typed;
        Ui::Answer confirm;
        int confirmations;
    } cases[] = {
        {std::nullopt, Ui::Answer::kNo, 0},  // number box cancelled
        {"150", Ui::Answer::kNo, 1},         // "Please confirm" answered No
        {"-5", Ui::Answer::kNo, 0},          // would charge less than the sale
    };
    for (const Case& k : cases) {
        ui.shown.clear();
        deviceUi.cashBackTyped = k.typed;
        ui.answers = {k.confirm};
        EXPECT_FALSE(terminal.sale(cfg, 1, 10).approved);
        EXPECT_FALSE(std::filesystem::exists(folder / "input.txt"));
        ASSERT_EQ(ui.shown.size(), static_cast<std::size_t>(k.confirmations));
        if (k.confirmations) {
            EXPECT_EQ(ui.shown[0].title, "Please confirm");
            EXPECT_EQ(ui.shown[0].text, *k.typed);
        }
    }
    deviceUi.payment = CardPaymentChoice::kCancel;
    EXPECT_FALSE(terminal.sale(cfg, 1, 10).approved);
    EXPECT_FALSE(std::filesystem::exists(folder / "input.txt"));
}

TEST_F(CardExchangeTest, NotPresentSaleAndRefund) {
    cfg.money[kMoneyCardNotPresent] = 2.0;
    cfg.money[kMoneyCardShowApproval] = 2.0;
    deviceUi.payment = CardPaymentChoice::kNotPresent;
    {
        FakeCardProgram program(folder.path(), "3=0");
        EXPECT_TRUE(terminal.sale(cfg, 9, 5).approved);
        EXPECT_EQ(program.request(), "1=9\n2=0\n3=5.00\n12=1\n99=0");
    }
    {
        FakeCardProgram program(folder.path(), "3=01\n");
        EXPECT_TRUE(terminal.refund(cfg, 10, 4.5, true));
        EXPECT_EQ(program.request(), "1=10\n2=20\n3=4.50\n12=1\n99=0");
    }
    {
        FakeCardProgram program(folder.path(), "3=31");
        EXPECT_FALSE(terminal.refund(cfg, 11, 4.5, false));
    }
    // A refund's approval shows the code digits, a decline the code's text.
    EXPECT_EQ(messages(),
              "Authorized: Approved online\nAuthorized: 01\n"
              "Not authorized: Expired Card\n");
}

TEST_F(CardExchangeTest, ManualCompletion) {
    ui.replies = {"R1", "4111111111111111", "0927", "A9"};
    FakeCardProgram program(folder.path(), "3=3");
    terminal.completion(cfg);
    EXPECT_EQ(program.request(), "1=R1\n2=3\n5=4111111111111111\n6=0927\n13=A9\n99=0");
    EXPECT_THAT(ui.prompts,
                ::testing::ElementsAre("Please enter a transaction reference",
                                       "Please enter the card number",
                                       "Please enter the card expiry (MMYY)",
                                       "Please enter the original card transaction reference"));

    ui.prompts.clear();
    ui.replies = {"R2"};  // the card number box cancelled
    std::filesystem::remove(folder / "input.txt");
    terminal.completion(cfg);
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(folder / "input.txt"));
}

TEST_F(CardExchangeTest, TheClerkAbandonsTheWait) {
    deviceUi.abandonAfter = 3;  // no card program answers
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(terminal.sale(cfg, 57, 12.50).approved);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(deviceUi.waits, 4);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(readFile(folder / "input.txt"), "1=57\n2=0\n3=12.50\n99=0");
}

TEST_F(CardExchangeTest, Failures) {
    struct Case {
        std::optional<std::string> response;  // nullopt: the folder is missing
        const char* message;
    } cases[] = {
        {std::nullopt, "Unable to create EVT file"},
        {"", "Unable to retrieve EVT file"},
        {"1=57\n2=0\n", "Unable to retrieve authorization code"},
        {std::string(2500, 'x') + "\n3=00", "Unable to retrieve authorization code"},
    };
    for (const Case& k : cases) {
        ui.shown.clear();
        StoreConfigRecord c = cfg;
        if (!k.response) {
            setFieldText(c.card_exchange_folder, folder / "missing");
            EXPECT_FALSE(terminal.refund(c, 1, 1, false));
        } else {
            FakeCardProgram program(folder.path(), *k.response);
            EXPECT_FALSE(terminal.refund(c, 1, 1, false));
        }
        EXPECT_EQ(messages(), std::string("Problem: ") + k.message + "\n");
    }
}

TEST(CardExchangeSettings, OpenAndApply) {
    StoreConfigRecord cfg;
    std::memset(&cfg, 0, sizeof cfg);
    cfg.money[kMoneyCardRefundKind] = 1.0;  // any nonzero value is on
    CardExchangeSettings s = CardExchangeSettings::open(cfg, "/srv/shop");
    EXPECT_EQ(s.folder, "/srv/shop/card");
    EXPECT_EQ(fieldText(cfg.card_exchange_folder), "/srv/shop/card");
    EXPECT_TRUE(s.refundKind);
    EXPECT_FALSE(s.exchange);

    s.folder = "/srv/card";
    s.exchange = s.cashBack = s.showApproval = true;
    s.refundKind = false;
    s.apply(cfg);
    EXPECT_EQ(fieldText(cfg.card_exchange_folder), "/srv/card");
    EXPECT_EQ(+cfg.money[kMoneyCardTerminalMode], 2.0);
    EXPECT_EQ(+cfg.money[kMoneyCardCashBack], 2.0);
    EXPECT_EQ(+cfg.money[kMoneyCardNotPresent], 0.0);
    EXPECT_EQ(+cfg.money[kMoneyCardRefundKind], 0.0);
    EXPECT_EQ(+cfg.money[kMoneyCardShowApproval], 2.0);
}

}  // namespace
}  // namespace kassio::test
