// Where the devices' settings sit inside the StoreConfig, beyond the named
// fields of store/store_config.h, and small readers for them.
//
// The pole texts are six 32-byte slots of pole_texts; the custom receipt
// keeps one line number per receipt element: elements 0..18 in
// custom_receipt_lines, texts 1..3 and the payment type in the custom
// receipt options of settings block B, the customer address lines and
// telephone in the block after them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "base/fixed_text.h"
#include "store/store_config.h"

namespace kassio {

// Pole display texts: slot n of pole_texts starts at byte 32 n.
inline constexpr int kPoleTextWidth = 32;
enum class PoleText {
    kPassive = 0,
    kPrinterOn = 1,
    kPrinterOff = 2,
    kClear = 3,
    kFirstLine = 4,
    kSecondLine = 5,
};

// Custom receipt options (settings block B from 13338, one int32 each).
inline constexpr int kSetBCustomText1Line = kSetBCustomReceiptOptions + 0;  // texts 1..3
inline constexpr int kSetBCustomBlankLines = kSetBCustomReceiptOptions + 3;
inline constexpr int kSetBCustomCutterPort = kSetBCustomReceiptOptions + 4;
inline constexpr int kSetBCustomSecondCurrency = kSetBCustomReceiptOptions + 5;
inline constexpr int kSetBCustomMarkExempt = kSetBCustomReceiptOptions + 6;
inline constexpr int kSetBCustomPaymentLine = kSetBCustomReceiptOptions + 7;
inline constexpr int kSetBCustomExcludingTax = kSetBCustomReceiptOptions + 8;
inline constexpr int kSetBCustomNoteLine = kSetBCustomReceiptOptions + 9;
// The card terminal's options among the money values 12..18 (2.0 = on);
// the exchange switch itself is kMoneyCardTerminalMode and the refund-kind
// option (16) kMoneyCardRefundKind.
inline constexpr int kMoneyCardCashBack = moneyAt(13514);      // 12
inline constexpr int kMoneyCardNotPresent = moneyAt(13530);    // 14
inline constexpr int kMoneyCardShowApproval = moneyAt(13562);  // 18

// Auto receipt ("Auto receipt" on the Receipts page).
enum class AutoReceipt {
    kNone = 0,
    kTillReceipt,
    kStandardInvoice,
    kCustomInvoice,
    kCustomReceipt
};

// Receipt element numbers with a name of their own in the code.
inline constexpr int kReceiptElementCount = 28;

// 0/2 switches of the settings blocks read as on when 2, as the
// configuration pages store them.
inline bool switchOn(const StoreConfigRecord& r, int settingBIndex) {
    return r.settings_b[settingBIndex] == 2;
}

inline std::string poleText(const StoreConfigRecord& r, PoleText which) {
    const char* p = r.pole_texts + static_cast<int>(which) * kPoleTextWidth;
    return std::string(p, strnlen(p, kPoleTextWidth));
}

// Stores at most 31 characters and the terminator.
inline void setPoleText(StoreConfigRecord& r, PoleText which, const std::string& text) {
    char* p = r.pole_texts + static_cast<int>(which) * kPoleTextWidth;
    std::size_t len = text.size() < kPoleTextWidth - 1 ? text.size() : kPoleTextWidth - 1;
    std::memset(p, 0, kPoleTextWidth);
    std::memcpy(p, text.data(), len);
}

// The highest line number the custom receipt page takes.
inline constexpr int32_t kMaxCustomLine = 40;

// The custom receipt's line number of an element 0..27 (0 = omitted). A
// stored number outside 0..kMaxCustomLine (a damaged kq.cfg) reads as the
// nearest end, so that no element is placed beyond the page's reach.
int32_t customLineOf(const StoreConfigRecord& r, int element);
void setCustomLineOf(StoreConfigRecord& r, int element, int32_t line);

}  // namespace kassio
