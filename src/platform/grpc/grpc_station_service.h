// The gRPC face of the station server: one method per procedure number,
// each carrying the NDR bytes of its structures to StationServer::call and
// back. Nothing here knows what a procedure does.
//
// Threads: gRPC runs the methods on its own threads. At most kMaxCalls
// procedures run at once; further calls wait for a free place. A notice a
// procedure leaves for this station is handed to the notice handler after
// the procedure has returned (the DataMutex is then free); the handler
// must pass it to the UI thread, not show it itself.
#pragma once

#include <functional>
#include <semaphore>
#include <string>

#include "server/procedure.h"
#include "server/station_server.h"
#include "station.grpc.pb.h"

namespace kassio {

using StationNoticeHandler = std::function<void(const Status& notice)>;

class GrpcStationService final : public station::v1::StationServer::Service {
  public:
    static constexpr int kMaxCalls = 10;

    // stationKey: the key TCP callers must send; calls arriving on the unix
    // socket need none. An empty key refuses every TCP call.
    GrpcStationService(StationServer& core, std::string stationKey, StationNoticeHandler notices);

    using Ndr = station::v1::Ndr;
    using Context = grpc::ServerContext;
    grpc::Status FindItem(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status FindCustomer(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status GetClientConfig(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status GetReceiptWords(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ExchangeTables(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status SuggestCustomerNumber(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ReadFileChunk(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status FirstItemPage(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status NextItemPage(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ExchangeLargeItemPage(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ItemRecord10(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ItemRecord11(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status AddCustomer(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status ChangeCustomer(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status PostSale(Context* c, const Ndr* in, Ndr* out) override;
    grpc::Status PostRefund(Context* c, const Ndr* in, Ndr* out) override;

  private:
    grpc::Status run(Context* context, Procedure procedure, const Ndr& in, Ndr& out);
    bool keyAccepted(const Context& context) const;

    StationServer& m_core;
    std::string m_stationKey;
    StationNoticeHandler m_notices;
    std::counting_semaphore<kMaxCalls> m_places{kMaxCalls};
};

}  // namespace kassio
