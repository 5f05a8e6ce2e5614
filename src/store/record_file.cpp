#include "store/record_file.h"

#include <cstring>
#include <vector>

#include "store/file_io.h"
#include "store/flush_batch.h"
#include "store/record_layout.h"

namespace kassio {

namespace {

int64_t numberOf(const unsigned char* record) {
    int64_t n;
    std::memcpy(&n, record, sizeof n);
    return n;
}

// Slots read per system call while loading; big enough to stream a large
// file quickly, small enough to stay modest in memory.
constexpr std::size_t kLoadBatchBytes = 4 << 20;

}  // namespace

RecordFile::RecordFile(RecordFileSpec spec, std::string path)
    : m_spec(std::move(spec)), m_path(std::move(path)), m_index(m_spec.extraRoom) {}

RecordIndex::Prefix RecordFile::prefixOf(const unsigned char* record) const {
    if (m_spec.prefixOffset < 0) return {};
    return {static_cast<char>(record[m_spec.prefixOffset]),
            static_cast<char>(record[m_spec.prefixOffset + 1])};
}

RecordFile::LoadError RecordFile::load() {
    auto f = File::open(m_path, File::Mode::kRead);
    if (!f) return LoadError::kCannotOpen;
    auto size = f->size();
    if (!size) return LoadError::kReadFailed;
    if (*size == 0) return LoadError::kEmpty;
    const std::size_t rs = m_spec.recordSize;
    if (*size % rs != 0) return LoadError::kBadSize;

    const std::size_t slots = *size / rs;
    m_index.beginBuild(slots);
    const std::size_t perBatch = kLoadBatchBytes / rs + 1;
    std::vector<unsigned char> buf(std::min(perBatch, slots) * rs);
    for (std::size_t first = 0; first < slots; first += perBatch) {
        std::size_t count = std::min(perBatch, slots - first);
        long long got = f->readAt(first * rs, buf.data(), count * rs);
        if (got != static_cast<long long>(count * rs)) return LoadError::kReadFailed;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* rec = buf.data() + i * rs;
            int64_t number = numberOf(rec);
            bool deleted = m_spec.zeroNumbersDeleted ? number <= 0 : number < 0;
            if (deleted) {
                // A deleted slot keeps its old text in the file; its prefix
                // is empty, as it is after a delete, so searches pass it by.
                m_index.addSlot(kDeletedNumber, {});
            } else {
                m_index.addSlot(number, prefixOf(rec));
                if (m_observer) m_observer(first + i, rec);
            }
        }
    }
    m_index.finishBuild();
    return LoadError::kNone;
}

Status RecordFile::notPresent() const {
    return Status::notFound("Data file: " + m_spec.fileName + ", not present.", kTitleFatal);
}

Status RecordFile::cannotWrite() const {
    return Status::ioError("Not able to write to " + m_spec.fileName, kTitleProblem);
}

Status RecordFile::read(uint64_t slot, void* record) const {
    auto f = File::open(m_path, File::Mode::kRead);
    if (!f) return notPresent();
    long long got = f->readAt(slot * m_spec.recordSize, record, m_spec.recordSize);
    if (got != static_cast<long long>(m_spec.recordSize))
        return Status::ioError("Unable to read " + m_spec.fileName, kTitleProblem);
    return Status::ok();
}

Status RecordFile::flush() {
    if (!m_sync) return Status::ok();
    if (FlushBatch* batch = FlushBatch::active()) {
        batch->add(m_path);
        return Status::ok();
    }
    auto f = File::open(m_path, File::Mode::kReadWrite);
    if (!f) return notPresent();
    bool ok = f->sync();
    ok = f->close() && ok;
    return ok ? Status::ok() : cannotWrite();
}

Status RecordFile::write(uint64_t slot, const void* record, bool deferFlush) {
    if (slot >= m_index.slotCount()) return cannotWrite();
    auto f = File::open(m_path, File::Mode::kReadWrite);
    if (!f) return notPresent();
    bool ok = f->writeAt(slot * m_spec.recordSize, record, m_spec.recordSize);
    if (ok && m_sync && !deferFlush) {
        if (FlushBatch* batch = FlushBatch::active())
            batch->add(m_path);
        else
            ok = f->sync();
    }
    ok = f->close() && ok;
    if (!ok) return cannotWrite();
    const auto* rec = static_cast<const unsigned char*>(record);
    m_index.setPrefix(slot, prefixOf(rec));
    if (m_observer) m_observer(slot, rec);
    return Status::ok();
}

Status RecordFile::insert(const void* record, uint64_t* slotOut) {
    const auto* rec = static_cast<const unsigned char*>(record);
    const int64_t number = numberOf(rec);
    const uint64_t slot = m_index.slotForInsert();
    auto f = File::open(m_path, File::Mode::kReadWrite);
    if (!f) return notPresent();
    // A new slot goes at slot * size, which is the end of a well-formed
    // file; writing there rather than appending keeps file and index in step
    // even if someone left a partial record behind.
    bool ok = f->writeAt(slot * m_spec.recordSize, rec, m_spec.recordSize);
    if (ok && m_sync) ok = f->sync();
    ok = f->close() && ok;
    if (!ok) return cannotWrite();
    m_index.commitInsert(number, prefixOf(rec));
    if (m_observer) m_observer(slot, rec);
    if (slotOut) *slotOut = slot;
    return Status::ok();
}

Status RecordFile::remove(uint64_t slot) {
    auto f = File::open(m_path, File::Mode::kReadWrite);
    if (!f) return notPresent();
    int64_t number = 0;
    if (f->readAt(slot * m_spec.recordSize, &number, sizeof number) != sizeof number)
        return cannotWrite();
    const int64_t deleted = kDeletedNumber;
    bool ok = f->writeAt(slot * m_spec.recordSize, &deleted, sizeof deleted);
    // The first two bytes of the prefix field go with the number, so a slot
    // deleted in this run reads like one deleted before a restart.
    if (ok && m_spec.prefixOffset >= 0) {
        const char zero[2] = {0, 0};
        ok = f->writeAt(slot * m_spec.recordSize + static_cast<uint64_t>(m_spec.prefixOffset), zero,
                        sizeof zero);
    }
    if (ok && m_sync) ok = f->sync();
    ok = f->close() && ok;
    if (!ok) return cannotWrite();
    m_index.commitDelete(number, slot);
    if (m_observer) m_observer(slot, nullptr);
    return Status::ok();
}

int64_t RecordFile::suggestNumber(int64_t candidate) const {
    const auto& entries = m_index.entries();
    std::size_t p = m_index.lowerBound(candidate);
    if (p >= entries.size() || entries[p].number != candidate) return candidate;
    int64_t last = candidate;
    for (; p < entries.size(); ++p) {
        if (entries[p].number == last) continue;  // duplicates of the run
        if (entries[p].number != last + 1) break;
        last = entries[p].number;
    }
    return last + 1;
}

}  // namespace kassio
