#include "store/data_store.h"

#include <cstdio>
#include <cstring>
#include <future>
#include <system_error>

#include "base/fixed_text.h"
#include "base/timestamp.h"
#include "store/activity_log.h"
#include "store/config_check.h"
#include "store/customer_record.h"
#include "store/file_io.h"
#include "store/inventory_record.h"
#include "store/supplier_record.h"

namespace kassio {

namespace {

const RecordFileSpec kItemSpec{"inventory.dat", kInventoryRecordSize, 200,
                               static_cast<int>(offsetof(InventoryRecord, description)), true};
const RecordFileSpec kCustomerSpec{"customer.dat", kCustomerRecordSize, 100,
                                   static_cast<int>(offsetof(CustomerRecord, name)), true};
const RecordFileSpec kSupplierSpec{"suppliers.dat", kSupplierRecordSize, 100, -1, false};

// OpenData's three messages for each record file.
struct LoadMessages {
    const char* cannotOpen;
    const char* empty;
    const char* badSize;
};
const LoadMessages kItemMessages{"Unable to open inventory.dat in Opendata",
                                 "inventory.dat has no data in Opendata.",
                                 "Data file inventory.dat corrupt in Opendata."};
const LoadMessages kCustomerMessages{"Data file customer.dat not present in Opendata.",
                                     "Data file customer.dat no data in Opendata.",
                                     "Data file customer.dat corrupt in Opendata."};
const LoadMessages kSupplierMessages{"Data file suppliers.dat not present in Opendata.",
                                     "Data file suppliers.dat no data in Opendata.",
                                     "Data file suppliers.dat corrupt in Opendata."};

Status loadFailure(RecordFile::LoadError error, const LoadMessages& m) {
    switch (error) {
        case RecordFile::LoadError::kNone:
            return Status::ok();
        case RecordFile::LoadError::kCannotOpen:
            return Status::notFound(m.cannotOpen);
        case RecordFile::LoadError::kEmpty:
            return Status::corruption(m.empty);
        case RecordFile::LoadError::kBadSize:
        case RecordFile::LoadError::kReadFailed:
            return Status::corruption(m.badSize);
    }
    return Status::corruption(m.badSize);
}

template <std::size_t N>
std::string_view fieldView(const char (&field)[N]) {
    const void* nul = std::memchr(field, 0, N);
    return {field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N};
}

SlotTexts makeItemTexts() {
    return SlotTexts(
        {{offsetof(InventoryRecord, description), 40},
         {offsetof(InventoryRecord, sku1), 40},
         {offsetof(InventoryRecord, sku2), 40},
         {offsetof(InventoryRecord, sku3), 40},
         {offsetof(InventoryRecord, sku4), 40}},
        {offsetof(InventoryRecord, display_category),
         offsetof(InventoryRecord, omit_from_quick_select)},
        {{offsetof(InventoryRecord, number), sizeof(InventoryRecord::number)},
         {offsetof(InventoryRecord, quantity), sizeof(InventoryRecord::quantity)},
         {offsetof(InventoryRecord, total_sold), sizeof(InventoryRecord::total_sold)},
         {offsetof(InventoryRecord, retail_price), sizeof(InventoryRecord::retail_price)}});
}

SlotTexts makeCustomerTexts() {
    return SlotTexts({{offsetof(CustomerRecord, name), 30},
                      {offsetof(CustomerRecord, name_prefix2), 8},
                      {offsetof(CustomerRecord, telephone), 20},
                      {offsetof(CustomerRecord, telephone2), 20},
                      {offsetof(CustomerRecord, road), 30},
                      {offsetof(CustomerRecord, area), 30},
                      {offsetof(CustomerRecord, town), 30},
                      {offsetof(CustomerRecord, postcode), 10}},
                     {},
                     {{offsetof(CustomerRecord, number), sizeof(CustomerRecord::number)},
                      {offsetof(CustomerRecord, balance), sizeof(CustomerRecord::balance)}});
}

}  // namespace

DataStore::DataStore(std::string dataFolder, const Clock& clock, std::unique_ptr<FileSystem> fs)
    : m_folder(std::move(dataFolder)),
      m_clock(clock),
      m_files(m_folder, m_mutex, std::move(fs)),
      m_items(kItemSpec, m_files),
      m_customers(kCustomerSpec, m_files),
      m_suppliers(kSupplierSpec, m_files),
      m_itemTexts(makeItemTexts()),
      m_customerTexts(makeCustomerTexts()),
      m_skus(m_itemTexts.text(item_texts::kSku1)),
      m_journal(m_files, m_mutex) {
    m_items.setObserver([this](uint64_t slot, const unsigned char* rec) {
        if (!rec) {
            m_skus.clear(slot);
            m_itemTexts.erase(slot);
            return;
        }
        // The SKU index first: it reads the other slots' texts from the
        // column, and this slot's old text must not be taken for its new one.
        const auto* item = reinterpret_cast<const InventoryRecord*>(rec);
        if (!m_loadingItems) m_skus.set(slot, fieldView(item->sku1));
        m_itemTexts.set(slot, rec);
    });
    m_customers.setObserver([this](uint64_t slot, const unsigned char* rec) {
        if (rec)
            m_customerTexts.set(slot, rec);
        else
            m_customerTexts.erase(slot);
    });
}

Status DataStore::recover() {
    std::lock_guard lock(m_mutex);
    if (m_files.isOpen()) return Status::ok();
    RecoveryResult result;
    Status s = m_files.open(&result);
    if (s) m_recovered = result.records;
    return s;
}

Status DataStore::reopen() {
    std::lock_guard lock(m_mutex);
    RecoveryResult result;
    if (Status s = m_files.reopen(&result); !s) return s;
    m_recovered += result.records;
    return openData(OpenMode::kRecover);
}

bool DataStore::configPresent() const {
    return m_files.exists("kq.cfg");
}

Status DataStore::probeConfig() const {
    uint64_t size = 0;
    Status s = m_files.size("kq.cfg", &size);
    if (s || s.kind() == Status::Kind::kNotFound) return s;
    return Status::ioError("kq.cfg exists but cannot be opened (" + s.message() +
                               "). The start stops: only a missing kq.cfg means a first start.",
                           kTitleFatal);
}

Status DataStore::saveConfig(const std::string& failureMessage, const std::string& title) {
    std::lock_guard lock(m_mutex);
    // Written in place: the posting journal holds the whole record until
    // the write is known to be on disk, so a torn kq.cfg is repaired by the
    // next start, and no temporary file or rename is needed.
    Status s = m_files.replace("kq.cfg", m_config.bytes(), kStoreConfigSize);
    return s ? s : Status::ioError(failureMessage, title);
}

Status DataStore::saveWords() {
    std::lock_guard lock(m_mutex);
    return m_files.replace("language.ini", m_words.bytes(), kReceiptWordsSize);
}

Status DataStore::firstRunSetup(const std::string& samplesFolder) {
    std::lock_guard lock(m_mutex);
    // One batch: a crash leaves the first start undone (and redone by the
    // next start) or done, never a kq.cfg without its suppliers.dat.
    StoreFiles::Batch batch(m_files);
    m_config.setFirstRunDefaults(m_clock.now());
    // A folder that lost its kq.cfg may still hold a journal: its numbers
    // are not issued again.
    if (const int32_t last = lastJournalledTransaction(m_files, m_clock.now().year + 1);
        last > 0 && last < kMaxTransactionNumber)
        m_config.record().next_transaction = last + 1;
    if (!m_files.replace("kq.cfg", m_config.bytes(), kStoreConfigSize))
        return Status::ioError("Data file: kq.cfg, not present.", kTitleFatal);

    SupplierRecord empty;
    std::memset(&empty, 0, sizeof empty);
    empty.number = kDeletedNumber;
    if (!m_files.replace("suppliers.dat", &empty, sizeof empty))
        return Status::ioError("Data file: suppliers.dat, not present.", kTitleFatal);

    Status result;
    if (!m_files.exists("stock1.bmp")) {
        if (samplesFolder.empty()) {
            result = Status::invalid("Unable to locate directory in dodemo.", kTitleProblem);
        } else {
            // Copy failures are not reported: a missing sample inventory.dat
            // or customer.dat is reported by OpenData, which cannot start
            // without it.
            std::vector<std::string> names;
            for (int i = 1; i <= 24; ++i) names.push_back("stock" + std::to_string(i) + ".bmp");
            for (const char* name : {"letter.bmp", "receipt.bmp", "inventory.dat", "customer.dat"})
                names.emplace_back(name);
            for (const std::string& name : names) {
                auto data = readWholeFile(samplesFolder + "/" + name);
                if (data) static_cast<void>(m_files.replace(name, data->data(), data->size()));
            }
        }
    }
    uint64_t ticket = 0;
    Status s = batch.commit(&ticket);
    if (s) s = m_files.waitDurable(ticket);
    if (!s) return Status::ioError("Data file: kq.cfg, not present.", kTitleFatal);
    return result;
}

Status DataStore::openData(OpenMode mode) {
    std::lock_guard lock(m_mutex);
    if (mode == OpenMode::kRecover) {
        if (Status s = recover(); !s) return s;
    } else if (Status s = m_files.openForReading(); !s) {
        return s;
    }
    uint64_t cfgSize = 0;
    if (Status s = m_files.size("kq.cfg", &cfgSize); !s) {
        if (s.kind() == Status::Kind::kNotFound)
            return Status::notFound("The configuration file is not present in Opendata.");
        return Status::ioError("The configuration file cannot be read in Opendata: " + s.message(),
                               kTitleFatal);
    }
    auto cfg = m_files.readAll("kq.cfg");
    if (!cfg)
        return Status::ioError("The configuration file cannot be read in Opendata.", kTitleFatal);
    // Checked before anything else is loaded: a start that goes on with a
    // damaged kq.cfg would write it back over the shop's own at once.
    m_configProblem =
        checkConfigBytes(*cfg, lastJournalledTransaction(m_files, m_clock.now().year + 1));
    if (!m_configProblem && mode == OpenMode::kRecover) return m_configProblem;
    // Read only: a file of another size is read as far as it goes; the
    // rest stays zero.
    m_config = StoreConfig();
    if (!cfg->empty())  // an empty vector's data() may be null
        std::memcpy(m_config.bytes(), cfg->data(), std::min(cfg->size(), kStoreConfigSize));
    m_config.fillEmptyHeading();

    m_skus.reset();
    {
        // Held by the loads until every text of both files is in; searches
        // wait for them (none runs this early at a start).
        uint64_t itemBytes = 0, customerBytes = 0;
        static_cast<void>(m_files.size(kItemSpec.fileName, &itemBytes));
        static_cast<void>(m_files.size(kCustomerSpec.fileName, &customerBytes));
        m_itemTexts.beginLoad(itemBytes / kInventoryRecordSize, 16);
        m_customerTexts.beginLoad(customerBytes / kCustomerRecordSize, 8);
        // The SKU index is built in one pass once the texts are in.
        m_loadingItems = true;
        struct Finish {
            DataStore& store;
            ~Finish() {
                store.m_loadingItems = false;
                store.m_itemTexts.finishLoad();
                store.m_customerTexts.finishLoad();
            }
        } finish{*this};
        // The customers load on a thread of their own beside the items: the
        // two touch nothing in common (each file, its index and its texts;
        // reads may come from any thread), and no other thread uses the
        // store this early. Its future, declared after `finish`, waits for
        // the thread on every way out, before the texts are let go.
        std::future<RecordFile::LoadError> customers;
        try {
            customers = std::async(std::launch::async, [this] { return m_customers.load(); });
        } catch (const std::system_error&) {
            // No thread to be had: one after the other.
            customers = std::async(std::launch::deferred, [this] { return m_customers.load(); });
        }
        if (Status s = loadFailure(m_items.load(), kItemMessages); !s) return s;
        m_skus.build(m_itemTexts.slotCount(),
                     [this](uint64_t slot) { return m_itemTexts.live(slot); });
        if (Status s = loadFailure(customers.get(), kCustomerMessages); !s) return s;
    }
    if (Status s = loadFailure(m_suppliers.load(), kSupplierMessages); !s) return s;

    auto words = m_files.readAll("language.ini");
    if (words) {
        m_words = ReceiptWords();
        if (!words->empty())
            std::memcpy(m_words.bytes(), words->data(), std::min(words->size(), kReceiptWordsSize));
    } else {
        // An unknown language number falls back to English rather than
        // leaving every receipt word empty.
        const int language = m_config.record().settings_b[kSetBReceiptLanguage];
        m_words.loadBuiltIn(language >= 0 && language < kLanguageCount ? language : 0);
    }
    m_config.repair();
    // Appends go to today's files: a partial record there stops the start
    // rather than put every later record out of step.
    if (mode == OpenMode::kRecover) return m_journal.checkWholeRecords(m_clock.now());
    return Status::ok();
}

std::vector<Status> DataStore::recordStart(const std::string& localeCurrency) {
    std::vector<Status> problems;
    const LocalTime now = m_clock.now();
    // The whole start is one batch: the stamp, today's folders and the log lines.
    auto lock = this->lock();
    StoreFiles::Batch batch(m_files);
    m_previousStart = m_config.lastStart();
    m_config.stampLastStart(now);
    m_config.adoptLocaleCurrency(localeCurrency);
    if (Status s = saveConfig(); !s) problems.push_back(s);
    if (Status s = m_journal.ensureMonthFolders(now); !s) problems.push_back(s);
    if (!m_journal.appendActivity(now, activity::switchedOn(timestampText(now))))
        problems.push_back(Status::ioError("Unable to update the log file in WM_CREATE."));
    if (m_recovered > 0 && !m_journal.appendActivity(
                               now, activity::postingsRecovered(timestampText(now), m_recovered)))
        problems.push_back(Status::ioError("Unable to update the log file in WM_CREATE."));
    if (Status s = m_journal.ensureDayFolders(now); !s) problems.push_back(s);
    uint64_t ticket = 0;
    Status s = batch.commit(&ticket);
    if (s) s = m_files.waitDurable(ticket);
    if (!s) problems.push_back(s);
    return problems;
}

std::vector<Status> DataStore::recordClose() {
    std::vector<Status> problems;
    const LocalTime now = m_clock.now();
    auto lock = this->lock();
    StoreFiles::Batch batch(m_files);
    m_config.stampLastStart(now);
    if (Status s = saveConfig("Unable to update the configuration file at close"); !s)
        problems.push_back(s);
    // A language.ini that cannot be written is not reported: this run's
    // wording is lost, the shop's data is not.
    static_cast<void>(saveWords());
    // A folder that cannot be made shows up as the failure of the append below.
    static_cast<void>(m_journal.ensureMonthFolders(now));
    const int64_t clerk = m_config.record().current_clerk;
    if (!m_journal.appendActivity(
            now, activity::switchedOff(timestampText(now), clerk, m_config.clerkName(clerk))))
        problems.push_back(Status::ioError("Unable to open log text file at end of WinMain."));
    uint64_t ticket = 0;
    Status s = batch.commit(&ticket);
    if (s) s = m_files.waitDurable(ticket);
    if (!s) problems.push_back(s);
    return problems;
}

std::vector<Status> DataStore::purgeAllHistory() {
    std::vector<Status> problems;
    {
        // Held from the checkpoint to the last removal, so that no posting
        // lands in the journal meanwhile naming a file about to go.
        auto lock = this->lock();
        if (Status s = m_files.checkpoint(); !s) {
            problems.push_back(s);
            return problems;
        }
        for (int year : m_journal.purgeAll(m_clock.now().year)) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "Please manually delete the %d folder in the Users AppData folder.",
                          year);
            problems.push_back(Status::ioError(text, "Unable to complete purge, access denied."));
        }
        m_config.record().next_transaction = 1;
    }
    if (Status s = saveConfig(); !s) problems.push_back(s);
    return problems;
}

}  // namespace kassio
