// A shop configuration, English receipt words and a Basket to draw receipts
// from, with a recording canvas: page 1000 wide (C = 500), left offset 20,
// rows 32 high (30 + 2 leading), average character width 10.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "device_fakes.h"
#include "devices/device_settings.h"
#include "devices/receipt_layout.h"
#include "store/basket.h"
#include "store/receipt_words.h"
#include "store/store_config.h"
#include "support/scripted_ui.h"

namespace kassio::test {

class ReceiptTest : public ::testing::Test {
  protected:
    ReceiptTest() : m_basket(std::make_unique<Basket>()) {
        std::memset(m_basket.get(), 0, sizeof(Basket));
        config.setFirstRunDefaults({2026, 12, 6, 9, 5, 0});
        StoreConfigRecord& r = cfg();
        setFieldText(r.heading[0], "CORNER SHOP");
        setFieldText(r.heading[1], "1 HIGH STREET");
        setFieldText(r.heading[2], "LITTLETON");
        setFieldText(r.heading[3], "SHIRE");
        setFieldText(r.heading[4], "LT1 1AA");
        setFieldText(r.heading[5], "01234 567890");
        setFieldText(r.currency_symbol, "$");
        words.loadBuiltIn(0);
        b().number = 12;
        b().clerk = 1;
        setFieldText(b().time, "09:05");
        setFieldText(b().date, "06/12/2026");
        setFieldText(b().payment_word, "Cash");
    }

    StoreConfigRecord& cfg() { return config.record(); }
    Basket& b() { return *m_basket; }

    // One unit of an item; a taxable line carries 20 % tax 1 in its price.
    void addLine(int64_t item, const char* description, double price, bool taxable = true) {
        Basket& k = b();
        int i = k.line_count++;
        k.non_taxable[i] = k.taxable[i] = k.tax1[i] = k.tax2[i] = 0;
        k.item[i] = item;
        setFieldText(k.description[i], description);
        if (taxable) {
            k.taxable[i] = price / 1.2;
            k.tax1[i] = price - k.taxable[i];
            k.total_taxable += k.taxable[i];
            k.total_tax1 += k.tax1[i];
        } else {
            k.non_taxable[i] = price;
            k.total_non_taxable += price;
        }
        k.line_total[i] = price;
        k.subtotal += price - k.tax1[i];
        k.total += price;
    }

    void payCash(double tendered) {
        b().payment[kPayCash] = b().total;
        this->tendered = tendered;
        change = tendered - b().total;
    }

    ReceiptData data() {
        ReceiptData d;
        d.config = &cfg();
        d.words = &words;
        d.basket = &b();
        d.tendered = tendered;
        d.change = change;
        d.customerNumber = b().customer;
        d.customerName = fieldText(b().customer_name);
        d.logoPath = "/data/receipt.bmp";
        return d;
    }

    RecordingCanvas draw(ReceiptLayout layout = ReceiptLayout::kStandard) {
        RecordingCanvas canvas = prepared;
        drawTillReceipt(canvas, ui, data(), layout);
        return canvas;
    }

    StoreConfig config;
    ReceiptWords words;
    ScriptedUi ui;
    RecordingCanvas prepared;  // the canvas each draw() starts from
    double tendered = 0;
    double change = 0;

  private:
    std::unique_ptr<Basket> m_basket;
};

}  // namespace kassio::test
