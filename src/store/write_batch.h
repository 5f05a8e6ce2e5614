// WriteBatch: one change to the shop's files, described in memory before it
// is committed to the posting journal as one record. Everything in a batch
// reaches the files or nothing does, even across a crash.
//
// Paths are relative to the DataFolder ("inventory.dat", "2026/3/14/saleslog.dat"),
// with no "." or ".." parts, no leading '/', and never the journal itself.
//
// An append names no offset: the journal resolves it to the file's end at
// commit time, under the caller's data lock, and records the resolved
// write. So the record says "these bytes at this offset", and replaying it
// twice leaves the same file as replaying it once.
//
// Not synchronised: a batch belongs to the thread that builds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"

namespace kassio {

class WriteBatch {
  public:
    enum class OpKind : uint8_t {
        kWrite = 1,       // bytes at offset, creating the file when missing
        kAppend = 2,      // bytes at the file's end (resolved at commit)
        kMakeFolder = 3,  // one folder, its parent already there or made earlier in the batch
        kTruncate = 4,    // the file's length set to offset, creating it when missing
    };

    // Bytes [first, second) of a write's bytes.
    using Range = std::pair<uint32_t, uint32_t>;

    struct Op {
        OpKind kind;
        std::string path;
        uint64_t offset = 0;  // kWrite: where; kTruncate: the new length
        std::string bytes;    // kWrite, kAppend
        // kWrite: the parts of bytes that differ from what the file held
        // before, in order; empty when all of them may. Only these go into
        // the journal's record; the files get all of bytes, which is the
        // same result.
        std::vector<Range> changed = {};
    };

    // A client's request id with the answer it was given, kept by the
    // journal so that a retried request gets its first answer back instead
    // of being posted twice.
    struct Request {
        std::string id;      // at most kMaxRequestIdBytes
        std::string result;  // at most kMaxResultBytes
    };
    static constexpr std::size_t kMaxRequestIdBytes = 64;
    static constexpr std::size_t kMaxResultBytes = 256;
    static constexpr std::size_t kMaxPathBytes = 1024;

    void write(std::string path, uint64_t offset, std::string_view bytes,
               std::vector<Range> changed = {});
    void write(std::string path, uint64_t offset, const void* data, std::size_t len) {
        write(std::move(path), offset, std::string_view(static_cast<const char*>(data), len));
    }
    void append(std::string path, std::string_view bytes);
    void append(std::string path, const void* data, std::size_t len) {
        append(std::move(path), std::string_view(static_cast<const char*>(data), len));
    }
    void makeFolder(std::string path);
    void truncate(std::string path, uint64_t length);
    void setRequest(std::string id, std::string result);

    const std::vector<Op>& ops() const { return m_ops; }
    std::vector<Op>& ops() { return m_ops; }
    const std::optional<Request>& request() const { return m_request; }
    bool empty() const { return m_ops.empty() && !m_request; }
    // Bytes of file content the batch carries (for sizing buffers).
    std::size_t contentBytes() const { return m_contentBytes; }
    void clear();

    // Invalid when a path or the request breaks the rules above.
    Status validate() const;

    // The record payload (layout in posting_journal_format.h) and back: a
    // write with changed ranges becomes one write per range. deserialize()
    // refuses anything that is not exactly one whole batch.
    std::string serialize() const;
    static Status deserialize(std::string_view payload, WriteBatch* batch);

  private:
    std::vector<Op> m_ops;
    std::optional<Request> m_request;
    std::size_t m_contentBytes = 0;
};

bool operator==(const WriteBatch::Op& a, const WriteBatch::Op& b);

}  // namespace kassio
