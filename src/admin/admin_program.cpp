#include "admin/admin_program.h"

#include <charconv>
#include <optional>

#include "store/data_folder.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/start_up.h"
#include "store/win1252.h"

namespace kassio {

namespace {

constexpr const char* kUsage =
    "usage: kassio-admin [--data-dir DIR] COMMAND\n"
    "  init                          first-run setup if needed, then a start and a close\n"
    "  check                         open the data without writing and count the records\n"
    "  journal [YEAR [MONTH [DAY]]]  list the transactions kept in the journal\n";

std::optional<int> parseInt(const std::string& text) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
    return v;
}

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
    auto lock = FolderLock::tryAcquire(store.folder());
    if (!lock)
        return fail(env.ui, Status::busy("The till is running on this data folder. Close it first."));
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
    return 0;
}

int runJournal(DataStore& store, AdminEnvironment& env, const std::vector<std::string>& rest) {
    if (rest.size() > 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int parts[3] = {0, 0, 0};
    for (std::size_t i = 0; i < rest.size(); ++i) {
        auto v = parseInt(rest[i]);
        if (!v) return fail(env.ui, Status::invalid("Not a number: " + rest[i]));
        parts[i] = *v;
    }
    if (Status s = store.openData(); !s) return fail(env.ui, s);
    const StoreConfigRecord& cfg = store.config().record();
    LocalTime start;
    start.day = cfg.settings_a[kSetAHistoryStart];
    start.month = cfg.settings_a[kSetAHistoryStart + 1];
    start.year = cfg.settings_a[kSetAHistoryStart + 2];
    PickListKind kind = rest.empty()         ? PickListKind::kWholeHistory
                        : rest.size() == 1   ? PickListKind::kYear
                        : rest.size() == 2   ? PickListKind::kMonth
                                             : PickListKind::kDay;
    PickList list =
        store.journal().pickList(kind, start, env.clock.now(), parts[0], parts[1], parts[2]);
    if (!list.tooMany) return fail(env.ui, list.tooMany);
    for (const std::string& text : list.texts) std::fprintf(env.out, "%s\n", text.c_str());
    return 0;
}

}  // namespace

int runAdmin(const std::vector<std::string>& args, AdminEnvironment& env) {
    std::string dataDir;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--data-dir" && i + 1 < args.size()) {
            dataDir = args[++i];
        } else if (args[i].rfind("--data-dir=", 0) == 0) {
            dataDir = args[i].substr(11);
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, env.out);
            return 0;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                        args.end());
    DataStore store(resolveDataFolder(dataDir), env.clock);
    if (command == "init" && rest.empty()) return runInit(store, env);
    if (command == "check" && rest.empty()) return runCheck(store, env);
    if (command == "journal") return runJournal(store, env, rest);
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace kassio
