// posting.journal: the shop's redo log, in the DataFolder while a station
// runs (gone after a clean close).
//
// The file starts with a header
//
//   [magic "KSJOURN2" 8 bytes][epoch u64][crc u32]
//
// where crc is the masked CRC32C (crc32c.h) of magic and epoch, then holds
// a sequence of records, each
//
//   [length u32][crc u32][type u8][epoch u64][payload: length bytes]
//
// little-endian, with no padding and no blocks. crc is the masked CRC32C of
// the type byte, the epoch and the payload. The epoch is drawn at random
// each time the file is started afresh (a checkpoint): the file is reused,
// so the bytes after its last record are zeros or the records of an older
// epoch, and a record whose epoch is not the header's is the end of the
// journal (room), not a torn record. A reader takes records from the start
// until the first one that is short, fails its checksum or belongs to
// another epoch: a record of this epoch that is short or fails its checksum
// is a torn tail, never acknowledged.
//
// Reusing the file is what makes a posting's flush cheap: a flush of bytes
// written over blocks the file already owns writes the data alone, while a
// flush of an append also commits the file system's own journal (the new
// length and blocks). So the journal writes zeros ahead of its end in large
// steps, and a checkpoint swaps the journal with the spare file
// (kFreshFileName) instead of making a new one.
//
// A file without the magic is the earlier layout: records of
// [length u32][crc u32][type u8][payload] with crc over type and payload,
// read the same way (everything after the last whole record is torn tail).
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
// The spare: the next checkpoint's journal is written here, flushed, and
// swapped with kFileName; the old journal becomes the spare.
inline constexpr const char* kFreshFileName = "posting.journal.new";

inline constexpr char kMagic[8] = {'K', 'S', 'J', 'O', 'U', 'R', 'N', '2'};
inline constexpr std::size_t kFileHeaderSize = 8 + 8 + 4;
inline constexpr std::size_t kHeaderSize = 4 + 4 + 1 + 8;
inline constexpr std::size_t kLegacyHeaderSize = 4 + 4 + 1;
// No record is larger: a length beyond it is a corrupt header, not a batch.
inline constexpr uint32_t kMaxPayload = 256u << 20;

enum RecordType : uint8_t {
    kBatch = 1,
    kRequests = 2,
};

}  // namespace kassio::journal_format
