#include "admin/account_commands.h"

#include <CLI/CLI.hpp>

#include <memory>

#include "accounts/account_documents.h"
#include "accounts/balance_payment.h"
#include "accounts/mailmerge.h"
#include "admin/admin_open.h"
#include "admin/listing_commands.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "store/data_store.h"

namespace kassio {

namespace {

struct PayOptions {
    int64_t customer = 0;
    std::string amount;
    std::string method = "cash";
    int32_t clerk = 1;
    bool exceed = false;
};

int runPay(DataStore& store, AdminEnvironment& env, const PayOptions& o) {
    double amount = 0;
    if (Status s = readPaymentAmount(o.amount, &amount); !s) return fail(env.ui, s);
    const auto method = paymentMethodFrom(o.method);
    if (!method) return fail(env.ui, Status::invalid("Payment method: cash, ch or eft"));
    auto lock = openForWriting(store, env);
    if (!lock) return 1;
    auto customer = readCustomer(store, o.customer);
    if (!customer) return fail(env.ui, Status::notFound("Customer not found", kTitleProblem));
    // The till asks "Continue"; here the command line must say so.
    if (exceedsAmountDue(amount, customer->balance) && !o.exceed)
        return fail(env.ui, Status::invalid("Continue with --exceed to pay more than the balance",
                                            "Exceeds amount due"));
    std::string clerkName;
    {
        auto held = store.lock();
        clerkName = store.config().clerkName(o.clerk);
    }
    PaymentResult r = postBalancePayment(store, o.customer, amount, *method, o.clerk, clerkName);
    if (Status s = store.close(); !s && r.status) r.status = s;
    if (!r.status) return fail(env.ui, r.status);
    std::fprintf(env.out, "transaction: %lld\nbalance: %.2f\n",
                 static_cast<long long>(r.transaction), r.newBalance);
    return 0;
}

bool readDate(const std::string& text, LocalTime* t) {
    int d = 0, m = 0, y = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d", &d, &m, &y) != 3 || !validDate(y, m, d)) return false;
    t->day = d, t->month = m, t->year = y;
    return true;
}

struct StatementOptions {
    int64_t customer = 0;
    std::string from, to;
};

int runStatement(DataStore& store, AdminEnvironment& env, const StatementOptions& o) {
    if (!openForReading(store, env)) return 1;
    auto customer = readCustomer(store, o.customer);
    if (!customer) return fail(env.ui, Status::notFound("Customer not found", kTitleProblem));
    const LocalTime today = env.clock.now();
    Statement st;
    if (o.from.empty() && o.to.empty()) {
        st = customerStatement(store, *customer, today);
    } else {
        LocalTime from, to = today;
        {
            auto held = store.lock();
            from = historyStart(store.config());
        }
        if ((!o.from.empty() && !readDate(o.from, &from)) ||
            (!o.to.empty() && !readDate(o.to, &to)))
            return fail(env.ui, Status::invalid("Invalid selection"));
        st = periodActivity(store, *customer, from, to);
    }
    std::fprintf(env.out, "%s\n", st.heading.c_str());
    for (const std::string& line : st.lines) std::fprintf(env.out, "%s\n", line.c_str());
    std::fprintf(env.out, "%s\n", st.balance.c_str());
    return 0;
}

}  // namespace

struct AccountPrint {
    int64_t customer = 0;
    // mail-merge
    int64_t start = 1, end = INT64_MAX;
    std::string select = "all";
    std::string textFile;
    // statement period
    std::string from, to;
    ListingPrintOptions listing;
};

bool isAccountDocument(const std::string& word) {
    for (const char* w : {"listing", "statement", "letter1", "letter2", "details", "mailmerge"})
        if (word == w) return true;
    return false;
}

int runAccountPrint(DataStore& store, AdminEnvironment& env, const AccountPrint& options,
                    const std::string& document, const std::string& what, const std::string& pdf) {
    AccountPrint o = options;
    if (document == "listing") {
        if (!what.empty()) o.listing.kind = what;
    } else if (document != "mailmerge") {
        const auto number = positiveNumber(what);
        if (!number) return fail(env.ui, Status::invalid("Customer number required"));
        o.customer = *number;
    }
    Printers* printers = env.printers ? env.printers() : nullptr;
    if (!printers)
        return fail(env.ui, Status::ioError("This kassio-admin was built without printing"));
    if (!openForReading(store, env)) return 1;
    const LocalTime today = env.clock.now();

    std::optional<CustomerRecord> customer;
    if (document != "listing" && document != "mailmerge") {
        customer = readCustomer(store, o.customer);
        if (!customer) return fail(env.ui, Status::notFound("Customer not found", kTitleProblem));
        if (document == "letter1" || document == "letter2")
            if (Status s = debtorLetterAllowed(*customer); !s) return fail(env.ui, s);
    }
    RecordListing listing;
    std::vector<CustomerRecord> merged;
    std::string letterText;
    if (document == "listing") {
        ListingRequest request;
        if (Status s = listingRequestFrom(o.listing, &request); !s) return fail(env.ui, s);
        if (Status s = buildListing(store, request, &listing); !s) return fail(env.ui, s);
    } else if (document == "mailmerge") {
        const auto selection = mailmergeSelectionFrom(o.select);
        if (!selection) return fail(env.ui, Status::invalid("Selection: all, owe or inactive"));
        if (!o.textFile.empty())
            if (Status s = loadLetterText(o.textFile, &letterText); !s) return fail(env.ui, s);
        Status error;
        merged = mailmergeCustomers(store, o.start, o.end, *selection, today, &error);
        if (!error) return fail(env.ui, error);
        if (merged.empty()) return fail(env.ui, Status::finished("No customers selected"));
    }

    // The lock is let go before anything is drawn.
    auto job = printers->openPdf(pdf, false);
    if (!job) return fail(env.ui, Status::ioError("Unable to write " + pdf));
    const LetterSetup setup = letterSetup(store, customer ? &*customer : nullptr);
    Status printed;
    if (document == "listing") {
        printed = printListingFor(store, *job, listing);
    } else if (document == "statement") {
        Statement st;
        if (o.from.empty() && o.to.empty()) {
            st = customerStatement(store, *customer, today);
            printed = printStatement(*job, setup, *customer, st);
        } else {
            LocalTime from, to = today;
            {
                auto held = store.lock();
                from = historyStart(store.config());
            }
            if ((!o.from.empty() && !readDate(o.from, &from)) ||
                (!o.to.empty() && !readDate(o.to, &to)))
                printed = Status::invalid("Invalid selection");
            else
                printed =
                    printPeriodActivity(*job, setup, periodActivity(store, *customer, from, to));
        }
    } else if (document == "letter1" || document == "letter2") {
        printed = printDebtorLetter(
            *job, setup, *customer,
            document == "letter1" ? DebtorLetter::kReminder : DebtorLetter::kFinalNotice);
    } else if (document == "details") {
        printed = printCustomerDetails(*job, setup, *customer);
    } else {
        printed = printMailmerge(*job, setup, merged, letterText);
    }
    if (!job->release() && printed) printed = Status::ioError("Unable to write " + pdf);
    if (!printed) return fail(env.ui, printed);
    std::fprintf(env.out, "%s\n", pdf.c_str());
    return 0;
}

void addAccountCommands(CLI::App& app, AdminCommands& commands) {
    auto pay = std::make_shared<PayOptions>();
    CLI::App* p = app.add_subcommand("pay", "take a balance payment from an account customer");
    p->add_option("CUSTOMER", pay->customer, "the customer number")->required();
    p->add_option("AMOUNT", pay->amount, "the amount paid, '.' before the cents")->required();
    p->add_option("--method", pay->method, "cash (default), ch or eft")
        ->check(CLI::IsMember({"cash", "ch", "eft"}, CLI::ignore_case));
    p->add_option("--clerk", pay->clerk, "the clerk taking it (default 1)");
    p->add_flag("--exceed", pay->exceed, "take a payment larger than the balance");
    commands.push_back(
        {p, [pay](DataStore& store, AdminEnvironment& env) { return runPay(store, env, *pay); }});

    auto st = std::make_shared<StatementOptions>();
    CLI::App* s = app.add_subcommand("statement", "show a customer's statement");
    s->add_option("CUSTOMER", st->customer, "the customer number")->required();
    s->add_option("--from", st->from, "first day D/M/Y (a period activity)");
    s->add_option("--to", st->to, "last day D/M/Y");
    commands.push_back({s, [st](DataStore& store, AdminEnvironment& env) {
                            return runStatement(store, env, *st);
                        }});
}

std::shared_ptr<AccountPrint> addAccountPrintOptions(CLI::App& print) {
    auto o = std::make_shared<AccountPrint>();
    print.add_option("--start", o->start, "mailmerge: the first customer number");
    print.add_option("--end", o->end, "mailmerge: the last customer number");
    print.add_option("--select", o->select, "mailmerge: all (default), owe or inactive")
        ->check(CLI::IsMember({"all", "owe", "inactive"}));
    print.add_option("--text", o->textFile, "mailmerge: the letter text file");
    print.add_option("--from", o->from, "statement: first day D/M/Y (period activity)");
    print.add_option("--to", o->to, "statement: last day D/M/Y");
    print.add_option("--from-number", o->listing.from, "listing: the first number");
    print.add_option("--alpha", o->listing.alpha, "listing: the range of first characters, A-Z");
    print.add_option("--category", o->listing.category, "listing: display category 1-18");
    print.add_option("--location", o->listing.location, "listing: the location");
    return o;
}

}  // namespace kassio
