// The readers of the settings and wording on their way out: the till
// receipt in both layouts, its elements one by one, the pole display and
// the receipt printer, all on recording ports. A stored setting of any
// value must not make them draw or write outside what they own.
#pragma once

#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "devices/device_fakes.h"
#include "devices/device_settings.h"
#include "devices/pole_display.h"
#include "devices/print_document.h"
#include "devices/receipt_layout.h"
#include "devices/till_drawer.h"
#include "store/basket.h"
#include "support/scripted_ui.h"

namespace kassio::fuzz {

// A small cash sale with a taxable line, a line without tax and a customer.
inline const Basket& sampleBasket() {
    static const std::unique_ptr<Basket> basket = [] {
        auto b = std::make_unique<Basket>();
        std::memset(b.get(), 0, sizeof *b);
        b->number = 12;
        b->clerk = 1;
        b->customer = 3;
        setFieldText(b->customer_name, "A. CUSTOMER");
        setFieldText(b->time, "09:05");
        setFieldText(b->date, "06/12/2026");
        setFieldText(b->payment_word, "Cash");
        const double prices[3] = {2.40, 1.00, 2.40};
        for (int i = 0; i < 3; ++i) {
            b->item[i] = i == 1 ? 0 : 12;
            setFieldText(b->description[i], i == 1 ? "LOTTERY" : "TEA BAGS");
            b->line_total[i] = prices[i];
            if (i == 1) {
                b->non_taxable[i] = prices[i];
            } else {
                b->taxable[i] = 2.00;
                b->tax1[i] = 0.40;
            }
        }
        b->line_count = 3;
        b->total_non_taxable = 1.00;
        b->total_taxable = 4.00;
        b->total_tax1 = 0.80;
        b->subtotal = 5.00;
        b->total = 5.80;
        b->payment[kPayCash] = 5.80;
        return b;
    }();
    return *basket;
}

inline void exerciseDevices(const StoreConfigRecord& cfg, const ReceiptWords& words) {
    ReceiptData data;
    data.config = &cfg;
    data.words = &words;
    data.basket = &sampleBasket();
    data.tendered = 10;
    data.change = 4.20;
    data.customerNumber = 3;
    data.customerName = "A. CUSTOMER";

    test::ScriptedUi ui;
    for (ReceiptLayout layout : {ReceiptLayout::kStandard, ReceiptLayout::kCustom}) {
        test::RecordingCanvas canvas;
        drawTillReceipt(canvas, ui, data, layout);
    }
    for (int element = -1; element <= kReceiptElementCount; ++element) {
        static_cast<void>(receiptElementText(data, element, Placement::kFixed));
        static_cast<void>(receiptElementText(data, element, Placement::kRelative));
        static_cast<void>(customLineOf(cfg, element));
    }
    static_cast<void>(paymentText(words, sampleBasket()));

    test::FakePorts ports;
    PoleDisplay pole(ports, ui);
    pole.showPassiveText(cfg);
    pole.showItem(cfg, sampleBasket());
    pole.showTotal(cfg, 5.80);
    pole.showTenderAndChange(cfg, 10, 4.20);
    static_cast<void>(poleLine(cfg));

    test::FakePrinters printers;
    printers.installed.push_back({"Receipts", "Generic receipt printer"});
    TillDrawer drawer(printers, ports, ui);
    DocumentPrinter printer(printers, ui, drawer);
    printer.print(DocumentKind::kStandardReceipt, data);
    printer.print(DocumentKind::kCustomReceipt, data, PrintRoute::kRefund);
}

}  // namespace kassio::fuzz
