#include "listings/sorted_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "base/fixed_text.h"
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

struct Keyed {
    unsigned char first, second;
    uint32_t slotOrder;
    SortedRow row;
};

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
            Keyed k{c, d, static_cast<uint32_t>(n), {}};
            std::memset(&k.row, 0, sizeof k.row);
            if (items) {
                InventoryRecord r;
                std::memcpy(&r, rec, sizeof r);
                if (r.number <= 0) continue;
                k.row.number = r.number;
                setFieldText(k.row.name, fieldText(r.description));
                setFieldText(k.row.second, formatted("%d", r.quantity));
                setFieldText(k.row.third, formatted("%.2f", r.retail_price));
            } else {
                CustomerRecord r;
                std::memcpy(&r, rec, sizeof r);
                if (r.number <= 0) continue;
                k.row.number = r.number;
                setFieldText(k.row.name, fieldText(r.name));
                setFieldText(k.row.second, fieldText(r.telephone));
                setFieldText(k.row.third, formatted("%.2f", r.balance));
            }
            keyed.push_back(k);
        }
    }
    // Bucket by prefix, then the whole name byte by byte; equal names in
    // slot order.
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& x, const Keyed& y) {
        if (x.first != y.first) return x.first < y.first;
        if (x.second != y.second) return x.second < y.second;
        const int cmp = std::strncmp(x.row.name, y.row.name, sizeof x.row.name);
        // strncmp compares as unsigned char, as the byte-wise sort did.
        if (cmp != 0) return cmp < 0;
        return x.slotOrder < y.slotOrder;
    });
    std::vector<SortedRow> rows;
    rows.reserve(keyed.size());
    for (const Keyed& k : keyed) rows.push_back(k.row);
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
            InventoryRecord r;
            std::memcpy(&r, rec, sizeof r);
            if (r.number <= 0) continue;
            if (category >= 0 && r.display_category != category) continue;
            Sold s{r.total_sold, {}};
            std::memset(&s.row, 0, sizeof s.row);
            s.row.number = r.number;
            setFieldText(s.row.name, fieldText(r.description));
            setFieldText(s.row.second, formatted("%d", r.total_sold));
            setFieldText(s.row.third, formatted("%.2f", r.retail_price));
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
