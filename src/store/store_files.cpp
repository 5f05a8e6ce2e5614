#include "store/store_files.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "store/posix_file_system.h"

namespace kassio {

namespace {

// A posting of ten lines is about 40 KB of journal (kq.cfg alone is 15 KB),
// so a checkpoint comes every few hundred postings: rarely enough that its
// flushes cost little per posting, often enough that recovery stays short.
constexpr uint64_t kCheckpointBytes = 16u << 20;

PostingJournalOptions journalOptions() {
    PostingJournalOptions o;
    o.checkpointBytes = kCheckpointBytes;
    return o;
}

// Writes shorter than this are journalled whole: comparing saves nothing.
constexpr std::size_t kSmallWrite = 64;

int64_t steadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

}  // namespace

StoreFiles::StoreFiles(std::string folder, std::recursive_mutex& dataMutex,
                       std::unique_ptr<FileSystem> fs)
    : m_folder(std::move(folder)),
      m_mutex(dataMutex),
      m_fs(fs ? std::move(fs) : std::make_unique<PosixFileSystem>()),
      m_journal(*m_fs, m_folder, journalOptions()) {}

StoreFiles::~StoreFiles() = default;

void StoreFiles::setSync(bool sync) {
    m_sync = sync;
    m_journal.setSync(sync);
}

Status StoreFiles::open(RecoveryResult* recovery) {
    std::lock_guard lock(m_mutex);
    if (m_readOnly) return readOnlyRefusal();
    if (m_journal.isOpen()) {
        if (recovery) *recovery = {};
        return Status::ok();
    }
    if (!m_fs->exists(m_folder)) return Status::notFound("Data folder not present: " + m_folder);
    Status s = m_journal.open(recovery);
    if (!s) return Status::ioError("Unable to recover the posting journal: " + s.message());
    return s;
}

Status StoreFiles::reopen(RecoveryResult* recovery) {
    std::lock_guard lock(m_mutex);
    if (m_depth != 0) return Status::invalid("A batch is under way");
    if (!m_journal.isOpen()) return open(recovery);
    Status s = m_journal.reopen(recovery);
    if (!s) return Status::ioError("Unable to recover the posting journal: " + s.message());
    return s;
}

Status StoreFiles::openForReading() {
    std::lock_guard lock(m_mutex);
    if (m_journal.isOpen()) return Status::ok();
    JournalContents contents;
    if (Status s = PostingJournal::pending(*m_fs, m_folder, &contents); !s)
        return Status::ioError("Unable to read the posting journal: " + s.message());
    if (Status s = m_journal.layOver(contents.batches); !s) return s;
    m_readOnly = true;
    return Status::ok();
}

bool StoreFiles::isOpen() const {
    return m_journal.isOpen();
}

Status StoreFiles::ensureOpen() {
    return m_journal.isOpen() ? Status::ok() : open();
}

Status StoreFiles::close() {
    std::lock_guard lock(m_mutex);
    return m_journal.close();
}

Status StoreFiles::checkpoint() {
    if (!m_journal.isOpen()) return Status::ok();
    m_committedSinceCheckpoint = false;
    return m_journal.checkpoint();
}

Status StoreFiles::idle(std::chrono::milliseconds quiet) {
    if (!m_committedSinceCheckpoint) return Status::ok();
    const auto since = std::chrono::steady_clock::duration(steadyNow() - m_lastCommit.load());
    if (since < quiet) return Status::ok();
    m_committedSinceCheckpoint = false;
    return m_journal.idle();
}

Status StoreFiles::error() const {
    return m_journal.error();
}

PostingJournalStats StoreFiles::stats() const {
    return m_journal.stats();
}

Status StoreFiles::refused() const {
    if (m_journal.error()) return Status::ioError("The posting journal refused a posting");
    return Status::ioError(
        "The shop's files could not be written (" + m_journal.error().message() +
            "). Close KASSIO and start it again: the start puts every saved posting in place.",
        kTitleFatal);
}

bool StoreFiles::batchTouches(const std::string& name) const {
    if (!ownsBatch()) return false;
    return m_ends.count(name) != 0;
}

Status StoreFiles::size(const std::string& name, uint64_t* size) const {
    if (ownsBatch()) {
        auto it = m_ends.find(name);
        if (it != m_ends.end()) {
            *size = it->second;
            return Status::ok();
        }
    }
    return const_cast<PostingJournal&>(m_journal).size(name, size);
}

bool StoreFiles::exists(const std::string& name) const {
    if (batchTouches(name)) return true;
    const bool owner = ownsBatch();
    if (owner && m_seen.count(name)) return true;
    // By name, not through a descriptor kept open: a file removed or moved
    // by someone else is gone. Once seen, it is taken as there for the
    // rest of the batch (the DataMutex is held throughout), so a posting
    // asks once per file, not once per line.
    const bool there = m_fs->exists(pathOf(name)) || m_journal.writesPending(name);
    if (there && owner) m_seen.insert(name);
    return there;
}

Status StoreFiles::read(const std::string& name, uint64_t offset, void* buf, std::size_t len,
                        std::size_t* got) const {
    auto& journal = const_cast<PostingJournal&>(m_journal);
    if (!batchTouches(name)) return journal.read(name, offset, buf, len, got);

    // The committed bytes, then this thread's batch laid over them in order.
    std::size_t base = 0;
    Status s = journal.read(name, offset, buf, len, &base);
    if (!s && s.kind() != Status::Kind::kNotFound) return s;
    if (!s) base = 0;
    auto* out = static_cast<unsigned char*>(buf);
    std::memset(out + base, 0, len - base);
    const uint64_t want = offset + len;
    for (const WriteBatch::Op& op : m_batch.ops()) {
        if (op.path != name) continue;
        if (op.kind == WriteBatch::OpKind::kWrite) {
            const uint64_t from = std::max(op.offset, offset);
            const uint64_t to = std::min<uint64_t>(op.offset + op.bytes.size(), want);
            if (from < to)
                std::memcpy(out + (from - offset), op.bytes.data() + (from - op.offset), to - from);
        } else if (op.kind == WriteBatch::OpKind::kTruncate) {
            const uint64_t cut = std::max(op.offset, offset);
            if (cut < want) std::memset(out + (cut - offset), 0, want - cut);
        }
    }
    const uint64_t end = m_ends.at(name);
    *got = end > offset ? static_cast<std::size_t>(std::min<uint64_t>(end - offset, len)) : 0;
    return Status::ok();
}

std::optional<std::string> StoreFiles::readAll(const std::string& name) const {
    uint64_t n = 0;
    if (!size(name, &n)) return std::nullopt;
    std::string data(n, '\0');
    std::size_t got = 0;
    if (!read(name, 0, data.data(), data.size(), &got)) return std::nullopt;
    data.resize(got);
    return data;
}

Status StoreFiles::endOf(const std::string& name, uint64_t* end) {
    auto it = m_ends.find(name);
    if (it == m_ends.end()) {
        uint64_t n = 0;
        Status s = m_journal.size(name, &n);
        if (!s && s.kind() != Status::Kind::kNotFound) return s;
        it = m_ends.emplace(name, s ? n : 0).first;
    }
    *end = it->second;
    return Status::ok();
}

// The parts of now that differ from before; parts closer than gap are
// joined, as a gap shorter than a part's own header is cheaper carried along.
static std::vector<WriteBatch::Range> changedRanges(const unsigned char* now,
                                                    const unsigned char* before, std::size_t len,
                                                    std::size_t gap) {
    std::vector<WriteBatch::Range> out;
    std::size_t i = 0;
    while (i < len) {
        // Equal stretches a word at a time: kq.cfg is 15018 bytes, of which a
        // posting changes a few dozen.
        if (i + 8 <= len && std::memcmp(now + i, before + i, 8) == 0) {
            i += 8;
            continue;
        }
        if (now[i] != before[i]) {
            if (!out.empty() && i - out.back().second < gap)
                out.back().second = static_cast<uint32_t>(i + 1);
            else
                out.emplace_back(static_cast<uint32_t>(i), static_cast<uint32_t>(i + 1));
        }
        ++i;
    }
    return out;
}

Status StoreFiles::addWrite(const std::string& name, uint64_t offset, const void* data,
                            std::size_t len, const void* before) {
    uint64_t end = 0;
    if (Status s = endOf(name, &end); !s) return s;
    // Over bytes the file already has, only the ones that change go into
    // the journal (an item's sold count, kq.cfg's counters), not the
    // whole record; a write that changes nothing is left out.
    std::vector<WriteBatch::Range> changed;
    if (offset < end && len >= kSmallWrite) {
        const std::size_t over = static_cast<std::size_t>(std::min<uint64_t>(len, end - offset));
        std::string read;
        const auto* old = over == len ? static_cast<const unsigned char*>(before) : nullptr;
        if (!old) {
            read.resize(over);
            std::size_t got = 0;
            if (this->read(name, offset, read.data(), over, &got) && got == over)
                old = reinterpret_cast<const unsigned char*>(read.data());
        }
        if (old) {
            const auto* now = static_cast<const unsigned char*>(data);
            changed = changedRanges(now, old, over, 32 + name.size());
            if (over < len)
                changed.emplace_back(static_cast<uint32_t>(over), static_cast<uint32_t>(len));
            if (changed.empty()) return Status::ok();
            if (changed.size() == 1 && changed[0].first == 0 && changed[0].second == len)
                changed.clear();
        }
    }
    m_batch.write(name, offset, std::string_view(static_cast<const char*>(data), len),
                  std::move(changed));
    m_ends[name] = std::max<uint64_t>(end, offset + len);
    return Status::ok();
}

Status StoreFiles::write(const std::string& name, uint64_t offset, const void* data,
                         std::size_t len, const void* before) {
    Batch batch(*this);
    if (Status s = error(); !s) return refused();
    if (Status s = addWrite(name, offset, data, len, before); !s) return s;
    if (!batch.outermost()) return Status::ok();
    uint64_t ticket = 0;
    if (Status s = batch.commit(&ticket); !s) return s;
    return waitDurable(ticket);
}

Status StoreFiles::append(const std::string& name, const void* data, std::size_t len) {
    Batch batch(*this);
    if (Status s = error(); !s) return refused();
    // Resolved here rather than by the journal, so that reads within the
    // batch see it; the DataMutex keeps the end until the commit.
    uint64_t end = 0;
    if (Status s = endOf(name, &end); !s) return s;
    if (Status s = addWrite(name, end, data, len); !s) return s;
    if (!batch.outermost()) return Status::ok();
    uint64_t ticket = 0;
    if (Status s = batch.commit(&ticket); !s) return s;
    return waitDurable(ticket);
}

Status StoreFiles::replace(const std::string& name, const void* data, std::size_t len) {
    Batch batch(*this);
    if (Status s = error(); !s) return refused();
    uint64_t old = 0;
    if (Status s = size(name, &old); !s && s.kind() != Status::Kind::kNotFound) return s;
    if (Status s = addWrite(name, 0, data, len); !s) return s;
    if (old > len) {
        // Only a file that was longer needs cutting; the usual case (the
        // same fixed size) is one write.
        m_batch.truncate(name, len);
        m_ends[name] = len;
    }
    if (!batch.outermost()) return Status::ok();
    uint64_t ticket = 0;
    if (Status s = batch.commit(&ticket); !s) return s;
    return waitDurable(ticket);
}

Status StoreFiles::makeFolder(const std::string& name) {
    Batch batch(*this);
    if (Status s = error(); !s) return refused();
    m_batch.makeFolder(name);
    if (!batch.outermost()) return Status::ok();
    uint64_t ticket = 0;
    if (Status s = batch.commit(&ticket); !s) return s;
    return waitDurable(ticket);
}

std::optional<PostingJournal::RememberedRequest> StoreFiles::remembered(
    const std::string& id) const {
    return m_journal.remembered(id);
}

Status StoreFiles::waitDurable(uint64_t ticket) {
    if (ticket == 0) return Status::ok();
    Status s = m_journal.waitDurable(ticket);
    if (!s) return Status::ioError(s.message(), kTitleFatal);
    return s;
}

Status StoreFiles::settle() {
    const uint64_t ticket = m_journal.lastTicket();
    if (ticket == 0) return Status::ok();
    Status s = m_journal.waitApplied(ticket);
    if (!s) return Status::ioError(s.message(), kTitleFatal);
    return s;
}

StoreFiles::Batch::Batch(StoreFiles& files) : m_files(files), m_lock(files.m_mutex) {
    m_outermost = files.m_depth == 0;
    if (m_outermost) {
        files.m_owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
        // Opened before anything is read for the batch: recovery may change
        // the files it reads.
        static_cast<void>(files.ensureOpen());
    }
    ++files.m_depth;
}

StoreFiles::Batch::~Batch() {
    if (!m_done && m_outermost) {
        uint64_t ticket = 0;
        if (commit(&ticket)) static_cast<void>(m_files.waitDurable(ticket));
    }
    --m_files.m_depth;
    if (m_files.m_depth == 0) {
        m_files.m_batch.clear();
        m_files.m_ends.clear();
        m_files.m_seen.clear();
        m_files.m_owner.store(std::thread::id(), std::memory_order_relaxed);
    }
}

void StoreFiles::Batch::setRequest(std::string id, std::string result) {
    m_files.m_batch.setRequest(std::move(id), std::move(result));
}

bool StoreFiles::Batch::discard() {
    if (!m_outermost || m_done) return false;
    m_done = true;
    m_files.m_batch.clear();
    m_files.m_ends.clear();
    return true;
}

Status StoreFiles::Batch::commit(uint64_t* ticket) {
    *ticket = 0;
    if (!m_outermost || m_done) return Status::ok();
    m_done = true;
    StoreFiles& f = m_files;
    if (f.m_batch.empty()) return Status::ok();
    if (Status s = f.ensureOpen(); !s) return s;
    WriteBatch batch;
    std::swap(batch, f.m_batch);
    f.m_ends.clear();
    Status s = f.m_journal.commit(std::move(batch), ticket);
    if (!s) return f.m_journal.error() ? s : f.refused();
    f.m_lastCommit = steadyNow();
    f.m_committedSinceCheckpoint = true;
    return s;
}

}  // namespace kassio
