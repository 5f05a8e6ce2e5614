// StoreFiles: the shop's files as one station sees them, and the one way
// to change them. Names are relative to the DataFolder ("inventory.dat",
// "2026/3/14/saleslog.dat").
//
// Writes are collected in a Batch, committed to the posting journal as one
// record, and reach the files only once that record is on disk (see
// posting_journal.h). Reads go through the journal, so they see every
// commit, applied to the files or not, and the open Batch of the calling
// thread: a posting reads back what it has written so far.
//
// A posting goes like this:
//
//   uint64_t ticket = 0;
//   {
//       StoreFiles::Batch batch(files);   // takes the DataMutex
//       ... reads, then writes, appends, folders ...
//       Status s = batch.commit(&ticket);
//   }                                     // DataMutex released
//   Status durable = files.waitDurable(ticket);   // only now answer the user
//
// A Batch opened while the thread already has one joins it: its commit()
// gives ticket 0 and the outer Batch carries everything. A write made with
// no Batch open is a Batch of its own, committed and flushed before the
// write returns.
//
// Failure: once a commit or a flush has failed, the files on disk are whole
// (before or after each posting) but this run's memory may count on a
// posting that is not there, so every later write is refused until the
// station starts again and recovery has put the files and the memory back
// in step.
//
// Threads: reads may come from any thread. Batches and writes need the
// DataMutex, which a Batch takes itself (it is re-entrant).
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "base/status.h"
#include "store/file_system.h"
#include "store/posting_journal.h"
#include "store/write_batch.h"

namespace kassio {

class StoreFiles {
  public:
    // fs: the port to the disk; a PosixFileSystem when null.
    StoreFiles(std::string folder, std::recursive_mutex& dataMutex,
               std::unique_ptr<FileSystem> fs = nullptr);
    ~StoreFiles();
    StoreFiles(const StoreFiles&) = delete;
    StoreFiles& operator=(const StoreFiles&) = delete;

    const std::string& folder() const { return m_folder; }
    std::string pathOf(const std::string& name) const { return m_folder + "/" + name; }
    FileSystem& fileSystem() { return *m_fs; }

    // Flush the journal before answering and the files at a checkpoint (the
    // default). Off only in benchmarks and tests that do not crash.
    void setSync(bool sync);
    bool sync() const { return m_sync; }
    // The journal size that starts a checkpoint.
    void setCheckpointBytes(uint64_t bytes) { m_journal.setCheckpointBytes(bytes); }
    // A posting is answered once it is on disk in the journal, and the
    // journal's own threads write it into the files and run the checkpoints
    // (posting_journal.h). The stations' way; before open() only.
    Status setApplyBehind(bool behind) { return m_journal.setApplyBehind(behind); }

    // Recovery: replays what the last run left in the journal and starts a
    // fresh one. Does nothing when already open. The first write opens the
    // journal too, but a station opens it before it reads anything, so that
    // it reads the files as recovery left them.
    Status open(RecoveryResult* recovery = nullptr);
    bool isOpen() const;
    // Instead of open(), for a reader that must not write: the journal the
    // last run left is laid over the files, not replayed into them, and
    // every write is refused.
    Status openForReading();
    // After a failure (error() set): recovery again, in this run, so that
    // the files are what the journal on disk holds and writes are taken
    // again. The caller reloads whatever it keeps in memory of the files.
    Status reopen(RecoveryResult* recovery = nullptr);
    // Flushes everything and removes the journal; the folder then holds
    // only the shop's own files. Writes after it open a fresh journal.
    Status close();
    Status checkpoint();
    // A checkpoint when something was committed and nothing for `quiet`.
    Status idle(std::chrono::milliseconds quiet = std::chrono::seconds(1));
    // Ok, or why writes are refused.
    Status error() const;
    PostingJournalStats stats() const;

    // Reads as every commit (and the caller's open Batch) left the file.
    // NotFound when there is no such file.
    Status read(const std::string& name, uint64_t offset, void* buf, std::size_t len,
                std::size_t* got) const;
    Status size(const std::string& name, uint64_t* size) const;
    bool exists(const std::string& name) const;
    // Reads go through descriptors kept open: a file replaced or removed by
    // another program behind the station's back is seen as it was until
    // the descriptors are let go (fileSystem().closeAll(), or a checkpoint).
    // exists() asks by name.
    //
    // The whole file; nullopt when it is missing or cannot be read.
    std::optional<std::string> readAll(const std::string& name) const;

    // before: the len bytes at offset as the caller read them in this
    // batch, when it has them; they spare reading them again to find the
    // bytes that change.
    Status write(const std::string& name, uint64_t offset, const void* data, std::size_t len,
                 const void* before = nullptr);
    Status append(const std::string& name, const void* data, std::size_t len);
    // The file's content becomes exactly these bytes, written in place.
    Status replace(const std::string& name, const void* data, std::size_t len);
    Status makeFolder(const std::string& name);

    // The first answer given to a client's request id, if it is remembered.
    std::optional<PostingJournal::RememberedRequest> remembered(const std::string& id) const;
    Status waitDurable(uint64_t ticket);
    // Returns once every commit so far is in the files themselves, for a
    // reader that goes to a file directly (a mapping of a whole record file
    // for a search) rather than through read().
    Status settle();

    class Batch {
      public:
        explicit Batch(StoreFiles& files);
        // A Batch left without commit() is committed and flushed here, so
        // no write is ever dropped; callers that answer someone commit.
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        bool outermost() const { return m_outermost; }
        // Appends the batch to the journal. *ticket is what waitDurable()
        // takes; 0 for a joined Batch, whose writes the outer one commits.
        Status commit(uint64_t* ticket);
        // Marks the batch as the answer to a client's request id.
        void setRequest(std::string id, std::string result);
        // Drops every write of the outermost batch: nothing of it reaches the
        // journal, for an operation that must land whole or not at all. The
        // caller puts back whatever it changed in memory. A joined batch
        // cannot drop its part alone; false then, and nothing is dropped.
        bool discard();

      private:
        StoreFiles& m_files;
        std::unique_lock<std::recursive_mutex> m_lock;
        bool m_outermost = false;
        bool m_done = false;
    };

  private:
    // The journal, opened on first use. DataMutex held.
    Status ensureOpen();
    // Set by the thread that opens the outermost Batch, cleared when it
    // closes, so only that thread ever finds its own id here.
    bool ownsBatch() const {
        return m_owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }
    bool batchTouches(const std::string& name) const;
    // The file's end as the batch goes along. DataMutex held.
    Status endOf(const std::string& name, uint64_t* end);
    Status addWrite(const std::string& name, uint64_t offset, const void* data, std::size_t len,
                    const void* before = nullptr);
    Status refused() const;
    static Status readOnlyRefusal() {
        return Status::invalid("The data folder is open for reading only");
    }

    const std::string m_folder;
    std::recursive_mutex& m_mutex;
    std::unique_ptr<FileSystem> m_fs;
    PostingJournal m_journal;
    std::atomic<bool> m_sync{true};
    bool m_readOnly = false;  // set once by openForReading()

    // The Batch under way: built by the thread holding the DataMutex.
    WriteBatch m_batch;
    int m_depth = 0;
    std::atomic<std::thread::id> m_owner{};
    // Each file's length as the batch goes along.
    std::unordered_map<std::string, uint64_t> m_ends;
    // Files exists() found there during the batch.
    mutable std::unordered_set<std::string> m_seen;
    std::atomic<int64_t> m_lastCommit{0};  // steady-clock ticks of the last commit
    std::atomic<bool> m_committedSinceCheckpoint{false};
};

}  // namespace kassio
