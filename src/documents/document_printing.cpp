#include "documents/document_printing.h"

#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "documents/invoice_layout.h"
#include "store/customer_record.h"
#include "till/transaction_viewer.h"

namespace kassio {

namespace {

// A document that keeps asking for pages is a fault in its layout; the
// program must come back all the same.
constexpr int kMaxPages = 1000;

struct CustomerDetail {
    int termsBand = 0;
    std::string email;
};

CustomerDetail customerDetail(DataStore& store, int64_t customer) {
    CustomerDetail d;
    if (customer == 0) return d;
    auto lock = store.lock();
    if (auto slot = store.customers().find(customer)) {
        CustomerRecord c;
        if (store.customers().read(*slot, &c)) {
            d.termsBand = c.terms;
            d.email = fieldText(c.email);
        }
    }
    return d;
}

}  // namespace

InvoiceDrawer makeInvoiceDrawer(DataStore& store, Ui& ui) {
    return [&store, &ui](Canvas& canvas, DocumentKind kind, const ReceiptData& receipt, int page) {
        const CustomerDetail customer =
            customerDetail(store, receipt.basket ? receipt.basket->customer : 0);
        InvoiceData data;
        data.receipt = &receipt;
        data.letterPath = store.pathOf("letter.bmp");
        data.termsBand = customer.termsBand;
        data.customerEmail = customer.email;
        return drawInvoicePage(canvas, ui, kind, data, page);
    };
}

std::optional<DocumentKind> documentKindNamed(const std::string& word) {
    static const std::pair<const char*, DocumentKind> kNames[] = {
        {"receipt", DocumentKind::kStandardReceipt},
        {"custom-receipt", DocumentKind::kCustomReceipt},
        {"invoice", DocumentKind::kInvoice1},
        {"invoice2", DocumentKind::kInvoice2},
        {"custom-invoice", DocumentKind::kCustomInvoice},
        {"delivery", DocumentKind::kDeliveryNote},
        {"quotation", DocumentKind::kQuotation},
    };
    for (const auto& [name, kind] : kNames)
        if (word == name) return kind;
    return std::nullopt;
}

Status printTransactionPdf(DataStore& store, Ui& ui, Printers& printers, DocumentKind kind,
                           int64_t transaction, const std::string& path) {
    auto cfg = std::make_unique<StoreConfigRecord>();
    ReceiptWords words;
    std::optional<RecalledTransaction> recalled;
    {
        auto lock = store.lock();
        std::memcpy(cfg.get(), &store.config().record(), sizeof *cfg);
        words = store.words();
        const int from = cfg->settings_a[kSetAHistoryStart + 2];
        const int to = store.clock().now().year;
        auto ref = store.journal().find(transaction, from, to);
        if (!ref) return Status::finished("No match found");
        recalled = store.journal().recall(transaction, ref->day, ref->month, ref->year);
        if (!recalled) return Status::ioError("Unable to open sales log.");
    }
    auto basket = std::make_unique<Basket>();
    loadBasket(*basket, *recalled);

    ReceiptData data;
    data.config = cfg.get();
    data.words = &words;
    data.basket = basket.get();
    data.tendered = basket->total;
    data.customerNumber = basket->customer;
    data.customerName = fieldText(basket->customer_name);
    data.logoPath = store.pathOf("receipt.bmp");

    std::unique_ptr<PrintJob> job = printers.openPdf(path, isReceipt(kind));
    if (!job) return Status::ioError("Unable to write " + path);
    Canvas* canvas = job->startDocument("KASSIO");
    if (!canvas) return Status::ioError("Unable to write " + path);
    if (isReceipt(kind)) {
        drawTillReceipt(*canvas, ui, data,
                        kind == DocumentKind::kStandardReceipt ? ReceiptLayout::kStandard
                                                               : ReceiptLayout::kCustom);
    } else {
        InvoiceDrawer draw = makeInvoiceDrawer(store, ui);
        int page = 1;
        int pages = draw(*canvas, kind, data, page);
        while (pages > page && page < kMaxPages) {
            if (!job->newPage()) break;
            ++page;
            pages = draw(*canvas, kind, data, page);
        }
    }
    const bool ended = job->endDocument();
    if (!job->release() || !ended) return Status::ioError("Unable to write " + path);
    return Status::ok();
}

}  // namespace kassio
