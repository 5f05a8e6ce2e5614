// kassio-admin: wires the console adapters to the headless back office.
#include <string>
#include <vector>

#include "admin/admin_program.h"
#include "platform/posix/console_ui.h"
#include "platform/posix/system_clock.h"
#include "store/data_folder.h"

int main(int argc, char** argv) {
    kassio::SystemClock clock;
    kassio::ConsoleUi ui;
    kassio::AdminEnvironment env{clock, ui, stdout, argv[0], kassio::localeCurrencySymbol()};
    return kassio::runAdmin(std::vector<std::string>(argv + 1, argv + argc), env);
}
