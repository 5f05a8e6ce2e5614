// The small readers around the station: the server settings file and
// options, the station key check, and kassio-station's connection options.
#include <gtest/gtest.h>

#include <fstream>

#include "server/server_settings.h"
#include "server/station_program.h"
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
    applyServerArguments(s, {"--data-dir", "x", "--listen", "127.0.0.1:0", "--station-key=k"});
    EXPECT_EQ(s.listenAddress, "127.0.0.1:0");
    EXPECT_EQ(s.stationKey, "k");

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

TEST(StationOptions, ConnectionOptionsBeforeTheCommand) {
    ::setenv("KASSIO_STATION_KEY", "from-env", 1);
    StationOptions o = parseStationOptions({"--endpoint", "shop:7450", "find-item", "--from", "3"});
    EXPECT_EQ(o.endpoint, "shop:7450");
    EXPECT_EQ(o.key, "from-env");
    EXPECT_EQ(o.command, (std::vector<std::string>{"find-item", "--from", "3"}));
    ::unsetenv("KASSIO_STATION_KEY");
    o = parseStationOptions({"--data-dir", "/srv/shop", "--key=abc", "config"});
    EXPECT_EQ(o.endpoint, "unix:/srv/shop/rpc4.sock");
    EXPECT_EQ(o.key, "abc");
    EXPECT_EQ(parseStationOptions({"--bogus", "config"}).error, "unknown option --bogus");
    EXPECT_EQ(parseStationOptions({"--key"}).error, "--key needs a value");
    EXPECT_EQ(parseStationOptions({}).error, "no command given");
}

}  // namespace
}  // namespace kassio
