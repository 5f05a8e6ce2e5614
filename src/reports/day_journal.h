// One day of the journal as the reports read it: the day's SaleRecords and
// SaleLineRecords, taken together under one hold of the DataMutex so that
// a posting (by this till or a client station) is either wholly in or
// wholly out. Reports over many days take the lock once per day, never for
// the whole range, so postings go on while a year is being read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "reports/report_dates.h"
#include "store/data_store.h"
#include "store/journal_format.h"

namespace kassio {

struct DayJournal {
    bool hasSales = false;  // the day's saleslog.dat exists
    bool hasLines = false;  // the day's itemslog.dat exists
    std::vector<SaleRecord> sales;
    std::vector<SaleLineRecord> lines;
};

enum class JournalParts { kSalesOnly, kSalesAndLines };

DayJournal readDayJournal(DataStore& store, const Day& day,
                          JournalParts parts = JournalParts::kSalesAndLines);

// What a transaction is, from the first letter of its payment word: "P" a
// customer balance payment, "R" a refund, anything else a sale.
enum class TransactionKind { kSale, kRefund, kBalancePayment };
TransactionKind kindOf(const SaleRecord& sale);

// Called between days of a long report with the days done and the days in
// all; false cancels the report. Never called with the DataMutex held.
using ReportProgress = std::function<bool(int done, int total)>;

}  // namespace kassio
