// A client station: the main station's till screen at a second counter.
// Items, customers, pictures and postings come from the main station's
// station server; this machine keeps only its own folder (the
// configuration as last fetched with its own device settings, the items it
// has looked up, and the sales it could not post yet). No business rule
// lives here: the till is the core's, its data StationTillData.
#include "kassio_client.h"

#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/fixed_text.h"
#include "commands/command_router.h"
#include "commands/customer_commands.h"
#include "device_commands.h"
#include "devices/station_devices.h"
#include "platform/grpc/grpc_station_transport.h"
#include "platform/posix/serial_device_port.h"
#include "platform/posix/system_clock.h"
#include "server/client_customers.h"
#include "server/server_settings.h"
#include "server/station_client.h"
#include "server/station_till_data.h"
#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "till/till.h"
#include "till_start.h"
#include "ui/backoffice/qt_customer_forms.h"
#include "ui/devices/qt_device_ui.h"
#include "ui/devices/qt_printers.h"
#include "ui/main_window.h"
#include "ui/qt_sound.h"
#include "ui/till_dialogs.h"

namespace kassio {

namespace {

struct ClientArguments {
    std::string endpoint;
    std::string key;
    std::string keyFile;
    std::string folder;
    std::string name;
    std::string tlsAuthority;  // PEM file of the certificate a TLS main station is trusted by
    bool noLogOn = false;
};

// "--name value" or "--name=value".
bool takeValue(int argc, char** argv, int& i, const char* name, std::string* out) {
    const std::string arg = argv[i];
    const std::string prefix = std::string(name) + "=";
    if (arg == name && i + 1 < argc) {
        *out = argv[++i];
        return true;
    }
    if (arg.rfind(prefix, 0) == 0) {
        *out = arg.substr(prefix.size());
        return true;
    }
    return false;
}

ClientArguments parse(int argc, char** argv) {
    ClientArguments a;
    for (int i = 1; i < argc; ++i) {
        if (takeValue(argc, argv, i, "--station", &a.endpoint)) continue;
        if (takeValue(argc, argv, i, "--station-key", &a.key)) continue;
        if (takeValue(argc, argv, i, "--station-key-file", &a.keyFile)) continue;
        if (takeValue(argc, argv, i, "--data-dir", &a.folder)) continue;
        if (takeValue(argc, argv, i, "--station-name", &a.name)) continue;
        if (takeValue(argc, argv, i, "--tls-ca", &a.tlsAuthority)) continue;
        if (std::strcmp(argv[i], "--no-log-on") == 0) a.noLogOn = true;
    }
    return a;
}

std::string defaultFolder() {
    if (const char* dir = std::getenv("KASSIO_STATION_DIR"); dir && *dir) return dir;
    // Beside the main station's default folder, never inside it.
    return resolveDataFolder(std::string()) + " station";
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return "STATION";
    return name;
}

}  // namespace

bool wantsClientStation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--station") == 0 || std::strncmp(argv[i], "--station=", 10) == 0)
            return true;
    return false;
}

int runClientStation(QApplication& app, QtUi& ui, int argc, char** argv) {
    ClientArguments args = parse(argc, argv);
    if (args.endpoint.empty()) {
        ui.error("--station needs the main station's address (unix:PATH or HOST:PORT)",
                 kTitleProblem);
        return 1;
    }
    if (args.key.empty() && !args.keyFile.empty()) {
        if (Status s = readStationKeyFile(args.keyFile, args.key); !s) {
            ui.error(s.message(), kTitleProblem);
            return 1;
        }
    }
    if (args.key.empty())
        if (const char* key = std::getenv(kStationKeyVariable)) args.key = key;
    const std::string folder = args.folder.empty() ? defaultFolder() : args.folder;
    const std::string name = args.name.empty() ? hostName() : args.name;

    int status = 0;
    auto lock =
        lockTillFolder(folder, "The till is already running on the folder " + folder, &status);
    if (!lock) return status;
    const std::optional<QRect> screen = tillScreen(ui);
    if (!screen) return 1;

    SystemClock clock;
    DataStore store(folder, clock);
    if (Status s = store.recover(); !s) {
        ui.error(s.message(), s.title());
        return 1;
    }
    std::string authority;
    if (!args.tlsAuthority.empty()) {
        auto pem = readWholeFile(args.tlsAuthority);
        if (!pem || pem->empty()) {
            ui.error("Unable to read the certificate " + args.tlsAuthority, kTitleProblem);
            return 1;
        }
        authority.assign(pem->begin(), pem->end());
    }
    // A lost line shows within a few seconds, not after gRPC's half minute.
    GrpcStationTransport transport(args.endpoint, args.key, std::chrono::seconds(5), authority);
    StationClient client(transport);
    const ClientSettingsStart settings = takeMainStationSettings(store, client);
    for (const Status& s : settings.saveFailures) ui.error(s.message(), s.title());
    if (!settings.reached) {
        if (!settings.hadCopy) {
            ui.error("The main station cannot be reached at " + args.endpoint +
                         ", and this station has not yet had its configuration from it: " +
                         settings.reached.message(),
                     kTitleProblem);
            return 1;
        }
        std::fprintf(stderr, "kassio: working offline from the last configuration: %s\n",
                     settings.reached.message().c_str());
    }

    StationTillData data(client, store, name);
    if (Status s = data.open(); !s) {
        ui.error(s.message(), s.title());
        return 1;
    }
    QtPrinters printers;
    QtDeviceUi deviceUi;
    SerialDevicePort ports(folder);
    StationDevices devices(store, ui, deviceUi, printers, ports);
    QtTillPanels panels(nullptr);
    QtSound sound;
    Till till(store, data, ui, panels, sound, devices);
    CommandRouter router(till);
    MainWindow window(store, till, router, nullptr, MainWindow::Station::kClient);
    ui.setParent(&window);
    panels.setParent(&window);
    deviceUi.setParent(&window);
    printers.setParent(&window);
    registerDeviceCommands(router, store, ui, devices, printers, &window);
    // A new customer, or a change of one, is made at the counter through the
    // main station; every other customer command runs there.
    QtCustomerForms customerForms(&window);
    ClientCustomers customers(client, data, store, ui, customerForms);
    router.set(command::kAddCustomer, [&customers] { customers.add(); });
    router.set(customer_command::kAmendCustomer, [&customers] { customers.amend(); });
    window.commandsChanged();

    // The state line, and the kept sales sent as soon as the main station
    // answers again. Refusals are shown once each and stay on disk.
    auto showState = [&] {
        QString text;
        if (data.offline())
            text = QString("OFFLINE: the main station does not answer");
        else
            text = QString("Main station: %1").arg(QString::fromStdString(args.endpoint));
        if (data.waiting() > 0) text += QString(" - %1 sale(s) waiting").arg(data.waiting());
        if (data.refused() > 0) text += QString(" - %1 refused, kept").arg(data.refused());
        window.showStationState(text, data.offline() || data.waiting() > 0 || data.refused() > 0);
    };
    data.setChanged([&] { QMetaObject::invokeMethod(&window, showState, Qt::QueuedConnection); });
    QTimer send;
    QObject::connect(&send, &QTimer::timeout, [&] {
        // Only between sales: a panel or a message box open means the clerk
        // is in the middle of one.
        if (till.tenderState() != TenderState::kNone || QApplication::activeModalWidget()) return;
        if (data.waiting() == 0 && !data.offline()) return;
        if (data.waiting() == 0) {
            static_cast<void>(data.itemsAfter(0, kAllCategories, 1));  // is it back?
            if (!data.offline()) {
                till.quickSelect().fill();
                window.refresh();
            }
            return;
        }
        for (const Status& s : data.sendQueue()) ui.error(s.message(), s.title());
    });
    send.start(3000);

    QTimer::singleShot(0, &window, [&] {
        window.setGeometry(*screen);
        window.show();
        showState();
        ui.setEchoToStderr(false);
        if (data.waiting() > 0)
            for (const Status& s : data.sendQueue()) ui.error(s.message(), s.title());
        if (!args.noLogOn) window.logOn();
    });
    app.exec();
    send.stop();
    if (Status s = store.close(); !s) std::fprintf(stderr, "kassio: %s\n", s.message().c_str());
    return 0;
}

}  // namespace kassio
