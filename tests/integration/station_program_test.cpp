// kassio-station against a real station server: each command's output, the
// customers and sales it sends, and the program binary itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <tuple>
#include <utility>

#include "base/fixed_text.h"
#include "base/money.h"
#include "server/station_program.h"
#include "station_fixture.h"

namespace kassio::test {
namespace {

// Runs the kassio-station program with a shell command line after the
// program's name; its exit code and what it printed on both streams.
std::pair<int, std::string> runProgram(const std::string& arguments,
                                       const std::string& environment = "") {
    const std::string command =
        environment + " " + std::string(KASSIO_STATION_PROGRAM) + " " + arguments + " 2>&1";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return {-1, "popen failed"};
    std::string output;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) output += buf;
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

class StationProgramTest : public StationTest {
  protected:
    void SetUp() override {
        StationTest::SetUp();
        startServer();
        client = socketClient();
    }

    int run(std::vector<std::string> command) {
        out.str("");
        err.str("");
        return runStationCommand(command, *client, clock, out, err);
    }

    std::string write(const std::string& name, const std::string& content) {
        const std::string path = root / name;
        std::ofstream(path) << content;
        return path;
    }

    std::unique_ptr<StationClient> client;
    std::ostringstream out, err;
};

TEST_F(StationProgramTest, LookupCommandsPrintWhatTheStationHolds) {
    struct Case {
        std::vector<std::string> command;
        const char* expected;
    };
    const std::string picture = root / "picture.bmp";
    const Case cases[] = {
        {{"find-item", "1"}, "Item 1  TEA BAGS\n  Retail 2.50  Cost 1.25"},
        {{"find-item", "M"}, "Item 2  MILK 1L"},
        {{"find-item", "ZZ"}, "No item found."},
        {{"find-item", "TEA", "--from", "1"}, "No item found."},
        {{"find-customer", "J"}, "Customer 1  J SMITH\n"},
        {{"config"}, "Next transaction: 1\n"},
        {{"config"}, "Heading 1: YOUR STORE\n"},
        {{"words"}, " 3  Total\n"},
        {{"tables"}, "First text: YOUR STORE"},
        {{"suggest-customer"}, "Suggested customer number: 2"},
        {{"page", "18", "--next", "1", "--previous", "1"}, "  2  MILK 1L  [STOCK1.bmp]"},
        {{"large-page"}, "came back as sent"},
        {{"item-call", "10", "1"}, "Procedure 10 returned 0"},
        {{"fetch", "stock2.bmp", picture}, "Fetched stock2.bmp: 2 bytes into"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.command), kStationOk) << c.command[0] << ": " << err.str();
        EXPECT_NE(out.str().find(c.expected), std::string::npos) << c.command[0] << " printed:\n"
                                                                 << out.str();
    }
    std::ifstream fetched(picture);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(fetched), {}), "BM");

    EXPECT_EQ(run({"fetch", "../kq.cfg"}), kStationUsage);  // would land outside
    EXPECT_EQ(run({"fetch", "missing.bmp", picture}), kStationRefused);
    EXPECT_EQ(run({"no-such-command"}), kStationUsage);
}

TEST_F(StationProgramTest, CustomersFromJsonFiles) {
    const std::string add = write("add.json", R"({"number": 12, "name": "CAFÉ ROMA",
        "road": "1 HIGH ST", "town": "LEEDS", "group": 3, "credit_limit": 500})");
    EXPECT_EQ(run({"add-customer", add}), kStationOk) << err.str();
    EXPECT_EQ(out.str(), "Customer 12 added.\n");
    auto c = readCustomer(*store, 12);
    ASSERT_TRUE(c);
    EXPECT_STREQ(c->name, "CAF\xC9 ROMA");  // Windows-1252 in the file
    EXPECT_EQ(+c->group, 3);
    EXPECT_EQ(+c->credit_limit, 500);

    EXPECT_EQ(run({"add-customer", add}), kStationRefused);
    EXPECT_EQ(err.str(), "Refused (3): number in use\n");

    const std::string change = write("change.json", R"({"number": 12, "email": "ROMA@X.COM",
        "balance": 1000})");
    EXPECT_EQ(run({"change-customer", change}), kStationOk) << err.str();
    c = readCustomer(*store, 12);
    EXPECT_STREQ(c->email, "ROMA@X.COM");
    EXPECT_STREQ(c->road, "1 HIGH ST");  // kept: the client started from the stored record
    EXPECT_EQ(+c->balance, 0);           // figures are the station's business

    EXPECT_EQ(run({"add-customer", write("next.json", R"({"name": "NEXT ONE"})")}), kStationOk);
    EXPECT_EQ(out.str(), "Customer 2 added.\n");  // the number the station offered

    for (const char* bad : {R"({"number": 13, "name": "A NAME FAR TOO LONG FOR THE FIELD"})",
                            R"({"number": 13, "nmae": "TYPO"})", R"({"number": 13,)", "[]"}) {
        EXPECT_EQ(run({"add-customer", write("bad.json", bad)}), kStationRefused) << bad;
        EXPECT_FALSE(readCustomer(*store, 13)) << bad;
    }
}

TEST_F(StationProgramTest, SaleIsBuiltAsTheTillWouldAndPosted) {
    // The station server runs beside this thread: changes under the DataMutex.
    auto lock = store->lock();
    StoreConfigRecord& cfg = store->config().record();
    cfg.options[kOptTax1InUse] = 2;
    cfg.options[kOptTax1Rate] = 2000;
    auto slot = store->items().find(2);
    InventoryRecord milk;
    ASSERT_TRUE(store->items().read(*slot, &milk));
    milk.tax = 1;
    milk.retail_price = 0.99;
    ASSERT_TRUE(store->items().write(*slot, &milk));
    lock.unlock();

    const std::string sale = write("sale.json", R"({"station": "TILL 2", "clerk": 2,
        "payment": "EFT", "customer": 1, "note": "BY THE DOOR",
        "lines": [{"item": 1}, {"item": 2, "count": 2},
                  {"description": "LOTTERY", "price": 2.00, "tax": 0}]})");
    EXPECT_EQ(run({"sale", sale}), kStationOk) << err.str();
    EXPECT_EQ(out.str(), "Sale posted: 4 lines, total 6.88; the station's next transaction is 2\n");

    const LocalTime t = clock.now();
    auto sales = store->journal().readSales(t.year, t.month, t.day);
    ASSERT_EQ(sales.size(), 1u);
    const SaleRecord& s = sales[0];
    EXPECT_EQ(+s.line_count, 4);
    EXPECT_DOUBLE_EQ(+s.tax1, 0.40);  // 0.198 rounds up to 0.20, twice
    EXPECT_DOUBLE_EQ(+s.taxable, 1.98);
    EXPECT_DOUBLE_EQ(+s.non_taxable, 4.50);
    EXPECT_DOUBLE_EQ(+s.total, 6.88);
    EXPECT_DOUBLE_EQ(+s.eft, 6.88);
    EXPECT_EQ(+s.customer, 1);
    EXPECT_STREQ(s.customer_name, "J SMITH");
    EXPECT_STREQ(s.payment, "EFT");
    EXPECT_STREQ(s.note, "BY THE DOOR");
    auto lines = store->journal().readLines(t.year, t.month, t.day);
    double sum = 0;
    for (const SaleLineRecord& l : lines) sum += l.total;
    EXPECT_NEAR(sum, +s.total, 1e-9);
    EXPECT_EQ(+readCustomer(*store, 1)->transactions, 1);

    const std::string refund = write("refund.json", R"({"kind": 4, "lines": [{"item": 1}]})");
    EXPECT_EQ(run({"refund", refund}), kStationRefused);
    EXPECT_EQ(err.str(), "Refused (2): the refund kind is above 3 or the restock value above 1\n");
    const std::string good = write("refund2.json", R"({"kind": 1, "restock": 0,
        "lines": [{"item": 1}]})");
    EXPECT_EQ(run({"refund", good}), kStationOk) << err.str();
    EXPECT_EQ(out.str(),
              "Refund posted: 1 lines, total -2.50; the station's next transaction is 3\n");
    EXPECT_EQ(+readItem(*store, 1)->quantity, 10);  // sold one, one back

    EXPECT_EQ(
        run({"sale", write("credit.json", R"({"payment": "Credit", "lines": [{"item": 1}]})")}),
        kStationRefused);
    EXPECT_EQ(err.str(), "Invalid entry: A sale on credit needs a customer\n");
    EXPECT_EQ(run({"sale", write("unknown.json", R"({"lines": [{"item": 77}]})")}),
              kStationRefused);
    EXPECT_EQ(err.str(), "Invalid entry: 77\n");

    // An amount the file cannot hold but the station's own record can.
    milk.retail_price = 2 * kMoneyLimit;
    lock.lock();
    ASSERT_TRUE(store->items().write(*slot, &milk));
    lock.unlock();
    EXPECT_EQ(run({"sale", write("dear.json", R"({"lines": [{"item": 2}]})")}), kStationRefused);
    EXPECT_EQ(err.str(), "Refused (11): an amount in the basket is no sum of money\n");
}

TEST_F(StationProgramTest, FilesItCannotUseAreRefusedSayingWhy) {
    struct Case {
        const char* command;
        const char* json;
        std::string err;
    };
    const Case cases[] = {
        {"sale", R"({"lines": [{"description": "X",
  "price": 1e999}]})",
         "Problem: " + root / "bad.json" +
             ": number overflow parsing '1e999' at byte 43 (line 2, column 12)\n"},
        {"sale", R"({"lines": [{"description": "X", "price": 2e12}]})",
         "Invalid entry: Line 1: \"price\" must be an amount from -1000000000 to 1000000000\n"},
        {"refund", R"({"lines": [{"item": 1,}]})",
         "Problem: " + root / "bad.json" +
             ": syntax error while parsing object key - unexpected '}'; expected string literal "
             "at byte 22 (line 1, column 23)\n"},
        {"add-customer", R"({"number": 13, "balance": -1e13})",
         "Problem: \"balance\" must be an amount from -1000000000 to 1000000000\n"},
        {"add-customer", R"({"number": 13, "group": 4294967296})",
         "Problem: \"group\" is not a customer field of that kind\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run({c.command, write("bad.json", c.json)}), kStationRefused) << c.json;
        EXPECT_EQ(err.str(), c.err);
    }
    EXPECT_FALSE(readCustomer(*store, 13));
    EXPECT_EQ(nextTransaction(), 1);
}

TEST_F(StationProgramTest, TheProgramPostsASaleFromTheCommandLine) {
    const std::string sale = write("sale.json", R"({"lines": [{"item": 2, "count": 3}]})");
    const std::string arguments =
        "--endpoint '" + server->socketEndpoint() + "' sale '" + sale + "'";
    auto [code, output] = runProgram(arguments);
    EXPECT_EQ(code, kStationOk) << output;
    EXPECT_EQ(output, "Sale posted: 3 lines, total 7.50; the station's next transaction is 2\n");
    EXPECT_EQ(+readItem(*store, 2)->quantity, 7);

    // Without a server to talk to, the program says so and fails.
    server->stop();
    std::tie(code, output) = runProgram(arguments);
    EXPECT_EQ(code, kStationRefused);
    EXPECT_NE(output.find("Station: The station did not answer"), std::string::npos) << output;
}

TEST_F(StationTest, TheProgramGivesTheStationKeyOnTcpFromAFileOrTheEnvironment) {
    ServerSettings settings;
    settings.listenAddress = "127.0.0.1:0";
    settings.stationKey = "k3y for tests";
    startServer(settings);
    const std::string tcp = "--endpoint 127.0.0.1:" + std::to_string(server->tcpPort());
    std::ofstream(root / "key") << "k3y for tests\n";
    std::ofstream(root / "wrong") << "k3y\n";

    struct Case {
        std::string arguments;
        std::string environment;
        int code;
        const char* output;  // part of what the program printed
    };
    const Case cases[] = {
        {"--station-key-file '" + root / "key" + "'", "", kStationOk, "Next transaction: 1"},
        {"", "KASSIO_STATION_KEY='k3y for tests'", kStationOk, "Next transaction: 1"},
        {"--station-key-file '" + root / "wrong" + "'", "KASSIO_STATION_KEY='k3y for tests'",
         kStationRefused, "station key"},
        {"--station-key 'k3y for tests'", "", kStationOk,
         "warning: other users can read the station key"},
        {"", "", kStationRefused, "station key"},
    };
    for (const Case& c : cases) {
        auto [code, output] = runProgram(tcp + " " + c.arguments + " config",
                                         "env -u KASSIO_STATION_KEY " + c.environment);
        EXPECT_EQ(code, c.code) << c.arguments << c.environment << ":\n" << output;
        EXPECT_NE(output.find(c.output), std::string::npos) << c.arguments << ":\n" << output;
    }
}

}  // namespace
}  // namespace kassio::test
