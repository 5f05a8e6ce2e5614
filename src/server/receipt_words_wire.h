// ReceiptWordsWire: the receipt and invoice words as a client station gets
// them (procedure 3): entries 0..37 of the 80-byte word slots of
// language.ini, entry 31 left empty. 3040 bytes packed and on the wire.
#pragma once

#include "server/ndr.h"

namespace kassio {

inline constexpr int kClientWordEntries = 38;
inline constexpr int kClientWordSkipped = 31;

#pragma pack(push, 1)
struct ReceiptWordsWire {
    char words[kClientWordEntries][80];
};
#pragma pack(pop)

struct ReceiptWordsFormat {
    using Packed = ReceiptWordsWire;
    static constexpr ndr::Runs<1> kRuns{{{1, 3040}}};
};

static_assert(sizeof(ReceiptWordsWire) == 3040);
static_assert(ndr::kWireSize<ReceiptWordsFormat> == 3040);

}  // namespace kassio
