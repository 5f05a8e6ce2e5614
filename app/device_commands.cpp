#include "device_commands.h"

#include <QWidget>

#include "commands/command_router.h"
#include "devices/card_exchange.h"
#include "devices/language_customization.h"
#include "devices/pole_display.h"
#include "devices/receipt_pages.h"
#include "devices/station_devices.h"
#include "devices/till_drawer.h"
#include "store/data_store.h"
#include "ui/devices/card_exchange_dialog.h"
#include "ui/devices/custom_receipt_dialog.h"
#include "ui/devices/language_dialog.h"
#include "ui/devices/pole_config_dialog.h"
#include "ui/devices/receipts_page_dialog.h"
#include "ui/devices/till_config_dialog.h"

namespace kassio {

using namespace device_command;

namespace {

// A copy of the configuration to fill a page from, taken under the lock.
StoreConfigRecord configCopy(DataStore& store) {
    auto lock = store.lock();
    return store.config().record();
}

}  // namespace

void registerDeviceCommands(CommandRouter& router, DataStore& store, Ui& ui,
                            StationDevices& devices, Printers& printers, QWidget* window) {
    auto show = [&ui](const Status& s) {
        if (!s) ui.error(s.message(), s.title());
    };
    router.set(kReceiptsPage, [&, window, show] {
        auto list = printers.list();
        std::vector<PrinterInfo> known = list ? *list : std::vector<PrinterInfo>{};
        known.push_back({kPdfPrinterName, "PDF files in the data folder"});
        auto page = ReceiptsPageDialog::run(window, ReceiptsPage::load(configCopy(store), known),
                                            known, list.has_value(), store.files());
        if (page)
            show(devices.changeSettings([&](StoreConfigRecord& r) { page->apply(r, known); }));
    });
    router.set(kTillConfiguration, [&, window, show] {
        auto page = TillConfigDialog::run(window, TillConfigPage::load(configCopy(store)));
        if (page) show(devices.changeSettings([&](StoreConfigRecord& r) { page->apply(r); }));
    });
    router.set(kPoleConfiguration, [&, window, show] {
        auto page =
            PoleConfigDialog::run(window, PolePage::load(configCopy(store)),
                                  [&, show](const PolePage& p) { show(devices.previewPole(p)); });
        if (page) show(devices.changeSettings([&](StoreConfigRecord& r) { page->apply(r); }));
    });
    router.set(kCustomReceipt, [&, window, show] {
        auto page = CustomReceiptDialog::run(window, CustomReceiptPage::load(configCopy(store)));
        if (page) show(devices.changeSettings([&](StoreConfigRecord& r) { page->apply(r); }));
    });
    router.set(kCustomizeLanguage, [&, window, show] {
        std::optional<LanguageCustomization> start;
        {
            auto lock = store.lock();
            start.emplace(store.config().record(), store.words());
        }
        if (auto chosen = LanguageDialog::run(window, *start)) show(devices.applyLanguage(*chosen));
    });
    router.set(kCardTerminal, [&, window, show] {
        CardExchangeSettings settings;
        {
            auto lock = store.lock();
            settings = CardExchangeSettings::open(store.config().record(), store.folder());
        }
        if (auto chosen = CardExchangeDialog::run(window, settings))
            show(devices.changeSettings([&](StoreConfigRecord& r) { chosen->apply(r); }));
    });
    router.set(kCardCompletion, [&devices] { devices.cardCompletionExchange(); });
}

}  // namespace kassio
