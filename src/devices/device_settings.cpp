#include "devices/device_settings.h"

#include <algorithm>

namespace kassio {

// The record is packed: its int32 arrays sit at odd addresses, so the
// slots are read and written as members, never through int32_t pointers.
namespace {

int32_t storedLineOf(const StoreConfigRecord& r, int element) {
    if (element >= 0 && element <= 18) return r.custom_receipt_lines[element];
    if (element >= 19 && element <= 21) return r.settings_b[kSetBCustomText1Line + element - 19];
    if (element == 22) return r.settings_b[kSetBCustomPaymentLine];
    if (element >= 23 && element <= 27) return r.settings_b[kSetBCustomAddressLines + element - 23];
    return 0;
}

}  // namespace

int32_t customLineOf(const StoreConfigRecord& r, int element) {
    return std::clamp(storedLineOf(r, element), 0, kMaxCustomLine);
}

void setCustomLineOf(StoreConfigRecord& r, int element, int32_t line) {
    if (element >= 0 && element <= 18)
        r.custom_receipt_lines[element] = line;
    else if (element >= 19 && element <= 21)
        r.settings_b[kSetBCustomText1Line + element - 19] = line;
    else if (element == 22)
        r.settings_b[kSetBCustomPaymentLine] = line;
    else if (element >= 23 && element <= 27)
        r.settings_b[kSetBCustomAddressLines + element - 23] = line;
}

}  // namespace kassio
