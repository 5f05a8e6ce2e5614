// Port: how a client station reaches the station server. One call carries
// a procedure number and the NDR bytes of its request and brings back the
// NDR bytes of the reply. The real adapter is gRPC (platform/grpc);
// DirectStationTransport calls a StationServer in the same process.
#pragma once

#include <string>

#include "server/procedure.h"
#include "server/station_server.h"

namespace kassio {

struct TransportReply {
    bool ok = false;
    std::string ndr;    // the reply when ok
    std::string error;  // why not, in words, when not ok
};

class StationTransport {
  public:
    virtual ~StationTransport() = default;
    // requestId: empty, or the id of a client posting (procedures 14, 15).
    virtual TransportReply call(Procedure procedure, const std::string& request,
                                const std::string& requestId = {}) = 0;
};

// No network: the procedures run on the caller's thread. Notices for the
// station are dropped (there is no station screen to show them on).
class DirectStationTransport final : public StationTransport {
  public:
    explicit DirectStationTransport(StationServer& server) : m_server(server) {}
    TransportReply call(Procedure procedure, const std::string& request,
                        const std::string& requestId = {}) override {
        ProcedureReply r = m_server.call(static_cast<int>(procedure), request, requestId);
        if (!r.accepted) return {false, {}, "request refused"};
        return {true, std::move(r.ndr), {}};
    }

  private:
    StationServer& m_server;
};

}  // namespace kassio
