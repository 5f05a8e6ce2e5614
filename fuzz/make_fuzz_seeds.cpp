// make_fuzz_seeds <corpus-folder>: writes the seeds of every fuzz target
// from files and messages the program itself makes on the sample shop: the
// record files cut to a few slots, kq.cfg and language.ini, a day of
// journal after two client sales and a refund, a posting journal left by a
// crash, every procedure's request and reply, and the JSON files of
// kassio-station. fuzz/corpus holds its output; run it again after a
// format changes.
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

#include "base/fixed_text.h"
#include "fuzz_support.h"
#include "procedure_sizes.h"
#include "server/station_program.h"
#include "server/station_server.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "store/posix_file_system.h"
#include "store/posting_journal.h"
#include "store/posting_journal_format.h"
#include "store/supplier_record.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

std::string g_corpus;

void seed(const std::string& target, const std::string& name, std::string_view bytes) {
    const std::string dir = g_corpus + "/" + target;
    std::filesystem::create_directories(dir);
    writeFile(dir + "/" + name, bytes);
}

std::string byte(int b) {
    return std::string(1, static_cast<char>(b));
}

// Remembers every reply a real station gave, for the client's seeds.
class RecordingTransport final : public StationTransport {
  public:
    explicit RecordingTransport(StationServer& server) : m_direct(server) {}
    TransportReply call(Procedure p, const std::string& request,
                        const std::string& requestId = {}) override {
        TransportReply r = m_direct.call(p, request, requestId);
        requests.emplace_back(p, request);
        replies.push_back(r.ok ? byte(0) + r.ndr : byte(0xff));
        return r;
    }
    std::vector<std::string> replies;
    std::vector<std::pair<Procedure, std::string>> requests;

  private:
    DirectStationTransport m_direct;
};

const char* const kSale =
    R"({"station": "TILL 2", "clerk": 1, "payment": "Cash", "customer": 3, "note": "",)"
    R"( "lines": [{"item": 12}, {"item": 7, "count": 3},)"
    R"( {"description": "LOTTERY", "price": 2.00, "tax": 0, "cost": 0}]})";
const char* const kRefund =
    R"({"station": "TILL 2", "clerk": 2, "kind": 3, "restock": 1, "customer": 3,)"
    R"( "lines": [{"item": 12}]})";
const char* const kCustomer =
    R"({"name": "NEW CUSTOMER", "road": "1 HIGH STREET", "town": "LITTLETON",)"
    R"( "telephone": "01234 567890", "terms": 2, "credit_limit": 100.5})";

void recordFileSeeds(const SampleShop& shop) {
    const std::string files[3] = {shop.items, shop.customers, shop.suppliers};
    const std::size_t sizes[3] = {kInventoryRecordSize, kCustomerRecordSize, kSupplierRecordSize};
    for (int i = 0; i < 3; ++i)
        seed("record_file", "sample" + std::to_string(i),
             byte(i) + files[i].substr(0, std::min(files[i].size(), 3 * sizes[i])));
}

void settingsSeeds(const SampleShop& shop, DataStore& store) {
    seed("store_config", "first-start", shop.config);
    seed("store_config", "after-sales",
         std::string_view(reinterpret_cast<const char*>(store.config().bytes()), kStoreConfigSize));
    for (int language = 0; language < kLanguageCount; ++language) {
        ReceiptWords words;
        words.loadBuiltIn(language);
        seed("receipt_words", "language" + std::to_string(language),
             std::string_view(reinterpret_cast<const char*>(words.bytes()), kReceiptWordsSize));
    }
    seed("server_settings", "tcp",
         "# the station server\nlisten = 0.0.0.0:7450\nstation_key = a-long-random-text\n");
    seed("server_settings", "refused", "listen 127.0.0.1:7450\r\n");
    seed("device_paths", "usb",
         "# the pole display hangs on a USB adapter\nCOM1=/dev/ttyUSB0\n"
         "lpt1 = /dev/usb/lp0\r\n");
    seed("json", "sale", kSale);
    seed("json", "refund", kRefund);
    seed("json", "customer", kCustomer);
}

// Two client sales and a refund through the station, each request and
// reply a seed, then the day's journal files.
void stationSeeds(DataStore& store, const std::string& folder) {
    StationServer server(store);
    auto request = [&](Procedure p, const std::string& ndr, const char* name) {
        seed("station_server", name, byte(static_cast<int>(p)) + ndr);
        ProcedureReply reply = server.call(static_cast<int>(p), ndr);
        if (!reply.accepted) std::abort();
        return reply.ndr;
    };
    ItemQuery item;
    std::memset(&item, 0, sizeof item);
    setFieldText(item.text, "12");
    const std::string itemReply =
        request(Procedure::kFindItem, ndr::encode<ItemQueryFormat>(item), "find-item");
    seed("ndr", "item-record", byte(0x80 | 1) + itemReply);
    CustomerQuery customer;
    std::memset(&customer, 0, sizeof customer);
    setFieldText(customer.name, "A*");
    seed("ndr", "customer-record",
         byte(0x80 | 3) + request(Procedure::kFindCustomer,
                                  ndr::encode<CustomerQueryFormat>(customer), "find-customer"));
    seed("ndr", "client-config", byte(0x80 | 4) + request(Procedure::kClientConfig, {}, "config"));
    seed("ndr", "words", byte(0x80 | 5) + request(Procedure::kReceiptWords, {}, "words"));
    seed("ndr", "number",
         byte(0x80 | 7) + request(Procedure::kSuggestCustomerNumber, {}, "suggest"));
    FileChunk chunk;
    std::memset(&chunk, 0, sizeof chunk);
    setFieldText(chunk.name, "customer.dat");
    seed("ndr", "file-chunk",
         byte(0x80 | 8) +
             request(Procedure::kFileChunk, ndr::encode<FileChunkFormat>(chunk), "file-chunk"));
    ItemPage page;
    std::memset(&page, 0, sizeof page);
    page.category = kPageAllCategories;
    seed("ndr", "item-page",
         byte(0x80 | 9) +
             request(Procedure::kFirstItemPage, ndr::encode<ItemPageFormat>(page), "first-page"));

    // The client program's commands against the real station, with every
    // reply it got: the client's seeds.
    const std::string file = folder + "/request.json";
    int n = 0;
    std::set<int> written;
    for (const auto& [command, json] :
         std::vector<std::pair<std::vector<std::string>, const char*>>{
             {{"find-item", "12"}, "12"},
             {{"config"}, ""},
             {{"page", "18", "--next", "2", "--previous", "1"}, ""},
             {{"add-customer", file}, kCustomer},
             {{"sale", file}, kSale},
             {{"sale", file}, kSale},
             {{"refund", file}, kRefund}}) {
        writeFile(file, json);
        RecordingTransport transport(server);
        StationClient client(transport);
        std::ostringstream out, err;
        FuzzClock clock;
        if (runStationCommand(command, client, clock, out, err) != kStationOk) {
            std::fprintf(stderr, "%s: %s\n", command[0].c_str(), err.str().c_str());
            std::abort();
        }
        static const std::vector<std::string> kNames = {
            "find-item", "find-item-from",   "find-customer",   "config", "words",
            "tables",    "suggest-customer", "fetch",           "page",   "large-page",
            "item-call", "add-customer",     "change-customer", "sale",   "refund"};
        const auto at = std::find(kNames.begin(), kNames.end(), command[0]) - kNames.begin();
        std::vector<std::string> parts{byte(static_cast<int>(at)) + json};
        for (const std::string& r : transport.replies) parts.push_back(r);
        seed("station_client", command[0] + std::to_string(n++), joinSections(parts));
        // The writing procedures' requests, once each, for the server's seeds.
        for (const auto& [p, ndr] : transport.requests) {
            const int number = static_cast<int>(p);
            if (number < static_cast<int>(Procedure::kAddCustomer) || written.count(number))
                continue;
            written.insert(number);
            seed("station_server", "procedure" + std::to_string(number), byte(number) + ndr);
            if (p == Procedure::kPostSale) seed("ndr", "basket", byte(0x80 | 11) + ndr);
        }
    }
}

void journalSeed(DataStore& store) {
    const LocalTime today = FuzzClock().now();
    Journal& journal = store.journal();
    if (!journal.appendReceived(today, ReceivedRecord{12, 24})) std::abort();
    std::vector<std::string> parts = {
        readFile(journal.yearIndexPath(today.year)),
        readFile(journal.salesLogPath(today.year, today.month, today.day)),
        readFile(journal.itemsLogPath(today.year, today.month, today.day)),
        readFile(journal.receivedLogPath(today.year, today.month, today.day)),
        readFile(journal.activityLogPath(today.year, today.month, today.day))};
    for (const std::string& p : parts)
        if (p.empty()) std::abort();
    seed("journal", "two-sales-and-a-refund", joinSections(parts));
}

// A journal left by a crash after three postings: as the file lies, and
// as the records the target frames itself.
void postingJournalSeeds(const std::string& folder) {
    PosixFileSystem fs;
    std::string raw;
    {
        PostingJournalOptions options;
        options.sync = false;
        PostingJournal journal(fs, folder, options);
        if (!journal.open()) std::abort();
        for (int i = 0; i < 3; ++i) {
            WriteBatch batch;
            if (i == 0) batch.makeFolder("2026");
            batch.append("2026/base.dat",
                         std::string("\x07\x00\x00\x00\x06\x00\x00\x00\x0c\x00\x00\x00", 12));
            batch.write("inventory.dat", 2113 * i, "item record bytes");
            if (i == 2) batch.truncate("customer.dat", 1242);
            batch.setRequest("station-2-request-" + std::to_string(i), std::to_string(21 + i));
            uint64_t ticket = 0;
            if (!journal.commit(std::move(batch), &ticket) || !journal.waitDurable(ticket))
                std::abort();
        }
        raw = readFile(folder + "/" + journal_format::kFileName);
    }  // no close(): a crash
    seed("posting_journal", "crash-raw", byte(1) + raw);
    std::string framed = byte(0);
    std::string_view in = raw;
    while (in.size() >= journal_format::kHeaderSize) {
        uint32_t len = 0;
        std::memcpy(&len, in.data(), 4);
        if (len > 0xffff || in.size() < journal_format::kHeaderSize + len) std::abort();
        framed += in[8];
        framed += static_cast<char>(len & 0xff);
        framed += static_cast<char>(len >> 8);
        framed += in.substr(journal_format::kHeaderSize, len);
        in.remove_prefix(journal_format::kHeaderSize + len);
    }
    seed("posting_journal", "crash-framed", framed);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <corpus-folder>\n");
        return 2;
    }
    g_corpus = argv[1];
    const SampleShop& shop = SampleShop::get();
    recordFileSeeds(shop);

    ScratchFolder folder;
    shop.writeTo(folder.path());
    FuzzClock clock;
    DataStore store(folder.path(), clock);
    if (!store.openData()) std::abort();
    static_cast<void>(store.recordStart("$"));
    stationSeeds(store, folder.path());
    journalSeed(store);
    settingsSeeds(shop, store);

    ScratchFolder journalFolder;
    postingJournalSeeds(journalFolder.path());
    return 0;
}
