#include "accounts/balance_payment.h"

#include <cmath>
#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "customers/customer_fields.h"
#include "store/journal_format.h"

namespace kassio {

const char* paymentMethodName(PaymentMethod method) {
    switch (method) {
        case PaymentMethod::kCheque:
            return "CH";
        case PaymentMethod::kCard:
            return "EFT";
        case PaymentMethod::kCash:
            break;
    }
    return "Cash";
}

std::string paymentWord(PaymentMethod method) {
    switch (method) {
        case PaymentMethod::kCheque:
            return "Payment (ch)";
        case PaymentMethod::kCard:
            return "Payment (eft)";
        case PaymentMethod::kCash:
            break;
    }
    return "Payment (cash)";
}

std::optional<PaymentMethod> paymentMethodFrom(const std::string& text) {
    std::string t;
    for (char c : text) t += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (t == "cash") return PaymentMethod::kCash;
    if (t == "ch") return PaymentMethod::kCheque;
    if (t == "eft") return PaymentMethod::kCard;
    return std::nullopt;
}

Status readPaymentAmount(const std::string& typed, double* amount) {
    std::string text = typed;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) return Status::invalid("No amount specified.");
    auto value = text.size() <= 19 ? decimalNumber(text) : std::nullopt;
    // NaN, infinities and amounts no shop takes are refused here, before
    // they could reach a balance or the day's takings.
    if (!value || !isSaneMoney(*value) || roundMoney(*value) <= 0)
        return Status::invalid("Invalid amount: " + typed);
    *amount = roundMoney(*value);
    return Status::ok();
}

bool exceedsAmountDue(double amount, double balance) {
    return roundMoney(amount) > roundMoney(balance);
}

PaymentView paymentView(DataStore& store, const CustomerRecord& customer, const LocalTime& today) {
    PaymentView v;
    v.customer = customer;
    LocalTime from;
    {
        auto lock = store.lock();
        from = historyStart(store.config());
        const int band = customer.terms;
        v.terms = band >= 1 && band <= 8 ? termsBandText(store.config(), band) : std::string();
    }
    for (const AccountEntry& e : customerTransactions(store, customer.number, from, today))
        v.transactions.push_back(paymentListLine(e));
    v.lastPurchase = lastUsedText(fieldText(customer.last_used));
    v.lastPayment = lastUsedText(fieldText(customer.last_payment));
    v.balance = moneyText(customer.balance);
    return v;
}

namespace {

SaleRecord paymentRecord(const CustomerRecord& c, int64_t number, double amount,
                         PaymentMethod method, int32_t clerk, double newBalance,
                         const LocalTime& now) {
    SaleRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.customer = c.number;
    s.clerk = clerk;
    s.total = amount;
    switch (method) {
        case PaymentMethod::kCash:
            s.cash = amount;
            break;
        case PaymentMethod::kCheque:
            s.cheque = amount;
            break;
        case PaymentMethod::kCard:
            s.eft = amount;
            break;
    }
    s.balance_before = newBalance + amount;
    s.balance_after = newBalance;
    setFieldText(s.time, formatted("%02d:%02d", now.hour, now.minute));
    setFieldText(s.date, localeDateText(now));
    setFieldText(s.customer_name, fieldText(c.name));
    setFieldText(s.customer_road, fieldText(c.road));
    setFieldText(s.customer_area, fieldText(c.area));
    setFieldText(s.customer_town, fieldText(c.town));
    setFieldText(s.customer_postcode, fieldText(c.postcode));
    setFieldText(s.customer_telephone, fieldText(c.telephone));
    setFieldText(s.payment, paymentWord(method));
    return s;
}

}  // namespace

PaymentResult postBalancePayment(DataStore& store, int64_t customer, double amount,
                                 PaymentMethod method, int32_t clerk,
                                 const std::string& clerkName) {
    PaymentResult result;
    if (!isSaneMoney(amount) || roundMoney(amount) <= 0) {
        result.status = Status::invalid("Invalid amount");
        return result;
    }
    amount = roundMoney(amount);
    const LocalTime now = store.clock().now();
    const std::string ts = timestampText(now);
    uint64_t ticket = 0;
    {
        StoreFiles::Batch batch(store.files());
        if (Status s = store.files().error(); !s) {
            batch.discard();
            result.status = s;
            return result;
        }
        StoreConfigRecord& cfg = store.config().record();
        const int32_t number = cfg.next_transaction;
        // Each step that fails drops the whole batch: the customer, the
        // journal and kq.cfg stay as they were and the number stays free.
        auto abandon = [&](Status why) {
            batch.discard();
            cfg.next_transaction = number;
            result.status = std::move(why);
            return result;
        };

        RecordFile& customers = store.customers();
        auto slot = customers.find(customer);
        CustomerRecord c;
        if (!slot || !customers.read(*slot, &c))
            return abandon(Status::notFound("Customer not found", kTitleProblem));
        // The balance as it is on file now: a credit sale a client station
        // made since the window opened is not undone.
        const double newBalance = roundMoney(roundMoney(c.balance) - amount);
        c.balance = newBalance;
        setFieldText(c.last_payment, ts);
        c.last_transaction = number;
        if (Status s = customers.write(*slot, &c); !s) return abandon(s);

        Journal& journal = store.journal();
        if (Status s = journal.appendYearIndex(now, {number, now.day, now.month}); !s)
            return abandon(s);
        const SaleRecord sale = paymentRecord(c, number, amount, method, clerk, newBalance, now);
        if (Status s = journal.appendSale(now, sale); !s) return abandon(s);

        std::string text = formatted("\r\n%s Payment: %d, Total: %.2f\r\n", logTimeText(ts).c_str(),
                                     number, amount);
        text += formatted("Clerk: %d, %s\r\n", clerk, clerkName.c_str());
        text += formatted("Payment type: %s\r\n", paymentMethodName(method));
        text += formatted("Customer: %lld %s\r\n", static_cast<long long>(c.number),
                          fieldText(c.name).c_str());
        if (!journal.appendActivity(now, text))
            return abandon(Status::ioError("Data log text file not present.", kTitleFatal));

        cfg.next_transaction = number + 1;
        if (Status s = store.saveConfig("Unable to update the configuration file", kTitleFatal); !s)
            return abandon(s);
        if (Status s = batch.commit(&ticket); !s) {
            cfg.next_transaction = number;
            result.status = s;
            return result;
        }
        result.transaction = number;
        result.newBalance = newBalance;
    }
    if (Status s = store.waitDurable(ticket); !s) {
        result.status = s;
        return result;
    }
    result.status = Status::ok();
    return result;
}

Status customerOfTransaction(DataStore& store, int64_t transaction, const LocalTime& today,
                             int64_t* customer) {
    const Status none = Status::invalid("No customer associated with transaction");
    LocalTime from;
    {
        auto lock = store.lock();
        from = historyStart(store.config());
    }
    auto ref = store.journal().find(transaction, from.year, today.year);
    if (!ref) return none;
    auto sale = store.journal().recall(transaction, ref->day, ref->month, ref->year);
    if (!sale || sale->sale.customer <= 0) return none;
    if (!readCustomer(store, sale->sale.customer)) return none;
    *customer = sale->sale.customer;
    return Status::ok();
}

}  // namespace kassio
