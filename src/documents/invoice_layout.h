// The full-page documents of a finished transaction: the standard invoice
// ("Invoice 1") and its quotation, the second invoice style ("Invoice 2"),
// the custom invoice placed line by line from the "Invoices" settings, and
// the delivery note, drawn on a Canvas one page per call.
//
// Pagination is worked out from the first entry on every call, so page p
// always starts with the entry after the last one page p - 1 drew, and the
// totals go on the last page only. All rows and positions are in device
// units of the canvas (H is the 9-point font's row height).
#pragma once

#include <string>
#include <vector>

#include "devices/print_document.h"
#include "devices/receipt_layout.h"
#include "platform/canvas.h"
#include "platform/ui.h"

namespace kassio {

// What an invoice needs beyond a receipt's data.
struct InvoiceData {
    const ReceiptData* receipt = nullptr;
    std::string letterPath;  // letter.bmp in the DataFolder; a missing file draws no logo
    int termsBand = 0;       // the customer's terms band 1..8, 0 without
    std::string customerEmail;
};

// One printed entry: a group of equal lines (same item, price and
// description) shown once with its count.
struct InvoiceEntry {
    int line = 0;  // the group's first Basket line
    int count = 1;
    double unit = 0;  // price without tax of one
};
std::vector<InvoiceEntry> invoiceEntries(const Basket& basket);

// The terms line: "Terms: 5% disc, 30 days". The second style words the
// same choices "5% disc" and ", 30 days".
std::string invoiceTermsText(const StoreConfigRecord& cfg, const ReceiptWords& words, int band,
                             bool secondStyle);

// Draws page `page` (1-based) of the document and returns the number of
// pages it takes. The font messages go to the Ui on page 1 only.
int drawInvoicePage(Canvas& canvas, Ui& ui, DocumentKind kind, const InvoiceData& data, int page);

// The first entry of every page for a document of this kind on this canvas
// (the page count is the size).
std::vector<std::size_t> invoicePageStarts(Canvas& canvas, DocumentKind kind,
                                           const InvoiceData& data);

}  // namespace kassio
