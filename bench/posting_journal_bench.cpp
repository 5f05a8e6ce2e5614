// Committing a 10-line sale through the posting journal: the year-index
// entry (12 bytes), the SaleRecord (1050), ten SaleLineRecords (132 each)
// appended; ten item records (2113 bytes) written at random slots of a
// 100,000-item inventory.dat; kq.cfg (15018 bytes) written in place.
//
// "durable" waits for the journal's flush, as a posting does before it
// answers; without it the figure is the work apart from the disk. With
// several threads, postings share flushes (see flushes/commit). Checkpoints
// (every 4 MiB of journal, about a hundred sales) run inside the timing, as
// they do at the till.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <string>

#include "store/posix_file_system.h"
#include "store/posting_journal.h"

namespace {

using namespace kassio;

constexpr uint64_t kItems = 100000;
constexpr std::size_t kItemBytes = 2113;

// The folder with its inventory.dat, made once per run, removed at exit.
class SaleFolder {
  public:
    SaleFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kassio-jbench-XXXXXX");
        if (!::mkdtemp(pattern.data())) fail("cannot make a folder");
        m_path = pattern;
        std::string chunk(kItemBytes * 1000, '\x01');
        for (uint64_t i = 0; i < kItems / 1000; ++i)
            if (!m_fs.writeAt(m_path + "/inventory.dat", i * chunk.size(), chunk.data(),
                              chunk.size()))
                fail("cannot write inventory.dat");
        for (const char* f : {"/2026", "/2026/3", "/2026/3/14"})
            if (!m_fs.makeFolder(m_path + f)) fail("cannot make the day folders");
    }
    ~SaleFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }
    FileSystem& fs() { return m_fs; }

    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "posting journal bench: %s\n", what);
        std::exit(EXIT_FAILURE);
    }

  private:
    std::string m_path;
    PosixFileSystem m_fs;
};

SaleFolder& folder() {
    static SaleFolder f;
    return f;
}

WriteBatch tenLineSale(std::mt19937_64& random) {
    static const std::string index(12, 'i'), sale(1050, 's'), line(132, 'l'), item(kItemBytes, 'r'),
        config(15018, 'c');
    WriteBatch b;
    b.append("2026/base.dat", index);
    b.append("2026/3/14/saleslog.dat", sale);
    for (int i = 0; i < 10; ++i) b.append("2026/3/14/itemslog.dat", line);
    for (int i = 0; i < 10; ++i) b.write("inventory.dat", (random() % kItems) * kItemBytes, item);
    b.write("kq.cfg", 0, config);
    return b;
}

std::unique_ptr<PostingJournal> g_journal;
std::mutex g_dataLock;

void CommitTenLineSale(benchmark::State& state) {
    const bool durable = state.range(0) != 0;
    if (state.thread_index() == 0) {
        g_journal = std::make_unique<PostingJournal>(folder().fs(), folder().path(),
                                                     PostingJournalOptions{.sync = durable});
        if (!g_journal->open()) SaleFolder::fail("cannot open the journal");
    }
    std::mt19937_64 random(state.thread_index() + 1);
    for (auto _ : state) {
        uint64_t ticket = 0;
        {
            std::lock_guard lock(g_dataLock);
            if (!g_journal->commit(tenLineSale(random), &ticket)) SaleFolder::fail("commit");
        }
        if (!g_journal->waitDurable(ticket)) SaleFolder::fail("flush");
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        const PostingJournalStats s = g_journal->stats();
        state.counters["flushes/commit"] =
            s.commits ? double(s.journalSyncs) / double(s.commits) : 0;
        state.counters["checkpoints"] = double(s.checkpoints);
        if (!g_journal->close()) SaleFolder::fail("close");
        g_journal.reset();
    }
}
BENCHMARK(CommitTenLineSale)
    ->ArgName("durable")
    ->Arg(0)
    ->Arg(1)
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
