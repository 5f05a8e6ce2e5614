// kassio-admin: the headless back office on the same core as the till.
//
//   kassio-admin [--data-dir DIR] init
//   kassio-admin [--data-dir DIR] check
//   kassio-admin [--data-dir DIR] journal [YEAR [MONTH [DAY]]]
//
// Commands that change files take the DataFolder lock and refuse while the
// till runs; read-only ones work at any time, since the files are whole
// between operations.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/ui.h"

namespace kassio {

struct AdminEnvironment {
    const Clock& clock;
    Ui& ui;                      // messages (stderr in the real program)
    std::FILE* out;              // results
    std::string programPath;     // argv[0], to find the samples
    std::string localeCurrency;  // taken into kq.cfg at the first start
};

// Runs one command line (without the program name); the exit code.
int runAdmin(const std::vector<std::string>& args, AdminEnvironment& env);

}  // namespace kassio
