// kassio-admin print and labels: every printed document of a transaction,
// and barcode labels, as PDF files through the same drawing code as the
// till (the Printers of AdminEnvironment).
//
//   kassio-admin print receipt|custom-receipt|invoice|invoice2|custom-invoice|delivery|quotation
//                TRANSACTION --pdf FILE
//   kassio-admin print listing|statement|letter1|letter2|details|mailmerge ... --pdf FILE
//                (the account documents, run by account_commands.cpp: a command
//                line has one "print" command)
//   kassio-admin labels [--source ...] [--format ...] [--symbol ...] [--start N] [--finish N]
//                ... --pdf FILE
#pragma once

#include "admin/admin_program.h"

namespace kassio {

void addPrintCommands(CLI::App& app, AdminCommands& commands);

}  // namespace kassio
