#include "platform/grpc/grpc_station_service.h"

#include "server/server_settings.h"

namespace kassio {

namespace {

// Gives the place back however the call ends.
class Place {
  public:
    explicit Place(std::counting_semaphore<GrpcStationService::kMaxCalls>& places)
        : m_places(places) {
        m_places.acquire();
    }
    ~Place() { m_places.release(); }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

  private:
    std::counting_semaphore<GrpcStationService::kMaxCalls>& m_places;
};

}  // namespace

GrpcStationService::GrpcStationService(StationServer& core, std::string stationKey,
                                       StationNoticeHandler notices)
    : m_core(core), m_stationKey(std::move(stationKey)), m_notices(std::move(notices)) {}

bool GrpcStationService::keyAccepted(const Context& context) const {
    // Callers on the DataFolder's socket can reach the data files anyway.
    if (context.peer().rfind("unix:", 0) == 0) return true;
    const auto& metadata = context.client_metadata();
    auto it = metadata.find(kStationKeyMetadata);
    if (it == metadata.end()) return false;
    return stationKeyMatches(m_stationKey, std::string_view(it->second.data(), it->second.size()));
}

grpc::Status GrpcStationService::run(Context* context, Procedure procedure, const Ndr& in,
                                     Ndr& out) {
    if (!keyAccepted(*context))
        return {grpc::StatusCode::UNAUTHENTICATED, "station key missing or wrong"};
    std::string requestId;
    const auto& metadata = context->client_metadata();
    if (auto it = metadata.find(kRequestIdMetadata); it != metadata.end())
        requestId.assign(it->second.data(), it->second.size());
    ProcedureReply reply;
    {
        Place place(m_places);
        reply = m_core.call(static_cast<int>(procedure), in.data(), requestId);
    }
    if (!reply.accepted)
        return {grpc::StatusCode::INVALID_ARGUMENT,
                "request is not the NDR structure of procedure " +
                    std::to_string(static_cast<int>(procedure))};
    if (!reply.notice.isOk() && m_notices) m_notices(reply.notice);
    out.set_data(std::move(reply.ndr));
    return grpc::Status::OK;
}

#define KASSIO_PROCEDURE(method, number)                                           \
    grpc::Status GrpcStationService::method(Context* c, const Ndr* in, Ndr* out) { \
        return run(c, number, *in, *out);                                          \
    }
KASSIO_PROCEDURE(FindItem, Procedure::kFindItem)
KASSIO_PROCEDURE(FindCustomer, Procedure::kFindCustomer)
KASSIO_PROCEDURE(GetClientConfig, Procedure::kClientConfig)
KASSIO_PROCEDURE(GetReceiptWords, Procedure::kReceiptWords)
KASSIO_PROCEDURE(ExchangeTables, Procedure::kStationTables)
KASSIO_PROCEDURE(SuggestCustomerNumber, Procedure::kSuggestCustomerNumber)
KASSIO_PROCEDURE(ReadFileChunk, Procedure::kFileChunk)
KASSIO_PROCEDURE(FirstItemPage, Procedure::kFirstItemPage)
KASSIO_PROCEDURE(NextItemPage, Procedure::kNextItemPage)
KASSIO_PROCEDURE(ExchangeLargeItemPage, Procedure::kLargeItemPage)
KASSIO_PROCEDURE(ItemRecord10, Procedure::kItemRecord10)
KASSIO_PROCEDURE(ItemRecord11, Procedure::kItemRecord11)
KASSIO_PROCEDURE(AddCustomer, Procedure::kAddCustomer)
KASSIO_PROCEDURE(ChangeCustomer, Procedure::kChangeCustomer)
KASSIO_PROCEDURE(PostSale, Procedure::kPostSale)
KASSIO_PROCEDURE(PostRefund, Procedure::kPostRefund)
#undef KASSIO_PROCEDURE

}  // namespace kassio
