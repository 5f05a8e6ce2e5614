// The day's ActivityLog read back: the viewer's chunks of 31999 bytes, the
// printed pages and the export to a file of the user's choice.
//
// Each read holds the DataMutex only while it reads, so the till and client
// stations append between two chunks; "Next" then shows the new text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "reports/report_dates.h"
#include "reports/report_printing.h"
#include "store/data_store.h"

namespace kassio {

inline constexpr std::size_t kLogChunkBytes = 31999;

struct LogChunk {
    uint64_t offset = 0;  // where the chunk starts in the file
    std::string text;
    bool hasNext = false;      // the chunk filled all 31999 bytes
    bool hasPrevious = false;  // text lies before it
};

// The chunk starting at offset; nullopt when the day has no log.
std::optional<LogChunk> readLogChunk(DataStore& store, const Day& day, uint64_t offset);
// The chunk before the one at `offset`.
std::optional<LogChunk> previousLogChunk(DataStore& store, const Day& day, uint64_t offset);

// The log's printed lines: bytes below 31 dropped, a line ending at a
// carriage return or at 253 characters; after the last, a line of two
// blanks. nullopt when the day has no log ("No log for day.").
std::optional<std::vector<std::string>> logPrintLines(DataStore& store, const Day& day);
Listing logPrint(const std::string& heading, const Day& day, std::vector<std::string> lines);

// Copies the day's log to target, replacing it.
Status exportLog(DataStore& store, const Day& day, const std::string& target);

}  // namespace kassio
