// kassio-station: the client-station program's commands, one or more per
// station procedure, printing what comes back in readable form. main()
// only parses the connection options and builds the transport.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "server/station_client.h"

namespace kassio {

struct StationOptions {
    std::string endpoint;              // gRPC target; empty = the DataFolder's socket
    std::string dataFolder;            // --data-dir, for the default endpoint
    std::string key;                   // station key for TCP
    std::vector<std::string> command;  // the command and its arguments
    bool help = false;
    std::string error;  // a usage error, in words
};

// Reads --endpoint, --data-dir, --key (also $KASSIO_STATION_KEY) and
// --help in front of the command.
StationOptions parseStationOptions(const std::vector<std::string>& args);

std::string stationUsage();

// Exit codes of runStationCommand.
inline constexpr int kStationOk = 0;
inline constexpr int kStationRefused = 1;  // a call failed or the station refused
inline constexpr int kStationUsage = 2;

// Runs one command against the station. Results go to `out`, failures to
// `err` as "Title: message". Texts are printed in UTF-8.
int runStationCommand(const std::vector<std::string>& command, StationClient& client,
                      const Clock& clock, std::ostream& out, std::ostream& err);

}  // namespace kassio
