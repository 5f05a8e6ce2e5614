#include "reports/activity_log_reader.h"

#include "base/text_format.h"
#include "store/file_io.h"

namespace kassio {

namespace {

std::string logName(const Day& d) {
    return formatted("%d/%d/%d.txt", d.year, d.month, d.day);
}

}  // namespace

std::optional<LogChunk> readLogChunk(DataStore& store, const Day& day, uint64_t offset) {
    LogChunk c;
    c.offset = offset;
    c.text.resize(kLogChunkBytes);
    std::size_t got = 0;
    {
        std::lock_guard lock(store.mutex());
        Status s = store.files().read(logName(day), offset, c.text.data(), kLogChunkBytes, &got);
        if (!s) {
            if (s.kind() == Status::Kind::kNotFound) return std::nullopt;
            got = 0;
        }
    }
    c.text.resize(got);
    c.hasNext = got == kLogChunkBytes;
    c.hasPrevious = offset > 0;
    return c;
}

std::optional<LogChunk> previousLogChunk(DataStore& store, const Day& day, uint64_t offset) {
    return readLogChunk(store, day, offset > kLogChunkBytes ? offset - kLogChunkBytes : 0);
}

std::optional<std::vector<std::string>> logPrintLines(DataStore& store, const Day& day) {
    std::optional<std::string> bytes;
    {
        std::lock_guard lock(store.mutex());
        bytes = store.files().readAll(logName(day));
    }
    if (!bytes) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    for (char ch : *bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\r') {
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        if (b < 31) continue;
        line += ch;
        if (line.size() == 253) {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    // A last line without its carriage return is printed too.
    if (!line.empty()) lines.push_back(std::move(line));
    lines.push_back("  ");
    return lines;
}

Listing logPrint(const std::string& heading, const Day& day, std::vector<std::string> lines) {
    Listing l;
    l.heading = [heading, day](int page) {
        return formatted("%s Log file: %02d/%02d/%d      Page: %d", heading.c_str(), day.day,
                         day.month, day.year, page);
    };
    l.body = std::move(lines);
    l.firstBodyLine = 2;
    l.extraPerLine = 2;
    return l;
}

Status exportLog(DataStore& store, const Day& day, const std::string& target) {
    std::optional<std::string> bytes;
    {
        std::lock_guard lock(store.mutex());
        bytes = store.files().readAll(logName(day));
    }
    if (!bytes) return Status::notFound("No log for day.", kTitleProblem);
    if (!replaceFileAtomically(target, bytes->data(), bytes->size()))
        return Status::ioError("File not exported");
    return Status::ok();
}

}  // namespace kassio
