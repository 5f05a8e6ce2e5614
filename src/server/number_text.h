// NumberText: a number offered as text, "%I64d" (procedure 5). 40 bytes.
#pragma once

#include "server/ndr.h"

namespace kassio {

#pragma pack(push, 1)
struct NumberText {
    char text[40];
};
#pragma pack(pop)

struct NumberTextFormat {
    using Packed = NumberText;
    static constexpr ndr::Runs<1> kRuns{{{1, 40}}};
};

static_assert(sizeof(NumberText) == 40);
static_assert(ndr::kWireSize<NumberTextFormat> == 40);

}  // namespace kassio
