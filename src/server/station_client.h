// StationClient: the sixteen procedures as a client station calls them,
// on packed structures, over any StationTransport.
//
// Each call returns a Status: ok, or the transport's failure (the server
// unreachable, the key refused, a reply of the wrong size) as a "Station"
// message. Not synchronised: one client per thread, or a lock around it.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "server/client_config.h"
#include "server/customer_query.h"
#include "server/file_chunk.h"
#include "server/item_page.h"
#include "server/item_query.h"
#include "server/large_item_page.h"
#include "server/number_text.h"
#include "server/receipt_words_wire.h"
#include "server/station_tables.h"
#include "server/station_transport.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"

namespace kassio {

inline constexpr const char* kTitleStation = "Station";

// A fresh id for a client posting: 32 hexadecimal digits.
std::string newRequestId();

class StationClient {
  public:
    explicit StationClient(StationTransport& transport) : m_transport(transport) {}

    Status findItem(const ItemQuery& query, InventoryRecord& out);
    Status findCustomer(const CustomerQuery& query, CustomerRecord& out);
    Status clientConfig(ClientConfig& out);
    Status receiptWords(ReceiptWordsWire& out);
    Status stationTables(StationTables& tables);
    Status suggestCustomerNumber(NumberText& out);
    Status fileChunk(FileChunk& chunk);
    Status firstItemPage(ItemPage& page);
    Status nextItemPage(ItemPage& page);
    Status largeItemPage(LargeItemPage& page);
    Status itemRecord(Procedure procedure, const InventoryRecord& item, int32_t& result);
    Status addCustomer(const CustomerRecord& customer, int32_t& result);
    Status changeCustomer(const CustomerRecord& customer, int32_t& result);
    // A posting carries a fresh request id; when its answer is lost on the
    // way it is sent once more with the same id, which the server answers
    // with the first result instead of posting twice.
    Status postSale(const Basket& basket, int32_t& result);
    Status postRefund(const Basket& basket, int32_t& result);
    // The same with the caller's request id: a station that keeps a posting
    // to send again later keeps its id with it.
    Status postSale(const Basket& basket, const std::string& requestId, int32_t& result);
    Status postRefund(const Basket& basket, const std::string& requestId, int32_t& result);

    // Walks a DataFolder file with procedure 6 and returns its bytes; a
    // file the server cannot read comes back as a "Station" message. The
    // size the server announces is not trusted beyond kMaxFetchBytes.
    Status fetchFile(const std::string& name, std::string& content);
    // Far above any picture or wording file a station serves; a larger size
    // is a fault of the server, refused before anything is read.
    static constexpr std::size_t kMaxFetchBytes = 64u << 20;

  private:
    template <typename In, typename Out>
    Status exchange(Procedure p, const typename In::Packed& in, typename Out::Packed& out);
    template <typename In>
    Status returnsLong(Procedure p, const typename In::Packed& in, int32_t& result);
    template <typename Out>
    Status outOnly(Procedure p, typename Out::Packed& out);
    Status post(Procedure p, const Basket& basket, const std::string& requestId, int32_t& result);

    StationTransport& m_transport;
};

}  // namespace kassio
