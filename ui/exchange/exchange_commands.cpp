#include "ui/exchange/exchange_commands.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <memory>

#include "base/text_format.h"
#include "commands/command_router.h"
#include "exchange/backup.h"
#include "exchange/head_office_upload.h"
#include "exchange/record_export.h"
#include "exchange/record_import.h"
#include "platform/ui.h"
#include "reports/day_totals.h"
#include "reports/upload_files.h"
#include "store/data_store.h"
#include "ui/exchange/exchange_dialogs.h"

namespace kassio {

using namespace exchange_command;

namespace {

std::string documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

void showAll(Ui& ui, const ExchangeOutcome& out) {
    for (const Notice& n : out.notices) {
        if (n.problem)
            ui.message(n.text, n.title, Ui::Icon::kWarning, Ui::Buttons::kOk);
        else
            ui.inform(n.text, n.title);
    }
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

std::vector<std::string> categoryCodes(DataStore& store) {
    auto lock = store.lock();
    std::vector<std::string> codes;
    for (int i = 0; i < 18; ++i) codes.push_back(store.config().categoryCode(i));
    return codes;
}

}  // namespace

void registerExchangeCommands(CommandRouter& router, DataStore& store, Ui& ui, QWidget* window,
                              ExchangeWiring w) {
    auto wiring = std::make_shared<ExchangeWiring>(std::move(w));
    // An upload still running as the program ends is waited for (libcurl
    // gives up on a stalled server), then its thread is freed here: the
    // main loop that would have run its deleteLater has ended.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, [wiring] {
        for (QPointer<QThread>& t : wiring->uploads)
            if (t) {
                t->wait();
                delete t.data();
            }
        wiring->uploads.clear();
    });
    if (!wiring->chooseFolder)
        wiring->chooseFolder = [window](const std::string& title) {
            return QFileDialog::getExistingDirectory(window, QString::fromStdString(title),
                                                     QString::fromStdString(documentsFolder()))
                .toStdString();
        };
    if (!wiring->chooseFile)
        wiring->chooseFile = [window](const std::string& filter, bool save,
                                      const std::string& name) {
            const QString start = QString::fromStdString(documentsFolder() + "/" + name);
            const QString f = QString::fromStdString(filter);
            return (save ? QFileDialog::getSaveFileName(window, {}, start, f)
                         : QFileDialog::getOpenFileName(window, {}, start, f))
                .toStdString();
        };
    auto endIf = [wiring](const ExchangeOutcome& out) {
        if (out.closeDown && wiring->closeDown) wiring->closeDown();
    };

    auto lastExport = std::make_shared<std::optional<ExportChoice>>();
    router.set(kExport, [&store, &ui, window, wiring, lastExport] {
        ExportChoice initial = lastExport->value_or(ExportChoice());
        if (!*lastExport) initial.finish = highestItemNumber(store);
        auto choice = runExportDialog(window, initial, categoryCodes(store));
        if (!choice) return;
        *lastExport = *choice;
        if (choice->start < 1 || choice->start > choice->finish) {
            ui.error("Invalid range", kTitleProblem);
            return;
        }
        const std::string path =
            wiring->chooseFile(exportFilter(choice->format), true, exportFileName(*choice));
        if (path.empty()) return;
        if (choice->format != ExportFormat::kXml) {
            choice = runFieldChoiceDialog(window, *choice);
            if (!choice) return;
        }
        Status s = exportRecords(store, *choice, path);
        if (s)
            ui.inform("Complete.", "File export");
        else
            ui.error(s.message(), s.title());
    });

    router.set(kImport, [&store, &ui, window, wiring, endIf] {
        auto which = ui.prompt("Enter 1 to import inventory, 2 to import customers");
        if (!which || ((*which)[0] != '1' && (*which)[0] != '2')) return;
        const bool customers = (*which)[0] == '2';
        const std::string path = wiring->chooseFile("Text files (*.TXT)", false, "");
        if (path.empty()) return;
        ImportSurvey survey;
        if (Status s = surveyImportFile(path, &survey); !s) {
            ui.message(
                s.message(), s.title(), Ui::Icon::kError,
                s.message() == "File has no content" ? Ui::Buttons::kOkCancel : Ui::Buttons::kOk);
            return;
        }
        if (ui.message(formatted("%d records of %d fields", survey.records, survey.fields),
                       "File import", Ui::Icon::kQuestion,
                       Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        auto map = runImportMapDialog(window, defaultImportMap(customers, survey.fields),
                                      survey.firstLine);
        if (!map) return;
        limitImportMap(*map, survey.fields);
        if (map->columns[0] == 0) return;
        if (!map->merge &&
            ui.message("All existing data will be lost.", "Warning", Ui::Icon::kWarning,
                       Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        ExchangeOutcome out;
        {
            WaitCursor wait;
            out = importRecords(store, path, *map, survey.records);
        }
        showAll(ui, out);
        endIf(out);
    });

    router.set(kImportSibling, [&store, &ui, wiring, endIf] {
        const std::string path = wiring->chooseFile("Dat files (*.dat)", false, "");
        if (path.empty()) return;
        int records = 0;
        if (Status s = surveySiblingFile(path, &records); !s) {
            ui.error(s.message(), s.title());
            return;
        }
        if (ui.message(formatted("%d records", records), "File import", Ui::Icon::kQuestion,
                       Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        ExchangeOutcome out;
        {
            WaitCursor wait;
            out = importSiblingInventory(store, path);
        }
        showAll(ui, out);
        endIf(out);
    });

    router.set(kBackup, [&store, &ui, window, wiring] {
        auto scope = runScopeDialog(
            window, "Kassio backup",
            {"Backup core files (inventory, customer, settings, supplier).",
             "Backup entire Kassio data folder."},
            1,
            "Important: The folder backup includes the core files and transaction and sales data.");
        if (!scope) return;
        const std::string dir = wiring->chooseFolder("Choose a folder");
        if (dir.empty()) return;
        if (*scope == 1 && folderBackupExists(dir) &&
            ui.message("Previous Kassio backup folder already exits, delete or cancel?", "Warning",
                       Ui::Icon::kWarning, Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        ExchangeOutcome out;
        {
            WaitCursor wait;
            out = *scope == 0 ? backupCoreFiles(store, dir) : backupWholeFolder(store, dir);
        }
        showAll(ui, out);
    });

    router.set(kRestore, [&store, &ui, window, wiring, endIf] {
        auto scope = runScopeDialog(
            window, "Kassio restore",
            {"Restore inventory.", "Restore core files (inventory, customer, settings, supplier).",
             "Restore entire Kassio data folder."},
            2, "Important: It is recommended a backup is performed before use.");
        if (!scope) return;
        ExchangeOutcome out;
        if (*scope == 0) {
            const std::string file = wiring->chooseFile("Data files (*.dat)", false, "");
            if (file.empty()) return;
            if (ui.message("Yes to continue",
                           "Warning: An incorrect file may prevent the program from opening.",
                           Ui::Icon::kWarning, Ui::Buttons::kYesNo) != Ui::Answer::kYes)
                return;
            WaitCursor wait;
            out = restoreInventory(store, file);
        } else if (*scope == 1) {
            if (ui.message("The program requires and will restore data from four files, kq.cfg, "
                           "inventory.dat, customer.dat and suppliers.dat. Please click OK then "
                           "select the backup folder. Important: The previous transaction "
                           "history will no longer be available after this routine (it is "
                           "deleted to avoid conflicts with current transactions)",
                           "Restore data from backup", Ui::Icon::kInformation,
                           Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
                return;
            const std::string dir = wiring->chooseFolder("Choose a folder");
            if (dir.empty()) return;
            WaitCursor wait;
            out = restoreCoreFiles(store, dir);
        } else {
            const std::string dir = wiring->chooseFolder("Choose a folder");
            if (dir.empty()) return;
            if (ui.message("All existing data will be removed.", "Warning", Ui::Icon::kWarning,
                           Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
                return;
            WaitCursor wait;
            out = restoreWholeFolder(store, dir);
        }
        showAll(ui, out);
        endIf(out);
    });

    auto editSettings = [&store, &ui, window]() -> bool {
        UploadSettings initial = loadUploadSettings(store).value_or(defaultUploadSettings());
        auto edited = runUploadDialog(window, initial);
        if (!edited) return false;
        if (Status s = saveUploadSettings(store, *edited); !s) {
            ui.error(s.message(), s.title());
            return false;
        }
        return true;
    };
    router.set(kUploadSetup, [editSettings] { editSettings(); });

    router.set(kUpload, [&store, &ui, window, wiring, editSettings] {
        auto settings = loadUploadSettings(store);
        if (!settings) {
            if (!editSettings()) return;
            settings = loadUploadSettings(store);
            if (!settings) return;
        }
        if (Status s = checkUploadChoice(*settings); !s) {
            ui.error(s.message(), s.title());
            return;
        }
        // The files are made afresh from today's figures, so head office
        // never gets yesterday's report under today's upload.
        std::vector<std::string> paths;
        if (Status s = writeUploadFiles(store, store.clock().now(), settings->chosen,
                                        settings->names, &paths);
            !s) {
            ui.error(s.message(), kTitleProblem);
            return;
        }
        if (!wiring->ftp) return;
        QPointer<QWidget> win(window);
        const FtpLogin login = ftpLogin(*settings);
        Ftp* ftp = wiring->ftp;
        QThread* worker = QThread::create([&ui, win, wiring, ftp, login, paths] {
            Notice n = sendReportFiles(*ftp, login, paths, [win, wiring](bool on) {
                QMetaObject::invokeMethod(
                    qApp,
                    [win, wiring, on] {
                        if (on && win)
                            win->setWindowTitle("Upload in progress");
                        else if (wiring->restoreTitle)
                            wiring->restoreTitle();
                    },
                    Qt::QueuedConnection);
            });
            QMetaObject::invokeMethod(
                qApp,
                [&ui, n] {
                    ui.message(n.text, n.title,
                               n.problem ? Ui::Icon::kWarning : Ui::Icon::kInformation,
                               Ui::Buttons::kOk);
                },
                Qt::QueuedConnection);
        });
        if (!worker) {
            ui.error("Unable to start thread", kTitleProblem);
            return;
        }
        QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        std::erase_if(wiring->uploads, [](const QPointer<QThread>& t) { return t.isNull(); });
        wiring->uploads.push_back(worker);
        worker->start();
    });
}

void registerSummaryMailCommand(CommandRouter& router, DataStore& store, Ui& ui,
                                std::function<std::optional<Day>()> pickDay,
                                std::function<bool(const std::string& link)> openLink) {
    router.set(kEmailSummary, [&store, &ui, pickDay, openLink] {
        const std::optional<Day> day = pickDay();
        if (!day) return;
        const DayTotals t = dayTotals(store, *day);
        DailySummaryFigures f;
        f.itemsSold = t.itemsSold;
        f.refunded = t.itemsRefunded;
        f.salesCash = t.cashSales;
        f.salesCheque = t.chSales;
        f.salesCard = t.eftSales;
        f.salesCredit = t.creditSales;
        f.discounts = t.discounts;
        f.refundCash = t.cashRefunds;
        f.refundCheque = t.chRefunds;
        f.refundCard = t.eftRefunds;
        f.refundCredit = t.creditRefunds;
        f.nonTaxable = t.nonTaxable;
        f.taxable = t.taxable;
        f.tax1 = t.tax1;
        f.tax2 = t.tax2;
        f.dayTotal = t.total;
        f.paymentCash = t.paymentsCash;
        f.paymentCheque = t.paymentsCh;
        f.paymentCard = t.paymentsEft;
        f.cashBack = t.cashBack;
        f.costOfSales = t.cost;
        std::string name;
        {
            auto lock = store.lock();
            name = store.config().heading(1);
        }
        const LocalTime when{day->year, day->month, day->day};
        // Nothing is sent by the till itself; a desktop without a mail
        // program must not look as if the message went.
        if (!openLink(dailySummaryMailto(name, when, f)))
            ui.error("Unable to open the mail program", kTitleProblem);
    });
}

}  // namespace kassio
