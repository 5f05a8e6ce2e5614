// Port: the devices and printing the till engine drives around a sale:
// the pole display, the drawer, the after-sale sequence (drawer, summary box
// or automatic receipt), the refund receipt and the card terminal exchange.
//
// Contract: called on the UI thread, never with the DataMutex held.
#pragma once

#include <string>

namespace kassio {

struct Basket;

// What the card terminal exchange answered.
struct CardResult {
    bool approved = false;
    double cashBack = 0;  // whole currency units asked for at the terminal
};

class TillDevices {
  public:
    virtual ~TillDevices() = default;

    // The pole display; each call runs only when the pole is in use.
    virtual void poleShowItem(const Basket& basket) = 0;
    virtual void poleShowTotal(const Basket& basket) = 0;
    virtual void poleShowTenderAndChange(double tendered, double change) = 0;
    virtual void poleShowPassiveText() = 0;

    virtual void openDrawer() = 0;

    // After a tender, before the sale is posted: drawer when automatic,
    // pole, then the summary box or the automatic receipt.
    virtual void printAfterSale(const Basket& basket, double tendered, double change) = 0;

    // One standard receipt of a refund, when the clerk asked for one.
    virtual void printRefundReceipt(const Basket& basket) = 0;

    // The card-payment program's answer for a sale of this amount.
    virtual CardResult cardSaleExchange(const Basket& basket, double amount) = 0;
    // notPresent: "Cardholder not present refund" was chosen.
    virtual CardResult cardRefundExchange(const Basket& basket, double amount, bool notPresent) = 0;
};

}  // namespace kassio
