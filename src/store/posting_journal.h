// PostingJournal: the one write path of the shop's files. Callers describe a
// change as a WriteBatch; the journal appends it as one checksummed record
// to posting.journal (layout in posting_journal_format.h), flushes once for
// every record waiting (group commit), then applies the writes to the data
// files without flushing them. A checkpoint flushes the data files and
// empties the journal; opening a folder replays whatever the last run left.
//
// A posting goes like this:
//
//   {   // the caller's data lock held
//       ... read through read()/size(), build the batch ...
//       uint64_t ticket;
//       Status s = journal.commit(std::move(batch), &ticket);
//   }   // data lock released
//   Status durable = journal.waitDurable(ticket);   // only now answer the user
//
// When the writes reach the files. A record is applied to the data files
// only after its group's flush has succeeded. Applying earlier would let the
// kernel write a data page before the journal page that explains it; a
// crash then leaves the files holding part of a batch whose record is a torn
// tail, and a redo log cannot take that back. So a committed record waits in
// memory until it is durable, and read() and size() lay the waiting writes
// over the file's bytes: under the data lock a caller always sees its own
// and everyone's earlier commits, applied or not.
//
// Failures. Nothing is acknowledged before its record is on disk. If the
// journal cannot be written or flushed, every record not yet durable fails,
// the journal is cut back to its last durable end (so a later start cannot
// replay them), and the journal refuses further commits: callers' in-memory
// state may have counted on the failed records, so the station reopens the
// folder (recovery) before posting again. If a durable record cannot be
// applied, its posting still succeeds (recovery redoes it); the journal
// keeps it for reads and likewise refuses further commits.
//
// Request ids. A batch may carry a client's request id and the answer it
// was given. The journal remembers the last requestMemory of them; a retried
// request finds its first answer with remembered() instead of posting twice.
// They survive a crash (replayed with their records) and a checkpoint (the
// fresh journal starts with a record of all of them). A clean close removes
// the journal, and the ids with it, so that the folder then holds only the
// shop's own files; the station server stops taking requests before it closes.
//
// Applying behind (PostingJournalOptions::applyBehind, the stations' way).
// The thread that flushes a group answers its callers as soon as the flush
// is done; a worker thread of the journal applies the records to the files
// in order, and another runs the checkpoints: it flushes the data files
// while postings go on, then holds new commits back only for the short
// second flush of what was written meanwhile and the swap of the journal.
// Reads through read() and size() see every commit either way; a reader
// that goes to the files by another way calls waitApplied() first.
//
// Thread safety: every member may be called from any thread. commit() is
// called with the caller's data lock held (so the append offsets it resolves
// stay the caller's), waitDurable() without it (so others can post while the
// disk works). checkpoint(), idle() and close() need no lock; a commit made
// meanwhile waits until they are done.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "base/status.h"
#include "store/file_system.h"
#include "store/write_batch.h"

namespace kassio {

struct PostingJournalOptions {
    // Flush the journal before acknowledging, and the data files at a
    // checkpoint. Off only in benchmarks that measure the work apart from
    // the disk: a crash may then lose acknowledged postings.
    bool sync = true;
    // A checkpoint runs once the journal has grown to this many bytes.
    uint64_t checkpointBytes = 4u << 20;
    // Request ids remembered (the oldest is forgotten first).
    std::size_t requestMemory = 4096;
    // Zeros written ahead of the journal's end at least, so that a flush
    // finds its blocks already there (posting_journal_format.h).
    uint64_t minRoom = 256u << 10;
    // Apply and checkpoint on the journal's own threads (see above) instead
    // of in the thread that waits for a posting.
    bool applyBehind = false;
};

struct RecoveryResult {
    uint64_t records = 0;       // batches replayed
    uint64_t droppedBytes = 0;  // the torn tail: bytes after the last whole record
};

// What a journal holds, without applying any of it (for a check command).
struct JournalContents {
    std::vector<WriteBatch> batches;  // in order, appends resolved
    std::size_t rememberedRequests = 0;
    uint64_t wholeBytes = 0;    // up to the end of the last whole record
    uint64_t droppedBytes = 0;  // the torn record after it
    uint64_t roomBytes = 0;     // then the file's room: zeros, or records of an earlier use
};

struct PostingJournalStats {
    uint64_t commits = 0;
    uint64_t groups = 0;  // flush rounds: each covers every record committed before it
    uint64_t journalSyncs = 0;
    uint64_t checkpoints = 0;
    uint64_t journalBytes = 0;  // the journal file's length now
};

class PostingJournal {
  public:
    // Room is written ahead of the journal's end in steps of its size so
    // far, at least PostingJournalOptions::minRoom and at most kMaxRoomStep:
    // the group that writes a step waits for it to be flushed, so a step is
    // kept small enough not to stand out among the postings' waits.
    static constexpr uint64_t kMaxRoomStep = 512u << 10;
    static constexpr std::size_t kZeroChunk = 1u << 20;

    struct RememberedRequest {
        std::string result;
        uint64_t ticket = 0;  // wait for it before answering: the first may still be flushing
    };

    // The journal of the DataFolder `folder` (which must exist), through fs,
    // which must outlive it. Nothing happens until open().
    PostingJournal(FileSystem& fs, std::string folder, PostingJournalOptions options = {});
    // Without close() this is a crash as far as the files are concerned:
    // records not yet flushed are lost, the next open() replays the rest.
    ~PostingJournal();
    PostingJournal(const PostingJournal&) = delete;
    PostingJournal& operator=(const PostingJournal&) = delete;

    // Recovery: replays every whole record the last run left in order, drops
    // a torn tail, flushes the files and starts a fresh journal. On failure
    // the old journal is left as it was, to be replayed by the next open().
    Status open(RecoveryResult* recovery = nullptr);
    // After a failure: forgets everything this run holds in memory (records
    // not yet in the files, request ids, the failure) and opens again, so
    // that the files are what the journal on disk says. Nothing may be
    // committed meanwhile (the caller holds its data lock).
    Status reopen(RecoveryResult* recovery = nullptr);

    // Validates the batch, resolves its appends to the ends of the files as
    // this journal sees them, and appends its record to the journal's
    // buffer. On success *ticket is what waitDurable() takes; the batch is
    // visible to read() and size() at once.
    Status commit(WriteBatch&& batch, uint64_t* ticket);
    // Returns once the record of ticket is on disk (or has failed), flushing
    // for every waiting record when no other thread is. Ok means the posting
    // will survive a crash. May run a checkpoint when the journal is full.
    Status waitDurable(uint64_t ticket);
    // Returns once the record of ticket is on disk and in the files
    // themselves (the same as waitDurable() unless applying behind). Not ok
    // when it failed or cannot be applied in this run.
    Status waitApplied(uint64_t ticket);

    // The file's bytes as every commit so far left them. NotFound when the
    // file neither exists nor is written by a waiting record.
    Status read(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                std::size_t* got);
    Status size(const std::string& path, uint64_t* size);

    std::optional<RememberedRequest> remembered(const std::string& id) const;
    // Whether a committed record not yet in the files writes to path.
    bool writesPending(const std::string& path) const;

    // Flushes every data file and folder written since the last checkpoint,
    // then replaces the journal with a fresh one holding only the request
    // ids. idle() does it when anything was posted since the last one.
    Status checkpoint();
    Status idle();
    // Checkpoint, then remove the journal and let every descriptor go.
    Status close();

    // Whether flushes happen (PostingJournalOptions::sync); a benchmark
    // switches it between runs, with nothing in flight.
    void setSync(bool sync);
    void setCheckpointBytes(uint64_t bytes);
    // PostingJournalOptions::applyBehind; only before open().
    Status setApplyBehind(bool behind);

    bool isOpen() const;
    // The newest ticket given; waitDurable() of it covers every commit so far.
    uint64_t lastTicket() const;
    // Ok, or the failure that stopped this journal taking commits.
    Status error() const;
    PostingJournalStats stats() const;

    // Reads the folder's journal without applying it.
    static Status pending(FileSystem& fs, const std::string& folder, JournalContents* contents);
    // For a journal never opened: lays these records (as pending() read
    // them) over the files for read(), size() and writesPending(), so that a
    // reader sees the files as recovery would leave them without writing
    // anything. A run killed while applying a record leaves the files part
    // before and part after it; only the journal makes them agree.
    Status layOver(const std::vector<WriteBatch>& batches);

  private:
    struct Pending {
        uint64_t seq;
        WriteBatch batch;  // appends resolved to writes
        // The files its ops name, each once: a read asks every waiting
        // record whether it touches the file, and a posting's ops name a
        // few files many times.
        std::vector<std::string_view> paths;
    };
    using PendingPtr = std::shared_ptr<const Pending>;
    // What all the records laid over a file leave of it (layOver()): the
    // bytes they leave where they write (disjoint, by offset), where a
    // truncation left zeros behind, and its length. A read looks up only
    // the parts it covers, however many records the journal holds.
    struct LaidOver {
        std::map<uint64_t, std::string> extents;
        uint64_t zeroFrom = UINT64_MAX;
        uint64_t end = 0;
        bool folder = false;
        void write(uint64_t offset, const std::string& bytes);
        void cut(uint64_t length);
    };
    Status readLaidOver(const std::string& path, const LaidOver& over, uint64_t offset, void* buf,
                        std::size_t len, std::size_t* got);
    struct Remembered {
        std::string result;
        uint64_t seq;     // the ticket of its record; 0 when read at open
        uint64_t serial;  // its place in m_requestOrder
    };

    std::string pathOf(const std::string& relative) const { return m_folder + "/" + relative; }
    // Waiting records that touch path, oldest first. m_mutex held.
    std::vector<PendingPtr> pendingFor(const std::string& path) const;
    // The file's length with the waiting records laid over it. m_mutex held
    // (commit) or not (size); reads the file's own length through m_fs.
    Status logicalSize(const std::string& path, const std::vector<PendingPtr>& over,
                       uint64_t* size);
    // Writes one resolved batch to the files; notes what a checkpoint flushes.
    Status apply(const WriteBatch& batch, std::set<std::string>* files,
                 std::set<std::string>* folders);
    void setError(Status s);  // m_mutex held
    // m_mutex, taken the way the hot paths take it (brief_lock.h).
    std::unique_lock<std::mutex> lockMutex() const;
    void remember(const std::string& id, std::string result, uint64_t seq);
    std::string requestsRecord(uint64_t epoch) const;  // m_mutex held
    // Zeros over [from, to) of path: room the journal writes into later.
    Status writeZeros(const std::string& path, uint64_t from, uint64_t to);
    // Writes head at the start of the spare, with room after it.
    Status prepareSpare(const std::string& path, const std::string& head, uint64_t* room);
    // The checkpoint proper; the caller has set m_checkpointing. letGo: the
    // data files' descriptors are closed after their flush.
    Status checkpointLocked(std::unique_lock<std::mutex>& lock, bool letGo = true);
    Status waitDurableLocked(std::unique_lock<std::mutex>& lock, uint64_t ticket);
    // Until every record up to ticket upTo is in the files (failed ones
    // never are; they are dropped), or applying has stopped.
    void waitAppliedLocked(std::unique_lock<std::mutex>& lock, uint64_t upTo);
    // The threads of applyBehind; started by open(), stopped (whatever they
    // were doing left as a crash would) by close(), reopen() and the
    // destructor. Neither with m_mutex held.
    void startWorkers();
    void stopWorkers();
    void applierLoop();
    void checkpointerLoop();

    FileSystem& m_fs;
    const std::string m_folder;
    const std::string m_journalPath;
    PostingJournalOptions m_options;  // sync changes under m_mutex

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::condition_variable m_applyWake;       // the applier's: records became durable
    std::condition_variable m_checkpointWake;  // the checkpointer's: the journal is full
    bool m_open = false;
    Status m_error;                     // set through setError()
    std::atomic<bool> m_failed{false};  // !m_error.isOk(), read without m_mutex
    // Records committed and not yet applied, in order; shared with readers
    // that lay them over file bytes outside m_mutex.
    std::deque<PendingPtr> m_pending;
    std::unordered_map<std::string, LaidOver> m_laidOver;  // set once, before any read
    std::string m_buffer;       // their records not yet written to the journal
    uint64_t m_lastSeq = 0;     // the newest ticket given
    uint64_t m_doneSeq = 0;     // every ticket up to here is durable or failed
    uint64_t m_durableSeq = 0;  // the newest ticket on disk (failed ones never are)
    uint64_t m_failedFrom = 0;  // failed tickets: (from, to]
    uint64_t m_failedTo = 0;
    uint64_t m_journalSize = 0;  // bytes of the journal file written so far
    uint64_t m_freshSize = 0;    // its length right after the last checkpoint
    uint64_t m_room = 0;         // the file's length: zeros or stale records after m_journalSize
    uint64_t m_epoch = 0;        // of the records written now (posting_journal_format.h)
    bool m_leading = false;      // a thread is writing and flushing a group
    bool m_checkpointing = false;
    bool m_checkpointWanted = false;  // the journal is full: a job for the checkpointer
    bool m_stopping = false;
    std::thread m_applier;
    std::thread m_checkpointer;
    std::set<std::string> m_touchedFiles;    // absolute paths written since the checkpoint
    std::set<std::string> m_touchedFolders;  // folders whose entries changed
    std::unordered_map<std::string, Remembered> m_requests;
    std::deque<std::pair<std::string, uint64_t>> m_requestOrder;  // (id, serial), oldest first
    uint64_t m_requestSerial = 0;
    PostingJournalStats m_stats;
};

}  // namespace kassio
