// kassio-admin: init, check and journal on a real DataFolder, the lock
// shared with the till, and the real program's exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "admin/admin_program.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/inventory_record.h"
#include "store/journal.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

class AdminTest : public ::testing::Test {
  protected:
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data});
        std::FILE* out = std::tmpfile();
        AdminEnvironment env{clock, ui, out, "", "\x80"};
        ::setenv("KASSIO_SAMPLES_DIR", KASSIO_TEST_SAMPLES_DIR, 1);
        int rc = runAdmin(args, env);
        std::rewind(out);
        output.clear();
        char buf[256];
        while (std::fgets(buf, sizeof buf, out)) output += buf;
        std::fclose(out);
        return rc;
    }

    test::TempFolder root;
    std::string data = root / "shop";
    test::FixedClock clock{{2026, 12, 6, 8, 15, 0}};
    test::ScriptedUi ui;
    std::string output;
};

TEST_F(AdminTest, InitThenCheckThenJournal) {
    EXPECT_EQ(run({"check"}), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The configuration file is not present in Opendata.");
    EXPECT_EQ(ui.shown[0].title, "Fatal error");
    EXPECT_FALSE(fileExists(data));  // check writes nothing

    ui.shown.clear();
    ASSERT_EQ(run({"init"}), 0);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(fileExists(data + "/kq.cfg"));
    std::recursive_mutex m;
    Journal journal(data, m);
    EXPECT_EQ(journal.readActivityLog(2026, 12, 6),
              "\r\n08:15 06/12/2026  Switched on.\r\n"
              "\r\n08:15 06/12/2026  Switched off.\r\nClerk: 0, \r\n");

    auto before = *readWholeFile(data + "/kq.cfg");
    ASSERT_EQ(run({"check"}), 0);
    EXPECT_NE(output.find("items: slots "), std::string::npos);
    EXPECT_NE(output.find("suppliers: slots 1 live 0 deleted 1\n"), std::string::npos);
    EXPECT_NE(output.find("next transaction: 1\n"), std::string::npos);
    EXPECT_EQ(*readWholeFile(data + "/kq.cfg"), before);

    ASSERT_TRUE(journal.appendTransaction(clock.now(), SaleRecord{}, {}, ""));
    ASSERT_EQ(run({"journal"}), 0);
    EXPECT_EQ(output, "0 on day 6 of month 12, 2026\n");
    ASSERT_EQ(run({"journal", "2026", "11"}), 0);
    EXPECT_EQ(output, "");
    EXPECT_EQ(run({"journal", "twenty"}), 2);  // a usage error naming the value
    EXPECT_EQ(run({"check", "--bogus"}), 2);
}

TEST_F(AdminTest, CheckFindsPoisonedAmountsAndTornJournalFiles) {
    ASSERT_EQ(run({"init"}), 0);
    ASSERT_EQ(run({"check"}), 0);
    ASSERT_EQ(output.find("problem:"), std::string::npos);

    // Amounts that no shop holds, as a client station could once post them,
    // and 500 stray bytes after the last whole sale.
    {
        DataStore store(data, clock);
        ASSERT_TRUE(store.openData());
        auto lock = store.lock();
        InventoryRecord item;
        const uint64_t slot = store.items().index().entries().front().slot;
        ASSERT_TRUE(store.items().read(slot, &item));
        item.retail_price = std::strtod("1e999", nullptr);
        ASSERT_TRUE(store.items().write(slot, &item));
        CustomerRecord c;
        const uint64_t cslot = store.customers().index().entries().front().slot;
        ASSERT_TRUE(store.customers().read(cslot, &c));
        c.balance = std::numeric_limits<double>::quiet_NaN();
        c.credit_limit = -std::numeric_limits<double>::infinity();
        ASSERT_TRUE(store.customers().write(cslot, &c));
    }
    ASSERT_TRUE(makeDirectories(data + "/2026/12/6"));
    const std::string junk(1050 + 500, 'x');
    ASSERT_TRUE(replaceFileAtomically(data + "/2026/12/6/saleslog.dat", junk.data(), junk.size()));

    EXPECT_EQ(run({"check"}), 1);
    EXPECT_NE(output.find(": retail price is inf\n"), std::string::npos) << output;
    EXPECT_NE(output.find(": balance is nan\n"), std::string::npos) << output;
    EXPECT_NE(output.find(": credit limit is -inf\n"), std::string::npos) << output;
    EXPECT_NE(output.find("problem: 2026/12/6/saleslog.dat: a partial record at the end (500 "
                          "stray bytes)"),
              std::string::npos)
        << output;
}

TEST_F(AdminTest, ChangingCommandsRefuseWhileTheTillRuns) {
    ASSERT_TRUE(makeDirectories(data));
    auto till = FolderLock::tryAcquire(data);
    ASSERT_TRUE(till);
    EXPECT_EQ(run({"init"}), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The till is running on this data folder. Close it first.");
    EXPECT_FALSE(fileExists(data + "/kq.cfg"));
}

TEST_F(AdminTest, ALockFileThatCannotBeMadeIsNotTakenForARunningTill) {
    // Root may write anywhere, so the unusable lock file is a folder.
    ASSERT_TRUE(makeDirectories(data + "/kassio.lock"));
    Status why;
    EXPECT_FALSE(FolderLock::tryAcquire(data, &why));
    EXPECT_EQ(why.kind(), Status::Kind::kIoError);
    EXPECT_EQ(run({"init"}), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Cannot create the lock file " + data + "/kassio.lock", 0), 0u)
        << ui.shown[0].text;
}

TEST_F(AdminTest, TheRealProgramReportsOnStandardError) {
    const std::string cmd = std::string(KASSIO_ADMIN_PROGRAM) + " --data-dir '" + data +
                            "' check 2>'" + root.path() + "/err' >/dev/null";
    int status = std::system(cmd.c_str());
    EXPECT_NE(status, 0);
    auto err = readWholeFile(root / "err");
    ASSERT_TRUE(err);
    EXPECT_EQ(std::string(err->begin(), err->end()),
              "Fatal error: The configuration file is not present in Opendata.\n");
    EXPECT_NE(std::system((std::string(KASSIO_ADMIN_PROGRAM) + " bogus 2>/dev/null").c_str()), 0);
}

}  // namespace
}  // namespace kassio
