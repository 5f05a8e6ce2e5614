#include "platform/grpc/grpc_station_server.h"

#include <grpcpp/grpcpp.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

namespace kassio {

namespace {

// The largest request is a basket (43408 NDR bytes); anything much bigger
// is not a station talking and is refused before it is read.
constexpr int kMaxMessageBytes = 64 * 1024;

// A socket left behind by a station that did not close down would block the
// new one. Only one till runs per DataFolder (its lock is held by now), so
// a socket found there is stale; anything that is not a socket is left alone.
void removeStaleSocket(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) ::unlink(path.c_str());
}

bool readPem(const std::string& path, std::string& pem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    pem = bytes.str();
    return in.good() || in.eof();
}

bool isTcpAddress(const std::string& address) {
    return address.rfind("unix", 0) != 0 && address.find(':') != std::string::npos;
}

}  // namespace

GrpcStationServer::GrpcStationServer(DataStore& store, const ServerSettings& settings,
                                     StationNoticeHandler notices)
    : m_core(store),
      m_service(m_core, settings.stationKey, std::move(notices)),
      m_socketPath(store.pathOf(kServerSocketName)),
      m_socketEndpoint(kassio::socketEndpoint(store.folder())) {}

std::unique_ptr<GrpcStationServer> GrpcStationServer::start(DataStore& store,
                                                            const ServerSettings& settings,
                                                            StationNoticeHandler notices,
                                                            Status* error, Status* warning) {
    std::unique_ptr<GrpcStationServer> s(
        new GrpcStationServer(store, settings, std::move(notices)));
    const Status registering = Status::ioError("Registering server", kTitleProblem);
    if (s->m_socketPath.size() >= sizeof(sockaddr_un::sun_path)) {
        if (error) *error = registering;
        return nullptr;
    }
    bool tcp = false;
    if (settings.tcpWanted()) {
        if (settings.stationKey.empty()) {
            if (warning)
                *warning = Status::invalid(
                    "No station key set: the station server listens on "
                    "its socket only, not on " +
                    settings.listenAddress);
        } else if (!isTcpAddress(settings.listenAddress)) {
            if (warning)
                *warning = Status::invalid(
                    "The station server's listen address must be "
                    "host:port, not " +
                    settings.listenAddress);
        } else if (settings.tlsWanted() &&
                   (settings.tlsCertificate.empty() || settings.tlsKey.empty() ||
                    !readPem(settings.tlsCertificate, s->m_tlsCertificate) ||
                    !readPem(settings.tlsKey, s->m_tlsKey))) {
            // TLS was asked for: falling back to plain TCP would send the
            // station key in clear on a network its owner thinks encrypted.
            if (warning)
                *warning = Status::ioError(
                    "The station server's TLS certificate and key (tls_certificate, tls_key) "
                    "cannot both be read; socket only, not " +
                    settings.listenAddress);
        } else {
            tcp = true;
        }
    }
    s->m_server = s->build(tcp ? settings.listenAddress : std::string());
    if (!s->m_server && tcp) {
        // The optional network listener must not keep the till from selling:
        // the stations on this machine still get the socket.
        if (warning)
            *warning = Status::ioError("The station server cannot listen on " +
                                       settings.listenAddress + "; socket only");
        s->m_server = s->build(std::string());
    }
    if (!s->m_server) {
        if (error) *error = registering;
        return nullptr;
    }
    return s;
}

std::unique_ptr<grpc::Server> GrpcStationServer::build(const std::string& listenAddress) {
    m_tcpPort = 0;
    removeStaleSocket(m_socketPath);
    grpc::ServerBuilder builder;
    builder.SetMaxReceiveMessageSize(kMaxMessageBytes);
    // Another program (a second shop's till) must not share our TCP port.
    builder.AddChannelArgument(GRPC_ARG_ALLOW_REUSEPORT, 0);
    builder.AddListeningPort(m_socketEndpoint, grpc::InsecureServerCredentials());
    if (!listenAddress.empty()) {
        std::shared_ptr<grpc::ServerCredentials> credentials = grpc::InsecureServerCredentials();
        if (!m_tlsCertificate.empty()) {
            grpc::SslServerCredentialsOptions tls;
            tls.pem_key_cert_pairs.push_back({m_tlsKey, m_tlsCertificate});
            credentials = grpc::SslServerCredentials(tls);
        }
        builder.AddListeningPort(listenAddress, credentials, &m_tcpPort);
    }
    builder.RegisterService(&m_service);
    std::unique_ptr<grpc::Server> server = builder.BuildAndStart();
    if (server && !listenAddress.empty() && m_tcpPort == 0) {
        server->Shutdown();
        server.reset();
    }
    return server;
}

GrpcStationServer::~GrpcStationServer() {
    stop();
}

void GrpcStationServer::stop() {
    if (!m_server) return;
    // Calls in progress get time to finish; a posting holds the DataMutex
    // for a few milliseconds, so this deadline is only ever reached by a
    // client that stopped reading.
    m_server->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(5));
    m_server->Wait();
    m_server.reset();
}

}  // namespace kassio
