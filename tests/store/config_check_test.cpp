// A damaged kq.cfg, a kq.cfg that cannot be opened, and journal files that
// end in a partial record: each stops the start with the fault named, and
// not one byte of the shop's files changes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "faulty_file_system.h"
#include "store/config_check.h"
#include "store/journal_format.h"
#include "store/posix_file_system.h"
#include "store/start_up.h"
#include "store_fixture.h"
#include "support/scripted_ui.h"

namespace kassio::test {
namespace {

// The whole file as text; empty when it cannot be read.
std::string textOf(const std::string& path) {
    auto bytes = readWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

class ConfigCheckTest : public StoreTest {
  protected:
    // A year index holding transactions 1..last, as 181 postings leave it.
    void journalUpTo(int32_t last) {
        const LocalTime now = clock.now();
        const std::string year = data + "/" + std::to_string(now.year);
        ASSERT_TRUE(makeDirectories(year));
        std::string bytes(kYearIndexHeaderSize, '\0');
        for (int32_t n = 1; n <= last; ++n) {
            const TransactionIndexEntry e{n, now.day, now.month};
            bytes.append(reinterpret_cast<const char*>(&e), sizeof e);
        }
        ASSERT_TRUE(replaceFileAtomically(year + "/base.dat", bytes.data(), bytes.size()));
    }
    std::string config() const { return textOf(data + "/kq.cfg"); }
    void writeConfig(const std::string& bytes) {
        ASSERT_TRUE(replaceFileAtomically(data + "/kq.cfg", bytes.data(), bytes.size()));
    }
};

TEST_F(ConfigCheckTest, ADamagedConfigurationIsRefusedAndLeftAsItIs) {
    journalUpTo(181);
    store->config().record().next_transaction = 182;
    ASSERT_TRUE(store->saveConfig());
    ASSERT_TRUE(store->close());
    store.reset();
    const std::string good = config();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* named;  // part of the refusal
    };
    auto field = [](std::string& b) -> StoreConfigRecord& {
        return *reinterpret_cast<StoreConfigRecord*>(b.data());
    };
    const Case cases[] = {
        {"short", [](std::string& b) { b.resize(4000); }, "it is 4000 bytes long instead of 15018"},
        {"empty", [](std::string& b) { b.clear(); }, "it is 0 bytes long"},
        {"long", [](std::string& b) { b.append(100, 'x'); }, "it is 15118 bytes long"},
        {"restarted numbers", [&](std::string& b) { field(b).next_transaction = 1; },
         "the next transaction number 1 is not above 181"},
        {"reset to 0", [&](std::string& b) { field(b).next_transaction = 0; },
         "the next transaction number 1 is not above 181"},
        {"a journalled number", [&](std::string& b) { field(b).next_transaction = 181; },
         "the next transaction number 181 is not above 181"},
        {"negative number", [&](std::string& b) { field(b).next_transaction = -4; },
         "the next transaction number -4 is below 0"},
        {"clerk", [&](std::string& b) { field(b).current_clerk = 500; },
         "the current clerk 500 is outside 0..100"},
        {"tax", [&](std::string& b) { field(b).options[kOptTax1Rate] = -5; },
         "the tax rate -5 is outside 0..10000"},
        {"nan total", [&](std::string& b) { field(b).running_totals[8] = nan; },
         "the running total nan is no sum of money"},
        {"inf sales", [&](std::string& b) { field(b).sales_totals[20] = -inf; },
         "the sales total -inf is no sum of money"},
        {"absurd money", [&](std::string& b) { field(b).money[2] = 1e30; },
         "the money value 1e+30 is no sum of money"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bad = good;
        c.damage(bad);
        writeConfig(bad);
        DataStore other(data, clock);
        Status s = other.openData();
        EXPECT_EQ(s.kind(), Status::Kind::kCorruption);
        EXPECT_EQ(s.title(), "Fatal error");
        EXPECT_NE(s.message().find(c.named), std::string::npos) << s.message();
        EXPECT_NE(s.message().find("kassio-admin repair"), std::string::npos);
        EXPECT_TRUE(config() == bad);  // never rewritten
        // Read only (kassio-admin check) it loads and keeps the fault to report.
        DataStore reader(data, clock);
        EXPECT_TRUE(reader.openData(DataStore::OpenMode::kReadOnly));
        EXPECT_EQ(reader.configProblem().message(), s.message());
    }
    writeConfig(good);
    DataStore fine(data, clock);
    EXPECT_TRUE(fine.openData());

    // A journal that reached the last number wraps: 1 follows it.
    journalUpTo(0);
    std::string wrapped = good;
    field(wrapped).next_transaction = 1;
    EXPECT_TRUE(checkConfigBytes(wrapped, kMaxTransactionNumber));
    EXPECT_FALSE(checkConfigBytes(wrapped, kMaxTransactionNumber - 1));
}

TEST_F(ConfigCheckTest, RepairKeepsWhatIsSoundAndNumbersOnFromTheJournal) {
    StoreConfigRecord& r = store->config().record();
    setFieldText(r.clerk_names[2], "KEPT");
    r.next_transaction = 3;
    r.running_totals[0] = std::numeric_limits<double>::quiet_NaN();
    const std::string old(reinterpret_cast<const char*>(store->config().bytes()), kStoreConfigSize);
    std::vector<std::string> done;
    const std::string fixed = repairedConfigBytes(old, 181, clock.now(), &done);
    ASSERT_EQ(fixed.size(), kStoreConfigSize);
    const auto& f = *reinterpret_cast<const StoreConfigRecord*>(fixed.data());
    EXPECT_EQ(f.next_transaction, 182);
    EXPECT_EQ(f.running_totals[0], 0);
    EXPECT_STREQ(f.clerk_names[2], "KEPT");
    EXPECT_EQ(done.size(), 2u);
    EXPECT_TRUE(checkConfigBytes(fixed, 181));

    // Too short to keep: first-start values, numbered on from the journal.
    const std::string rebuilt = repairedConfigBytes(old.substr(0, 4000), 181, clock.now(), &done);
    const auto& d = *reinterpret_cast<const StoreConfigRecord*>(rebuilt.data());
    EXPECT_EQ(d.next_transaction, 182);
    EXPECT_STREQ(d.clerk_names[0], "Administrator");
    EXPECT_TRUE(checkConfigBytes(rebuilt, 181));
}

// Only a kq.cfg that does not exist is a first start; one that cannot be
// opened stops the start with the reason, and nothing is written.
TEST_F(ConfigCheckTest, AConfigurationThatCannotBeOpenedIsNoFirstStart) {
    ASSERT_TRUE(store->close());
    store.reset();
    const std::string before = config();
    const std::string suppliers = textOf(data + "/suppliers.dat");

    PosixFileSystem disk;
    auto faulty = std::make_unique<FaultyFileSystem>(disk);
    faulty->denyOpensOf([](const std::string& p) { return p.ends_with("/kq.cfg"); });
    {
        DataStore denied(data, clock, std::move(faulty));
        ScriptedUi ui;
        EXPECT_FALSE(startDataStore(denied, samples, "$", ui));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_NE(ui.shown[0].text.find("Permission denied"), std::string::npos)
            << ui.shown[0].text;
        EXPECT_EQ(ui.shown[0].title, "Fatal error");
    }
    EXPECT_TRUE(config() == before);
    EXPECT_TRUE(textOf(data + "/suppliers.dat") == suppliers);

    // A folder where kq.cfg should be: the system's own refusal, on disk.
    ASSERT_TRUE(removeFile(data + "/kq.cfg"));
    ASSERT_TRUE(makeDirectories(data + "/kq.cfg"));
    {
        DataStore folder(data, clock);
        ScriptedUi ui;
        EXPECT_FALSE(startDataStore(folder, samples, "$", ui));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_NE(ui.shown[0].text.find("Is a directory"), std::string::npos) << ui.shown[0].text;
    }
    EXPECT_TRUE(textOf(data + "/suppliers.dat") == suppliers);

    // Missing: a first start, numbered on from the journal it finds.
    ASSERT_TRUE(removeDirectory(data + "/kq.cfg"));
    journalUpTo(181);
    DataStore fresh(data, clock);
    ScriptedUi ui;
    EXPECT_TRUE(startDataStore(fresh, samples, "$", ui));
    EXPECT_EQ(fresh.config().nextTransaction(), 182);
    closeDataStore(fresh, ui);
}

// 500 stray bytes at the end of a journal file: the start stops naming the
// file, an append to it is refused, and the file stays as it was.
TEST_F(ConfigCheckTest, APartialRecordStopsTheStartAndEveryAppend) {
    const LocalTime now = clock.now();
    ASSERT_TRUE(store->journal().ensureDayFolders(now));
    SaleRecord sale{};
    sale.number = 1;
    ASSERT_TRUE(store->journal().appendSale(now, sale));
    store->config().record().next_transaction = 2;
    ASSERT_TRUE(store->saveConfig());
    const std::string log = store->journal().salesLogPath(now.year, now.month, now.day);
    ASSERT_TRUE(store->close());
    store.reset();
    std::string bytes = textOf(log);
    bytes.append(500, 'x');
    ASSERT_TRUE(replaceFileAtomically(log, bytes.data(), bytes.size()));

    DataStore other(data, clock);
    Status s = other.openData();
    EXPECT_EQ(s.kind(), Status::Kind::kCorruption);
    EXPECT_NE(s.message().find("saleslog.dat ends with a partial record (500 stray bytes)"),
              std::string::npos)
        << s.message();
    EXPECT_TRUE(textOf(log) == bytes);

    DataStore reader(data, clock);
    ASSERT_TRUE(reader.openData(DataStore::OpenMode::kReadOnly));
    Status appended = reader.journal().appendSale(now, sale);
    EXPECT_EQ(appended.kind(), Status::Kind::kCorruption);
    EXPECT_TRUE(textOf(log) == bytes);
    EXPECT_EQ(reader.journal().readSales(now.year, now.month, now.day).size(), 1u);
}

}  // namespace
}  // namespace kassio::test
