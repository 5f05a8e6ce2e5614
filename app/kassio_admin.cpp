// kassio-admin: wires the console adapters to the headless back office.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "admin/admin_program.h"
#include "platform/curl/curl_ftp.h"
#include "platform/posix/console_ui.h"
#include "platform/posix/system_clock.h"
#include "store/data_folder.h"

#ifdef KASSIO_ADMIN_PRINTING
#include <QApplication>
#include <clocale>

#include "ui/devices/qt_printers.h"
#endif

int main(int argc, char** argv) {
    kassio::SystemClock clock;
    kassio::ConsoleUi ui;
    kassio::AdminEnvironment env{clock, ui, stdout, argv[0], kassio::localeCurrencySymbol(), {}};
#ifdef KASSIO_ADMIN_PRINTING
    // Qt only for the commands that print: PDF files need no screen, so
    // without one Qt draws offscreen.
    std::unique_ptr<QApplication> qt;
    std::unique_ptr<kassio::QtPrinters> printers;
    env.printers = [&]() -> kassio::Printers* {
        if (!printers) {
            if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
                setenv("QT_QPA_PLATFORM", "offscreen", 0);
            qt = std::make_unique<QApplication>(argc, argv);
            // Qt takes the user's locale; "%.2f" stays the C locale's.
            std::setlocale(LC_NUMERIC, "C");
            printers = std::make_unique<kassio::QtPrinters>();
        }
        return printers.get();
    };
#endif
    kassio::CurlFtp ftp;
    env.ftp = [&ftp]() -> kassio::Ftp* { return &ftp; };
    return kassio::runAdmin(std::vector<std::string>(argv + 1, argv + argc), env);
}
