#include "store/record_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

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

RecordFile::RecordFile(RecordFileSpec spec, StoreFiles& files)
    : m_spec(std::move(spec)), m_files(files), m_index(m_spec.extraRoom) {}

RecordIndex::Prefix RecordFile::prefixOf(const unsigned char* record) const {
    if (m_spec.prefixOffset < 0) return {};
    return {static_cast<char>(record[m_spec.prefixOffset]),
            static_cast<char>(record[m_spec.prefixOffset + 1])};
}

RecordFile::LoadError RecordFile::load() {
    const std::string& name = m_spec.fileName;
    uint64_t size = 0;
    if (Status s = m_files.size(name, &size); !s)
        return s.kind() == Status::Kind::kNotFound ? LoadError::kCannotOpen
                                                   : LoadError::kReadFailed;
    if (size == 0) return LoadError::kEmpty;
    const std::size_t rs = m_spec.recordSize;
    if (size % rs != 0) return LoadError::kBadSize;

    const std::size_t slots = size / rs;
    m_index.beginBuild(slots);
    const std::size_t perBatch = kLoadBatchBytes / rs + 1;
    std::vector<unsigned char> buf(std::min(perBatch, slots) * rs);
    for (std::size_t first = 0; first < slots; first += perBatch) {
        std::size_t count = std::min(perBatch, slots - first);
        std::size_t got = 0;
        if (!m_files.read(name, first * rs, buf.data(), count * rs, &got) || got != count * rs)
            return LoadError::kReadFailed;
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
    std::size_t got = 0;
    Status s =
        m_files.read(m_spec.fileName, slot * m_spec.recordSize, record, m_spec.recordSize, &got);
    if (s.kind() == Status::Kind::kNotFound) return notPresent();
    if (!s || got != m_spec.recordSize)
        return Status::ioError("Unable to read " + m_spec.fileName, kTitleProblem);
    return Status::ok();
}

// A write refused because the posting journal has failed carries the
// journal's own message: it says what the station must do next.
static Status writeFailure(const Status& s, const Status& plain) {
    return s.fatal() ? s : plain;
}

Status RecordFile::write(uint64_t slot, const void* record, const void* before) {
    if (slot >= m_index.slotCount()) return cannotWrite();
    if (!m_files.exists(m_spec.fileName)) return notPresent();
    if (Status s = m_files.write(m_spec.fileName, slot * m_spec.recordSize, record,
                                 m_spec.recordSize, before);
        !s)
        return writeFailure(s, cannotWrite());
    const auto* rec = static_cast<const unsigned char*>(record);
    m_index.setPrefix(slot, prefixOf(rec));
    if (m_observer) m_observer(slot, rec);
    return Status::ok();
}

Status RecordFile::insert(const void* record, uint64_t* slotOut) {
    const auto* rec = static_cast<const unsigned char*>(record);
    const int64_t number = numberOf(rec);
    const uint64_t slot = m_index.slotForInsert();
    if (!m_files.exists(m_spec.fileName)) return notPresent();
    // A new slot goes at slot * size, which is the end of a well-formed
    // file; writing there rather than appending keeps file and index in step
    // even if someone left a partial record behind.
    if (Status s = m_files.write(m_spec.fileName, slot * m_spec.recordSize, rec, m_spec.recordSize);
        !s)
        return writeFailure(s, cannotWrite());
    m_index.commitInsert(number, prefixOf(rec));
    if (m_observer) m_observer(slot, rec);
    if (slotOut) *slotOut = slot;
    return Status::ok();
}

Status RecordFile::remove(uint64_t slot) {
    int64_t number = 0;
    std::size_t got = 0;
    Status s =
        m_files.read(m_spec.fileName, slot * m_spec.recordSize, &number, sizeof number, &got);
    if (s.kind() == Status::Kind::kNotFound) return notPresent();
    if (!s || got != sizeof number) return cannotWrite();
    // The number and the first two bytes of the prefix field go in one
    // batch, so a slot deleted in this run reads like one deleted before a
    // restart, whatever happens in between.
    StoreFiles::Batch batch(m_files);
    const int64_t deleted = kDeletedNumber;
    s = m_files.write(m_spec.fileName, slot * m_spec.recordSize, &deleted, sizeof deleted);
    if (s && m_spec.prefixOffset >= 0) {
        const char zero[2] = {0, 0};
        s = m_files.write(m_spec.fileName,
                          slot * m_spec.recordSize + static_cast<uint64_t>(m_spec.prefixOffset),
                          zero, sizeof zero);
    }
    if (s && batch.outermost()) {
        uint64_t ticket = 0;
        s = batch.commit(&ticket);
        if (s) s = m_files.waitDurable(ticket);
    }
    if (!s) return writeFailure(s, cannotWrite());
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
        if (last == INT64_MAX || entries[p].number != last + 1) break;
        last = entries[p].number;
    }
    // A run that reaches the largest number has no number after it: the
    // offer is the taken number itself, which the form then refuses.
    return last == INT64_MAX ? last : last + 1;
}

}  // namespace kassio
