// kassio-station: the client-station program. Reads the connection options,
// connects to the station server and runs one command (see --help).
#include <iostream>
#include <string>
#include <vector>

#include "platform/grpc/grpc_station_transport.h"
#include "platform/posix/system_clock.h"
#include "server/station_client.h"
#include "server/station_program.h"

int main(int argc, char** argv) {
    const kassio::StationOptions options =
        kassio::parseStationOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
        std::cout << kassio::stationUsage();
        return kassio::kStationOk;
    }
    if (!options.error.empty()) {
        std::cerr << "kassio-station: " << options.error << "\n" << kassio::stationUsage();
        return kassio::kStationUsage;
    }
    kassio::GrpcStationTransport transport(options.endpoint, options.key);
    kassio::StationClient client(transport);
    kassio::SystemClock clock;
    return kassio::runStationCommand(options.command, client, clock, std::cout, std::cerr);
}
