#include "accounts/account_history.h"

#include <cstddef>
#include <cstring>
#include <optional>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/journal_format.h"

namespace kassio {

namespace {

int daysIn(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

int dateKey(const LocalTime& t) {
    return t.year * 10000 + t.month * 100 + t.day;
}

// Offsets of the SaleRecord fields the scan reads from each 1050 bytes.
constexpr std::size_t kCustomerAt = offsetof(SaleRecord, customer);

}  // namespace

bool validDate(int year, int month, int day) {
    return year >= 1900 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysIn(year, month);
}

LocalTime historyStart(const StoreConfig& config) {
    const StoreConfigRecord& r = config.record();
    LocalTime t;
    const int* h = &r.settings_a[kSetAHistoryStart];
    if (validDate(h[2], h[1], h[0])) {
        t.day = h[0], t.month = h[1], t.year = h[2];
        return t;
    }
    const int* f = &r.settings_a[kSetAFirstStart];
    if (validDate(f[2], f[1], f[0])) {
        t.day = f[0], t.month = f[1], t.year = f[2];
        return t;
    }
    t.day = 1, t.month = 1, t.year = kEarliestHistoryYear;
    return t;
}

std::vector<AccountEntry> customerTransactions(DataStore& store, int64_t customer,
                                               const LocalTime& from, const LocalTime& to) {
    std::vector<AccountEntry> out;
    if (!validDate(from.year, from.month, from.day) || !validDate(to.year, to.month, to.day))
        return out;
    StoreFiles& files = store.files();
    const int last = dateKey(to);
    for (int y = from.year; y <= to.year; ++y) {
        // A year or a month without its folder holds no sales: skipped
        // without a look at each of its days.
        if (!files.exists(formatted("%d/base.dat", y))) continue;
        const int m0 = y == from.year ? from.month : 1;
        for (int m = m0; m <= 12; ++m) {
            if (y * 10000 + m * 100 + 1 > last) break;
            if (!files.exists(formatted("%d/%d/base.dat", y, m))) continue;
            const int d0 = (y == from.year && m == from.month) ? from.day : 1;
            for (int d = d0; d <= daysIn(y, m); ++d) {
                if (y * 10000 + m * 100 + d > last) break;
                std::optional<std::string> bytes;
                {
                    auto lock = store.lock();
                    bytes = files.readAll(formatted("%d/%d/%d/saleslog.dat", y, m, d));
                }
                if (!bytes) continue;
                const std::size_t count = bytes->size() / kSaleRecordSize;
                for (std::size_t i = 0; i < count; ++i) {
                    const char* rec = bytes->data() + i * kSaleRecordSize;
                    int64_t who = 0;
                    std::memcpy(&who, rec + kCustomerAt, sizeof who);
                    if (who != customer) continue;
                    SaleRecord s;
                    std::memcpy(&s, rec, sizeof s);
                    AccountEntry e;
                    e.day.year = y, e.day.month = m, e.day.day = d;
                    e.number = s.number;
                    e.total = s.total;
                    e.payment = fieldText(s.payment);
                    out.push_back(std::move(e));
                }
            }
        }
    }
    return out;
}

std::string accountDayText(const LocalTime& day) {
    const std::string local = localeDateText(day);
    // The fallback of the receipt form begins "D:"; the account texts
    // fall back to the plain numeric date instead.
    if (local.rfind("D:", 0) == 0) return formatted("%d/%d/%d", day.day, day.month, day.year);
    return local;
}

std::string statementLine(const AccountEntry& e) {
    const std::string date = accountDayText(e.day);
    const long long n = static_cast<long long>(e.number);
    if (e.payment == "Cash")
        return formatted("%s paid sale: %s,  Transaction: %lld, Total: %.2f", e.payment.c_str(),
                         date.c_str(), n, e.total);
    if (e.payment.rfind("Payment", 0) == 0)
        return formatted("Payment: %s,  Transaction: %lld, %.2f", date.c_str(), n, e.total);
    return formatted("%s sale: %s,  Transaction: %lld, Total: %.2f", e.payment.c_str(),
                     date.c_str(), n, e.total);
}

std::string paymentListLine(const AccountEntry& e) {
    return formatted("%s,  %lld, %.2f", accountDayText(e.day).c_str(),
                     static_cast<long long>(e.number), e.total);
}

namespace {

Statement statementOver(DataStore& store, const CustomerRecord& c, const LocalTime& from,
                        const LocalTime& to) {
    Statement st;
    st.heading = formatted("CUSTOMER: %lld  %s", static_cast<long long>(c.number),
                           fieldText(c.name).c_str());
    for (const AccountEntry& e : customerTransactions(store, c.number, from, to))
        st.lines.push_back(statementLine(e));
    st.balance = formatted("Balance: %.2f", c.balance);
    return st;
}

}  // namespace

Statement customerStatement(DataStore& store, const CustomerRecord& customer,
                            const LocalTime& today) {
    LocalTime from;
    {
        auto lock = store.lock();
        from = historyStart(store.config());
    }
    return statementOver(store, customer, from, today);
}

Statement periodActivity(DataStore& store, const CustomerRecord& customer, const LocalTime& from,
                         const LocalTime& to) {
    Statement st = statementOver(store, customer, from, to);
    st.heading = "Period: " + accountDayText(from) + " to " + accountDayText(to);
    return st;
}

}  // namespace kassio
