#include "server/station_client.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "base/fixed_text.h"
#include "server/basket_wire.h"
#include "server/customer_record_wire.h"
#include "server/item_record_wire.h"

namespace kassio {

namespace {

Status failed(const std::string& why) {
    return Status::ioError(why, kTitleStation);
}

Status badReply(Procedure p) {
    return failed("Reply of procedure " + std::to_string(static_cast<int>(p)) +
                  " has the wrong size");
}

}  // namespace

// 128 random bits in hex: unique among the ids a server remembers.
std::string newRequestId() {
    static thread_local std::mt19937_64 random = [] {
        std::random_device device;
        std::seed_seq seed{
            device(), device(), device(), device(),
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
        return std::mt19937_64(seed);
    }();
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(random()),
                  static_cast<unsigned long long>(random()));
    return text;
}

template <typename In, typename Out>
Status StationClient::exchange(Procedure p, const typename In::Packed& in,
                               typename Out::Packed& out) {
    TransportReply r = m_transport.call(p, ndr::encode<In>(in));
    if (!r.ok) return failed(r.error);
    if (!ndr::decode<Out>(r.ndr, out)) return badReply(p);
    return Status::ok();
}

template <typename In>
Status StationClient::returnsLong(Procedure p, const typename In::Packed& in, int32_t& result) {
    TransportReply r = m_transport.call(p, ndr::encode<In>(in));
    if (!r.ok) return failed(r.error);
    if (!ndr::decodeLong(r.ndr, result)) return badReply(p);
    return Status::ok();
}

template <typename Out>
Status StationClient::outOnly(Procedure p, typename Out::Packed& out) {
    TransportReply r = m_transport.call(p, std::string());
    if (!r.ok) return failed(r.error);
    if (!ndr::decode<Out>(r.ndr, out)) return badReply(p);
    return Status::ok();
}

Status StationClient::findItem(const ItemQuery& q, InventoryRecord& out) {
    return exchange<ItemQueryFormat, ItemRecordFormat>(Procedure::kFindItem, q, out);
}
Status StationClient::findCustomer(const CustomerQuery& q, CustomerRecord& out) {
    return exchange<CustomerQueryFormat, CustomerRecordFormat>(Procedure::kFindCustomer, q, out);
}
Status StationClient::clientConfig(ClientConfig& out) {
    return outOnly<ClientConfigFormat>(Procedure::kClientConfig, out);
}
Status StationClient::receiptWords(ReceiptWordsWire& out) {
    return outOnly<ReceiptWordsFormat>(Procedure::kReceiptWords, out);
}
Status StationClient::stationTables(StationTables& t) {
    return exchange<StationTablesFormat, StationTablesFormat>(Procedure::kStationTables, t, t);
}
Status StationClient::suggestCustomerNumber(NumberText& out) {
    return outOnly<NumberTextFormat>(Procedure::kSuggestCustomerNumber, out);
}
Status StationClient::fileChunk(FileChunk& c) {
    return exchange<FileChunkFormat, FileChunkFormat>(Procedure::kFileChunk, c, c);
}
Status StationClient::firstItemPage(ItemPage& p) {
    return exchange<ItemPageFormat, ItemPageFormat>(Procedure::kFirstItemPage, p, p);
}
Status StationClient::nextItemPage(ItemPage& p) {
    return exchange<ItemPageFormat, ItemPageFormat>(Procedure::kNextItemPage, p, p);
}
Status StationClient::largeItemPage(LargeItemPage& p) {
    return exchange<LargeItemPageFormat, LargeItemPageFormat>(Procedure::kLargeItemPage, p, p);
}
Status StationClient::itemRecord(Procedure p, const InventoryRecord& item, int32_t& result) {
    return returnsLong<ItemRecordFormat>(p, item, result);
}
Status StationClient::addCustomer(const CustomerRecord& c, int32_t& result) {
    return returnsLong<CustomerRecordFormat>(Procedure::kAddCustomer, c, result);
}
Status StationClient::changeCustomer(const CustomerRecord& c, int32_t& result) {
    return returnsLong<CustomerRecordFormat>(Procedure::kChangeCustomer, c, result);
}
Status StationClient::postSale(const Basket& b, int32_t& result) {
    return post(Procedure::kPostSale, b, newRequestId(), result);
}
Status StationClient::postRefund(const Basket& b, int32_t& result) {
    return post(Procedure::kPostRefund, b, newRequestId(), result);
}
Status StationClient::postSale(const Basket& b, const std::string& id, int32_t& result) {
    return post(Procedure::kPostSale, b, id, result);
}
Status StationClient::postRefund(const Basket& b, const std::string& id, int32_t& result) {
    return post(Procedure::kPostRefund, b, id, result);
}

Status StationClient::post(Procedure p, const Basket& b, const std::string& id, int32_t& result) {
    const std::string request = ndr::encode<BasketFormat>(b);
    TransportReply r = m_transport.call(p, request, id);
    if (!r.ok) r = m_transport.call(p, request, id);  // the answer may be all that was lost
    if (!r.ok) return failed(r.error);
    if (!ndr::decodeLong(r.ndr, result)) return badReply(p);
    return Status::ok();
}

Status StationClient::fetchFile(const std::string& name, std::string& content) {
    content.clear();
    FileChunk chunk;
    std::memset(&chunk, 0, sizeof chunk);
    setFieldText(chunk.name, name);
    if (Status s = fileChunk(chunk); !s) return s;
    if (chunk.position <= 0) return failed(name + " cannot be read at the station");
    const std::size_t size = static_cast<std::size_t>(chunk.position);
    if (size > kMaxFetchBytes)
        return failed(name + " is larger than a station file can be (" + std::to_string(size) +
                      " bytes)");
    content.assign(reinterpret_cast<const char*>(chunk.data), std::min(size, kFileChunkData));
    while (content.size() < size) {
        chunk.position = static_cast<int32_t>(content.size());
        if (Status s = fileChunk(chunk); !s) return s;
        if (chunk.position == 0) return failed(name + " went away while being read");
        content.append(reinterpret_cast<const char*>(chunk.data),
                       std::min(size - content.size(), kFileChunkData));
    }
    return Status::ok();
}

}  // namespace kassio
