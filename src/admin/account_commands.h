// kassio-admin's account commands: balance payments, statements and the
// printed account documents.
//
//   kassio-admin pay CUSTOMER AMOUNT [--method cash|ch|eft] [--clerk N] [--exceed]
//   kassio-admin statement CUSTOMER [--from D/M/Y --to D/M/Y]
//   kassio-admin print statement|letter1|letter2|details CUSTOMER --pdf FILE
//   kassio-admin print mailmerge --start N --end N [--select all|owe|inactive]
//                                --text FILE --pdf FILE
//   kassio-admin print listing KIND ... --pdf FILE
#pragma once

#include <memory>
#include <string>

#include "admin/admin_program.h"

namespace kassio {

void addAccountCommands(CLI::App& app, AdminCommands& commands);

// The account documents of `kassio-admin print`. There is one print
// command (print_commands.cpp) for the documents of a transaction and these;
// it asks here which words are these, adds their options and runs them.
struct AccountPrint;
bool isAccountDocument(const std::string& word);
std::shared_ptr<AccountPrint> addAccountPrintOptions(CLI::App& print);
// `what` is the customer number, or the listing's kind for "listing".
int runAccountPrint(DataStore& store, AdminEnvironment& env, const AccountPrint& options,
                    const std::string& document, const std::string& what, const std::string& pdf);

}  // namespace kassio
