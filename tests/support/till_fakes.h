// Recording and scripted adapters of the till's ports.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "platform/till_devices.h"
#include "platform/till_panels.h"
#include "store/basket.h"

namespace kassio::test {

class RecordingSound final : public Sound {
  public:
    void play(SoundId id) override { played.push_back(id); }
    std::vector<SoundId> played;
};

class RecordingDevices final : public TillDevices {
  public:
    void poleShowItem(const Basket&) override { calls.push_back("pole item"); }
    void poleShowTotal(const Basket&) override { calls.push_back("pole total"); }
    void poleShowTenderAndChange(double, double) override { calls.push_back("pole change"); }
    void poleShowPassiveText() override { calls.push_back("pole passive"); }
    void openDrawer() override { calls.push_back("drawer"); }
    void printAfterSale(const Basket& b, double tendered, double change) override {
        calls.push_back("after sale");
        lastAfterSale = b;
        lastTendered = tendered;
        lastChange = change;
    }
    void printRefundReceipt(const Basket& b) override {
        calls.push_back("refund receipt");
        lastAfterSale = b;
    }
    CardResult cardSaleExchange(const Basket&, double amount) override {
        calls.push_back("card sale");
        lastCardAmount = amount;
        return cardAnswer;
    }
    CardResult cardRefundExchange(const Basket&, double amount, bool notPresent) override {
        calls.push_back(notPresent ? "card refund not present" : "card refund");
        lastCardAmount = amount;
        return cardAnswer;
    }

    std::vector<std::string> calls;
    Basket lastAfterSale{};
    double lastTendered = 0, lastChange = 0, lastCardAmount = 0;
    CardResult cardAnswer{true, 0};
};

class ScriptedPanels final : public TillPanels {
  public:
    std::optional<RefundChoice> refundPanel(const Basket&, int32_t transaction,
                                            const std::string&) override {
        refundTransaction = transaction;
        return refund;
    }
    CustomerPayment customerTransactionPanel(const Basket&, const CustomerRecord&) override {
        return customerPayment;
    }
    ElectronicPayment electronicPaymentBox() override { return electronic; }
    std::optional<std::string> cashBackEntry() override { return cashBack; }
    CardRefundChoice cardRefundBox() override { return cardRefund; }
    std::optional<int> selectBasket() override { return basket; }
    std::optional<std::string> customerEntry() override { return customer; }

    std::optional<RefundChoice> refund = RefundChoice{};
    int32_t refundTransaction = 0;
    CustomerPayment customerPayment = CustomerPayment::kCredit;
    ElectronicPayment electronic = ElectronicPayment::kPayment;
    std::optional<std::string> cashBack;
    CardRefundChoice cardRefund = CardRefundChoice::kRefund;
    std::optional<int> basket;
    std::optional<std::string> customer;
};

}  // namespace kassio::test
