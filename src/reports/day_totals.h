// DayTotals: the figures of one day worked out from its saleslog.dat and
// itemslog.dat; nothing is kept between requests.
#pragma once

#include "reports/day_journal.h"

namespace kassio {

struct DayTotals {
    int itemsSold = 0;
    int itemsRefunded = 0;
    double cashSales = 0, chSales = 0, eftSales = 0, creditSales = 0;
    // Refunds are stored negative, and added as stored.
    double cashRefunds = 0, chRefunds = 0, eftRefunds = 0, creditRefunds = 0;
    double nonTaxable = 0, taxable = 0, tax1 = 0, tax2 = 0, total = 0, cost = 0;
    double discounts = 0, cashBack = 0;
    double paymentsCash = 0, paymentsCh = 0, paymentsEft = 0;  // customer balance payments

    double totalSales() const { return cashSales + chSales + eftSales + creditSales; }
    double totalRefunds() const { return cashRefunds + chRefunds + eftRefunds + creditRefunds; }
    double netSales() const { return nonTaxable + taxable; }
    double grossProfit() const { return netSales() - cost; }
    double paymentsTotal() const { return paymentsCash + paymentsCh + paymentsEft; }
};

// The totals of a day already read.
DayTotals dayTotals(const DayJournal& day);
// Reads the day under the DataMutex and works its totals out. A missing
// sales log gives all 0; a missing items log leaves the two counts 0.
DayTotals dayTotals(DataStore& store, const Day& day);

}  // namespace kassio
