// posting.journal: the shop's redo log, in the DataFolder while a station
// runs (gone after a clean close).
//
// The file is a sequence of records, each
//
//   [length u32][crc u32][type u8][payload: length bytes]
//
// little-endian, with no padding and no blocks. crc is the masked CRC32C
// (crc32c.h) of the type byte and the payload. A reader takes records from
// the start until the first one that is short or fails its checksum: that
// one and everything after it is a torn tail, never acknowledged.
//
// kBatch payload (one WriteBatch, appends already resolved to writes):
//   [flags u8: bit 0 = request present]
//   [request: id len u16, id, result len u32, result]   (when bit 0)
//   [op count u32] then per op:
//   [kind u8][path len u16][path][offset u64][bytes len u32][bytes]
//
// kRequests payload (the request-id memory carried over a checkpoint, oldest
// first; always the first record of a fresh journal, when any ids are known):
//   [count u32] then per id: [id len u16][id][result len u32][result]
#pragma once

#include <cstddef>
#include <cstdint>

namespace kassio::journal_format {

inline constexpr const char* kFileName = "posting.journal";
// The fresh journal of a checkpoint, renamed over kFileName when flushed.
inline constexpr const char* kFreshFileName = "posting.journal.new";

inline constexpr std::size_t kHeaderSize = 4 + 4 + 1;
// No record is larger: a length beyond it is a corrupt header, not a batch.
inline constexpr uint32_t kMaxPayload = 256u << 20;

enum RecordType : uint8_t {
    kBatch = 1,
    kRequests = 2,
};

}  // namespace kassio::journal_format
