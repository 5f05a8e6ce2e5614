// kassio-admin's exchange commands: export, import, import-sibling, backup,
// restore and upload. Each takes the DataFolder lock, so it refuses while
// the till runs on the folder.
//
//   kassio-admin export items|customers --format text|html|xml
//                [--from N] [--to N] [--category C] [--fields 1,2,...] [--entire] FILE
//   kassio-admin import items|customers FILE --map 1,2,3,... [--merge]
//   kassio-admin import-sibling FILE
//   kassio-admin backup core|folder DIR [--replace]
//   kassio-admin restore inventory FILE | core DIR | folder DIR
//   kassio-admin upload [--port N] [FILE ...]
#pragma once

#include "admin/admin_program.h"

namespace kassio {

void addExchangeCommands(CLI::App& app, AdminCommands& commands);

}  // namespace kassio
