// Item summaries (a day, a week, a month, a chosen period), the items CSV
// exports of a day or a week, and their printed pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "reports/day_journal.h"
#include "reports/report_printing.h"
#include "store/basket.h"

namespace kassio {

enum class SummaryPeriod { kDay, kWeek, kMonth, kPeriod };

// The days a summary covers: the day; seven days from the first; every day
// of the month of `first`; or every day from first to last inclusive.
std::vector<Day> summaryDays(SummaryPeriod period, const Day& first, const Day& last = {});

inline constexpr int kEveryCategory = -1;

struct ItemSummaryFilter {
    bool excludeRefunds = true;
    bool excludeCash = false;
    bool excludeCh = false;
    bool excludeEft = false;
    bool excludeCredit = false;
    bool excludeSplit = false;
    int category = kEveryCategory;  // or 0..17, or 18 for non-inventory lines
};

struct SummaryEntry {
    int64_t item = 0;
    std::string description;
    int64_t category = 0;
    double nonTaxable = 0, taxable = 0, tax1 = 0, tax2 = 0, cost = 0, discount = 0, total = 0;
    char kind = 0;  // 'R' for a refund line, else the first letter of the payment word
    int count = 1;
};

struct ItemSummary {
    std::vector<SummaryEntry> entries;  // merged and ordered
    int items = 0;                      // item lines taken, refund lines included
    double cost = 0;
    double retail = 0;  // non-taxable + taxable
    double total = 0;
    bool cancelled = false;
};

// Takes the lines of every day (one hold of the DataMutex per day), then
// merges and orders them.
ItemSummary itemSummary(DataStore& store, const std::vector<Day>& days,
                        const ItemSummaryFilter& filter, const ReportProgress& progress = {});

// The lines of one day that pass the filter, in journal order, refund lines
// negated; adds to the totals of `into`.
void takeLines(const DayJournal& day, const ItemSummaryFilter& filter, ItemSummary* into);
// Merges equal items (refunds and non-inventory lines never) and orders the
// entries by count, largest first, as the exchange pass leaves them.
void mergeAndOrder(std::vector<SummaryEntry>* entries);

inline constexpr const char* kItemSummaryColumns =
    "Item            Description        Category    Cost      Nett      Tax      Total     "
    "Quantity";
inline constexpr const char* kItemSummaryNote =
    "Item values do not include transaction discounts which are transaction values and are not "
    "allocatable to individual items. Discounts (nett) are utilized in the sales reports.";

std::string summaryTitle(SummaryPeriod period, const Day& first, const Day& last);
std::string summaryLine(const SummaryEntry& e);
std::vector<std::string> summaryLines(const ItemSummary& s);
std::string summaryTotalsLine(const ItemSummary& s);  // "Items: %d, Cost: %.2f, Retail: %.2f"
Listing summaryPrint(SummaryPeriod period, const std::string& heading, const Day& first,
                     const Day& last, const ItemSummary& s);
// The saved text file: every list line and a line break, then the totals.
std::string summaryFileText(const ItemSummary& s);

// The items CSV of a day or of the week from `first`. "No items for that
// day." when the single day has no sales log.
Status itemsCsv(DataStore& store, const Day& first, bool week, std::string* text);

}  // namespace kassio
