// The small readers around the station: the server settings file and
// options, the station key check, and kassio-station's command line.
#include <gtest/gtest.h>

#include <cstdlib>

#include <fstream>
#include <optional>
#include <sstream>

#include "server/server_settings.h"
#include "server/station_program.h"
#include "server/station_transport.h"
#include "support/fixed_clock.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

TEST(ServerSettings, FileThenCommandLine) {
    test::TempFolder folder;
    ServerSettings s;
    EXPECT_TRUE(loadServerSettings(folder.path(), s));  // no file: the socket only
    EXPECT_FALSE(s.tcpWanted());

    std::ofstream(folder / kServerSettingsFile) << "# shop network\n"
                                                   "listen = 0.0.0.0:7450   # all cards\n"
                                                   "\n  station_key=abc def \n";
    ASSERT_TRUE(loadServerSettings(folder.path(), s));
    EXPECT_EQ(s.listenAddress, "0.0.0.0:7450");
    EXPECT_EQ(s.stationKey, "abc def");
    Status warned =
        applyServerArguments(s, {"--data-dir", "x", "--listen", "127.0.0.1:0", "--station-key=k"});
    EXPECT_EQ(s.listenAddress, "127.0.0.1:0");
    EXPECT_EQ(s.stationKey, "k");
    EXPECT_EQ(warned.title(), "Warning");  // ps shows a command line to everybody

    // The key from a file, else from the environment; never a warning.
    std::ofstream(folder / "key") << "  from-file \n";
    ASSERT_TRUE(applyServerArguments(s, {"--station-key-file", folder / "key"}));
    EXPECT_EQ(s.stationKey, "from-file");
    ::setenv(kStationKeyVariable, "from-env", 1);
    ASSERT_TRUE(applyServerArguments(s, {}));
    EXPECT_EQ(s.stationKey, "from-env");
    ::unsetenv(kStationKeyVariable);
    EXPECT_FALSE(applyServerArguments(s, {"--station-key-file=" + (folder / "missing")}));

    std::ofstream(folder / kServerSettingsFile) << "listen = 1.2.3.4:5\nlisten_on = x\n";
    Status bad = loadServerSettings(folder.path(), s);
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.message(), "station-server.conf line 2: listen_on = x");
    EXPECT_EQ(socketEndpoint("/srv/shop one"), "unix:/srv/shop one/rpc4.sock");
}

TEST(ServerSettings, StationKeyMustMatchExactly) {
    struct Case {
        const char* configured;
        const char* given;
        bool match;
    };
    const Case cases[] = {{"k3y", "k3y", true},  {"k3y", "k3", false}, {"k3y", "k3y!", false},
                          {"k3y", "K3Y", false}, {"k3y", "", false},   {"", "", false}};
    for (const Case& c : cases)
        EXPECT_EQ(stationKeyMatches(c.configured, c.given), c.match)
            << c.configured << " / " << c.given;
}

// A station that never answers: the command line is what is under test.
class UnreachableStation final : public StationTransport {
  public:
    TransportReply call(Procedure, const std::string&, const std::string& = {}) override {
        return {false, {}, "offline"};
    }
};

TEST(StationCommandLine, ConnectionAndKeyComeFromOptionsFileOrEnvironment) {
    test::TempFolder folder;
    std::ofstream(folder / "key") << "  s3cret key \n";
    std::ofstream(folder / "empty") << "\n";
    std::ofstream(folder / "two-lines") << "one\ntwo\n";
    const std::string unreachable = "Station: ";  // the command ran and its call failed

    struct Case {
        std::vector<std::string> args;
        const char* environmentKey;  // nullptr: $KASSIO_STATION_KEY unset
        int code;
        const char* endpoint;  // nullptr: the station is not reached
        const char* key;
        std::string err;  // part of what goes to the error stream
    };
    const Case cases[] = {
        {{"--endpoint", "shop:7450", "find-item", "--from", "3", "X"},
         "from-env",
         kStationRefused,
         "shop:7450",
         "from-env",
         unreachable},
        {{"--data-dir", "/srv/shop", "--key=abc", "config"},
         "from-env",
         kStationRefused,
         "unix:/srv/shop/rpc4.sock",
         "abc",
         "warning: other users can read the station key"},
        {{"--station-key", "abc", "config"}, nullptr, kStationRefused, "unix:", "abc", "warning"},
        {{"--station-key-file", folder / "key", "config"},
         "from-env",
         kStationRefused,
         "unix:",
         "s3cret key",
         unreachable},
        {{"--station-key-file", folder / "empty", "config"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "is empty"},
        {{"--station-key-file", folder / "two-lines", "config"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "more than one line"},
        {{"--station-key-file", folder / "none", "config"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "cannot read the station key file " + folder / "none"},
        {{"--station-key-file", folder / "key", "--key", "k", "config"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "excludes"},
        {{"--endpoint", "a:1", "--data-dir", "/srv", "config"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "excludes"},
        {{"--bogus", "config"}, nullptr, kStationUsage, nullptr, "", "--bogus"},
        {{"--key"}, nullptr, kStationUsage, nullptr, "", "--station-key"},
        {{}, nullptr, kStationUsage, nullptr, "", "required"},
        {{"frobnicate"}, nullptr, kStationUsage, nullptr, "", "unknown command frobnicate"},
        {{"--bogus"}, nullptr, kStationUsage, nullptr, "", "unknown option --bogus"},
        {{"config", "words"}, nullptr, kStationUsage, nullptr, "", "words"},
        {{"find-item"}, nullptr, kStationUsage, nullptr, "", "TEXT is required"},
        {{"find-item", "A", "B"}, nullptr, kStationUsage, nullptr, "", "B"},
        {{"find-item", "--from", "0x10", "A"}, nullptr, kStationUsage, nullptr, "", "'0x10'"},
        {{"find-customer", "--from", "99999999999999999999", "A"},
         nullptr,
         kStationUsage,
         nullptr,
         "",
         "'99999999999999999999' is not a whole number"},
        {{"find-item", "--from", "-3", "A"}, nullptr, kStationRefused, "unix:", "", unreachable},
        {{"page", "3", "--next", "-1"}, nullptr, kStationUsage, nullptr, "", "--next: '-1'"},
        {{"page", "2147483648"}, nullptr, kStationUsage, nullptr, "", "'2147483648'"},
        {{"item-call", "12", "1"}, nullptr, kStationUsage, nullptr, "", "12"},
        {{"fetch", "../kq.cfg"}, nullptr, kStationUsage, nullptr, "", "give an OUTFILE"},
    };
    for (const Case& c : cases) {
        if (c.environmentKey)
            ::setenv(kStationKeyVariable, c.environmentKey, 1);
        else
            ::unsetenv(kStationKeyVariable);
        test::FixedClock clock;
        std::ostringstream out, err;
        UnreachableStation transport;
        std::optional<StationConnection> reached;
        StationEnvironment env{clock, out, err, [&](const StationConnection& connection) {
                                   reached = connection;
                                   return std::make_unique<StationClient>(transport);
                               }};
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(runStation(c.args, env), c.code) << shown << ": " << err.str();
        EXPECT_NE(err.str().find(c.err), std::string::npos) << shown << ": " << err.str();
        EXPECT_EQ(reached.has_value(), c.endpoint != nullptr) << shown;
        if (!reached || !c.endpoint) continue;
        EXPECT_EQ(reached->endpoint.rfind(c.endpoint, 0), 0u) << reached->endpoint;
        EXPECT_EQ(reached->key, c.key) << shown;
    }
    ::unsetenv(kStationKeyVariable);
}

TEST(StationCommandLine, HelpGoesToTheOutputForTheProgramAndEachCommand) {
    struct Case {
        std::vector<std::string> args;
        const char* usage;
    };
    const Case cases[] = {{{"--help"}, "Usage: kassio-station [OPTIONS] COMMAND"},
                          {{"sale", "--help"}, "Usage: kassio-station sale [OPTIONS] FILE"},
                          {{"--endpoint", "x:1", "page", "-h"}, "--previous N"}};
    for (const Case& c : cases) {
        test::FixedClock clock;
        std::ostringstream out, err;
        StationEnvironment env{clock, out, err, [](const StationConnection&) {
                                   ADD_FAILURE() << "help reached the station";
                                   return std::unique_ptr<StationClient>();
                               }};
        EXPECT_EQ(runStation(c.args, env), kStationOk);
        EXPECT_NE(out.str().find(c.usage), std::string::npos) << out.str();
        EXPECT_EQ(err.str(), "");
    }
}

}  // namespace
}  // namespace kassio
