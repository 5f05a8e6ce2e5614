// A scan of a record file in slot order, for the searches that read every
// slot (description, fragment, name and telephone searches).
//
// The scan never holds the DataMutex while anyone waits for the clerk: each
// call takes the lock, looks from a slot onwards for the next match, copies
// the matching record out and releases the lock again before returning. The
// caller shows the match and, if the clerk wants more, calls again from the
// slot after it. Slots never move (a new record takes a deleted slot or one
// past the end), so "the slot after" stays meaningful across the gap; the
// file is opened afresh by every call, so records appended in the gap are
// reached too. Postings committed but not yet in the file are let through
// first (StoreFiles::settle()), as the scan reads the file itself.
//
// Inside one call the file is mapped read-only and only the bytes the test
// needs are touched, so a scan of a large file costs little more than the
// pages it reads. The mapping is gone before the lock is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "store/data_store.h"
#include "store/record_file.h"

namespace kassio {

struct ScanHit {
    uint64_t slot = 0;
    std::vector<unsigned char> record;  // the whole record as it lay in the file
};

// A read-only view of a whole record file, made and dropped with the
// DataMutex held. The first few slots asked for are read one by one (a scan
// that stops early costs no more than that); after them the file is mapped
// and only the bytes a test looks at are touched. Where the file cannot be
// mapped it is read in blocks.
class RecordFileView {
  public:
    RecordFileView(const std::string& path, std::size_t recordSize);
    ~RecordFileView();
    RecordFileView(const RecordFileView&) = delete;
    RecordFileView& operator=(const RecordFileView&) = delete;

    bool ok() const { return m_ok; }
    std::size_t slotCount() const { return m_slots; }
    // The bytes of a slot; valid until the next call. nullptr on a read error.
    const unsigned char* slot(std::size_t n);

  private:
    const unsigned char* readBlock(std::size_t first, std::size_t count);

    std::size_t m_recordSize;
    int m_fd = -1;
    bool m_ok = false;
    std::size_t m_slots = 0;
    int m_reads = 0;
    bool m_mapTried = false;
    std::size_t m_length = 0;
    const unsigned char* m_map = nullptr;
    std::vector<unsigned char> m_block;
    std::size_t m_blockFirst = 0;
    std::size_t m_blockCount = 0;
};

Status scanReadFailure(const RecordFile& file);

// Takes the DataMutex, looks at slots from..end in file order and returns
// the first for which pass(slot) and then test(slot, bytes) are true; pass()
// decides from memory alone (the prefix table), so the slots it turns away
// are never read. nullopt at the end of the file, or on a failure, which is
// then in *error ("Data file: %s, not present.").
template <typename Pass, typename Test>
std::optional<ScanHit> scanFrom(DataStore& store, const RecordFile& file, uint64_t from, Pass pass,
                                Test test, Status* error) {
    auto lock = store.lock();
    static_cast<void>(file.settle());  // a failed flush is the poster's to report
    RecordFileView view(file.path(), file.spec().recordSize);
    if (!view.ok()) {
        if (error) *error = file.notPresent();
        return std::nullopt;
    }
    for (std::size_t n = from; n < view.slotCount(); ++n) {
        if (!pass(n)) continue;
        const unsigned char* rec = view.slot(n);
        if (!rec) {
            if (error) *error = scanReadFailure(file);
            return std::nullopt;
        }
        if (!test(n, rec)) continue;
        return ScanHit{n, std::vector<unsigned char>(rec, rec + file.spec().recordSize)};
    }
    return std::nullopt;
}

// Every slot for which pass() and test() are true, in slot order, under one
// hold of the lock (the pick lists).
template <typename Pass, typename Test>
std::vector<ScanHit> scanAll(DataStore& store, const RecordFile& file, Pass pass, Test test,
                             Status* error) {
    std::vector<ScanHit> hits;
    auto lock = store.lock();
    static_cast<void>(file.settle());  // a failed flush is the poster's to report
    RecordFileView view(file.path(), file.spec().recordSize);
    if (!view.ok()) {
        if (error) *error = file.notPresent();
        return hits;
    }
    for (std::size_t n = 0; n < view.slotCount(); ++n) {
        if (!pass(n)) continue;
        const unsigned char* rec = view.slot(n);
        if (!rec) {
            if (error) *error = scanReadFailure(file);
            return hits;
        }
        if (!test(n, rec)) continue;
        hits.push_back({n, std::vector<unsigned char>(rec, rec + file.spec().recordSize)});
    }
    return hits;
}

// Lets every slot through to the test.
inline bool everySlot(uint64_t) {
    return true;
}

// The number a slot's record begins with.
int64_t recordNumber(const unsigned char* record);

// The search by initial characters shared by descriptions and names: the
// slot's prefix-table bytes must match the query's first two characters
// (a deleted slot's are both 0 and never match), and the field's bytes from
// the third on must match the rest of the query. '?' matches any byte.
bool prefixMatches(const std::string& query, RecordIndex::Prefix prefix);
bool initialsMatch(const std::string& query, const char* field, std::size_t width);

// The field's text up to its NUL (or its whole width), without copying.
std::string_view fieldView(const unsigned char* record, std::size_t offset, std::size_t width);

}  // namespace kassio
