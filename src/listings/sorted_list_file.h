// The listing work files f2.dat (items) and m2.dat (customers): 110-byte
// rows written in sorted order and paged back 13 at a time.
//
// The alphabetical sort puts the records whose two-character name prefix
// (upper case) lies in the chosen range into buckets by that prefix, first
// character from start to end, second from blank (32) to 255, and sorts
// each bucket by the whole name byte by byte. Records with equal names keep
// their slot order (the sort is stable, where the old exchange sort left
// them in an order that depended on the bucket's history).
//
// The rows are made from what the store keeps of every slot in memory (the
// texts and figures of DataStore::itemTexts() and customerTexts()); no
// record is read, so making them cannot fail. The DataMutex is held only
// while a chunk of slots is copied out; the sort and the writing of the
// work file happen with it released, so client stations do not wait for a
// large sort. The work file is the station's own
// scratch space, rebuilt for every list: it is written beside the shop's
// files without the posting journal and replaced by rename, so a list never
// reads a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "store/data_store.h"

namespace kassio {

#pragma pack(push, 1)
struct SortedRow {
    int64_t number;
    char name[42];    // description or name, NUL-terminated
    char second[30];  // quantity text for items
    char third[30];   // retail price text for items
};
#pragma pack(pop)
inline constexpr std::size_t kSortedRowSize = 110;
static_assert(sizeof(SortedRow) == kSortedRowSize);
static_assert(offsetof(SortedRow, name) == 8);
static_assert(offsetof(SortedRow, second) == 50);
static_assert(offsetof(SortedRow, third) == 80);

// Rows in list order. They stay where they were made and only their order
// is sorted, so that a million rows (110 MB) are not copied once more
// before they are written.
class SortedRows {
  public:
    SortedRows() = default;
    // order: positions in rows, in list order.
    SortedRows(std::vector<SortedRow> rows, std::vector<uint32_t> order);

    std::size_t size() const { return m_order.size(); }
    const SortedRow& operator[](std::size_t i) const { return m_rows[m_order[i]]; }

  private:
    std::vector<SortedRow> m_rows;
    std::vector<uint32_t> m_order;
};

enum class SortedFile { kItems, kCustomers };
const char* sortedFileName(SortedFile which);  // "f2.dat", "m2.dat"

// The typed start and end characters as the range of first characters:
// the first character of each, upper-cased; a start of 'A' widened to the
// blank so that names beginning with digits and punctuation come too.
// false (the command ends silently) for an empty entry, a character below
// 'A', or an end below the start.
bool alphabeticalRange(const std::string& start, const std::string& end, unsigned char* from,
                       unsigned char* to);

// The rows in alphabetical order, made from the records of the file.
SortedRows sortAlphabetically(DataStore& store, SortedFile which, unsigned char from,
                              unsigned char to);

// The items by total sold, most first (equal totals in number order),
// within a display category (-1: all).
SortedRows sortByVolume(DataStore& store, int category);

// Replaces the work file with these rows.
Status writeSortedFile(DataStore& store, SortedFile which, const SortedRows& rows);
// Up to count rows from row `first`; "Data file: f2.dat, not present." when
// the file is missing.
Status readSortedRows(DataStore& store, SortedFile which, uint64_t first, std::size_t count,
                      std::vector<SortedRow>* rows);

}  // namespace kassio
