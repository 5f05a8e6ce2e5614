// The running station server: the procedures of a DataStore served on the
// DataFolder's unix socket and, when the settings give a listen address and
// a station key, on TCP (with TLS when a certificate and key are named).
#pragma once

#include <memory>
#include <string>

#include "platform/grpc/grpc_station_service.h"
#include "server/server_settings.h"
#include "server/station_server.h"
#include "store/data_store.h"

namespace grpc {
class Server;
}

namespace kassio {

class GrpcStationServer {
  public:
    // Starts serving. Null when the server could not start, with the reason
    // in *error ("Registering server"). A listen address that cannot be
    // used (no station key, not host:port, or the port is taken) leaves the
    // server running on the socket only and says so in *warning.
    static std::unique_ptr<GrpcStationServer> start(DataStore& store,
                                                    const ServerSettings& settings,
                                                    StationNoticeHandler notices, Status* error,
                                                    Status* warning = nullptr);
    ~GrpcStationServer();
    GrpcStationServer(const GrpcStationServer&) = delete;
    GrpcStationServer& operator=(const GrpcStationServer&) = delete;

    // Lets the calls in progress finish (a posting is never cut short) and
    // takes no more. Called again, or by the destructor, it does nothing.
    void stop();

    const std::string& socketEndpoint() const { return m_socketEndpoint; }
    // The TCP port actually bound (the listen address may ask for port 0);
    // 0 when there is no TCP listener.
    int tcpPort() const { return m_tcpPort; }
    // Whether the TCP port speaks TLS.
    bool tcpEncrypted() const { return m_tcpPort != 0 && !m_tlsCertificate.empty(); }

  private:
    GrpcStationServer(DataStore& store, const ServerSettings& settings,
                      StationNoticeHandler notices);
    // A started server on the socket and, when given, the TCP address.
    std::unique_ptr<grpc::Server> build(const std::string& listenAddress);

    StationServer m_core;
    GrpcStationService m_service;
    std::unique_ptr<grpc::Server> m_server;
    std::string m_socketPath;
    std::string m_socketEndpoint;
    int m_tcpPort = 0;
    std::string m_tlsCertificate;  // PEM texts; empty = plain TCP
    std::string m_tlsKey;
};

}  // namespace kassio
