#include "devices/card_exchange.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdlib>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

constexpr int kPollMs = 200;
constexpr int kSaleSettleMs = 400;  // time for the other program to finish writing
constexpr int kOtherSettleMs = 200;

struct ResultText {
    int code;
    const char* text;
};

constexpr ResultText kResultTexts[] = {
    {0, "Approved online"},
    {1, "Approved online"},
    {2, "Approved offline"},
    {3, "Approved Manual (Referral)"},
    {4, "Declined Online"},
    {5, "Declined Offline"},
    {9, "Cancelled"},
    {16, "Capture Card, declined online"},
    {19, "Transaction Aborted"},
    {20, "Pre sales completed"},
    {21, "Pre sales rejected"},
    {22, "Card number not matched"},
    {23, "Expiry date not matched"},
    {24, "Invalid transaction state"},
    {25, "Transaction not valid for requested operation"},
    {26, "Invalid PGTR"},
    {27, "Invalid Merchant"},
    {28, "Invalid Terminal"},
    {29, "Merchant status is not valid"},
    {30, "Invalid card number"},
    {31, "Expired Card"},
    {32, "Pre valid card"},
    {33, "Invalid issue number"},
    {34, "Invalid card expiry date"},
    {35, "Invalid start date"},
    {36, "Card not accepted"},
    {37, "Transaction not allowed"},
    {38, "Cash back not allowed"},
    {42, "Status Busy"},
    {43, "Status Not Busy"},
    {50, "AVS details required"},
    {60, "Card activated (Gift card activation)"},
    {61, "Card already activated (Gift card activation)"},
    {62, "Card not activated (For Gift Card)"},
    {63, "Hot Listed Card (for Gift Card)"},
    {64, "Insufficient Balance ( for Gift Card)"},
    {65, "Invalid Security Code ( for Gift Card)"},
};

// A C leading integer of the code characters: blanks, sign, digits.
int leadingInteger(const std::string& text) {
    return std::atoi(text.c_str());
}

CardExchangeResult failed(const char* message) {
    CardExchangeResult r;
    r.kind = CardExchangeResult::Kind::kFailed;
    r.failure = Status::ioError(message);
    return r;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string cardSaleRequest(int64_t reference, double amount, bool notPresent) {
    return notPresent ? formatted("1=%" PRId64 "\n2=0\n3=%.2f\n12=1\n99=0", reference, amount)
                      : formatted("1=%" PRId64 "\n2=0\n3=%.2f\n99=0", reference, amount);
}

std::string cardCashBackRequest(int64_t reference, double amount, double cashBack) {
    return formatted("1=%" PRId64 "\n2=9\n3=%.2f\n4=%.2f\n99=0", reference, amount, cashBack);
}

std::string cardRefundRequest(int64_t reference, double amount, bool notPresent) {
    return notPresent ? formatted("1=%" PRId64 "\n2=20\n3=%.2f\n12=1\n99=0", reference, amount)
                      : formatted("1=%" PRId64 "\n2=20\n3=%.2f\n99=0", reference, amount);
}

std::string cardCompletionRequest(const std::string& reference, const std::string& cardNumber,
                                  const std::string& expiry, const std::string& original) {
    return formatted("1=%s\n2=3\n5=%s\n6=%s\n13=%s\n99=0", reference.c_str(), cardNumber.c_str(),
                     expiry.c_str(), original.c_str());
}

std::optional<CardResponseCode> parseCardResponse(std::string_view response) {
    if (response.size() > kCardResponseLimit) response = response.substr(0, kCardResponseLimit);
    // The response is read as a C string: nothing after a NUL counts.
    if (std::size_t nul = response.find('\0'); nul != std::string_view::npos)
        response = response.substr(0, nul);
    for (std::size_t i = 0; i + 1 < response.size(); ++i) {
        if (response[i] != '3' || response[i + 1] != '=') continue;
        if (i > 0 && static_cast<unsigned char>(response[i - 1]) >= '0') continue;
        CardResponseCode code;
        if (i + 2 < response.size()) {
            code.digits += response[i + 2];
            if (i + 3 < response.size() && static_cast<unsigned char>(response[i + 3]) >= '0')
                code.digits += response[i + 3];
        }
        code.code = leadingInteger(code.digits);
        return code;
    }
    return std::nullopt;
}

const char* cardResultText(int code) {
    if (code < 0) return "Approved online";
    for (const ResultText& r : kResultTexts)
        if (r.code == code) return r.text;
    return "Declined";
}

CardExchangeSettings CardExchangeSettings::open(StoreConfigRecord& cfg,
                                                const std::string& dataFolder) {
    if (cfg.card_exchange_folder[0] == '\0')
        setFieldText(cfg.card_exchange_folder, dataFolder + "/card");
    CardExchangeSettings s;
    s.folder = fieldText(cfg.card_exchange_folder);
    s.exchange = cfg.money[kMoneyCardTerminalMode] == 2.0;
    s.cashBack = cfg.money[kMoneyCardCashBack] == 2.0;
    s.notPresent = cfg.money[kMoneyCardNotPresent] == 2.0;
    s.refundKind = cfg.money[kMoneyCardRefundKind] != 0;
    s.showApproval = cfg.money[kMoneyCardShowApproval] != 0;
    return s;
}

void CardExchangeSettings::apply(StoreConfigRecord& cfg) const {
    setFieldText(cfg.card_exchange_folder, folder);
    cfg.money[kMoneyCardTerminalMode] = exchange ? 2.0 : 0.0;
    cfg.money[kMoneyCardCashBack] = cashBack ? 2.0 : 0.0;
    cfg.money[kMoneyCardNotPresent] = notPresent ? 2.0 : 0.0;
    cfg.money[kMoneyCardRefundKind] = refundKind ? 2.0 : 0.0;
    cfg.money[kMoneyCardShowApproval] = showApproval ? 2.0 : 0.0;
}

CardExchangeResult CardTerminal::exchange(const std::string& folder, const std::string& request,
                                          bool sale) {
    // Without a folder the request would land in the file system's root.
    if (folder.empty()) return failed("Unable to create EVT file");
    const std::string input = folder + "/input.txt";
    const std::string output = folder + "/output.txt";

    // A response still there from an earlier exchange must not answer this one.
    ::unlink(output.c_str());

    int fd =
        ::open(input.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (sale ? O_SYNC : 0), 0666);
    if (fd < 0) return failed("Unable to create EVT file");
    // Every transaction checks its request: a half-written request the
    // card-payment program misreads must not go unnoticed.
    if (!writeAll(fd, request)) {
        ::close(fd);
        return failed("Unable to do EVT file");
    }
    if (::close(fd) != 0) return failed("Unable to close EVT input file");

    m_deviceUi.cardWaitStarted();
    int out;
    while ((out = ::open(output.c_str(), O_RDONLY | O_CLOEXEC)) < 0) {
        if (!m_deviceUi.cardWait(kPollMs)) {
            m_deviceUi.cardWaitFinished();
            CardExchangeResult r;
            r.kind = CardExchangeResult::Kind::kAbandoned;
            return r;
        }
    }
    m_deviceUi.cardWait(sale ? kSaleSettleMs : kOtherSettleMs);
    m_deviceUi.cardWaitFinished();

    std::string response(kCardResponseLimit, '\0');
    std::size_t got = 0;
    while (got < kCardResponseLimit) {
        ssize_t n = ::read(out, response.data() + got, kCardResponseLimit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    response.resize(got);
    if (::close(out) != 0 && sale) return failed("Unable to close EVT output file");
    if (got == 0) return failed("Unable to retrieve EVT file");

    std::optional<CardResponseCode> code = parseCardResponse(response);
    if (!code) return failed("Unable to retrieve authorization code");
    CardExchangeResult r;
    r.kind = CardExchangeResult::Kind::kAnswered;
    r.response = *code;
    return r;
}

bool CardTerminal::report(const StoreConfigRecord& cfg, const CardExchangeResult& result,
                          bool codeText) {
    switch (result.kind) {
        case CardExchangeResult::Kind::kFailed:
            m_ui.error(result.failure.message(), result.failure.title());
            return false;
        case CardExchangeResult::Kind::kAbandoned:
            return false;
        case CardExchangeResult::Kind::kAnswered:
            break;
    }
    int code = result.response.code;
    if (!cardApproved(code)) {
        m_ui.message(cardResultText(code), "Not authorized", Ui::Icon::kWarning, Ui::Buttons::kOk);
        return false;
    }
    if (cfg.money[kMoneyCardShowApproval] != 0) {
        std::string digits = result.response.digits.empty() ? "0" : result.response.digits;
        m_ui.inform(codeText ? cardResultText(code) : digits, "Authorized");
    }
    return true;
}

CardTerminal::SaleResult CardTerminal::sale(const StoreConfigRecord& cfg, int64_t reference,
                                            double total) {
    const bool offerCashBack = cfg.money[kMoneyCardCashBack] == 2.0;
    const bool offerNotPresent = cfg.money[kMoneyCardNotPresent] == 2.0;
    CardPaymentChoice choice = CardPaymentChoice::kPayment;
    if (offerCashBack || offerNotPresent || cfg.money[kMoneyCardRefundKind] == 2.0)
        choice = m_deviceUi.electronicPayment(offerCashBack, offerNotPresent);

    SaleResult result;
    std::string request;
    switch (choice) {
        case CardPaymentChoice::kCancel:
            return result;
        case CardPaymentChoice::kPaymentPlusCashBack: {
            std::optional<std::string> typed = m_deviceUi.cashBackEntry();
            if (!typed) return result;
            double value = std::strtod(typed->c_str(), nullptr);
            if (value > 100 && m_ui.message(*typed, "Please confirm", Ui::Icon::kQuestion,
                                            Ui::Buttons::kYesNo) != Ui::Answer::kYes)
                return result;
            // Whole currency units only. A negative amount would charge the
            // card less than the sale, so it is refused like a cancel.
            double cashBack = std::trunc(value);
            if (!(cashBack >= 0)) return result;
            result.cashBack = cashBack;
            request = cardCashBackRequest(reference, total + cashBack, cashBack);
            break;
        }
        case CardPaymentChoice::kNotPresent:
            request = cardSaleRequest(reference, total, true);
            break;
        case CardPaymentChoice::kPayment:
            request = cardSaleRequest(reference, total, false);
            break;
    }

    CardExchangeResult answer = exchange(fieldText(cfg.card_exchange_folder), request, true);
    result.approved = report(cfg, answer, true);
    if (!result.approved) result.cashBack = 0;
    return result;
}

bool CardTerminal::refund(const StoreConfigRecord& cfg, int64_t reference, double total,
                          bool notPresent) {
    CardExchangeResult answer = exchange(fieldText(cfg.card_exchange_folder),
                                         cardRefundRequest(reference, total, notPresent), false);
    return report(cfg, answer, false);
}

void CardTerminal::completion(const StoreConfigRecord& cfg) {
    std::optional<std::string> reference = m_ui.prompt("Please enter a transaction reference");
    if (!reference) return;
    std::optional<std::string> card = m_ui.prompt("Please enter the card number");
    if (!card) return;
    std::optional<std::string> expiry = m_ui.prompt("Please enter the card expiry (MMYY)");
    if (!expiry) return;
    std::optional<std::string> original =
        m_ui.prompt("Please enter the original card transaction reference");
    if (!original) return;
    CardExchangeResult answer =
        exchange(fieldText(cfg.card_exchange_folder),
                 cardCompletionRequest(*reference, *card, *expiry, *original), false);
    report(cfg, answer, false);
}

}  // namespace kassio
