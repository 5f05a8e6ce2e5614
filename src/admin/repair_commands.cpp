#include "admin/repair_commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "admin/admin_open.h"
#include "base/text_format.h"
#include "store/config_check.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/journal_format.h"

namespace kassio {

namespace {

// The first of name.damaged, name.damaged.2, ... that is not taken.
std::string keepName(const StoreFiles& files, const std::string& name, const char* suffix) {
    std::string keep = name + suffix;
    for (int n = 2; files.exists(keep); ++n) keep = name + suffix + formatted(".%d", n);
    return keep;
}

// The journal files that hold fixed records, relative to the DataFolder,
// with their record and header sizes.
struct RecordLog {
    std::string name;
    std::size_t recordSize;
    std::size_t header;
};

std::vector<RecordLog> recordLogs(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<RecordLog> logs;
    std::error_code ec;
    for (const fs::directory_entry& year : fs::directory_iterator(folder, ec)) {
        const std::string y = year.path().filename().string();
        if (!year.is_directory() || y.size() != 4 ||
            y.find_first_not_of("0123456789") != std::string::npos)
            continue;
        logs.push_back({y + "/base.dat", sizeof(TransactionIndexEntry), kYearIndexHeaderSize});
        for (auto it = fs::recursive_directory_iterator(year.path(), ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec || !it->is_regular_file()) continue;
            const std::string file = it->path().filename().string();
            const std::string relative = fs::relative(it->path(), folder).string();
            if (file == "saleslog.dat") logs.push_back({relative, sizeof(SaleRecord), 0});
            if (file == "itemslog.dat") logs.push_back({relative, sizeof(SaleLineRecord), 0});
            if (file == "ininvent.dat") logs.push_back({relative, sizeof(ReceivedRecord), 0});
        }
    }
    return logs;
}

int runRepair(DataStore& store, AdminEnvironment& env) {
    if (!isDirectory(store.folder()))
        return fail(env.ui, Status::notFound("Data folder not present: " + store.folder()));
    auto lock = lockDataFolder(store, env);
    if (!lock) return 1;
    if (Status s = store.recover(); !s) return fail(env.ui, s);
    StoreFiles& files = store.files();
    if (Status s = store.probeConfig(); !s) {
        if (s.kind() == Status::Kind::kNotFound)
            s = Status::notFound(
                "kq.cfg is missing: \"kassio-admin init\" writes a first-start one, numbered on "
                "from the journal.");
        return fail(env.ui, s);
    }
    std::vector<std::string> done;
    uint64_t ticket = 0;
    {
        StoreFiles::Batch batch(files);
        for (const RecordLog& log : recordLogs(store.folder())) {
            auto bytes = files.readAll(log.name);
            if (!bytes || bytes->empty()) continue;
            const std::size_t whole =
                bytes->size() < log.header
                    ? 0
                    : log.header + (bytes->size() - log.header) / log.recordSize * log.recordSize;
            if (whole == bytes->size()) continue;
            const std::string keep = keepName(files, log.name, ".partial");
            if (Status s = files.replace(keep, bytes->data() + whole, bytes->size() - whole); !s)
                return fail(env.ui, s);
            if (Status s = files.replace(log.name, bytes->data(), whole); !s)
                return fail(env.ui, s);
            done.push_back(formatted("%s: cut to %zu bytes; the %zu stray bytes are in %s",
                                     log.name.c_str(), whole, bytes->size() - whole, keep.c_str()));
        }

        const LocalTime now = env.clock.now();
        auto old = files.readAll("kq.cfg");
        if (!old) return fail(env.ui, Status::ioError("kq.cfg cannot be read", kTitleFatal));
        const int32_t last = lastJournalledTransaction(files, now.year + 1);
        if (!checkConfigBytes(*old, last)) {
            std::vector<std::string> changes;
            const std::string fresh = repairedConfigBytes(*old, last, now, &changes);
            const std::string keep = keepName(files, "kq.cfg", ".damaged");
            if (Status s = files.replace(keep, old->data(), old->size()); !s)
                return fail(env.ui, s);
            if (Status s = files.replace("kq.cfg", fresh.data(), fresh.size()); !s)
                return fail(env.ui, s);
            done.push_back("kq.cfg: rebuilt; the old file is kept as " + keep);
            for (const std::string& c : changes) done.push_back("kq.cfg: " + c);
        }
        if (Status s = batch.commit(&ticket); !s) return fail(env.ui, s);
    }
    if (Status s = store.waitDurable(ticket); !s) return fail(env.ui, s);
    if (Status s = store.close(); !s) return fail(env.ui, s);
    if (done.empty()) std::fprintf(env.out, "nothing to repair\n");
    for (const std::string& line : done) std::fprintf(env.out, "repaired %s\n", line.c_str());
    return 0;
}

}  // namespace

void addRepairCommands(CLI::App& app, AdminCommands& commands) {
    CLI::App* repair = app.add_subcommand(
        "repair",
        "rebuild a damaged kq.cfg and cut partial records off journal files, keeping the old "
        "bytes beside them");
    commands.push_back({repair, runRepair});
}

}  // namespace kassio
