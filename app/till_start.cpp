#include "till_start.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>

#include "store/file_io.h"

namespace kassio {

std::optional<FolderLock> lockTillFolder(const std::string& folder, const std::string& busyText,
                                         int* exitStatus) {
    const bool made = makeDirectories(folder);
    Status why;
    auto lock = FolderLock::tryAcquire(folder, &why);
    if (lock) return lock;
    const bool busy = why.kind() == Status::Kind::kBusy;
    const std::string text = busy    ? busyText
                             : !made ? "Unable to create data directory " + folder
                                     : why.message();
    std::fprintf(stderr, "kassio: %s\n", text.c_str());
    QMessageBox::warning(nullptr, "KASSIO SC", QString::fromStdString(text));
    *exitStatus = busy ? 0 : 1;
    return std::nullopt;
}

std::optional<QRect> tillScreen(QtUi& ui) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    if (desktop.width() < 1024 || desktop.height() < 768) {
        ui.error("Program requires desktop of at least 1024 by 768", kTitleProblem);
        return std::nullopt;
    }
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace kassio
