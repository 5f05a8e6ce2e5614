// kassio: the till of the main station. Wires the Qt adapters to the core
// and runs the start-up and close-down of the data store around the window.
#include <QApplication>
#include <QScreen>

#include <string>

#include "platform/posix/system_clock.h"
#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/start_up.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"

namespace {

std::string dataDirArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--data-dir" && i + 1 < argc) return argv[i + 1];
        if (arg.rfind("--data-dir=", 0) == 0) return arg.substr(11);
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kassio::QtUi ui;
    const std::string folder = kassio::resolveDataFolder(dataDirArgument(argc, argv));

    // One till per DataFolder: a second start ends without a word.
    kassio::makeDirectories(folder);
    auto lock = kassio::FolderLock::tryAcquire(folder);
    if (!lock) return 0;

    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && (screen->geometry().width() < 1024 || screen->geometry().height() < 768)) {
        ui.error("Program requires desktop of at least 1024 by 768", kassio::kTitleProblem);
        return 0;
    }

    kassio::SystemClock clock;
    kassio::DataStore store(folder, clock);
    if (!kassio::startDataStore(store, kassio::findSamplesFolder(argv[0]),
                                kassio::localeCurrencySymbol(), ui))
        return 0;

    kassio::MainWindow window(store);
    ui.setParent(&window);
    if (screen) window.move(screen->geometry().width() / 2 - 512, 2);
    window.show();
    app.exec();

    kassio::closeDataStore(store, ui);
    return 0;
}
