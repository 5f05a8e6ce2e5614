#include "store/crc32c.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace kassio::crc32c {

namespace {

constexpr uint32_t kPolynomial = 0x82F63B78u;

// Slicing-by-8 tables: kTables[k][b] is the CRC of byte b followed by k zero
// bytes, so eight input bytes fold in with eight lookups.
constexpr std::array<std::array<uint32_t, 256>, 8> makeTables() {
    std::array<std::array<uint32_t, 256>, 8> t{};
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b;
        for (int i = 0; i < 8; ++i) c = (c >> 1) ^ ((c & 1) ? kPolynomial : 0);
        t[0][b] = c;
    }
    for (int k = 1; k < 8; ++k)
        for (uint32_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xff];
    return t;
}

constexpr auto kTables = makeTables();

uint32_t extendPortable(uint32_t crc, const unsigned char* p, std::size_t n) {
    uint32_t c = ~crc;
    while (n >= 8) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);  // little-endian host, as the record layouts assume
        std::memcpy(&hi, p + 4, 4);
        lo ^= c;
        c = kTables[7][lo & 0xff] ^ kTables[6][(lo >> 8) & 0xff] ^ kTables[5][(lo >> 16) & 0xff] ^
            kTables[4][lo >> 24] ^ kTables[3][hi & 0xff] ^ kTables[2][(hi >> 8) & 0xff] ^
            kTables[1][(hi >> 16) & 0xff] ^ kTables[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n--) c = (c >> 8) ^ kTables[0][(c ^ *p++) & 0xff];
    return ~c;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) uint32_t extendHardware(uint32_t crc, const unsigned char* p,
                                                          std::size_t n) {
    uint64_t c = ~crc;
    while (n >= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        c = _mm_crc32_u64(c, v);
        p += 8;
        n -= 8;
    }
    uint32_t c32 = static_cast<uint32_t>(c);
    while (n--) c32 = _mm_crc32_u8(c32, *p++);
    return ~c32;
}

bool hasHardware() {
    static const bool has = __builtin_cpu_supports("sse4.2");
    return has;
}
#endif

}  // namespace

uint32_t extend(uint32_t crc, const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
#if defined(__x86_64__)
    if (hasHardware()) return extendHardware(crc, p, n);
#endif
    return extendPortable(crc, p, n);
}

namespace detail {
// For the tests: the table-driven path even where the processor has SSE4.2.
uint32_t extendPortableForTest(uint32_t crc, const void* data, std::size_t n) {
    return extendPortable(crc, static_cast<const unsigned char*>(data), n);
}
}  // namespace detail

}  // namespace kassio::crc32c
