// The till engine driven through its public operations, from log-on to a
// posted sale, with the journal, stock and log read back.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "admin/clerks.h"
#include "base/money.h"
#include "base/timestamp.h"
#include "till/discounts.h"
#include "till/posting.h"
#include "till/posting_internal.h"
#include "till/tender.h"
#include "till_fixture.h"

namespace kassio {
namespace {

using test::TillTest;

// --- Item entry: taxes, offers, stock ---------------------------------------

TEST_F(TillTest, TaxRoundingOnLines) {
    item(1, "GUM", 0.99, 2, 50);
    InventoryRecord& exact = item(2, "GUM EXACT", 0.99, 2, 50);
    exact.no_tax_rounding = 2;
    amend(exact);
    item(3, "PIN", 0.125, 2, 50);
    ASSERT_TRUE(till->addItem(1));
    ASSERT_TRUE(till->addItem(2));
    ASSERT_TRUE(till->addItem(3));
    const Basket& b = till->basket();
    EXPECT_DOUBLE_EQ(b.tax1[0], 0.20);
    EXPECT_DOUBLE_EQ(b.tax1[1], 0.19);
    EXPECT_DOUBLE_EQ(b.tax1[2], 0.03);
    EXPECT_DOUBLE_EQ(b.total_tax1, 0.42);
    EXPECT_DOUBLE_EQ(b.total_taxable, 2.10);  // 2.105 prints as 2.10
    EXPECT_DOUBLE_EQ(b.total, 2.52);
    EXPECT_EQ(till->current().rows()[0], "1  GUM (50)  1.19");
}

TEST_F(TillTest, TaxCodesTaxTwoAndTheThreshold) {
    StoreConfigRecord& cfg = store->config().record();
    cfg.options[kOptTax2InUse] = 2;
    cfg.options[kOptTax2Rate] = 1000;
    item(1, "BOTH", 10, 1, 9);
    item(2, "ONE", 10, 2, 9);
    item(3, "TWO", 10, 3, 9);
    item(4, "NONE", 10, 0, 9);
    for (int n = 1; n <= 4; ++n) ASSERT_TRUE(till->addItem(n));
    const Basket& b = till->basket();
    EXPECT_EQ((std::vector<double>{b.tax1[0], b.tax1[1], b.tax1[2], b.tax1[3]}),
              (std::vector<double>{2, 2, 0, 0}));
    EXPECT_EQ((std::vector<double>{b.tax2[0], b.tax2[1], b.tax2[2], b.tax2[3]}),
              (std::vector<double>{1, 0, 1, 0}));
    EXPECT_DOUBLE_EQ(b.non_taxable[3], 10);
    EXPECT_DOUBLE_EQ(b.total, 46);
    till->clearBasket();
    cfg.options[kOptTax2OnTax1] = 2;
    ASSERT_TRUE(till->addItem(1));
    EXPECT_DOUBLE_EQ(till->basket().tax2[0], 1.2);  // on 10 + 2

    // The line that crosses the threshold carries tax 1 on all so far.
    till->clearBasket();
    cfg.options[kOptTax2InUse] = 0;
    cfg.settings_b[kSetBTax1Threshold] = 2;
    cfg.money[kMoneyTax1Threshold] = 100;
    item(5, "NINETY", 90, 2, 9);
    item(6, "TWENTY", 20, 2, 9);
    item(7, "FIFTY", 50, 2, 9);
    ASSERT_TRUE(till->addItem(5));
    ASSERT_TRUE(till->addItem(6));
    ASSERT_TRUE(till->addItem(6));
    EXPECT_DOUBLE_EQ(till->basket().tax1[0], 0);
    EXPECT_DOUBLE_EQ(till->basket().tax1[1], 22);
    EXPECT_DOUBLE_EQ(till->basket().tax1[2], 4);
    till->clearBasket();
    ASSERT_TRUE(till->addItem(7));
    ASSERT_TRUE(till->addItem(6));
    EXPECT_DOUBLE_EQ(till->basket().tax1[1], 0);
}

TEST_F(TillTest, OffersAndStock) {
    InventoryRecord& bogof = item(1, "BOGOF", 1, 0, 50);
    bogof.offer = 2;
    amend(bogof);
    InventoryRecord& b2g1 = item(2, "B2G1", 1, 0, 50);
    b2g1.offer = 4;
    amend(b2g1);
    for (int k = 0; k < 6; ++k) ASSERT_TRUE(till->addItem(1));
    for (int k = 0; k < 6; ++k) ASSERT_TRUE(till->addItem(2));
    std::vector<double> prices;
    for (int i = 0; i < 12; ++i) prices.push_back(till->basket().line_total[i]);
    EXPECT_EQ(prices, (std::vector<double>{1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0}));

    till->clearBasket();
    item(3, "TWO LEFT", 1, 0, 2);
    EXPECT_TRUE(till->addItem(3));
    EXPECT_TRUE(till->addItem(3));
    EXPECT_FALSE(till->addItem(3));
    EXPECT_EQ(said(), "Item out of stock");
    store->config().record().options[kOptPermitInsufficientStock] = 2;
    EXPECT_TRUE(till->addItem(3));
}

TEST_F(TillTest, AgeAndReorderAlertsDoNotStopTheAdd) {
    InventoryRecord& wine = item(1, "WINE", 6, 2, 3);
    wine.age_limit = 18;
    wine.reorder_quantity = 5;
    amend(wine);
    store->config().record().settings_b[kSetBReorderAlerts] = 2;
    ASSERT_TRUE(till->addItem(1));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "18");
    EXPECT_EQ(ui.shown[0].title, "Age alert");
    EXPECT_EQ(ui.shown[1].text, "Item stock level");
    EXPECT_EQ(ui.shown[1].title, "Reorder alert");
    ASSERT_TRUE(till->addItem(1));
    EXPECT_EQ(ui.shown.size(), 3u);  // the reorder alert only for the first line
}

TEST_F(TillTest, VoidRepeatClearAndTheBasketTable) {
    EXPECT_TRUE(till->addItem(12));
    till->repeatLast("5");
    EXPECT_EQ(till->basket().line_count, 6);
    EXPECT_DOUBLE_EQ(till->basket().total, roundMoney(6 * 2.99));

    till->current().selectRow(1);
    till->voidLine();
    EXPECT_EQ(till->basket().line_count, 5);
    EXPECT_EQ(till->current().rows().size(), 5u);
    EXPECT_DOUBLE_EQ(till->basket().total, roundMoney(5 * 2.99));
    EXPECT_EQ(till->basket().item[5], 0);

    store->config().record().options[kOptPermitInsufficientStock] = 2;
    till->repeatLast("396");
    EXPECT_EQ(said(), "Transaction limit 400 items");
    till->repeatLast("391");
    EXPECT_EQ(till->basket().line_count, 396);
    till->repeatLast("5");
    EXPECT_EQ(till->basket().line_count, 396);

    // Swapping to basket 2 and back restores basket 1 byte for byte.
    const Basket before = till->basket();
    till->changeBasketTo(2);
    EXPECT_EQ(till->basket().line_count, 0);
    EXPECT_TRUE(till->addItem(12));
    till->changeBasketTo(1);
    EXPECT_EQ(std::memcmp(&before, &till->basket(), sizeof before), 0);
    EXPECT_EQ(till->current().rows().size(), 396u);
    EXPECT_EQ(till->current().rows()[0], "12  FILTER COFFEE  2.99");
    till->changeBasketTo(17);
    EXPECT_EQ(said(), "Basket not valid");

    // Voiding the only line zeroes the whole basket, customer included.
    till->clearBasket();
    EXPECT_TRUE(till->addItem(12));
    till->basket().customer = 7;
    till->voidLine();
    EXPECT_EQ(till->basket().customer, 0);
    till->voidLine();
    EXPECT_EQ(said(), "No items");
}

// --- Tenders and posting ----------------------------------------------------

TEST_F(TillTest, CashSaleEndToEnd) {
    ASSERT_TRUE(till->logOn(1, ""));
    store->config().record().next_transaction = 41;
    ASSERT_TRUE(till->addFromEntry("12\r\n"));
    ASSERT_TRUE(till->addFromEntry("12\r\n"));
    CashPanel* cash = till->cashTender();
    ASSERT_NE(cash, nullptr);
    EXPECT_EQ(till->tenderState(), TenderState::kPanelOpen);
    cash->typed("500");
    EXPECT_EQ(cash->changeText(), "");
    EXPECT_EQ(cash->changeColour(), kChangeShortColour);
    EXPECT_FALSE(cash->ok());
    EXPECT_EQ(said(), "Less than total");
    cash->typed("2000");
    EXPECT_EQ(cash->changeText(), "14.02");
    EXPECT_EQ(cash->changeColour(), kChangeDueColour);
    EXPECT_TRUE(cash->ok());
    EXPECT_EQ(till->tenderState(), TenderState::kNone);
    EXPECT_EQ(till->basket().line_count, 0);

    auto sales = todaysSales();
    ASSERT_EQ(sales.size(), 1u);
    const SaleRecord& s = sales[0];
    EXPECT_EQ(s.number, 41);
    EXPECT_EQ(s.clerk, 1);
    EXPECT_EQ(s.line_count, 2);
    EXPECT_DOUBLE_EQ(s.total, 5.98);
    EXPECT_DOUBLE_EQ(s.taxable, 4.98);
    EXPECT_DOUBLE_EQ(s.tax1, 1.00);
    EXPECT_DOUBLE_EQ(s.cash, 5.98);
    EXPECT_DOUBLE_EQ(s.cost, 2.49);
    EXPECT_STREQ(s.payment, "Cash");
    EXPECT_STREQ(s.time, "14:30");
    auto lines = todaysLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].number, 41);
    EXPECT_EQ(lines[1].item, 12);
    EXPECT_EQ(lines[1].display_category, 5);
    EXPECT_DOUBLE_EQ(lines[1].total, 2.99);
    EXPECT_STREQ(lines[1].description, "FILTER COFFEE");

    auto coffee = readItem(*store, 12);
    EXPECT_EQ(coffee->quantity, 28);
    EXPECT_EQ(coffee->total_sold, 2);
    EXPECT_STREQ(coffee->last_used, "14:3006/12/2026");
    EXPECT_DOUBLE_EQ(devices.lastTendered, 20.00);
    EXPECT_DOUBLE_EQ(devices.lastChange, 14.02);
    EXPECT_EQ(devices.lastAfterSale.number, 41);

    const StoreConfigRecord& cfg = store->config().record();
    EXPECT_EQ(cfg.next_transaction, 42);
    EXPECT_DOUBLE_EQ(cfg.running_totals[kRunningTakings], 5.98);
    EXPECT_DOUBLE_EQ(cfg.sales_totals[kSalesTotalsByCategory + 5], 5.98);
    EXPECT_EQ(cfg.counters[85], 2);
    EXPECT_EQ(cfg.counters[95], 2);
    // kq.cfg on disk already holds the next number.
    StoreConfigRecord disk;
    std::memcpy(&disk, readWholeFile(store->pathOf("kq.cfg"))->data(), sizeof disk);
    EXPECT_EQ(disk.next_transaction, 42);

    EXPECT_EQ(todaysLog(),
              "\r\n14:30 06/12/2026  Log on.\r\nClerk: 1, Administrator\r\n"
              "\r\n14:30 06/12/2026 Sale: 41, Total: 5.98\r\n"
              "12  FILTER COFFEE\r\n12  FILTER COFFEE\r\n"
              "Clerk: 1, Administrator   Items: 2\r\n"
              "Payment type: Cash\r\n");
    auto entries = store->journal().readYearIndex(2026);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].number, 41);
    EXPECT_EQ(entries[0].day, 6);
}

TEST_F(TillTest, QuickAmountsExactAndSplit) {
    ASSERT_TRUE(till->logOn(1, ""));
    item(2, "FIFTY", 50, 0, 9);
    ASSERT_TRUE(till->addItem(2));
    CashPanel* cash = till->cashTender();
    EXPECT_EQ(cash->quickAmounts(), (std::array<double, 3>{55, 60, 100}));
    EXPECT_TRUE(cash->quick(0));
    EXPECT_DOUBLE_EQ(devices.lastChange, 5);

    ASSERT_TRUE(till->addItem(2));
    ASSERT_TRUE(till->cashTender()->exact());
    EXPECT_DOUBLE_EQ(devices.lastChange, 0);

    ASSERT_TRUE(till->addItem(2));
    SplitPanel* split = till->splitTender();
    ASSERT_NE(split, nullptr);
    split->typed("6000");
    EXPECT_FALSE(split->ok());
    EXPECT_EQ(said(), "Cash exceeds total");
    split->typed("2000");
    EXPECT_EQ(split->otherText(), "30.00");
    ASSERT_TRUE(split->ok());
    CashPanel* rest = till->openCashPanel();
    ASSERT_NE(rest, nullptr);
    EXPECT_DOUBLE_EQ(rest->due(), 20);
    rest->typed("1999");
    EXPECT_FALSE(rest->ok());
    rest->typed("2500");
    ASSERT_TRUE(rest->ok());
    auto sales = todaysSales();
    ASSERT_EQ(sales.size(), 3u);
    EXPECT_STREQ(sales[2].payment, "Split");
    EXPECT_DOUBLE_EQ(sales[2].cash, 20);
    EXPECT_DOUBLE_EQ(sales[2].eft, 30);
    EXPECT_DOUBLE_EQ(devices.lastTendered, 55);
    EXPECT_NE(todaysLog().find("Payment type: Split\r\nCash: 20.00  CH: 0.00  EFT: 30.00\r\n"),
              std::string::npos);
}

TEST_F(TillTest, ChequeCardAndCashBack) {
    ASSERT_TRUE(till->logOn(1, ""));
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    ASSERT_EQ(todaysSales().size(), 1u);
    EXPECT_STREQ(todaysSales()[0].payment, "CH");
    EXPECT_EQ(todaysLog().find("Cash: "), std::string::npos);

    ASSERT_TRUE(till->addItem(12));
    panels.electronic = ElectronicPayment::kPaymentPlusCashBack;
    panels.cashBack = "20.75";
    till->cardTender();
    SaleRecord card = todaysSales().back();
    EXPECT_STREQ(card.payment, "EFT");
    EXPECT_DOUBLE_EQ(card.cash_back, 20);
    EXPECT_DOUBLE_EQ(card.eft, 2.99);
    EXPECT_DOUBLE_EQ(store->config().record().money[kMoneyCashBack], 20);

    ASSERT_TRUE(till->addItem(12));
    panels.cashBack = "150";
    ui.answers.push_back(Ui::Answer::kNo);
    till->cardTender();
    EXPECT_EQ(saidTitle(), "Please confirm");
    EXPECT_EQ(said(), "150");
    EXPECT_EQ(till->basket().line_count, 1);  // not posted

    // Through the card program: a decline leaves the basket on the till.
    store->config().record().money[kMoneyCardTerminalMode] = 2.0;
    devices.cardAnswer = {false, 0};
    till->cardTender();
    EXPECT_EQ(till->basket().line_count, 1);
    EXPECT_STREQ(till->basket().payment_word, "");
    devices.cardAnswer = {true, 10};
    till->cardTender();
    EXPECT_EQ(till->basket().line_count, 0);
    EXPECT_DOUBLE_EQ(todaysSales().back().cash_back, 10);
}

TEST_F(TillTest, CreditTenderChargesTheAccountAndExemptsTax) {
    ASSERT_TRUE(till->logOn(2, ""));
    customer(7, "ACME", 100);
    customer(8, "SCHOOL", 0, 0);
    ASSERT_TRUE(till->addItem(12));
    panels.customer = "7";
    till->creditTender();
    auto acme = readCustomer(*store, 7);
    EXPECT_DOUBLE_EQ(acme->balance, 102.99);
    EXPECT_EQ(acme->transactions, 1);
    EXPECT_DOUBLE_EQ(acme->total_purchases, 2.99);
    SaleRecord s = todaysSales().back();
    EXPECT_STREQ(s.payment, "Credit");
    EXPECT_EQ(s.customer, 7);
    EXPECT_DOUBLE_EQ(s.balance_before, 100);
    EXPECT_DOUBLE_EQ(s.balance_after, 102.99);
    EXPECT_DOUBLE_EQ(store->config().record().running_totals[kRunningTakings], 0);
    EXPECT_NE(todaysLog().find("Customer: 7 ACME\r\n"), std::string::npos);

    // Tax exempt, paid in cash: net prices, no tax on the lines.
    ASSERT_TRUE(till->addItem(12));
    panels.customer = "SCH";
    ui.picks.push_back(0);
    panels.customerPayment = CustomerPayment::kCash;
    till->creditTender();
    SaleRecord exempt = todaysSales().back();
    EXPECT_DOUBLE_EQ(exempt.total, 2.49);
    EXPECT_DOUBLE_EQ(exempt.tax1, 0);
    EXPECT_DOUBLE_EQ(exempt.non_taxable, 2.49);
    EXPECT_DOUBLE_EQ(todaysLines().back().non_taxable, 2.49);
    EXPECT_DOUBLE_EQ(todaysLines().back().taxable, 0);
    EXPECT_DOUBLE_EQ(readCustomer(*store, 8)->balance, 0);

    // Over the limit: Cancel stops, OK goes on past it.
    customer(9, "LOW", 1999);
    ASSERT_TRUE(till->addItem(12));
    panels.customer = "9";
    panels.customerPayment = CustomerPayment::kCredit;
    ui.answers.push_back(Ui::Answer::kCancel);
    till->creditTender();
    EXPECT_EQ(said(), "Exceeded");
    EXPECT_EQ(till->basket().line_count, 1);
    ui.answers.push_back(Ui::Answer::kOk);
    till->creditTender();
    EXPECT_DOUBLE_EQ(readCustomer(*store, 9)->balance, 2001.99);
}

TEST_F(TillTest, RefundsRestockAndCredit) {
    ASSERT_TRUE(till->logOn(1, ""));
    const int before = stock(12);
    ASSERT_TRUE(till->addItem(12));
    ASSERT_TRUE(till->addItem(12));
    panels.refund = RefundChoice{0, 0, true};
    till->refund();
    EXPECT_EQ(stock(12), before + 2);
    EXPECT_EQ(readItem(*store, 12)->total_sold, 0);
    SaleRecord r = todaysSales().back();
    EXPECT_STREQ(r.payment, "Refund");
    EXPECT_DOUBLE_EQ(r.total, -5.98);
    EXPECT_DOUBLE_EQ(r.cash, -5.98);
    EXPECT_DOUBLE_EQ(todaysLines().back().total, 2.99);
    EXPECT_DOUBLE_EQ(store->config().record().running_totals[8], -5.98);
    EXPECT_EQ(till->basket().line_count, 0);
    EXPECT_EQ(devices.calls.back(), "refund receipt");
    const std::string log = todaysLog();
    EXPECT_NE(log.find("Refund: 1, Total: -5.98\r\n12  FILTER COFFEE\r\n12  FILTER COFFEE\r\n"
                       "Clerk: 1, Administrator   Items: 2\r\nForm: Cash\r\nCustomer: 0 \r\n"),
              std::string::npos);
    // The number is on disk at once: a crash cannot hand it out again.
    StoreConfigRecord disk;
    std::memcpy(&disk, readWholeFile(store->pathOf("kq.cfg"))->data(), sizeof disk);
    EXPECT_EQ(disk.next_transaction, 2);

    ASSERT_TRUE(till->addItem(12));
    panels.refund = RefundChoice{1, 1, false};
    till->refund();
    EXPECT_EQ(stock(12), before + 2);  // faulty: not back in stock

    customer(3, "CREDITED", 100);
    item(20, "THIRTY", 30, 0, 5);
    ASSERT_TRUE(till->addItem(20));
    panels.refund = RefundChoice{3, 0, false};
    panels.customer = "3";
    ui.answers.push_back(Ui::Answer::kOk);
    till->refund();
    EXPECT_EQ(saidTitle(), "3 Name: CREDITED");
    EXPECT_DOUBLE_EQ(readCustomer(*store, 3)->balance, 70);
    EXPECT_EQ(todaysSales().back().customer, 3);
}

// A refund stopped by a vanished item leaves the Basket as it was, so the
// next try is journalled as a refund again (negative totals).
TEST_F(TillTest, ARetriedRefundIsJournalledAsARefund) {
    ASSERT_TRUE(till->logOn(1, ""));
    item(14, "VANISHING", 1, 0, 5);
    ASSERT_TRUE(till->addItem(12));
    ASSERT_TRUE(till->addItem(14));
    const double total = till->basket().total;
    ASSERT_GT(total, 0);
    ASSERT_TRUE(deleteItem(*store, 14));
    panels.refund = RefundChoice{0, 0, false};
    till->refund();
    ASSERT_EQ(todaysSales().size(), 1u);  // stopped after the first line
    EXPECT_DOUBLE_EQ(till->basket().total, total);
    EXPECT_EQ(till->basket().line_count, 2);

    item(14, "VANISHING", 1, 0, 5);
    till->refund();
    ASSERT_EQ(todaysSales().size(), 2u);
    EXPECT_STREQ(todaysSales().back().payment, "Refund");
    EXPECT_DOUBLE_EQ(todaysSales().back().total, -total);
    EXPECT_EQ(till->basket().line_count, 0);
}

// --- Discounts and price adjustments -----------------------------------------

TEST_F(TillTest, DiscountsAndPriceAdjustments) {
    item(1, "HUNDRED", 100, 2, 9);
    ASSERT_TRUE(till->addItem(1));
    DiscountPanel* d = till->addDiscount();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->onTotal());
    d->typed("1000");
    EXPECT_EQ(d->amendedText(), "90.00");
    ASSERT_TRUE(d->ok());
    const Basket& b = till->basket();
    EXPECT_DOUBLE_EQ(b.total_taxable, 90);
    EXPECT_DOUBLE_EQ(b.total_tax1, 18);
    EXPECT_DOUBLE_EQ(b.total, 108);
    EXPECT_DOUBLE_EQ(b.total_discount, 10);

    till->clearBasket();
    item(2, "FORTY", 40, 0, 9);
    item(3, "SIXTY", 60, 2, 9);
    ASSERT_TRUE(till->addItem(2));
    ASSERT_TRUE(till->addItem(3));
    d = till->addDiscount();
    d->typed("999999");
    EXPECT_FALSE(d->ok());
    EXPECT_EQ(said(), "Invalid discount");
    d->typed("1000");
    ASSERT_TRUE(d->ok());
    EXPECT_DOUBLE_EQ(b.total_non_taxable, 36);
    EXPECT_DOUBLE_EQ(b.total_taxable, 54);

    // On the total: 10 % of 57.30 is 573 cents; a second discount replaces it.
    till->clearBasket();
    store->config().record().settings_b[kSetBDiscountOnTotal] = 2;
    item(4, "ODD", 57.30, 0, 9);
    ASSERT_TRUE(till->addItem(4));
    d = till->addDiscount();
    // The fraction of a cent is cut off, not rounded: 0.5 % of 57.30 is 28.
    for (auto [entry, cents] : {std::pair{1, "28"}, {3, "85"}, {20, "573"}}) {
        d->choosePercent(entry);
        EXPECT_EQ(d->typedText(), cents) << entry;
    }
    d->typed("500");
    ASSERT_TRUE(d->ok());
    d = till->addDiscount();
    d->typed("300");
    ASSERT_TRUE(d->ok());
    EXPECT_DOUBLE_EQ(b.total_discount, 3);
    EXPECT_DOUBLE_EQ(b.total, 54.30);

    till->clearBasket();
    ASSERT_TRUE(till->addItem(12));
    PricePanel* p = till->adjustPrice();
    ASSERT_NE(p, nullptr);
    p->zero();
    ASSERT_TRUE(p->ok());
    EXPECT_DOUBLE_EQ(b.line_total[0], 0);
    EXPECT_DOUBLE_EQ(b.total, 0);
    EXPECT_DOUBLE_EQ(b.total_tax1, 0);

    item(5, "LOOSE", 2.50, 0, 999);
    ASSERT_TRUE(till->addItem(5));
    p = till->adjustByWeight();
    p->setWeight(250);
    EXPECT_EQ(p->priceBeforeTaxText(), "6.25");
    ASSERT_TRUE(p->ok());
    EXPECT_DOUBLE_EQ(b.line_total[1], 6.25);
    EXPECT_EQ(till->current().rows().back(), "5  LOOSE (999)  6.25");
}

// Money typed at the till that is no sum of money is refused before it is
// converted: no sale, no cash back counted, the panel stays open.
TEST_F(TillTest, TypedMoneyBeyondTheBoundIsRefused) {
    ASSERT_TRUE(till->logOn(1, ""));
    ASSERT_TRUE(till->addItem(12));
    CashPanel* cash = till->cashTender();
    ASSERT_NE(cash, nullptr);
    cash->typed(std::string(40, '9'));
    EXPECT_FALSE(cash->ok());
    EXPECT_EQ(said(), kAmountOutOfRange);
    cash->cancel();

    panels.electronic = ElectronicPayment::kPaymentPlusCashBack;
    for (const char* typed : {"1e30", "nan", "-inf", "1e999"}) {
        ui.shown.clear();
        panels.cashBack = typed;
        till->cardTender();
        EXPECT_EQ(said(), kAmountOutOfRange) << typed;
        EXPECT_EQ(till->basket().line_count, 1) << typed;
    }
    EXPECT_EQ(store->config().record().money[kMoneyCashBack], 0);
    EXPECT_TRUE(todaysSales().empty());

    panels.cashBack = "20";  // a sane amount still works
    till->cardTender();
    EXPECT_EQ(todaysSales().size(), 1u);
    EXPECT_DOUBLE_EQ(store->config().record().money[kMoneyCashBack], 20);
}

// --- Clerks and routing --------------------------------------------------------

TEST_F(TillTest, ClerksLogOnAndOperatorSetup) {
    StoreConfig& cfg = store->config();
    for (int c = 3; c <= 99; ++c) cfg.record().settings_a[kSetAClerkAvailable + c - 1] = 2;
    LogOnPanel panel(cfg);
    EXPECT_EQ(panel.nameLine(), "1 Administrator");
    panel.up();
    EXPECT_EQ(panel.clerk(), 2);
    panel.up();
    EXPECT_EQ(panel.clerk(), 1);
    panel.down();
    EXPECT_EQ(panel.clerk(), 2);

    EXPECT_EQ(applyOperatorSetup(cfg, 5, {"SAM", true, "123456789", "123456789"}).message(),
              "Password too long");
    EXPECT_EQ(applyOperatorSetup(cfg, 5, {"SAM", true, "1234", "1243"}).message(),
              "Passwords do not match");
    EXPECT_EQ(applyOperatorSetup(cfg, 5, {std::string(30, 'N'), true, "", ""}).message(),
              "Name too long");
    EXPECT_EQ(checkClerkNumber(100).message(), "Outside range");
    ASSERT_TRUE(applyOperatorSetup(cfg, 5, {"SAM", true, "1234", "1234"}));
    // The name and password tables are indexed differently.
    EXPECT_STREQ(cfg.record().clerk_names[4], "SAM");
    EXPECT_STREQ(cfg.record().clerk_passwords[5], "1234");
    ASSERT_TRUE(applyOperatorSetup(cfg, 5, {"SAM", false, "9", "8"}));  // unavailable: kept
    EXPECT_STREQ(cfg.record().clerk_passwords[5], "1234");

    EXPECT_FALSE(till->logOn(5, "1235"));
    EXPECT_FALSE(till->logOn(100, ""));
    ASSERT_TRUE(till->logOn(5, "1234"));
    EXPECT_EQ(till->clerks().accessLevel(), 2);
    EXPECT_EQ(till->clerks().windowTitle(), "KASSIO SC    Assoc: 5, SAM");
    EXPECT_EQ(store->config().record().current_clerk, 5);
}

TEST(Money, QuickAmounts) {
    const std::pair<double, std::array<double, 3>> cases[] = {
        {12.30, {15, 20, 50}},   {15.00, {20, 30, 100}}, {3.20, {5, 10, 20}},
        {5.00, {5, 10, 20}},     {50.00, {55, 60, 100}}, {5.01, {10, 20, 50}},
        {95.00, {100, 110, 150}}};
    for (const auto& [total, expected] : cases) EXPECT_EQ(quickAmounts(total), expected) << total;
}

// --- Client postings -----------------------------------------------------------

TEST_F(TillTest, ClientSaleAndRefundCodes) {
    Basket b{};
    EXPECT_EQ(postClientSale(*store, b).code, 1);
    b.line_count = 401;
    EXPECT_EQ(postClientSale(*store, b).code, 1);
    b.line_count = -3;
    EXPECT_EQ(postClientRefund(*store, b).code, 1);

    b.line_count = 1;
    b.item[0] = 12;
    b.line_total[0] = b.total = 2.99;
    b.customer = 44;
    EXPECT_EQ(postClientSale(*store, b).code, 2);
    b.customer = 0;
    b.item[0] = 77;
    EXPECT_EQ(postClientSale(*store, b).code, 4);
    item(13, "EMPTY", 1, 0, 0);
    b.item[0] = 13;
    EXPECT_EQ(postClientSale(*store, b).code, 5);
    EXPECT_TRUE(todaysSales().empty());

    b.item[0] = 12;
    setFieldText(b.description[0], "FILTER COFFEE");
    setFieldText(b.payment_word, "Cash");
    setFieldText(b.texts[0], "TILL 2");
    b.clerk = 2;
    ClientPostResult ok = postClientSale(*store, b);
    EXPECT_EQ(ok.code, 2 + 20);
    EXPECT_EQ(todaysSales().back().number, 1);
    EXPECT_NE(todaysLog().find("Sale: 1, Total: 2.99\r\nStation: TILL 2\r\n12  FILTER COFFEE\r\n"
                               "Clerk: 2, Manager   Items: 1\r\n"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(store->config().record().money[kMoneyClientCategorySales + 5], 2.99);

    b.values[kValueRefundKind] = 4;
    EXPECT_EQ(postClientRefund(*store, b).code, 2);
    b.values[kValueRefundKind] = 3;
    b.customer = 50;
    EXPECT_EQ(postClientRefund(*store, b).code, 3);
    customer(50, "CLIENT", 10);
    ClientPostResult refunded = postClientRefund(*store, b);
    EXPECT_EQ(refunded.code, 3 + 20);
    EXPECT_DOUBLE_EQ(readCustomer(*store, 50)->balance, 10 - 2.99);
    EXPECT_EQ(store->config().record().client_table2[0], 1);
    EXPECT_EQ(todaysSales().back().reserved8, 0);
}

// A posting that stops part way (an item gone between the check and the
// write pass) still moves the transaction number on, so the records it left
// in the journal never share a number with the next transaction.
TEST_F(TillTest, AStoppedPostingNeverReusesItsNumber) {
    ASSERT_TRUE(till->logOn(1, ""));
    item(14, "VANISHING", 1, 0, 5);
    ASSERT_TRUE(till->addItem(12));
    ASSERT_TRUE(till->addItem(14));
    Basket b = till->basket();
    ASSERT_TRUE(deleteItem(*store, 14));
    SalePostOutcome out = writeSale(*store, b, SaleWriteOptions{});
    EXPECT_TRUE(out.stopped);
    EXPECT_FALSE(out.posted);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0].message(), "Invalid entry");
    EXPECT_EQ(todaysSales().size(), 1u);
    EXPECT_EQ(todaysLines().size(), 1u);
    EXPECT_EQ(store->config().nextTransaction(), 2);

    // At the till the validation catches the missing item first and the
    // basket is discarded without a record written.
    till->chequeTender();
    EXPECT_EQ(said(), "Unknown item");
    EXPECT_EQ(till->basket().line_count, 0);
    EXPECT_EQ(todaysSales().size(), 1u);
}

}  // namespace
}  // namespace kassio
