#include "devices/print_document.h"

#include "base/fixed_text.h"
#include "base/status.h"
#include "devices/device_settings.h"
#include "store/file_io.h"

namespace kassio {

namespace {

// An invoice drawer that keeps asking for pages is a fault in it; the till
// must come back all the same.
constexpr int kMaxPages = 1000;

const char* pdfPrefix(DocumentKind kind) {
    switch (kind) {
        case DocumentKind::kStandardReceipt:
            return "receipt";
        case DocumentKind::kCustomReceipt:
            return "custom-receipt";
        case DocumentKind::kInvoice1:
            return "invoice";
        case DocumentKind::kInvoice2:
            return "invoice2";
        case DocumentKind::kCustomInvoice:
            return "custom-invoice";
        case DocumentKind::kDeliveryNote:
            return "delivery-note";
        case DocumentKind::kQuotation:
            return "quotation";
    }
    return "document";
}

}  // namespace

std::string DocumentPrinter::pdfFileName(DocumentKind kind, int64_t transaction, PrintRoute route) {
    std::string name = route == PrintRoute::kKitchen ? "kitchen-" : "";
    return name + pdfPrefix(kind) + "-" + std::to_string(transaction) + ".pdf";
}

std::string DocumentPrinter::unavailableReason(Printers::Target target, const std::string& name) {
    auto installed = m_printers.list();
    if (!installed) return "The CUPS printing service is not running";
    if (installed->empty()) return "CUPS has no printer set up";
    if (target == Printers::Target::kNamed)
        return "The receipt printer \"" + name + "\" is not set up in CUPS";
    return "CUPS has no default printer";
}

void DocumentPrinter::tellPdf(const std::string& file, const std::string& reason) {
    if (!reason.empty() && !m_fallbackTold) {
        m_fallbackTold = true;
        m_ui.message(reason + ", so documents are saved as PDF files in " + m_pdfFolder +
                         ".\nThis one is " + file,
                     "Printing", Ui::Icon::kWarning, Ui::Buttons::kOk);
        return;
    }
    m_ui.inform("Saved as PDF: " + file, "Printing");
}

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

    // No printer to take it, or the PDF entry chosen as the receipt
    // printer: a PDF file in the DataFolder.
    std::string reason;
    const bool pdfChosen = target == Printers::Target::kNamed && name == kPdfPrinterName;
    if (!pdfChosen && !m_pdfFolder.empty() && !m_printers.printerReady(target, name))
        reason = unavailableReason(target, name);
    std::unique_ptr<PrintJob> job;
    if ((pdfChosen || !reason.empty()) && !m_pdfFolder.empty()) {
        const std::string file =
            m_pdfFolder + "/" + pdfFileName(kind, data.basket ? data.basket->number : 0, route);
        makeDirectories(m_pdfFolder);
        job = m_printers.openPdf(file, isReceipt(kind));
        if (!job) {
            m_ui.error("Unable to write " + file, kTitleProblem);
            return;
        }
    } else {
        job = m_printers.open(target, name);
    }
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
    const std::string file = job->outputFile();
    if (!job->release()) m_ui.error("Unable to release printer", kTitleProblem);
    if (!file.empty()) tellPdf(file, reason);
}

}  // namespace kassio
