// kassio-station: the client-station program. Reads the command line,
// connects to the station server over gRPC and runs one command (see
// --help).
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/grpc/grpc_station_transport.h"
#include "platform/posix/system_clock.h"
#include "server/station_client.h"
#include "server/station_program.h"

int main(int argc, char** argv) {
    kassio::SystemClock clock;
    std::unique_ptr<kassio::GrpcStationTransport> transport;
    kassio::StationEnvironment env{
        clock, std::cout, std::cerr, [&](const kassio::StationConnection& c) {
            transport = std::make_unique<kassio::GrpcStationTransport>(
                c.endpoint, c.key, std::chrono::seconds(30), c.tlsRootCertificates);
            return std::make_unique<kassio::StationClient>(*transport);
        }};
    return kassio::runStation(std::vector<std::string>(argv + 1, argv + argc), env);
}
