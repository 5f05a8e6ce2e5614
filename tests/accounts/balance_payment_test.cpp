#include "accounts/balance_payment.h"

#include <gtest/gtest.h>

#include <cmath>

#include "accounts/account_history.h"
#include "accounts/mailmerge.h"
#include "base/fixed_text.h"
#include "base/text_format.h"
#include "inventory/backoffice_fixture.h"
#include "store/faulty_file_system.h"
#include "store/posix_file_system.h"

namespace kassio::test {
namespace {

class PaymentTest : public BackOfficeTest {
  protected:
    std::vector<SaleRecord> todaysSales() {
        const LocalTime t = clock.now();
        return store->journal().readSales(t.year, t.month, t.day);
    }
};

TEST_F(PaymentTest, PaymentBelowEqualAndAboveTheBalance) {
    struct Case {
        const char* amount;
        PaymentMethod method;
        bool exceeds;
        double after;
        const char* word;
        const char* type;
    };
    const Case cases[] = {
        {"20", PaymentMethod::kCash, false, 30.0, "Payment (cash)", "Cash"},
        {"50.00", PaymentMethod::kCheque, false, 0.0, "Payment (ch)", "CH"},
        {"70.004", PaymentMethod::kCard, true, -20.0, "Payment (eft)", "EFT"},
    };
    int64_t number = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        customer(++number, "ANN SMITH", 1, 50.0);
        double amount = 0;
        ASSERT_TRUE(readPaymentAmount(c.amount, &amount));
        EXPECT_EQ(exceedsAmountDue(amount, 50.0), c.exceeds);
        const int32_t next = store->config().nextTransaction();
        PaymentResult r = postBalancePayment(*store, number, amount, c.method, 2, "Manager");
        ASSERT_TRUE(r.status) << r.status.message();
        EXPECT_EQ(r.transaction, next);
        EXPECT_EQ(store->config().nextTransaction(), next + 1);

        auto after = readCustomer(*store, number);
        ASSERT_TRUE(after);
        EXPECT_DOUBLE_EQ(after->balance, c.after);
        EXPECT_EQ(after->last_transaction, next);
        EXPECT_EQ(fieldText(after->last_payment), "14:3006/12/2026");

        const SaleRecord s = todaysSales().back();
        EXPECT_EQ(s.number, next);
        EXPECT_EQ(s.customer, number);
        EXPECT_EQ(fieldText(s.payment), c.word);
        EXPECT_DOUBLE_EQ(s.cash + s.cheque + s.eft, std::round(amount * 100) / 100);
        EXPECT_DOUBLE_EQ(s.balance_before, 50.0);
        EXPECT_DOUBLE_EQ(s.balance_after, c.after);
        EXPECT_EQ(fieldText(s.time), "14:30");
        const std::string log = todaysLog();
        EXPECT_NE(log.find(formatted("14:30 06/12/2026 Payment: %d, Total: ", next)),
                  std::string::npos);
        EXPECT_NE(log.find(std::string("Payment type: ") + c.type + "\r\n"), std::string::npos);
        EXPECT_NE(
            log.find(formatted("Customer: %lld ANN SMITH\r\n", static_cast<long long>(number))),
            std::string::npos);
    }
    // The year index names every payment.
    EXPECT_EQ(store->journal().readYearIndex(2026).size(), 3u);
}

TEST_F(PaymentTest, AmountsThatAreNoSumOfMoneyAreRefused) {
    struct Case {
        const char* typed;
        const char* message;  // nullptr: taken
        double amount;
    };
    const Case cases[] = {
        {"", "No amount specified.", 0},
        {"   ", "No amount specified.", 0},
        {"12.345", nullptr, 12.35},
        {"0.01", nullptr, 0.01},
        {"0", "Invalid amount: 0", 0},
        {"-5", "Invalid amount: -5", 0},
        {"abc", "Invalid amount: abc", 0},
        {"nan", "Invalid amount: nan", 0},
        {"inf", "Invalid amount: inf", 0},
        {"1e300", "Invalid amount: 1e300", 0},
        {"1000000001", "Invalid amount: 1000000001", 0},
        {"12345678901234567890", "Invalid amount: 12345678901234567890", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        double amount = 0;
        Status s = readPaymentAmount(c.typed, &amount);
        if (!c.message) {
            ASSERT_TRUE(s);
            EXPECT_DOUBLE_EQ(amount, c.amount);
        } else {
            EXPECT_EQ(s.message(), c.message);
            EXPECT_EQ(s.title(), "Problem");
        }
    }
    customer(5, "BOB", 1, 10.0);
    EXPECT_FALSE(postBalancePayment(*store, 5, std::nan(""), PaymentMethod::kCash, 1, "").status);
    EXPECT_FALSE(postBalancePayment(*store, 6, 1.0, PaymentMethod::kCash, 1, "").status);
    EXPECT_TRUE(todaysSales().empty());
}

// A payment the journal refuses leaves nothing behind: the balance, the
// journal and the transaction number are as they were after a restart.
TEST_F(PaymentTest, APaymentTheDiskRefusesLandsNowhere) {
    customer(7, "CAROL", 1, 40.0);
    const int32_t next = store->config().nextTransaction();
    ASSERT_TRUE(store->close());
    store.reset();

    PosixFileSystem posix;
    auto owned = std::make_unique<FaultyFileSystem>(posix);
    FaultyFileSystem* faulty = owned.get();
    auto broken = std::make_unique<DataStore>(root.path(), clock, std::move(owned));
    ASSERT_TRUE(broken->openData());
    faulty->failWritesTo([](const std::string& p) { return p.find("posting.journal") != p.npos; });
    PaymentResult r = postBalancePayment(*broken, 7, 15.0, PaymentMethod::kCash, 1, "Admin");
    EXPECT_FALSE(r.status);
    broken.reset();

    store = std::make_unique<DataStore>(root.path(), clock);
    ASSERT_TRUE(store->openData());
    EXPECT_DOUBLE_EQ(readCustomer(*store, 7)->balance, 40.0);
    EXPECT_EQ(store->config().nextTransaction(), next);
    EXPECT_TRUE(todaysSales().empty());
    EXPECT_EQ(todaysLog().find("Payment:"), std::string::npos);
    // The number is free for the next posting, which lands whole.
    ASSERT_TRUE(postBalancePayment(*store, 7, 15.0, PaymentMethod::kCash, 1, "Admin").status);
    EXPECT_EQ(todaysSales().size(), 1u);
    EXPECT_EQ(todaysSales()[0].number, next);
}

SaleRecord sale(int64_t number, int64_t customer, const char* word, double total) {
    SaleRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.customer = customer;
    s.total = total;
    setFieldText(s.payment, word);
    return s;
}

TEST_F(PaymentTest, StatementShowsTheThreeLineFormsInDateAndFileOrder) {
    CustomerRecord c = customer(3, "DAVE", 1, 12.5);
    auto put = [&](LocalTime day, const SaleRecord& s) {
        ASSERT_TRUE(store->journal().appendYearIndex(
            day, {static_cast<int32_t>(s.number), day.day, day.month}));
        ASSERT_TRUE(store->journal().appendSale(day, s));
    };
    // The kept history starts on 1 December 2026.
    {
        auto lock = store->lock();
        int* h = &store->config().record().settings_a[kSetAHistoryStart];
        h[0] = 1, h[1] = 12, h[2] = 2026;
    }
    put({2026, 11, 30, 10, 0, 0}, sale(1, 3, "Cash", 1.0));  // before the history
    put({2026, 12, 2, 10, 0, 0}, sale(2, 3, "Credit", 20.0));
    put({2026, 12, 2, 11, 0, 0}, sale(3, 4, "Cash", 5.0));  // another customer
    put({2026, 12, 2, 12, 0, 0}, sale(4, 3, "Cash", 3.5));
    put({2026, 12, 5, 9, 0, 0}, sale(5, 3, "Payment (ch)", 11.0));

    const Statement st = customerStatement(*store, c, clock.now());
    EXPECT_EQ(st.heading, "CUSTOMER: 3  DAVE");
    const std::vector<std::string> want = {
        "Credit sale: Wed 2 Dec 26,  Transaction: 2, Total: 20.00",
        "Cash paid sale: Wed 2 Dec 26,  Transaction: 4, Total: 3.50",
        "Payment: Sat 5 Dec 26,  Transaction: 5, 11.00",
    };
    EXPECT_EQ(st.lines, want);
    EXPECT_EQ(st.balance, "Balance: 12.50");

    const Statement period =
        periodActivity(*store, c, {2026, 11, 1, 0, 0, 0}, {2026, 12, 2, 0, 0, 0});
    EXPECT_EQ(period.heading, "Period: Sun 1 Nov 26 to Wed 2 Dec 26");
    ASSERT_EQ(period.lines.size(), 3u);
    EXPECT_EQ(period.lines[0], "Cash paid sale: Mon 30 Nov 26,  Transaction: 1, Total: 1.00");

    // "Balance pay on transaction": the customer of a transaction, when
    // it has one on file.
    int64_t who = 0;
    EXPECT_TRUE(customerOfTransaction(*store, 5, clock.now(), &who));
    EXPECT_EQ(who, 3);
    for (int64_t t : {3, 99})
        EXPECT_EQ(customerOfTransaction(*store, t, clock.now(), &who).message(),
                  "No customer associated with transaction");
}

TEST_F(PaymentTest, MailmergeSelectsByRangeBalanceAndLastUse) {
    customer(1, "OWES", 1, 5.0, "10:0001/02/2026");
    customer(2, "CLEAR", 1, 0.0, "10:0001/02/2025");
    customer(3, "CREDIT", 1, -4.0, "NEW");
    customer(4, "OWES OLD", 1, 9.0, "10:0001/02/2024");
    customer(9, "OUTSIDE", 1, 9.0, "NEW");
    struct Case {
        MailmergeSelection selection;
        std::vector<int64_t> numbers;
    };
    const Case cases[] = {
        {MailmergeSelection::kAll, {1, 2, 3, 4}},
        {MailmergeSelection::kOweMoney, {1, 4}},
        {MailmergeSelection::kNotActiveThisYear, {2, 3, 4}},
    };
    for (const Case& c : cases) {
        Status error;
        std::vector<int64_t> got;
        for (const CustomerRecord& r :
             mailmergeCustomers(*store, 1, 4, c.selection, clock.now(), &error))
            got.push_back(r.number);
        EXPECT_TRUE(error);
        EXPECT_EQ(got, c.numbers);
    }
    TempFolder dir;
    const std::string text = "Line one\r\nLine two, with more words\n";
    ASSERT_TRUE(saveLetterText(dir / "letter.txt", text));
    std::string back;
    ASSERT_TRUE(loadLetterText(dir / "letter.txt", &back));
    EXPECT_EQ(back, text);
}

}  // namespace
}  // namespace kassio::test
