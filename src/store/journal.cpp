#include "store/journal.h"

#include <cstdio>
#include <cstring>

#include "store/file_io.h"
#include "store/flush_batch.h"

namespace kassio {

namespace {

std::string format(const char* fmt, int a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

std::string clockText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour, t.minute);
    return buf;
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[(m - 1) % 12];
}

bool notAfter(int y1, int m1, int d1, int y2, int m2, int d2) {
    if (y1 != y2) return y1 < y2;
    if (m1 != m2) return m1 < m2;
    return d1 <= d2;
}

std::string pickText(int64_t number, int day, int month, int year) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%lld on day %d of month %d, %d", static_cast<long long>(number),
                  day, month, year);
    return buf;
}

}  // namespace

Status tooManyTransactions() {
    return Status::invalid("Reduce the history on the Configuration menu",
                           "Problem, too many transactions");
}

Journal::Journal(std::string dataFolder, std::recursive_mutex& mutex)
    : m_folder(std::move(dataFolder)), m_mutex(mutex) {}

std::string Journal::yearFolder(int y) const {
    return m_folder + format("/%d", y);
}
std::string Journal::yearIndexPath(int y) const {
    return yearFolder(y) + "/base.dat";
}
std::string Journal::monthFolder(int y, int m) const {
    return yearFolder(y) + format("/%d", m);
}
std::string Journal::monthMarkerPath(int y, int m) const {
    return monthFolder(y, m) + "/base.dat";
}
std::string Journal::dayFolder(int y, int m, int d) const {
    return monthFolder(y, m) + format("/%d", d);
}
std::string Journal::dayMarkerPath(int y, int m, int d) const {
    return dayFolder(y, m, d) + "/base.dat";
}
std::string Journal::salesLogPath(int y, int m, int d) const {
    return dayFolder(y, m, d) + "/saleslog.dat";
}
std::string Journal::itemsLogPath(int y, int m, int d) const {
    return dayFolder(y, m, d) + "/itemslog.dat";
}
std::string Journal::receivedLogPath(int y, int m, int d) const {
    return dayFolder(y, m, d) + "/ininvent.dat";
}
std::string Journal::activityLogPath(int y, int m, int d) const {
    return monthFolder(y, m) + format("/%d.txt", d);
}

Status Journal::ensureMonthFolders(const LocalTime& now) {
    std::lock_guard lock(m_mutex);
    if (fileExists(monthMarkerPath(now.year, now.month))) return Status::ok();
    Status result;
    if (!fileExists(yearIndexPath(now.year))) {
        if (!makeDirectories(yearFolder(now.year)))
            return Status::ioError("Unable to create year log directory", kTitleFatal);
        const int32_t header = 0;
        if (!replaceFileAtomically(yearIndexPath(now.year), &header, sizeof header))
            result = Status::ioError("Unable to open base.dat in year log.");
    }
    if (!makeDirectories(monthFolder(now.year, now.month)))
        return Status::ioError("Unable to create month log directory", kTitleFatal);
    std::string stamp = clockText(now);
    if (!appendToFile(monthMarkerPath(now.year, now.month), stamp.data(), stamp.size(), false) &&
        result.isOk())
        result = Status::ioError("Unable to open base.dat in month log.");
    return result;
}

Status Journal::ensureDayFolders(const LocalTime& now) {
    std::lock_guard lock(m_mutex);
    if (fileExists(dayMarkerPath(now.year, now.month, now.day))) return Status::ok();
    Status result;
    if (!fileExists(monthMarkerPath(now.year, now.month))) {
        result = ensureMonthFolders(now);
        if (result.fatal()) return result;
    }
    if (!makeDirectories(dayFolder(now.year, now.month, now.day)))
        return Status::ioError("Unable to create day log directory", kTitleFatal);
    std::string stamp = clockText(now);
    if (!appendToFile(dayMarkerPath(now.year, now.month, now.day), stamp.data(), stamp.size(),
                      false) &&
        result.isOk())
        result = Status::ioError("Unable to open base.dat in day log.");
    return result;
}

bool Journal::appendActivity(const LocalTime& now, const std::string& text) {
    std::lock_guard lock(m_mutex);
    // A folder that cannot be made shows up as the failure of the append.
    static_cast<void>(ensureMonthFolders(now));
    return appendRecord(activityLogPath(now.year, now.month, now.day), text.data(), text.size(),
                        false);
}

bool Journal::appendRecord(const std::string& path, const void* data, std::size_t len,
                           bool writeYearHeader) {
    auto f = File::open(path, File::Mode::kAppendCreate);
    if (!f) return false;
    bool ok = true;
    if (writeYearHeader) {
        auto size = f->size();
        if (size && *size == 0) {
            const int32_t header = 0;
            ok = f->append(&header, sizeof header);
        }
    }
    ok = ok && f->append(data, len);
    if (ok && m_sync) {
        if (FlushBatch* batch = FlushBatch::active())
            batch->add(path);
        else
            ok = f->sync();
    }
    return f->close() && ok;
}

Status Journal::appendYearIndex(const LocalTime& now, const TransactionIndexEntry& entry) {
    std::lock_guard lock(m_mutex);
    // Appended only to an index that exists: a missing one is a missing
    // year, whose folders are made before the one retry.
    const std::string path = yearIndexPath(now.year);
    if (fileExists(path) && appendRecord(path, &entry, sizeof entry, true)) return Status::ok();
    static_cast<void>(ensureDayFolders(now));  // the retry below says whether it worked
    if (appendRecord(path, &entry, sizeof entry, true)) return Status::ok();
    return Status::ioError("Unable to open invoice log.");
}

Status Journal::appendSale(const LocalTime& now, const SaleRecord& sale) {
    std::lock_guard lock(m_mutex);
    const std::string path = salesLogPath(now.year, now.month, now.day);
    if (appendRecord(path, &sale, sizeof sale, false)) return Status::ok();
    static_cast<void>(ensureDayFolders(now));  // the retry below says whether it worked
    if (appendRecord(path, &sale, sizeof sale, false)) return Status::ok();
    return Status::ioError("Unable to open sales log.");
}

Status Journal::appendLines(const LocalTime& now, const std::vector<SaleLineRecord>& lines) {
    std::lock_guard lock(m_mutex);
    if (lines.empty()) return Status::ok();
    if (appendRecord(itemsLogPath(now.year, now.month, now.day), lines.data(),
                     lines.size() * sizeof(SaleLineRecord), false))
        return Status::ok();
    return Status::ioError("Unable to open items log.");
}

Status Journal::appendTransaction(const LocalTime& now, const SaleRecord& sale,
                                  const std::vector<SaleLineRecord>& lines,
                                  const std::string& activityText) {
    std::lock_guard lock(m_mutex);
    Status first;
    auto note = [&first](Status s) {
        if (first.isOk() && !s.isOk()) first = std::move(s);
    };
    note(appendYearIndex(now, {static_cast<int32_t>(sale.number), now.day, now.month}));
    note(appendSale(now, sale));
    note(appendLines(now, lines));
    if (!activityText.empty() && !appendActivity(now, activityText))
        note(Status::ioError("Data log file not present."));
    return first;
}

Status Journal::appendReceived(const LocalTime& now, const ReceivedRecord& record) {
    std::lock_guard lock(m_mutex);
    const std::string path = receivedLogPath(now.year, now.month, now.day);
    if (appendRecord(path, &record, sizeof record, false)) return Status::ok();
    static_cast<void>(ensureDayFolders(now));  // the retry below says whether it worked
    if (appendRecord(path, &record, sizeof record, false)) return Status::ok();
    return Status::ioError("Unable to open ininvent.dat");
}

template <typename Record>
std::vector<Record> Journal::readRecords(const std::string& path, std::size_t skip) const {
    std::lock_guard lock(m_mutex);
    std::vector<Record> out;
    auto data = readWholeFile(path);
    if (!data || data->size() < skip) return out;
    std::size_t count = (data->size() - skip) / sizeof(Record);  // a short tail is dropped
    out.resize(count);
    if (count) std::memcpy(out.data(), data->data() + skip, count * sizeof(Record));
    return out;
}

std::vector<SaleRecord> Journal::readSales(int y, int m, int d) const {
    return readRecords<SaleRecord>(salesLogPath(y, m, d));
}
std::vector<SaleLineRecord> Journal::readLines(int y, int m, int d) const {
    return readRecords<SaleLineRecord>(itemsLogPath(y, m, d));
}
std::vector<ReceivedRecord> Journal::readReceived(int y, int m, int d) const {
    return readRecords<ReceivedRecord>(receivedLogPath(y, m, d));
}
std::vector<TransactionIndexEntry> Journal::readYearIndex(int y) const {
    return readRecords<TransactionIndexEntry>(yearIndexPath(y), kYearIndexHeaderSize);
}

std::string Journal::readActivityLog(int y, int m, int d) const {
    std::lock_guard lock(m_mutex);
    auto data = readWholeFile(activityLogPath(y, m, d));
    return data ? std::string(data->begin(), data->end()) : std::string();
}

std::optional<RecalledTransaction> Journal::recall(int64_t number, int day, int month,
                                                   int year) const {
    std::lock_guard lock(m_mutex);
    for (const SaleRecord& sale : readSales(year, month, day)) {
        if (sale.number != number) continue;
        RecalledTransaction t{sale, {}};
        for (const SaleLineRecord& line : readLines(year, month, day))
            if (line.number == number) t.lines.push_back(line);
        return t;
    }
    return std::nullopt;
}

std::optional<TransactionRef> Journal::find(int64_t number, int fromYear, int toYear) const {
    std::lock_guard lock(m_mutex);
    // Numbers restart at 1 after a purge, so the newest year wins.
    for (int y = toYear; y >= fromYear; --y) {
        auto entries = readYearIndex(y);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            if (it->number == static_cast<int32_t>(number))
                return TransactionRef{it->number, it->day, it->month, y};
    }
    return std::nullopt;
}

PickList Journal::pickList(PickListKind kind, const LocalTime& start, const LocalTime& today,
                           int year, int month, int day) const {
    std::lock_guard lock(m_mutex);
    PickList list;
    auto add = [&list](int64_t number, int d, int m, int y) {
        if (list.entries.size() >= kPickListLimit) {
            list.tooMany = tooManyTransactions();
            return false;
        }
        list.entries.push_back({number, d, m, y});
        list.texts.push_back(pickText(number, d, m, y));
        return true;
    };

    if (kind == PickListKind::kDiscounted) {
        int y = start.year, m = start.month, d = start.day;
        if (m < 1 || m > 12 || d < 1) return list;
        while (notAfter(y, m, d, today.year, today.month, today.day)) {
            for (const SaleRecord& sale : readSales(y, m, d))
                if (sale.discount > 0 && !add(sale.number, d, m, y)) return list;
            if (++d > daysInMonth(y, m)) {
                d = 1;
                if (++m > 12) m = 1, ++y;
            }
        }
        return list;
    }

    int firstYear = kind == PickListKind::kWholeHistory ? start.year : year;
    int lastYear = kind == PickListKind::kWholeHistory ? today.year : year;
    for (int y = firstYear; y <= lastYear; ++y) {
        for (const TransactionIndexEntry& e : readYearIndex(y)) {
            bool shown = true;
            switch (kind) {
                case PickListKind::kWholeHistory:
                    shown = y != start.year ||
                            !notAfter(y, e.month, e.day, y, start.month, start.day - 1);
                    break;
                case PickListKind::kMonth:
                    shown = e.month == month;
                    break;
                case PickListKind::kDay:
                    shown = e.month == month && e.day == day;
                    break;
                default:
                    break;
            }
            if (shown && !add(e.number, e.day, e.month, y)) return list;
        }
    }
    return list;
}

bool Journal::purgeYear(int y) {
    {
        std::lock_guard lock(m_mutex);
        removeFile(yearIndexPath(y));
        for (int m = 1; m <= 12; ++m) {
            removeFile(monthMarkerPath(y, m));
            for (int d = 1; d <= 31; ++d) {
                removeFile(dayMarkerPath(y, m, d));
                removeFile(salesLogPath(y, m, d));
                removeFile(itemsLogPath(y, m, d));
                removeFile(receivedLogPath(y, m, d));
                removeDirectory(dayFolder(y, m, d));
                removeFile(activityLogPath(y, m, d));
            }
            removeDirectory(monthFolder(y, m));
        }
    }
    return removeDirectory(yearFolder(y));
}

std::vector<int> Journal::purgeAll(int currentYear) {
    std::vector<int> stuck;
    // Every year folder is visited, not only an unbroken run back from this
    // year: a year with no sales must not shield older history from a purge
    // that resets transaction numbers to 1.
    for (int y = currentYear; y >= 2000; --y) {
        if (!isDirectory(yearFolder(y))) continue;
        if (!purgeYear(y)) stuck.push_back(y);
    }
    return stuck;
}

}  // namespace kassio
