// DataStore: everything one station keeps of the shop's data while it runs:
// the DataFolder paths, the DataMutex, the StoreConfig, the three record
// files with their indexes, the receipt words and the journal.
//
// One instance per running station, passed by reference; no globals, so a
// test can open several data folders at once.
//
// Every change to the shop's files goes through files(): written as one
// Batch per operation into the posting journal, then into the files (see
// store_files.h). A station starts with recover() (or openData(), which
// recovers first), posts, calls idle() when nothing is going on, and ends
// with close(), which leaves only the shop's own files in the folder. A
// DataStore destroyed without close() is, for the files, a crash: the next
// start replays the journal.
//
// Threads: the UI thread and the station-server threads share one instance.
// Every read-modify-write of a file and every change of an index, prefix
// table, counter or the StoreConfig happens with the DataMutex held. The
// mutex is re-entrant; it is released before any message is shown.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/file_system.h"
#include "store/journal.h"
#include "store/receipt_words.h"
#include "store/record_file.h"
#include "store/sku_index.h"
#include "store/slot_texts.h"
#include "store/store_config.h"
#include "store/store_files.h"

namespace kassio {

// The fields of each record file that the searches and the sorted lists
// keep in memory (slot_texts.h), by their place in DataStore::itemTexts()
// and customerTexts().
namespace item_texts {
enum Text : std::size_t { kDescription, kSku1, kSku2, kSku3, kSku4 };
enum Number : std::size_t { kDisplayCategory, kOmitFromQuickSelect };
enum Figure : std::size_t { kRecordNumber, kQuantity, kTotalSold, kRetailPrice };
}  // namespace item_texts
namespace customer_texts {
enum Text : std::size_t {
    kName,
    kNamePrefix2,
    kTelephone,
    kTelephone2,
    kRoad,
    kArea,
    kTown,
    kPostcode
};
enum Figure : std::size_t { kRecordNumber, kBalance };
}  // namespace customer_texts

class DataStore {
  public:
    // fs: the port to the disk (a fault-injecting one in tests); POSIX when null.
    DataStore(std::string dataFolder, const Clock& clock, std::unique_ptr<FileSystem> fs = nullptr);
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    const std::string& folder() const { return m_folder; }
    std::string pathOf(const std::string& fileName) const { return m_folder + "/" + fileName; }
    const Clock& clock() const { return m_clock; }

    std::recursive_mutex& mutex() { return m_mutex; }
    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(m_mutex); }

    StoreConfig& config() { return m_config; }
    const StoreConfig& config() const { return m_config; }
    RecordFile& items() { return m_items; }
    RecordFile& customers() { return m_customers; }
    RecordFile& suppliers() { return m_suppliers; }
    const SkuIndex& skus() const { return m_skus; }
    // What the searches look in, kept in step with the files (slot_texts.h).
    const SlotTexts& itemTexts() const { return m_itemTexts; }
    const SlotTexts& customerTexts() const { return m_customerTexts; }
    ReceiptWords& words() { return m_words; }
    Journal& journal() { return m_journal; }
    StoreFiles& files() { return m_files; }

    // Flush every posting to disk before it is answered (the default).
    // Turned off only by benchmarks and tests that do not crash.
    void setSync(bool sync) { m_files.setSync(sync); }
    bool sync() const { return m_files.sync(); }

    // Recovery: replays the postings the last run left in the posting
    // journal. Done once; openData() does it first when it was not done.
    Status recover();
    // After the disk failed (files().error() set): recovery in this run,
    // then the configuration, the record files and the receipt words are
    // read again, so that this station's memory agrees with what is on
    // disk, and postings are taken again. A posting that was answered as
    // failed stays undone; one that was saved is in place.
    Status reopen();
    // Postings the start's recovery replayed.
    uint64_t recoveredPostings() const { return m_recovered; }
    // Returns once the Batch of ticket is on disk; the caller answers only then.
    Status waitDurable(uint64_t ticket) { return m_files.waitDurable(ticket); }
    // A checkpoint when the station has been quiet for a moment (a timer
    // calls it).
    Status idle() { return m_files.idle(); }
    // Flushes everything, removes the posting journal, lets every descriptor go.
    Status close() { return m_files.close(); }

    // Whether kq.cfg exists: a missing one means this is a first start.
    bool configPresent() const;
    // Ok when kq.cfg can be opened; NotFound only when it does not exist
    // (ENOENT: a first start); any other failure (permissions, a folder
    // in its place, a disk error) is an IoError with the system's reason,
    // and the start must stop rather than write a first-start kq.cfg over
    // the shop's own.
    Status probeConfig() const;

    // Writes the first-start files: kq.cfg with every default, suppliers.dat
    // with one deleted record, and the samples when stock1.bmp is missing.
    // The folder must exist.
    Status firstRunSetup(const std::string& samplesFolder);

    enum class OpenMode {
        kRecover,   // replay the posting journal first
        kReadOnly,  // write nothing: the journal is laid over the files, not replayed
    };
    // Loads kq.cfg, the three record files with their indexes, and
    // language.ini, and makes the start-time repairs. A kq.cfg that fails
    // checkConfigBytes() (config_check.h) stops a kRecover start with the
    // fault named and the file untouched; kReadOnly loads it as far as it
    // goes and keeps the fault in configProblem() for `kassio-admin check`.
    Status openData(OpenMode mode = OpenMode::kRecover);
    const Status& configProblem() const { return m_configProblem; }

    // After a successful openData(): stamps the start time, rewrites kq.cfg,
    // makes sure of today's folders and logs "Switched on.". The start goes
    // on after each failure; they come back in order for the caller to show.
    std::vector<Status> recordStart(const std::string& localeCurrency);

    // The close-down writes: last-run time, kq.cfg, language.ini, today's
    // folders and "Switched off." with the clerk.
    std::vector<Status> recordClose();

    // Writes kq.cfg whole, in place, as part of the caller's Batch (or one
    // of its own).
    Status saveConfig(const std::string& failureMessage = "Unable to update the configuration file",
                      const std::string& title = kTitleProblem);

    // Writes language.ini whole.
    Status saveWords();

    // Purges every year of the journal and restarts transaction numbers at
    // 1. A checkpoint comes first, so no posting journal record names a
    // file the purge removes. Each year whose folder could not be removed comes back as a
    // message for the caller to show; the purge goes on past it.
    std::vector<Status> purgeAllHistory();

    // The StoreConfig's last start as it was before this run stamped it.
    const LocalTime& previousStart() const { return m_previousStart; }

  private:
    std::string m_folder;
    const Clock& m_clock;
    std::recursive_mutex m_mutex;
    StoreFiles m_files;
    StoreConfig m_config;
    RecordFile m_items;
    RecordFile m_customers;
    RecordFile m_suppliers;
    SlotTexts m_itemTexts;
    SlotTexts m_customerTexts;
    SkuIndex m_skus;  // reads the SKU 1 texts of m_itemTexts
    bool m_loadingItems = false;
    ReceiptWords m_words;
    Journal m_journal;
    LocalTime m_previousStart;
    uint64_t m_recovered = 0;
    Status m_configProblem;
};

}  // namespace kassio
