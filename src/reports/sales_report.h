// The sales report by day, month and year: for all clerks, one clerk
// ("Sales by staff") or one item ("Sales by item").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reports/day_journal.h"

namespace kassio {

// The five figures, in the order of the window's lists.
enum SalesFigure { kNonTaxable, kTaxable, kTotal, kTax1, kTax2, kSalesFigures };
inline constexpr const char* kSalesFigureNames[kSalesFigures] = {"Non taxable", "Taxable", "Total",
                                                                 "Tax 1", "Tax 2"};
enum SalesLevel { kDayLevel, kMonthLevel, kYearLevel, kSalesLevels };
inline constexpr const char* kSalesLevelNames[kSalesLevels] = {"Day", "Month", "Year"};

struct SalesReportRequest {
    Day from;
    Day to;
    std::optional<int32_t> clerk;  // Sales by staff
    std::optional<int64_t> item;   // Sales by item
};

struct SalesReport {
    std::string title;
    // lists[figure][level]: "%s  %.2f" lines.
    std::array<std::array<std::vector<std::string>, kSalesLevels>, kSalesFigures> lists;
    std::array<double, kSalesFigures> grand{};
    bool cancelled = false;
};

inline constexpr const char* kSalesReportNote =
    "The totals include cash, Ch, EFT and credit sales less refunds. Note that sales to "
    "customers with a tax code of 0 do not attract tax.";

// Reads the days from `from` to `to`, one hold of the DataMutex per day.
SalesReport salesReport(DataStore& store, const SalesReportRequest& request,
                        const ReportProgress& progress = {});

}  // namespace kassio
