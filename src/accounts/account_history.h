// A customer's transactions as the statement, the period activity and the
// payment window show them: every SaleRecord of the customer in the day
// folders of a period, in date and file order.
//
// The days are read one at a time with the DataMutex held for that day
// only, so a statement over years of journal never stalls client stations
// for longer than one day's sales log takes to read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/customer_record.h"
#include "store/customers.h"
#include "store/data_store.h"

namespace kassio {

// One transaction of the customer: the day folder that holds it and the
// parts of its SaleRecord the account texts use.
struct AccountEntry {
    LocalTime day;
    int64_t number = 0;
    double total = 0;
    std::string payment;  // the payment word
};

// The kept-history window: StoreConfig's "History from:" date up to today.
// A configuration without a valid start uses the first-start date, and
// without that 1 January of the earliest history year.
LocalTime historyStart(const StoreConfig& config);

// Whether a date is a real calendar date.
bool validDate(int year, int month, int day);

// Every transaction of the customer on the days from..to (inclusive).
std::vector<AccountEntry> customerTransactions(DataStore& store, int64_t customer,
                                               const LocalTime& from, const LocalTime& to);

// A day as the account texts show it: the local form "ddd d MMM yy", or
// "%d/%d/%d" (day, month, year) when that cannot be made.
std::string accountDayText(const LocalTime& day);

// The statement line of one transaction: "Cash" paid sales, payments
// ("Payment ..."), and every other sale.
std::string statementLine(const AccountEntry& entry);

// The payment window's list line "%s,  %I64d, %.2f".
std::string paymentListLine(const AccountEntry& entry);

// The statement as the "Statement" window shows it: "CUSTOMER: %I64d  %s",
// one line per transaction in the history window, "Balance: %.2f".
struct Statement {
    std::string heading;
    std::vector<std::string> lines;
    std::string balance;
};
Statement customerStatement(DataStore& store, const CustomerRecord& customer,
                            const LocalTime& today);
// The same for a chosen period, titled "Period: <start> to <end>".
Statement periodActivity(DataStore& store, const CustomerRecord& customer, const LocalTime& from,
                         const LocalTime& to);

}  // namespace kassio
