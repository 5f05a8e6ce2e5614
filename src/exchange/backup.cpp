#include "exchange/backup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/text_format.h"
#include "exchange/file_replacement.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/inventory_record.h"

namespace kassio {

const char* const kCoreFiles[4] = {"kq.cfg", "inventory.dat", "customer.dat", "suppliers.dat"};

namespace fs = std::filesystem;

namespace {

bool skipped(const fs::path& name, bool liveFolder) {
    const std::string n = name.filename().string();
    if (n == "kassio.lock" || n == "rpc4.sock") return true;
    if (n.size() > 4 && n.compare(n.size() - 4, 4, ".new") == 0) return true;
    return liveFolder && n == "posting.journal";
}

// A byte copy that replaces the target and is on disk when it returns true.
bool copyFlushed(const std::string& from, const std::string& to) {
    auto in = File::open(from, File::Mode::kRead);
    if (!in) return false;
    auto out = File::open(to, File::Mode::kCreateTruncate);
    if (!out) return false;
    std::vector<unsigned char> buf(1 << 20);
    uint64_t at = 0;
    for (;;) {
        long long got = in->readAt(at, buf.data(), buf.size());
        if (got < 0) return false;
        if (got == 0) break;
        if (!out->writeAt(at, buf.data(), static_cast<std::size_t>(got))) return false;
        at += static_cast<uint64_t>(got);
    }
    return out->sync() && out->close();
}

// Stamps the backup time and writes kq.cfg; the failure message is the
// file's path.
Status stampBackup(DataStore& store, const LocalTime& now) {
    auto lock = store.lock();
    int32_t* c = store.config().record().counters + kCounterLastBackup;
    c[0] = now.minute;
    c[1] = now.hour;
    c[2] = now.day;
    c[3] = now.month;
    c[4] = now.year;
    return store.saveConfig(store.pathOf("kq.cfg"));
}

Notice closeDown() {
    return {"KASSIO will now close down", "Restore complete", false};
}

std::string datedName(const std::string& folder, const LocalTime& now) {
    std::string base = folder + formatted("%d%d%d", now.day, now.month, now.year);
    std::string name = base;
    for (int n = 2; fs::exists(name); ++n) name = base + "-" + std::to_string(n);
    return name;
}

}  // namespace

bool copyFolderTree(const std::string& from, const std::string& to, bool liveFolder) {
    std::error_code ec;
    if (!fs::is_directory(from, ec) || !makeDirectories(to)) return false;
    std::vector<std::string> folders{to};
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path rel = fs::relative(it->path(), from, ec);
        if (ec || skipped(it->path(), liveFolder)) continue;
        const std::string target = (fs::path(to) / rel).string();
        if (it->is_directory(ec)) {
            if (!makeDirectories(target)) return false;
            folders.push_back(target);
        } else if (it->is_regular_file(ec)) {
            if (!copyFlushed(it->path().string(), target)) return false;
        }
    }
    if (ec) return false;
    for (const std::string& f : folders)
        if (!syncDirectory(f)) return false;
    return syncDirectory(fs::path(to).parent_path().string());
}

ExchangeOutcome backupCoreFiles(DataStore& store, const std::string& dir) {
    const LocalTime now = store.clock().now();
    if (Status s = stampBackup(store, now); !s) return failure(s);
    ExchangeOutcome out;
    {
        auto lock = store.lock();
        // Every answered posting into the files before they are copied.
        if (Status s = store.files().checkpoint(); !s) return failure(s);
        for (const char* name : kCoreFiles)
            if (!copyFlushed(store.pathOf(name), dir + "/" + name))
                return failure(Status::invalid("Unable to open file"));
        if (!syncDirectory(dir)) return failure(Status::invalid("Unable to open file"));
        const std::string line = formatted("\r\n%d:%d %d/%d/%d  File backup\r\n", now.hour,
                                           now.minute, now.day, now.month, now.year);
        if (!store.journal().appendActivity(now, line))
            out.notices.push_back(noticeOf(Status::invalid("Data log file not present.")));
    }
    out.notices.push_back({"Complete", "File backup", false});
    return out;
}

bool folderBackupExists(const std::string& dir) {
    std::error_code ec;
    return fs::exists(fs::path(dir) / kBackupFolderName, ec);
}

ExchangeOutcome backupWholeFolder(DataStore& store, const std::string& dir) {
    const LocalTime now = store.clock().now();
    if (Status s = stampBackup(store, now); !s) return failure(s);
    const std::string target = (fs::path(dir) / kBackupFolderName).string();
    const std::string partial = target + ".partial";
    const Notice failed{"Unable to backup folder", "Folder backup", true};
    auto lock = store.lock();
    if (Status s = store.files().checkpoint(); !s) return failure(s);
    std::error_code ec;
    fs::remove_all(partial, ec);
    // The previous backup goes only once the new one is whole beside it.
    if (!copyFolderTree(store.folder(), partial, true)) {
        fs::remove_all(partial, ec);
        return {{failed}, false};
    }
    fs::remove_all(target, ec);
    if (ec) return {{failed}, false};
    fs::rename(partial, target, ec);
    if (ec || !syncDirectory(dir)) return {{failed}, false};
    return {{{"Complete", "KASSIO folder backup", false}}, false};
}

ExchangeOutcome restoreInventory(DataStore& store, const std::string& file) {
    auto in = File::open(file, File::Mode::kRead);
    if (!in) return failure(Status::notFound("File not present."));
    auto size = in->size();
    // A file that is not whole inventory records would stop the next start.
    if (!size || *size == 0 || *size % kInventoryRecordSize != 0)
        return failure(Status::invalid("Non recognised format"));
    FileReplacement replacement(store);
    Status s = replacement.status();
    if (s) s = replacement.copyFrom("inventory.dat", file);
    if (s) s = replacement.commit();
    if (!s) return failure(s);
    return {{closeDown()}, true};
}

ExchangeOutcome restoreCoreFiles(DataStore& store, const std::string& dir) {
    ExchangeOutcome out;
    {
        FileReplacement replacement(store);
        for (const char* name : kCoreFiles) {
            const std::string path = dir + "/" + name;
            auto f = File::open(path, File::Mode::kRead);
            if (!f) return failure(Status::notFound(path, "File not present."));
            auto size = f->size();
            if (!size || *size == 0) return failure(Status::invalid(path, "File has no content"));
        }
        Status s = replacement.status();
        for (const char* name : kCoreFiles)
            if (s) s = replacement.copyFrom(name, dir + "/" + name);
        if (s) s = replacement.commit();
        if (!s) return failure(s);
    }
    // The history belongs to the replaced files: it goes, and transaction
    // numbers start again at 1.
    for (const Status& s : store.purgeAllHistory()) out.notices.push_back(noticeOf(s));
    out.notices.push_back(closeDown());
    out.closeDown = true;
    return out;
}

ExchangeOutcome restoreWholeFolder(DataStore& store, const std::string& dir) {
    const std::string folder = store.folder();
    const std::string incoming = folder + ".restoring";
    const Notice cannotCopy{"Unable to copy folder.", kTitleProblem, true};
    std::error_code ec;
    auto lock = store.lock();
    fs::remove_all(incoming, ec);
    if (!copyFolderTree(dir, incoming, false)) {
        fs::remove_all(incoming, ec);
        return {{cannotCopy}, false};
    }
    {
        // The copy must open as a shop before it replaces anything.
        DataStore copy(incoming, store.clock());
        Status s = copy.openData(DataStore::OpenMode::kReadOnly);
        if (!s) {
            fs::remove_all(incoming, ec);
            return {{cannotCopy, noticeOf(s)}, false};
        }
    }
    // Every answered posting into the old files, the journal removed and
    // every descriptor let go, before the folder moves.
    if (Status s = store.close(); !s) {
        fs::remove_all(incoming, ec);
        return failure(s);
    }
    const std::string previous = datedName(folder, store.clock().now());
    fs::rename(folder, previous, ec);
    if (ec) {
        fs::remove_all(incoming, ec);
        static_cast<void>(store.openData());
        return failure(Status::invalid("Unable to rename previous directory."));
    }
    fs::rename(incoming, folder, ec);
    if (ec) {
        std::error_code back;
        fs::rename(previous, folder, back);
        fs::remove_all(incoming, back);
        static_cast<void>(store.openData());
        return {{cannotCopy}, false};
    }
    static_cast<void>(syncDirectory(fs::path(folder).parent_path().string()));
    fs::remove_all(previous, ec);
    // Client stations served until the program ends see the restored shop.
    ExchangeOutcome out;
    if (Status s = store.openData(); !s) out.notices.push_back(noticeOf(s));
    out.notices.push_back(closeDown());
    out.closeDown = true;
    return out;
}

}  // namespace kassio
