// Opening the DataFolder for one kassio-admin command: the folder lock for
// the commands that write, recovery first, then the data.
#pragma once

#include <optional>

#include "admin/admin_program.h"
#include "store/data_store.h"
#include "store/folder_lock.h"

namespace kassio {

// Tells the user why a command stopped; the command's exit status.
int fail(Ui& ui, const Status& s);

// The folder lock, refused while the till (or another command) holds it;
// nullopt after telling why.
std::optional<FolderLock> lockDataFolder(DataStore& store, AdminEnvironment& env);

// For a command that writes: the lock (refused while the till runs), the
// recovery of an unfinished close and the data. nullopt after telling why.
std::optional<FolderLock> openForWriting(DataStore& store, AdminEnvironment& env);
// For a command that reads: the files as they are.
bool openForReading(DataStore& store, AdminEnvironment& env);

}  // namespace kassio
