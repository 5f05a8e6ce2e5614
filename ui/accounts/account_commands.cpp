#include "ui/accounts/account_commands.h"

#include <QWidget>

#include "accounts/account_documents.h"
#include "accounts/balance_payment.h"
#include "accounts/mailmerge.h"
#include "base/numbers.h"
#include "commands/command_router.h"
#include "listings/listing_settings.h"
#include "listings/printed_listing.h"
#include "listings/record_list.h"
#include "platform/printers.h"
#include "platform/ui.h"
#include "store/data_store.h"
#include "ui/accounts/account_dialogs.h"
#include "ui/listings/list_window.h"
#include "ui/qt_ui.h"

namespace kassio {

using namespace account_command;

namespace {

struct Context {
    DataStore& store;
    Ui& ui;
    Printers& printers;
    QWidget* window;
    AccountHooks hooks;

    void show(const Status& s) {
        if (!s) ui.error(s.message(), s.title());
    }

    // The print window, then the document; nothing when it was cancelled.
    void print(const std::function<Status(PrintJob&)>& draw) {
        auto job = printers.open(Printers::Target::kDialog, "");
        if (!job) return;
        Status s = draw(*job);
        job->release();
        show(s);
    }

    std::optional<CustomerRecord> customer(const std::string& caption) {
        auto entry = ui.prompt(caption);
        if (!entry) return std::nullopt;
        return hooks.lookUpCustomer ? hooks.lookUpCustomer(*entry) : std::nullopt;
    }

    int64_t clerk() { return hooks.clerk ? hooks.clerk() : 1; }

    // Display category picker: 0..17, or -1 for "All categories" when offered.
    std::optional<int> category(bool offerAll) {
        std::vector<std::string> names;
        if (offerAll) names.push_back("All categories");
        {
            auto lock = store.lock();
            for (int c = 0; c < kDisplayCategories; ++c)
                names.push_back(store.config().categoryCode(c));
        }
        auto pick = ui.pickFromList("Select category", names);
        if (!pick) return std::nullopt;
        return offerAll ? *pick - 1 : *pick;
    }

    void list(ListRequest request) {
        request.clerk = clerk();
        Status error;
        auto source = makeListSource(store, request, &error);
        if (!source) {
            show(error);
            return;
        }
        ListPager pager(*source);
        if (Status s = pager.open(); !s) {
            show(s);
            return;
        }
        std::function<void(const std::string&)> open;
        if (listOpensDetails(request.kind)) {
            const bool customers = listOfCustomers(request.kind);
            open = [this, customers](const std::string& number) {
                auto n = positiveNumber(number);
                if (!n) return;
                if (customers && hooks.showCustomer) hooks.showCustomer(*n);
                if (!customers && hooks.showItem) hooks.showItem(*n);
            };
        }
        ListWindow w(window, toQt(listTitle(store, request)), pager, open);
        w.exec();
    }

    void printListing(const ListingRequest& request) {
        RecordListing listing;
        if (Status s = buildListing(store, request, &listing); !s) {
            show(s);
            return;
        }
        print([&](PrintJob& job) { return printListingFor(store, job, listing); });
    }

    void payment(const CustomerRecord& c) {
        const LocalTime today = store.clock().now();
        auto entry = PaymentDialog::run(window, paymentView(store, c, today));
        if (!entry) return;
        double amount = 0;
        if (Status s = readPaymentAmount(entry->amount, &amount); !s) {
            show(s);
            return;
        }
        // The balance as it is now: a client station may have changed it
        // while the window was open.
        auto now = readCustomer(store, c.number);
        if (!now) return;
        if (exceedsAmountDue(amount, now->balance) &&
            ui.message("Continue", "Exceeds amount due", Ui::Icon::kQuestion,
                       Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        std::string clerkName;
        {
            auto lock = store.lock();
            clerkName = store.config().clerkName(clerk());
        }
        PaymentResult r = postBalancePayment(store, c.number, amount, entry->method,
                                             static_cast<int32_t>(clerk()), clerkName);
        if (!r.status) {
            show(r.status);
            return;
        }
        if (hooks.refreshTill) hooks.refreshTill();
        ui.inform("Updated", "Customer");
    }
};

}  // namespace

void registerAccountCommands(CommandRouter& router, DataStore& store, Ui& ui, Printers& printers,
                             QWidget* window, AccountHooks hooks) {
    auto ctx = std::make_shared<Context>(Context{store, ui, printers, window, std::move(hooks)});
    Context* c = ctx.get();
    auto set = [&router, ctx](int command, std::function<void()> op) {
        router.set(command, [ctx, op] { op(); });
    };

    // Listing settings.
    set(kListingFontSize, [c] {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < kListingFontSizes.size(); ++i)
            names.push_back(listingFontSizeName(static_cast<int>(i)));
        if (auto pick = c->ui.pickFromList("Listing font size", names))
            c->show(setListingFontSize(c->store, *pick));
    });
    set(kIndentListings, [c] {
        auto typed = c->ui.prompt("Indent (in characters, 0-40)");
        if (!typed) return;
        std::string done;
        Status s = setListingIndent(c->store, *typed, &done);
        if (!s)
            c->show(s);
        else
            c->ui.inform(done, "Indent listings");
    });

    // Payments.
    set(kBalancePayment, [c] {
        if (auto customer = c->customer("Number / name")) c->payment(*customer);
    });
    set(kBalancePayOnTransaction, [c] {
        auto typed = c->ui.prompt("Transaction number (Enter to list)");
        if (!typed) return;
        auto number = positiveNumber(*typed);
        int64_t who = 0;
        Status s = number ? customerOfTransaction(c->store, *number, c->store.clock().now(), &who)
                          : Status::invalid("No customer associated with transaction");
        if (!s) {
            c->show(s);
            return;
        }
        if (auto customer = readCustomer(c->store, who)) c->payment(*customer);
    });

    // Statements and letters.
    set(kCustomerStatement, [c] {
        auto customer = c->customer("Number / name");
        if (!customer) return;
        const Statement st = customerStatement(c->store, *customer, c->store.clock().now());
        StatementDialog d(c->window, "Statement", st, [c, &st, customer] {
            const LetterSetup setup = letterSetup(c->store, &*customer);
            c->print([&](PrintJob& job) { return printStatement(job, setup, *customer, st); });
        });
        d.exec();
    });
    set(kCustomerPeriodActivity, [c] {
        auto customer = c->customer("Number / name");
        if (!customer) return;
        LocalTime first;
        {
            auto lock = c->store.lock();
            first = historyStart(c->store.config());
        }
        auto period = askPeriod(c->window, first, c->store.clock().now());
        if (!period) return;
        const Statement st = periodActivity(c->store, *customer, period->first, period->second);
        StatementDialog d(c->window, toQt(st.heading), st, [c, &st, customer] {
            const LetterSetup setup = letterSetup(c->store, &*customer);
            c->print([&](PrintJob& job) { return printPeriodActivity(job, setup, st); });
        });
        d.exec();
    });
    auto letter = [c](DebtorLetter kind) {
        auto customer = c->customer("Please enter the customer");
        if (!customer) return;
        if (Status s = debtorLetterAllowed(*customer); !s) {
            c->show(s);
            return;
        }
        const LetterSetup setup = letterSetup(c->store, &*customer);
        c->print([&](PrintJob& job) { return printDebtorLetter(job, setup, *customer, kind); });
    };
    set(kPrintDebtorLetter1, [letter] { letter(DebtorLetter::kReminder); });
    set(kPrintDebtorLetter2, [letter] { letter(DebtorLetter::kFinalNotice); });
    set(kPrintCustomerDetails, [c] {
        auto customer = c->customer("Please enter the customer");
        if (!customer) return;
        const LetterSetup setup = letterSetup(c->store, &*customer);
        c->print([&](PrintJob& job) { return printCustomerDetails(job, setup, *customer); });
    });
    set(kMailmerge, [c] {
        MailmergeDialog d(c->window, c->store.folder());
        if (d.exec() != QDialog::Accepted) return;
        auto entry = d.entry();
        if (!entry) {
            c->show(Status::invalid("Invalid entry"));
            return;
        }
        Status error;
        auto customers = mailmergeCustomers(c->store, entry->start, entry->end, entry->selection,
                                            c->store.clock().now(), &error);
        if (!error) {
            c->show(error);
            return;
        }
        // Said before the print window, which would otherwise be asked for
        // a document of no pages.
        if (customers.empty()) {
            c->show(Status::finished("No customers selected"));
            return;
        }
        const LetterSetup setup = letterSetup(c->store, nullptr);
        c->print([&](PrintJob& job) { return printMailmerge(job, setup, customers, entry->text); });
    });

    // On-screen lists.
    auto fromNumber = [c](ListKind kind) {
        auto typed = c->ui.prompt("List from number:");
        if (!typed) return;
        ListRequest r;
        r.kind = kind;
        r.fromNumber = numberFromText(*typed);
        c->list(r);
    };
    auto alphabetical = [c](ListKind kind) {
        auto start = c->ui.prompt("Enter the start character:");
        if (!start) return;
        auto end = c->ui.prompt("Enter the end character:");
        if (!end) return;
        ListRequest r;
        r.kind = kind;
        r.text = *start;
        r.endText = *end;
        c->list(r);
    };
    auto plain = [c](ListKind kind) {
        ListRequest r;
        r.kind = kind;
        c->list(r);
    };
    auto searched = [c](ListKind kind, const char* caption) {
        auto typed = c->ui.prompt(caption);
        if (!typed) return;
        ListRequest r;
        r.kind = kind;
        r.text = *typed;
        c->list(r);
    };
    set(kListItemsFromNumber, [fromNumber] { fromNumber(ListKind::kItemsFromNumber); });
    set(kListCustomersFromNumber, [fromNumber] { fromNumber(ListKind::kCustomersFromNumber); });
    set(kListItemsAlphabetical, [alphabetical] { alphabetical(ListKind::kItemsAlphabetical); });
    set(kListCustomersAlphabetical,
        [alphabetical] { alphabetical(ListKind::kCustomersAlphabetical); });
    set(kListItemsByCategory, [c] {
        auto cat = c->category(false);
        if (!cat) return;
        ListRequest r;
        r.kind = ListKind::kItemsByCategory;
        r.category = *cat;
        c->list(r);
    });
    set(kHighestVolume, [c] {
        auto cat = c->category(true);
        if (!cat) return;
        ListRequest r;
        r.kind = ListKind::kItemsTopVolume;
        r.category = *cat;
        c->list(r);
    });
    set(kListItemsBySku, [searched] { searched(ListKind::kItemsBySku, "SKU or fragment:"); });
    set(kListSuppliers, [plain] { plain(ListKind::kSuppliers); });
    set(kListCustomersCredit, [plain] { plain(ListKind::kCustomersWithCredit); });
    set(kListCustomersNotGroup1, [plain] { plain(ListKind::kCustomersNotGroup1); });
    set(kListCustomersActive, [plain] { plain(ListKind::kCustomersActive); });
    set(kListCustomersOverdue, [plain] { plain(ListKind::kCustomersOverdue); });
    set(kListCustomersTakings, [plain] { plain(ListKind::kCustomersTakings); });
    set(kSearchCustomersName, [searched] { searched(ListKind::kCustomersByName, "Name:"); });
    set(kSearchCustomersAddress,
        [searched] { searched(ListKind::kCustomersByAddress, "Address:"); });

    // Printed listings.
    auto printed = [c](PrintedListing kind) {
        ListingRequest r;
        r.kind = kind;
        c->printListing(r);
    };
    set(kPrintInventory, [c] {
        auto typed = c->ui.prompt("List from number:");
        if (!typed) return;
        ListingRequest r;
        r.kind = PrintedListing::kItemsFromNumber;
        r.fromNumber = numberFromText(*typed);
        c->printListing(r);
    });
    set(kPrintCustomInventory, [c] {
        std::array<bool, kListingColumnCount> current;
        {
            auto lock = c->store.lock();
            current = listingColumns(c->store.config());
        }
        auto columns = askListingColumns(c->window, current);
        if (!columns) return;
        if (Status s = setListingColumns(c->store, *columns); !s) {
            c->show(s);
            return;
        }
        ListingRequest r;
        r.kind = PrintedListing::kItemsCustom;
        c->printListing(r);
    });
    set(kPrintItemsAlphabetical, [c] {
        auto start = c->ui.prompt("Enter the start character:");
        if (!start) return;
        auto end = c->ui.prompt("Enter the end character:");
        if (!end) return;
        ListingRequest r;
        r.kind = PrintedListing::kItemsAlphabetical;
        r.startChar = *start;
        r.endChar = *end;
        c->printListing(r);
    });
    set(kPrintItemsCategory, [c] {
        auto cat = c->category(false);
        if (!cat) return;
        ListingRequest r;
        r.kind = PrintedListing::kItemsCategory;
        r.category = *cat;
        c->printListing(r);
    });
    set(kPrintItemsLocation, [c] {
        auto typed = c->ui.prompt("Enter the location:");
        if (!typed) return;
        ListingRequest r;
        r.kind = PrintedListing::kItemsLocation;
        r.location = *typed;
        c->printListing(r);
    });
    set(kPrintItemsCostValue, [printed] { printed(PrintedListing::kItemsCostValue); });
    set(kPrintItemsHeld, [printed] { printed(PrintedListing::kItemsHeld); });
    set(kPrintSuppliers, [printed] { printed(PrintedListing::kSuppliers); });
    set(kPrintCustomersNumeric, [printed] { printed(PrintedListing::kCustomersNumeric); });
    set(kPrintCustomersAlphabetical, [c] {
        auto start = c->ui.prompt("Enter the start character:");
        if (!start) return;
        auto end = c->ui.prompt("Enter the end character:");
        if (!end) return;
        ListingRequest r;
        r.kind = PrintedListing::kCustomersAlphabetical;
        r.startChar = *start;
        r.endChar = *end;
        c->printListing(r);
    });
    set(kPrintCustomersDebitCredit, [printed] { printed(PrintedListing::kCustomersDebitCredit); });
    set(kPrintCustomersNonDefault, [printed] { printed(PrintedListing::kCustomersNonDefault); });
    set(kPrintCustomersInactive, [printed] { printed(PrintedListing::kCustomersInactive); });
    set(kPrintCustomersTakings, [printed] { printed(PrintedListing::kCustomersTakings); });
}

}  // namespace kassio
