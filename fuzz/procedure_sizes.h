// The NDR sizes of each procedure's request and reply.
#pragma once

#include <cstddef>
#include <cstdlib>

#include "server/basket_wire.h"
#include "server/client_config.h"
#include "server/customer_query.h"
#include "server/customer_record_wire.h"
#include "server/file_chunk.h"
#include "server/item_page.h"
#include "server/item_query.h"
#include "server/item_record_wire.h"
#include "server/large_item_page.h"
#include "server/number_text.h"
#include "server/procedure.h"
#include "server/receipt_words_wire.h"
#include "server/station_tables.h"

namespace kassio::fuzz {

struct Sizes {
    std::size_t request;  // 0: takes nothing
    std::size_t reply;
};

inline Sizes sizesOf(Procedure p) {
    using namespace ndr;
    switch (p) {
        case Procedure::kFindItem:
            return {kWireSize<ItemQueryFormat>, kWireSize<ItemRecordFormat>};
        case Procedure::kFindCustomer:
            return {kWireSize<CustomerQueryFormat>, kWireSize<CustomerRecordFormat>};
        case Procedure::kClientConfig:
            return {0, kWireSize<ClientConfigFormat>};
        case Procedure::kReceiptWords:
            return {0, kWireSize<ReceiptWordsFormat>};
        case Procedure::kStationTables:
            return {kWireSize<StationTablesFormat>, kWireSize<StationTablesFormat>};
        case Procedure::kSuggestCustomerNumber:
            return {0, kWireSize<NumberTextFormat>};
        case Procedure::kFileChunk:
            return {kWireSize<FileChunkFormat>, kWireSize<FileChunkFormat>};
        case Procedure::kFirstItemPage:
        case Procedure::kNextItemPage:
            return {kWireSize<ItemPageFormat>, kWireSize<ItemPageFormat>};
        case Procedure::kLargeItemPage:
            return {kWireSize<LargeItemPageFormat>, kWireSize<LargeItemPageFormat>};
        case Procedure::kItemRecord10:
        case Procedure::kItemRecord11:
            return {kWireSize<ItemRecordFormat>, 4};
        case Procedure::kAddCustomer:
        case Procedure::kChangeCustomer:
            return {kWireSize<CustomerRecordFormat>, 4};
        case Procedure::kPostSale:
        case Procedure::kPostRefund:
            return {kWireSize<BasketFormat>, 4};
    }
    std::abort();
}

}  // namespace kassio::fuzz
