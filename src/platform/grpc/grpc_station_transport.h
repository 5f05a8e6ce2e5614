// The client side of the station server on gRPC, for kassio-station (and
// the tests and benchmarks): one call per procedure, with the station key
// as call metadata when one is given. Safe to share between threads.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "server/station_transport.h"
#include "station.grpc.pb.h"

namespace kassio {

class GrpcStationTransport final : public StationTransport {
  public:
    // endpoint: "unix:<path>" or "host:port".
    GrpcStationTransport(const std::string& endpoint, std::string stationKey,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));

    TransportReply call(Procedure procedure, const std::string& request) override;

  private:
    std::shared_ptr<grpc::Channel> m_channel;
    std::unique_ptr<station::v1::StationServer::Stub> m_stub;
    std::string m_stationKey;
    std::chrono::milliseconds m_timeout;
};

}  // namespace kassio
