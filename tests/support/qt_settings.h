// The settings folder of a Qt test program.
#pragma once

#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

namespace kassio::test {

// Gives the Qt test programs a settings folder of their own, before the
// QApplication: the file chooser keeps its last folders and history in
// QtProject.conf, and one run's temporary folders must not steer the next.
inline std::unique_ptr<QTemporaryDir> privateQtSettings() {
    auto dir = std::make_unique<QTemporaryDir>();
    if (dir->isValid()) qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
    return dir;
}

}  // namespace kassio::test
