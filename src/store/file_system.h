// FileSystem: the port through which the posting journal and the data files
// reach the disk. Paths are absolute (the journal joins them to the
// DataFolder). Every call returns a Status: IoError with the system's reason
// for a failed call, NotFound for a missing file or folder where one is
// needed.
//
// Files and folders made through this port are private to the shop's user:
// files get mode 0600, folders 0700.
//
// Thread safety: an implementation must allow any calls from several
// threads at once (the journal flushes while a posting writes). Writes to
// overlapping bytes of one file from two threads at once are the caller's
// business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/status.h"

namespace kassio {

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Writes all len bytes at offset, creating the file when missing. A
    // failure may leave any part of the bytes written.
    virtual Status writeAt(const std::string& path, uint64_t offset, const void* data,
                           std::size_t len) = 0;
    // Reads up to len bytes at offset; *got is short at the end of the file.
    virtual Status readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                          std::size_t* got) = 0;
    virtual Status size(const std::string& path, uint64_t* size) = 0;
    // Sets the file's length, creating it when missing; bytes past the old
    // end read as zero.
    virtual Status truncate(const std::string& path, uint64_t size) = 0;
    // fdatasync: the file's bytes and length are on disk when this succeeds.
    // After a failure they may not be, even if a later call succeeds.
    virtual Status syncData(const std::string& path) = 0;
    // fsync of a folder: its entries (files created, renamed, removed) are
    // on disk when this succeeds.
    virtual Status syncFolder(const std::string& path) = 0;
    // Creates one folder (not its parents). Ok when it already exists as a folder.
    virtual Status makeFolder(const std::string& path) = 0;
    // Replaces `to` atomically; the folder is not flushed.
    virtual Status rename(const std::string& from, const std::string& to) = 0;
    // Swaps the two files' names in one step; the folder is not flushed.
    // NotFound when either is missing; Invalid when the file system cannot
    // (the caller then renames instead).
    virtual Status exchange(const std::string& a, const std::string& b) {
        static_cast<void>(a);
        static_cast<void>(b);
        return Status::invalid("Swapping two files is not supported here");
    }
    // Removes a file. Ok when it is already gone.
    virtual Status remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;

    // Implementations may keep descriptors open between calls (a record
    // read is then one pread). These let them go: one file, or all, as at a
    // checkpoint or close, so that other programs (backup, copy) find the
    // files closed.
    virtual void close(const std::string& path) = 0;
    virtual void closeAll() = 0;
};

}  // namespace kassio
