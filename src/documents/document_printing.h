// The documents of a posted transaction printed by number (the headless
// `kassio-admin print`), and the invoice drawer the till's DocumentPrinter
// draws invoices and delivery notes with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "devices/print_document.h"
#include "platform/printers.h"
#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

// Draws invoices, quotations and delivery notes for DocumentPrinter: the
// letter.bmp logo from the DataFolder and the customer's terms band, read
// from customer.dat under the DataMutex before drawing.
InvoiceDrawer makeInvoiceDrawer(DataStore& store, Ui& ui);

// The document kind of a `print` word: receipt, custom-receipt, invoice,
// invoice2, custom-invoice, delivery, quotation.
std::optional<DocumentKind> documentKindNamed(const std::string& word);

// Finds the posted transaction, loads it as the transaction viewer does,
// and prints the document into the PDF file at path (a receipt on a roll,
// the others on A4). The store must be open.
Status printTransactionPdf(DataStore& store, Ui& ui, Printers& printers, DocumentKind kind,
                           int64_t transaction, const std::string& path);

}  // namespace kassio
