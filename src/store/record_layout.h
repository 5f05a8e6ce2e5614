// Shared rules for every fixed-layout file record.
#pragma once

#include <bit>
#include <cstdint>

namespace kassio {

// Records are written byte for byte as they lie in memory, little-endian.
static_assert(std::endian::native == std::endian::little,
              "record files are little-endian; this host is not");

// Item and customer numbers run from 1 to this value.
inline constexpr int64_t kMaxRecordNumber = 100000000000000000LL;
// A slot whose number is this is a deleted slot awaiting reuse.
inline constexpr int64_t kDeletedNumber = -1;

}  // namespace kassio
