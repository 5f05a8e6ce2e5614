// The day's figures shown five ways: the Daily Status window, its printed
// page, the activity report file (upload and export), the till
// reconciliation and the till closeout with its ActivityLog lines.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/status.h"
#include "reports/day_totals.h"
#include "reports/report_printing.h"

namespace kassio {

// What the summaries show beside the day's totals, copied from the
// StoreConfig and the indexes under the DataMutex.
struct ShopFigures {
    std::string heading;  // first store heading line
    LocalTime started;    // this run's start
    LocalTime previousClose;
    LocalTime lastBackup;
    int32_t nextTransaction = 0;
    int liveItems = 0;
    int64_t highestItem = 0;  // 0 when the last index entry is a deleted slot
    int liveCustomers = 0;
    int64_t highestCustomer = 0;
    double initialTill = 0;
};
ShopFigures shopFigures(DataStore& store);

// The Daily Status window: its title and its rows (label, value), then the
// three notes.
struct StatusView {
    std::string title;
    std::vector<std::pair<std::string, std::string>> rows;
    std::vector<std::string> notes;
};
// today: the window of today ("Daily Status <long date> ") or of a chosen day.
StatusView statusView(const ShopFigures& shop, const DayTotals& t, const Day& day, bool today);

// The printed activity summary, lines 0 to 34; now is the time printed.
PrintedPage activitySummaryPage(const ShopFigures& shop, const DayTotals& t, const LocalTime& now);

// The activity report file of the head-office upload (no line break at the
// end), and the exported summary of a chosen day.
std::string activityReportText(const ShopFigures& shop, const DayTotals& t, const LocalTime& now);
std::string exportedSummaryText(const std::string& heading, const DayTotals& t, const Day& day);

// The till reconciliation and closeout figures.
struct TillCount {
    double initialTill = 0, cash = 0, cashRefunds = 0, cashBack = 0, totalCash = 0;
    double ch = 0, chRefunds = 0, eft = 0, eftRefunds = 0, tillTotal = 0;
    int itemsSold = 0, itemsRefunded = 0;
};
TillCount tillCount(double initialTill, const DayTotals& t);
// The window's rows (label, "%.2f"), "Items" last as "%d (%d)".
std::vector<std::pair<std::string, std::string>> tillCountRows(const TillCount& c);

// The closeout's printed page and its ActivityLog text.
PrintedPage closeoutPage(const std::string& heading, const TillCount& c, const LocalTime& now,
                         int64_t clerk, const std::string& clerkName);
std::string closeoutLogText(const TillCount& c, const LocalTime& now, int64_t clerk,
                            const std::string& clerkName);
// Writes the closeout to today's ActivityLog (folders made sure of first)
// and waits until it is on disk. "Data log text file not present." (title
// "Fatal error") when the log cannot be written; the clerk then stays on.
Status writeCloseout(DataStore& store, const TillCount& c, int64_t clerk,
                     const std::string& clerkName);

}  // namespace kassio
