// Whole data files replaced while the station runs: an import that rewrites
// inventory.dat or customer.dat, a restore of the core files.
//
// A whole-file replacement is too large for one posting journal record, so
// it goes another way, all of it with the DataMutex held (the station
// server's threads wait for it, so no client posting lands in a file about
// to be replaced or is lost with it):
//
//   1. a checkpoint: every committed posting is in the files and the
//      journal is empty, so no journal record names the old files;
//   2. the new files are written beside the old ones ("inventory.dat.new");
//   3. commit(): each is flushed, renamed into place, the folder flushed,
//      the descriptors kept open on the old files let go, and the store's
//      configuration, record files and indexes loaded again.
//
// A crash before step 3's renames leaves the old files and a stray ".new"
// file; a crash between the renames of several files leaves each file whole,
// old or new.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/status.h"

namespace kassio {

class DataStore;

class FileReplacement {
  public:
    // Takes the DataMutex until destruction and checkpoints the journal.
    explicit FileReplacement(DataStore& store);
    // Removes the staged files when commit() was not called or failed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Ok, or why the checkpoint failed (then nothing may be replaced).
    const Status& status() const { return m_status; }

    // Appends bytes to the new content of name (a DataFolder file name),
    // which starts empty.
    Status append(const std::string& name, const void* data, std::size_t len);
    // The new content of name is the file at path.
    Status copyFrom(const std::string& name, const std::string& path);
    uint64_t stagedSize(const std::string& name) const;
    bool staged(const std::string& name) const { return m_staged.count(name) != 0; }
    // Before name is replaced, its old content is kept under another name
    // (the previous inventory.dat as temp2.dat).
    void keepPrevious(const std::string& name, const std::string& as) { m_keep[name] = as; }

    Status commit();

  private:
    std::string stagedPath(const std::string& name) const;

    DataStore& m_store;
    std::unique_lock<std::recursive_mutex> m_lock;
    Status m_status;
    std::map<std::string, uint64_t> m_staged;  // name -> bytes written so far
    std::map<std::string, std::string> m_keep;
    bool m_committed = false;
};

}  // namespace kassio
