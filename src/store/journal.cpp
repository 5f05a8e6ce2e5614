#include "store/journal.h"

#include <cstdio>
#include <cstring>

#include "base/text_format.h"
#include "store/file_io.h"

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

Journal::Journal(StoreFiles& files, std::recursive_mutex& mutex) : m_files(files), m_mutex(mutex) {}

std::string Journal::yearName(int y) {
    return format("%d", y);
}
std::string Journal::yearIndexName(int y) {
    return yearName(y) + "/base.dat";
}
std::string Journal::monthName(int y, int m) {
    return yearName(y) + format("/%d", m);
}
std::string Journal::monthMarkerName(int y, int m) {
    return monthName(y, m) + "/base.dat";
}
std::string Journal::dayName(int y, int m, int d) {
    return monthName(y, m) + format("/%d", d);
}
std::string Journal::dayMarkerName(int y, int m, int d) {
    return dayName(y, m, d) + "/base.dat";
}
std::string Journal::salesLogName(int y, int m, int d) {
    return dayName(y, m, d) + "/saleslog.dat";
}
std::string Journal::itemsLogName(int y, int m, int d) {
    return dayName(y, m, d) + "/itemslog.dat";
}
std::string Journal::receivedLogName(int y, int m, int d) {
    return dayName(y, m, d) + "/ininvent.dat";
}
std::string Journal::activityLogName(int y, int m, int d) {
    return monthName(y, m) + format("/%d.txt", d);
}

std::string Journal::yearFolder(int y) const {
    return m_files.pathOf(yearName(y));
}
std::string Journal::yearIndexPath(int y) const {
    return m_files.pathOf(yearIndexName(y));
}
std::string Journal::monthFolder(int y, int m) const {
    return m_files.pathOf(monthName(y, m));
}
std::string Journal::monthMarkerPath(int y, int m) const {
    return m_files.pathOf(monthMarkerName(y, m));
}
std::string Journal::dayFolder(int y, int m, int d) const {
    return m_files.pathOf(dayName(y, m, d));
}
std::string Journal::dayMarkerPath(int y, int m, int d) const {
    return m_files.pathOf(dayMarkerName(y, m, d));
}
std::string Journal::salesLogPath(int y, int m, int d) const {
    return m_files.pathOf(salesLogName(y, m, d));
}
std::string Journal::itemsLogPath(int y, int m, int d) const {
    return m_files.pathOf(itemsLogName(y, m, d));
}
std::string Journal::receivedLogPath(int y, int m, int d) const {
    return m_files.pathOf(receivedLogName(y, m, d));
}
std::string Journal::activityLogPath(int y, int m, int d) const {
    return m_files.pathOf(activityLogName(y, m, d));
}

namespace {

// Commits a Batch this function opened itself (one that joined a caller's
// is committed by the caller) and waits for the disk; the failure found
// while building it comes first.
Status finish(StoreFiles& files, StoreFiles::Batch& batch, Status built) {
    if (!batch.outermost()) return built;
    uint64_t ticket = 0;
    Status s = batch.commit(&ticket);
    if (s) s = files.waitDurable(ticket);
    if (!built) return built;
    return s;
}

// A refused write carries the store's own message (what to do next);
// otherwise the message of the step that failed.
Status stepFailure(const Status& s, Status plain) {
    return s.fatal() ? s : plain;
}

}  // namespace

Status Journal::ensureMonthFolders(const LocalTime& now) {
    std::lock_guard lock(m_mutex);
    if (m_files.exists(monthMarkerName(now.year, now.month))) return Status::ok();
    StoreFiles::Batch batch(m_files);
    Status result;
    if (!m_files.exists(yearIndexName(now.year))) {
        if (Status s = m_files.makeFolder(yearName(now.year)); !s)
            return stepFailure(s,
                               Status::ioError("Unable to create year log directory", kTitleFatal));
        const int32_t header = 0;
        if (Status s = m_files.replace(yearIndexName(now.year), &header, sizeof header); !s)
            result = stepFailure(s, Status::ioError("Unable to open base.dat in year log."));
    }
    if (Status s = m_files.makeFolder(monthName(now.year, now.month)); !s)
        return stepFailure(s, Status::ioError("Unable to create month log directory", kTitleFatal));
    const std::string stamp = clockText(now);
    if (Status s = m_files.append(monthMarkerName(now.year, now.month), stamp.data(), stamp.size());
        !s && result.isOk())
        result = stepFailure(s, Status::ioError("Unable to open base.dat in month log."));
    return finish(m_files, batch, result);
}

Status Journal::ensureDayFolders(const LocalTime& now) {
    std::lock_guard lock(m_mutex);
    if (m_files.exists(dayMarkerName(now.year, now.month, now.day))) return Status::ok();
    StoreFiles::Batch batch(m_files);
    Status result;
    if (!m_files.exists(monthMarkerName(now.year, now.month))) {
        result = ensureMonthFolders(now);
        if (result.fatal()) return result;
    }
    if (Status s = m_files.makeFolder(dayName(now.year, now.month, now.day)); !s)
        return stepFailure(s, Status::ioError("Unable to create day log directory", kTitleFatal));
    const std::string stamp = clockText(now);
    if (Status s =
            m_files.append(dayMarkerName(now.year, now.month, now.day), stamp.data(), stamp.size());
        !s && result.isOk())
        result = stepFailure(s, Status::ioError("Unable to open base.dat in day log."));
    return finish(m_files, batch, result);
}

bool Journal::appendActivity(const LocalTime& now, const std::string& text) {
    std::lock_guard lock(m_mutex);
    StoreFiles::Batch batch(m_files);
    // A folder that cannot be made shows up as the failure of the append.
    static_cast<void>(ensureMonthFolders(now));
    Status s = appendRecord(activityLogName(now.year, now.month, now.day), text.data(), text.size(),
                            0, false);
    return finish(m_files, batch, s).isOk();
}

Status Journal::wholeRecords(const std::string& name, std::size_t recordSize,
                             std::size_t header) const {
    uint64_t size = 0;
    if (recordSize == 0 || !m_files.size(name, &size) || size == 0) return Status::ok();
    const uint64_t stray = size < header ? size : (size - header) % recordSize;
    if (stray == 0) return Status::ok();
    return Status::corruption(
        formatted(
            "%s ends with a partial record (%llu stray bytes): nothing more is written to it. "
            "\"kassio-admin repair\" cuts the file back to its whole records and keeps the "
            "stray bytes beside it.",
            name.c_str(), static_cast<unsigned long long>(stray)),
        kTitleFatal);
}

Status Journal::checkWholeRecords(const LocalTime& day) const {
    std::lock_guard lock(m_mutex);
    const int y = day.year, m = day.month, d = day.day;
    if (Status s =
            wholeRecords(yearIndexName(y), sizeof(TransactionIndexEntry), kYearIndexHeaderSize);
        !s)
        return s;
    if (Status s = wholeRecords(salesLogName(y, m, d), sizeof(SaleRecord), 0); !s) return s;
    if (Status s = wholeRecords(itemsLogName(y, m, d), sizeof(SaleLineRecord), 0); !s) return s;
    return wholeRecords(receivedLogName(y, m, d), sizeof(ReceivedRecord), 0);
}

Status Journal::appendRecord(const std::string& name, const void* data, std::size_t len,
                             std::size_t recordSize, bool writeYearHeader) {
    const std::size_t header = writeYearHeader ? kYearIndexHeaderSize : 0;
    if (Status s = wholeRecords(name, recordSize, header); !s) return s;
    if (writeYearHeader) {
        uint64_t size = 0;
        if (!m_files.size(name, &size) || size == 0) {
            const int32_t zero = 0;
            if (Status s = m_files.append(name, &zero, sizeof zero); !s) return s;
        }
    }
    return m_files.append(name, data, len);
}

Status Journal::appendYearIndex(const LocalTime& now, const TransactionIndexEntry& entry) {
    std::lock_guard lock(m_mutex);
    StoreFiles::Batch batch(m_files);
    // Appended only to an index that exists: a missing one is a missing
    // year, whose folders are made first.
    const std::string name = yearIndexName(now.year);
    if (!m_files.exists(name)) static_cast<void>(ensureDayFolders(now));
    Status s = appendRecord(name, &entry, sizeof entry, sizeof entry, true);
    return finish(m_files, batch,
                  s ? s : stepFailure(s, Status::ioError("Unable to open invoice log.")));
}

Status Journal::appendSale(const LocalTime& now, const SaleRecord& sale) {
    std::lock_guard lock(m_mutex);
    StoreFiles::Batch batch(m_files);
    if (!m_files.exists(dayMarkerName(now.year, now.month, now.day)))
        static_cast<void>(ensureDayFolders(now));
    Status s = appendRecord(salesLogName(now.year, now.month, now.day), &sale, sizeof sale,
                            sizeof sale, false);
    return finish(m_files, batch,
                  s ? s : stepFailure(s, Status::ioError("Unable to open sales log.")));
}

Status Journal::appendLines(const LocalTime& now, const std::vector<SaleLineRecord>& lines) {
    std::lock_guard lock(m_mutex);
    if (lines.empty()) return Status::ok();
    StoreFiles::Batch batch(m_files);
    Status s = appendRecord(itemsLogName(now.year, now.month, now.day), lines.data(),
                            lines.size() * sizeof(SaleLineRecord), sizeof(SaleLineRecord), false);
    return finish(m_files, batch,
                  s ? s : stepFailure(s, Status::ioError("Unable to open items log.")));
}

Status Journal::appendTransaction(const LocalTime& now, const SaleRecord& sale,
                                  const std::vector<SaleLineRecord>& lines,
                                  const std::string& activityText) {
    std::lock_guard lock(m_mutex);
    StoreFiles::Batch batch(m_files);
    Status first;
    auto note = [&first](Status s) {
        if (first.isOk() && !s.isOk()) first = std::move(s);
    };
    note(appendYearIndex(now, {static_cast<int32_t>(sale.number), now.day, now.month}));
    note(appendSale(now, sale));
    note(appendLines(now, lines));
    if (!activityText.empty() && !appendActivity(now, activityText))
        note(Status::ioError("Data log file not present."));
    return finish(m_files, batch, first);
}

Status Journal::appendReceived(const LocalTime& now, const ReceivedRecord& record) {
    std::lock_guard lock(m_mutex);
    StoreFiles::Batch batch(m_files);
    if (!m_files.exists(dayMarkerName(now.year, now.month, now.day)))
        static_cast<void>(ensureDayFolders(now));
    Status s = appendRecord(receivedLogName(now.year, now.month, now.day), &record, sizeof record,
                            sizeof record, false);
    return finish(m_files, batch,
                  s ? s : stepFailure(s, Status::ioError("Unable to open ininvent.dat")));
}

template <typename Record>
std::vector<Record> Journal::readRecords(const std::string& name, std::size_t skip) const {
    std::lock_guard lock(m_mutex);
    std::vector<Record> out;
    auto data = m_files.readAll(name);
    if (!data || data->size() < skip) return out;
    std::size_t count = (data->size() - skip) / sizeof(Record);  // a short tail is dropped
    out.resize(count);
    if (count) std::memcpy(out.data(), data->data() + skip, count * sizeof(Record));
    return out;
}

std::vector<SaleRecord> Journal::readSales(int y, int m, int d) const {
    return readRecords<SaleRecord>(salesLogName(y, m, d));
}
std::vector<SaleLineRecord> Journal::readLines(int y, int m, int d) const {
    return readRecords<SaleLineRecord>(itemsLogName(y, m, d));
}
std::vector<ReceivedRecord> Journal::readReceived(int y, int m, int d) const {
    return readRecords<ReceivedRecord>(receivedLogName(y, m, d));
}
std::vector<TransactionIndexEntry> Journal::readYearIndex(int y) const {
    return readRecords<TransactionIndexEntry>(yearIndexName(y), kYearIndexHeaderSize);
}

std::string Journal::readActivityLog(int y, int m, int d) const {
    std::lock_guard lock(m_mutex);
    auto data = m_files.readAll(activityLogName(y, m, d));
    return data ? std::move(*data) : std::string();
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
    FileSystem& fs = m_files.fileSystem();
    {
        std::lock_guard lock(m_mutex);
        // Through the port, which lets go of any descriptor it keeps.
        static_cast<void>(fs.remove(yearIndexPath(y)));
        for (int m = 1; m <= 12; ++m) {
            static_cast<void>(fs.remove(monthMarkerPath(y, m)));
            for (int d = 1; d <= 31; ++d) {
                static_cast<void>(fs.remove(dayMarkerPath(y, m, d)));
                static_cast<void>(fs.remove(salesLogPath(y, m, d)));
                static_cast<void>(fs.remove(itemsLogPath(y, m, d)));
                static_cast<void>(fs.remove(receivedLogPath(y, m, d)));
                removeDirectory(dayFolder(y, m, d));
                static_cast<void>(fs.remove(activityLogPath(y, m, d)));
            }
            removeDirectory(monthFolder(y, m));
        }
    }
    const bool removed = removeDirectory(yearFolder(y));
    // The removals stick once the folders holding them are flushed.
    if (m_files.sync()) static_cast<void>(fs.syncFolder(m_files.folder()));
    return removed;
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
