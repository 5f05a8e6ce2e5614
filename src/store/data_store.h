// DataStore: everything one station keeps of the shop's data while it runs:
// the DataFolder paths, the DataMutex, the StoreConfig, the three record
// files with their indexes, the receipt words and the journal.
//
// One instance per running station, passed by reference; no globals, so a
// test can open several data folders at once.
//
// Threads: the UI thread and the station-server threads share one instance.
// Every open-to-close span of a data file and every change of an index,
// prefix table, counter or the StoreConfig happens with the DataMutex held.
// The mutex is re-entrant; it is released before any message is shown.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/flush_batch.h"
#include "store/journal.h"
#include "store/receipt_words.h"
#include "store/record_file.h"
#include "store/sku_index.h"
#include "store/store_config.h"

namespace kassio {

class DataStore {
  public:
    DataStore(std::string dataFolder, const Clock& clock);
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
    ReceiptWords& words() { return m_words; }
    Journal& journal() { return m_journal; }
    // The group commit of postings.
    FlushBatch& flushBatch() { return m_flushBatch; }

    // Flush every write to disk before it returns (the default). Turned off
    // only by benchmarks that measure the work apart from the disk.
    void setSync(bool sync);
    bool sync() const { return m_sync; }

    // Whether kq.cfg exists: a missing one means this is a first start.
    bool configPresent() const;

    // Writes the first-start files: kq.cfg with every default, suppliers.dat
    // with one deleted record, and the samples when stock1.bmp is missing.
    // The folder must exist.
    Status firstRunSetup(const std::string& samplesFolder);

    // Loads kq.cfg, the three record files with their indexes, and
    // language.ini, and makes the start-time repairs. Writes nothing.
    Status openData();

    // After a successful openData(): stamps the start time, rewrites kq.cfg,
    // makes sure of today's folders and logs "Switched on.". The start goes
    // on after each failure; they come back in order for the caller to show.
    std::vector<Status> recordStart(const std::string& localeCurrency);

    // The close-down writes: last-run time, kq.cfg, language.ini, today's
    // folders and "Switched off." with the clerk.
    std::vector<Status> recordClose();

    // Replaces kq.cfg whole and atomically.
    Status saveConfig(const std::string& failureMessage = "Unable to update the configuration file",
                      const std::string& title = kTitleProblem);

    // Purges every year of the journal and restarts transaction numbers at
    // 1. Each year whose folder could not be removed comes back as a
    // message for the caller to show; the purge goes on past it.
    std::vector<Status> purgeAllHistory();

    // The StoreConfig's last start as it was before this run stamped it.
    const LocalTime& previousStart() const { return m_previousStart; }

  private:
    std::string m_folder;
    const Clock& m_clock;
    std::recursive_mutex m_mutex;
    StoreConfig m_config;
    RecordFile m_items;
    RecordFile m_customers;
    RecordFile m_suppliers;
    SkuIndex m_skus;
    ReceiptWords m_words;
    Journal m_journal;
    FlushBatch m_flushBatch;
    LocalTime m_previousStart;
    bool m_sync = true;
};

}  // namespace kassio
