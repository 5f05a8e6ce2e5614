// The NDR decoder of every wire structure, both ways: the first byte
// chooses the structure (and, when its top bit is set, the rest is cut or
// zero-padded to the structure's wire size so that the decoder always
// runs). Only exactly one structure decodes; decoding and encoding again
// gives the same bytes with the padding zeroed, and the same packed value.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
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
#include "server/receipt_words_wire.h"
#include "server/station_tables.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

template <ndr::WireFormat Format>
void roundTrip(std::string_view wire, bool fit) {
    using Packed = typename Format::Packed;
    constexpr std::size_t size = ndr::kWireSize<Format>;
    std::string fitted;
    if (fit) {
        fitted.assign(wire.substr(0, size));
        fitted.resize(size, '\0');
        wire = fitted;
    }
    auto value = std::make_unique<Packed>();
    std::memset(value.get(), 0x5a, sizeof *value);
    const bool decoded = ndr::decode<Format>(wire, *value);
    FUZZ_CHECK(decoded == (wire.size() == size), "decode takes exactly one structure");
    if (!decoded) {
        auto untouched = std::make_unique<Packed>();
        std::memset(untouched.get(), 0x5a, sizeof *untouched);
        FUZZ_CHECK(std::memcmp(value.get(), untouched.get(), sizeof *value) == 0,
                   "a refused decode changed the value");
        return;
    }
    const std::string again = ndr::encode<Format>(*value);
    FUZZ_CHECK(again.size() == size, "encoded size");
    for (std::size_t i = 0; i < size; ++i)
        FUZZ_CHECK(again[i] == wire[i] || again[i] == '\0', "encode changed a member byte");
    auto back = std::make_unique<Packed>();
    FUZZ_CHECK(ndr::decode<Format>(again, *back), "re-decode");
    FUZZ_CHECK(std::memcmp(value.get(), back.get(), sizeof *value) == 0, "round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view wire(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool fit = data[0] & 0x80;
    switch ((data[0] & 0x7f) % 13) {
        case 0:
            roundTrip<ItemQueryFormat>(wire, fit);
            break;
        case 1:
            roundTrip<ItemRecordFormat>(wire, fit);
            break;
        case 2:
            roundTrip<CustomerQueryFormat>(wire, fit);
            break;
        case 3:
            roundTrip<CustomerRecordFormat>(wire, fit);
            break;
        case 4:
            roundTrip<ClientConfigFormat>(wire, fit);
            break;
        case 5:
            roundTrip<ReceiptWordsFormat>(wire, fit);
            break;
        case 6:
            roundTrip<StationTablesFormat>(wire, fit);
            break;
        case 7:
            roundTrip<NumberTextFormat>(wire, fit);
            break;
        case 8:
            roundTrip<FileChunkFormat>(wire, fit);
            break;
        case 9:
            roundTrip<ItemPageFormat>(wire, fit);
            break;
        case 10:
            roundTrip<LargeItemPageFormat>(wire, fit);
            break;
        case 11:
            roundTrip<BasketFormat>(wire, fit);
            break;
        default: {
            int32_t value = 0;
            const bool decoded = ndr::decodeLong(wire, value);
            FUZZ_CHECK(decoded == (wire.size() == 4), "decodeLong");
            if (decoded) FUZZ_CHECK(ndr::encodeLong(value) == wire, "long round trip");
        }
    }
    return 0;
}
