#include "customers/customer_maintenance.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "customers/customer_fields.h"
#include "customers/customer_log.h"
#include "store/activity_log.h"
#include "store/customers.h"
#include "store/file_io.h"

namespace kassio {

namespace {

Status noMatch() {
    return Status::finished("No match found");
}

void showStatus(Ui& ui, const Status& s) {
    if (s.isOk()) return;
    if (s.finished())
        ui.inform(s.message(), s.title());
    else
        ui.error(s.message(), s.title());
}

FindCustomerView findView(const CustomerRecord& c) {
    FindCustomerView v;
    v.number = formatted("%lld", static_cast<long long>(c.number));
    v.name = fieldText(c.name);
    std::string address = fieldText(c.road);
    for (const std::string& part : {fieldText(c.area), fieldText(c.town), fieldText(c.postcode)})
        if (!part.empty()) address += (address.empty() ? "" : ", ") + part;
    v.address = address;
    v.telephone = fieldText(c.telephone);
    v.group = formatted("%d", c.group);
    v.totalPurchases = formatted("%.2f", c.total_purchases);
    v.comment = fieldText(c.comment);
    v.creditCard = fieldText(c.credit_card);
    v.transactions = formatted("%d", c.transactions);
    v.origination = fieldText(c.origination);
    v.balance = formatted("%.2f", c.balance);
    return v;
}

std::optional<CustomerHit> byNumber(DataStore& store, Ui& ui, int64_t number) {
    Status failure;
    std::optional<CustomerHit> hit;
    {
        auto lock = store.lock();
        if (auto slot = store.customers().find(number)) {
            CustomerHit h;
            h.slot = *slot;
            Status s = store.customers().read(*slot, &h.customer);
            if (s)
                hit = h;
            else if (s.kind() == Status::Kind::kNotFound)
                failure = s;
            else
                failure = Status::ioError("Not able to read customer.dat", kTitleProblem);
        } else {
            failure = noMatch();
        }
    }
    showStatus(ui, failure);
    return hit;
}

}  // namespace

std::optional<CustomerHit> lookUpCustomerHit(DataStore& store, Ui& ui, CustomerForms& forms,
                                             const std::string& entry, int64_t maxNumber) {
    if (auto number = positiveNumber(entry); number && *number <= maxNumber)
        return byNumber(store, ui, *number);

    auto query = nameQuery(entry);
    if (!query) return std::nullopt;

    if (store.config().record().options[kOptCustomerSearchAsList] != 0) {
        Status error;
        CustomerPickList list = namePickList(store, *query, &error);
        if (!error.isOk()) {
            showStatus(ui, error);
            return std::nullopt;
        }
        if (list.lines.empty()) {
            showStatus(ui, noMatch());
            return std::nullopt;
        }
        auto picked = ui.pickFromList("Please select", list.lines);
        if (!picked || *picked < 0 || *picked >= static_cast<int>(list.numbers.size()))
            return std::nullopt;
        return byNumber(store, ui, list.numbers[static_cast<std::size_t>(*picked)]);
    }

    Status error;
    auto hit = nextByName(store, *query, 0, &error);
    if (!hit) {
        showStatus(ui, error.isOk() ? noMatch() : error);
        return std::nullopt;
    }
    CustomerHit current = *hit;
    auto next = [&]() -> std::optional<FindCustomerView> {
        Status e;
        auto n = nextByName(store, *query, current.slot + 1, &e);
        if (!n) {
            showStatus(ui, e.isOk() ? noMatch() : e);
            return std::nullopt;
        }
        current = *n;
        return findView(current.customer);
    };
    if (forms.findCustomer(findView(current.customer), next) == FormButton::kOk) return current;
    return std::nullopt;
}

std::optional<CustomerRecord> lookUpCustomer(DataStore& store, Ui& ui, CustomerForms& forms,
                                             const std::string& entry) {
    auto hit = lookUpCustomerHit(store, ui, forms, entry);
    if (!hit) return std::nullopt;
    return hit->customer;
}

CustomerMaintenance::CustomerMaintenance(DataStore& store, Ui& ui, CustomerForms& forms,
                                         Sound& sound, Shell& shell)
    : m_store(store), m_ui(ui), m_forms(forms), m_sound(sound), m_shell(shell) {}

void CustomerMaintenance::show(const Status& s) {
    showStatus(m_ui, s);
}

void CustomerMaintenance::refuse(const Status& s) {
    if (m_store.config().record().settings_b[kSetBSoundEffectsOff] == 0)
        m_sound.play(SoundId::kRefused);
    show(s);
}

std::optional<CustomerHit> CustomerMaintenance::askAndLookUp(const std::string& caption,
                                                             int64_t maxNumber) {
    auto entry = m_forms.numberOrName(caption, "Number / name");
    if (!entry) return std::nullopt;
    return lookUpCustomerHit(m_store, m_ui, m_forms, *entry, maxNumber);
}

Status CustomerMaintenance::logActivity(const std::string& text) {
    const LocalTime now = m_store.clock().now();
    auto lock = m_store.lock();
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(m_store.journal().ensureDayFolders(now));
    if (!m_store.journal().appendActivity(now, text))
        return Status::notFound("Data log text file not present.", kTitleFatal);
    return Status::ok();
}

// --- Write current customer -------------------------------------------------

Status CustomerMaintenance::updateCustomer(int64_t number,
                                           const std::function<void(CustomerRecord&)>& change,
                                           CustomerRecord* before, CustomerRecord* written) {
    if (number < 1) return Status::invalid("Invalid number.");
    auto lock = m_store.lock();
    auto slot = m_store.customers().find(number);
    if (!slot) return Status::invalid("Invalid number.");
    CustomerRecord c;
    Status s = m_store.customers().read(*slot, &c);
    if (s.kind() == Status::Kind::kNotFound)
        return Status::invalid("Data file: customer.dat, not present.", kTitleProblem);
    if (!s) return Status::ioError(m_store.customers().path(), kTitleProblem);
    if (before) *before = c;
    change(c);
    c.number = number;
    s = m_store.customers().write(*slot, &c);
    if (s.kind() == Status::Kind::kNotFound)
        return Status::invalid("Data file: customer.dat, not present.", kTitleProblem);
    if (!s) return Status::ioError(m_store.customers().path(), kTitleProblem);
    if (written) *written = c;
    return Status::ok();
}

// --- Add --------------------------------------------------------------------

void CustomerMaintenance::add() {
    const bool offer = m_store.config().record().options[kOptNoNewCustomerBox] == 0;
    auto offered = [&]() -> std::string {
        return offer ? formatted("%lld", static_cast<long long>(suggestCustomerNumber(m_store)))
                     : "";
    };
    CustomerFormRequest request;
    request.presentation = CustomerFormPresentation::kNew;
    request.fields = blankCustomerFields();
    request.fields.number = offered();
    request.focusNumber = !offer;
    request.terms = termsList(m_store.config());
    // The balance is read from the form only while it is in its New
    // presentation; after a refused entry it keeps what was read first.
    double balance = 0;

    for (;;) {
        CustomerFormReply reply = m_forms.customerForm(request);
        if (reply.button == FormButton::kCancel) return;

        CustomerRecord c = blankCustomer();
        const bool fresh = request.presentation == CustomerFormPresentation::kNew;
        storeCustomerFields(reply.fields, c, fresh);
        if (fresh)
            balance = c.balance;
        else
            c.balance = balance;
        if (Status s = validateNewCustomer(c); !s) {
            refuse(s);
            request.presentation = CustomerFormPresentation::kAmend;
            request.fields = reply.fields;
            request.focusNumber = false;
            continue;
        }
        if (Status s = createCustomer(m_store, c); !s) {
            show(s);
            return;
        }
        {
            auto lock = m_store.lock();
            m_store.config().record().options[kOptCustomersAdded] += 1;
        }
        m_ui.inform("Saved.", "Customer");
        if (reply.button != FormButton::kNext) return;
        request.presentation = CustomerFormPresentation::kNew;
        request.fields = blankCustomerFields();
        request.fields.number = offered();
        request.focusNumber = !offer;
        balance = 0;
    }
}

// --- Amend ------------------------------------------------------------------

void CustomerMaintenance::amend(std::optional<int64_t> loaded) {
    auto hit = loaded ? byNumber(m_store, m_ui, *loaded) : askAndLookUp("Amend customer");
    if (!hit) return;
    const CustomerRecord before = hit->customer;

    CustomerFormRequest request;
    request.presentation = CustomerFormPresentation::kAmend;
    request.fields = customerFields(before);
    request.terms = termsList(m_store.config());
    CustomerFormReply reply = m_forms.customerForm(request);
    if (reply.button == FormButton::kCancel) return;

    CustomerRecord edited = before;
    storeCustomerFields(reply.fields, edited, false);
    if (edited.number != before.number) {
        show(Status::invalid("Number cannot be changed"));
        return;
    }
    if (fieldText(edited.name).size() < 2) {
        refuse(Status::invalid("The name must have at least two characters."));
        return;
    }
    if (edited.group < 1 || edited.group > 2000) {
        refuse(Status::invalid("Invalid category (1-2000)"));
        return;
    }
    CustomerRecord written;
    Status s = updateCustomer(
        edited.number, [&](CustomerRecord& c) { storeCustomerFields(reply.fields, c, false); },
        nullptr, &written);
    if (!s) {
        show(s);
        return;
    }
    show(logActivity(activity::customerAmended(m_store.clock().now(), before, written)));
}

void CustomerMaintenance::amendBalance() {
    auto hit = askAndLookUp("Amend credit");
    if (!hit) return;
    const CustomerRecord& c = hit->customer;
    auto typed = m_forms.amountPrompt(
        formatted("%lld %s, owed:", static_cast<long long>(c.number), fieldText(c.name).c_str()),
        formatted("%.2f", c.balance));
    if (!typed) return;
    const double balance = decimalFromText(*typed);
    if (!isSaneMoney(balance)) {
        show(Status::invalid(kAmountOutOfRange));
        return;
    }
    CustomerRecord old, written;
    Status s = updateCustomer(
        c.number, [&](CustomerRecord& r) { r.balance = balance; }, &old, &written);
    if (!s) {
        show(s);
        return;
    }
    s = logActivity(activity::creditAmended(m_store.clock().now(), written.number,
                                            fieldText(written.name), old.balance, balance));
    if (!s) {
        show(s);
        return;
    }
    m_ui.inform("Updated", "Customer");
}

// --- Delete and prune ---------------------------------------------------------

Status CustomerMaintenance::deleteSlot(int64_t number, std::string* name) {
    auto lock = m_store.lock();
    auto slot = m_store.customers().find(number);
    if (!slot) return noMatch();
    CustomerRecord c;
    Status s = m_store.customers().read(*slot, &c);
    if (s) s = m_store.customers().remove(*slot);
    if (!s) {
        if (s.kind() == Status::Kind::kNotFound) return s;
        return Status::ioError("Not able to write customer.dat", kTitleProblem);
    }
    if (name) *name = fieldText(c.name);
    return Status::ok();
}

void CustomerMaintenance::remove() {
    auto entry = m_forms.numberOrName("Delete customer", "Number / name");
    if (!entry) return;
    auto hit = lookUpCustomerHit(m_store, m_ui, m_forms, *entry);
    if (!hit) return;
    // A customer picked from the list is shown before the question.
    if (!positiveNumber(*entry) && m_store.config().record().options[kOptCustomerSearchAsList] != 0)
        showCustomer(hit->customer);
    const CustomerRecord& c = hit->customer;
    const std::string caption =
        formatted("%lld Name: %s", static_cast<long long>(c.number), fieldText(c.name).c_str());
    if (m_ui.message("Are you sure?", caption, Ui::Icon::kQuestion, Ui::Buttons::kOkCancel) !=
        Ui::Answer::kOk)
        return;
    std::string name;
    if (Status s = deleteSlot(c.number, &name); !s) {
        show(s);
        return;
    }
    const LocalTime now = m_store.clock().now();
    show(logActivity(activity::customerDeleted(now, c.number, name)));
}

namespace {

// Month and year of a last-used timestamp ("hh:mmDD/MM/YYYY"); 0 where the
// text holds no number there ("NEW").
int digitsAt(const std::string& text, std::size_t pos, std::size_t len) {
    if (pos >= text.size()) return 0;
    return std::atoi(text.substr(pos, len).c_str());
}

struct Cutoff {
    int year, month;
};

bool offeredForPrune(const CustomerRecord& c, const Cutoff& cutoff, bool omitDebtors) {
    if (c.number < 1 || c.tax != 0) return false;
    const std::string used = fieldText(c.last_used);
    const int month = digitsAt(used, 8, 2);
    const int year = digitsAt(used, 11, 4);
    if (month == 0 || year == 0) return true;
    const bool old = year < cutoff.year || (year == cutoff.year && month <= cutoff.month);
    return old && (!omitDebtors || c.balance == 0);
}

}  // namespace

void CustomerMaintenance::prune() {
    auto typed = m_ui.prompt("Enter the start number:", "1");
    if (!typed) return;
    const int64_t start = numberFromText(*typed);
    if (start < 1) return;
    const LocalTime now = m_store.clock().now();
    Cutoff cutoff{now.year, now.month - 6};
    if (cutoff.month < 1) {
        cutoff.month += 12;
        cutoff.year -= 1;
    }
    const bool omitDebtors =
        m_ui.message("Omit those that owe money?", "Prune members", Ui::Icon::kQuestion,
                     Ui::Buttons::kYesNo) == Ui::Answer::kYes;

    // The walk goes by number, not by index position: the lock is released
    // around each question, and a delete moves index entries.
    int64_t next = start;
    for (;;) {
        std::optional<CustomerRecord> offered;
        Status failure;
        {
            auto lock = m_store.lock();
            const RecordIndex& index = m_store.customers().index();
            const auto& entries = index.entries();
            for (std::size_t p = index.lowerBound(next); p < entries.size(); ++p) {
                CustomerRecord c;
                Status s = m_store.customers().read(entries[p].slot, &c);
                if (!s) {
                    failure = s.kind() == Status::Kind::kNotFound
                                  ? s
                                  : Status::ioError("Not able to read customer.dat");
                    break;
                }
                if (offeredForPrune(c, cutoff, omitDebtors)) {
                    offered = c;
                    break;
                }
            }
        }
        if (!failure.isOk()) {
            show(failure);
            return;
        }
        if (!offered) return;
        const std::string used = fieldText(offered->last_used);
        const Ui::Answer a =
            m_ui.message(formatted("Last used: %s Balance: %.2f",
                                   used.size() > 5 ? used.c_str() + 5 : "", offered->balance),
                         formatted("%lld Name: %s", static_cast<long long>(offered->number),
                                   fieldText(offered->name).c_str()),
                         Ui::Icon::kQuestion, Ui::Buttons::kYesNoCancel);
        if (a == Ui::Answer::kCancel) return;
        if (a == Ui::Answer::kYes) {
            // A client station may have sold to the customer while the box
            // was open: only a customer who still qualifies is deleted.
            auto now = readCustomer(m_store, offered->number);
            if (now && offeredForPrune(*now, cutoff, omitDebtors)) {
                if (Status s = deleteSlot(offered->number, nullptr); !s) {
                    show(s);
                    return;
                }
            }
        }
        next = offered->number + 1;
    }
}

// --- Finds and the view form -------------------------------------------------

std::optional<CustomerHit> CustomerMaintenance::offerMatches(
    const std::function<std::optional<CustomerHit>(uint64_t, Status*)>& next,
    const std::function<std::string(const CustomerRecord&)>& text, const std::string& title,
    const std::function<bool(const CustomerRecord&)>& stillMatches) {
    uint64_t from = 0;
    for (;;) {
        Status error;
        auto hit = next(from, &error);
        if (!hit) {
            show(error.isOk() ? noMatch() : error);
            return std::nullopt;
        }
        // Asked with the lock released; the slot is read again after a Yes.
        Ui::Answer a = m_ui.message(text(hit->customer), title, Ui::Icon::kQuestion,
                                    Ui::Buttons::kYesNoCancel);
        if (a == Ui::Answer::kCancel) return std::nullopt;
        if (a == Ui::Answer::kYes)
            if (auto fresh = recheckCustomer(m_store, *hit, stillMatches)) return fresh;
        from = hit->slot + 1;
    }
}

void CustomerMaintenance::find() {
    auto entry = m_forms.numberOrName("Find customer", "Number / name");
    if (!entry) return;
    const bool byNumberText = positiveNumber(*entry) && *positiveNumber(*entry) <= kMaxRecordNumber;
    const bool list = m_store.config().record().options[kOptCustomerSearchAsList] != 0;
    auto hit = lookUpCustomerHit(m_store, m_ui, m_forms, *entry, kMaxRecordNumber);
    // A name search by initials has shown its match in "FIND CUSTOMER".
    if (hit && (byNumberText || list)) showCustomer(hit->customer);
}

void CustomerMaintenance::findThatContain() {
    auto typed = m_ui.prompt("Fragment:");
    if (!typed) return;
    const std::string q = upperCase(*typed);
    if (q.empty()) return;
    auto hit = offerMatches(
        [&](uint64_t from, Status* e) { return nextByNameFragment(m_store, q, from, e); },
        [](const CustomerRecord& c) {
            return formatted("%lld, %s", static_cast<long long>(c.number),
                             fieldText(c.name).c_str());
        },
        "Search: No to continue",
        [&](const CustomerRecord& c) { return fieldText(c.name).find(q) != std::string::npos; });
    if (hit) showCustomer(hit->customer);
}

void CustomerMaintenance::findTelephone() {
    auto typed = m_ui.prompt("Find telephone");
    if (!typed || typed->empty()) return;
    const std::string q = *typed;
    auto hit = offerMatches(
        [&](uint64_t from, Status* e) { return nextByTelephone(m_store, q, from, e); },
        [&](const CustomerRecord& c) {
            return formatted("%lld, %s: %s", static_cast<long long>(c.number),
                             fieldText(c.name).c_str(), matchedTelephone(c, q).c_str());
        },
        "Search: Yes to halt, No to continue",
        [&](const CustomerRecord& c) {
            return fieldText(c.telephone).find(q) != std::string::npos ||
                   fieldText(c.telephone2).find(q) != std::string::npos;
        });
    if (hit) showCustomer(hit->customer);
}

void CustomerMaintenance::loyaltyCard() {
    auto entry = m_forms.numberOrName("Loyalty card. Please swipe", "Number / name");
    if (!entry) return;
    auto hit = lookUpCustomerHit(m_store, m_ui, m_forms, *entry);
    if (hit) showCustomer(hit->customer);
}

CustomerView CustomerMaintenance::customerView(const CustomerRecord& c) const {
    const auto terms = termsList(m_store.config());
    auto money = [](double v) { return formatted("%.2f", v); };
    CustomerView v;
    v.rows = {
        {"Number", formatted("%lld", static_cast<long long>(c.number))},
        {"Name", fieldText(c.name)},
        {"Road", fieldText(c.road)},
        {"Area", fieldText(c.area)},
        {"Town", fieldText(c.town)},
        {"Zip / Post", fieldText(c.postcode)},
        {"Telephone", fieldText(c.telephone)},
        {"Ext", fieldText(c.telephone_extension)},
        {"Telephone 2", fieldText(c.telephone2)},
        {"Fax", fieldText(c.fax)},
        {"Email", fieldText(c.email)},
        {"Contact", fieldText(c.contact)},
        {"Taxable", formatted("%lld", static_cast<long long>(c.tax))},
        {"Group", formatted("%d", c.group)},
        {"Terms", c.terms >= 1 && c.terms <= 8 ? terms[c.terms - 1] : ""},
        {"Comment", fieldText(c.comment)},
        {"Comment 2", fieldText(c.comment2)},
        {"Credit card 1", fieldText(c.credit_card)},
        {"Exp", fieldText(c.credit_card_expiry)},
        {"Credit card 2", fieldText(c.credit_card2)},
        {"Exp", fieldText(c.credit_card2_expiry)},
        {"Balance", money(c.balance)},
        {"Credit limit", money(c.credit_limit)},
        {"Total purchases", money(c.total_purchases)},
        {"Transactions", formatted("%d", c.transactions)},
        {"Shipping name", fieldText(c.shipping_address_1)},
        {"Shipping road", fieldText(c.shipping_address_2)},
        {"Shipping area", fieldText(c.shipping_address_3)},
        {"Shipping town", fieldText(c.shipping_address_4)},
        {"Shipping zip / post", fieldText(c.shipping_address_5)},
        {"Notes", fieldText(c.notes)},
        {"Origination", fieldText(c.origination)},
        {"Last used", lastUsedText(fieldText(c.last_used))},
        {"Last payment", lastUsedText(fieldText(c.last_payment))},
    };
    return v;
}

void CustomerMaintenance::openMap(const CustomerRecord& c) {
    m_shell.open(mapUrl(c));
}

void CustomerMaintenance::showCustomer(const CustomerRecord& first) {
    CustomerRecord current = first;
    auto next = [&]() -> std::optional<CustomerView> {
        CustomerRecord c;
        {
            auto lock = m_store.lock();
            const RecordIndex& index = m_store.customers().index();
            const auto& entries = index.entries();
            std::size_t p = index.lowerBound(current.number + 1);
            if (p >= entries.size() || entries[p].number <= 0) return std::nullopt;
            if (!m_store.customers().read(entries[p].slot, &c)) return std::nullopt;
        }
        current = c;
        return customerView(current);
    };
    m_forms.viewCustomer(customerView(current), next, [&] { openMap(current); });
}

}  // namespace kassio
