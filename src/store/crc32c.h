// CRC32C (Castagnoli polynomial, reflected 0x82F63B78), the checksum of the
// posting journal's records. Uses the SSE4.2 crc32 instruction when the
// processor has it and a table-driven loop otherwise; both give the same
// values, so a journal written on one machine reads on any other.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kassio::crc32c {

// The CRC32C of data[0, n) continued from the CRC of earlier bytes `crc`
// (0 to start): extend(extend(0, a), b) == extend(0, a + b).
uint32_t extend(uint32_t crc, const void* data, std::size_t n);

inline uint32_t value(const void* data, std::size_t n) {
    return extend(0, data, n);
}

// A stored CRC is masked: the CRC of a text that itself holds CRCs (a
// journal copied into a journal) would otherwise be easy to mistake for a
// valid record, as in LevelDB's log.
inline constexpr uint32_t kMaskDelta = 0xa282ead8u;
inline uint32_t mask(uint32_t crc) {
    return ((crc >> 15) | (crc << 17)) + kMaskDelta;
}
inline uint32_t unmask(uint32_t masked) {
    uint32_t rot = masked - kMaskDelta;
    return (rot >> 17) | (rot << 15);
}

}  // namespace kassio::crc32c

namespace kassio::crc32c::detail {
// The table-driven path alone, so a test can hold it against the hardware one.
uint32_t extendPortableForTest(uint32_t crc, const void* data, std::size_t n);
}  // namespace kassio::crc32c::detail
