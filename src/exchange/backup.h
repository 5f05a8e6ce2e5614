// Backup and restore of the shop's data to and from a folder the user
// picks: the four core files, or the whole DataFolder.
//
// Everything is done with the DataMutex held and after a checkpoint, so a
// backup is a moment's state of the files with every answered posting in
// it, and a restore never races a client station's posting. Copies are
// flushed before "Complete" is said. A restore ends the program without its
// close-down writes (outcome.closeDown).
#pragma once

#include <string>

#include "base/local_time.h"
#include "base/status.h"
#include "exchange/exchange_notice.h"

namespace kassio {

class DataStore;

inline constexpr const char* kBackupFolderName = "kassio SC";
// kq.cfg, inventory.dat, customer.dat, suppliers.dat, in this order.
extern const char* const kCoreFiles[4];

// Copies the core files into dir, replacing copies there, and notes the
// backup in the day's activity log.
ExchangeOutcome backupCoreFiles(DataStore& store, const std::string& dir);

// Whether dir already holds a whole-folder backup ("kassio SC").
bool folderBackupExists(const std::string& dir);
// Copies the DataFolder to dir/"kassio SC", replacing a previous backup
// there only once the new copy is complete.
ExchangeOutcome backupWholeFolder(DataStore& store, const std::string& dir);

// inventory.dat becomes the chosen file, which must be whole inventory
// records.
ExchangeOutcome restoreInventory(DataStore& store, const std::string& file);
// The four core files from dir replace the DataFolder's, and the whole
// transaction history is purged. Nothing is copied unless all four are
// there and none is empty.
ExchangeOutcome restoreCoreFiles(DataStore& store, const std::string& dir);
// The folder dir (a whole-folder backup, whatever its name) becomes the
// DataFolder. It is copied beside the DataFolder and must open as a shop
// before the DataFolder is replaced; the previous DataFolder is removed
// only once the new one is in place, and given back on any failure.
ExchangeOutcome restoreWholeFolder(DataStore& store, const std::string& dir);

// Copies a folder tree, flushing every file and folder. The lock file, the
// socket and staged ".new" files are never copied; the posting journal is
// left out of a copy of the running DataFolder (liveFolder), which is taken
// just after a checkpoint. False on the first failure.
bool copyFolderTree(const std::string& from, const std::string& to, bool liveFolder);

}  // namespace kassio
