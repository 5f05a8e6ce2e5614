// The balance payment: money taken against a customer's account balance,
// journalled like a sale (year index entry, SaleRecord with the payment
// word, ActivityLog lines) so the day's figures count it.
//
// The payment lands whole or not at all: the customer's new balance, the
// index entry, the SaleRecord, the log lines and kq.cfg's next transaction
// number are one batch of the posting journal, on disk before the caller
// is told it is done. When any part cannot be written nothing is written,
// the balance stays as it was and the transaction number is not used.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "accounts/account_history.h"
#include "base/status.h"
#include "store/customer_record.h"
#include "store/data_store.h"

namespace kassio {

enum class PaymentMethod { kCash, kCheque, kCard };

// "Cash", "CH", "EFT": the window's choice and the log's payment type.
const char* paymentMethodName(PaymentMethod method);
// "Payment (cash)", "Payment (ch)", "Payment (eft)": the SaleRecord's word.
std::string paymentWord(PaymentMethod method);
// "cash", "ch" or "eft" (any case) as a method.
std::optional<PaymentMethod> paymentMethodFrom(const std::string& text);

// The typed amount ("Pay", at most 19 characters, '.' for the decimals),
// rounded to cents. Refused: empty ("No amount specified."), not a number,
// not finite, not above zero, or beyond the largest sum of money.
Status readPaymentAmount(const std::string& typed, double* amount);

// Whether the rounded amount is larger than the rounded balance: the window
// then asks "Continue" under "Exceeds amount due".
bool exceedsAmountDue(double amount, double balance);

// What the "Payment" window shows before the clerk types the amount.
struct PaymentView {
    CustomerRecord customer{};
    std::vector<std::string> transactions;  // "%s,  %I64d, %.2f"
    std::string lastPurchase;
    std::string lastPayment;
    std::string terms;
    std::string balance;  // "%.2f"
};
PaymentView paymentView(DataStore& store, const CustomerRecord& customer, const LocalTime& today);

struct PaymentResult {
    Status status;  // ok once the payment is on disk
    int64_t transaction = 0;
    double newBalance = 0;
};

// Posts a payment of amount (already checked) by the clerk against the
// customer's balance as it is on file now. Takes the DataMutex itself and
// returns only after the payment is durable; never call it with a message
// box open on the lock.
PaymentResult postBalancePayment(DataStore& store, int64_t customer, double amount,
                                 PaymentMethod method, int32_t clerk, const std::string& clerkName);

// "Balance pay on transaction": the customer of the transaction with this
// number in the kept history, or "No customer associated with transaction".
Status customerOfTransaction(DataStore& store, int64_t transaction, const LocalTime& today,
                             int64_t* customer);

}  // namespace kassio
