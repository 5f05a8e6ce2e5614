#include "server/ndr.h"

#include <cstring>

namespace kassio::ndr {

void encodeRuns(const Run* runs, std::size_t n, const unsigned char* packed, unsigned char* wire) {
    std::size_t in = 0, out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t bytes = runs[i].elementSize * runs[i].count;
        out = alignUp(out, runs[i].elementSize);  // the gap stays as zeroed by the caller
        std::memcpy(wire + out, packed + in, bytes);
        in += bytes;
        out += bytes;
    }
}

void decodeRuns(const Run* runs, std::size_t n, const unsigned char* wire, unsigned char* packed) {
    std::size_t in = 0, out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t bytes = runs[i].elementSize * runs[i].count;
        in = alignUp(in, runs[i].elementSize);
        std::memcpy(packed + out, wire + in, bytes);
        in += bytes;
        out += bytes;
    }
}

std::string encodeLong(int32_t value) {
    std::string wire(sizeof value, '\0');
    std::memcpy(wire.data(), &value, sizeof value);
    return wire;
}

bool decodeLong(std::string_view wire, int32_t& value) {
    if (wire.size() != sizeof value) return false;
    std::memcpy(&value, wire.data(), sizeof value);
    return true;
}

}  // namespace kassio::ndr
