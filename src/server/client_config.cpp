#include "server/client_config.h"

#include <cstring>

#include "base/fixed_text.h"

namespace kassio {

namespace {

// One member filled byte for byte from the StoreConfig: offsets are those of
// the two packed layouts, so each line reads like the wire format's table.
struct RawCopy {
    std::size_t wireOffset;
    std::size_t configOffset;
    std::size_t bytes;
};

// clang-format off
constexpr RawCopy kRawCopies[] = {
    {486, 6, 30},          // display category codes 1..9
    {516, 36, 40},         // receipt printer choice, terms discount codes, reserved
    {556, 76, 4},          // day of the first start
    {560, 640, 200},       // texts passed to client stations
    {760, 840, 20},
    {780, 860, 20},
    {800, 880, 252},
    {1052, 1132, 252},
    {1304, 1384, 252},
    {1556, 1636, 252},
    {2312, 2392, 640},     // custom sale button labels
    {3512, 3592, 160},     // client tables
    {3672, 3752, 160},
    {4232, 4312, 480},     // option table
    {4712, 4792, 4},       // next transaction number
    {4716, 4796, 4},
    {4730, 4810, 4},
    {4734, 4814, 40},      // category codes 10..18, tax names
    {4774, 4854, 8},       // default start-of-day till total
    {4782, 4862, 400},     // receipt printer and driver names
    {5182, 5262, 400},     // invoice and receipt texts, cutter code
    {5582, 5662, 80},      // custom receipt line numbers
    {5662, 5742, 200},     // pole texts
    {5862, 5942, 240},
    {6102, 6182, 200},
    {6302, 6382, 200},
    {6502, 6582, 200},     // drawer code
    {6702, 6782, 8},       // clerk logged on
    {6710, 6790, 400},     // per-clerk values
    {7110, 7190, 3000},    // clerk names
    {10110, 10190, 1000},  // clerk passwords
    {11110, 11190, 40},
    {11150, 11230, 80},
    {11230, 11310, 254},   // receipt footer
    {11484, 11564, 254},   // card terminal folder
    {11738, 11818, 1600},  // settings blocks A and B
    {13338, 13418, 800},   // money values
};
// clang-format on

constexpr bool copiesFit() {
    for (const RawCopy& c : kRawCopies)
        if (c.wireOffset + c.bytes > sizeof(ClientConfig) ||
            c.configOffset + c.bytes > kStoreConfigSize)
            return false;
    return true;
}
static_assert(copiesFit());

}  // namespace

void fillClientConfig(const StoreConfig& config, ClientConfig& out) {
    std::memset(&out, 0, sizeof out);
    const StoreConfigRecord& rec = config.record();
    auto* wire = reinterpret_cast<unsigned char*>(&out);
    for (const RawCopy& c : kRawCopies)
        std::memcpy(wire + c.wireOffset, config.bytes() + c.configOffset, c.bytes);

    // Texts that change width are copied as texts, so each stays terminated.
    for (int line = 0; line < 6; ++line)
        setFieldText(out.headings[line], fieldText(rec.heading[line]));
    setFieldText(out.second_currency_symbol, fieldText(rec.second_currency_symbol));
    setFieldText(out.currency_symbol, fieldText(rec.currency_symbol));
}

void applyClientConfig(const ClientConfig& in, StoreConfig& config) {
    const auto* wire = reinterpret_cast<const unsigned char*>(&in);
    for (const RawCopy& c : kRawCopies)
        std::memcpy(config.bytes() + c.configOffset, wire + c.wireOffset, c.bytes);
    StoreConfigRecord& rec = config.record();
    for (int line = 0; line < 6; ++line) {
        std::memset(rec.heading[line], 0, sizeof rec.heading[line]);
        setFieldText(rec.heading[line], fieldText(in.headings[line]));
    }
    std::memset(rec.second_currency_symbol, 0, sizeof rec.second_currency_symbol);
    setFieldText(rec.second_currency_symbol, fieldText(in.second_currency_symbol));
    std::memset(rec.currency_symbol, 0, sizeof rec.currency_symbol);
    setFieldText(rec.currency_symbol, fieldText(in.currency_symbol));
}

}  // namespace kassio
