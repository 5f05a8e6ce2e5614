// What the main station's till and a client station's till both do before
// their window opens.
#pragma once

#include <QRect>

#include <optional>
#include <string>

#include "store/folder_lock.h"
#include "ui/qt_ui.h"

namespace kassio {

// One till per folder: made if needed and locked. A second start says so
// (exit status 0); a folder that cannot be made or locked says why (1).
std::optional<FolderLock> lockTillFolder(const std::string& folder, const std::string& busyText,
                                         int* exitStatus);

// The screen the till fills; nullopt, with the message shown, when it is
// smaller than the till's 1024 by 768.
std::optional<QRect> tillScreen(QtUi& ui);

}  // namespace kassio
