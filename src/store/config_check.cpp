#include "store/config_check.h"

#include <cstddef>
#include <cstring>
#include <iterator>

#include "base/money.h"
#include "base/text_format.h"
#include "store/journal_format.h"
#include "store/store_config.h"

namespace kassio {

namespace {

constexpr int kFirstJournalYear = 2000;
constexpr int64_t kMaxTaxRate = 10000;  // hundredths of a percent

int32_t effectiveNext(int32_t stored) {
    // The documented repair at start: 0 and numbers past the range start at 1.
    return stored == 0 || stored > kMaxTransactionNumber ? 1 : stored;
}

bool nextIsBehindJournal(int32_t stored, int32_t lastJournalled) {
    // After the last number the count starts again at 1, so a journal
    // ending on it allows any next number.
    if (lastJournalled <= 0 || lastJournalled >= kMaxTransactionNumber) return false;
    return effectiveNext(stored) <= lastJournalled;
}

Status fault(const std::string& what) {
    return Status::corruption(
        "kq.cfg cannot be used: " + what +
        ". The start stops so that nothing is written over it; \"kassio-admin repair\" "
        "rebuilds it and keeps this file beside it.");
}

// Every amount kq.cfg keeps, by name, for the check and the repair alike.
// The record is packed, so each double is copied out and back rather than
// bound to a reference; visit(name, value) returns true when it changed it.
template <typename Visit>
void eachAmount(StoreConfigRecord& r, Visit visit) {
    auto* base = reinterpret_cast<unsigned char*>(&r);
    auto one = [&](const char* name, std::size_t offset) {
        double value;
        std::memcpy(&value, base + offset, sizeof value);
        if (visit(name, value)) std::memcpy(base + offset, &value, sizeof value);
    };
    auto run = [&](const char* name, std::size_t offset, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) one(name, offset + i * sizeof(double));
    };
    one("default till float", offsetof(StoreConfigRecord, default_till_float));
    run("discount", offsetof(StoreConfigRecord, discounts), std::size(r.discounts));
    run("money value", offsetof(StoreConfigRecord, money), std::size(r.money));
    run("running total", offsetof(StoreConfigRecord, running_totals), std::size(r.running_totals));
    run("sales total", offsetof(StoreConfigRecord, sales_totals), std::size(r.sales_totals));
}

}  // namespace

int32_t lastJournalledTransaction(const StoreFiles& files, int fromYear) {
    for (int year = fromYear; year >= kFirstJournalYear; --year) {
        const std::string name = formatted("%d/base.dat", year);
        uint64_t size = 0;
        if (!files.size(name, &size) || size < kYearIndexHeaderSize + sizeof(TransactionIndexEntry))
            continue;
        const uint64_t whole = (size - kYearIndexHeaderSize) / sizeof(TransactionIndexEntry);
        TransactionIndexEntry entry;
        std::size_t got = 0;
        if (!files.read(name, kYearIndexHeaderSize + (whole - 1) * sizeof entry, &entry,
                        sizeof entry, &got) ||
            got != sizeof entry)
            continue;
        return entry.number;
    }
    return 0;
}

Status checkConfigBytes(const std::string& bytes, int32_t lastJournalled) {
    if (bytes.size() != kStoreConfigSize)
        return fault(
            formatted("it is %zu bytes long instead of %zu", bytes.size(), kStoreConfigSize));
    StoreConfigRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    if (r.next_transaction < 0)
        return fault(formatted("the next transaction number %d is below 0", r.next_transaction));
    if (nextIsBehindJournal(r.next_transaction, lastJournalled))
        return fault(
            formatted("the next transaction number %d is not above %d, the last one in "
                      "the journal",
                      effectiveNext(r.next_transaction), lastJournalled));
    if (r.current_clerk < 0 || r.current_clerk > kClerkCount)
        return fault(formatted("the current clerk %lld is outside 0..%d",
                               static_cast<long long>(r.current_clerk), kClerkCount));
    for (int option : {kOptTax1Rate, kOptTax2Rate})
        if (r.options[option] < 0 || r.options[option] > kMaxTaxRate)
            return fault(formatted("the tax rate %lld is outside 0..%lld",
                                   static_cast<long long>(r.options[option]),
                                   static_cast<long long>(kMaxTaxRate)));
    std::string bad;
    eachAmount(r, [&bad](const char* name, double& value) {
        if (bad.empty() && !isSaneMoney(value)) bad = formatted("the %s %g", name, value);
        return false;
    });
    if (!bad.empty()) return fault(bad + " is no sum of money");
    return Status::ok();
}

std::string repairedConfigBytes(const std::string& old, int32_t lastJournalled,
                                const LocalTime& today, std::vector<std::string>* done) {
    StoreConfig cfg;
    StoreConfigRecord& r = cfg.record();
    auto note = [done](std::string line) {
        if (done) done->push_back(std::move(line));
    };
    const int32_t next = lastJournalled >= kMaxTransactionNumber ? 1 : lastJournalled + 1;
    if (old.size() != kStoreConfigSize) {
        cfg.setFirstRunDefaults(today);
        r.next_transaction = next;
        note(
            formatted("kq.cfg was %zu bytes long: every setting is back at its first-start "
                      "value (clerks, passwords, taxes and texts included)",
                      old.size()));
        note(formatted("next transaction number %d, after the last in the journal", next));
    } else {
        std::memcpy(&r, old.data(), sizeof r);
        if (r.next_transaction < 0 || nextIsBehindJournal(r.next_transaction, lastJournalled)) {
            note(
                formatted("next transaction number %d instead of %d, after the last in the "
                          "journal",
                          next, r.next_transaction));
            r.next_transaction = next;
        }
        if (r.current_clerk < 0 || r.current_clerk > kClerkCount) {
            note(formatted("current clerk 0 instead of %lld",
                           static_cast<long long>(r.current_clerk)));
            r.current_clerk = 0;
        }
        for (int option : {kOptTax1Rate, kOptTax2Rate}) {
            if (r.options[option] >= 0 && r.options[option] <= kMaxTaxRate) continue;
            note(
                formatted("tax rate 0 instead of %lld", static_cast<long long>(r.options[option])));
            r.options[option] = 0;
        }
        eachAmount(r, [&note](const char* name, double& value) {
            if (isSaneMoney(value)) return false;
            note(formatted("%s 0.00 instead of %g", name, value));
            value = 0;
            return true;
        });
    }
    return std::string(reinterpret_cast<const char*>(cfg.bytes()), kStoreConfigSize);
}

}  // namespace kassio
