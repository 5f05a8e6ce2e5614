// kassio-admin: the headless back office on the same core as the till.
//
//   kassio-admin [--data-dir DIR] init
//   kassio-admin [--data-dir DIR] check     (reports a pending posting journal)
//   kassio-admin [--data-dir DIR] repair    (repair_commands.h)
//   kassio-admin [--data-dir DIR] recover   (applies it)
//   kassio-admin [--data-dir DIR] journal [YEAR [MONTH [DAY]]]
//
// Commands that change files take the DataFolder lock and refuse while the
// till runs; read-only ones work at any time, since the files are whole
// between operations.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/ftp.h"
#include "platform/printers.h"
#include "platform/ui.h"

namespace CLI {
class App;
}

namespace kassio {

class DataStore;

struct AdminEnvironment {
    const Clock& clock;
    Ui& ui;                      // messages (stderr in the real program)
    std::FILE* out;              // results
    std::string programPath;     // argv[0], to find the samples
    std::string localeCurrency;  // taken into kq.cfg at the first start
    // The printers for commands that write PDF files, made on first use (the
    // program starts Qt only then). Empty where no printing is linked in:
    // such a command then says so and fails.
    std::function<Printers*()> printers = {};
    // The FTP client for `upload`; empty where none is linked in.
    std::function<Ftp*()> ftp = {};
};

// One subcommand of kassio-admin and what runs when it is given. Each group
// of commands lives in a file of its own and adds itself with an
// add...Commands(app, commands) function called from runAdmin(); the
// DataStore it gets is on the chosen folder and not yet opened.
struct AdminCommand {
    CLI::App* command;
    std::function<int(DataStore&, AdminEnvironment&)> run;
};
using AdminCommands = std::vector<AdminCommand>;

// Runs one command line (without the program name); the exit code.
int runAdmin(const std::vector<std::string>& args, AdminEnvironment& env);

}  // namespace kassio
