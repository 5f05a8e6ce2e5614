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
    // endpoint: "unix:<path>" or "host:port". tlsRootCertificates: the PEM
    // text of the station's certificate or of the authority that signed it,
    // for a TCP port that speaks TLS; empty = plain.
    GrpcStationTransport(const std::string& endpoint, std::string stationKey,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30),
                         const std::string& tlsRootCertificates = {});

    TransportReply call(Procedure procedure, const std::string& request,
                        const std::string& requestId = {}) override;

  private:
    std::shared_ptr<grpc::Channel> m_channel;
    std::unique_ptr<station::v1::StationServer::Stub> m_stub;
    std::string m_stationKey;
    std::chrono::milliseconds m_timeout;
};

}  // namespace kassio
