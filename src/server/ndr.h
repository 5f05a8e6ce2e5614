// NDR marshalling of the station server's wire structures.
//
// Every structure a client station sends or receives has two forms:
//
//   - packed: the bytes as the procedures hold them in memory, members one
//     after the other with no gaps (the same layout as the record files);
//   - NDR: the bytes on the wire, members in the same order but each
//     aligned to its own size (char 1, long 4, hyper and double 8) from the
//     start of the structure. Padding bytes are written as zero and ignored
//     when read. The wire form ends with padding up to the structure's
//     alignment (its largest member), so its size is what a naturally
//     aligned C compiler gives the same member list. Both forms are
//     little-endian.
//
// A structure is described once, as a list of member runs: a run is `count`
// elements of `elementSize` bytes (1, 4 or 8) with nothing between them, so
// "4 x char[40]" is one run {1, 160} and "2 x long[12]" one run {4, 24}.
// Each wire-format header (item_query.h, basket_wire.h, ...) holds its
// packed struct, its run list and static_asserts tying the two together.
//
// The codec never looks at the values it copies: counts carried inside a
// structure (a basket's line count) cannot make it read or write outside
// the structure.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/record_layout.h"

namespace kassio::ndr {

struct Run {
    std::size_t elementSize;  // 1 (char, byte), 4 (long) or 8 (hyper, double)
    std::size_t count;
};

template <std::size_t N>
using Runs = std::array<Run, N>;

constexpr std::size_t alignUp(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

template <std::size_t N>
constexpr std::size_t packedSize(const Runs<N>& runs) {
    std::size_t size = 0;
    for (const Run& r : runs) size += r.elementSize * r.count;
    return size;
}

template <std::size_t N>
constexpr std::size_t alignment(const Runs<N>& runs) {
    std::size_t a = 1;
    for (const Run& r : runs)
        if (r.elementSize > a) a = r.elementSize;
    return a;
}

template <std::size_t N>
constexpr std::size_t wireSize(const Runs<N>& runs) {
    std::size_t offset = 0;
    for (const Run& r : runs) offset = alignUp(offset, r.elementSize) + r.elementSize * r.count;
    return alignUp(offset, alignment(runs));
}

// Packed offset of the first member of run i; lets a header check its run
// list against offsetof() of the packed struct.
template <std::size_t N>
constexpr std::size_t packedOffset(const Runs<N>& runs, std::size_t i) {
    std::size_t offset = 0;
    for (std::size_t k = 0; k < i; ++k) offset += runs[k].elementSize * runs[k].count;
    return offset;
}

// True when every run's element size is one NDR knows.
template <std::size_t N>
constexpr bool validRuns(const Runs<N>& runs) {
    for (const Run& r : runs)
        if ((r.elementSize != 1 && r.elementSize != 4 && r.elementSize != 8) || r.count == 0)
            return false;
    return true;
}

// The run-list walkers behind encode() and decode().
void encodeRuns(const Run* runs, std::size_t n, const unsigned char* packed, unsigned char* wire);
void decodeRuns(const Run* runs, std::size_t n, const unsigned char* wire, unsigned char* packed);

// A wire format: Format::Packed is the packed struct, Format::kRuns its
// member runs. The Packed type must be trivially copyable (plain records).
template <typename Format>
concept WireFormat = requires {
    typename Format::Packed;
    Format::kRuns;
};

template <WireFormat Format>
inline constexpr std::size_t kWireSize = wireSize(Format::kRuns);

template <WireFormat Format>
std::string encode(const typename Format::Packed& value) {
    static_assert(sizeof(typename Format::Packed) == packedSize(Format::kRuns));
    std::string wire(kWireSize<Format>, '\0');
    encodeRuns(Format::kRuns.data(), Format::kRuns.size(),
               reinterpret_cast<const unsigned char*>(&value),
               reinterpret_cast<unsigned char*>(wire.data()));
    return wire;
}

// False, with `value` untouched, unless `wire` is exactly one structure.
template <WireFormat Format>
bool decode(std::string_view wire, typename Format::Packed& value) {
    static_assert(sizeof(typename Format::Packed) == packedSize(Format::kRuns));
    if (wire.size() != kWireSize<Format>) return false;
    decodeRuns(Format::kRuns.data(), Format::kRuns.size(),
               reinterpret_cast<const unsigned char*>(wire.data()),
               reinterpret_cast<unsigned char*>(&value));
    return true;
}

// The NDR form of a procedure's long (int32) return value.
std::string encodeLong(int32_t value);
bool decodeLong(std::string_view wire, int32_t& value);

}  // namespace kassio::ndr
