// The write path's promises: a batch reaches the files whole or not at all,
// whatever point a crash or a failed call stops it at; nothing reported as
// saved is lost and nothing reported as failed appears; replay changes
// nothing that is already right; concurrent postings share their flushes.
#include "store/posting_journal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "store/faulty_file_system.h"
#include "store/posix_file_system.h"
#include "store/posting_journal_format.h"
#include "store/store_files.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileSystem;
using Fault = FaultyFileSystem::Fault;
using Files = std::map<std::string, std::string>;

const PostingJournalOptions kNoSync{.sync = false};

// The data files of a folder (relative path -> bytes); the journal is not one.
Files filesIn(const std::string& folder) {
    Files out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        std::string rel = fs::relative(e.path(), folder).string();
        if (rel.rfind(journal_format::kFileName, 0) == 0) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        out[rel] = ss.str();
    }
    return out;
}

void putFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void emptyFolder(const std::string& folder) {
    for (const auto& e : fs::directory_iterator(folder)) fs::remove_all(e.path());
}

// What the files must hold after a batch, worked out independently of the
// journal: appends go at the model file's end.
void applyToModel(Files& files, const WriteBatch& b) {
    for (const auto& op : b.ops()) {
        std::string& f = files[op.path];
        switch (op.kind) {
            case WriteBatch::OpKind::kAppend:
                f += op.bytes;
                break;
            case WriteBatch::OpKind::kWrite:
                if (f.size() < op.offset + op.bytes.size()) f.resize(op.offset + op.bytes.size());
                f.replace(op.offset, op.bytes.size(), op.bytes);
                break;
            case WriteBatch::OpKind::kTruncate:
                f.resize(op.offset);
                break;
            case WriteBatch::OpKind::kMakeFolder:
                files.erase(op.path);
                break;
        }
    }
}

// A posting in miniature: a day folder made, a log appended, an item slot
// and the configuration written in place, a client request answered.
WriteBatch sale(int i) {
    WriteBatch b;
    b.makeFolder("2026");
    b.makeFolder("2026/3");
    b.append("2026/3/saleslog.dat", std::string(40, char('a' + i)));
    b.write("inventory.dat", (i % 3) * 64, std::string(64, char('0' + i)));
    b.write("kq.cfg", 0, std::string(100 + i, char('A' + i)));
    b.setRequest("station-1/" + std::to_string(i), "answer " + std::to_string(i));
    return b;
}

Status post(PostingJournal& j, WriteBatch b) {
    uint64_t ticket = 0;
    Status s = j.commit(std::move(b), &ticket);
    return s ? j.waitDurable(ticket) : s;
}

// Three sales journalled and flushed but never applied (every data write
// fails), as a crash right after the flush leaves them. Gives the journal's
// bytes, the end of each record and the files after each count of records.
struct ThreeSales {
    std::string journal;
    std::vector<uint64_t> ends;  // ends[k]: end of the first k records
    std::vector<Files> after;    // after[k]: the files once k sales are in
};

ThreeSales threeUnappliedSales() {
    ThreeSales out;
    test::TempFolder dir;
    PosixFileSystem posix;
    FaultyFileSystem faulty(posix);
    PostingJournal j(faulty, dir.path());
    EXPECT_TRUE(j.open());
    faulty.failWritesTo([](const std::string& p) { return p.find("posting.journal") == p.npos; });
    out.after.push_back({});
    uint64_t ticket = 0;
    for (int i = 1; i <= 3; ++i) {
        Files next = out.after.back();
        applyToModel(next, sale(i));
        out.after.push_back(next);
        EXPECT_TRUE(j.commit(sale(i), &ticket));
    }
    // Saved, so acknowledged; the files lag until the next open.
    EXPECT_TRUE(j.waitDurable(ticket));
    EXPECT_EQ(j.error().kind(), Status::Kind::kIoError);
    EXPECT_FALSE(j.commit(sale(4), &ticket));
    EXPECT_EQ(filesIn(dir.path()), Files{});
    std::ifstream in(dir / journal_format::kFileName, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    out.journal = ss.str();
    // The file header, three records, then the room written ahead (zeros).
    std::size_t pos = journal_format::kFileHeaderSize;
    out.ends.push_back(pos);
    for (int i = 0; i < 3; ++i) {
        uint32_t len;
        std::memcpy(&len, out.journal.data() + pos, 4);
        pos += journal_format::kHeaderSize + len;
        out.ends.push_back(pos);
    }
    EXPECT_EQ(out.journal.find_first_not_of('\0', pos), std::string::npos);
    out.journal.resize(pos);
    return out;
}

TEST(PostingJournal, ReplayLeavesTheSameFilesWhateverWasAppliedBefore) {
    const ThreeSales three = threeUnappliedSales();
    for (std::size_t applied : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(applied);
        test::TempFolder dir;
        PosixFileSystem posix;
        for (const auto& [path, bytes] : three.after[applied]) putFile(dir / path, bytes);
        putFile(dir / journal_format::kFileName, three.journal);
        JournalContents contents;
        ASSERT_TRUE(PostingJournal::pending(posix, dir.path(), &contents));
        ASSERT_EQ(contents.batches.size(), 3u);
        EXPECT_EQ(contents.rememberedRequests, 3u);
        for (const auto& b : contents.batches)
            for (const auto& op : b.ops()) EXPECT_NE(op.kind, WriteBatch::OpKind::kAppend);
        EXPECT_EQ(filesIn(dir.path()), three.after[applied]);  // looking applies nothing
        {
            // A reader that must not write (kassio-admin check) sees the
            // files as replay will leave them, whatever part a kill left
            // applied, and changes nothing.
            std::recursive_mutex mutex;
            StoreFiles reader(dir.path(), mutex);
            ASSERT_TRUE(reader.openForReading());
            for (const auto& [path, bytes] : three.after[3])
                EXPECT_EQ(reader.readAll(path), bytes) << path;
            EXPECT_FALSE(reader.write("kq.cfg", 0, "x", 1));
            EXPECT_EQ(filesIn(dir.path()), three.after[applied]);
        }
        for (int replay = 0; replay < 2; ++replay) {
            putFile(dir / journal_format::kFileName, three.journal);
            PostingJournal j(posix, dir.path(), replay ? kNoSync : PostingJournalOptions{});
            RecoveryResult r;
            ASSERT_TRUE(j.open(&r));
            EXPECT_EQ(r.records, 3u);
            EXPECT_EQ(filesIn(dir.path()), three.after[3]);
            ASSERT_TRUE(j.close());
            EXPECT_FALSE(fs::exists(dir / journal_format::kFileName));
        }
    }
}

// A journal laid over the files for reading (what a read-only open does)
// reads as its replay would leave them: random writes, appends and
// truncations, shorter and longer, over a file that holds bytes and one
// that does not exist yet, read at random places and lengths.
TEST(PostingJournal, ALaidOverJournalReadsAsItsReplay) {
    std::mt19937 rng(7);
    PosixFileSystem posix;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        test::TempFolder dir;
        Files model;
        model["a.dat"] = std::string(rng() % 64, 'f');
        putFile(dir / "a.dat", model["a.dat"]);
        std::vector<WriteBatch> batches;
        for (int i = 0; i < 12; ++i) {
            WriteBatch b;
            const std::string path = rng() % 2 ? "a.dat" : "b.dat";
            switch (rng() % 4) {
                case 0:
                    b.truncate(path, rng() % 80);
                    break;
                case 1:
                    b.append(path, std::string(1 + rng() % 10, char('a' + i)));
                    break;
                default:
                    b.write(path, rng() % 80, std::string(1 + rng() % 20, char('A' + i)));
            }
            applyToModel(model, b);
            batches.push_back(std::move(b));
        }
        PostingJournal j(posix, dir.path());
        ASSERT_TRUE(j.layOver(batches));
        for (const auto& [path, bytes] : model) {
            uint64_t size = 0;
            ASSERT_TRUE(j.size(path, &size));
            EXPECT_EQ(size, bytes.size()) << path;
            for (int r = 0; r < 20; ++r) {
                const uint64_t offset = rng() % 100;
                const std::size_t len = 1 + rng() % 40;
                std::string buf(len, '?');
                std::size_t got = 0;
                ASSERT_TRUE(j.read(path, offset, buf.data(), len, &got));
                const std::string expected = offset < bytes.size() ? bytes.substr(offset, len) : "";
                EXPECT_EQ(buf.substr(0, got), expected) << path << " at " << offset;
            }
        }
        EXPECT_EQ(filesIn(dir.path()).size(), 1u);  // nothing written
    }
}

TEST(PostingJournal, ReplayStopsAtATornOrDamagedRecord) {
    const ThreeSales three = threeUnappliedSales();
    const std::string& whole = three.journal;
    struct Case {
        std::string journal;
        std::size_t records;
        // When not all after the last record. Zeros ending a cut are taken
        // for the room of a reused file: they are not counted as dropped.
        std::optional<uint64_t> dropped;
    };
    std::vector<Case> cases;
    // Cut at every byte of the last record, and at each earlier record's
    // edges and middle: a crash part way through an append.
    for (std::size_t cut = three.ends[2]; cut <= three.ends[3]; ++cut)
        cases.push_back({whole.substr(0, cut), cut == three.ends[3] ? 3u : 2u, {}});
    for (std::size_t k = 0; k < 2; ++k)
        for (std::size_t cut : {three.ends[k], three.ends[k] + 1, three.ends[k] + 9,
                                (three.ends[k] + three.ends[k + 1]) / 2, three.ends[k + 1] - 1})
            cases.push_back({whole.substr(0, cut), k, {}});
    // Damage: a flipped payload byte or checksum bit, a huge length, an
    // unknown type, zeros after the end (space the file system handed out).
    auto damaged = [&](std::size_t at, char x) {
        std::string j = whole;
        j[at] ^= x;
        return j;
    };
    cases.push_back({damaged(three.ends[1] + 20, 1), 1, {}});
    cases.push_back({damaged(three.ends[1] + 4, '\x80'), 1, {}});
    cases.push_back({damaged(three.ends[2] + 3, '\x7f'), 2, {}});
    cases.push_back({damaged(three.ends[2] + 8, 9), 2, {}});
    // The journal's file is reused: after its end come zeros, or the
    // records of its earlier use, which are room, not a torn tail.
    cases.push_back({whole + std::string(4096, '\0'), 3, 0});
    const ThreeSales earlier = threeUnappliedSales();
    cases.push_back({whole + earlier.journal.substr(earlier.ends[1]), 3, 0});
    cases.push_back(
        {whole.substr(0, three.ends[2]) + earlier.journal.substr(earlier.ends[2]), 2, 0});
    // A torn record followed by zeros: only the record is dropped.
    cases.push_back({whole.substr(0, three.ends[3] - 5) + std::string(64, '\0'), 2,
                     three.ends[3] - 5 - three.ends[2]});

    test::TempFolder dir;
    PosixFileSystem posix;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.journal.size() << " bytes, " << c.records);
        emptyFolder(dir.path());
        putFile(dir / journal_format::kFileName, c.journal);
        PostingJournal j(posix, dir.path(), kNoSync);
        RecoveryResult r;
        ASSERT_TRUE(j.open(&r));
        ASSERT_EQ(r.records, c.records);
        const std::size_t end =
            std::max(three.ends[c.records], c.journal.find_last_not_of('\0') + 1);
        ASSERT_EQ(r.droppedBytes, c.dropped.value_or(end - three.ends[c.records]));
        ASSERT_EQ(filesIn(dir.path()), three.after[c.records]);
        ASSERT_TRUE(j.close());
    }
}

// The promises that hold whether the files are written by the thread that
// waits for a posting or behind it by the journal's own threads.
class PostingJournalModes : public testing::TestWithParam<bool> {
  protected:
    static PostingJournalOptions options(PostingJournalOptions o = {}) {
        o.applyBehind = GetParam();
        return o;
    }
};
INSTANTIATE_TEST_SUITE_P(Modes, PostingJournalModes, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ApplyBehind" : "ApplyInline";
                         });

TEST_P(PostingJournalModes, ReadsSeeCommitsThatAreNotYetOnDisk) {
    using Build = std::function<void(WriteBatch&)>;
    const struct {
        const char* name;
        std::optional<std::string> before;  // nullopt: no file yet
        std::vector<Build> commits;
        std::string expected;
    } cases[] = {
        {"appends to a new file",
         std::nullopt,
         {[](WriteBatch& b) { b.append("f", "abc"); }, [](WriteBatch& b) { b.append("f", "de"); }},
         "abcde"},
        {"a write past the end leaves zeros",
         "xy",
         {[](WriteBatch& b) { b.write("f", 4, "z"); }},
         std::string("xy\0\0z", 5)},
        {"truncate, then write and append",
         "abcdefgh",
         {[](WriteBatch& b) {
             b.truncate("f", 2);
             b.write("f", 3, "Q");
             b.append("f", "R");
         }},
         std::string("ab\0QR", 5)},
        {"a later commit wins",
         "....",
         {[](WriteBatch& b) { b.write("f", 1, "AA"); },
          [](WriteBatch& b) { b.write("f", 2, "B"); }},
         ".AB."},
        {"shortened after a longer write",
         "abc",
         {[](WriteBatch& b) { b.write("f", 0, "0123456789"); },
          [](WriteBatch& b) { b.truncate("f", 4); }},
         "0123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        PosixFileSystem posix;
        if (c.before) putFile(dir / "f", *c.before);
        PostingJournal j(posix, dir.path(), options());
        ASSERT_TRUE(j.open());
        uint64_t ticket = 0;
        for (const Build& build : c.commits) {
            WriteBatch b;
            build(b);
            ASSERT_TRUE(j.commit(std::move(b), &ticket));
        }
        uint64_t size = 0;
        ASSERT_TRUE(j.size("f", &size));
        EXPECT_EQ(size, c.expected.size());
        for (std::size_t offset : {std::size_t{0}, std::size_t{1}, c.expected.size()}) {
            std::string buf(16, '?');
            std::size_t got = 0;
            ASSERT_TRUE(j.read("f", offset, buf.data(), buf.size(), &got));
            EXPECT_EQ(buf.substr(0, got), c.expected.substr(offset)) << offset;
        }
        // Nothing reaches the file before its record is flushed.
        EXPECT_EQ(filesIn(dir.path()).count("f") ? filesIn(dir.path())["f"] : std::string("-"),
                  c.before.value_or("-"));
        ASSERT_TRUE(j.waitApplied(ticket));
        EXPECT_EQ(filesIn(dir.path())["f"], c.expected);
    }
}

TEST_P(PostingJournalModes, AFaultLeavesEachPostingWholeOrAbsentAsReported) {
    for (Fault fault : {Fault::kWrite, Fault::kNoSpace, Fault::kSync, Fault::kRename}) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(testing::Message() << "fault " << int(fault) << " at call " << nth);
            test::TempFolder dir;
            PosixFileSystem posix;
            Files expected;
            {
                PostingJournal j(posix, dir.path(), options());
                ASSERT_TRUE(j.open());
                ASSERT_TRUE(post(j, sale(0)));
                ASSERT_TRUE(j.close());
                applyToModel(expected, sale(0));
            }
            FaultyFileSystem faulty(posix);
            faulty.failAt(fault, nth);
            {
                PostingJournal j(faulty, dir.path(), options());
                if (j.open()) {
                    for (int i = 1; i <= 3; ++i) {
                        if (post(j, sale(i))) applyToModel(expected, sale(i));
                        if (i == 2) static_cast<void>(j.checkpoint());
                    }
                    static_cast<void>(j.close());
                }
            }  // without a successful close, a crash
            PostingJournal j(posix, dir.path());
            ASSERT_TRUE(j.open());
            ASSERT_TRUE(j.close());
            ASSERT_EQ(filesIn(dir.path()), expected);
            if (!faulty.fired()) break;
        }
    }
}

TEST_P(PostingJournalModes, ConcurrentPostingsShareFlushes) {
    constexpr int kThreads = 8;
    test::TempFolder dir;
    PosixFileSystem posix;
    FaultyFileSystem faulty(posix);
    // Below the room a fresh journal has, so that no checkpoint (nor the
    // swap for a roomier spare) takes the records away before they are read.
    PostingJournal j(faulty, dir.path(), options({.checkpointBytes = 64u << 10}));
    ASSERT_TRUE(j.open());
    faulty.countSyncsOf(dir / journal_format::kFileName);
    // The first flush waits until every thread has committed, so the
    // others queue behind it as postings do behind a slow disk.
    faulty.holdSyncs(true);
    std::mutex dataLock;
    std::vector<Status> results(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            WriteBatch b;
            b.append("saleslog.dat", std::string(16, char('a' + i)));
            uint64_t ticket = 0;
            {
                std::lock_guard lock(dataLock);
                results[i] = j.commit(std::move(b), &ticket);
            }
            if (results[i]) results[i] = j.waitDurable(ticket);
        });
    }
    while (j.stats().commits < kThreads) std::this_thread::yield();
    faulty.holdSyncs(false);
    for (auto& t : threads) t.join();

    for (const Status& s : results) EXPECT_TRUE(s) << s.message();
    JournalContents contents;
    ASSERT_TRUE(PostingJournal::pending(posix, dir.path(), &contents));
    EXPECT_EQ(contents.batches.size(), std::size_t{kThreads});
    const int syncs = faulty.syncDataCalls(dir / journal_format::kFileName);
    EXPECT_GE(syncs, 1);
    EXPECT_LE(syncs, 2);  // the held one, then one for everyone behind it
    // Every append got its own place.
    ASSERT_TRUE(j.waitApplied(j.lastTicket()));
    std::string log = filesIn(dir.path())["saleslog.dat"];
    ASSERT_EQ(log.size(), 16u * kThreads);
    for (int i = 0; i < kThreads; ++i)
        EXPECT_NE(log.find(std::string(16, char('a' + i))), std::string::npos);
}

// Applying behind: a posting is answered before the files hold it, and the
// checkpoint's long flush of the data files does not hold postings up.
TEST(PostingJournalBehind, ACheckpointFlushesTheFilesWhilePostingsGoOn) {
    test::TempFolder dir;
    PosixFileSystem posix;
    FaultyFileSystem faulty(posix);
    const std::string journal = dir / journal_format::kFileName;
    Files expected;
    {
        PostingJournal j(faulty, dir.path(), {.checkpointBytes = 2048, .applyBehind = true});
        ASSERT_TRUE(j.open());
        const uint64_t opened = j.stats().checkpoints;  // the start's own
        // The data files' flushes wait, as on a disk with much to write.
        faulty.holdSyncs(true, [&](const std::string& p) { return p.rfind(journal, 0) != 0; });
        int i = 0;
        for (; i < 20; ++i) {  // several times the size that starts a checkpoint
            ASSERT_TRUE(post(j, sale(i % 10)));
            applyToModel(expected, sale(i % 10));
        }
        for (int wait = 0; faulty.heldSyncs() == 0; ++wait) {
            ASSERT_LT(wait, 5000) << "no checkpoint started";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // The checkpointer waits on its first flush; postings are answered.
        for (int k = 0; k < 5; ++k, ++i) {
            ASSERT_TRUE(post(j, sale(i % 10)));
            applyToModel(expected, sale(i % 10));
        }
        EXPECT_EQ(j.stats().checkpoints, opened);
        faulty.holdSyncs(false);
        for (int wait = 0; j.stats().checkpoints == opened && wait < 2000; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_GT(j.stats().checkpoints, opened);
        ASSERT_TRUE(post(j, sale(3)));
        applyToModel(expected, sale(3));
        ASSERT_TRUE(j.waitApplied(j.lastTicket()));
        EXPECT_EQ(filesIn(dir.path()), expected);
    }  // a crash: the last postings are replayed from the fresh journal
    PostingJournal j(posix, dir.path());
    ASSERT_TRUE(j.open());
    ASSERT_TRUE(j.close());
    EXPECT_EQ(filesIn(dir.path()), expected);
}

TEST(PostingJournalBehind, AJournalStartedShortOfRoomIsSwappedForAFullSpare) {
    test::TempFolder dir;
    PosixFileSystem posix;
    constexpr uint64_t kBytes = 1u << 20;  // four times the room of a fresh journal
    PostingJournal j(posix, dir.path(), {.checkpointBytes = kBytes, .applyBehind = true});
    ASSERT_TRUE(j.open());
    const uint64_t opened = j.stats().checkpoints;
    ASSERT_TRUE(post(j, sale(1)));
    for (int wait = 0; j.stats().checkpoints == opened; ++wait) {
        ASSERT_LT(wait, 5000) << "the spare was not swapped in";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(fs::file_size(dir / journal_format::kFileName),
              kBytes + PostingJournal::kMaxRoomStep);
    // The posting made before the swap is in the files; one after it too.
    ASSERT_TRUE(post(j, sale(2)));
    ASSERT_TRUE(j.waitApplied(j.lastTicket()));
    Files expected;
    applyToModel(expected, sale(1));
    applyToModel(expected, sale(2));
    EXPECT_EQ(filesIn(dir.path()), expected);
}

TEST(PostingJournalBehind, CrashesWhilePostingAndCheckpointingLoseNothingAnswered) {
    constexpr int kThreads = 4;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        test::TempFolder dir;
        PosixFileSystem posix;
        std::vector<std::vector<int>> answered(kThreads);
        {
            PostingJournal j(posix, dir.path(),
                             {.sync = false, .checkpointBytes = 600, .applyBehind = true});
            ASSERT_TRUE(j.open());
            std::mutex dataLock;
            std::atomic<bool> stop{false};
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t) {
                threads.emplace_back([&, t] {
                    for (int n = 0; !stop; ++n) {
                        WriteBatch b;
                        // One line per posting, and a slot each thread
                        // overwrites: the newest answered one must win.
                        b.append("log.dat",
                                 "t" + std::to_string(t) + "/" + std::to_string(n) + ";");
                        b.write("slots.dat", t * 8, std::to_string(10000000 + n));
                        uint64_t ticket = 0;
                        {
                            std::lock_guard lock(dataLock);
                            if (!j.commit(std::move(b), &ticket)) return;
                        }
                        if (j.waitDurable(ticket)) answered[t].push_back(n);
                    }
                });
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + 15 * round));
            stop = true;
            for (auto& t : threads) t.join();
            EXPECT_GE(j.stats().checkpoints, 2u);  // the start's, then by size
        }  // no close: what the files and the journal hold is what a kill leaves
        PostingJournal j(posix, dir.path());
        ASSERT_TRUE(j.open());
        Files files = filesIn(dir.path());
        const std::string& log = files["log.dat"];
        for (int t = 0; t < kThreads; ++t) {
            ASSERT_FALSE(answered[t].empty());
            for (int n : answered[t]) {
                const std::string line = "t" + std::to_string(t) + "/" + std::to_string(n) + ";";
                const auto at = log.find(line);
                ASSERT_NE(at, std::string::npos) << line;
                EXPECT_EQ(log.find(line, at + 1), std::string::npos) << line << " twice";
            }
            EXPECT_EQ(files["slots.dat"].substr(t * 8, 8),
                      std::to_string(10000000 + answered[t].back()));
        }
        ASSERT_TRUE(j.close());
    }
}

TEST(PostingJournalBehind, APostingThatCannotBeAppliedIsKeptAndStopsTheNext) {
    test::TempFolder dir;
    PosixFileSystem posix;
    FaultyFileSystem faulty(posix);
    {
        PostingJournal j(faulty, dir.path(), {.applyBehind = true});
        ASSERT_TRUE(j.open());
        faulty.failWritesTo(
            [](const std::string& p) { return p.find("posting.journal") == p.npos; });
        uint64_t ticket = 0;
        ASSERT_TRUE(j.commit(sale(1), &ticket));
        EXPECT_TRUE(j.waitDurable(ticket));  // on disk: answered
        EXPECT_EQ(j.waitApplied(ticket).kind(), Status::Kind::kIoError);
        EXPECT_EQ(j.error().kind(), Status::Kind::kIoError);
        EXPECT_FALSE(j.commit(sale(2), &ticket));
        // Reads still see it.
        std::string buf(64, '?');
        std::size_t got = 0;
        ASSERT_TRUE(j.read("inventory.dat", 64, buf.data(), buf.size(), &got));
        EXPECT_EQ(buf.substr(0, got), std::string(64, '1'));
    }
    PostingJournal j(posix, dir.path());
    ASSERT_TRUE(j.open());
    Files expected;
    applyToModel(expected, sale(1));
    EXPECT_EQ(filesIn(dir.path()), expected);
    ASSERT_TRUE(j.close());
}

TEST(PostingJournal, RequestIdsSurviveCrashesAndCheckpoints) {
    const struct {
        const char* name;
        PostingJournalOptions options;
        std::function<void(PostingJournal&)> then;
        bool remembered;
    } cases[] = {
        {"crash", {}, [](PostingJournal&) {}, true},
        {"checkpoint, crash", {}, [](PostingJournal& j) { ASSERT_TRUE(j.checkpoint()); }, true},
        {"idle, crash", {}, [](PostingJournal& j) { ASSERT_TRUE(j.idle()); }, true},
        {"checkpoint twice, crash",
         {},
         [](PostingJournal& j) {
             ASSERT_TRUE(j.checkpoint());
             ASSERT_TRUE(j.checkpoint());
         },
         true},
        {"checkpoint by size, crash",
         {.checkpointBytes = 1},
         [](PostingJournal& j) {
             EXPECT_GE(j.stats().checkpoints, 2u);
             EXPECT_LT(j.stats().journalBytes, 200u);
         },
         true},
        {"clean close", {}, [](PostingJournal& j) { ASSERT_TRUE(j.close()); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        PosixFileSystem posix;
        {
            PostingJournal j(posix, dir.path(), c.options);
            ASSERT_TRUE(j.open());
            ASSERT_TRUE(post(j, sale(7)));
            ASSERT_TRUE(post(j, sale(8)));
            auto first = j.remembered("station-1/7");
            ASSERT_TRUE(first);
            EXPECT_EQ(first->result, "answer 7");
            EXPECT_TRUE(j.waitDurable(first->ticket));
            c.then(j);
        }
        PostingJournal j(posix, dir.path(), c.options);
        ASSERT_TRUE(j.open());
        for (int i : {7, 8}) {
            auto again = j.remembered("station-1/" + std::to_string(i));
            ASSERT_EQ(again.has_value(), c.remembered);
            if (again) {
                EXPECT_EQ(again->result, "answer " + std::to_string(i));
            }
        }
        EXPECT_FALSE(j.remembered("station-1/9"));
    }
}

TEST(PostingJournal, RemembersOnlyTheNewestRequests) {
    constexpr std::size_t kMemory = 3;
    for (std::size_t posted : {kMemory - 1, kMemory, kMemory + 1}) {
        SCOPED_TRACE(posted);
        test::TempFolder dir;
        PosixFileSystem posix;
        const PostingJournalOptions options{.requestMemory = kMemory};
        {
            PostingJournal j(posix, dir.path(), options);
            ASSERT_TRUE(j.open());
            for (std::size_t i = 0; i < posted; ++i) ASSERT_TRUE(post(j, sale(int(i))));
            ASSERT_TRUE(j.checkpoint());
        }
        PostingJournal j(posix, dir.path(), options);
        ASSERT_TRUE(j.open());
        for (std::size_t i = 0; i < posted; ++i) {
            const bool kept = i + kMemory >= posted;
            EXPECT_EQ(j.remembered("station-1/" + std::to_string(i)).has_value(), kept) << i;
        }
    }
}

}  // namespace
}  // namespace kassio
