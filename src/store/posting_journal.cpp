#include "store/posting_journal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <string_view>

#include "store/brief_lock.h"
#include "store/crc32c.h"
#include "store/posting_journal_format.h"

namespace kassio {

namespace jf = journal_format;

namespace {

template <typename T>
void put(std::string& out, T v) {
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    out.append(b, sizeof v);
}

template <typename T>
T take(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint32_t legacyCrc(uint8_t type, std::string_view payload) {
    return crc32c::extend(crc32c::value(&type, 1), payload.data(), payload.size());
}

uint32_t recordCrc(uint8_t type, uint64_t epoch, std::string_view payload) {
    uint32_t c = crc32c::value(&type, 1);
    c = crc32c::extend(c, &epoch, sizeof epoch);
    return crc32c::extend(c, payload.data(), payload.size());
}

void appendRecord(std::string& out, jf::RecordType type, uint64_t epoch, std::string_view payload) {
    put<uint32_t>(out, static_cast<uint32_t>(payload.size()));
    put<uint32_t>(out, crc32c::mask(recordCrc(type, epoch, payload)));
    put<uint8_t>(out, type);
    put<uint64_t>(out, epoch);
    out.append(payload);
}

std::string fileHeader(uint64_t epoch) {
    std::string out(jf::kMagic, sizeof jf::kMagic);
    put<uint64_t>(out, epoch);
    put<uint32_t>(out, crc32c::mask(crc32c::value(out.data(), out.size())));
    return out;
}

// A fresh epoch for each start of the file: never 0, so that zeros are never
// taken for a record, and drawn at random, so that no record left from an
// earlier use of the file is taken for one of this use.
uint64_t newEpoch() {
    static std::mutex lock;
    static std::mt19937_64 random([] {
        std::random_device device;
        return (uint64_t{device()} << 32) ^ device() ^
               static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }());
    std::lock_guard guard(lock);
    uint64_t e = 0;
    while (e == 0) e = random();
    return e;
}

// Where the zeros at the end of data begin.
std::size_t zeroSuffixStart(std::string_view data) {
    std::size_t n = data.size();
    while (n > 0 && data[n - 1] == 0) --n;
    return n;
}

// Where a scan of the journal stopped.
struct ScanEnd {
    uint64_t whole = 0;    // end of the last whole record
    uint64_t dropped = 0;  // the torn record after it
    uint64_t room = 0;     // then zeros or records of an earlier epoch
};

// Calls fn(type, payload) for each whole record from the start while fn
// returns true. A short record, a failed checksum or a record fn refuses
// ends the scan: from there on is the torn tail, but for the zeros at the
// end of the file. In the current layout a record of another epoch ends it
// too, as room: the rest of a reused file.
template <typename Fn>
ScanEnd scanRecords(std::string_view data, Fn&& fn) {
    ScanEnd end;
    if (data.size() >= jf::kFileHeaderSize &&
        std::memcmp(data.data(), jf::kMagic, sizeof jf::kMagic) == 0 &&
        crc32c::unmask(take<uint32_t>(data.data() + 16)) == crc32c::value(data.data(), 16)) {
        const uint64_t epoch = take<uint64_t>(data.data() + 8);
        std::size_t pos = jf::kFileHeaderSize;
        for (;; pos = end.whole) {
            end.whole = pos;
            const std::size_t rest = data.size() - pos;
            bool torn = rest < jf::kHeaderSize;
            if (!torn) {
                const char* h = data.data() + pos;
                const uint32_t len = take<uint32_t>(h);
                const uint32_t crc = crc32c::unmask(take<uint32_t>(h + 4));
                const uint8_t type = static_cast<uint8_t>(h[8]);
                if (take<uint64_t>(h + 9) != epoch) {
                    end.room = rest;
                    return end;
                }
                torn = len > jf::kMaxPayload || rest - jf::kHeaderSize < len;
                if (!torn) {
                    std::string_view payload = data.substr(pos + jf::kHeaderSize, len);
                    torn = recordCrc(type, epoch, payload) != crc || !fn(type, payload);
                    end.whole = pos + jf::kHeaderSize + len;
                }
            }
            if (torn) {
                end.whole = pos;
                const std::size_t zeros = std::max(pos, zeroSuffixStart(data));
                end.dropped = zeros - pos;
                end.room = data.size() - zeros;
                return end;
            }
        }
    }
    std::size_t pos = 0;
    while (data.size() - pos >= jf::kLegacyHeaderSize) {
        const char* h = data.data() + pos;
        const uint32_t len = take<uint32_t>(h);
        const uint32_t crc = crc32c::unmask(take<uint32_t>(h + 4));
        const uint8_t type = static_cast<uint8_t>(h[8]);
        if (len > jf::kMaxPayload || data.size() - pos - jf::kLegacyHeaderSize < len) break;
        std::string_view payload = data.substr(pos + jf::kLegacyHeaderSize, len);
        if (legacyCrc(type, payload) != crc) break;
        if (!fn(type, payload)) break;
        pos += jf::kLegacyHeaderSize + len;
    }
    end.whole = pos;
    end.dropped = data.size() - pos;
    return end;
}

// The entries of a kRequests record, or false when it is malformed.
bool parseRequests(std::string_view in, std::vector<WriteBatch::Request>* out) {
    if (in.size() < 4) return false;
    const uint32_t count = take<uint32_t>(in.data());
    in.remove_prefix(4);
    for (uint32_t i = 0; i < count; ++i) {
        WriteBatch::Request r;
        if (in.size() < 2) return false;
        const uint16_t idLen = take<uint16_t>(in.data());
        in.remove_prefix(2);
        if (in.size() < idLen + 4u) return false;
        r.id.assign(in.data(), idLen);
        in.remove_prefix(idLen);
        const uint32_t resultLen = take<uint32_t>(in.data());
        in.remove_prefix(4);
        if (in.size() < resultLen) return false;
        r.result.assign(in.data(), resultLen);
        in.remove_prefix(resultLen);
        out->push_back(std::move(r));
    }
    return in.empty();
}

// The whole journal file; empty when there is none.
Status readJournal(FileSystem& fs, const std::string& path, std::string* data) {
    data->clear();
    uint64_t size = 0;
    Status s = fs.size(path, &size);
    if (s.kind() == Status::Kind::kNotFound) return Status::ok();
    if (!s) return s;
    data->resize(size);
    std::size_t got = 0;
    s = fs.readAt(path, 0, data->data(), data->size(), &got);
    data->resize(got);
    return s;
}

// Flushes the data files, then the folders.
Status flushAll(FileSystem& fs, const std::set<std::string>& files,
                const std::set<std::string>& folders) {
    // A file or folder removed since it was written has nothing left to flush.
    auto flushed = [](Status s) { return s.kind() == Status::Kind::kNotFound ? Status::ok() : s; };
    for (const std::string& f : files)
        if (Status s = flushed(fs.syncData(f)); !s) return s;
    for (const std::string& f : folders)
        if (Status s = flushed(fs.syncFolder(f)); !s) return s;
    return Status::ok();
}

// A durable record that could not be written to the files: recovery writes it.
Status notApplied(const Status& why) {
    return Status::ioError(
        "A posting is saved but could not be written to the data files; it is written when the "
        "data is next opened: " +
        why.message());
}

std::string parentOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

}  // namespace

PostingJournal::PostingJournal(FileSystem& fs, std::string folder, PostingJournalOptions options)
    : m_fs(fs),
      m_folder(std::move(folder)),
      m_journalPath(m_folder + "/" + jf::kFileName),
      m_options(options) {}

PostingJournal::~PostingJournal() {
    stopWorkers();
}

Status PostingJournal::open(RecoveryResult* recovery) {
    std::unique_lock lock(m_mutex);
    if (m_open) return Status::invalid("The posting journal is already open");
    // A spare left by the last run (a checkpoint that stopped before its
    // swap among them) holds nothing needed: the journal has everything.
    // It is kept for its room.
    std::string data;
    if (Status s = readJournal(m_fs, m_journalPath, &data); !s) return s;
    RecoveryResult result;
    Status failed;
    std::set<std::string> files, folders;
    const ScanEnd end = scanRecords(data, [&](uint8_t type, std::string_view payload) {
        if (type == jf::kBatch) {
            WriteBatch batch;
            if (!WriteBatch::deserialize(payload, &batch)) return false;
            failed = apply(batch, &files, &folders);
            if (!failed) return false;
            if (batch.request()) remember(batch.request()->id, batch.request()->result, 0);
            ++result.records;
            return true;
        }
        if (type == jf::kRequests) {
            std::vector<WriteBatch::Request> requests;
            if (!parseRequests(payload, &requests)) return false;
            for (auto& r : requests) remember(r.id, std::move(r.result), 0);
            return true;
        }
        return false;
    });
    if (!failed) {
        // The journal stays as it is; the next open replays it again.
        m_requests.clear();
        m_requestOrder.clear();
        return failed;
    }
    result.droppedBytes = end.dropped;

    m_touchedFiles = std::move(files);
    m_touchedFolders = std::move(folders);
    m_journalSize = data.size();
    setError(Status::ok());
    m_checkpointing = true;
    Status s = checkpointLocked(lock);
    m_checkpointing = false;
    if (!s) {
        m_requests.clear();
        m_requestOrder.clear();
        return s;
    }
    m_open = true;
    m_durableSeq = m_doneSeq = m_lastSeq;
    if (recovery) *recovery = result;
    const bool behind = m_options.applyBehind;
    // The fresh journal's room is short of a whole journal: the checkpointer
    // prepares the spare and swaps it in.
    if (behind && m_options.sync && m_room < m_options.checkpointBytes) m_checkpointWanted = true;
    lock.unlock();
    if (behind) startWorkers();
    m_checkpointWake.notify_all();
    return Status::ok();
}

Status PostingJournal::reopen(RecoveryResult* recovery) {
    // What the workers hold in memory goes with the rest; the files are
    // read again from the journal on disk.
    stopWorkers();
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_checkpointing && !m_leading; });
        m_open = false;
        m_pending.clear();
        m_buffer.clear();
        m_requests.clear();
        m_requestOrder.clear();
        m_touchedFiles.clear();
        m_touchedFolders.clear();
        // Tickets given so far stay answered as they were; new ones follow on.
        m_doneSeq = m_lastSeq;
    }
    // Descriptors and mappings of this run go: the files are read afresh.
    m_fs.closeAll();
    return open(recovery);
}

std::vector<PostingJournal::PendingPtr> PostingJournal::pendingFor(const std::string& path) const {
    std::vector<PendingPtr> out;
    for (const PendingPtr& p : m_pending)
        if (std::find(p->paths.begin(), p->paths.end(), path) != p->paths.end()) out.push_back(p);
    return out;
}

Status PostingJournal::logicalSize(const std::string& path, const std::vector<PendingPtr>& over,
                                   uint64_t* size) {
    uint64_t end = 0;
    Status s = m_fs.size(pathOf(path), &end);
    if (s.kind() == Status::Kind::kNotFound && !over.empty()) {
        end = 0;
    } else if (!s) {
        return s;
    }
    // The file may already hold some of these records; laying all of them
    // over it again gives the same length, as replay does.
    for (const PendingPtr& p : over) {
        for (const WriteBatch::Op& op : p->batch.ops()) {
            if (op.path != path) continue;
            if (op.kind == WriteBatch::OpKind::kWrite)
                end = std::max<uint64_t>(end, op.offset + op.bytes.size());
            else if (op.kind == WriteBatch::OpKind::kTruncate)
                end = op.offset;
        }
    }
    *size = end;
    return Status::ok();
}

Status PostingJournal::commit(WriteBatch&& batch, uint64_t* ticket) {
    auto lock = lockMutex();
    m_changed.wait(lock, [&] { return !m_checkpointing; });
    if (!m_open) return Status::invalid("The posting journal is not open");
    if (!m_error) return m_error;
    if (Status s = batch.validate(); !s) return s;

    // Each appended path's end as this batch goes along: the file's length
    // with every earlier commit laid over it. Only appends need it (the
    // station's own batches come with their appends resolved already).
    std::set<std::string_view> appended;
    for (const WriteBatch::Op& op : batch.ops())
        if (op.kind == WriteBatch::OpKind::kAppend) appended.insert(op.path);
    std::unordered_map<std::string, uint64_t> ends;
    for (WriteBatch::Op& op : batch.ops()) {
        if (op.kind == WriteBatch::OpKind::kMakeFolder || !appended.count(op.path)) continue;
        auto it = ends.find(op.path);
        if (it == ends.end()) {
            uint64_t size = 0;
            Status s = logicalSize(op.path, pendingFor(op.path), &size);
            if (s.kind() == Status::Kind::kNotFound) {
                size = 0;
            } else if (!s) {
                return s;
            }
            it = ends.emplace(op.path, size).first;
        }
        switch (op.kind) {
            case WriteBatch::OpKind::kAppend:
                op.kind = WriteBatch::OpKind::kWrite;
                op.offset = it->second;
                it->second += op.bytes.size();
                break;
            case WriteBatch::OpKind::kWrite:
                it->second = std::max<uint64_t>(it->second, op.offset + op.bytes.size());
                break;
            case WriteBatch::OpKind::kTruncate:
                it->second = op.offset;
                break;
            case WriteBatch::OpKind::kMakeFolder:
                break;
        }
    }

    const uint64_t seq = ++m_lastSeq;
    auto pending = std::make_shared<Pending>(Pending{seq, std::move(batch), {}});
    for (const WriteBatch::Op& op : pending->batch.ops())
        if (std::find(pending->paths.begin(), pending->paths.end(), op.path) ==
            pending->paths.end())
            pending->paths.push_back(op.path);
    appendRecord(m_buffer, jf::kBatch, m_epoch, pending->batch.serialize());
    if (const auto& r = pending->batch.request()) remember(r->id, r->result, seq);
    m_pending.push_back(std::move(pending));
    ++m_stats.commits;
    *ticket = seq;
    return Status::ok();
}

Status PostingJournal::apply(const WriteBatch& batch, std::set<std::string>* files,
                             std::set<std::string>* folders) {
    for (const WriteBatch::Op& op : batch.ops()) {
        const std::string path = pathOf(op.path);
        Status s;
        switch (op.kind) {
            case WriteBatch::OpKind::kWrite:
                s = m_fs.writeAt(path, op.offset, op.bytes.data(), op.bytes.size());
                files->insert(path);
                break;
            case WriteBatch::OpKind::kTruncate:
                s = m_fs.truncate(path, op.offset);
                files->insert(path);
                break;
            case WriteBatch::OpKind::kMakeFolder:
                s = m_fs.makeFolder(path);
                folders->insert(path);
                break;
            case WriteBatch::OpKind::kAppend:
                return Status::corruption("Posting journal record holds an unresolved append");
        }
        // The entry of a file or folder made here lives in its parent.
        folders->insert(parentOf(path));
        if (!s) return s;
    }
    return Status::ok();
}

Status PostingJournal::waitDurable(uint64_t ticket) {
    auto lock = lockMutex();
    Status s = waitDurableLocked(lock, ticket);
    if (s && m_open && !m_options.applyBehind && !m_checkpointing && m_error &&
        m_journalSize >= m_options.checkpointBytes && m_journalSize > m_freshSize) {
        // The posting is durable whatever happens here; a failed checkpoint
        // is kept in error() when it matters.
        m_checkpointing = true;
        if (waitDurableLocked(lock, m_lastSeq) && m_error)
            static_cast<void>(checkpointLocked(lock));
        m_checkpointing = false;
        m_changed.notify_all();
    }
    return s;
}

Status PostingJournal::waitDurableLocked(std::unique_lock<std::mutex>& lock, uint64_t ticket) {
    if (ticket > m_lastSeq) return Status::invalid("No posting has this ticket");
    while (m_doneSeq < ticket) {
        if (m_leading) {
            m_changed.wait(lock);
            continue;
        }
        // This thread writes and flushes for every record committed so far.
        m_leading = true;
        const uint64_t from = m_doneSeq;
        const uint64_t upTo = m_lastSeq;
        const uint64_t at = m_journalSize;
        std::string records;
        records.swap(m_buffer);
        std::vector<PendingPtr> group;
        for (const PendingPtr& p : m_pending)
            if (p->seq > from && p->seq <= upTo) group.push_back(p);
        // After a failed apply the files lag behind; later records wait for
        // recovery too, so the files never hold a newer record over a
        // missing older one.
        const bool mayApply = m_error.isOk() && !m_options.applyBehind;
        const bool sync = m_options.sync;
        const uint64_t roomBefore = m_room;
        const uint64_t minRoom = std::min(m_options.minRoom, kMaxRoomStep);
        lock.unlock();

        Status s = m_fs.writeAt(m_journalPath, at, records.data(), records.size());
        // Room ahead of the end, written now and flushed with these records:
        // the following groups then flush only their own bytes. Without
        // flushing there is nothing for it to make cheaper.
        uint64_t room = 0;
        if (s && sync && at + records.size() > roomBefore) {
            room = at + records.size() + std::clamp<uint64_t>(roomBefore, minRoom, kMaxRoomStep);
            s = writeZeros(m_journalPath, at + records.size(), room);
        }
        const bool syncing = s && sync;
        if (syncing) s = m_fs.syncData(m_journalPath);
        std::set<std::string> files, folders;
        Status applied;
        std::size_t appliedCount = 0;
        if (s && mayApply) {
            for (const PendingPtr& p : group) {
                applied = apply(p->batch, &files, &folders);
                if (!applied) break;
                ++appliedCount;
            }
        }
        Status rollback;
        if (!s) {
            // Cut the journal back to its last durable end, so that no
            // later start replays a record reported as failed.
            rollback = m_fs.truncate(m_journalPath, at);
            if (rollback && sync) rollback = m_fs.syncData(m_journalPath);
        }

        lockBriefly(lock);
        ++m_stats.groups;
        if (syncing) ++m_stats.journalSyncs;
        if (s) {
            m_journalSize = at + records.size();
            m_room = std::max(m_room, room);
            m_touchedFiles.merge(files);
            m_touchedFolders.merge(folders);
            for (std::size_t i = 0; i < appliedCount; ++i) m_pending.pop_front();
            m_durableSeq = upTo;
            if (m_options.applyBehind) {
                m_applyWake.notify_one();
                if (!m_checkpointWanted && m_journalSize >= m_options.checkpointBytes &&
                    m_journalSize > m_freshSize) {
                    m_checkpointWanted = true;
                    m_checkpointWake.notify_one();
                }
            }
            if (!applied && m_error) setError(notApplied(applied));
        } else {
            m_failedFrom = from;
            m_failedTo = m_lastSeq;
            std::erase_if(m_pending, [&](const PendingPtr& p) { return p->seq > from; });
            std::erase_if(m_requests, [&](const auto& e) { return e.second.seq > from; });
            m_buffer.clear();
            m_room = at;
            setError(rollback ? Status::ioError("The posting was not saved: " + s.message())
                              : Status::ioError("The posting may not have been saved (" +
                                                s.message() + "); reopen the data to find out"));
        }
        m_doneSeq = m_lastSeq;
        if (s) m_doneSeq = upTo;
        m_stats.journalBytes = m_journalSize;
        m_leading = false;
        m_changed.notify_all();
    }
    if (ticket > m_failedFrom && ticket <= m_failedTo) return m_error;
    return Status::ok();
}

Status PostingJournal::waitApplied(uint64_t ticket) {
    std::unique_lock lock(m_mutex);
    if (Status s = waitDurableLocked(lock, ticket); !s) return s;
    waitAppliedLocked(lock, ticket);
    if (m_pending.empty() || m_pending.front()->seq > ticket) return Status::ok();
    return m_error ? Status::ioError("The posting journal stopped before applying a posting")
                   : m_error;
}

void PostingJournal::waitAppliedLocked(std::unique_lock<std::mutex>& lock, uint64_t upTo) {
    m_changed.wait(lock, [&] {
        return m_pending.empty() || m_pending.front()->seq > upTo || !m_error.isOk() || m_stopping;
    });
}

void PostingJournal::startWorkers() {
    std::lock_guard lock(m_mutex);
    if (m_applier.joinable()) return;
    m_stopping = false;
    m_applier = std::thread([this] { applierLoop(); });
    m_checkpointer = std::thread([this] { checkpointerLoop(); });
}

void PostingJournal::stopWorkers() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_applier.joinable()) return;
        m_stopping = true;
    }
    m_changed.notify_all();
    m_applyWake.notify_all();
    m_checkpointWake.notify_all();
    m_applier.join();
    m_checkpointer.join();
    std::lock_guard lock(m_mutex);
    m_stopping = false;
    m_checkpointWanted = false;
}

void PostingJournal::applierLoop() {
    auto lock = lockMutex();
    for (;;) {
        m_applyWake.wait(lock, [&] {
            return m_stopping ||
                   (m_error.isOk() && !m_pending.empty() && m_pending.front()->seq <= m_durableSeq);
        });
        if (m_stopping) return;
        // In order, and only what is on disk: see "When the writes reach the files".
        std::vector<PendingPtr> group;
        for (const PendingPtr& p : m_pending) {
            if (p->seq > m_durableSeq) break;
            group.push_back(p);
        }
        lock.unlock();
        std::set<std::string> files, folders;
        Status applied;
        std::size_t count = 0;
        for (const PendingPtr& p : group) {
            applied = apply(p->batch, &files, &folders);
            if (!applied) break;
            ++count;
        }
        lockBriefly(lock);
        m_touchedFiles.merge(files);
        m_touchedFolders.merge(folders);
        // Nothing else takes records from the front while the applier runs:
        // a failed flush drops only records after every durable one, and
        // reopen() stops this thread first.
        for (std::size_t i = 0; i < count; ++i) m_pending.pop_front();
        if (!applied && m_error) setError(notApplied(applied));
        m_changed.notify_all();
    }
}

void PostingJournal::checkpointerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_checkpointWake.wait(lock, [&] { return m_stopping || m_checkpointWanted; });
        if (m_stopping) return;
        // A journal started with little room (every start, as a clean close
        // removes it) grows in steps that the postings crossing them wait
        // for. So the spare is given the room of a whole journal here, and
        // swapped in at once.
        const bool early =
            m_room < m_options.checkpointBytes && m_journalSize < m_options.checkpointBytes;
        // What is on disk in the journal now is in the files first, so that
        // the flush below takes the bulk of what the checkpoint covers.
        waitAppliedLocked(lock, m_durableSeq);
        if (m_stopping) return;
        // First the bulk: every data file written so far is flushed while
        // postings go on (they write to the files meanwhile, which a flush
        // allows; the second flush below takes what they wrote).
        const std::set<std::string> files = m_touchedFiles;
        const std::set<std::string> folders = m_touchedFolders;
        const bool sync = m_options.sync;
        lock.unlock();
        Status s;
        if (sync) s = flushAll(m_fs, files, folders);
        // The spare's room, written and flushed while postings go on; it is
        // not the journal yet, so nothing depends on it (a failure here
        // shows in the checkpoint, which writes the spare again).
        bool spareReady = false;
        if (s && sync) {
            const std::string spare = pathOf(jf::kFreshFileName);
            const uint64_t want = m_options.checkpointBytes + kMaxRoomStep;
            uint64_t size = 0;
            if (!m_fs.size(spare, &size)) size = 0;
            spareReady = size >= want || (writeZeros(spare, size, want) && m_fs.syncData(spare));
        }
        lock.lock();
        m_checkpointWanted = false;
        if (!s) {
            // As in checkpointLocked(): pages a failed flush dropped come back
            // only from the journal, which must therefore stay.
            if (m_error)
                setError(Status::ioError("The data files could not be flushed: " + s.message()));
            m_changed.notify_all();
            continue;
        }
        m_changed.wait(lock, [&] { return m_stopping || !m_checkpointing; });
        if (m_stopping) return;
        // An explicit checkpoint may have emptied the journal meanwhile.
        const bool full = m_journalSize >= m_options.checkpointBytes && m_journalSize > m_freshSize;
        if (!m_open || !m_error || !(full || (early && spareReady))) continue;
        // Then the checkpoint proper, with new commits held back: what was
        // written since the first flush, the fresh journal and the swap.
        m_checkpointing = true;
        if (waitDurableLocked(lock, m_lastSeq) && m_error) {
            waitAppliedLocked(lock, m_lastSeq);
            if (m_error && !m_stopping &&
                (m_pending.empty() || m_pending.front()->seq > m_durableSeq))
                static_cast<void>(checkpointLocked(lock, false));
        }
        m_checkpointing = false;
        m_changed.notify_all();
    }
}

Status PostingJournal::read(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                            std::size_t* got) {
    if (!m_laidOver.empty()) {
        auto laid = m_laidOver.find(path);
        if (laid != m_laidOver.end() && !laid->second.folder)
            return readLaidOver(path, laid->second, offset, buf, len, got);
    }
    std::vector<PendingPtr> over;
    {
        auto lock = lockMutex();
        over = pendingFor(path);
    }
    // Read after taking the waiting records: one applied meanwhile is in
    // the file and laid over it again, with the same result.
    std::size_t fileGot = 0;
    Status s = m_fs.readAt(pathOf(path), offset, buf, len, &fileGot);
    const bool missing = s.kind() == Status::Kind::kNotFound;
    if (over.empty() || (!s && !missing)) {
        *got = fileGot;
        return s;
    }
    if (missing) fileGot = 0;
    auto* out = static_cast<unsigned char*>(buf);
    std::memset(out + fileGot, 0, len - fileGot);
    const uint64_t want = offset + len;
    // The file's end when it lies inside the range asked for; beyond it
    // otherwise, which is all a read needs to know.
    bool endKnown = fileGot < len;
    uint64_t end = missing ? 0 : offset + fileGot;
    for (const PendingPtr& p : over) {
        for (const WriteBatch::Op& op : p->batch.ops()) {
            if (op.path != path) continue;
            if (op.kind == WriteBatch::OpKind::kWrite) {
                const uint64_t from = std::max(op.offset, offset);
                const uint64_t to = std::min<uint64_t>(op.offset + op.bytes.size(), want);
                if (from < to)
                    std::memcpy(out + (from - offset), op.bytes.data() + (from - op.offset),
                                to - from);
                end = std::max<uint64_t>(end, op.offset + op.bytes.size());
            } else if (op.kind == WriteBatch::OpKind::kTruncate) {
                const uint64_t cut = std::max(op.offset, offset);
                if (cut < want) std::memset(out + (cut - offset), 0, want - cut);
                end = op.offset;
                endKnown = true;
            }
        }
    }
    *got = !endKnown ? len : end > offset ? std::min<uint64_t>(end - offset, len) : 0;
    return Status::ok();
}

Status PostingJournal::size(const std::string& path, uint64_t* size) {
    if (!m_laidOver.empty()) {
        auto laid = m_laidOver.find(path);
        if (laid != m_laidOver.end() && !laid->second.folder) {
            *size = laid->second.end;
            return Status::ok();
        }
    }
    std::vector<PendingPtr> over;
    {
        auto lock = lockMutex();
        over = pendingFor(path);
    }
    return logicalSize(path, over, size);
}

void PostingJournal::remember(const std::string& id, std::string result, uint64_t seq) {
    if (m_options.requestMemory == 0) return;
    const uint64_t serial = ++m_requestSerial;
    m_requests[id] = Remembered{std::move(result), seq, serial};
    m_requestOrder.emplace_back(id, serial);
    // An entry of the order whose serial no longer matches was replaced or
    // dropped; it only takes room, and is let go with the oldest.
    while (m_requests.size() > m_options.requestMemory ||
           m_requestOrder.size() > 2 * m_options.requestMemory) {
        auto it = m_requests.find(m_requestOrder.front().first);
        if (it != m_requests.end() && it->second.serial == m_requestOrder.front().second)
            m_requests.erase(it);
        m_requestOrder.pop_front();
    }
}

bool PostingJournal::writesPending(const std::string& path) const {
    if (m_laidOver.count(path)) return true;
    auto lock = lockMutex();
    return !pendingFor(path).empty();
}

std::optional<PostingJournal::RememberedRequest> PostingJournal::remembered(
    const std::string& id) const {
    std::lock_guard lock(m_mutex);
    auto it = m_requests.find(id);
    if (it == m_requests.end()) return std::nullopt;
    return RememberedRequest{it->second.result, it->second.seq};
}

std::string PostingJournal::requestsRecord(uint64_t epoch) const {
    if (m_requests.empty()) return {};
    std::string payload;
    put<uint32_t>(payload, static_cast<uint32_t>(m_requests.size()));
    // Oldest first, so that after a restart the oldest is forgotten first.
    for (const auto& [id, serial] : m_requestOrder) {
        auto it = m_requests.find(id);
        if (it == m_requests.end() || it->second.serial != serial) continue;
        put<uint16_t>(payload, static_cast<uint16_t>(id.size()));
        payload += id;
        put<uint32_t>(payload, static_cast<uint32_t>(it->second.result.size()));
        payload += it->second.result;
    }
    std::string record;
    appendRecord(record, jf::kRequests, epoch, payload);
    return record;
}

Status PostingJournal::writeZeros(const std::string& path, uint64_t from, uint64_t to) {
    static const std::string zeros(kZeroChunk, '\0');
    for (uint64_t at = from; at < to;) {
        const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(to - at, zeros.size()));
        if (Status s = m_fs.writeAt(path, at, zeros.data(), n); !s) return s;
        at += n;
    }
    return Status::ok();
}

Status PostingJournal::prepareSpare(const std::string& path, const std::string& head,
                                    uint64_t* room) {
    uint64_t size = 0;
    Status s = m_fs.size(path, &size);
    if (s.kind() == Status::Kind::kNotFound) {
        size = 0;
    } else if (!s) {
        return s;
    }
    // Bytes after the head may be anything but a record of the new epoch;
    // only room the file does not have yet needs writing.
    const uint64_t target = std::max<uint64_t>(size, head.size() + m_options.minRoom);
    if (s = writeZeros(path, std::max<uint64_t>(size, head.size()), target); !s) return s;
    if (s = m_fs.writeAt(path, 0, head.data(), head.size()); !s) return s;
    *room = target;
    return Status::ok();
}

Status PostingJournal::checkpointLocked(std::unique_lock<std::mutex>& lock, bool letGo) {
    std::set<std::string> files, folders;
    files.swap(m_touchedFiles);
    folders.swap(m_touchedFolders);
    const uint64_t epoch = newEpoch();
    const std::string fresh = fileHeader(epoch) + requestsRecord(epoch);
    const bool sync = m_options.sync;
    lock.unlock();

    Status s;
    if (sync) s = flushAll(m_fs, files, folders);
    const bool dataOnDisk = s.isOk();
    // The fresh journal is written into the spare beside the old one, and
    // the two are swapped in one step: a crash leaves the old journal
    // (every record in it already on disk in the files, so replaying it
    // changes nothing) or the fresh one. The old journal becomes the spare,
    // keeping its blocks for the checkpoint after next.
    const std::string sparePath = pathOf(jf::kFreshFileName);
    bool renamed = false;
    uint64_t room = 0;
    if (s) s = prepareSpare(sparePath, fresh, &room);
    if (s && sync) s = m_fs.syncData(sparePath);
    if (s) {
        s = m_fs.exchange(sparePath, m_journalPath);
        // No journal yet (the first start), or a file system that cannot swap.
        if (s.kind() == Status::Kind::kNotFound || s.kind() == Status::Kind::kInvalid)
            s = m_fs.rename(sparePath, m_journalPath);
        renamed = s.isOk();
    }
    if (s && sync) s = m_fs.syncFolder(m_folder);
    // The cached descriptors of the data files go at each checkpoint; a
    // backup taken while the till is idle then finds them closed.
    if (letGo)
        for (const std::string& f : files) m_fs.close(f);

    lock.lock();
    if (renamed) {
        m_journalSize = m_freshSize = fresh.size();
        m_room = room;
        m_epoch = epoch;
        m_stats.journalBytes = m_journalSize;
        ++m_stats.checkpoints;
    }
    if (!dataOnDisk) {
        // A failed flush may have dropped the dirty pages while reporting
        // them clean; only a replay of the journal puts them back, so the
        // journal must not be emptied in this run.
        setError(Status::ioError("The data files could not be flushed: " + s.message()));
    } else if (renamed && !s) {
        // Records appended to the fresh journal would be lost if its name
        // does not survive a crash.
        setError(Status::ioError("The posting journal could not be flushed: " + s.message()));
    }
    return s;
}

Status PostingJournal::checkpoint() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_checkpointing; });
    if (!m_open) return Status::invalid("The posting journal is not open");
    m_checkpointing = true;
    Status s = waitDurableLocked(lock, m_lastSeq);
    waitAppliedLocked(lock, m_lastSeq);
    if (!m_error) {
        s = m_error;
    } else {
        s = checkpointLocked(lock);
    }
    m_checkpointing = false;
    m_changed.notify_all();
    return s;
}

Status PostingJournal::idle() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_open || (m_journalSize <= m_freshSize && m_pending.empty())) return Status::ok();
    }
    return checkpoint();
}

Status PostingJournal::close() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_checkpointing; });
    if (!m_open) return Status::ok();
    // Held through to the end, so that no commit slips in between the last
    // checkpoint and the removal of the journal.
    m_checkpointing = true;
    // A failed flush shows in m_error, read next.
    static_cast<void>(waitDurableLocked(lock, m_lastSeq));
    waitAppliedLocked(lock, m_lastSeq);
    Status s = m_error;
    if (s) s = checkpointLocked(lock);
    if (s) m_open = false;
    m_checkpointing = false;
    m_changed.notify_all();
    if (!s) return s;  // the journal stays, for the next open to replay
    const bool sync = m_options.sync;
    lock.unlock();
    stopWorkers();
    s = m_fs.remove(m_journalPath);
    if (s) s = m_fs.remove(pathOf(jf::kFreshFileName));
    if (s && sync) s = m_fs.syncFolder(m_folder);
    m_fs.closeAll();
    return s;
}

void PostingJournal::setSync(bool sync) {
    std::lock_guard lock(m_mutex);
    m_options.sync = sync;
}

Status PostingJournal::setApplyBehind(bool behind) {
    std::lock_guard lock(m_mutex);
    if (m_open) return Status::invalid("The posting journal is already open");
    m_options.applyBehind = behind;
    return Status::ok();
}

void PostingJournal::setCheckpointBytes(uint64_t bytes) {
    std::lock_guard lock(m_mutex);
    m_options.checkpointBytes = bytes;
}

uint64_t PostingJournal::lastTicket() const {
    std::lock_guard lock(m_mutex);
    return m_lastSeq;
}

bool PostingJournal::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

std::unique_lock<std::mutex> PostingJournal::lockMutex() const {
    std::unique_lock lock(m_mutex, std::defer_lock);
    lockBriefly(lock);
    return lock;
}

Status PostingJournal::error() const {
    // Asked before every write: no lock while all is well.
    if (!m_failed.load(std::memory_order_acquire)) return Status::ok();
    std::lock_guard lock(m_mutex);
    return m_error;
}

void PostingJournal::setError(Status s) {
    m_failed.store(!s.isOk(), std::memory_order_release);
    m_error = std::move(s);
}

PostingJournalStats PostingJournal::stats() const {
    std::lock_guard lock(m_mutex);
    return m_stats;
}

void PostingJournal::LaidOver::write(uint64_t offset, const std::string& bytes) {
    if (bytes.empty()) return;
    const uint64_t to = offset + bytes.size();
    end = std::max(end, to);
    // What earlier writes left outside [offset, to) stays; inside, these bytes.
    auto it = extents.lower_bound(offset);
    if (it != extents.begin()) {
        auto before = std::prev(it);
        const uint64_t beforeEnd = before->first + before->second.size();
        if (beforeEnd > offset) {
            if (beforeEnd > to) extents.emplace(to, before->second.substr(to - before->first));
            before->second.resize(offset - before->first);
        }
    }
    while (it != extents.end() && it->first < to) {
        const uint64_t itEnd = it->first + it->second.size();
        if (itEnd > to) extents.emplace(to, it->second.substr(to - it->first));
        it = extents.erase(it);
    }
    extents[offset] = bytes;
}

void PostingJournal::LaidOver::cut(uint64_t length) {
    auto it = extents.lower_bound(length);
    extents.erase(it, extents.end());
    if (!extents.empty()) {
        auto last = std::prev(extents.end());
        if (last->first + last->second.size() > length) last->second.resize(length - last->first);
    }
    zeroFrom = std::min(zeroFrom, length);
    end = length;
}

Status PostingJournal::layOver(const std::vector<WriteBatch>& batches) {
    std::lock_guard lock(m_mutex);
    if (m_open) return Status::invalid("The posting journal is already open");
    m_laidOver.clear();
    for (const WriteBatch& b : batches) {
        for (const WriteBatch::Op& op : b.ops()) {
            auto [it, fresh] = m_laidOver.try_emplace(op.path);
            LaidOver& file = it->second;
            if (fresh && op.kind != WriteBatch::OpKind::kMakeFolder) {
                uint64_t size = 0;
                file.end = m_fs.size(pathOf(op.path), &size) ? size : 0;
            }
            switch (op.kind) {
                case WriteBatch::OpKind::kMakeFolder:
                    file.folder = true;
                    break;
                case WriteBatch::OpKind::kAppend:
                    file.write(file.end, op.bytes);
                    break;
                case WriteBatch::OpKind::kWrite:
                    file.write(op.offset, op.bytes);
                    break;
                case WriteBatch::OpKind::kTruncate:
                    file.cut(op.offset);
                    break;
            }
        }
    }
    return Status::ok();
}

Status PostingJournal::readLaidOver(const std::string& path, const LaidOver& over, uint64_t offset,
                                    void* buf, std::size_t len, std::size_t* got) {
    auto* out = static_cast<unsigned char*>(buf);
    std::size_t fileGot = 0;
    Status s = m_fs.readAt(pathOf(path), offset, buf, len, &fileGot);
    if (!s && s.kind() != Status::Kind::kNotFound) return s;
    if (!s) fileGot = 0;
    std::memset(out + fileGot, 0, len - fileGot);
    const uint64_t want = offset + len;
    if (over.zeroFrom < want) {
        const uint64_t from = std::max(over.zeroFrom, offset);
        std::memset(out + (from - offset), 0, want - from);
    }
    auto it = over.extents.upper_bound(offset);
    if (it != over.extents.begin()) --it;
    for (; it != over.extents.end() && it->first < want; ++it) {
        const uint64_t from = std::max(it->first, offset);
        const uint64_t to = std::min<uint64_t>(it->first + it->second.size(), want);
        if (from < to)
            std::memcpy(out + (from - offset), it->second.data() + (from - it->first), to - from);
    }
    *got = over.end > offset ? std::min<uint64_t>(over.end - offset, len) : 0;
    return Status::ok();
}

Status PostingJournal::pending(FileSystem& fs, const std::string& folder,
                               JournalContents* contents) {
    *contents = {};
    std::string data;
    if (Status s = readJournal(fs, folder + "/" + jf::kFileName, &data); !s) return s;
    const ScanEnd end = scanRecords(data, [&](uint8_t type, std::string_view payload) {
        if (type == jf::kBatch) {
            WriteBatch batch;
            if (!WriteBatch::deserialize(payload, &batch)) return false;
            if (batch.request()) ++contents->rememberedRequests;
            contents->batches.push_back(std::move(batch));
            return true;
        }
        if (type == jf::kRequests) {
            std::vector<WriteBatch::Request> requests;
            if (!parseRequests(payload, &requests)) return false;
            contents->rememberedRequests += requests.size();
            return true;
        }
        return false;
    });
    contents->wholeBytes = end.whole;
    contents->droppedBytes = end.dropped;
    contents->roomBytes = end.room;
    return Status::ok();
}

}  // namespace kassio
