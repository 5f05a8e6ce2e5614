#include "platform/grpc/grpc_station_transport.h"

#include <grpcpp/grpcpp.h>

#include "server/server_settings.h"

namespace kassio {

namespace {

using Stub = station::v1::StationServer::Stub;
using Ndr = station::v1::Ndr;
using Method = grpc::Status (Stub::*)(grpc::ClientContext*, const Ndr&, Ndr*);

// In procedure-number order.
constexpr Method kMethods[kProcedureCount] = {
    &Stub::FindItem,        &Stub::FindCustomer,
    &Stub::GetClientConfig, &Stub::GetReceiptWords,
    &Stub::ExchangeTables,  &Stub::SuggestCustomerNumber,
    &Stub::ReadFileChunk,   &Stub::FirstItemPage,
    &Stub::NextItemPage,    &Stub::ExchangeLargeItemPage,
    &Stub::ItemRecord10,    &Stub::ItemRecord11,
    &Stub::AddCustomer,     &Stub::ChangeCustomer,
    &Stub::PostSale,        &Stub::PostRefund,
};

std::shared_ptr<grpc::ChannelCredentials> credentialsFor(const std::string& tlsRootCertificates) {
    if (tlsRootCertificates.empty()) return grpc::InsecureChannelCredentials();
    grpc::SslCredentialsOptions tls;
    tls.pem_root_certs = tlsRootCertificates;
    return grpc::SslCredentials(tls);
}

// A main station that went away is tried again within a second or two of
// coming back, not after gRPC's default backoff of up to two minutes: a
// client station's kept sales wait for it.
grpc::ChannelArguments channelArguments() {
    grpc::ChannelArguments args;
    args.SetInt(GRPC_ARG_INITIAL_RECONNECT_BACKOFF_MS, 200);
    args.SetInt(GRPC_ARG_MIN_RECONNECT_BACKOFF_MS, 200);
    args.SetInt(GRPC_ARG_MAX_RECONNECT_BACKOFF_MS, 2000);
    return args;
}

}  // namespace

GrpcStationTransport::GrpcStationTransport(const std::string& endpoint, std::string stationKey,
                                           std::chrono::milliseconds timeout,
                                           const std::string& tlsRootCertificates)
    : m_channel(grpc::CreateCustomChannel(endpoint, credentialsFor(tlsRootCertificates),
                                          channelArguments())),
      m_stub(station::v1::StationServer::NewStub(m_channel)),
      m_stationKey(std::move(stationKey)),
      m_timeout(timeout) {}

TransportReply GrpcStationTransport::call(Procedure procedure, const std::string& request,
                                          const std::string& requestId) {
    const int p = static_cast<int>(procedure);
    if (p < 0 || p >= kProcedureCount) return {false, {}, "no such procedure"};
    grpc::ClientContext context;
    context.set_deadline(std::chrono::system_clock::now() + m_timeout);
    if (!m_stationKey.empty()) context.AddMetadata(kStationKeyMetadata, m_stationKey);
    if (!requestId.empty()) context.AddMetadata(kRequestIdMetadata, requestId);
    Ndr in, out;
    in.set_data(request);
    grpc::Status status = ((*m_stub).*kMethods[p])(&context, in, &out);
    if (!status.ok()) return {false, {}, "The station did not answer: " + status.error_message()};
    return {true, std::move(*out.mutable_data()), {}};
}

}  // namespace kassio
