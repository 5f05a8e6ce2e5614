// Port: the till's modal panels. Each call shows one panel, waits for the
// clerk and returns what was chosen; the Qt adapter draws them, tests
// script the answers. Never called with the DataMutex held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kassio {

struct Basket;
struct CustomerRecord;

struct RefundChoice {
    int kind = 0;     // 0 "Cash refund", 1 "CH refund", 2 "EFT refund", 3 "Credit refund"
    int restock = 0;  // 0 "Add items back to stock", 1 "Items faulty, do not add back to stock"
    bool printReceipt = false;
};

enum class CustomerPayment { kCredit, kCash, kCheque, kCard, kCancel };
enum class ElectronicPayment { kPayment, kPaymentPlusCashBack, kCancel };
enum class CardRefundChoice { kRefund, kNotPresent, kCancel };

class TillPanels {
  public:
    virtual ~TillPanels() = default;

    // "Refund": the Basket's figures under the next transaction number.
    virtual std::optional<RefundChoice> refundPanel(const Basket& basket, int32_t transaction,
                                                    const std::string& date) = 0;
    // "Customer transaction": the customer and the Basket about to be paid.
    virtual CustomerPayment customerTransactionPanel(const Basket& basket,
                                                     const CustomerRecord& customer) = 0;
    // "Electronic Payment": "Payment", "Payment plus cashback", "Cancel".
    virtual ElectronicPayment electronicPaymentBox() = 0;
    // The number entry box for the cash back; nullopt on cancel.
    virtual std::optional<std::string> cashBackEntry() = 0;
    // "Card refund": "Refund", "Cardholder not present refund", "Cancel".
    virtual CardRefundChoice cardRefundBox() = 0;
    // "Please select a basket": 1..16, or nullopt for "Cancel".
    virtual std::optional<int> selectBasket() = 0;
    // "edit2box": "Customer" / "Number / name"; nullopt on cancel.
    virtual std::optional<std::string> customerEntry() = 0;
};

}  // namespace kassio
