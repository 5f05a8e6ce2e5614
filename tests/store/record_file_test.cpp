// The record file and its index: order, deleted slots first, slot reuse,
// duplicates, number-0 slots, growth past the room, and the file kept in
// step with the index after every insert and delete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "store/file_io.h"
#include "store/record_file.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

// A small record: the number, then a two-letter name, as the real files have.
struct Rec {
    int64_t number;
    char name[8];
};

const RecordFileSpec kSpec{"things.dat", sizeof(Rec), 3, 8, true};

Rec rec(int64_t number, const char* name = "AB") {
    Rec r{};
    r.number = number;
    std::strncpy(r.name, name, sizeof r.name - 1);
    return r;
}

Status put(RecordFile& f, Rec r, uint64_t* slot = nullptr) {
    return f.insert(&r, slot);
}

void writeFile(const std::string& path, const std::vector<Rec>& recs) {
    ASSERT_TRUE(replaceFileAtomically(path, recs.data(), recs.size() * sizeof(Rec)));
}

// Sorted, one entry per slot, deleted entries first, counters agree, and
// the file holds at each slot the number the index says.
void expectConsistent(const RecordFile& f) {
    const auto& e = f.index().entries();
    ASSERT_EQ(e.size(), f.index().slotCount());
    EXPECT_TRUE(
        std::is_sorted(e.begin(), e.end(), [](auto& a, auto& b) { return a.number < b.number; }));
    std::vector<uint64_t> slots;
    std::size_t deleted = 0;
    for (const IndexEntry& x : e) {
        slots.push_back(x.slot);
        if (x.number < 0) ++deleted;
        Rec r;
        ASSERT_TRUE(f.read(x.slot, &r));
        if (x.number >= 0) {
            EXPECT_EQ(r.number, x.number) << "slot " << x.slot;
        }
    }
    std::sort(slots.begin(), slots.end());
    for (std::size_t i = 0; i < slots.size(); ++i) EXPECT_EQ(slots[i], i);
    EXPECT_EQ(deleted, f.index().deletedCount());
    EXPECT_EQ(e.size() - deleted, f.index().liveCount());
    auto size = readWholeFile(f.path())->size();
    EXPECT_EQ(size, e.size() * sizeof(Rec));
}

TEST(RecordFile, LoadSortsKeepsDuplicatesAndTakesNumberZeroAsDeleted) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(30), rec(0), rec(10), rec(-1), rec(30, "ZZ"), rec(-5)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    const auto& e = f.index().entries();
    std::vector<std::pair<int64_t, uint64_t>> got;
    for (auto& x : e) got.emplace_back(x.number, x.slot);
    // Deleted first (in slot order), duplicates kept in slot order.
    EXPECT_EQ(got, (std::vector<std::pair<int64_t, uint64_t>>{
                       {-1, 1}, {-1, 3}, {-1, 5}, {10, 2}, {30, 0}, {30, 4}}));
    EXPECT_EQ(f.index().liveCount(), 3u);
    EXPECT_EQ(f.index().deletedCount(), 3u);
    EXPECT_EQ(f.find(30), 0u);  // the lower slot of a duplicate
    EXPECT_FALSE(f.find(0));
    EXPECT_FALSE(f.find(-1));
    EXPECT_FALSE(f.find(20));
    EXPECT_EQ(f.index().prefix(1), (RecordIndex::Prefix{0, 0}));  // deleted: no prefix
    EXPECT_EQ(f.index().prefix(2), (RecordIndex::Prefix{'A', 'B'}));
    // The file itself is not repaired.
    Rec r;
    ASSERT_TRUE(f.read(1, &r));
    EXPECT_EQ(r.number, 0);
}

TEST(RecordFile, RefusesEmptyBadSizedAndMissingFiles) {
    test::TempFolder dir;
    std::recursive_mutex missingMutex;
    StoreFiles missingFiles(dir.path(), missingMutex);
    RecordFile missing(kSpec, missingFiles);
    EXPECT_EQ(missing.load(), RecordFile::LoadError::kCannotOpen);
    writeFile(dir / "things.dat", {});
    std::recursive_mutex emptyMutex;
    StoreFiles emptyFiles(dir.path(), emptyMutex);
    RecordFile empty(kSpec, emptyFiles);
    EXPECT_EQ(empty.load(), RecordFile::LoadError::kEmpty);
    std::vector<unsigned char> odd(sizeof(Rec) * 3 + 1, 0);
    ASSERT_TRUE(replaceFileAtomically(dir / "things.dat", odd.data(), odd.size()));
    std::recursive_mutex badMutex;
    StoreFiles badFiles(dir.path(), badMutex);
    RecordFile bad(kSpec, badFiles);
    EXPECT_EQ(bad.load(), RecordFile::LoadError::kBadSize);
    EXPECT_EQ(readWholeFile(dir / "things.dat")->size(), odd.size());  // never written
}

TEST(RecordFile, InsertReusesTheOldestDeletedSlotElseAppends) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(5), rec(-1), rec(7), rec(0)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);

    uint64_t slot = 99;
    ASSERT_TRUE(put(f, rec(6, "CD"), &slot));
    EXPECT_EQ(slot, 1u);
    ASSERT_TRUE(put(f, rec(1), &slot));
    EXPECT_EQ(slot, 3u);
    expectConsistent(f);
    ASSERT_TRUE(put(f, rec(9), &slot));
    EXPECT_EQ(slot, 4u);  // no deleted slot left: the file grows
    expectConsistent(f);
    EXPECT_EQ(f.index().prefix(1), (RecordIndex::Prefix{'C', 'D'}));

    // Delete puts the slot behind those already deleted, so slots are
    // reused in the order they were freed.
    ASSERT_TRUE(f.remove(*f.find(7)));
    ASSERT_TRUE(f.remove(*f.find(5)));
    expectConsistent(f);
    EXPECT_EQ(f.index().entries()[0].slot, 2u);
    EXPECT_EQ(f.index().entries()[1].slot, 0u);
    EXPECT_EQ(f.index().prefix(2), (RecordIndex::Prefix{0, 0}));
    ASSERT_TRUE(put(f, rec(3), &slot));
    EXPECT_EQ(slot, 2u);
    expectConsistent(f);

    // The deleted record loses its number and the first two bytes of its
    // prefix field, as a slot read at load after a restart shows them.
    Rec r;
    ASSERT_TRUE(f.read(0, &r));
    EXPECT_EQ(r.number, -1);
    EXPECT_EQ(r.name[0], 0);
    EXPECT_EQ(r.name[1], 0);
}

TEST(RecordFile, DeletingTheOnlyRecordLeavesAFileThatStillLoads) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(4)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    ASSERT_TRUE(f.remove(*f.find(4)));
    std::recursive_mutex againMutex;
    StoreFiles againFiles(dir.path(), againMutex);
    RecordFile again(kSpec, againFiles);
    ASSERT_EQ(again.load(), RecordFile::LoadError::kNone);
    EXPECT_EQ(again.index().liveCount(), 0u);
    EXPECT_EQ(again.index().deletedCount(), 1u);
}

TEST(RecordFile, DeletesTheRightOneOfTwoDuplicates) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(8, "XA"), rec(8, "XB")});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    ASSERT_TRUE(f.remove(1));
    EXPECT_EQ(f.find(8), 0u);
    ASSERT_TRUE(f.remove(0));
    EXPECT_FALSE(f.find(8));
    expectConsistent(f);
}

TEST(RecordFile, GrowsPastItsRoomAndStaysSortedUnderRandomWork) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(-1)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    fFiles.setSync(false);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    const std::size_t room = f.index().room();
    EXPECT_EQ(room, 1u + kSpec.extraRoom);

    std::mt19937 rng(7);
    std::vector<int64_t> live;
    for (int step = 0; step < 400; ++step) {
        if (live.empty() || rng() % 3 != 0) {
            int64_t n = 1 + static_cast<int64_t>(rng() % 100000);
            if (f.find(n)) continue;
            ASSERT_TRUE(put(f, rec(n)));
            live.push_back(n);
        } else {
            std::size_t k = rng() % live.size();
            ASSERT_TRUE(f.remove(*f.find(live[k])));
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
    EXPECT_GT(f.index().room(), room);
    expectConsistent(f);
    for (int64_t n : live) EXPECT_TRUE(f.find(n)) << n;

    std::recursive_mutex reloadedMutex;
    StoreFiles reloadedFiles(dir.path(), reloadedMutex);
    RecordFile reloaded(kSpec, reloadedFiles);
    ASSERT_EQ(reloaded.load(), RecordFile::LoadError::kNone);
    EXPECT_EQ(reloaded.index().liveCount(), live.size());
}

TEST(RecordFile, FailedWriteLeavesTheIndexAsItWas) {
    test::TempFolder dir;
    writeFile(dir / "things.dat", {rec(2)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    ASSERT_TRUE(removeFile(dir / "things.dat"));
    Status s = put(f, rec(3));
    EXPECT_EQ(s.message(), "Data file: things.dat, not present.");
    EXPECT_EQ(s.title(), "Fatal error");
    EXPECT_FALSE(f.find(3));
    EXPECT_EQ(f.index().slotCount(), 1u);
}

TEST(RecordFile, SuggestsTheNumberAfterARun) {
    test::TempFolder dir;
    // A run up to the largest number has nothing after it (found by
    // fuzzing: last + 1 overflowed); the taken number is offered, to be
    // refused by the form.
    writeFile(dir / "things.dat",
              {rec(3), rec(1), rec(2), rec(2), rec(5), rec(INT64_MAX - 1), rec(INT64_MAX)});
    std::recursive_mutex fMutex;
    StoreFiles fFiles(dir.path(), fMutex);
    RecordFile f(kSpec, fFiles);
    ASSERT_EQ(f.load(), RecordFile::LoadError::kNone);
    EXPECT_EQ(f.suggestNumber(1), 4);
    EXPECT_EQ(f.suggestNumber(4), 4);
    EXPECT_EQ(f.suggestNumber(5), 6);
    EXPECT_EQ(f.suggestNumber(100), 100);
    EXPECT_EQ(f.suggestNumber(INT64_MAX - 1), INT64_MAX);
    EXPECT_EQ(f.suggestNumber(INT64_MAX), INT64_MAX);
}

}  // namespace
}  // namespace kassio
