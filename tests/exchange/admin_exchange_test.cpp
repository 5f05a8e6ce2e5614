// kassio-admin's export, import, backup, restore and upload through
// runAdmin on a real DataFolder: the files written and read back, and every
// writing command refused while the till holds the folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "admin/admin_program.h"
#include "exchange/backup.h"
#include "exchange/upload_settings.h"
#include "exchange_fixture.h"
#include "ftp_server.h"
#include "platform/curl/curl_ftp.h"
#include "store/folder_lock.h"
#include "support/scripted_ui.h"

namespace kassio {
namespace {

namespace fs = std::filesystem;
using test::fileText;
using test::writeText;

class AdminExchangeTest : public test::ExchangeTest {
  protected:
    void SetUp() override {
        test::ExchangeTest::SetUp();
        ASSERT_TRUE(store->close());  // the command opens the folder itself
        store.reset();
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data});
        std::FILE* out = std::tmpfile();
        AdminEnvironment env{clock, ui, out, "", "\x80", {}, [this] { return &ftp; }};
        ui.shown.clear();
        int rc = runAdmin(args, env);
        std::rewind(out);
        output.clear();
        char buf[256];
        while (std::fgets(buf, sizeof buf, out)) output += buf;
        std::fclose(out);
        return rc;
    }
    std::string problems() const {
        std::string all;
        for (const auto& s : ui.shown) all += s.title + ": " + s.text + "\n";
        return all;
    }
    int64_t items() {
        open();
        const auto n = static_cast<int64_t>(store->items().index().liveCount());
        EXPECT_TRUE(store->close());
        store.reset();
        return n;
    }

    test::ScriptedUi ui;
    CurlFtp ftp;
    std::string output;
    test::TempFolder elsewhere;
};

TEST_F(AdminExchangeTest, ExportThenImportGivesTheSameItems) {
    const std::string xml = elsewhere / "items.xml";
    ASSERT_EQ(run({"export", "items", "--format", "xml", xml}), 0) << problems();
    EXPECT_EQ(output, "File export: Complete.\n");
    EXPECT_EQ(test::run("xmllint --noout '" + xml + "'"), 0);

    const std::string text = elsewhere / "items.txt";
    ASSERT_EQ(run({"export", "items", "--fields", "1,2,7", "--from", "6", text}), 0) << problems();
    EXPECT_EQ(fileText(text), "7,TEA BAGS,2.50\r\n9,MILK,2.50\r\n");

    // Number, description, retail price: the map names the file's columns.
    ASSERT_EQ(run({"import", "items", text, "--map", "1,2,0,0,0,0,3"}), 0) << problems();
    EXPECT_EQ(output,
              "2 records of 3 fields\nInventory import complete: KASSIO will now close down\n");
    open();
    EXPECT_EQ(store->items().index().liveCount(), 2u);  // Replace: item 5 has gone
    EXPECT_EQ(item(9).retail_price, 2.5);
    EXPECT_STREQ(item(7).description, "TEA BAGS");
    ASSERT_TRUE(store->close());
    store.reset();

    ASSERT_EQ(run({"export", "items", "--from", "8", "--to", "8", text}), 1);
    EXPECT_EQ(problems(), "Problem: No items in range.\n");
}

TEST_F(AdminExchangeTest, MergeImportAndSiblingFile) {
    writeText(elsewhere / "more.txt", "NUMBER,DESCRIPTION\n11,Honey\n5,Not salt\n");
    ASSERT_EQ(run({"import", "items", elsewhere / "more.txt", "--map", "1,2", "--merge"}), 0)
        << problems();
    EXPECT_EQ(items(), 4);  // 5, 7, 9 and the new 11; 5 kept as it was

    // A sibling file whose one record has number 0: the inventory stays.
    writeText(elsewhere / "zentil.dat", std::string(1874, '\0'));
    EXPECT_EQ(run({"import-sibling", elsewhere / "zentil.dat"}), 1);
    EXPECT_EQ(problems(), "Problem: No valid items\n");
    EXPECT_EQ(items(), 4);
}

TEST_F(AdminExchangeTest, BackupThenRestoreEachScope) {
    const std::string dir = elsewhere.path();
    ASSERT_EQ(run({"backup", "core", dir}), 0) << problems();
    EXPECT_EQ(output, "File backup: Complete\n");
    ASSERT_EQ(run({"backup", "folder", dir}), 0) << problems();
    EXPECT_EQ(output, "KASSIO folder backup: Complete\n");
    // A second folder backup replaces the first only when told to.
    EXPECT_EQ(run({"backup", "folder", dir}), 1);
    EXPECT_NE(problems().find("give --replace"), std::string::npos) << problems();
    ASSERT_EQ(run({"backup", "folder", dir, "--replace"}), 0) << problems();

    writeText(elsewhere / "one.txt", "20,ONLY ONE\n");
    ASSERT_EQ(run({"import", "items", elsewhere / "one.txt", "--map", "1,2"}), 0);
    ASSERT_EQ(items(), 1);
    ASSERT_EQ(run({"restore", "inventory", dir + "/inventory.dat"}), 0) << problems();
    EXPECT_EQ(output, "Restore complete: KASSIO will now close down\n");
    EXPECT_EQ(items(), 3);

    ASSERT_EQ(run({"import", "items", elsewhere / "one.txt", "--map", "1,2"}), 0);
    ASSERT_EQ(run({"restore", "core", dir}), 0) << problems();
    EXPECT_EQ(items(), 3);

    ASSERT_EQ(run({"import", "items", elsewhere / "one.txt", "--map", "1,2"}), 0);
    fs::rename(dir + "/kassio SC", dir + "/monday");
    ASSERT_EQ(run({"restore", "folder", dir + "/monday"}), 0) << problems();
    EXPECT_EQ(items(), 3);
    EXPECT_EQ(run({"check"}), 0) << problems();
}

TEST_F(AdminExchangeTest, WritingCommandsRefuseWhileTheTillRuns) {
    const std::string dir = elsewhere.path();
    ASSERT_EQ(run({"backup", "core", dir}), 0);
    writeText(elsewhere / "one.txt", "20,ONLY ONE\n");
    std::string sibling(1874, '\0');
    sibling[0] = 20;
    writeText(elsewhere / "zentil.dat", sibling);
    UploadSettings settings = defaultUploadSettings();
    settings.server = "127.0.0.1";
    settings.chosen = {false, false, true};
    open();
    ASSERT_TRUE(saveUploadSettings(*store, settings));
    ASSERT_TRUE(store->close());
    store.reset();
    const std::string inventory = fileText(data + "/inventory.dat");

    auto till = FolderLock::tryAcquire(data);
    ASSERT_TRUE(till);
    const std::vector<std::vector<std::string>> commands = {
        {"import", "items", elsewhere / "one.txt", "--map", "1,2"},
        {"import-sibling", elsewhere / "zentil.dat"},
        {"backup", "core", dir},
        {"backup", "folder", dir},
        {"restore", "inventory", dir + "/inventory.dat"},
        {"restore", "core", dir},
        {"restore", "folder", dir},
        {"upload"},
        {"export", "items", elsewhere / "out.txt"},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c[0] + " " + (c.size() > 1 ? c[1] : ""));
        EXPECT_EQ(run(c), 1);
        EXPECT_EQ(problems(),
                  "Problem: The till is running on this data folder. Close it first.\n");
    }
    EXPECT_EQ(fileText(data + "/inventory.dat"), inventory);
    EXPECT_FALSE(fs::exists(dir + "/kassio SC"));
    EXPECT_FALSE(fs::exists(elsewhere / "out.txt"));
}

// kassio-admin upload writes the chosen reports afresh and sends them to the
// server; files named on the line are sent instead, and a missing one fails
// the upload without stopping the next.
TEST_F(AdminExchangeTest, UploadSendsTheReportsTheServerReceives) {
    const std::string received = elsewhere / "head office";
    ASSERT_TRUE(makeDirectories(received));
    test::FtpServer server(received);
    UploadSettings settings = defaultUploadSettings();
    settings.server = "127.0.0.1";
    settings.user = "shop";
    settings.password = "pw";
    settings.chosen = {true, false, true};
    open();
    ASSERT_TRUE(saveUploadSettings(*store, settings));
    ASSERT_TRUE(store->close());
    store.reset();
    const std::string port = std::to_string(server.port());

    ASSERT_EQ(run({"upload", "--port", port}), 0) << problems();
    EXPECT_EQ(output, "Transmission: Transfer complete\n");
    for (const char* name : {"Activity.txt", "Reorder.txt"}) {
        ASSERT_TRUE(fs::exists(received + "/" + name)) << name;
        EXPECT_EQ(fileText(received + "/" + name), fileText(data + "/" + name)) << name;
    }
    EXPECT_FALSE(fs::exists(received + "/Dlyitems.txt"));

    writeText(elsewhere / "first.txt", "1\r\n");
    writeText(elsewhere / "third.txt", "3\r\n");
    EXPECT_EQ(run({"upload", "--port", port, elsewhere / "first.txt", elsewhere / "second.txt",
                   elsewhere / "third.txt"}),
              1);
    EXPECT_EQ(problems(), "Transmission: Transfer failed\n");
    EXPECT_EQ(fileText(received + "/third.txt"), "3\r\n");
    EXPECT_TRUE(fs::exists(received + "/first.txt"));
}

}  // namespace
}  // namespace kassio
