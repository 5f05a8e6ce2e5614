// The printed account documents: the statement, the customer period
// activity, debtor letters 1 and 2, the customer details and the
// mail-merge letters. Each is drawn on a PrintJob (a printer, or a PDF
// file) as document "KASSIO", once per copy the print window asked for.
//
// Never call these with the DataMutex held: the caller reads what it needs
// first and the drawing waits for the printer.
#pragma once

#include <string>
#include <vector>

#include "accounts/account_history.h"
#include "base/status.h"
#include "platform/clock.h"
#include "platform/printers.h"
#include "store/customer_record.h"
#include "store/store_config.h"

namespace kassio {

// What every account document takes from the shop: the heading lines, the
// letterhead picture, the listing font and margin, the terms texts.
struct LetterSetup {
    std::string heading[6];  // store heading lines 1..6
    std::string letterhead;  // path of letter.bmp in the DataFolder
    int fontPoints = 0;      // 0: the printer's own font
    int indent = 0;          // left margin, character widths
    std::string termsText;   // "Nett, 30 days" for the customer in question
    LocalTime now;
};
// The setup read from the configuration, under the DataMutex.
LetterSetup letterSetup(DataStore& store, const CustomerRecord* customer);

// "Nett" ... "50% disc", then ", 10 days" ... ", 180 days" for the
// customer's terms band (no period for a band of "No credit").
std::string statementTermsText(const StoreConfig& config, int band);

enum class DebtorLetter { kReminder = 1, kFinalNotice = 2 };

// Letters need something owing: "No amount is outstanding" otherwise.
Status debtorLetterAllowed(const CustomerRecord& customer);

Status printStatement(PrintJob& job, const LetterSetup& setup, const CustomerRecord& customer,
                      const Statement& statement);
Status printPeriodActivity(PrintJob& job, const LetterSetup& setup, const Statement& activity);
Status printDebtorLetter(PrintJob& job, const LetterSetup& setup, const CustomerRecord& customer,
                         DebtorLetter kind);
Status printCustomerDetails(PrintJob& job, const LetterSetup& setup,
                            const CustomerRecord& customer);
// One page per customer.
Status printMailmerge(PrintJob& job, const LetterSetup& setup,
                      const std::vector<CustomerRecord>& customers, const std::string& letterText);

}  // namespace kassio
