// kassio-station: the client-station program's commands, one or more per
// station procedure, printing what comes back in readable form. main()
// only builds the transport for the connection the command line names.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "server/station_client.h"

namespace kassio {

// Where the station is and the key its TCP port wants.
struct StationConnection {
    std::string endpoint;  // gRPC target: "unix:<path>" or "host:port"
    std::string key;       // station key; empty = none
    // The certificate (PEM text) the station's TLS port must prove it holds,
    // or the authority that signed it; empty = plain TCP.
    std::string tlsRootCertificates;
};

struct StationEnvironment {
    const Clock& clock;
    std::ostream& out;  // results
    std::ostream& err;  // failures, usage errors and warnings
    // Reaches the station; called once, after the command line has been
    // read without fault.
    std::function<std::unique_ptr<StationClient>(const StationConnection&)> connect;
};

// The environment variable that may hold the station key.

// Exit codes.
inline constexpr int kStationOk = 0;
inline constexpr int kStationRefused = 1;  // a call failed or the station refused
inline constexpr int kStationUsage = 2;    // the command line is wrong

// Runs a whole command line (without the program name): connection options
// (--endpoint or --data-dir; the key by --station-key-file, --station-key or
// $KASSIO_STATION_KEY; --tls-ca FILE for a station whose port speaks TLS), then one command and its
// arguments. --help, also after a command, prints help to `out`. Texts are printed in UTF-8;
// failures go to `err` as "Title: message".
int runStation(const std::vector<std::string>& args, StationEnvironment& env);

// One command, its name first, against a station already reached;
// connection options are not looked at.
int runStationCommand(const std::vector<std::string>& command, StationClient& client,
                      const Clock& clock, std::ostream& out, std::ostream& err);

}  // namespace kassio
