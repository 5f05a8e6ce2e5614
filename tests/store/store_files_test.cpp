// StoreFiles: a batch reads back its own writes and reaches the journal as
// one record; a station that ends without closing is put right by the
// next start; a clean close leaves only the shop's own files.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "store/activity_log.h"
#include "store/posting_journal_format.h"
#include "store/start_up.h"
#include "store/store_files.h"
#include "store_fixture.h"
#include "support/scripted_ui.h"

namespace kassio {
namespace {

std::string readBack(StoreFiles& files, const std::string& name) {
    auto data = files.readAll(name);
    return data ? *data : "<missing>";
}

TEST(StoreFiles, ABatchSeesItsOwnWritesAndCommitsThemAsOneRecord) {
    test::TempFolder dir;
    std::recursive_mutex mutex;
    StoreFiles files(dir.path(), mutex);
    files.setSync(false);
    ASSERT_TRUE(files.replace("a.dat", "0123456789", 10));
    const uint64_t commitsBefore = files.stats().commits;

    uint64_t ticket = 0;
    {
        StoreFiles::Batch batch(files);
        ASSERT_TRUE(files.write("a.dat", 8, "XYZ", 3));  // past the old end
        ASSERT_TRUE(files.append("a.dat", "!", 1));      // after the write above
        ASSERT_TRUE(files.makeFolder("f"));
        ASSERT_TRUE(files.append("f/c.dat", "cc", 2));
        {
            StoreFiles::Batch joined(files);  // joins: its commit carries nothing
            ASSERT_TRUE(files.replace("d.dat", "dd", 2));
            uint64_t none = 1;
            ASSERT_TRUE(joined.commit(&none));
            EXPECT_EQ(none, 0u);
        }
        EXPECT_EQ(readBack(files, "a.dat"), "01234567XYZ!");
        EXPECT_TRUE(files.exists("f/c.dat"));
        // Another thread sees nothing of a batch that is not committed.
        std::string seen;
        std::thread([&] { seen = readBack(files, "a.dat"); }).join();
        EXPECT_EQ(seen, "0123456789");
        batch.setRequest("r-1", "42");
        ASSERT_TRUE(batch.commit(&ticket));
    }
    EXPECT_TRUE(files.waitDurable(ticket));
    EXPECT_EQ(files.stats().commits, commitsBefore + 1);
    EXPECT_EQ(files.remembered("r-1")->result, "42");

    // A shorter replacement cuts the file; reads agree before and after
    // the records reach the file.
    ASSERT_TRUE(files.replace("a.dat", "ab", 2));
    EXPECT_EQ(readBack(files, "a.dat"), "ab");
    ASSERT_TRUE(files.close());
    EXPECT_EQ(readBack(files, "a.dat"), "ab");
    EXPECT_EQ(readBack(files, "f/c.dat"), "cc");
    EXPECT_EQ(readBack(files, "d.dat"), "dd");
    EXPECT_FALSE(std::filesystem::exists(dir / journal_format::kFileName));
}

// What the folder holds after a clean close, apart from the journal tree.
std::vector<std::string> topLevelFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StoreFiles, AStationThatDiesIsPutRightByTheNextStart) {
    test::TempFolder root;
    test::makeSamples(root / "samples");
    test::FixedClock clock({2026, 12, 6, 9, 5, 0});
    test::ScriptedUi ui;
    const std::string data = root / "data";
    {
        DataStore store(data, clock);
        ASSERT_TRUE(startDataStore(store, root / "samples", "", ui));
        InventoryRecord item = test::makeItem(77, "LOST AND FOUND");
        ASSERT_TRUE(createItem(store, item));
        ASSERT_TRUE(deleteItem(store, 1));
        // Gone without a close: for the files, a crash.
    }
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(data) / journal_format::kFileName));
    {
        DataStore store(data, clock);
        ASSERT_TRUE(startDataStore(store, root / "samples", "", ui)) << ui.shown.front().text;
        EXPECT_GT(store.recoveredPostings(), 0u);
        EXPECT_TRUE(readItem(store, 77));
        EXPECT_FALSE(readItem(store, 1));
        EXPECT_NE(store.journal().readActivityLog(2026, 12, 6).find("Recovered "),
                  std::string::npos);
        closeDataStore(store, ui);
    }
    EXPECT_TRUE(ui.shown.empty());
    std::vector<std::string> expected = {"customer.dat", "inventory.dat", "kq.cfg",
                                         "language.ini", "letter.bmp",    "receipt.bmp",
                                         "suppliers.dat"};
    for (int i = 1; i <= 24; ++i) expected.push_back("stock" + std::to_string(i) + ".bmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(topLevelFiles(data), expected);

    // A clean start replays nothing and logs no recovery.
    DataStore store(data, clock);
    ASSERT_TRUE(startDataStore(store, root / "samples", "", ui));
    EXPECT_EQ(store.recoveredPostings(), 0u);
    ASSERT_TRUE(store.close());
}

}  // namespace
}  // namespace kassio
