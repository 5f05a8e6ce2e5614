#include "admin/admin_program.h"

#include "admin/store_check.h"

#include <CLI/CLI.hpp>

#include "base/win1252.h"
#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/start_up.h"

namespace kassio {

namespace {

void printCounts(std::FILE* out, const char* name, const RecordFile& file) {
    const RecordIndex& ix = file.index();
    std::fprintf(out, "%s: slots %zu live %zu deleted %zu\n", name, ix.slotCount(), ix.liveCount(),
                 ix.deletedCount());
}

int fail(Ui& ui, const Status& s) {
    ui.error(s.message(), s.title());
    return 1;
}

int runInit(DataStore& store, AdminEnvironment& env) {
    // The folder must exist to hold the lock; creating it early changes
    // nothing a first start would not create anyway.
    if (!makeDirectories(store.folder())) {
        env.ui.error("Unable to create data directory", kTitleFatal);
        return 1;
    }
    Status why;
    auto lock = FolderLock::tryAcquire(store.folder(), &why);
    if (!lock) {
        if (why.kind() == Status::Kind::kBusy)
            why = Status::busy("The till is running on this data folder. Close it first.");
        return fail(env.ui, why);
    }
    if (!startDataStore(store, findSamplesFolder(env.programPath), env.localeCurrency, env.ui))
        return 1;
    closeDataStore(store, env.ui);
    return 0;
}

int runCheck(DataStore& store, AdminEnvironment& env) {
    if (Status s = store.openData(); !s) return fail(env.ui, s);
    printCounts(env.out, "items", store.items());
    printCounts(env.out, "customers", store.customers());
    printCounts(env.out, "suppliers", store.suppliers());
    std::fprintf(env.out, "next transaction: %d\n", store.config().nextTransaction());
    const std::vector<std::string> findings = checkStoredValues(store);
    for (const std::string& f : findings) std::fprintf(env.out, "problem: %s\n", f.c_str());
    return findings.empty() ? 0 : 1;
}

int runJournal(DataStore& store, AdminEnvironment& env, const std::vector<int>& rest) {
    int parts[3] = {0, 0, 0};
    for (std::size_t i = 0; i < rest.size() && i < 3; ++i) parts[i] = rest[i];
    if (Status s = store.openData(); !s) return fail(env.ui, s);
    const StoreConfigRecord& cfg = store.config().record();
    LocalTime start;
    start.day = cfg.settings_a[kSetAHistoryStart];
    start.month = cfg.settings_a[kSetAHistoryStart + 1];
    start.year = cfg.settings_a[kSetAHistoryStart + 2];
    PickListKind kind = rest.empty()       ? PickListKind::kWholeHistory
                        : rest.size() == 1 ? PickListKind::kYear
                        : rest.size() == 2 ? PickListKind::kMonth
                                           : PickListKind::kDay;
    PickList list =
        store.journal().pickList(kind, start, env.clock.now(), parts[0], parts[1], parts[2]);
    if (!list.tooMany) return fail(env.ui, list.tooMany);
    for (const std::string& text : list.texts) std::fprintf(env.out, "%s\n", text.c_str());
    return 0;
}

}  // namespace

int runAdmin(const std::vector<std::string>& args, AdminEnvironment& env) {
    CLI::App app{"kassio-admin: the headless back office on the till's data folder",
                 "kassio-admin"};
    app.require_subcommand(1);
    std::string dataDir;
    app.add_option("--data-dir", dataDir,
                   "the DataFolder (else $KASSIO_DATA_DIR, else the default)");

    CLI::App* init =
        app.add_subcommand("init", "first-run setup if needed, then a start and a close");
    CLI::App* check =
        app.add_subcommand("check", "open the data without writing and count the records");
    CLI::App* journal = app.add_subcommand("journal", "list the transactions kept in the journal");
    std::vector<int> date;
    journal->add_option("YEAR MONTH DAY", date, "the year, month and day to list (each optional)")
        ->expected(0, 3);

    // CLI11 takes its arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        std::fputs(app.help().c_str(), env.out);
        return 0;
    } catch (const CLI::CallForAllHelp& e) {
        std::fputs(app.help("", CLI::AppFormatMode::All).c_str(), env.out);
        return 0;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "kassio-admin: %s\n", e.what());
        std::fputs(app.help().c_str(), stderr);
        return 2;
    }

    DataStore store(resolveDataFolder(dataDir), env.clock);
    if (init->parsed()) return runInit(store, env);
    if (check->parsed()) return runCheck(store, env);
    if (journal->parsed()) return runJournal(store, env, date);
    return 2;
}

}  // namespace kassio
