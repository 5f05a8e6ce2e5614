#include "admin/print_commands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "admin/account_commands.h"
#include "admin/admin_open.h"
#include "base/numbers.h"
#include "documents/barcode_labels.h"
#include "documents/document_printing.h"
#include "store/data_store.h"

namespace kassio {

namespace {

struct PrintOptions {
    std::string kind, what, pdf;
    std::shared_ptr<AccountPrint> account;
};

struct LabelOptions {
    LabelSettings settings;
    std::string source = "inventory", format = "video", symbol = "code39";
    std::string textSize;
    bool withoutTax = false;
    std::string pdf;
};

Printers* printersOf(AdminEnvironment& env) {
    Printers* printers = env.printers ? env.printers() : nullptr;
    if (!printers)
        env.ui.error("This kassio-admin was built without printing (no Qt): it cannot write PDFs",
                     kTitleProblem);
    return printers;
}

int runPrint(DataStore& store, AdminEnvironment& env, const PrintOptions& o) {
    if (isAccountDocument(o.kind))
        return runAccountPrint(store, env, *o.account, o.kind, o.what, o.pdf);
    const std::optional<DocumentKind> kind = documentKindNamed(o.kind);
    const std::optional<int64_t> number = positiveNumber(o.what);
    if (!kind || !number || *number > kMaxTransactionNumber) {
        env.ui.error(!kind ? "Unknown document: " + o.kind : "Invalid transaction number",
                     kTitleProblem);
        return 2;
    }
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) return fail(env.ui, s);
    Printers* printers = printersOf(env);
    if (!printers) return 1;
    if (Status s = printTransactionPdf(store, env.ui, *printers, *kind, *number, o.pdf); !s)
        return fail(env.ui, s);
    std::fprintf(env.out, "%s\n", o.pdf.c_str());
    return 0;
}

int runLabels(DataStore& store, AdminEnvironment& env, LabelOptions& o) {
    LabelSettings& s = o.settings;
    s.source = o.source == "customers" ? LabelSource::kCustomers
               : o.source == "all"     ? LabelSource::kAllValues
               : o.source == "repeat"  ? LabelSource::kRepeat
                                       : LabelSource::kInventory;
    s.format = o.format == "two"     ? LabelFormat::kTwoColumn
               : o.format == "three" ? LabelFormat::kThreeColumn
                                     : LabelFormat::kVideoSpine;
    s.symbol = o.symbol == "ean" ? LabelSymbol::kEan13 : LabelSymbol::kCode39;
    s.withTax = !o.withoutTax;
    if (Status st = store.openData(DataStore::OpenMode::kReadOnly); !st) return fail(env.ui, st);
    if (!o.textSize.empty()) {
        s.textSize = static_cast<int>(numberFromText(o.textSize));
    } else {
        auto lock = store.lock();
        s.textSize = store.config().record().settings_b[kSetBLabelTextSize];
    }
    LabelJob job;
    if (Status st = readLabelJob(s, &job); !st) return fail(env.ui, st);
    Printers* printers = printersOf(env);
    if (!printers) return 1;
    std::unique_ptr<PrintJob> pdf = printers->openPdf(o.pdf, false);
    if (!pdf) return fail(env.ui, Status::ioError("Unable to write " + o.pdf));
    Status printed = printLabels(store, job, *pdf);
    if (!pdf->release() && printed) printed = Status::ioError("Unable to write " + o.pdf);
    if (!printed) return fail(env.ui, printed);
    std::fprintf(env.out, "%s\n", o.pdf.c_str());
    return 0;
}

}  // namespace

void addPrintCommands(CLI::App& app, AdminCommands& commands) {
    auto print = std::make_shared<PrintOptions>();
    CLI::App* p = app.add_subcommand(
        "print", "print a transaction's document, a listing or an account document to a PDF file");
    p->add_option("DOCUMENT", print->kind,
                  "receipt, custom-receipt, invoice, invoice2, custom-invoice, delivery, "
                  "quotation (of a transaction); listing, statement, letter1, letter2, details, "
                  "mailmerge")
        ->required()
        ->check(CLI::IsMember({"receipt", "custom-receipt", "invoice", "invoice2", "custom-invoice",
                               "delivery", "quotation", "listing", "statement", "letter1",
                               "letter2", "details", "mailmerge"}));
    p->add_option("WHAT", print->what,
                  "the transaction number (1-200000000); the customer number; for a listing "
                  "its kind: items, alpha, cost, category, held, custom, location, suppliers, "
                  "customers, customers-alpha, debit-credit, non-default, inactive, takings");
    p->add_option("--pdf", print->pdf, "the PDF file to write")->required();
    print->account = addAccountPrintOptions(*p);
    commands.push_back({p, [print](DataStore& store, AdminEnvironment& env) {
                            return runPrint(store, env, *print);
                        }});

    auto labels = std::make_shared<LabelOptions>();
    LabelSettings& s = labels->settings;
    CLI::App* l = app.add_subcommand("labels", "print barcode labels to a PDF file");
    l->add_option("--source", labels->source, "inventory (default), customers, all or repeat")
        ->check(CLI::IsMember({"inventory", "customers", "all", "repeat"}));
    l->add_option("--format", labels->format, "video (one column, default), two or three")
        ->check(CLI::IsMember({"video", "two", "three"}))
        ->each([&s](const std::string& f) {
            s.chooseFormat(f == "two"     ? LabelFormat::kTwoColumn
                           : f == "three" ? LabelFormat::kThreeColumn
                                          : LabelFormat::kVideoSpine);
        });
    l->add_option("--symbol", labels->symbol, "code39 (default) or ean")
        ->check(CLI::IsMember({"code39", "ean"}))
        ->each([&s](const std::string& b) {
            s.chooseSymbol(b == "ean" ? LabelSymbol::kEan13 : LabelSymbol::kCode39);
        });
    l->add_option("--start", s.start, "the first number (repeat: the item)");
    l->add_option("--finish", s.finish, "the last number");
    l->add_option("--quantity", s.quantity, "labels of the repeated item");
    l->add_flag("--price", s.includePrice, "include the price");
    l->add_flag("--without-tax", labels->withoutTax, "the price without tax");
    l->add_flag("--store", s.includeStore, "include the store name");
    l->add_flag("--price-below", s.priceBelow, "the price on a line of its own");
    l->add_option("--origin-x", s.originX, "0.01 mm (one column only)");
    l->add_option("--origin-y", s.originY, "0.01 mm");
    l->add_option("--label-height", s.labelHeight, "0.01 mm");
    l->add_option("--per-sheet", s.perSheet, "labels per sheet");
    l->add_option("--from-centre", s.fromCentre, "0.01 mm (three columns)");
    l->add_option("--element-width", s.elementWidth, "module width, 0.01 mm");
    l->add_option("--text-size", labels->textSize,
                  "10 (large) to 200 (tiny), 0 the printer's font; else as stored");
    l->add_option("--pdf", labels->pdf, "the PDF file to write")->required();
    commands.push_back({l, [labels](DataStore& store, AdminEnvironment& env) {
                            return runLabels(store, env, *labels);
                        }});
}

}  // namespace kassio
