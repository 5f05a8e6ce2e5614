#include "listings/sorted_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/text_format.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "store/record_scan.h"

namespace kassio {

namespace {

// Slots copied per hold of the DataMutex.
constexpr std::size_t kChunkSlots = 8192;

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// A row's sort key; the rows stay where they were made, so the sort moves
// 32 bytes a row rather than 110, and most comparisons end within the
// first sixteen bytes of the name.
struct Keyed {
    unsigned char first, second;
    uint32_t slotOrder;
    uint32_t row;
    uint64_t nameStart[2];  // bytes 0-15 of the name, big-endian
};

uint64_t bigEndianAt(const char* p) {
    uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

// One field of a record in a file's mapping, without copying the record:
// an item is over 2 KB, and a list at a million items copied 2 GB.
template <typename T>
T valueAt(const unsigned char* rec, std::size_t offset) {
    T v;
    std::memcpy(&v, rec + offset, sizeof v);
    return v;
}
static_assert(std::is_same_v<decltype(InventoryRecord::number), int64_t> &&
              std::is_same_v<decltype(InventoryRecord::quantity), int32_t> &&
              std::is_same_v<decltype(InventoryRecord::total_sold), int32_t> &&
              std::is_same_v<decltype(InventoryRecord::display_category), int32_t> &&
              std::is_same_v<decltype(InventoryRecord::retail_price), double> &&
              std::is_same_v<decltype(CustomerRecord::number), int64_t> &&
              std::is_same_v<decltype(CustomerRecord::balance), double>);

}  // namespace

const char* sortedFileName(SortedFile which) {
    return which == SortedFile::kItems ? "f2.dat" : "m2.dat";
}

bool alphabeticalRange(const std::string& start, const std::string& end, unsigned char* from,
                       unsigned char* to) {
    if (start.empty() || end.empty()) return false;
    unsigned char a = upper(static_cast<unsigned char>(start[0]));
    unsigned char b = upper(static_cast<unsigned char>(end[0]));
    if (a < 'A' || b < 'A' || b < a) return false;
    if (a == 'A') a = ' ';
    *from = a;
    *to = b;
    return true;
}

std::vector<SortedRow> sortAlphabetically(DataStore& store, SortedFile which, unsigned char from,
                                          unsigned char to, Status* error) {
    std::vector<Keyed> keyed;
    std::vector<SortedRow> made;  // in slot order
    const bool items = which == SortedFile::kItems;
    for (std::size_t first = 0;; first += kChunkSlots) {
        auto lock = store.lock();
        RecordFile& file = items ? store.items() : store.customers();
        const std::size_t slots = file.index().slotCount();
        if (first >= slots) break;
        // The prefix table picks the slots; only those are read.
        static_cast<void>(file.settle());
        RecordFileView view(file.path(), file.spec().recordSize);
        if (!view.ok()) {
            if (error) *error = file.notPresent();
            return {};
        }
        const std::size_t last = std::min(slots, first + kChunkSlots);
        for (std::size_t n = first; n < last && n < view.slotCount(); ++n) {
            const auto prefix = file.index().prefix(n);
            const unsigned char c = upper(static_cast<unsigned char>(prefix[0]));
            const unsigned char d = upper(static_cast<unsigned char>(prefix[1]));
            if (c < from || c > to || d < 32) continue;
            const unsigned char* rec = view.slot(n);
            if (!rec) {
                if (error) *error = scanReadFailure(file);
                return {};
            }
            SortedRow row;
            std::memset(&row, 0, sizeof row);
            if (items) {
                row.number = valueAt<int64_t>(rec, offsetof(InventoryRecord, number));
                if (row.number <= 0) continue;
                setFieldText(row.name, fieldView(rec, offsetof(InventoryRecord, description),
                                                 sizeof(InventoryRecord::description)));
                setFieldText(row.second, std::to_string(valueAt<int32_t>(
                                             rec, offsetof(InventoryRecord, quantity))));
                setFieldText(row.third, moneyText(valueAt<double>(
                                            rec, offsetof(InventoryRecord, retail_price))));
            } else {
                row.number = valueAt<int64_t>(rec, offsetof(CustomerRecord, number));
                if (row.number <= 0) continue;
                setFieldText(row.name, fieldView(rec, offsetof(CustomerRecord, name),
                                                 sizeof(CustomerRecord::name)));
                setFieldText(row.second, fieldView(rec, offsetof(CustomerRecord, telephone),
                                                   sizeof(CustomerRecord::telephone)));
                setFieldText(row.third,
                             moneyText(valueAt<double>(rec, offsetof(CustomerRecord, balance))));
            }
            keyed.push_back({c,
                             d,
                             static_cast<uint32_t>(n),
                             static_cast<uint32_t>(made.size()),
                             {bigEndianAt(row.name), bigEndianAt(row.name + 8)}});
            made.push_back(row);
        }
    }
    // Bucket by prefix, then the whole name byte by byte; equal names in
    // slot order. A name is zero after its NUL, so comparing all its bytes
    // as unsigned orders names as strncmp does.
    constexpr std::size_t kRest = sizeof(SortedRow::name) - 16;
    std::sort(keyed.begin(), keyed.end(), [&made](const Keyed& x, const Keyed& y) {
        if (x.first != y.first) return x.first < y.first;
        if (x.second != y.second) return x.second < y.second;
        if (x.nameStart[0] != y.nameStart[0]) return x.nameStart[0] < y.nameStart[0];
        if (x.nameStart[1] != y.nameStart[1]) return x.nameStart[1] < y.nameStart[1];
        const int cmp = std::memcmp(made[x.row].name + 16, made[y.row].name + 16, kRest);
        if (cmp != 0) return cmp < 0;
        return x.slotOrder < y.slotOrder;
    });
    std::vector<SortedRow> rows;
    rows.reserve(keyed.size());
    for (const Keyed& k : keyed) rows.push_back(made[k.row]);
    return rows;
}

std::vector<SortedRow> sortByVolume(DataStore& store, int category, Status* error) {
    struct Sold {
        int32_t sold;
        SortedRow row;
    };
    std::vector<Sold> found;
    for (std::size_t first = 0;; first += kChunkSlots) {
        auto lock = store.lock();
        RecordFile& file = store.items();
        const std::size_t slots = file.index().slotCount();
        if (first >= slots) break;
        static_cast<void>(file.settle());
        RecordFileView view(file.path(), file.spec().recordSize);
        if (!view.ok()) {
            if (error) *error = file.notPresent();
            return {};
        }
        const std::size_t last = std::min(slots, first + kChunkSlots);
        for (std::size_t n = first; n < last && n < view.slotCount(); ++n) {
            const unsigned char* rec = view.slot(n);
            if (!rec) {
                if (error) *error = scanReadFailure(file);
                return {};
            }
            const auto number = valueAt<int64_t>(rec, offsetof(InventoryRecord, number));
            if (number <= 0) continue;
            if (category >= 0 &&
                valueAt<int32_t>(rec, offsetof(InventoryRecord, display_category)) != category)
                continue;
            Sold s{valueAt<int32_t>(rec, offsetof(InventoryRecord, total_sold)), {}};
            std::memset(&s.row, 0, sizeof s.row);
            s.row.number = number;
            setFieldText(s.row.name, fieldView(rec, offsetof(InventoryRecord, description),
                                               sizeof(InventoryRecord::description)));
            setFieldText(s.row.second, std::to_string(s.sold));
            setFieldText(s.row.third,
                         moneyText(valueAt<double>(rec, offsetof(InventoryRecord, retail_price))));
            found.push_back(s);
        }
    }
    std::sort(found.begin(), found.end(), [](const Sold& a, const Sold& b) {
        if (a.sold != b.sold) return a.sold > b.sold;
        return a.row.number < b.row.number;
    });
    std::vector<SortedRow> rows;
    rows.reserve(found.size());
    for (const Sold& s : found) rows.push_back(s.row);
    return rows;
}

Status writeSortedFile(DataStore& store, SortedFile which, const std::vector<SortedRow>& rows) {
    const std::string name = sortedFileName(which);
    const std::string path = store.pathOf(name);
    const std::string temp = path + ".new";
    const Status failed = Status::ioError(formatted("Data file: %s.", name.c_str()));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return failed;
    const char* p = reinterpret_cast<const char*>(rows.data());
    std::size_t left = rows.size() * sizeof(SortedRow);
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) {
            ::close(fd);
            ::unlink(temp.c_str());
            return failed;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return failed;
    }
    return Status::ok();
}

Status readSortedRows(DataStore& store, SortedFile which, uint64_t first, std::size_t count,
                      std::vector<SortedRow>* rows) {
    rows->clear();
    const std::string name = sortedFileName(which);
    const int fd = ::open(store.pathOf(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Status::notFound(formatted("Data file: %s, not present.", name.c_str()));
    rows->resize(count);
    const ssize_t got = ::pread(fd, rows->data(), count * sizeof(SortedRow),
                                static_cast<off_t>(first * sizeof(SortedRow)));
    ::close(fd);
    rows->resize(got > 0 ? static_cast<std::size_t>(got) / sizeof(SortedRow) : 0);
    return Status::ok();
}

}  // namespace kassio
