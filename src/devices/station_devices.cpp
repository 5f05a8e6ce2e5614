#include "devices/station_devices.h"

#include <algorithm>
#include <cstring>

#include "base/fixed_text.h"
#include "devices/device_settings.h"
#include "devices/summary_box.h"
#include "store/file_io.h"

namespace kassio {

namespace {

bool poleInUse(const StoreConfigRecord& cfg) {
    return cfg.settings_b[kSetBPoleInUse] == 2;
}

}  // namespace

std::optional<DocumentKind> automaticDocument(const StoreConfigRecord& cfg) {
    switch (static_cast<AutoReceipt>(cfg.settings_b[kSetBAutoPrint])) {
        case AutoReceipt::kTillReceipt:
            return DocumentKind::kStandardReceipt;
        case AutoReceipt::kStandardInvoice:
            return DocumentKind::kInvoice1;
        case AutoReceipt::kCustomInvoice:
            return DocumentKind::kCustomInvoice;
        case AutoReceipt::kCustomReceipt:
            return DocumentKind::kCustomReceipt;
        default:
            return std::nullopt;
    }
}

int receiptCopies(const StoreConfigRecord& cfg) {
    const int32_t copies = cfg.settings_b[kSetBReceiptCopies];  // a copy: the record is packed
    return std::clamp(copies, 0, 2) + 1;
}

StationDevices::StationDevices(DataStore& store, Ui& ui, DeviceUi& deviceUi, Printers& printers,
                               DevicePort& ports)
    : m_store(store),
      m_ui(ui),
      m_deviceUi(deviceUi),
      m_drawer(printers, ports, ui),
      m_pole(ports, ui),
      m_printer(printers, ui, m_drawer),
      m_card(ui, deviceUi) {
    m_printer.setPdfFolder(store.pathOf("pdf"));
}

std::unique_ptr<StationDevices::Snapshot> StationDevices::snapshot() {
    auto s = std::make_unique<Snapshot>();
    auto lock = m_store.lock();
    std::memcpy(&s->cfg, &m_store.config().record(), sizeof s->cfg);
    s->words = m_store.words();
    return s;
}

ReceiptData StationDevices::receiptData(const Snapshot& s, const Basket& basket, double tendered,
                                        double change) const {
    ReceiptData d;
    d.config = &s.cfg;
    d.words = &s.words;
    d.basket = &basket;
    d.tendered = tendered;
    d.change = change;
    d.customerNumber = basket.customer;
    d.customerName = fieldText(basket.customer_name);
    d.logoPath = m_store.pathOf("receipt.bmp");
    return d;
}

void StationDevices::poleShowItem(const Basket& basket) {
    auto s = snapshot();
    if (poleInUse(s->cfg)) m_pole.showItem(s->cfg, basket);
}

void StationDevices::poleShowTotal(const Basket& basket) {
    auto s = snapshot();
    if (poleInUse(s->cfg)) m_pole.showTotal(s->cfg, basket.total);
}

void StationDevices::poleShowTenderAndChange(double tendered, double change) {
    auto s = snapshot();
    if (poleInUse(s->cfg)) m_pole.showTenderAndChange(s->cfg, tendered, change);
}

void StationDevices::poleShowPassiveText() {
    auto s = snapshot();
    if (poleInUse(s->cfg)) m_pole.showPassiveText(s->cfg);
}

void StationDevices::openDrawer() {
    m_drawer.open(snapshot()->cfg);
}

void StationDevices::printAfterSale(const Basket& basket, double tendered, double change) {
    auto s = snapshot();
    const StoreConfigRecord& cfg = s->cfg;
    if (cfg.options[kOptOpenDrawerAutomatically] == 1) m_drawer.open(cfg);
    if (poleInUse(cfg)) m_pole.showTenderAndChange(cfg, tendered, change);

    ReceiptData data = receiptData(*s, basket, tendered, change);
    std::optional<DocumentKind> automatic = automaticDocument(cfg);
    if (cfg.options[kOptNoSummaryBox] == 0) {
        SummaryBox box(
            basket.total, tendered, change, basket.payment[kPayCashBack], automatic,
            receiptCopies(cfg), [&](DocumentKind kind) { m_printer.print(kind, data); },
            [&] {
                if (m_email) m_email(basket);
            });
        m_deviceUi.summaryBox(box);
    } else if (automatic) {
        for (int copy = 0; copy < receiptCopies(cfg); ++copy) m_printer.print(*automatic, data);
    }
    if (switchOn(cfg, kSetBKitchenCopy))
        m_printer.print(DocumentKind::kStandardReceipt, data, PrintRoute::kKitchen);
}

void StationDevices::printRefundReceipt(const Basket& basket) {
    auto s = snapshot();
    m_printer.print(DocumentKind::kStandardReceipt, receiptData(*s, basket, basket.total, 0),
                    PrintRoute::kRefund);
}

void StationDevices::printDocument(DocumentKind kind, const Basket& basket, double tendered,
                                   double change) {
    auto s = snapshot();
    m_printer.print(kind, receiptData(*s, basket, tendered, change));
}

void StationDevices::reprint(DocumentKind kind, const Basket& basket) {
    auto s = snapshot();
    m_printer.print(kind, receiptData(*s, basket, basket.total, 0), PrintRoute::kReprint);
}

CardResult StationDevices::cardSaleExchange(const Basket& basket, double amount) {
    auto s = snapshot();
    CardTerminal::SaleResult r = m_card.sale(s->cfg, basket.number, amount);
    return CardResult{r.approved, r.cashBack};
}

CardResult StationDevices::cardRefundExchange(const Basket& basket, double amount,
                                              bool notPresent) {
    auto s = snapshot();
    return CardResult{m_card.refund(s->cfg, basket.number, amount, notPresent), 0};
}

void StationDevices::cardCompletionExchange() {
    m_card.completion(snapshot()->cfg);
}

Status StationDevices::changeSettings(const std::function<void(StoreConfigRecord&)>& change) {
    auto lock = m_store.lock();
    change(m_store.config().record());
    return m_store.saveConfig();
}

Status StationDevices::previewPole(const PolePage& page) {
    Status saved = changeSettings([&](StoreConfigRecord& r) { page.apply(r); });
    m_pole.preview(snapshot()->cfg);
    return saved;
}

Status StationDevices::applyLanguage(const LanguageCustomization& dialog) {
    // kq.cfg and language.ini change together or not at all.
    StoreFiles::Batch batch(m_store.files());
    dialog.apply(m_store.config().record(), m_store.words());
    Status saved = m_store.saveConfig();
    if (!m_store.saveWords() && saved.isOk())
        saved = Status::ioError("Unable to save language.ini");
    uint64_t ticket = 0;
    Status committed = batch.commit(&ticket);
    if (committed) committed = m_store.waitDurable(ticket);
    return saved.isOk() ? committed : saved;
}

}  // namespace kassio
