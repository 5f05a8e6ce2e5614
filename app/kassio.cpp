// kassio: the till of the main station. Wires the Qt, CUPS, termios and
// gRPC adapters to the core and runs the start-up and close-down around the
// window; no business rule lives here.
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>
#include <QSplashScreen>
#include <QTimer>
#include <QUrl>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/command_router.h"
#include "commands/customer_commands.h"
#include "commands/inventory_commands.h"
#include "device_commands.h"
#include "devices/station_devices.h"
#include "kassio_client.h"
#include "platform/grpc/grpc_station_server.h"
#include "platform/posix/serial_device_port.h"
#include "platform/posix/system_clock.h"
#include "server/server_settings.h"
#include "store/customers.h"
#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/items.h"
#include "store/start_up.h"
#include "till/till.h"
#include "till_start.h"
#include "ui/accounts/account_commands.h"
#include "ui/backoffice/qt_customer_forms.h"
#include "ui/backoffice/qt_item_forms.h"
#include "ui/devices/qt_device_ui.h"
#include "ui/devices/qt_printers.h"
#include "ui/documents/document_commands.h"
#include "ui/exchange/exchange_commands.h"
#include "ui/main_window.h"
#include "ui/qt_sound.h"
#include "ui/qt_ui.h"
#include "ui/reports/report_commands.h"
#include "ui/reports/report_windows.h"
#include "ui/splash.h"
#include "ui/till_dialogs.h"

namespace {

std::string dataDirArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--data-dir" && i + 1 < argc) return argv[i + 1];
        if (arg.rfind("--data-dir=", 0) == 0) return arg.substr(11);
    }
    return {};
}

bool hasArgument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == wanted) return true;
    return false;
}

// SIGTERM and SIGINT (a shutdown, a service stop, Ctrl+C in a terminal)
// end the event loop, so the normal close-down still writes kq.cfg and
// "Switched off." and removes the server's socket. The handler only writes a
// byte; the event loop reads it on the UI thread.
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

void quitOnTerminationSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(g_signalPipe[1], &byte, 1);
        // exit(), not quit(): quit() asks the window to close, and its
        // "leave the basket?" question would wait for a clerk who is not
        // there while the system waits to kill the process.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

constexpr const char* kUsage =
    "Usage: kassio [OPTION]...\n"
    "The till of the main station: a touch screen for selling, with the back office\n"
    "behind it. Needs a desktop of at least 1024 by 768.\n"
    "\n"
    "  --data-dir DIR          the shop's data folder (else $KASSIO_DATA_DIR,\n"
    "                          else ~/.local/share/Orvane/kassio SC)\n"
    "  --listen HOST:PORT      also serve client stations over TCP (see station-server.conf)\n"
    "  --station-key-file FILE the key TCP client stations must give\n"
    "  --station-key KEY       the same on the command line (visible to other users)\n"
    "  --no-splash             start without the two-second splash picture\n"
    "  --no-log-on             start without asking a clerk to log on\n"
    "  --no-tips               do not show the tip of the day\n"
    "  --help                  show this text and end\n"
    "  --version               show the version and end\n"
    "\n"
    "A client station (the till at a second counter, working through the main station):\n"
    "  --station ADDRESS       the main station: unix:PATH (its rpc4.sock) or HOST:PORT\n"
    "  --station-key KEY       the key of a TCP main station (or --station-key-file FILE,\n"
    "                          or $KASSIO_STATION_KEY)\n"
    "  --station-name NAME     this station's name in the journal (else the host name)\n"
    "  --tls-ca FILE           the certificate (PEM) a TLS main station is trusted by\n"
    "  --data-dir DIR          this station's own folder (else $KASSIO_STATION_DIR,\n"
    "                          else the main station's default folder + \" station\")\n";

// --help and --version answer without a desktop: they are what someone
// types in a terminal to find out what the program is.
bool answeredWithoutDesktop(int argc, char** argv, int* status) {
    if (hasArgument(argc, argv, "--help") || hasArgument(argc, argv, "-h")) {
        std::fputs(kUsage, stdout);
        *status = 0;
        return true;
    }
    if (hasArgument(argc, argv, "--version")) {
        std::printf("kassio %s\n", KASSIO_VERSION);
        *status = 0;
        return true;
    }
    // Without a desktop Qt would abort with a message about plugins; say
    // what is missing instead.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs(
            "kassio: no desktop to show the till on (neither DISPLAY nor WAYLAND_DISPLAY is "
            "set).\nStart it from a desktop session, or run the station server alone with "
            "kassio-server.\n",
            stderr);
        *status = 1;
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = 0; answeredWithoutDesktop(argc, argv, &status)) return status;
    QApplication app(argc, argv);
    // Qt takes the user's locale; the stored and printed formats ("%.2f") are
    // the C locale's whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    quitOnTerminationSignals(app);
    kassio::QtUi ui;
    // Until the window shows, a box may be on a screen nobody watches (a
    // service, a remote session): every message goes to stderr as well.
    ui.setEchoToStderr(true);
    if (kassio::wantsClientStation(argc, argv))
        return kassio::runClientStation(app, ui, argc, argv);
    const std::string folder = kassio::resolveDataFolder(dataDirArgument(argc, argv));

    // One till per DataFolder: a second start says so and ends. A folder
    // that cannot hold the lock (read-only, another user's) says why.
    int status = 0;
    auto lock = kassio::lockTillFolder(
        folder, "The till is already running on the data folder " + folder, &status);
    if (!lock) return status;
    const std::optional<QRect> screen = kassio::tillScreen(ui);
    if (!screen) return 1;

    kassio::SystemClock clock;
    kassio::DataStore store(folder, clock);
    // Postings are answered once journalled; the files follow on the
    // journal's own threads.
    static_cast<void>(store.files().setApplyBehind(true));
    if (!kassio::startDataStore(store, kassio::findSamplesFolder(argv[0]),
                                kassio::localeCurrencySymbol(), ui))
        return 1;  // a refused start is no success for a script or service manager

    // The devices and the till engine behind the window.
    kassio::QtPrinters printers;
    kassio::QtDeviceUi deviceUi;
    kassio::SerialDevicePort ports(folder);
    kassio::StationDevices devices(store, ui, deviceUi, printers, ports);
    kassio::QtTillPanels panels(nullptr);
    kassio::QtSound sound;
    kassio::Till till(store, ui, panels, sound, devices);
    kassio::CommandRouter router(till);
    kassio::MainWindow window(store, till, router);
    ui.setParent(&window);
    panels.setParent(&window);
    deviceUi.setParent(&window);
    printers.setParent(&window);
    kassio::registerDeviceCommands(router, store, ui, devices, printers, &window);
    kassio::registerReportCommands(router, store, ui, till, printers, &window);
    kassio::registerSummaryMailCommand(
        router, store, ui,
        [&] { return kassio::pickDay(&window, kassio::dayOf(store.clock().now())); },
        [](const std::string& link) {
            return QDesktopServices::openUrl(QUrl(QString::fromStdString(link)));
        });
    kassio::registerDocumentCommands(router, store, till, devices, printers, &window);

    // The back office: items, bundles, stock received, customers, suppliers.
    kassio::QtItemForms itemForms(store.config(), &window);
    itemForms.setPrinters(&printers);
    kassio::QtCustomerForms customerForms(&window);
    kassio::QtSupplierForms supplierForms(&window);
    kassio::QtShell shell;
    kassio::InventoryMaintenance inventory(store, ui, itemForms, sound,
                                           [&till] { return till.clerks().clerk(); });
    kassio::SupplierMaintenance suppliers(store, ui, supplierForms);
    kassio::CustomerMaintenance customers(store, ui, customerForms, sound, shell);
    kassio::registerInventoryCommands(router, till, inventory);
    kassio::registerSupplierCommands(router, suppliers);
    kassio::registerCustomerCommands(router, customers);
    till.setCustomerLookUp([&](const std::string& entry) {
        return kassio::lookUpCustomer(store, ui, customerForms, entry);
    });
    // A new picture shows on the quick-select buttons at once: the page is
    // collected again before the window redraws it.
    inventory.setPicturesChanged([&till, &window] {
        till.quickSelect().fill();
        window.refresh();
    });
    kassio::AccountHooks accountHooks;
    accountHooks.lookUpCustomer = [&](const std::string& entry) {
        return kassio::lookUpCustomer(store, ui, customerForms, entry);
    };
    accountHooks.showItem = [&](int64_t number) {
        if (auto item = kassio::readItem(store, number)) inventory.showItem(*item);
    };
    accountHooks.showCustomer = [&](int64_t number) {
        if (auto c = kassio::readCustomer(store, number)) customers.showCustomer(*c);
    };
    accountHooks.clerk = [&till] { return till.clerks().clerk(); };
    accountHooks.refreshTill = [&window] { window.refresh(); };
    kassio::registerAccountCommands(router, store, ui, printers, &window, accountHooks);
    window.commandsChanged();

    // The station server: client stations reach this DataStore from now on.
    // A message a posting leaves for this station is shown on the UI
    // thread, after the call has let go of the DataMutex.
    kassio::ServerSettings serverSettings;
    if (kassio::Status s = kassio::loadServerSettings(folder, serverSettings); !s)
        std::fprintf(stderr, "kassio: %s\n", s.message().c_str());
    if (kassio::Status s = kassio::applyServerArguments(
            serverSettings, std::vector<std::string>(argv + 1, argv + argc));
        !s) {
        std::fprintf(stderr, "kassio: %s\n", s.message().c_str());
        if (s.title() != "Warning") {
            ui.error(s.message(), s.title());
            return 1;
        }
    }
    kassio::Status serverError, serverWarning;
    auto server = kassio::GrpcStationServer::start(
        store, serverSettings,
        [&app, &ui](const kassio::Status& notice) {
            QMetaObject::invokeMethod(
                &app, [&ui, notice] { ui.error(notice.message(), notice.title()); },
                Qt::QueuedConnection);
        },
        &serverError, &serverWarning);
    if (!server) {
        ui.error(serverError.message(), serverError.title());
        return 1;
    }
    if (!serverWarning) std::fprintf(stderr, "kassio: %s\n", serverWarning.message().c_str());

    // A checkpoint once postings have stopped for a second: the data files
    // are flushed and the posting journal emptied while nobody waits.
    // A failure is shown once; every posting after it says so anyway.
    QTimer idle;
    bool idleFailed = false;
    QObject::connect(&idle, &QTimer::timeout, [&store, &ui, &idleFailed] {
        kassio::Status s = store.idle();
        if (!s && !idleFailed) ui.error(s.message(), s.title());
        idleFailed = idleFailed || !s;
    });
    idle.start(1000);

    // The till fills the screen: at 1024 x 768 that is the documented
    // window, and larger screens get more picture buttons.
    window.setGeometry(*screen);

    // The splash shows for two seconds; then the window and the log-on.
    const bool noSplash = hasArgument(argc, argv, "--no-splash");
    QSplashScreen splash(kassio::splashPicture());
    if (!noSplash) splash.show();
    QTimer::singleShot(noSplash ? 0 : 2000, &window, [&] {
        splash.close();
        window.show();
        ui.setEchoToStderr(false);
        if (!hasArgument(argc, argv, "--no-log-on")) window.logOn();
        if (window.tipsAtStart() && !hasArgument(argc, argv, "--no-tips")) window.showTipOfTheDay();
    });
    app.exec();

    idle.stop();
    server->stop();  // every client call has finished before the close-down writes
    if (window.skipCloseDown()) {
        if (kassio::Status s = store.close(); !s) ui.error(s.message(), s.title());
    } else {
        kassio::closeDataStore(store, ui);
    }
    return 0;
}
