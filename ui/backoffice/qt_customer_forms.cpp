#include "qt_customer_forms.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#include "form_widgets.h"

namespace kassio {

using namespace backoffice;

namespace {

// The find and view windows of customers are a little taller than the
// inventory ones.
constexpr QSize kRowsMinimum(420, 380);

}  // namespace

CustomerFormReply QtCustomerForms::customerForm(const CustomerFormRequest& req) {
    const CustomerFormFields& f = req.fields;
    const bool amend = req.presentation == CustomerFormPresentation::kAmend;
    QDialog d(m_parent);
    d.setWindowTitle(amend ? QStringLiteral("Amend customer") : QStringLiteral("NEW CUSTOMER"));

    struct Text {
        const char* label;
        const std::string* value;
        int limit;
        bool upper;
        QLineEdit* edit = nullptr;
    };
    Text texts[] = {
        {"Number", &f.number, 19, false},
        {"Name", &f.name, 29, true},
        {"Road", &f.road, 29, true},
        {"Area", &f.area, 29, true},
        {"Town", &f.town, 19, true},
        {"Zip / Post", &f.postcode, 9, true},
        {"Email", &f.email, 39, false},
        {"Telephone", &f.telephone, 19, true},
        {"Ext", &f.extension, 19, true},
        {"Telephone 2", &f.telephone2, 19, true},
        {"Fax", &f.fax, 29, true},
        {"Contact", &f.contact, 29, true},
        {"Group", &f.group, 11, false},
        {"Comment", &f.comment, 29, true},
        {"Comment 2", &f.comment2, 29, true},
        {"Credit card 1", &f.card1, 39, true},
        {"Exp", &f.card1Expiry, 7, true},
        {"Credit card 2", &f.card2, 29, true},
        {"Exp", &f.card2Expiry, 9, true},
        {"Balance", &f.balance, 19, false},
        {"Credit limit", &f.creditLimit, 19, false},
        {"Transactions", &f.transactions, 11, false},
        {"Total purchases", &f.totalPurchases, 19, false},
        {"Shipping name", &f.shippingName, 55, true},
        {"Road", &f.shippingRoad, 29, true},
        {"Area", &f.shippingArea, 29, true},
        {"Town", &f.shippingTown, 29, true},
        {"Zip / Post", &f.shippingPostcode, 9, true},
        {"Notes", &f.notes, 79, false},
    };
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    int n = 0;
    for (Text& t : texts) {
        t.edit = entry(&d, *t.value, t.limit, t.upper);
        const bool balance = t.value == &f.balance;
        if (balance && amend) {
            t.edit->hide();
            ++n;
            continue;
        }
        (n++ < 15 ? left : right)->addRow(QString::fromLatin1(t.label), t.edit);
    }
    texts[0].edit->setReadOnly(amend);
    auto* taxable = textList(&d, {"0", "1"}, f.taxable);
    right->addRow(QStringLiteral("Taxable"), taxable);
    auto* terms =
        textList(&d, std::vector<std::string>(req.terms.begin(), req.terms.end()), f.termsIndex);
    right->addRow(QStringLiteral("Terms"), terms);

    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    if (!amend) buttons.add(QStringLiteral("&Next"), FormButton::kNext);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* grid = new QGridLayout(&d);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    auto* note = new QLabel(
        QStringLiteral("The terms selection is the text at the foot of invoices when customer "
                       "information is used. The choices are set from the Utilities menu, "
                       "Configuration, Terms. The Group is from 1-2000 and is for information "
                       "only, it is not used by the program. "),
        &d);
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0, 1, 2);
    grid->addWidget(buttons.widget(), 2, 0, 1, 2);
    if (req.focusNumber) {
        texts[0].edit->clear();
        texts[0].edit->setFocus();
    } else {
        texts[1].edit->setFocus();
    }
    d.exec();

    CustomerFormReply reply;
    reply.button = buttons.result();
    reply.fields = f;
    CustomerFormFields& o = reply.fields;
    std::string* outs[] = {&o.number,
                           &o.name,
                           &o.road,
                           &o.area,
                           &o.town,
                           &o.postcode,
                           &o.email,
                           &o.telephone,
                           &o.extension,
                           &o.telephone2,
                           &o.fax,
                           &o.contact,
                           &o.group,
                           &o.comment,
                           &o.comment2,
                           &o.card1,
                           &o.card1Expiry,
                           &o.card2,
                           &o.card2Expiry,
                           &o.balance,
                           &o.creditLimit,
                           &o.transactions,
                           &o.totalPurchases,
                           &o.shippingName,
                           &o.shippingRoad,
                           &o.shippingArea,
                           &o.shippingTown,
                           &o.shippingPostcode,
                           &o.notes};
    static_assert(std::size(outs) == std::size(texts));
    for (std::size_t i = 0; i < std::size(texts); ++i) *outs[i] = core(texts[i].edit->text());
    o.taxable = taxable->currentIndex();
    o.termsIndex = terms->currentIndex();
    return reply;
}

FormButton QtCustomerForms::findCustomer(
    const FindCustomerView& first, const std::function<std::optional<FindCustomerView>()>& next) {
    auto rowsOf = [](const FindCustomerView& v) {
        return TextRows{{"Number", v.number},
                        {"Name", v.name},
                        {"Address", v.address},
                        {"Telephone", v.telephone},
                        {"Group", v.group},
                        {"Total purchases", v.totalPurchases},
                        {"Comment", v.comment},
                        {"Credit card 1", v.creditCard},
                        {"Transactions", v.transactions},
                        {"Origination", v.origination},
                        {"Balance", v.balance}};
    };
    return findWindow(m_parent, QStringLiteral("FIND CUSTOMER"), first, next, rowsOf, kRowsMinimum);
}

void QtCustomerForms::viewCustomer(const CustomerView& first,
                                   const std::function<std::optional<CustomerView>()>& next,
                                   const std::function<void()>& map) {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("CUSTOMER"));
    std::vector<QLabel*> values;
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(readOnlyRows(&d, first.rows, &values, kRowsMinimum));
    ButtonRow buttons(&d);
    buttons.action(QStringLiteral("Map"), [&] { map(); });
    buttons.action(QStringLiteral("Next"), [&] {
        if (auto v = next())
            refillRows(values, v->rows);
        else
            buttons.finish(FormButton::kOk);
    });
    buttons.add(QStringLiteral("Close"), FormButton::kOk);
    layout->addWidget(buttons.widget());
    d.exec();
}

std::optional<std::string> QtCustomerForms::numberOrName(const std::string& caption,
                                                         const std::string& label) {
    QDialog d(m_parent);
    d.setWindowTitle(qt(caption));
    auto* frame = new QGroupBox(qt(label), &d);
    auto* inner = new QVBoxLayout(frame);
    auto* text = entry(&d, "", 29, true);
    inner->addWidget(text);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(frame);
    layout->addWidget(buttons.widget());
    text->setFocus();
    d.exec();
    if (buttons.result() != FormButton::kOk || text->text().isEmpty()) return std::nullopt;
    return core(text->text());
}

std::optional<std::string> QtCustomerForms::amountPrompt(const std::string& caption,
                                                         const std::string& initial) {
    QDialog d(m_parent);
    d.setWindowTitle(qt(caption));
    auto* text = entry(&d, initial, 19, false);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(text);
    layout->addWidget(buttons.widget());
    text->selectAll();
    text->setFocus();
    d.exec();
    if (buttons.result() != FormButton::kOk) return std::nullopt;
    return core(text->text());
}

std::optional<SupplierFormFields> QtSupplierForms::supplierForm(const std::string& title,
                                                                const SupplierFormFields& f,
                                                                bool readOnly) {
    QDialog d(m_parent);
    d.setWindowTitle(qt(title));
    struct Text {
        const char* label;
        const std::string* value;
        int limit;
        QLineEdit* edit = nullptr;
    };
    // Limits are one less than each field's documented limit.
    Text texts[] = {
        {"Number", &f.number, 19},
        {"Name", &f.name, 40},
        {"Road", &f.road, 28},
        {"Area", &f.area, 28},
        {"Town", &f.town, 28},
        {"Zip / Post", &f.postcode, 8},
        {"Telephone 1", &f.telephone1, 18},
        {"Ext", &f.extension, 18},
        {"Telephone 2", &f.telephone2, 18},
        {"Fax", &f.fax, 18},
        {"Contact", &f.contact, 58},
        {"Notes", &f.notes, 198},
        {"Comment 1", &f.comment1, 28},
        {"Origination", &f.origination, 38},
        {"Credit limit", &f.creditLimit, 38},
        {"Terms", &f.terms, 38},
        {"Comment 2", &f.comment2, 38},
        {"Email", &f.email, 38},
    };
    auto* form = new QFormLayout;
    for (Text& t : texts) {
        t.edit = entry(&d, *t.value, t.limit, false);
        t.edit->setReadOnly(readOnly);
        form->addRow(QString::fromLatin1(t.label), t.edit);
    }
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    if (!readOnly) buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("The number is required. All other fields are "
                                                "text and may be used as required."),
                                 &d));
    layout->addWidget(buttons.widget());
    d.exec();
    if (buttons.result() != FormButton::kOk || readOnly) return std::nullopt;
    SupplierFormFields o;
    std::string* outs[] = {&o.number,   &o.name,       &o.road,      &o.area,        &o.town,
                           &o.postcode, &o.telephone1, &o.extension, &o.telephone2,  &o.fax,
                           &o.contact,  &o.notes,      &o.comment1,  &o.origination, &o.creditLimit,
                           &o.terms,    &o.comment2,   &o.email};
    static_assert(std::size(outs) == std::size(texts));
    for (std::size_t i = 0; i < std::size(texts); ++i) *outs[i] = core(texts[i].edit->text());
    return o;
}

void QtShell::open(const std::string& url) {
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(url)));
}

}  // namespace kassio
