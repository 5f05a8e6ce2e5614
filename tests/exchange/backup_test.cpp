// Backup and restore on real folders: what a restore leaves must open as a
// shop, and a failed restore leaves the shop as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "exchange/backup.h"
#include "exchange/upload_settings.h"
#include "exchange_fixture.h"

namespace kassio {
namespace {

namespace fs = std::filesystem;
using test::fileText;

class BackupTest : public test::ExchangeTest {
  protected:
    std::string backups = root / "backups";
    void SetUp() override {
        test::ExchangeTest::SetUp();
        ASSERT_TRUE(makeDirectories(backups));
    }
    int64_t itemCount() { return static_cast<int64_t>(store->items().index().liveCount()); }
};

TEST_F(BackupTest, CoreBackupThenRestoreBringsTheFilesBack) {
    ExchangeOutcome b = backupCoreFiles(*store, backups);
    ASSERT_EQ(b.notices.back().text, "Complete");
    EXPECT_FALSE(b.failed());
    for (const char* name : kCoreFiles)
        EXPECT_EQ(fileText(backups + "/" + name), fileText(data + "/" + name)) << name;
    EXPECT_NE(logOfToday().find("File backup"), std::string::npos);

    // Items change after the backup, then the core files come back.
    ASSERT_TRUE(store->items().remove(*store->items().find(5)));
    ExchangeOutcome r = restoreCoreFiles(*store, backups);
    EXPECT_TRUE(r.closeDown);
    EXPECT_EQ(r.notices.back().title, "Restore complete");
    EXPECT_EQ(itemCount(), 3);  // the loaded indexes follow the files
    ASSERT_TRUE(store->close());
    open();
    EXPECT_EQ(itemCount(), 3);
    EXPECT_EQ(store->config().nextTransaction(), 1);
}

TEST_F(BackupTest, CoreRestoreRefusesAnIncompleteBackup) {
    ASSERT_FALSE(backupCoreFiles(*store, backups).failed());
    const std::string before = fileText(data + "/inventory.dat");
    test::writeText(backups + "/inventory.dat", "changed");
    test::writeText(backups + "/suppliers.dat", "");
    ExchangeOutcome r = restoreCoreFiles(*store, backups);
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].title, "File has no content");
    EXPECT_EQ(r.notices[0].text, backups + "/suppliers.dat");
    EXPECT_FALSE(r.closeDown);
    EXPECT_EQ(fileText(data + "/inventory.dat"), before);
}

TEST_F(BackupTest, FolderBackupReplacesThePreviousOneAndRestoresUnderAnyName) {
    ASSERT_FALSE(backupWholeFolder(*store, backups).failed());
    EXPECT_TRUE(folderBackupExists(backups));
    EXPECT_FALSE(fileExists(backups + "/kassio SC/kassio.lock"));
    ASSERT_TRUE(store->items().remove(*store->items().find(9)));
    ExchangeOutcome again = backupWholeFolder(*store, backups);
    ASSERT_EQ(again.notices.back().text, "Complete");
    EXPECT_FALSE(fileExists(backups + "/kassio SC.partial"));

    // Restored from a folder of another name: the DataFolder keeps its name.
    fs::rename(backups + "/kassio SC", backups + "/monday");
    ASSERT_TRUE(store->items().remove(*store->items().find(7)));
    ExchangeOutcome r = restoreWholeFolder(*store, backups + "/monday");
    ASSERT_TRUE(r.closeDown) << r.notices.front().text;
    EXPECT_EQ(itemCount(), 2);  // 5 and 7: the second backup's state
    for (const auto& e : fs::directory_iterator(root.path()))
        EXPECT_EQ(e.path().filename().string().rfind("data", 0) == 0, e.path().filename() == "data")
            << "left behind: " << e.path();
    ASSERT_TRUE(store->close());
    open();
    EXPECT_EQ(itemCount(), 2);
}

TEST_F(BackupTest, FolderRestoreOfSomethingNotAShopKeepsTheShop) {
    ASSERT_TRUE(makeDirectories(backups + "/junk"));
    test::writeText(backups + "/junk/notes.txt", "hello");
    ExchangeOutcome r = restoreWholeFolder(*store, backups + "/junk");
    EXPECT_TRUE(r.failed());
    EXPECT_FALSE(r.closeDown);
    EXPECT_EQ(r.notices[0].text, "Unable to copy folder.");
    EXPECT_EQ(itemCount(), 3);
    EXPECT_FALSE(fs::exists(data + ".restoring"));

    test::writeText(root / "short.dat", "12345");
    EXPECT_EQ(restoreInventory(*store, root / "short.dat").notices[0].text,
              "Non recognised format");
}

TEST_F(BackupTest, UploadSettingsAreKeptPrivate) {
    EXPECT_FALSE(loadUploadSettings(*store));
    UploadSettings s = defaultUploadSettings();
    s.server = "ftp.example.com";
    s.password = "secret";
    s.chosen = {false, false, true};
    ASSERT_TRUE(saveUploadSettings(*store, s));
    struct stat st {};
    ASSERT_EQ(::stat((data + "/upload.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 5040);
    const std::string bytes = fileText(data + "/upload.cfg");
    EXPECT_EQ(bytes.substr(1840, 7), std::string("secret\0", 7));
    EXPECT_EQ(bytes.substr(3040, 11), "Reorder.txt");
    ASSERT_TRUE(store->close());
    open();
    auto back = loadUploadSettings(*store);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->server, "ftp.example.com");
    EXPECT_EQ(back->chosen, (std::array<bool, 3>{false, false, true}));
}

}  // namespace
}  // namespace kassio
