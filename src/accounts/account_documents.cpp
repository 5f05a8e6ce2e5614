#include "accounts/account_documents.h"

#include <algorithm>
#include <memory>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "customers/customer_fields.h"
#include "listings/listing_page.h"
#include "listings/listing_settings.h"

namespace kassio {

namespace {

const char* const kDiscountWords[8] = {"Nett",     "2% disc",  "5% disc",  "10% disc",
                                       "20% disc", "30% disc", "40% disc", "50% disc"};
const char* const kPeriodWords[8] = {"No credit", "10 days", "20 days",  "30 days",
                                     "60 days",   "90 days", "120 days", "180 days"};

// The letterhead: letter.bmp at the top left at half the page width with
// the heading lines to its right, or the heading lines centred. Returns
// the row below it.
int letterhead(TextPage& page, const LetterSetup& setup) {
    Canvas& c = page.canvas();
    const int half = c.printableWidth() / 2;
    std::unique_ptr<CanvasBitmap> bmp =
        setup.letterhead.empty() ? nullptr : c.loadBitmap(setup.letterhead);
    if (bmp && bmp->width() > 0) {
        const int h =
            static_cast<int>(static_cast<long long>(half - 10) * bmp->height() / bmp->width());
        c.stretchBitmap(*bmp, 10, 10, half - 10, h);
        for (int i = 0; i < 6; ++i)
            c.text(half + 30, 10 + i * page.lineHeight(), Canvas::Align::kLeft, setup.heading[i]);
        return std::max(7, (10 + h) / page.lineHeight() + 1);
    }
    for (int i = 0; i < 6; ++i) page.centred(i, setup.heading[i]);
    return 7;
}

std::string clock(const LocalTime& t) {
    return formatted("%02d:%02d", t.hour, t.minute);
}

// "%c%c:%c%c" and the date of a stored timestamp, or the text as stored.
std::string stampText(const char (&field)[16]) {
    const std::string t = fieldText(field);
    if (t.size() >= 15)
        return formatted("%c%c:%c%c %s", t[0], t[1], t[2], t[3], t.substr(5).c_str());
    return t;
}

}  // namespace

std::string statementTermsText(const StoreConfig& config, int band) {
    if (band < 1 || band > 8) return {};
    const StoreConfigRecord& r = config.record();
    const int d = r.terms_discount[band - 1];
    const int64_t p = r.options[kOptTermsPeriod + band - 1];
    std::string text = d >= 1 && d <= 8 ? kDiscountWords[d - 1] : "";
    if (p >= 2 && p <= 8) text += std::string(", ") + kPeriodWords[p - 1];
    return text;
}

LetterSetup letterSetup(DataStore& store, const CustomerRecord* customer) {
    LetterSetup s;
    auto lock = store.lock();
    const StoreConfig& cfg = store.config();
    for (int i = 0; i < 6; ++i) s.heading[i] = cfg.heading(i + 1);
    s.letterhead = store.pathOf("letter.bmp");
    s.fontPoints = listingFontPoints(cfg);
    s.indent = listingIndent(cfg);
    if (customer) s.termsText = statementTermsText(cfg, customer->terms);
    s.now = store.clock().now();
    return s;
}

Status debtorLetterAllowed(const CustomerRecord& customer) {
    if (!(customer.balance > 0)) return Status::invalid("No amount is outstanding");
    return Status::ok();
}

Status printStatement(PrintJob& job, const LetterSetup& setup, const CustomerRecord& c,
                      const Statement& st) {
    std::size_t next = 0;
    return printTextDocument(job, [&](Canvas& canvas, int page) {
        if (page == 1) next = 0;  // every copy from the first line
        TextPage p(canvas, setup.fontPoints, setup.indent);
        int row = 0;
        if (page == 1) {
            row = letterhead(p, setup) + 1;
            p.centred(row++, "STATEMENT");
            p.text(row++, 0,
                   formatted("%s  %s", clock(setup.now).c_str(), dateText(setup.now).c_str()));
            p.text(row++, 0,
                   formatted("Ref: %lld-%d%02d%02d", static_cast<long long>(c.number),
                             setup.now.year, setup.now.month, setup.now.day));
            p.text(row++, 0, formatted("Customer ID: %lld", static_cast<long long>(c.number)));
            p.text(row++, 0, "Terms: " + setup.termsText);
            ++row;
            p.text(row++, 0, st.heading);
        }
        while (row < p.rows() && next < st.lines.size()) p.text(row++, 0, st.lines[next++]);
        if (next < st.lines.size()) return true;
        // The balance one line below the last transaction, on the next
        // page when this one is full.
        if (row + 1 >= p.rows()) {
            if (row > 0) return true;
            p.text(0, 0, st.balance);
            return false;
        }
        p.text(row + 1, 0, st.balance);
        return false;
    });
}

Status printPeriodActivity(PrintJob& job, const LetterSetup& setup, const Statement& st) {
    std::size_t next = 0;
    return printTextDocument(job, [&](Canvas& canvas, int page) {
        if (page == 1) next = 0;  // every copy from the first line
        TextPage p(canvas, setup.fontPoints, setup.indent);
        p.text(0, 0, formatted("%s   Activity Report  Page: %d", setup.heading[0].c_str(), page));
        int row = 2;
        if (page == 1) {
            p.text(row++, 0, st.heading);
            ++row;
        }
        while (row < p.rows() && next < st.lines.size()) p.text(row++, 0, st.lines[next++]);
        return next < st.lines.size();
    });
}

Status printDebtorLetter(PrintJob& job, const LetterSetup& setup, const CustomerRecord& c,
                         DebtorLetter kind) {
    if (Status s = debtorLetterAllowed(c); !s) return s;
    return printTextDocument(job, [&](Canvas& canvas, int) {
        TextPage p(canvas, setup.fontPoints, setup.indent);
        letterhead(p, setup);
        int row = 12;
        p.text(row++, 0, fieldText(c.name));
        for (const std::string& line :
             {fieldText(c.road), fieldText(c.area), fieldText(c.town), fieldText(c.postcode)})
            if (!line.empty()) p.text(row++, 0, line);
        row += 4;
        p.right(row, shortMonthDateText(setup.now.year, setup.now.month, setup.now.day));
        row += 6;
        const bool final = kind == DebtorLetter::kFinalNotice;
        if (final) {
            p.centred(row, "FINAL NOTICE");
            row += 2;
        }
        p.text(row, 0, "Dear Sir / Madam,");
        p.centred(row, formatted("Customer reference: %lld", static_cast<long long>(c.number)));
        row += 2;
        if (final) {
            p.text(row++, 0, "Despite our previous reminder(s) the following amount");
            p.text(row++, 0, formatted("is still overdue: %.2f", c.balance));
        } else {
            p.text(row++, 0, "According to our records the following amount is");
            p.text(row++, 0, formatted("now overdue: %.2f", c.balance));
        }
        ++row;
        if (final) {
            p.text(row++, 0, "Please remit the amount by return.");
            p.text(row++, 0, "Please note that delay may incur further costs.");
        } else {
            p.text(row++, 0, "Please remit at your earliest convenience. Thank you.");
            p.text(row++, 0,
                   "If payment has been made in the last few days please disregard this letter.");
        }
        row += 1;
        p.text(row, 0, "Yours sincerely,");
        row += 6;
        p.text(row++, 0, "---------------------");
        p.text(row, 0, "Manager");
        return false;
    });
}

Status printCustomerDetails(PrintJob& job, const LetterSetup& setup, const CustomerRecord& c) {
    return printTextDocument(job, [&](Canvas& canvas, int) {
        TextPage p(canvas, setup.fontPoints, setup.indent);
        int row = 0;
        auto line = [&](const std::string& t) { p.text(row++, 0, t); };
        line(formatted("Customer: %lld", static_cast<long long>(c.number)));
        ++row;
        line("Billing");
        for (const std::string& t : {fieldText(c.name), fieldText(c.road), fieldText(c.area),
                                     fieldText(c.town), fieldText(c.postcode)})
            line("  " + t);
        line("Shipping");
        for (const std::string& t :
             {fieldText(c.shipping_address_1), fieldText(c.shipping_address_2),
              fieldText(c.shipping_address_3), fieldText(c.shipping_address_4),
              fieldText(c.shipping_address_5)})
            line("  " + t);
        ++row;
        line(formatted("Tel. %s ext. %s", fieldText(c.telephone).c_str(),
                       fieldText(c.telephone_extension).c_str()));
        line(formatted("Email: %s", fieldText(c.email).c_str()));
        line(formatted("Fax: %s", fieldText(c.fax).c_str()));
        line(formatted("Contact: %s", fieldText(c.contact).c_str()));
        line(formatted("Tax code: %lld", static_cast<long long>(c.tax)));
        line(formatted("Comment 1: %s", fieldText(c.comment).c_str()));
        line(formatted("Comment 2: %s", fieldText(c.comment2).c_str()));
        line(formatted("Credit card 1: %s", fieldText(c.credit_card).c_str()));
        line(formatted("Expiry: %s", fieldText(c.credit_card_expiry).c_str()));
        line(formatted("Credit card 2: %s", fieldText(c.credit_card2).c_str()));
        line(formatted("Expiry: %s", fieldText(c.credit_card2_expiry).c_str()));
        line(formatted("Transactions: %d", c.transactions));
        line(formatted("Origination: %s", fieldText(c.origination).c_str()));
        line(formatted("Credit limit: %.2f", c.credit_limit));
        line(formatted("Balance: %.2f", c.balance));
        line(formatted("Total purchases: %.2f", c.total_purchases));
        line(formatted("Group: %d", c.group));
        line("Last used: " + stampText(c.last_used));
        line("Last payment: " + stampText(c.last_payment));
        line("Terms: " + setup.termsText);
        return false;
    });
}

Status printMailmerge(PrintJob& job, const LetterSetup& setup,
                      const std::vector<CustomerRecord>& customers, const std::string& letterText) {
    if (customers.empty()) return Status::finished("No customers selected");
    return printTextDocument(job, [&](Canvas& canvas, int page) {
        const CustomerRecord& c = customers[static_cast<std::size_t>(page - 1)];
        TextPage p(canvas, setup.fontPoints, setup.indent);
        int row = 0;
        for (int i = 0; i < 6; ++i) p.text(row++, 0, setup.heading[i]);
        ++row;
        p.text(row++, 0,
               formatted("%s %s %s", fieldText(c.name_prefix1).c_str(),
                         fieldText(c.name_prefix2).c_str(), fieldText(c.name).c_str()));
        for (const std::string& t :
             {fieldText(c.road), fieldText(c.area), fieldText(c.town), fieldText(c.postcode)})
            if (!t.empty()) p.text(row++, 0, t);
        ++row;
        p.right(row,
                formatted("%d %s %d", setup.now.day, monthName(setup.now.month), setup.now.year));
        row += 2;
        p.text(row, 0,
               formatted("Dear Sir / Madam,           Customer number: %lld",
                         static_cast<long long>(c.number)));
        row += 2;
        for (const std::string& t : p.wrap(letterText)) p.text(row++, 0, t);
        row += 1;
        p.text(row, 0, "Yours sincerely,");
        row += 4;
        p.text(row++, 0, "-------------------");
        p.text(row, 0, "Manager");
        return static_cast<std::size_t>(page) < customers.size();
    });
}

}  // namespace kassio
