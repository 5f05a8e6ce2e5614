// The searches of the record files, run on the texts kept in memory
// (slot_texts.h) instead of reading every slot.
//
// A search asks the memory for the next slot that matches, chunk by chunk
// without the DataMutex; then, under the DataMutex, it reads that one record
// and tests it again by the rule itself (the "literal" test, on the record's
// bytes). A slot changed in the moment between fails the test and the
// search goes on after it. So the answers are those of the slot-by-slot
// scan (record_scan.h), and the DataMutex is held only for one record read
// per answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "store/data_store.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/slot_texts.h"

namespace kassio {

// Whether the slot's field begins with the query by the rule of the
// searches by initial characters: the first two bytes as the prefix table
// has them (both zero never match), then byte by byte; '?' matches any
// byte, also past the text's end.
bool initialsAt(const FieldColumn& column, uint64_t slot, const std::string& query);
// The same rule from the first byte on, without the prefix test (a
// customer's name prefix 2 against a station's query).
bool startsWithPatternAt(const FieldColumn& column, uint64_t slot, std::string_view pattern);

// The first live slot in [from, to) whose field begins with the query.
std::optional<uint64_t> firstByInitials(const SlotTexts& texts, std::size_t field,
                                        const std::string& query, uint64_t from, uint64_t to);
// The first live slot in [from, to) where any of the fields contains the
// fragment (every live slot for an empty fragment).
std::optional<uint64_t> firstContaining(const SlotTexts& texts,
                                        std::initializer_list<std::size_t> fields,
                                        std::string_view fragment, uint64_t from, uint64_t to);
// The first live slot in [from, to).
std::optional<uint64_t> firstLive(const SlotTexts& texts, uint64_t from, uint64_t to);

// The first answer at or after slot `from`: find(first, end) names a
// candidate in memory (called without the DataMutex, under the texts'
// lock), test(slot, bytes) is the rule on the record read from the file
// under the DataMutex. nullopt when none is left, or on a failure, then in
// *error ("Data file: %s, not present.", "Not able to read %s").
template <typename Find, typename Test>
std::optional<ScanHit> searchFrom(DataStore& store, const RecordFile& file, const SlotTexts& texts,
                                  uint64_t from, Find find, Test test, Status* error) {
    const std::size_t size = file.spec().recordSize;
    std::vector<unsigned char> record(size);
    for (uint64_t at = from;;) {
        std::optional<uint64_t> slot = texts.firstMatch(at, find);
        auto lock = store.lock();
        if (!slot) {
            if (error && !store.files().exists(file.name())) *error = file.notPresent();
            return std::nullopt;
        }
        if (Status s = file.read(*slot, record.data()); !s) {
            if (error)
                *error =
                    s.kind() == Status::Kind::kNotFound ? file.notPresent() : scanReadFailure(file);
            return std::nullopt;
        }
        if (recordNumber(record.data()) > 0 && test(*slot, record.data()))
            return ScanHit{*slot, std::move(record)};
        at = *slot + 1;
    }
}

// Every answer, in slot order. The records are read a group at a time
// under the DataMutex, so a list of many does not hold it long either.
template <typename Find, typename Test>
std::vector<ScanHit> searchAll(DataStore& store, const RecordFile& file, const SlotTexts& texts,
                               Find find, Test test, Status* error) {
    std::vector<uint64_t> slots;
    for (uint64_t at = 0;;) {
        std::optional<uint64_t> slot = texts.firstMatch(at, find);
        if (!slot) break;
        slots.push_back(*slot);
        at = *slot + 1;
    }
    std::vector<ScanHit> hits;
    const std::size_t size = file.spec().recordSize;
    constexpr std::size_t kReadsPerHold = 256;
    if (slots.empty()) {
        auto lock = store.lock();
        if (error && !store.files().exists(file.name())) *error = file.notPresent();
        return hits;
    }
    for (std::size_t i = 0; i < slots.size();) {
        auto lock = store.lock();
        for (const std::size_t end = std::min(slots.size(), i + kReadsPerHold); i < end; ++i) {
            std::vector<unsigned char> record(size);
            if (Status s = file.read(slots[i], record.data()); !s) {
                if (error)
                    *error = s.kind() == Status::Kind::kNotFound ? file.notPresent()
                                                                 : scanReadFailure(file);
                return hits;
            }
            if (recordNumber(record.data()) > 0 && test(slots[i], record.data()))
                hits.push_back({slots[i], std::move(record)});
        }
    }
    return hits;
}

}  // namespace kassio
