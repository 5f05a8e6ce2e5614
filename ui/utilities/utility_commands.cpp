#include "ui/utilities/utility_commands.h"

#include <QWidget>

#include "admin/store_settings.h"
#include "commands/command_router.h"
#include "platform/ui.h"
#include "store/data_store.h"
#include "ui/utilities/utility_dialogs.h"

namespace kassio {

using namespace utility_command;

namespace {

// A copy of the configuration to fill a panel from, taken under the lock.
StoreConfigRecord configCopy(DataStore& store) {
    auto lock = store.lock();
    return store.config().record();
}

}  // namespace

void registerUtilityCommands(CommandRouter& router, DataStore& store, Ui& ui, QWidget* window) {
    auto show = [&ui](const Status& s) {
        if (!s) ui.error(s.message(), s.title());
    };
    router.set(kTaxSetup, [&store, window, show] {
        if (auto page = TaxSetupDialog::run(window, TaxSetup::load(configCopy(store))))
            show(saveTaxSetup(store, *page));
    });
    router.set(kPrintHeading, [&store, window, show] {
        if (auto page = PrintHeadingDialog::run(window, PrintHeading::load(configCopy(store))))
            show(savePrintHeading(store, *page));
    });
    router.set(kNonInventorySettings, [&store, window, show] {
        if (auto page =
                NonInventoryDialog::run(window, NonInventorySettings::load(configCopy(store))))
            show(saveNonInventorySettings(store, *page));
    });
    router.set(kFileReset, [&store, &ui, window, show] {
        auto parts = FileResetDialog::run(window);
        if (!parts) return;
        Status s = resetFiles(store, *parts);
        if (s)
            ui.inform("Reset to zero: " + resetSummary(*parts) + ".", "File reset");
        else
            show(s);
    });
    router.set(kCalendar, [window] { showCalendar(window); });
    router.set(kAbout,
               [&store, window] { showAbout(window, QString::fromStdString(store.folder())); });
    router.set(kHelpContents, [&ui, window] {
        if (!openHelp(window))
            ui.error(
                "The manual kassio.htm is not installed beside the program "
                "(share/kassio/help)",
                "Help");
    });
}

}  // namespace kassio
