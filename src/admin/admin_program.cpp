#include "admin/admin_program.h"

#include "admin/admin_open.h"
#include "admin/exchange_commands.h"
#include "admin/print_commands.h"
#include "admin/repair_commands.h"
#include "admin/report_commands.h"
#include "admin/store_check.h"

#include "admin/account_commands.h"
#include "admin/listing_commands.h"

#include <CLI/CLI.hpp>

#include "base/timestamp.h"
#include "base/win1252.h"
#include "store/activity_log.h"
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

int runInit(DataStore& store, AdminEnvironment& env) {
    // The folder must exist to hold the lock; creating it early changes
    // nothing a first start would not create anyway.
    if (!makeDirectories(store.folder())) {
        env.ui.error("Unable to create data directory", kTitleFatal);
        return 1;
    }
    auto lock = lockDataFolder(store, env);
    if (!lock) return 1;
    if (!startDataStore(store, findSamplesFolder(env.programPath), env.localeCurrency, env.ui))
        return 1;
    closeDataStore(store, env.ui);
    return 0;
}

int runCheck(DataStore& store, AdminEnvironment& env) {
    // Nothing written: a posting journal left by a run that did not close
    // is laid over the files in memory and reported, not applied (that is
    // what `recover` and every start do).
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) return fail(env.ui, s);
    printCounts(env.out, "items", store.items());
    printCounts(env.out, "customers", store.customers());
    printCounts(env.out, "suppliers", store.suppliers());
    std::fprintf(env.out, "next transaction: %d\n", store.config().nextTransaction());
    std::vector<std::string> findings;
    if (!store.configProblem()) findings.push_back(store.configProblem().message());
    for (std::string& f : checkStoredValues(store)) findings.push_back(std::move(f));
    for (const std::string& f : findings) std::fprintf(env.out, "problem: %s\n", f.c_str());
    JournalContents pending;
    if (Status s = PostingJournal::pending(store.files().fileSystem(), store.folder(), &pending);
        !s)
        return fail(env.ui, s);
    if (!pending.batches.empty() || pending.droppedBytes > 0 || pending.wholeBytes > 0) {
        std::fprintf(env.out,
                     "posting journal: %zu postings not yet recovered (%llu bytes), %zu request "
                     "ids, %llu bytes of torn tail\n",
                     pending.batches.size(), static_cast<unsigned long long>(pending.wholeBytes),
                     pending.rememberedRequests,
                     static_cast<unsigned long long>(pending.droppedBytes));
    }
    return findings.empty() ? 0 : 1;
}

int runRecover(DataStore& store, AdminEnvironment& env) {
    if (!isDirectory(store.folder()))
        return fail(env.ui, Status::notFound("Data folder not present: " + store.folder()));
    auto lock = lockDataFolder(store, env);
    if (!lock) return 1;
    if (Status s = store.recover(); !s) return fail(env.ui, s);
    const uint64_t recovered = store.recoveredPostings();
    if (recovered > 0) {
        const LocalTime now = env.clock.now();
        if (!store.journal().appendActivity(
                now, activity::postingsRecovered(timestampText(now), recovered)))
            env.ui.error("Unable to update the log file", kTitleProblem);
    }
    if (Status s = store.close(); !s) return fail(env.ui, s);
    std::fprintf(env.out, "recovered postings: %llu\n", static_cast<unsigned long long>(recovered));
    return 0;
}

int runJournal(DataStore& store, AdminEnvironment& env, const std::vector<int>& rest) {
    int parts[3] = {0, 0, 0};
    for (std::size_t i = 0; i < rest.size() && i < 3; ++i) parts[i] = rest[i];
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) return fail(env.ui, s);
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

    AdminCommands commands;
    std::vector<int> date;
    {
        CLI::App* init =
            app.add_subcommand("init", "first-run setup if needed, then a start and a close");
        commands.push_back({init, runInit});
        CLI::App* check =
            app.add_subcommand("check", "open the data without writing and count the records");
        commands.push_back({check, runCheck});
        CLI::App* recover = app.add_subcommand(
            "recover", "replay the postings a run left in posting.journal, then remove it");
        commands.push_back({recover, runRecover});
        CLI::App* journal =
            app.add_subcommand("journal", "list the transactions kept in the journal");
        journal
            ->add_option("YEAR MONTH DAY", date, "the year, month and day to list (each optional)")
            ->expected(0, 3);
        commands.push_back({journal, [&date](DataStore& store, AdminEnvironment& e) {
                                return runJournal(store, e, date);
                            }});
    }
    addRepairCommands(app, commands);
    addReportCommands(app, commands);
    addPrintCommands(app, commands);

    addAccountCommands(app, commands);
    addListingCommands(app, commands);

    addExchangeCommands(app, commands);

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
    for (const AdminCommand& c : commands)
        if (c.command->parsed()) return c.run(store, env);
    return 2;
}

}  // namespace kassio
