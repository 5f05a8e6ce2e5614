// Random keys and clicks on the real till over the sample shop: the panels,
// the keypad, the entry box, the menus and whatever modal box opens. Seeded
// and logged so that a failure replays exactly:
//
//   kassio_till_monkey [--seed N] [--steps N] [--seconds S] [--log FILE] [--keep DIR]
//
// KASSIO_MONKEY_SEED replaces --seed. At the end the DataFolder is closed
// and `kassio-admin check` must pass on it; the exit code says whether it did.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "commands/command_router.h"
#include "commands/customer_commands.h"
#include "commands/menu_table.h"
#include "platform/grpc/grpc_station_server.h"
#include "platform/grpc/grpc_station_transport.h"
#include "server/client_customers.h"
#include "server/station_till_data.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/start_up.h"
#include "support/fixed_clock.h"
#include "support/qt_settings.h"
#include "support/temp_folder.h"
#include "support/till_fakes.h"
#include "till/till.h"
#include "ui/backoffice/qt_customer_forms.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"
#include "ui/till_dialogs.h"

namespace kassio {
namespace {

struct Options {
    uint64_t seed = 0;
    long steps = 20000;
    double seconds = 0;  // 0: no limit
    std::string log;
    std::string keep;
    // The window of a client station, on a station server of this folder
    // in the same process: every 500 steps the server stops or starts
    // again, so the keys also fall on a till that sells offline.
    bool clientStation = false;
};

Options parse(int argc, char** argv) {
    Options o;
    o.seed = std::random_device{}();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--seed") o.seed = std::strtoull(argv[i + 1], nullptr, 10);
        if (a == "--steps") o.steps = std::strtol(argv[i + 1], nullptr, 10);
        if (a == "--seconds") o.seconds = std::strtod(argv[i + 1], nullptr);
        if (a == "--log") o.log = argv[i + 1];
        if (a == "--keep") o.keep = argv[i + 1];
        if (a == "--station") o.clientStation = std::string(argv[i + 1]) == "client";
    }
    if (const char* s = std::getenv("KASSIO_MONKEY_SEED")) o.seed = std::strtoull(s, nullptr, 10);
    return o;
}

// Commands that would leave the run: the window's own exits, the help
// browser, and the printed exits.
bool leavesTheRun(int command) {
    return command == command::kExit ||
           (command >= command::kExitPrintReport && command <= command::kExitPrintBoth) ||
           command == command::kHelpContents;
}

class Monkey {
  public:
    Monkey(MainWindow& window, const Options& o) : m_window(window), m_options(o), m_rng(o.seed) {
        if (!o.log.empty()) m_log.open(o.log);
        for (const MenuItem& item : menuTable())
            if (item.text && !leavesTheRun(item.command)) m_menu.push_back(item.command);
        m_start = std::chrono::steady_clock::now();
    }

    bool done() const {
        return m_steps >= m_options.steps ||
               (m_options.seconds > 0 && elapsed() > m_options.seconds);
    }

    // One random key, click or menu command.
    void step() {
        ++m_steps;
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* target = modal ? modal : QApplication::activePopupWidget();
        const int roll = pick(100);
        if (target) {
            // A modal box: mostly type or click in it, now and then leave it.
            if (roll < 15)
                key(target, Qt::Key_Escape, "esc");
            else if (roll < 55)
                clickIn(target);
            else
                typeIn(target);
            return;
        }
        if (roll < 40)
            clickIn(&m_window, m_window.openPanel());
        else if (roll < 75)
            typeIn(nullptr);
        else if (roll < 80)
            menu();
        else
            clickIn(m_window.openPanel() ? static_cast<QWidget*>(m_window.openPanel())
                                         : static_cast<QWidget*>(&m_window));
    }

    long steps() const { return m_steps; }
    long keys() const { return m_keys; }
    long clicks() const { return m_clicks; }
    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

  private:
    int pick(int n) { return static_cast<int>(m_rng() % static_cast<uint64_t>(n)); }

    void note(const std::string& what) {
        if (m_log.is_open()) m_log << m_steps << ' ' << what << std::endl;
    }

    void key(QWidget* w, Qt::Key k, const char* name, Qt::KeyboardModifiers m = Qt::NoModifier) {
        // A box's own focus, else the box itself (a popup menu has none);
        // without a box, wherever the focus is.
        QWidget* to = w ? (w->focusWidget() ? w->focusWidget() : w) : QApplication::focusWidget();
        if (!to) to = m_window.entryBox();
        note(std::string("key ") + name);
        ++m_keys;
        QTest::keyClick(to, k, m);
    }

    void typeIn(QWidget* w) {
        static const std::pair<Qt::Key, const char*> kKeys[] = {
            {Qt::Key_0, "0"},          {Qt::Key_1, "1"},
            {Qt::Key_2, "2"},          {Qt::Key_3, "3"},
            {Qt::Key_5, "5"},          {Qt::Key_9, "9"},
            {Qt::Key_Return, "enter"}, {Qt::Key_Return, "enter"},
            {Qt::Key_Escape, "esc"},   {Qt::Key_Backspace, "backspace"},
            {Qt::Key_Asterisk, "*"},   {Qt::Key_A, "a"},
            {Qt::Key_F5, "F5"},        {Qt::Key_F7, "F7"},
            {Qt::Key_F8, "F8"},        {Qt::Key_F9, "F9"},
            {Qt::Key_Up, "up"},        {Qt::Key_Down, "down"},
            {Qt::Key_Left, "left"},    {Qt::Key_Right, "right"},
            {Qt::Key_Tab, "tab"},
        };
        const auto& [k, name] = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        if (!w && pick(10) == 0) {
            // Control shortcuts of the entry box, now and then.
            const char letter = "AWKXCP"[pick(6)];
            key(nullptr, static_cast<Qt::Key>(Qt::Key_A + (letter - 'A')),
                (std::string("ctrl+") + letter).c_str(), Qt::ControlModifier);
            return;
        }
        key(w, k, name);
    }

    void clickIn(QWidget* top, QWidget* also = nullptr) {
        std::vector<QAbstractButton*> buttons;
        for (QWidget* w : {top, also}) {
            if (!w) continue;
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
                if (b->isVisible() && b->isEnabled()) buttons.push_back(b);
        }
        if (buttons.empty()) return;
        QAbstractButton* b =
            buttons[static_cast<std::size_t>(pick(static_cast<int>(buttons.size())))];
        note("click " + b->objectName().toStdString() + " '" + b->text().toStdString() + "'");
        ++m_clicks;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    void menu() {
        const int command = m_menu[static_cast<std::size_t>(pick(static_cast<int>(m_menu.size())))];
        QAction* a = m_window.menuAction(command);
        if (!a) return;
        if (auto* m = qobject_cast<QMenu*>(a->parent())) emit m->aboutToShow();
        if (!a->isEnabled()) return;
        note("menu " + std::to_string(command));
        ++m_clicks;
        a->trigger();
    }

    MainWindow& m_window;
    const Options& m_options;
    std::mt19937_64 m_rng;
    std::ofstream m_log;
    std::vector<int> m_menu;
    long m_steps = 0, m_keys = 0, m_clicks = 0;
    std::chrono::steady_clock::time_point m_start;
};

// Ends every popup and modal box still open, innermost first, so nested
// loops unwind.
void leaveModals() {
    for (int n = 0; n < 100; ++n) {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            continue;
        }
        QWidget* m = QApplication::activeModalWidget();
        if (!m) return;
        if (auto* d = qobject_cast<QDialog*>(m))
            d->done(QDialog::Rejected);
        else
            m->hide();
    }
}

int run(int argc, char** argv) {
    // The file choosers the random clicks open keep their history there.
    const auto settings = test::privateQtSettings();
    QApplication app(argc, argv);
    const Options o = parse(argc, argv);
    std::fprintf(stderr, "kassio_till_monkey: seed %llu (replay: --seed %llu --steps %ld)\n",
                 static_cast<unsigned long long>(o.seed), static_cast<unsigned long long>(o.seed),
                 o.steps);

    test::TempFolder temp;
    const std::string folder = o.keep.empty() ? temp.path() : o.keep;
    makeDirectories(folder);
    // A chooser opened by the random clicks starts in the current folder,
    // and its "Create New Folder" button made "New Folder"s in the
    // checkout: the run works from a scratch folder instead.
    const std::string scratch = temp.path() + "/scratch";
    if (!makeDirectories(scratch) || ::chdir(scratch.c_str()) != 0) return 2;
    test::FixedClock clock{{2026, 12, 6, 14, 30, 0}};
    QtUi ui;
    DataStore store(folder, clock);
    store.setSync(false);
    static_cast<void>(store.files().setApplyBehind(true));  // as the till runs
    if (!startDataStore(store, KASSIO_TEST_SAMPLES_DIR, "$", ui)) return 2;
    QtTillPanels panels(nullptr);
    test::RecordingSound sound;
    test::RecordingDevices devices;
    // A client station: the main station's server on this folder, and the
    // till on a folder of its own reaching it through gRPC.
    std::unique_ptr<GrpcStationServer> server;
    std::unique_ptr<DataStore> clientStore;
    std::unique_ptr<GrpcStationTransport> transport;
    std::unique_ptr<StationClient> stationClient;
    std::unique_ptr<StationTillData> stationData;
    auto startServer = [&] {
        Status error;
        server = GrpcStationServer::start(store, {}, {}, &error);
        if (!server) std::fprintf(stderr, "kassio_till_monkey: %s\n", error.message().c_str());
        return server != nullptr;
    };
    if (o.clientStation) {
        if (!startServer()) return 2;
        const std::string clientFolder = temp.path() + "/client";
        makeDirectories(clientFolder);
        clientStore = std::make_unique<DataStore>(clientFolder, clock);
        clientStore->setSync(false);
        if (!clientStore->recover()) return 2;
        transport = std::make_unique<GrpcStationTransport>(server->socketEndpoint(), "",
                                                           std::chrono::seconds(5));
        stationClient = std::make_unique<StationClient>(*transport);
        if (!takeMainStationSettings(*clientStore, *stationClient).reached) return 2;
        stationData = std::make_unique<StationTillData>(*stationClient, *clientStore, "MONKEY");
        if (!stationData->open()) return 2;
    }
    DataStore& tillStore = o.clientStation ? *clientStore : store;
    {
        auto till = o.clientStation ? std::make_unique<Till>(tillStore, *stationData, ui, panels,
                                                             sound, devices)
                                    : std::make_unique<Till>(store, ui, panels, sound, devices);
        CommandRouter router(*till);
        MainWindow window(
            tillStore, *till, router, nullptr,
            o.clientStation ? MainWindow::Station::kClient : MainWindow::Station::kMain);
        QtCustomerForms customerForms(&window);
        std::unique_ptr<ClientCustomers> customers;
        if (o.clientStation) {
            customers = std::make_unique<ClientCustomers>(*stationClient, *stationData, tillStore,
                                                          ui, customerForms);
            router.set(command::kAddCustomer, [&] { customers->add(); });
            router.set(customer_command::kAmendCustomer, [&] { customers->amend(); });
            window.commandsChanged();
        }
        ui.setParent(&window);
        panels.setParent(&window);
        // Leaving the run is not part of it; the exit's question is.
        router.set(command::kExit, [&router] { router.confirmExit(); });
        router.set(command::kHelpContents, [] {});
        window.resize(1024, 746);
        window.show();
        if (!till->logOn(1, "")) return 2;

        Monkey monkey(window, o);
        // Once the run is over, every box still open (and any box a closed
        // one leads to, such as a panel offered again after a refusal) is
        // ended until the main loop has returned.
        QTimer closer;
        closer.setInterval(5);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            leaveModals();
            // exit(), not quit(): quit() closes the window, whose exit
            // question would wait for an answer nobody gives.
            QCoreApplication::exit(0);
        });
        // Each step runs from a timer of its own, scheduled before the step
        // acts: a step that opens a modal box waits inside it while the next
        // steps run in the box's own event loop.
        std::function<void()> next = [&] {
            if (monkey.done()) {
                closer.start();
                return;
            }
            QTimer::singleShot(0, next);
            monkey.step();
            if (o.clientStation && monkey.steps() % 500 == 0) {
                if (server) {
                    server->stop();
                    server.reset();
                    std::fprintf(stderr, "kassio_till_monkey: step %ld: server stopped\n",
                                 monkey.steps());
                } else if (startServer()) {
                    const std::size_t kept = stationData->waiting();
                    static_cast<void>(stationData->sendQueue());
                    std::fprintf(stderr, "kassio_till_monkey: step %ld: %zu kept, %zu sent\n",
                                 monkey.steps(), kept, kept - stationData->waiting());
                }
            }
        };
        QTimer::singleShot(0, next);
        app.exec();
        closer.stop();
        leaveModals();
        std::fprintf(stderr,
                     "kassio_till_monkey: seed %llu, %ld steps (%ld keys, %ld clicks) in %.1f s\n",
                     static_cast<unsigned long long>(o.seed), monkey.steps(), monkey.keys(),
                     monkey.clicks(), monkey.elapsed());
        ui.setParent(nullptr);
        panels.setParent(nullptr);
    }
    if (o.clientStation) {
        // What the client kept while the server was away goes now, so the
        // check below sees every sale the till said was done.
        if (!server && !startServer()) return 2;
        const std::size_t kept = stationData->waiting();
        for (int i = 0; i < 100 && stationData->waiting() > 0; ++i) {
            static_cast<void>(stationData->sendQueue());
            if (stationData->waiting() > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::fprintf(stderr,
                     "kassio_till_monkey: client station: %zu kept at the end, %zu of them not "
                     "sent, %zu refused\n",
                     kept, stationData->waiting(), stationData->refused());
        server->stop();
        static_cast<void>(clientStore->close());
        if (stationData->waiting() > 0) return 1;
    }
    closeDataStore(store, ui);
    const std::string check =
        std::string(KASSIO_ADMIN_PROGRAM) + " --data-dir '" + folder + "' check";
    const int status = std::system(check.c_str());
    if (status != 0) {
        std::fprintf(stderr, "kassio_till_monkey: kassio-admin check failed on %s\n",
                     folder.c_str());
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace kassio

int main(int argc, char** argv) {
    return kassio::run(argc, argv);
}
