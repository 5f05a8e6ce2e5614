// FileChunk: one step of a client station's walk through a DataFolder file
// (procedure 6). Asked with position 0 it comes back with the file's size
// and the first 2000 bytes; asked with a position it brings the 2000 bytes
// from there. 2044 bytes packed and on the wire (4-byte aligned).
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"

namespace kassio {

inline constexpr std::size_t kFileChunkData = 2000;

#pragma pack(push, 1)
struct FileChunk {
    char name[40];     // a plain file name in the DataFolder
    int32_t position;  // 0 asks for the size; answered 0 when the file cannot be read
    unsigned char data[kFileChunkData];
};
#pragma pack(pop)

struct FileChunkFormat {
    using Packed = FileChunk;
    static constexpr ndr::Runs<3> kRuns{{{1, 40}, {4, 1}, {1, kFileChunkData}}};
};

static_assert(sizeof(FileChunk) == 2044);
static_assert(offsetof(FileChunk, position) == ndr::packedOffset(FileChunkFormat::kRuns, 1));
static_assert(offsetof(FileChunk, data) == 44);
static_assert(ndr::validRuns(FileChunkFormat::kRuns));
static_assert(ndr::alignment(FileChunkFormat::kRuns) == 4);
static_assert(ndr::kWireSize<FileChunkFormat> == 2044);

}  // namespace kassio
