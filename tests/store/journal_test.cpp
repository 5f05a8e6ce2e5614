// The JournalFolder: folders made on first use, appends read back, lookups
// across years, pick lists with their limit, damaged files and purges.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>

#include "base/fixed_text.h"
#include "store/file_io.h"
#include "store/journal.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

SaleRecord sale(int64_t number, double discount = 0) {
    SaleRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.total = 10.0 + static_cast<double>(number);
    s.discount = discount;
    setFieldText(s.payment, "Cash");
    return s;
}

SaleLineRecord line(int64_t number, int64_t item) {
    SaleLineRecord l;
    std::memset(&l, 0, sizeof l);
    l.number = number;
    l.item = item;
    setFieldText(l.description, "LINE");
    return l;
}

class JournalTest : public ::testing::Test {
  protected:
    Status post(const LocalTime& when, int64_t number, int lines = 1, double discount = 0) {
        std::vector<SaleLineRecord> ls;
        for (int i = 0; i < lines; ++i) ls.push_back(line(number, i + 1));
        return journal.appendTransaction(when, sale(number, discount), ls, "\r\nSale\r\n");
    }

    test::TempFolder dir;
    std::recursive_mutex mutex;
    StoreFiles files{dir.path(), mutex};
    Journal journal{files, mutex};
};

TEST_F(JournalTest, FirstSaleOfAYearMakesItsFoldersThenAppends) {
    files.setSync(false);
    const LocalTime day{2027, 1, 1, 0, 3, 0};
    ASSERT_TRUE(post(day, 7, 400));
    EXPECT_TRUE(isDirectory(dir / "2027/1/1"));
    EXPECT_EQ(*readWholeFile(dir / "2027/1/1/base.dat"),
              (std::vector<unsigned char>{'0', '0', ':', '0', '3'}));
    auto index = *readWholeFile(dir / "2027/base.dat");
    ASSERT_EQ(index.size(), 4u + 12u);
    EXPECT_EQ(index[0] | index[1] | index[2] | index[3], 0);
    auto entries = journal.readYearIndex(2027);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].number, 7);
    EXPECT_EQ(entries[0].day, 1);
    EXPECT_EQ(entries[0].month, 1);

    auto lines = journal.readLines(2027, 1, 1);
    ASSERT_EQ(lines.size(), 400u);
    for (const auto& l : lines) EXPECT_EQ(l.number, 7);
    auto recalled = journal.recall(7, 1, 1, 2027);
    ASSERT_TRUE(recalled);
    EXPECT_EQ(recalled->sale.total, 17.0);
    EXPECT_EQ(recalled->lines.size(), 400u);
    EXPECT_EQ(recalled->lines[399].item, 400);
    EXPECT_EQ(journal.readActivityLog(2027, 1, 1), "\r\nSale\r\n");
    EXPECT_FALSE(journal.recall(8, 1, 1, 2027));
}

TEST_F(JournalTest, HeaderOnlyIndexAndDamagedFilesReadCleanly) {
    ASSERT_TRUE(journal.ensureDayFolders({2026, 5, 2, 9, 0, 0}));
    EXPECT_TRUE(journal.readYearIndex(2026).empty());
    EXPECT_TRUE(journal.pickList(PickListKind::kYear, {}, {}, 2026).entries.empty());
    EXPECT_TRUE(journal.readSales(2026, 5, 3).empty());  // a missing day is an empty day

    ASSERT_TRUE(post({2026, 5, 2, 9, 0, 0}, 1, 2));
    // A torn final record and garbage after it: whole records only.
    std::vector<unsigned char> junk(kSaleRecordSize - 1, 0xEE);
    ASSERT_TRUE(appendToFile(journal.salesLogPath(2026, 5, 2), junk.data(), junk.size(), false));
    ASSERT_TRUE(appendToFile(journal.itemsLogPath(2026, 5, 2), junk.data(), 100, false));
    ASSERT_TRUE(appendToFile(journal.yearIndexPath(2026), junk.data(), 7, false));
    files.fileSystem().closeAll();  // the files changed behind the store's back
    EXPECT_EQ(journal.readSales(2026, 5, 2).size(), 1u);
    EXPECT_EQ(journal.readLines(2026, 5, 2).size(), 2u);
    EXPECT_EQ(journal.readYearIndex(2026).size(), 1u);
    ASSERT_TRUE(replaceFileAtomically(journal.yearIndexPath(2026), "ab", 2));
    files.fileSystem().closeAll();
    EXPECT_TRUE(journal.readYearIndex(2026).empty());
}

TEST_F(JournalTest, FindsAcrossYearsAndListsByPeriod) {
    files.setSync(false);
    ASSERT_TRUE(post({2024, 12, 30, 9, 0, 0}, 1));
    ASSERT_TRUE(post({2025, 3, 4, 9, 0, 0}, 2, 1, 1.5));
    ASSERT_TRUE(post({2025, 3, 5, 9, 0, 0}, 3));
    ASSERT_TRUE(post({2025, 4, 5, 9, 0, 0}, 4, 1, 0.5));
    ASSERT_TRUE(post({2026, 1, 1, 9, 0, 0}, 5));

    auto found = journal.find(4, 2015, 2026);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->year, 2025);
    EXPECT_EQ(found->month, 4);
    EXPECT_EQ(found->day, 5);
    EXPECT_FALSE(journal.find(9, 2015, 2026));

    const LocalTime today{2026, 1, 2, 0, 0, 0};
    const LocalTime start{2025, 3, 5, 0, 0, 0};
    auto whole = journal.pickList(PickListKind::kWholeHistory, start, today);
    EXPECT_EQ(whole.texts, (std::vector<std::string>{"3 on day 5 of month 3, 2025",
                                                     "4 on day 5 of month 4, 2025",
                                                     "5 on day 1 of month 1, 2026"}));
    EXPECT_EQ(journal.pickList(PickListKind::kYear, start, today, 2025).entries.size(), 3u);
    EXPECT_EQ(journal.pickList(PickListKind::kMonth, start, today, 2025, 3).entries.size(), 2u);
    auto oneDay = journal.pickList(PickListKind::kDay, start, today, 2025, 3, 4);
    ASSERT_EQ(oneDay.entries.size(), 1u);
    EXPECT_EQ(oneDay.entries[0].number, 2);
    auto discounted = journal.pickList(PickListKind::kDiscounted, {2024, 12, 1, 0, 0, 0}, today);
    EXPECT_EQ(discounted.texts, (std::vector<std::string>{"2 on day 4 of month 3, 2025",
                                                          "4 on day 5 of month 4, 2025"}));
}

TEST_F(JournalTest, ListsStopAtTheirLimit) {
    ASSERT_TRUE(journal.ensureMonthFolders({2026, 2, 1, 0, 0, 0}));
    std::vector<TransactionIndexEntry> many(kPickListLimit + 1, {1, 1, 2});
    ASSERT_TRUE(appendToFile(journal.yearIndexPath(2026), many.data(), many.size() * 12, false));
    auto list = journal.pickList(PickListKind::kYear, {}, {}, 2026);
    EXPECT_EQ(list.entries.size(), kPickListLimit);
    EXPECT_EQ(list.tooMany.message(), "Reduce the history on the Configuration menu");
    EXPECT_EQ(list.tooMany.title(), "Problem, too many transactions");

    many.resize(kPickListLimit - 1);
    ASSERT_TRUE(replaceFileAtomically(journal.yearIndexPath(2026), "\0\0\0\0", 4));
    ASSERT_TRUE(appendToFile(journal.yearIndexPath(2026), many.data(), many.size() * 12, false));
    files.fileSystem().closeAll();  // replaced behind the store's back
    EXPECT_TRUE(journal.pickList(PickListKind::kYear, {}, {}, 2026).tooMany);
}

TEST_F(JournalTest, PurgesYearsIncludingOnesBehindAGap) {
    files.setSync(false);
    ASSERT_TRUE(post({2022, 6, 1, 9, 0, 0}, 1));
    ASSERT_TRUE(post({2024, 6, 1, 9, 0, 0}, 2));
    ASSERT_TRUE(journal.appendReceived({2024, 6, 2, 9, 0, 0}, {5, 12}));
    ASSERT_TRUE(post({2026, 6, 1, 9, 0, 0}, 3));
    EXPECT_EQ(journal.readReceived(2024, 6, 2).size(), 1u);

    EXPECT_TRUE(journal.purgeYear(2026));
    EXPECT_FALSE(isDirectory(dir / "2026"));
    // A file the journal does not know keeps its year; the purge says so.
    ASSERT_TRUE(replaceFileAtomically(dir / "2024/6/notes.txt", "x", 1));
    EXPECT_EQ(journal.purgeAll(2026), std::vector<int>{2024});
    EXPECT_FALSE(isDirectory(dir / "2022"));
    EXPECT_TRUE(journal.readSales(2024, 6, 1).empty());
    EXPECT_TRUE(journal.purgeAll(2026).size() == 1);
    test::TempFolder empty;
    StoreFiles emptyFiles(empty.path(), mutex);
    Journal none(emptyFiles, mutex);
    EXPECT_TRUE(none.purgeAll(2026).empty());
}

}  // namespace
}  // namespace kassio
