// The card terminal exchange: the till writes a request input.txt into the
// exchange folder and waits for the card-payment program's output.txt, whose
// result pair "3=" decides the outcome. Three transactions use it: a card
// sale, a card refund and a manual (cardholder not present) completion.
//
// The wait has no limit of its own: it goes on until the response comes or
// the clerk abandons it through DeviceUi::cardWait(), which counts as not
// approved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "devices/device_ui.h"
#include "platform/ui.h"
#include "store/store_config.h"

namespace kassio {

// The request texts, byte for byte: key=value lines joined by "\n", no line
// feed after the final "99=0".
std::string cardSaleRequest(int64_t reference, double amount, bool notPresent);
std::string cardCashBackRequest(int64_t reference, double amount, double cashBack);
std::string cardRefundRequest(int64_t reference, double amount, bool notPresent);
std::string cardCompletionRequest(const std::string& reference, const std::string& cardNumber,
                                  const std::string& expiry, const std::string& original);

// The largest part of output.txt that is read.
inline constexpr std::size_t kCardResponseLimit = 1999;

struct CardResponseCode {
    int code = 0;
    std::string digits;  // the one or two characters after "3=" as read
};

// The result pair: "3=" at the start of the text or right after a character
// below '0'; the code is the next character and the one after it when that
// is '0' or above, read as a leading integer (missing digits read as 0).
// nullopt when there is no result pair.
std::optional<CardResponseCode> parseCardResponse(std::string_view response);

// "Approved online", ..., "Declined" for any other code of 4 or more.
const char* cardResultText(int code);
inline bool cardApproved(int code) {
    return code < 4;
}

// The five settings of the exchange dialog.
struct CardExchangeSettings {
    std::string folder;
    bool exchange = false;      // the card tender uses the exchange
    bool cashBack = false;      // "Payment plus cashback" offered
    bool notPresent = false;    // "Cardholder not present payment" offered
    bool refundKind = false;    // the "Card refund" box before card refunds
    bool showApproval = false;  // approvals reported in a box

    // An empty folder is replaced by the "card" folder of the DataFolder in
    // the configuration too, as the dialog opens.
    static CardExchangeSettings open(StoreConfigRecord& cfg, const std::string& dataFolder);
    void apply(StoreConfigRecord& cfg) const;  // options 2.0 ticked, 0 not
};

// What one exchange came to.
struct CardExchangeResult {
    enum class Kind { kAnswered, kFailed, kAbandoned };
    Kind kind = Kind::kFailed;
    CardResponseCode response;
    Status failure;  // kFailed: the message to show
};

class CardTerminal {
  public:
    CardTerminal(Ui& ui, DeviceUi& deviceUi) : m_ui(ui), m_deviceUi(deviceUi) {}

    // CardSaleExchange for the Basket's transaction number and total. On a
    // cash-back sale the result carries the cash back asked for.
    struct SaleResult {
        bool approved = false;
        double cashBack = 0;
    };
    SaleResult sale(const StoreConfigRecord& cfg, int64_t reference, double total);

    // CardRefundExchange.
    bool refund(const StoreConfigRecord& cfg, int64_t reference, double total, bool notPresent);

    // CardCompletionExchange: asks for the four texts, then exchanges.
    void completion(const StoreConfigRecord& cfg);

    // The common exchange in one folder. sale: write-through request and the
    // longer pause after the response appears.
    CardExchangeResult exchange(const std::string& folder, const std::string& request, bool sale);

  private:
    // Shows the outcome; true when approved.
    bool report(const StoreConfigRecord& cfg, const CardExchangeResult& result, bool codeText);

    Ui& m_ui;
    DeviceUi& m_deviceUi;
};

}  // namespace kassio
