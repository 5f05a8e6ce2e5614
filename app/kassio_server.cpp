// kassio-server: the station server without the till window. Recovers and
// opens the DataFolder, serves client stations on the folder's unix socket
// (and on TCP with --listen and a station key) until SIGTERM or SIGINT,
// checkpointing whenever the stations have been quiet for a second, then
// lets the calls in progress finish and closes the data cleanly.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/grpc/grpc_station_server.h"
#include "platform/posix/console_ui.h"
#include "platform/posix/system_clock.h"
#include "server/server_settings.h"
#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/start_up.h"

int main(int argc, char** argv) {
    CLI::App app{"kassio-server: the station server of a DataFolder, without the till window",
                 "kassio-server"};
    std::string dataDir;
    app.add_option("--data-dir", dataDir,
                   "the DataFolder (else $KASSIO_DATA_DIR, else the default)");
    std::string listen, key, keyFile, tlsCertificate, tlsKey;
    app.add_option("--listen", listen, "also serve on TCP at HOST:PORT (needs a station key)");
    auto* keyFileOption = app.add_option("--station-key-file", keyFile,
                                         "read the key TCP callers must send from FILE");
    app.add_option("--station-key", key,
                   "the key TCP callers must send (visible to other users: prefer a file or "
                   "$KASSIO_STATION_KEY)")
        ->excludes(keyFileOption);
    app.add_option("--tls-certificate", tlsCertificate,
                   "the TCP port speaks TLS with this certificate (PEM)");
    app.add_option("--tls-key", tlsKey, "the certificate's private key (PEM)");
    app.set_version_flag("--version", std::string("kassio-server ") + KASSIO_VERSION);
    CLI11_PARSE(app, argc, argv);

    // The signals are taken by sigtimedwait below, on this thread only: the
    // server's threads are started with them blocked.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    kassio::ConsoleUi ui;
    kassio::SystemClock clock;
    const std::string folder = kassio::resolveDataFolder(dataDir);
    if (!kassio::makeDirectories(folder)) {
        ui.error("Unable to create data directory", kassio::kTitleFatal);
        return 1;
    }
    auto lock = kassio::FolderLock::tryAcquire(folder);
    if (!lock) {
        ui.error("The till is running on this data folder. Close it first.", kassio::kTitleProblem);
        return 1;
    }
    kassio::DataStore store(folder, clock);
    // Postings are answered once journalled; the files follow on the
    // journal's own threads.
    static_cast<void>(store.files().setApplyBehind(true));
    if (!kassio::startDataStore(store, kassio::findSamplesFolder(argv[0]),
                                kassio::localeCurrencySymbol(), ui))
        return 1;

    kassio::ServerSettings settings;
    if (kassio::Status s = kassio::loadServerSettings(folder, settings); !s)
        ui.error(s.message(), s.title());
    if (!listen.empty()) settings.listenAddress = listen;
    if (!tlsCertificate.empty()) settings.tlsCertificate = tlsCertificate;
    if (!tlsKey.empty()) settings.tlsKey = tlsKey;
    if (!keyFile.empty()) {
        if (kassio::Status s = kassio::readStationKeyFile(keyFile, settings.stationKey); !s) {
            ui.error(s.message(), s.title());
            kassio::closeDataStore(store, ui);
            return 1;
        }
    } else if (!key.empty()) {
        std::fprintf(stderr,
                     "kassio-server: warning: other users can read the station key on the "
                     "command line (ps); give it with --station-key-file FILE or $%s instead\n",
                     kassio::kStationKeyVariable);
        settings.stationKey = key;
    } else if (const char* k = std::getenv(kassio::kStationKeyVariable); k && *k) {
        settings.stationKey = k;
    }
    kassio::Status error, warning;
    auto server = kassio::GrpcStationServer::start(
        store, settings,
        [&ui](const kassio::Status& notice) { ui.error(notice.message(), notice.title()); }, &error,
        &warning);
    if (!server) {
        ui.error(error.message(), error.title());
        kassio::closeDataStore(store, ui);
        return 1;
    }
    if (!warning) ui.error(warning.message(), warning.title());
    std::fprintf(stderr, "kassio-server: serving %s", server->socketEndpoint().c_str());
    if (server->tcpPort() != 0)
        std::fprintf(stderr, " and TCP port %d (%s)", server->tcpPort(),
                     server->tcpEncrypted() ? "TLS" : "plain, not encrypted");
    std::fprintf(stderr, "\n");

    const timespec second{1, 0};
    bool idleFailed = false;  // said once; every posting after it says so anyway
    for (;;) {
        const int signal = sigtimedwait(&stop, nullptr, &second);
        if (signal == SIGTERM || signal == SIGINT) break;
        kassio::Status s = store.idle();
        if (!s && !idleFailed) ui.error(s.message(), s.title());
        idleFailed = idleFailed || !s;
    }
    server->stop();  // every call in progress has finished before the close-down writes
    kassio::closeDataStore(store, ui);
    return 0;
}
