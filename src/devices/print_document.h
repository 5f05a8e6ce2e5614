// Printing one document (PrintDocument): choosing the printer, the
// document named "KASSIO", its pages and copies, and the cutter after a
// custom receipt.
#pragma once

#include <functional>
#include <string>

#include "devices/receipt_layout.h"
#include "devices/till_drawer.h"
#include "platform/printers.h"
#include "platform/ui.h"

namespace kassio {

enum class DocumentKind {
    kStandardReceipt,
    kCustomReceipt,
    kInvoice1,  // standard invoice
    kInvoice2,  // second invoice
    kCustomInvoice,
    kDeliveryNote,
    kQuotation,  // the standard invoice's page titled "Quotation"
};

inline bool isReceipt(DocumentKind kind) {
    return kind == DocumentKind::kStandardReceipt || kind == DocumentKind::kCustomReceipt;
}

// Draws page `page` (1-based) of an invoice or delivery note and returns the
// page count it now knows of; a count above `page` asks for another page.
using InvoiceDrawer =
    std::function<int(Canvas& canvas, DocumentKind kind, const ReceiptData& data, int page)>;

// Where a document goes and how.
enum class PrintRoute {
    kNormal,   // receipt printer for receipts; else the dialog or, with
               // "Omit print confirm", the default printer silently
    kKitchen,  // the system's default printer, no dialog
    kRefund,   // receipt printer when configured, else the dialog always
    kReprint,  // as kNormal but without the cutter
};

class DocumentPrinter {
  public:
    DocumentPrinter(Printers& printers, Ui& ui, TillDrawer& drawer)
        : m_printers(printers), m_ui(ui), m_drawer(drawer) {}

    // Invoices and delivery notes are drawn by the invoice code; without a
    // drawer they print nothing.
    void setInvoiceDrawer(InvoiceDrawer drawer) { m_invoiceDrawer = std::move(drawer); }

    // Where documents go when no printer can take them: PDF files in this
    // folder (created when needed). Without a folder, such documents are
    // not printed.
    void setPdfFolder(std::string folder) { m_pdfFolder = std::move(folder); }

    void print(DocumentKind kind, const ReceiptData& data, PrintRoute route = PrintRoute::kNormal);

    // The PDF file a document of this kind and transaction goes to:
    // "<folder>/receipt-31.pdf", "<folder>/invoice-31.pdf", ...
    static std::string pdfFileName(DocumentKind kind, int64_t transaction, PrintRoute route);

  private:
    // Why the printer cannot be used, in the clerk's words.
    std::string unavailableReason(Printers::Target target, const std::string& name);
    // Tells the clerk where the PDF went: the first time with the reason.
    void tellPdf(const std::string& file, const std::string& reason);

    Printers& m_printers;
    Ui& m_ui;
    TillDrawer& m_drawer;
    InvoiceDrawer m_invoiceDrawer;
    std::string m_pdfFolder;
    bool m_fallbackTold = false;  // the reason is given once per run
};

}  // namespace kassio
