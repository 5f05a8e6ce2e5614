// kassio-admin report ...: the reports of the back office without a screen,
// printing the lines the till's report windows show.
#pragma once

#include "admin/admin_program.h"

namespace kassio {

void addReportCommands(CLI::App& app, AdminCommands& commands);

}  // namespace kassio
