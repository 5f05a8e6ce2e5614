// posting.journal as the last run may have left it, read by
// PostingJournal::pending and replayed by PostingJournal::open on the
// scratch folder. The first byte chooses how the rest is taken: odd, as the
// file's bytes themselves; even, as records ([type u8][length u16][payload])
// that the target frames with their true length and checksum, so the
// fuzzer reaches the batch decoder and the replay behind the checksum.
//
// Replayed writes go to the disk through a file system that refuses
// anything beyond 1 MiB, so a record naming a huge offset is a failed
// replay (which must be reported) instead of a huge file.
#include <set>

#include "fuzz_support.h"
#include "store/crc32c.h"
#include "store/posix_file_system.h"
#include "store/posting_journal.h"
#include "store/posting_journal_format.h"

namespace kassio::fuzz {
namespace {

constexpr uint64_t kLimit = 1u << 20;

class BoundedFileSystem final : public FileSystem {
  public:
    Status writeAt(const std::string& path, uint64_t offset, const void* data,
                   std::size_t len) override {
        if (offset > kLimit || len > kLimit - offset) return Status::ioError("beyond the limit");
        return m_base.writeAt(path, offset, data, len);
    }
    Status readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                  std::size_t* got) override {
        return m_base.readAt(path, offset, buf, len, got);
    }
    Status size(const std::string& path, uint64_t* size) override {
        return m_base.size(path, size);
    }
    Status truncate(const std::string& path, uint64_t size) override {
        if (size > kLimit) return Status::ioError("beyond the limit");
        return m_base.truncate(path, size);
    }
    Status syncData(const std::string& path) override { return m_base.syncData(path); }
    Status syncFolder(const std::string& path) override { return m_base.syncFolder(path); }
    Status makeFolder(const std::string& path) override { return m_base.makeFolder(path); }
    Status rename(const std::string& from, const std::string& to) override {
        return m_base.rename(from, to);
    }
    Status exchange(const std::string& a, const std::string& b) override {
        return m_base.exchange(a, b);
    }
    Status remove(const std::string& path) override { return m_base.remove(path); }
    bool exists(const std::string& path) override { return m_base.exists(path); }
    void close(const std::string& path) override { m_base.close(path); }
    void closeAll() override { m_base.closeAll(); }

  private:
    PosixFileSystem m_base;
};

std::string framed(std::string_view in) {
    std::string out;
    while (in.size() >= 3) {
        const auto type = static_cast<uint8_t>(in[0]);
        std::size_t len = static_cast<uint8_t>(in[1]) |
                          static_cast<std::size_t>(static_cast<uint8_t>(in[2])) << 8;
        in.remove_prefix(3);
        len = std::min(len, in.size());
        const std::string_view payload = in.substr(0, len);
        in.remove_prefix(len);
        const uint32_t crc =
            crc32c::mask(crc32c::extend(crc32c::value(&type, 1), payload.data(), payload.size()));
        const auto length = static_cast<uint32_t>(payload.size());
        out.append(reinterpret_cast<const char*>(&length), 4);
        out.append(reinterpret_cast<const char*>(&crc), 4);
        out += static_cast<char>(type);
        out += payload;
    }
    out += in;  // a torn tail
    return out;
}

}  // namespace
}  // namespace kassio::fuzz

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static BoundedFileSystem fs;
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string file = data[0] & 1 ? std::string(rest) : framed(rest);

    fs.closeAll();
    folder.empty();
    writeFile(folder / journal_format::kFileName, file);

    JournalContents contents;
    Status s = PostingJournal::pending(fs, folder.path(), &contents);
    FUZZ_CHECK(s.isOk(), s.message());
    FUZZ_CHECK(contents.wholeBytes + contents.droppedBytes + contents.roomBytes == file.size(),
               "pending sizes");
    std::set<std::string> ids;
    for (const WriteBatch& batch : contents.batches) {
        FUZZ_CHECK(batch.validate().isOk(), "pending gave an invalid batch");
        if (batch.request()) ids.insert(batch.request()->id);
    }

    PostingJournalOptions options;
    options.sync = false;
    options.minRoom = 0;
    PostingJournal journal(fs, folder.path(), options);
    RecoveryResult recovery;
    s = journal.open(&recovery);
    if (!s) {
        // The journal stays for the next start to replay.
        FUZZ_CHECK(!s.message().empty(), "a failed replay needs a message");
        FUZZ_CHECK(readFile(folder / journal_format::kFileName) == file, "journal changed");
        return 0;
    }
    FUZZ_CHECK(recovery.records == contents.batches.size(), "replayed batch count");
    FUZZ_CHECK(recovery.droppedBytes == contents.droppedBytes, "dropped bytes");
    for (const std::string& id : ids) FUZZ_CHECK(journal.remembered(id).has_value(), id);

    // The fresh journal holds the request ids and nothing else.
    JournalContents fresh;
    FUZZ_CHECK(PostingJournal::pending(fs, folder.path(), &fresh).isOk(), "fresh journal");
    FUZZ_CHECK(fresh.batches.empty() && fresh.droppedBytes == 0, "fresh journal not empty");
    FUZZ_CHECK(fresh.rememberedRequests >= ids.size(), "request ids lost at the checkpoint");

    // One more posting on top of the replayed files, then a clean close.
    if (isDirectory(folder / "fuzz.dat")) return 0;  // a replayed record made it a folder
    WriteBatch batch;
    batch.append("fuzz.dat", "after the replay");
    batch.setRequest("fuzz-request", "20");
    uint64_t ticket = 0;
    FUZZ_CHECK(journal.commit(std::move(batch), &ticket).isOk(), "commit after replay");
    FUZZ_CHECK(journal.waitDurable(ticket).isOk(), "durable after replay");
    FUZZ_CHECK(journal.close().isOk(), "close");
    FUZZ_CHECK(!fileExists(folder / journal_format::kFileName), "journal left after close");
    return 0;
}
