#include "admin/admin_open.h"

namespace kassio {

int fail(Ui& ui, const Status& s) {
    ui.error(s.message(), s.title());
    return 1;
}

std::optional<FolderLock> lockDataFolder(DataStore& store, AdminEnvironment& env) {
    Status why;
    auto lock = FolderLock::tryAcquire(store.folder(), &why);
    if (!lock) {
        if (why.kind() == Status::Kind::kBusy)
            why = Status::busy("The till is running on this data folder. Close it first.");
        env.ui.error(why.message(), why.title());
    }
    return lock;
}

std::optional<FolderLock> openForWriting(DataStore& store, AdminEnvironment& env) {
    auto lock = lockDataFolder(store, env);
    if (!lock) return std::nullopt;
    if (Status s = store.openData(DataStore::OpenMode::kRecover); !s) {
        env.ui.error(s.message(), s.title());
        return std::nullopt;
    }
    return lock;
}

bool openForReading(DataStore& store, AdminEnvironment& env) {
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) {
        env.ui.error(s.message(), s.title());
        return false;
    }
    return true;
}

}  // namespace kassio
