// StationDevices: the devices and printing of the main station, as the
// till engine's TillDevices port and a few operations beyond it (documents
// from the summary box and the transaction viewer, the manual card
// completion, the pole preview, storing the device settings).
//
// Each operation copies the StoreConfig and the receipt words under the
// DataMutex, releases it, and only then talks to printers, ports and the
// person at the screen.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "devices/card_exchange.h"
#include "devices/device_ui.h"
#include "devices/language_customization.h"
#include "devices/pole_display.h"
#include "devices/print_document.h"
#include "devices/till_drawer.h"
#include "platform/device_port.h"
#include "platform/printers.h"
#include "platform/till_devices.h"
#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

class StationDevices final : public TillDevices {
  public:
    // Every reference must outlive this object.
    StationDevices(DataStore& store, Ui& ui, DeviceUi& deviceUi, Printers& printers,
                   DevicePort& ports);

    void poleShowItem(const Basket& basket) override;
    void poleShowTotal(const Basket& basket) override;
    void poleShowTenderAndChange(double tendered, double change) override;
    void poleShowPassiveText() override;
    void openDrawer() override;
    void printAfterSale(const Basket& basket, double tendered, double change) override;
    void printRefundReceipt(const Basket& basket) override;
    CardResult cardSaleExchange(const Basket& basket, double amount) override;
    CardResult cardRefundExchange(const Basket& basket, double amount, bool notPresent) override;

    // PrintDocument for one document of this sale.
    void printDocument(DocumentKind kind, const Basket& basket, double tendered, double change);
    // The transaction viewer's reprint: tendered = total, no change, no cutter.
    void reprint(DocumentKind kind, const Basket& basket);

    // The main window's manual card transaction.
    void cardCompletionExchange();

    // Stores a settings change in the StoreConfig and rewrites kq.cfg.
    Status changeSettings(const std::function<void(StoreConfigRecord&)>& change);
    // "Preview" on the pole page: stores the page at once, then shows the
    // passive text with it.
    Status previewPole(const PolePage& page);
    // "OK" of the "Language customization" dialog. The words are written to
    // language.ini at once as well as at close, so a crash cannot lose them.
    Status applyLanguage(const LanguageCustomization& dialog);

    // Part of the invoice code: draws invoices and delivery notes, and the
    // summary box's "Email document".
    void setInvoiceDrawer(InvoiceDrawer drawer) { m_printer.setInvoiceDrawer(std::move(drawer)); }
    void setEmailDocument(std::function<void(const Basket&)> email) { m_email = std::move(email); }

  private:
    struct Snapshot {
        StoreConfigRecord cfg;
        ReceiptWords words;
    };
    std::unique_ptr<Snapshot> snapshot();
    ReceiptData receiptData(const Snapshot& s, const Basket& basket, double tendered,
                            double change) const;

    DataStore& m_store;
    Ui& m_ui;
    DeviceUi& m_deviceUi;
    TillDrawer m_drawer;
    PoleDisplay m_pole;
    DocumentPrinter m_printer;
    CardTerminal m_card;
    std::function<void(const Basket&)> m_email;
};

// The document "Auto receipt" prints; nullopt for "None".
std::optional<DocumentKind> automaticDocument(const StoreConfigRecord& cfg);
// The copies setting as a count 1..3.
int receiptCopies(const StoreConfigRecord& cfg);

}  // namespace kassio
