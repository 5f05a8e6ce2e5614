#include "ui/documents/document_commands.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "commands/command_router.h"
#include "devices/station_devices.h"
#include "documents/barcode_labels.h"
#include "documents/document_printing.h"
#include "documents/invoice_settings.h"
#include "documents/order_email.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "till/till.h"
#include "till/transaction_viewer.h"
#include "ui/documents/barcode_print_dialog.h"
#include "ui/documents/invoices_dialog.h"
#include "ui/documents/transaction_panel.h"

namespace kassio {

using namespace document_command;

namespace {

StoreConfigRecord configCopy(DataStore& store) {
    auto lock = store.lock();
    return store.config().record();
}

// The labels go to the printer the dialog chooses; with no printer at all,
// to a PDF file in the DataFolder, and the clerk is told where.
void printLabelJob(DataStore& store, Ui& ui, Printers& printers, const LabelJob& job) {
    std::unique_ptr<PrintJob> out;
    if (printers.printerReady(Printers::Target::kDialog, {})) {
        out = printers.open(Printers::Target::kDialog, {});
        if (!out) return;  // cancelled
    } else {
        makeDirectories(store.pathOf("pdf"));
        out = printers.openPdf(store.pathOf("pdf/labels.pdf"), false);
        if (!out) {
            ui.error("Unable to write " + store.pathOf("pdf/labels.pdf"), kTitleProblem);
            return;
        }
    }
    const Status printed = printLabels(store, job, *out);
    const std::string file = out->outputFile();
    if (!out->release()) ui.error("Unable to release printer", kTitleProblem);
    if (!printed) {
        ui.error(printed.message(), printed.title());
        return;
    }
    if (!file.empty()) ui.inform("Saved as PDF: " + file, "Printing");
}

}  // namespace

void registerDocumentCommands(CommandRouter& router, DataStore& store, Till& till,
                              StationDevices& devices, Printers& printers, QWidget* window) {
    Ui& ui = till.ui();
    devices.setInvoiceDrawer(makeInvoiceDrawer(store, ui));
    devices.setEmailDocument([&store, &ui](const Basket& basket) {
        const std::string link = orderConfirmationLink(store, basket);
        if (link.empty() || !QDesktopServices::openUrl(QUrl(QString::fromStdString(link))))
            ui.error("Unable to produce email.", kTitleProblem);
    });

    // The recalled transaction lives in a Basket of the viewer's own: the
    // command has put any sale under construction aside (basket table) and
    // the till's Basket stays empty while the panel is open.
    auto viewer = std::make_shared<TransactionViewer>(store, ui);
    auto recalled = std::shared_ptr<Basket>(new Basket());
    auto view = [viewer, recalled, &devices, window](TransactionChoice choice) {
        std::memset(recalled.get(), 0, sizeof(Basket));
        if (!viewer->choose(choice, *recalled)) return;
        TransactionPanel::run(window, *viewer, *recalled, [recalled, &devices](DocumentKind kind) {
            devices.reprint(kind, *recalled);
        });
    };
    const std::pair<int, TransactionChoice> choices[] = {
        {kDisplayTransaction, TransactionChoice::kDisplay},
        {kFindTransaction, TransactionChoice::kFind},
        {kInSpecificDay, TransactionChoice::kDay},
        {kInSpecificMonth, TransactionChoice::kMonth},
        {kInSpecificYear, TransactionChoice::kYear},
        {kDiscounted, TransactionChoice::kDiscounted},
        {kReprintLast, TransactionChoice::kLast},
    };
    for (const auto& [command, choice] : choices)
        router.set(command, [view, choice = choice] { view(choice); });

    router.set(kProFormaQuotation, [&till, &store, &devices] {
        auto quote = std::make_unique<Basket>();
        std::memcpy(quote.get(), &till.basket(), sizeof(Basket));
        if (quote->line_count < 1) return;
        // The reference is the number the sale will be posted under.
        if (quote->number == 0) {
            auto lock = store.lock();
            quote->number = store.config().nextTransaction();
        }
        if (quote->date[0] == '\0') {
            const LocalTime now = store.clock().now();
            setFieldText(quote->time, formatted("%02d:%02d", now.hour, now.minute));
            setFieldText(quote->date, dateText(now));
        }
        devices.printDocument(DocumentKind::kQuotation, *quote, 0, 0);
    });

    auto labels = std::make_shared<LabelSettings>();
    router.set(kBarcodePrint, [labels, &store, &ui, &printers, &devices, window] {
        labels->textSize = configCopy(store).settings_b[kSetBLabelTextSize];
        auto chosen = BarcodePrintDialog::run(window, *labels);
        if (!chosen) return;
        *labels = *chosen;
        const int size = chosen->textSize;
        if (Status s = devices.changeSettings(
                [size](StoreConfigRecord& r) { r.settings_b[kSetBLabelTextSize] = size; });
            !s)
            ui.error(s.message(), s.title());
        LabelJob job;
        if (Status s = readLabelJob(*chosen, &job); !s) {
            ui.error(s.message(), s.title());
            return;
        }
        printLabelJob(store, ui, printers, job);
    });

    router.set(kInvoices, [&store, &ui, &devices, window] {
        auto selectLogo = [&store, &ui, window] {
            const QString start =
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            const QString file = QFileDialog::getOpenFileName(
                window, QString(), start, QStringLiteral("Bitmap files (*.bmp)"));
            if (file.isEmpty()) return;
            if (Status s = installLetterLogo(store.folder(), file.toStdString()); !s)
                ui.error(s.message(), s.title());
            else
                ui.inform("Updated.", "Logo picture");
        };
        auto chosen =
            InvoicesDialog::run(window, InvoiceSettings::load(configCopy(store)), selectLogo);
        if (!chosen) return;
        if (Status s = devices.changeSettings([&](StoreConfigRecord& r) { chosen->apply(r); }); !s)
            ui.error(s.message(), s.title());
    });
}

}  // namespace kassio
