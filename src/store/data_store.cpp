#include "store/data_store.h"

#include <cstdio>
#include <cstring>

#include "base/fixed_text.h"
#include "base/timestamp.h"
#include "store/activity_log.h"
#include "store/customer_record.h"
#include "store/file_io.h"
#include "store/flush_batch.h"
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

}  // namespace

DataStore::DataStore(std::string dataFolder, const Clock& clock)
    : m_folder(std::move(dataFolder)),
      m_clock(clock),
      m_items(kItemSpec, m_folder + "/inventory.dat"),
      m_customers(kCustomerSpec, m_folder + "/customer.dat"),
      m_suppliers(kSupplierSpec, m_folder + "/suppliers.dat"),
      m_journal(m_folder, m_mutex) {
    m_items.setObserver([this](uint64_t slot, const unsigned char* rec) {
        if (!rec) {
            m_skus.clear(slot);
            return;
        }
        const auto* item = reinterpret_cast<const InventoryRecord*>(rec);
        m_skus.set(slot, fieldText(item->sku1));
    });
}

void DataStore::setSync(bool sync) {
    m_sync = sync;
    m_items.setSync(sync);
    m_customers.setSync(sync);
    m_suppliers.setSync(sync);
    m_journal.setSync(sync);
}

bool DataStore::configPresent() const {
    auto f = File::open(m_folder + "/kq.cfg", File::Mode::kRead);
    return f.has_value();
}

Status DataStore::saveConfig(const std::string& failureMessage, const std::string& title) {
    std::lock_guard lock(m_mutex);
    // The new file itself is always flushed before it replaces the old one,
    // so kq.cfg is never found half written; a posting leaves only the
    // folder's flush (which makes the rename stick) to its batch.
    FlushBatch* batch = FlushBatch::active();
    if (!replaceFileAtomically(pathOf("kq.cfg"), m_config.bytes(), kStoreConfigSize, !batch))
        return Status::ioError(failureMessage, title);
    if (batch && m_sync) batch->add(m_folder);
    return Status::ok();
}

Status DataStore::firstRunSetup(const std::string& samplesFolder) {
    std::lock_guard lock(m_mutex);
    m_config.setFirstRunDefaults(m_clock.now());
    if (!replaceFileAtomically(pathOf("kq.cfg"), m_config.bytes(), kStoreConfigSize))
        return Status::ioError("Data file: kq.cfg, not present.", kTitleFatal);

    SupplierRecord empty;
    std::memset(&empty, 0, sizeof empty);
    empty.number = kDeletedNumber;
    if (!replaceFileAtomically(pathOf("suppliers.dat"), &empty, sizeof empty))
        return Status::ioError("Data file: suppliers.dat, not present.", kTitleFatal);

    if (fileExists(pathOf("stock1.bmp"))) return Status::ok();
    if (samplesFolder.empty())
        return Status::invalid("Unable to locate directory in dodemo.", kTitleProblem);
    // Copy failures are not reported: a missing sample inventory.dat or
    // customer.dat is reported by OpenData, which cannot start without it.
    std::vector<std::string> names;
    for (int i = 1; i <= 24; ++i) names.push_back("stock" + std::to_string(i) + ".bmp");
    for (const char* name : {"letter.bmp", "receipt.bmp", "inventory.dat", "customer.dat"})
        names.emplace_back(name);
    for (const std::string& name : names)
        static_cast<void>(copyFile(samplesFolder + "/" + name, pathOf(name)));
    return Status::ok();
}

Status DataStore::openData() {
    std::lock_guard lock(m_mutex);
    auto cfg = readWholeFile(pathOf("kq.cfg"));
    if (!cfg) return Status::notFound("The configuration file is not present in Opendata.");
    // A file of another size is read as far as it goes; the rest stays zero.
    m_config = StoreConfig();
    if (!cfg->empty())  // an empty vector's data() may be null
        std::memcpy(m_config.bytes(), cfg->data(), std::min(cfg->size(), kStoreConfigSize));
    m_config.fillEmptyHeading();

    m_skus.reset();
    if (Status s = loadFailure(m_items.load(), kItemMessages); !s) return s;
    if (Status s = loadFailure(m_customers.load(), kCustomerMessages); !s) return s;
    if (Status s = loadFailure(m_suppliers.load(), kSupplierMessages); !s) return s;

    auto words = readWholeFile(pathOf("language.ini"));
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
    return Status::ok();
}

std::vector<Status> DataStore::recordStart(const std::string& localeCurrency) {
    std::vector<Status> problems;
    const LocalTime now = m_clock.now();
    {
        std::lock_guard lock(m_mutex);
        m_previousStart = m_config.lastStart();
        m_config.stampLastStart(now);
        m_config.adoptLocaleCurrency(localeCurrency);
    }
    if (Status s = saveConfig(); !s) problems.push_back(s);
    if (Status s = m_journal.ensureMonthFolders(now); !s) problems.push_back(s);
    if (!m_journal.appendActivity(now, activity::switchedOn(timestampText(now))))
        problems.push_back(Status::ioError("Unable to update the log file in WM_CREATE."));
    if (Status s = m_journal.ensureDayFolders(now); !s) problems.push_back(s);
    return problems;
}

std::vector<Status> DataStore::recordClose() {
    std::vector<Status> problems;
    const LocalTime now = m_clock.now();
    {
        std::lock_guard lock(m_mutex);
        m_config.stampLastStart(now);
        if (Status s = saveConfig("Unable to update the configuration file at close"); !s)
            problems.push_back(s);
        // A language.ini that cannot be written is not reported: this run's
        // wording is lost, the shop's data is not.
        static_cast<void>(
            replaceFileAtomically(pathOf("language.ini"), m_words.bytes(), kReceiptWordsSize));
    }
    // A folder that cannot be made shows up as the failure of the append below.
    static_cast<void>(m_journal.ensureMonthFolders(now));
    const int64_t clerk = m_config.record().current_clerk;
    if (!m_journal.appendActivity(
            now, activity::switchedOff(timestampText(now), clerk, m_config.clerkName(clerk))))
        problems.push_back(Status::ioError("Unable to open log text file at end of WinMain."));
    return problems;
}

std::vector<Status> DataStore::purgeAllHistory() {
    std::vector<Status> problems;
    for (int year : m_journal.purgeAll(m_clock.now().year)) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Please manually delete the %d folder in the Users AppData folder.", year);
        problems.push_back(Status::ioError(text, "Unable to complete purge, access denied."));
    }
    {
        std::lock_guard lock(m_mutex);
        m_config.record().next_transaction = 1;
    }
    if (Status s = saveConfig(); !s) problems.push_back(s);
    return problems;
}

}  // namespace kassio
