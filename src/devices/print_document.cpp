#include "devices/print_document.h"

#include "base/fixed_text.h"
#include "base/status.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

// An invoice drawer that keeps asking for pages is a fault in it; the till
// must come back all the same.
constexpr int kMaxPages = 1000;

}  // namespace

void DocumentPrinter::print(DocumentKind kind, const ReceiptData& data, PrintRoute route) {
    const StoreConfigRecord& cfg = *data.config;
    if (!isReceipt(kind) && !m_invoiceDrawer) return;

    const bool omitConfirm = cfg.options[kOptPrintConfirmation] != 1;
    const std::string receiptPrinter = fieldText(cfg.receipt_printer_name);
    const bool receiptPrinterSet = cfg.receipt_printer_choice != 0 && !receiptPrinter.empty();

    Printers::Target target =
        omitConfirm ? Printers::Target::kDefaultSilent : Printers::Target::kDialog;
    std::string name;
    if (route == PrintRoute::kKitchen) {
        target = Printers::Target::kDefaultSilent;
    } else if (isReceipt(kind) && receiptPrinterSet) {
        target = Printers::Target::kNamed;
        name = receiptPrinter;
    } else if (route == PrintRoute::kRefund) {
        target = Printers::Target::kDialog;
    }

    std::unique_ptr<PrintJob> job = m_printers.open(target, name);
    if (!job) return;  // cancelled: nothing is printed, the sale goes on

    const int documents = std::max(1, job->copies());
    for (int copy = 0; copy < documents; ++copy) {
        Canvas* canvas = job->startDocument("KASSIO");
        if (!canvas) continue;  // refused by the printer: skipped silently
        if (isReceipt(kind)) {
            drawTillReceipt(*canvas, m_ui, data,
                            kind == DocumentKind::kStandardReceipt ? ReceiptLayout::kStandard
                                                                   : ReceiptLayout::kCustom);
        } else {
            int page = 1;
            int pages = m_invoiceDrawer(*canvas, kind, data, page);
            while (pages > page && page < kMaxPages) {
                if (!job->newPage()) break;
                ++page;
                pages = m_invoiceDrawer(*canvas, kind, data, page);
            }
        }
        job->endDocument();
        if (kind == DocumentKind::kCustomReceipt && route != PrintRoute::kReprint)
            m_drawer.sendCutterCodes(cfg);
    }
    if (!job->release()) m_ui.error("Unable to release printer", kTitleProblem);
}

}  // namespace kassio
