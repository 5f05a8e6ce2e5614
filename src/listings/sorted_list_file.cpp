#include "listings/sorted_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
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

namespace kassio {

namespace {

// Slots copied per hold of the DataMutex.
constexpr std::size_t kChunkSlots = 8192;

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// A row's sort key; the rows stay where they were made, so the sort moves
// 32 bytes a row rather than 110. Names of a kind ("Fresh apples 639996")
// often share their first sixteen bytes, and a comparison that had to
// look past the key into the rows was a cache miss; past twenty-four
// they rarely do.
struct Keyed {
    uint64_t nameStart[3];  // bytes 0-23 of the name, big-endian
    uint32_t row;           // in the rows as made, which are in slot order
    unsigned char first, second;
};
static_assert(sizeof(Keyed) == 32);

uint64_t bigEndianAt(const char* p) {
    uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

// The figures' types as SlotTexts::figure() is asked for them.
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

SortedRows::SortedRows(std::vector<SortedRow> rows, std::vector<uint32_t> order)
    : m_rows(std::move(rows)), m_order(std::move(order)) {}

SortedRows sortAlphabetically(DataStore& store, SortedFile which, unsigned char from,
                              unsigned char to) {
    std::vector<Keyed> keyed;
    std::vector<SortedRow> made;  // in slot order
    const bool items = which == SortedFile::kItems;
    for (std::size_t first = 0;; first += kChunkSlots) {
        auto lock = store.lock();
        const RecordIndex& index = items ? store.items().index() : store.customers().index();
        const SlotTexts& kept = items ? store.itemTexts() : store.customerTexts();
        const std::size_t slots = index.slotCount();
        if (first >= slots) break;
        if (first == 0) {
            // Room for every record at once: growing the vectors by doubling
            // copied them and touched twice the memory, at 110 bytes a row.
            keyed.reserve(index.liveCount());
            made.reserve(index.liveCount());
        }
        const std::size_t last = std::min(slots, first + kChunkSlots);
        for (std::size_t n = first; n < last; ++n) {
            // The prefix table picks the slots; only those are looked at.
            const auto prefix = index.prefix(n);
            const unsigned char c = upper(static_cast<unsigned char>(prefix[0]));
            const unsigned char d = upper(static_cast<unsigned char>(prefix[1]));
            if (c < from || c > to || d < 32 || !kept.live(n)) continue;
            SortedRow row;
            std::memset(&row, 0, sizeof row);
            if (items) {
                row.number = kept.figure<int64_t>(item_texts::kRecordNumber, n);
                if (row.number <= 0) continue;
                setFieldText(row.name, kept.text(item_texts::kDescription).text(n));
                setFieldText(row.second,
                             std::to_string(kept.figure<int32_t>(item_texts::kQuantity, n)));
                setFieldText(row.third,
                             moneyText(kept.figure<double>(item_texts::kRetailPrice, n)));
            } else {
                row.number = kept.figure<int64_t>(customer_texts::kRecordNumber, n);
                if (row.number <= 0) continue;
                setFieldText(row.name, kept.text(customer_texts::kName).text(n));
                setFieldText(row.second, kept.text(customer_texts::kTelephone).text(n));
                setFieldText(row.third,
                             moneyText(kept.figure<double>(customer_texts::kBalance, n)));
            }
            keyed.push_back(
                {{bigEndianAt(row.name), bigEndianAt(row.name + 8), bigEndianAt(row.name + 16)},
                 static_cast<uint32_t>(made.size()),
                 c,
                 d});
            made.push_back(row);
        }
    }
    // Bucket by prefix, then the whole name byte by byte; equal names in
    // slot order. A name is zero after its NUL, so comparing all its bytes
    // as unsigned orders names as strncmp does.
    constexpr std::size_t kKept = sizeof(Keyed::nameStart);
    constexpr std::size_t kRest = sizeof(SortedRow::name) - kKept;
    std::sort(keyed.begin(), keyed.end(), [&made](const Keyed& x, const Keyed& y) {
        if (x.first != y.first) return x.first < y.first;
        if (x.second != y.second) return x.second < y.second;
        for (std::size_t i = 0; i < std::size(x.nameStart); ++i)
            if (x.nameStart[i] != y.nameStart[i]) return x.nameStart[i] < y.nameStart[i];
        const int cmp = std::memcmp(made[x.row].name + kKept, made[y.row].name + kKept, kRest);
        if (cmp != 0) return cmp < 0;
        return x.row < y.row;
    });
    std::vector<uint32_t> order(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].row;
    return SortedRows(std::move(made), std::move(order));
}

SortedRows sortByVolume(DataStore& store, int category) {
    struct Sold {
        int32_t sold;
        uint32_t row;
        int64_t number;
    };
    std::vector<Sold> found;
    std::vector<SortedRow> made;  // in slot order
    for (std::size_t first = 0;; first += kChunkSlots) {
        auto lock = store.lock();
        const SlotTexts& kept = store.itemTexts();
        const RecordIndex& index = store.items().index();
        const std::size_t slots = index.slotCount();
        if (first >= slots) break;
        if (first == 0 && category < 0) {
            found.reserve(index.liveCount());
            made.reserve(index.liveCount());
        }
        const std::size_t last = std::min(slots, first + kChunkSlots);
        for (std::size_t n = first; n < last; ++n) {
            if (!kept.live(n)) continue;
            const auto number = kept.figure<int64_t>(item_texts::kRecordNumber, n);
            if (number <= 0) continue;
            if (category >= 0 && kept.number(item_texts::kDisplayCategory, n) != category) continue;
            const Sold s{kept.figure<int32_t>(item_texts::kTotalSold, n),
                         static_cast<uint32_t>(made.size()), number};
            SortedRow row;
            std::memset(&row, 0, sizeof row);
            row.number = number;
            setFieldText(row.name, kept.text(item_texts::kDescription).text(n));
            setFieldText(row.second, std::to_string(s.sold));
            setFieldText(row.third, moneyText(kept.figure<double>(item_texts::kRetailPrice, n)));
            found.push_back(s);
            made.push_back(row);
        }
    }
    // Most sold first, equal totals in number order, equal numbers (a file
    // written by another program) in slot order.
    std::sort(found.begin(), found.end(), [](const Sold& a, const Sold& b) {
        if (a.sold != b.sold) return a.sold > b.sold;
        if (a.number != b.number) return a.number < b.number;
        return a.row < b.row;
    });
    std::vector<uint32_t> order(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) order[i] = found[i].row;
    return SortedRows(std::move(made), std::move(order));
}

namespace {

bool writeAll(int fd, const char* p, std::size_t left) {
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

Status writeSortedFile(DataStore& store, SortedFile which, const SortedRows& rows) {
    const std::string name = sortedFileName(which);
    const std::string path = store.pathOf(name);
    const std::string temp = path + ".new";
    const Status failed = Status::ioError(formatted("Data file: %s.", name.c_str()));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return failed;
    // The rows are gathered into list order a buffer at a time: about a
    // megabyte a write, rather than one more 110 MB copy of them at a
    // million records.
    constexpr std::size_t kRowsPerWrite = 8192;
    std::vector<SortedRow> buffer(std::min(kRowsPerWrite, rows.size()));
    bool ok = true;
    for (std::size_t i = 0; ok && i < rows.size();) {
        std::size_t n = 0;
        for (; n < buffer.size() && i < rows.size(); ++n, ++i) buffer[n] = rows[i];
        ok = writeAll(fd, reinterpret_cast<const char*>(buffer.data()), n * sizeof(SortedRow));
    }
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), path.c_str()) != 0) {
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
