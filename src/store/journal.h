// Reading and writing the JournalFolder (layouts in journal_format.h).
//
// Every member takes the DataMutex itself (it is re-entrant, so a posting
// that already holds it may call in). Writes go through StoreFiles: made
// inside a caller's Batch they join it (a posting's records, folders and
// log text are one journal record); made alone each call is a Batch of its
// own, on disk before it returns.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/journal_format.h"
#include "store/store_files.h"

namespace kassio {

// Where a transaction lies: its number and the day folder that holds it.
struct TransactionRef {
    int64_t number = 0;
    int day = 0;
    int month = 0;
    int year = 0;
};

struct RecalledTransaction {
    SaleRecord sale;
    std::vector<SaleLineRecord> lines;
};

enum class PickListKind { kWholeHistory, kYear, kMonth, kDay, kDiscounted };

inline constexpr std::size_t kPickListLimit = 31000;

struct PickList {
    std::vector<TransactionRef> entries;
    std::vector<std::string> texts;  // "%d on day %d of month %d, %d"
    // Set when the list reached its limit: the caller shows it and closes
    // the list instead of showing it.
    Status tooMany;
};

class Journal {
  public:
    Journal(StoreFiles& files, std::recursive_mutex& mutex);

    std::string yearFolder(int year) const;
    std::string yearIndexPath(int year) const;
    std::string monthFolder(int year, int month) const;
    std::string monthMarkerPath(int year, int month) const;
    std::string dayFolder(int year, int month, int day) const;
    std::string dayMarkerPath(int year, int month, int day) const;
    std::string salesLogPath(int year, int month, int day) const;
    std::string itemsLogPath(int year, int month, int day) const;
    std::string receivedLogPath(int year, int month, int day) const;
    std::string activityLogPath(int year, int month, int day) const;

    // The short variant: year folder, year index, month folder and marker,
    // and only when the month marker is missing.
    Status ensureMonthFolders(const LocalTime& now);
    // The full variant: down to the day folder and its marker.
    Status ensureDayFolders(const LocalTime& now);

    // Appends text to the day's ActivityLog after the short folder check.
    // False when the log could not be opened or written; callers own the
    // message, which differs from caller to caller.
    [[nodiscard]] bool appendActivity(const LocalTime& now, const std::string& text);

    // Appends one transaction: its year index entry, its SaleRecord, its
    // lines and its ActivityLog text, in that order under one hold of the
    // DataMutex. A file that fails is reported (the first failure is
    // returned) and the others are still written.
    Status appendTransaction(const LocalTime& now, const SaleRecord& sale,
                             const std::vector<SaleLineRecord>& lines,
                             const std::string& activityText);
    Status appendReceived(const LocalTime& now, const ReceivedRecord& record);

    // The three steps of appendTransaction() for postings that interleave
    // other work. The year index and the sales log are tried once more
    // after the day's folders are made; the items log is not.
    Status appendYearIndex(const LocalTime& now, const TransactionIndexEntry& entry);
    Status appendSale(const LocalTime& now, const SaleRecord& sale);
    Status appendLines(const LocalTime& now, const std::vector<SaleLineRecord>& lines);

    // Ok, or a Corruption (title "Fatal error") naming the first of the
    // files a posting on `day` appends to (the year index, the day's sales,
    // items and stock-received logs) that ends with a partial record. Such
    // a tail is never the torn end of a posting: a posting reaches these
    // files only after its journal record is on disk, and recovery rewrites
    // it whole. So the start stops instead of appending after it.
    Status checkWholeRecords(const LocalTime& day) const;

    // A day's records, stopping at a short final record. A missing file
    // reads as an empty day.
    std::vector<SaleRecord> readSales(int year, int month, int day) const;
    std::vector<SaleLineRecord> readLines(int year, int month, int day) const;
    std::vector<ReceivedRecord> readReceived(int year, int month, int day) const;
    std::vector<TransactionIndexEntry> readYearIndex(int year) const;
    std::string readActivityLog(int year, int month, int day) const;

    // The SaleRecord with this number on that day and its lines in order.
    std::optional<RecalledTransaction> recall(int64_t number, int day, int month, int year) const;
    // The newest entry with this number in the year indexes fromYear..toYear.
    std::optional<TransactionRef> find(int64_t number, int fromYear, int toYear) const;

    // The pick lists: whole history (from the kept-history start date to
    // today), one year, one month, one day, and discounted transactions.
    PickList pickList(PickListKind kind, const LocalTime& historyStart, const LocalTime& today,
                      int year = 0, int month = 0, int day = 0) const;

    // Removes the year's journal; true when its folder could be removed.
    // Removals are not batch operations: the caller checkpoints first, so
    // that no journal record names a file the purge takes away (a replay
    // would bring part of it back).
    bool purgeYear(int year);
    // Purges every year folder from currentYear back to 2000; returns the
    // years whose folders could not be removed.
    std::vector<int> purgeAll(int currentYear);

  private:
    // The same places relative to the DataFolder, as StoreFiles names them.
    static std::string yearName(int year);
    static std::string yearIndexName(int year);
    static std::string monthName(int year, int month);
    static std::string monthMarkerName(int year, int month);
    static std::string dayName(int year, int month, int day);
    static std::string dayMarkerName(int year, int month, int day);
    static std::string salesLogName(int year, int month, int day);
    static std::string itemsLogName(int year, int month, int day);
    static std::string receivedLogName(int year, int month, int day);
    static std::string activityLogName(int year, int month, int day);

    template <typename Record>
    std::vector<Record> readRecords(const std::string& name, std::size_t skip = 0) const;
    // Appends whole records of recordSize bytes (0: text, no records) and,
    // for the year index, its header first; refuses a file whose end is
    // not a record boundary, so nothing lands out of step.
    Status appendRecord(const std::string& name, const void* data, std::size_t len,
                        std::size_t recordSize, bool writeYearHeader);
    Status wholeRecords(const std::string& name, std::size_t recordSize, std::size_t header) const;

    StoreFiles& m_files;
    std::recursive_mutex& m_mutex;
};

// "Reduce the history on the Configuration menu", for a list that hit its limit.
Status tooManyTransactions();

}  // namespace kassio
