// The till window's exchange commands: "&Export", "&Import", "Import ZENTIL
// inventory", "&Backup", "&Restore", "Head office report setup" and
// "Upload report".
#pragma once

#include <QPointer>
#include <QThread>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/status.h"
#include "reports/report_dates.h"

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Ftp;
class Ui;

namespace exchange_command {
inline constexpr int kExport = 5045;
inline constexpr int kImport = 5046;
inline constexpr int kImportSibling = 5049;
inline constexpr int kBackup = 1005;
inline constexpr int kRestore = 1079;
inline constexpr int kUploadSetup = 5060;
inline constexpr int kUpload = 3054;
inline constexpr int kEmailSummary = 5061;
}  // namespace exchange_command

struct ExchangeWiring {
    // The FTP client the upload's worker thread uses.
    Ftp* ftp = nullptr;
    // Ends the program without the close-down writes (after a restore or an
    // import, the files in memory are no longer the folder's).
    std::function<void()> closeDown;
    // The window title back after an upload ("KASSIO SC    Assoc: ...").
    std::function<void()> restoreTitle;
    // Uploads under way: the program waits for them as it ends, since they
    // use the FTP client and the window, which end with it.
    std::vector<QPointer<QThread>> uploads;
    // Folder and file choosers; tests put scripted answers here. Empty
    // text: cancelled.
    std::function<std::string(const std::string& title)> chooseFolder;
    std::function<std::string(const std::string& filter, bool save, const std::string& name)>
        chooseFile;
};

// Every reference must outlive the router.
void registerExchangeCommands(CommandRouter& router, DataStore& store, Ui& ui, QWidget* window,
                              ExchangeWiring wiring);

// "Email an activity summary": the day chosen with pickDay (nullopt when the
// person cancels), its activity summary made into a mailto: link and handed
// to openLink, the desktop's mail program (false when nothing took it).
void registerSummaryMailCommand(CommandRouter& router, DataStore& store, Ui& ui,
                                std::function<std::optional<Day>()> pickDay,
                                std::function<bool(const std::string& link)> openLink);

}  // namespace kassio
