#include "server/station_till_data.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "server/customer_query.h"
#include "server/item_page.h"
#include "server/item_query.h"
#include "store/crc32c.h"
#include "store/file_io.h"
#include "till/local_till_data.h"
#include "till/posting.h"

namespace kassio {

namespace {

constexpr char kItemCache[] = "items.cache";
constexpr char kRefusedFolder[] = "queue/refused";
constexpr char kQueueMagic[4] = {'K', 'Q', 'S', '1'};
constexpr std::size_t kIdBytes = 40;
// magic, kind, request id, the Basket, its checksum
constexpr std::size_t kQueuedBytes = 4 + 1 + kIdBytes + sizeof(Basket) + 4;
// More would be a page nobody reads through; the main station's list of
// one pattern stops here.
constexpr std::size_t kMostCustomers = 1000;

// The main station's own words for what it could not do.
Status unreachable(const Status& why) {
    return Status::ioError("The main station cannot be reached: " + why.message(), "Offline");
}

// The names in `folder` that end in `suffix`, in order.
std::vector<std::string> namesIn(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        std::string_view name = e->d_name;
        if (name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix)
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The kept postings, in the order they were kept (their names are of one width).
std::vector<std::string> queuedFiles(const std::string& folder) {
    std::vector<std::string> names = namesIn(folder, ".queue");
    std::erase_if(names, [](const std::string& name) { return name.size() != 14; });
    return names;
}

}  // namespace

void takeClientConfig(const ClientConfig& main, StoreConfig& client, bool keepOwnSettings) {
    StoreConfig fetched;
    std::memcpy(fetched.bytes(), client.bytes(), kStoreConfigSize);
    applyClientConfig(main, fetched);
    if (keepOwnSettings) {
        StoreConfigRecord& to = fetched.record();
        const StoreConfigRecord& own = client.record();
        auto keep = [](auto& field, const auto& mine) { std::memcpy(&field, &mine, sizeof field); };
        keep(to.settings_b, own.settings_b);
        keep(to.receipt_printer_choice, own.receipt_printer_choice);
        keep(to.receipt_printer_name, own.receipt_printer_name);
        keep(to.printer_driver_name, own.printer_driver_name);
        keep(to.cutter_code, own.cutter_code);
        keep(to.pole_texts, own.pole_texts);
        keep(to.drawer_code, own.drawer_code);
        keep(to.card_exchange_folder, own.card_exchange_folder);
        for (int m = 12; m <= 18; ++m) to.money[m] = own.money[m];  // the card terminal's
    }
    std::memcpy(client.bytes(), fetched.bytes(), kStoreConfigSize);
}

ClientSettingsStart takeMainStationSettings(DataStore& local, StationClient& client) {
    ClientSettingsStart start;
    start.hadCopy = fileExists(local.pathOf("kq.cfg"));
    if (start.hadCopy) {
        if (auto bytes = readWholeFile(local.pathOf("kq.cfg")))
            std::memcpy(local.config().bytes(), bytes->data(),
                        std::min(bytes->size(), kStoreConfigSize));
        if (auto bytes = readWholeFile(local.pathOf("language.ini")))
            std::memcpy(local.words().bytes(), bytes->data(),
                        std::min(bytes->size(), kReceiptWordsSize));
    }
    auto config = std::make_unique<ClientConfig>();
    start.reached = client.clientConfig(*config);
    if (!start.reached) return start;
    {
        auto lock = local.lock();
        takeClientConfig(*config, local.config(), start.hadCopy);
    }
    ReceiptWordsWire words;
    if (client.receiptWords(words)) {
        for (int slot = 0; slot < kClientWordEntries; ++slot)
            if (slot != 31) local.words().setWord(slot, fieldText(words.words[slot]));
    }
    if (Status saved = local.saveConfig(); !saved) start.saveFailures.push_back(saved);
    if (Status saved = local.saveWords(); !saved) start.saveFailures.push_back(saved);
    return start;
}

StationTillData::StationTillData(StationClient& client, DataStore& local, std::string stationName)
    : m_client(client), m_local(local), m_stationName(std::move(stationName)) {}

Status StationTillData::open() {
    if (auto cache = readWholeFile(path(kItemCache))) {
        // A torn last record (the cache is not flushed) is left out.
        for (std::size_t at = 0; at + sizeof(InventoryRecord) <= cache->size();
             at += sizeof(InventoryRecord)) {
            InventoryRecord item;
            std::memcpy(&item, cache->data() + at, sizeof item);
            if (item.number > 0) m_items[item.number] = item;
        }
        // Every price change the station sees adds a record; a cache that
        // holds mostly old ones is written again with the newest of each,
        // so it cannot grow without end.
        const std::size_t records = cache->size() / sizeof(InventoryRecord);
        if (records > 2 * m_items.size() + 64) {
            std::string newest;
            newest.reserve(m_items.size() * sizeof(InventoryRecord));
            for (const auto& [number, item] : m_items)
                newest.append(reinterpret_cast<const char*>(&item), sizeof item);
            static_cast<void>(
                replaceFileAtomically(path(kItemCache), newest.data(), newest.size(), false));
        }
    }
    if (!makeDirectories(path(kRefusedFolder)))
        return Status::ioError("Unable to create " + path(kRefusedFolder), kTitleProblem);
    m_queue.clear();
    // A kill while a sale was being kept leaves the file written beside
    // (replaceFileAtomically's ".new"): the clerk was not told that sale
    // was done, so it goes.
    for (const std::string& name : namesIn(path(kQueueFolder), ".new"))
        removeFile(path(kQueueFolder) + "/" + name);
    // Each is read when it is sent; one that cannot be read back is then
    // reported and moved aside, not left behind unseen.
    for (const std::string& name : queuedFiles(path(kQueueFolder))) {
        m_queue.push_back(Queued{name, false, {}});
        m_nextQueued =
            std::max<uint64_t>(m_nextQueued, std::strtoull(name.c_str(), nullptr, 10) + 1);
    }
    m_refused = queuedFiles(path(kRefusedFolder)).size();
    for (const std::string& name : queuedFiles(path(kRefusedFolder)))
        m_nextQueued =
            std::max<uint64_t>(m_nextQueued, std::strtoull(name.c_str(), nullptr, 10) + 1);
    m_nextTransaction = m_local.config().nextTransaction();
    return Status::ok();
}

Status StationTillData::reached(const Status& s) {
    const bool was = m_offline;
    m_offline = !s.isOk() && s.title() == kTitleStation;
    if (was != m_offline && m_changed) m_changed();
    return m_offline ? unreachable(s) : s;
}

void StationTillData::remember(const InventoryRecord& item) {
    m_items.insert_or_assign(item.number, item);
    // Appended without a flush: a cache lost in a crash is fetched again.
    static_cast<void>(appendToFile(path(kItemCache), &item, sizeof item, false));
}

std::optional<InventoryRecord> StationTillData::item(int64_t number, Status* error) {
    ItemQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -1;  // by number, whatever the SKU 1 option says
    setFieldText(q.text, formatted("%lld", static_cast<long long>(number)));
    InventoryRecord found;
    if (Status s = reached(m_client.findItem(q, found)); !s) {
        if (auto it = m_items.find(number); it != m_items.end()) return it->second;
        if (error) *error = s;
        return std::nullopt;
    }
    if (number <= 0 || found.number != number) return std::nullopt;
    if (auto it = m_items.find(number);
        it == m_items.end() || std::memcmp(&it->second, &found, sizeof found) != 0)
        remember(found);
    return found;
}

std::optional<InventoryRecord> StationTillData::itemBySku1(const std::string& sku) {
    if (sku.empty()) return std::nullopt;
    // The station looks for the text inside the four SKUs; the till wants
    // SKU 1 exactly, so the walk goes on past other matches.
    ItemQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -2;
    setFieldText(q.text, sku);
    for (int guard = 0; guard < 10000; ++guard) {
        InventoryRecord found;
        if (!reached(m_client.findItem(q, found))) {
            for (const auto& [number, item] : m_items)
                if (fieldText(item.sku1) == sku) return item;
            return std::nullopt;
        }
        if (found.number <= 0) return std::nullopt;
        if (fieldText(found.sku1) == sku) {
            remember(found);
            return found;
        }
        q.from = -found.number - 2;
    }
    return std::nullopt;
}

Status StationTillData::itemsReachable() {
    return m_offline ? unreachable(Status::ioError("no answer", kTitleStation)) : Status::ok();
}

std::optional<CustomerRecord> StationTillData::customer(int64_t number, Status* error) {
    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -1;
    setFieldText(q.name, formatted("%lld", static_cast<long long>(number)));
    CustomerRecord found;
    if (Status s = reached(m_client.findCustomer(q, found)); !s) {
        if (error) *error = s;
        return std::nullopt;
    }
    if (number <= 0 || found.number != number) return std::nullopt;
    return found;
}

std::vector<CustomerRecord> StationTillData::customersNamed(const std::string& pattern) {
    std::vector<CustomerRecord> out;
    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -1;
    setFieldText(q.name, pattern.substr(0, sizeof q.name - 1));
    while (out.size() < kMostCustomers) {
        CustomerRecord found;
        if (!reached(m_client.findCustomer(q, found)) || found.number <= 0) break;
        if (namePatternMatches(pattern, fieldText(found.name))) out.push_back(found);
        q.from = found.number;
    }
    std::sort(out.begin(), out.end(),
              [](const CustomerRecord& a, const CustomerRecord& b) { return a.number < b.number; });
    return out;
}

void StationTillData::fetchPicture(const std::string& name) {
    if (name.empty() || !m_fetched.insert(name).second) return;
    std::string bytes;
    if (!m_client.fetchFile(name, bytes)) return;  // the built-in look stays
    static_cast<void>(replaceFileAtomically(path(name), bytes.data(), bytes.size(), false));
}

namespace {

std::vector<QuickSelectEntry> entriesOf(const ItemPage& page) {
    std::vector<QuickSelectEntry> out;
    for (int i = 0; i < kItemPageSize; ++i) {
        if (page.numbers[i] <= 0) continue;
        QuickSelectEntry e;
        e.number = page.numbers[i];
        e.description = fieldText(page.texts[i]);
        e.picture = fieldText(page.texts[kItemPageSize + i]);
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace

std::vector<QuickSelectEntry> StationTillData::itemsAfter(int64_t after, int category,
                                                          std::size_t want) {
    std::vector<QuickSelectEntry> out;
    while (out.size() < want) {
        ItemPage page;
        std::memset(&page, 0, sizeof page);
        page.category = category;
        Status s;
        if (after <= 0 && out.empty()) {
            s = m_client.firstItemPage(page);
        } else {
            page.numbers[kItemPageSize - 1] = out.empty() ? after : out.back().number;
            s = m_client.nextItemPage(page);
        }
        if (!reached(s)) break;
        std::vector<QuickSelectEntry> got = entriesOf(page);
        if (got.empty()) break;
        for (auto& e : got)
            if (out.size() < want &&
                (out.empty() ? e.number > after : e.number > out.back().number))
                out.push_back(std::move(e));
        if (got.size() < static_cast<std::size_t>(kItemPageSize)) break;
    }
    for (const QuickSelectEntry& e : out) fetchPicture(e.picture);
    return out;
}

std::vector<QuickSelectEntry> StationTillData::itemsBefore(int64_t before, int category,
                                                           std::size_t want) {
    std::vector<QuickSelectEntry> out;  // nearest first while walking
    int64_t edge = before;
    while (out.size() < want && edge > 1) {
        ItemPage page;
        std::memset(&page, 0, sizeof page);
        page.category = category;
        page.direction = kPagePrevious;
        page.numbers[0] = edge;
        page.last = edge;
        if (!reached(m_client.nextItemPage(page))) break;
        std::vector<QuickSelectEntry> got = entriesOf(page);
        // The page comes back with the found items first, then the first
        // items of the page sent, which here is the edge itself.
        std::vector<QuickSelectEntry> earlier;
        for (auto& e : got)
            if (e.number < edge) earlier.push_back(std::move(e));
        if (earlier.empty()) break;
        for (auto it = earlier.rbegin(); it != earlier.rend() && out.size() < want; ++it)
            out.push_back(*it);
        edge = earlier.front().number;
        if (earlier.size() < static_cast<std::size_t>(kItemPageSize)) break;
    }
    std::reverse(out.begin(), out.end());
    for (const QuickSelectEntry& e : out) fetchPicture(e.picture);
    return out;
}

int32_t StationTillData::nextTransaction() const {
    return m_nextTransaction;
}

Status StationTillData::logActivity(const LocalTime&, const std::string&) {
    // The main station's ActivityLog is written by its postings; a client
    // has no procedure to add lines to it.
    return Status::ok();
}

Status StationTillData::recordCustomerSale(int64_t, Basket& b, bool onCredit) {
    // The main station updates the customer when it posts the sale; the
    // receipt shows the balance this station expects.
    if (onCredit) b.payment[kPayBalanceAfter] = b.payment[kPayBalanceBefore] + b.total;
    return Status::ok();
}

Status StationTillData::creditCustomer(int64_t, double) {
    return Status::ok();  // done by the main station's posting of the refund
}

Status StationTillData::enqueue(const Basket& b, bool refund, const std::string& requestId) {
    std::string bytes(kQueuedBytes, '\0');
    std::memcpy(bytes.data(), kQueueMagic, 4);
    bytes[4] = refund ? 1 : 0;
    std::memcpy(bytes.data() + 5, requestId.data(), std::min(requestId.size(), kIdBytes - 1));
    std::memcpy(bytes.data() + 5 + kIdBytes, &b, sizeof b);
    const uint32_t crc = crc32c::mask(crc32c::value(bytes.data(), kQueuedBytes - 4));
    std::memcpy(bytes.data() + kQueuedBytes - 4, &crc, 4);
    Queued q{formatted("%08llu.queue", static_cast<unsigned long long>(m_nextQueued)), refund,
             requestId};
    if (!replaceFileAtomically(path(kQueueFolder) + "/" + q.file, bytes.data(), bytes.size()))
        return Status::ioError("Unable to keep the sale at this station: " + path(kQueueFolder),
                               kTitleFatal);
    ++m_nextQueued;
    m_queue.push_back(std::move(q));
    if (m_changed) m_changed();
    return Status::ok();
}

bool StationTillData::readQueued(Queued& q, Basket* b) const {
    auto bytes = readWholeFile(path(kQueueFolder) + "/" + q.file);
    if (!bytes || bytes->size() != kQueuedBytes || std::memcmp(bytes->data(), kQueueMagic, 4) != 0)
        return false;
    uint32_t crc;
    std::memcpy(&crc, bytes->data() + kQueuedBytes - 4, 4);
    if (crc32c::unmask(crc) != crc32c::value(bytes->data(), kQueuedBytes - 4)) return false;
    std::memcpy(b, bytes->data() + 5 + kIdBytes, sizeof *b);
    q.refund = (*bytes)[4] != 0;
    q.requestId = std::string(reinterpret_cast<const char*>(bytes->data()) + 5,
                              strnlen(reinterpret_cast<const char*>(bytes->data()) + 5, kIdBytes));
    return true;
}

namespace {

// The clerk's words for a refusal of the main station.
Status refusal(int32_t code, bool refund) {
    if (!refund) {
        switch (code) {
            case 1:
                return Status::invalid("No items");
            case 2:
                return Status::invalid("The customer is not known at the main station");
            case 3:
            case 5:
                return Status::invalid("Insufficient items");
            case 4:
                return Status::invalid("Unknown item");
            default:
                break;
        }
    }
    return Status::ioError(formatted("The main station could not post the %s (code %d)",
                                     refund ? "refund" : "sale", code),
                           kTitleProblem);
}

}  // namespace

TillPostOutcome StationTillData::post(Basket& b, bool refund) {
    TillPostOutcome out;
    std::memset(b.texts[0], 0, sizeof b.texts[0]);
    setFieldText(b.texts[0], m_stationName);
    const std::string id = newRequestId();
    // Later postings wait behind the kept ones: the main station sees them
    // in the order they were sold.
    if (m_queue.empty()) {
        int32_t result = 0;
        Status s =
            reached(refund ? m_client.postRefund(b, id, result) : m_client.postSale(b, id, result));
        if (s) {
            if (result >= kClientPostedOffset) {
                m_nextTransaction = result - kClientPostedOffset;
                out.posted = true;
                out.number = m_nextTransaction - 1;
            } else {
                out.stopped = true;
                out.messages.push_back(refusal(result, refund));
            }
            return out;
        }
        if (!m_offline) {
            out.stopped = true;
            out.messages.push_back(s);
            return out;
        }
    }
    // Kept with the id it was (perhaps) sent with: if the main station did
    // post it before the line went, sending it again finds the first answer.
    if (Status s = enqueue(b, refund, id); !s) {
        out.stopped = true;
        out.messages.push_back(s);
        return out;
    }
    out.posted = true;
    out.number = 0;  // given when the main station posts it
    return out;
}

TillPostOutcome StationTillData::postSale(Basket& b, const std::string&) {
    TillPostOutcome out = post(b, false);
    if (out.posted && out.number == 0) {
        // Kept for later: this station tells the clerk the sale is safe.
        b.number = 0;
    }
    return out;
}

TillPostOutcome StationTillData::postRefund(Basket& b, const RefundChoices& choices,
                                            const std::string&) {
    b.values[kValueRefundKind] = choices.kind;
    b.values[kValueRestock] = choices.restock;
    if (fieldText(b.payment_word).empty()) setFieldText(b.payment_word, "Refund");
    // The main station negates the totals as it posts; the refund receipt
    // printed here shows them as the main station's till would.
    TillPostOutcome out = post(b, true);
    if (!out.stopped) {
        b.number = out.number;
        negateTotals(b);
    }
    return out;
}

std::vector<Status> StationTillData::sendQueue() {
    std::vector<Status> refusals;
    while (!m_queue.empty()) {
        Queued q = m_queue.front();
        auto b = std::make_unique<Basket>();
        const std::string file = path(kQueueFolder) + "/" + q.file;
        if (!readQueued(q, b.get())) {
            // A file this station cannot read back is kept aside, not sent.
            ::rename(file.c_str(), (path(kRefusedFolder) + "/" + q.file).c_str());
            ++m_refused;
            refusals.push_back(Status::corruption("A kept sale cannot be read back: " + file +
                                                  " (moved to " + kRefusedFolder + ")"));
            m_queue.erase(m_queue.begin());
            continue;
        }
        int32_t result = 0;
        Status s = reached(q.refund ? m_client.postRefund(*b, q.requestId, result)
                                    : m_client.postSale(*b, q.requestId, result));
        if (!s) break;  // still away: the rest waits
        if (result >= kClientPostedOffset) {
            m_nextTransaction = result - kClientPostedOffset;
            removeFile(file);
        } else {
            ::rename(file.c_str(), (path(kRefusedFolder) + "/" + q.file).c_str());
            ++m_refused;
            Status why = refusal(result, q.refund);
            refusals.push_back(Status::invalid(
                formatted("A %s kept while offline was refused by the main station: %s. It is "
                          "kept in %s.",
                          q.refund ? "refund" : "sale", why.message().c_str(),
                          (path(kRefusedFolder) + "/" + q.file).c_str()),
                "Offline sale refused"));
        }
        static_cast<void>(syncDirectory(path(kQueueFolder)));
        m_queue.erase(m_queue.begin());
        if (m_changed) m_changed();
    }
    return refusals;
}

}  // namespace kassio
