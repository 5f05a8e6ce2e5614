// kassio-admin: init, check and journal on a real DataFolder, the lock
// shared with the till, and the real program's exit codes.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <string>

#include "admin/admin_program.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"
#include "store/inventory_record.h"
#include "store/journal.h"
#include "store/journal_format.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

std::string textOf(const std::string& path) {
    auto bytes = readWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

class AdminTest : public ::testing::Test {
  protected:
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data});
        std::FILE* out = std::tmpfile();
        AdminEnvironment env{clock, ui, out, "", "\x80", {}};
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
    StoreFiles files(data, m);
    Journal journal(files, m);
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

// A kill while a posting was being applied can leave a sales log part
// written; the posting journal holds the whole record, so check (which
// writes nothing) reads the log as recovery will leave it and finds no
// fault, and recover makes the file whole.
TEST_F(AdminTest, CheckReadsAHalfAppliedPostingAsRecoveryWillLeaveIt) {
    ASSERT_EQ(run({"init"}), 0);
    const std::string log = "2026/12/6/saleslog.dat";
    {
        DataStore store(data, clock);
        ASSERT_TRUE(store.openData());
        ASSERT_TRUE(makeDirectories(data + "/2026/12/6"));
        SaleRecord sale;
        std::memset(&sale, 0, sizeof sale);
        sale.number = 1;
        ASSERT_TRUE(store.files().append(log, &sale, sizeof sale));
    }  // no close: the journal stays, as after a kill
    ASSERT_TRUE(replaceFileAtomically(data + "/" + log, std::string(566, '\0').data(), 566));

    EXPECT_EQ(run({"check"}), 0) << output;
    EXPECT_EQ(output.find("partial record"), std::string::npos) << output;
    EXPECT_NE(output.find("posting journal: "), std::string::npos) << output;
    EXPECT_EQ(readWholeFile(data + "/" + log)->size(), 566u);  // check wrote nothing
    ASSERT_EQ(run({"recover"}), 0);
    EXPECT_EQ(readWholeFile(data + "/" + log)->size(), kSaleRecordSize);
}

// A start refused for a cut-short kq.cfg and a torn sales log: check names
// both, repair rebuilds kq.cfg numbered on from the journal and cuts the log
// back, keeping every byte it replaced beside it; then the start works.
TEST_F(AdminTest, RepairRebuildsWhatCanBeDerivedAndKeepsTheOldBytes) {
    ASSERT_EQ(run({"init"}), 0);
    {
        DataStore store(data, clock);
        ASSERT_TRUE(store.openData());
        for (int n = 1; n <= 3; ++n) {
            SaleRecord sale{};
            sale.number = n;
            ASSERT_TRUE(store.journal().appendTransaction(clock.now(), sale, {}, ""));
        }
        store.config().record().next_transaction = 4;
        ASSERT_TRUE(store.saveConfig());
        ASSERT_TRUE(store.close());
    }
    const std::string torn = textOf(data + "/kq.cfg").substr(0, 4000);
    ASSERT_TRUE(replaceFileAtomically(data + "/kq.cfg", torn.data(), torn.size()));
    const std::string log = data + "/2026/12/6/saleslog.dat";
    const std::string sales = textOf(log) + std::string(500, 'x');
    ASSERT_TRUE(replaceFileAtomically(log, sales.data(), sales.size()));

    ui.shown.clear();
    EXPECT_EQ(run({"init"}), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("it is 4000 bytes long"), std::string::npos)
        << ui.shown[0].text;
    EXPECT_TRUE(textOf(data + "/kq.cfg") == torn);
    EXPECT_TRUE(textOf(log) == sales);

    EXPECT_EQ(run({"check"}), 1);
    EXPECT_NE(output.find("problem: kq.cfg cannot be used: it is 4000 bytes long"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("saleslog.dat: a partial record at the end (500 stray bytes)"),
              std::string::npos)
        << output;

    ASSERT_EQ(run({"repair"}), 0);
    EXPECT_NE(output.find("repaired kq.cfg: rebuilt; the old file is kept as kq.cfg.damaged\n"),
              std::string::npos)
        << output;
    EXPECT_TRUE(textOf(data + "/kq.cfg.damaged") == torn);
    EXPECT_EQ(textOf(log + ".partial"), std::string(500, 'x'));
    EXPECT_EQ(textOf(log).size(), 3 * sizeof(SaleRecord));
    EXPECT_FALSE(fileExists(data + "/posting.journal"));

    EXPECT_EQ(run({"check"}), 0) << output;
    EXPECT_NE(output.find("next transaction: 4\n"), std::string::npos) << output;
    ASSERT_EQ(run({"repair"}), 0);
    EXPECT_EQ(output, "nothing to repair\n");
    ui.shown.clear();
    EXPECT_EQ(run({"init"}), 0);
    EXPECT_TRUE(ui.shown.empty());
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

// Every file and folder under dir with its mode and bytes.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> all;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        all[e.path().string()] = std::to_string(st.st_mode) + ":" + textOf(e.path().string());
    }
    return all;
}

// Modes bind only a user who is not root: as root the folder is handed to
// the unprivileged user "nobody" and the command runs in a child process
// as that user, so a 0000 file and a 0500 folder refuse as in a shop.
TEST_F(AdminTest, UnusableFilesAndFoldersStopTheStartWithTheReasonAndChangeNothing) {
    constexpr uid_t kNobody = 65534;
    struct Case {
        const char* what;
        std::function<void()> damage;
        std::vector<std::string> command;
        const char* said;  // the start of the reason given
    };
    const Case cases[] = {
        {"a kq.cfg no one may open",
         [&] { ::chmod((data + "/kq.cfg").c_str(), 0000); },
         {"init"},
         "kq.cfg exists but cannot be opened (Cannot open "},
        {"a kq.cfg no one may open, checked",
         [&] { ::chmod((data + "/kq.cfg").c_str(), 0000); },
         {"check"},
         "The configuration file cannot be read in Opendata: Cannot open "},
        {"a read-only DataFolder",
         [&] {
             ::unlink((data + "/kassio.lock").c_str());
             ::chmod(data.c_str(), 0500);
         },
         {"init"},
         "Cannot create the lock file "},
        {"a read-only DataFolder holding its lock file",
         [&] { ::chmod(data.c_str(), 0500); },
         {"init"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(data);
        ui.shown.clear();
        ASSERT_EQ(run({"init"}), 0);
        if (::geteuid() == 0) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(data))
                ASSERT_EQ(::lchown(e.path().c_str(), kNobody, kNobody), 0);
            ASSERT_EQ(::chown(data.c_str(), kNobody, kNobody), 0);
            ASSERT_EQ(::chown(root.path().c_str(), kNobody, kNobody), 0);
        }
        c.damage();
        const auto before = snapshot(data);
        const std::string said = root / "said";
        ::unlink(said.c_str());

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::geteuid() == 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                ::_exit(99);
            ui.shown.clear();
            const int rc = run(c.command);
            const std::string text = ui.shown.empty() ? output : ui.shown[0].text;
            ::_exit(replaceFileAtomically(said, text.data(), text.size()) ? rc : 98);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        const std::string text = textOf(said);
        EXPECT_EQ(WEXITSTATUS(status), 1) << text;
        EXPECT_EQ(text.rfind(c.said, 0), 0u) << text;
        EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
        ::chmod(data.c_str(), 0700);
        const auto after = snapshot(data);
        for (const auto& [path, was] : before) {
            auto now = after.find(path);
            EXPECT_TRUE(now != after.end() && now->second == was) << path << " changed";
        }
        // Recovery runs before kq.cfg is read and may open its posting
        // journal (with its header and room, no posting: every data file
        // above is as it was); nothing else may appear.
        for (const auto& [path, is] : after)
            EXPECT_TRUE(before.count(path) || path.ends_with("/posting.journal"))
                << path << " made";
    }
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
