// kassio_crash_client: the client stations and the judge of the crash loop
// (tests/crash_loop.sh).
//
//   setup  DATA                    a shop of kItems items and kCustomers customers
//   post   ENDPOINT STATE CLIENTS  CLIENTS stations post sales, credit sales
//                                  and refunds until the server goes away
//   drain  ENDPOINT STATE CLIENTS  only the postings left unanswered
//   verify DATA STATE CLIENTS      the files against every answered posting
//
// A station writes the posting it is about to send (with its request id)
// to STATE/pending-N before sending it, and moves it to STATE/acked-N when
// the answer comes. A posting left pending when the server died is sent
// again, with the same id, by the next run: the server answers it from
// memory if it had posted it, or posts it now. Either way every posting is
// answered exactly once, so the files must agree with the answered ones.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/fixed_text.h"
#include "platform/grpc/grpc_station_transport.h"
#include "platform/posix/console_ui.h"
#include "platform/posix/system_clock.h"
#include "server/basket_wire.h"
#include "server/procedure.h"
#include "store/customers.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/items.h"
#include "store/start_up.h"

namespace {

using namespace kassio;

constexpr int64_t kItems = 20;
constexpr int64_t kCustomers = 5;
constexpr int kInitialStock = 1000000;
constexpr double kInitialBalance = 100.0;

// One posting: 'S' a cash sale, 'C' a credit sale to `customer`, 'R' a cash
// refund, back to stock when restock is 0.
struct Posting {
    char kind = 'S';
    std::string id;
    int64_t customer = 0;
    int restock = 0;
    std::vector<int64_t> items;
    int32_t code = 0;  // the answer, once there is one
};

std::string lineOf(const Posting& p) {
    std::ostringstream out;
    out << p.kind << ' ' << p.id << ' ' << p.code << ' ' << p.customer << ' ' << p.restock;
    for (int64_t item : p.items) out << ' ' << item;
    return out.str();
}

Posting postingOf(const std::string& line) {
    std::istringstream in(line);
    Posting p;
    in >> p.kind >> p.id >> p.code >> p.customer >> p.restock;
    for (int64_t item; in >> item;) p.items.push_back(item);
    return p;
}

double priceOf(int64_t item) {
    return 1.0 + static_cast<double>(item);
}

Basket basketOf(const Posting& p) {
    Basket b;
    std::memset(&b, 0, sizeof b);
    for (int64_t item : p.items) {
        const int i = b.line_count++;
        b.item[i] = item;
        setFieldText(b.description[i], "CRASH ITEM");
        b.non_taxable[i] = b.line_total[i] = priceOf(item);
        b.total_non_taxable += b.line_total[i];
        b.subtotal += b.line_total[i];
        b.total += b.line_total[i];
    }
    b.clerk = 1;
    b.customer = p.customer;
    setFieldText(b.payment_word, p.kind == 'C' ? "Credit" : p.kind == 'R' ? "Refund" : "Cash");
    if (p.kind == 'R') {
        b.values[kValueRefundKind] = 0;
        b.values[kValueRestock] = p.restock;
    }
    setFieldText(b.texts[0], "CRASH");
    return b;
}

// Written whole and flushed, so that the judge can trust what it reads.
void writeDurably(const std::string& path, const std::string& text, bool append) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0600);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
        ::fsync(fd) != 0) {
        std::perror(path.c_str());
        std::exit(2);
    }
    ::close(fd);
}

// Sends p (with its id) until answered; false when the server is gone.
bool send(GrpcStationTransport& transport, Posting& p) {
    const Procedure proc = p.kind == 'R' ? Procedure::kPostRefund : Procedure::kPostSale;
    TransportReply r = transport.call(proc, ndr::encode<BasketFormat>(basketOf(p)), p.id);
    return r.ok && ndr::decodeLong(r.ndr, p.code);
}

int station(const std::string& endpoint, const std::string& state, int n, bool drainOnly) {
    GrpcStationTransport transport(endpoint, "", std::chrono::seconds(5));
    const std::string pendingPath = state + "/pending-" + std::to_string(n);
    const std::string ackedPath = state + "/acked-" + std::to_string(n);
    std::mt19937_64 random(std::random_device{}());
    int answered = 0;
    for (;;) {
        Posting p;
        if (auto pending = readWholeFile(pendingPath); pending && !pending->empty()) {
            p = postingOf(std::string(pending->begin(), pending->end()));
        } else {
            if (drainOnly) break;
            const int roll = static_cast<int>(random() % 10);
            p.kind = roll < 5 ? 'S' : roll < 8 ? 'C' : 'R';
            char id[40];
            std::snprintf(id, sizeof id, "%d-%016llx", n,
                          static_cast<unsigned long long>(random()));
            p.id = id;
            if (p.kind == 'C') p.customer = 1 + static_cast<int64_t>(random() % kCustomers);
            if (p.kind == 'R') p.restock = static_cast<int>(random() % 2);
            const int lines = 1 + static_cast<int>(random() % 10);
            for (int i = 0; i < lines; ++i)
                p.items.push_back(1 + static_cast<int64_t>(random() % kItems));
            writeDurably(pendingPath, lineOf(p), false);
        }
        // The server is gone; the posting stays pending. When draining, the
        // server is up: a call that timed out on a busy machine is sent
        // again rather than left unanswered.
        bool sent = send(transport, p);
        for (int retry = 0; !sent && drainOnly && retry < 20; ++retry) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            sent = send(transport, p);
        }
        if (!sent) break;
        if (p.code < kPostedOffset) {
            std::fprintf(stderr, "station %d: posting %s refused with code %d\n", n, p.id.c_str(),
                         p.code);
            return 1;
        }
        writeDurably(ackedPath, lineOf(p) + "\n", true);
        ::unlink(pendingPath.c_str());
        ++answered;
    }
    return 0;
}

int runStations(const std::string& endpoint, const std::string& state, int clients, bool drain) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int n = 0; n < clients; ++n)
        threads.emplace_back([&, n] {
            if (station(endpoint, state, n, drain) != 0) ++failures;
        });
    for (auto& t : threads) t.join();
    return failures == 0 ? 0 : 1;
}

int setup(const std::string& data) {
    if (!makeDirectories(data)) return 2;
    std::vector<InventoryRecord> items;
    for (int64_t n = 1; n <= kItems; ++n) {
        InventoryRecord r;
        std::memset(&r, 0, sizeof r);
        r.number = n;
        setFieldText(r.description, "CRASH ITEM");
        r.retail_price = priceOf(n);
        r.cost_price = 0.5;
        r.quantity = kInitialStock;
        r.picture_number = 1;
        items.push_back(r);
    }
    std::vector<CustomerRecord> customers;
    for (int64_t n = 1; n <= kCustomers; ++n) {
        CustomerRecord c = blankCustomer();
        c.number = n;
        setFieldText(c.name, "CRASH CUSTOMER");
        c.balance = kInitialBalance;
        customers.push_back(c);
    }
    if (!replaceFileAtomically(data + "/inventory.dat", items.data(),
                               items.size() * sizeof(InventoryRecord)) ||
        !replaceFileAtomically(data + "/customer.dat", customers.data(),
                               customers.size() * sizeof(CustomerRecord)))
        return 2;
    // A picture makes the first start skip the samples, which this shop does not need.
    if (!replaceFileAtomically(data + "/stock1.bmp", "BM", 2)) return 2;
    SystemClock clock;
    ConsoleUi ui;
    DataStore store(data, clock);
    if (!startDataStore(store, "", "", ui)) return 2;
    closeDataStore(store, ui);
    return 0;
}

int verify(const std::string& data, const std::string& state, int clients) {
    std::vector<Posting> acked;
    std::size_t pending = 0;
    for (int n = 0; n < clients; ++n) {
        std::ifstream in(state + "/acked-" + std::to_string(n));
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) acked.push_back(postingOf(line));
        pending += std::filesystem::exists(state + "/pending-" + std::to_string(n));
    }
    std::map<int64_t, int> stock;
    std::map<int64_t, double> balance;
    std::map<int64_t, int> answeredNumbers;
    std::size_t sales = 0, credit = 0, refunds = 0;
    for (const Posting& p : acked) {
        ++answeredNumbers[p.code - kPostedOffset - 1];
        double total = 0;
        for (int64_t item : p.items) {
            total += priceOf(item);
            if (p.kind != 'R') --stock[item];
            if (p.kind == 'R' && p.restock == 0) ++stock[item];
        }
        if (p.kind == 'C') balance[p.customer] += total;
        (p.kind == 'S' ? sales : p.kind == 'C' ? credit : refunds) += 1;
    }

    int failures = 0;
    auto fail = [&failures](const std::string& what) {
        std::fprintf(stderr, "crash loop: %s\n", what.c_str());
        ++failures;
    };
    auto cfg = readWholeFile(data + "/kq.cfg");
    if (!cfg || cfg->size() != kStoreConfigSize) fail("kq.cfg is not whole");
    if (std::filesystem::exists(data + "/posting.journal"))
        fail("posting.journal left after a clean close");

    // Every SaleRecord of every day, by transaction number.
    std::map<int64_t, int> journalled;
    std::size_t records = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(data)) {
        if (e.path().filename() != "saleslog.dat") continue;
        auto bytes = readWholeFile(e.path().string());
        if (!bytes || bytes->size() % kSaleRecordSize != 0) fail("torn " + e.path().string());
        for (std::size_t off = 0; bytes && off + kSaleRecordSize <= bytes->size();
             off += kSaleRecordSize) {
            SaleRecord s;
            std::memcpy(&s, bytes->data() + off, sizeof s);
            ++journalled[s.number];
            ++records;
        }
    }
    for (const auto& [number, times] : journalled)
        if (times != 1)
            fail("transaction " + std::to_string(number) + " journalled " + std::to_string(times) +
                 " times");
    for (const auto& [number, times] : answeredNumbers) {
        if (times != 1) fail("transaction " + std::to_string(number) + " answered twice");
        if (journalled.count(number) == 0)
            fail("answered transaction " + std::to_string(number) + " is not in the journal");
    }
    if (records != acked.size())
        fail(std::to_string(records) + " transactions journalled, " + std::to_string(acked.size()) +
             " answered");

    SystemClock clock;
    DataStore store(data, clock);
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) {
        fail("the data does not open: " + s.message());
    } else {
        if (store.config().nextTransaction() != static_cast<int>(acked.size()) + 1)
            fail("next transaction " + std::to_string(store.config().nextTransaction()) +
                 " after " + std::to_string(acked.size()) + " postings");
        for (int64_t n = 1; n <= kItems; ++n) {
            auto item = readItem(store, n);
            if (!item || item->quantity != kInitialStock + stock[n])
                fail("item " + std::to_string(n) + " stock " +
                     std::to_string(item ? item->quantity : -1) + ", expected " +
                     std::to_string(kInitialStock + stock[n]));
        }
        for (int64_t n = 1; n <= kCustomers; ++n) {
            auto c = readCustomer(store, n);
            if (!c || std::fabs(c->balance - (kInitialBalance + balance[n])) > 1e-6)
                fail("customer " + std::to_string(n) + " balance " +
                     std::to_string(c ? c->balance : -1) + ", expected " +
                     std::to_string(kInitialBalance + balance[n]));
        }
    }
    std::printf(
        "answered postings: %zu (sales %zu, credit sales %zu, refunds %zu); journalled: %zu; "
        "left unanswered: %zu; problems: %d\n",
        acked.size(), sales, credit, refunds, records, pending, failures);
    return failures == 0 && pending == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 2 && a[0] == "setup") return setup(a[1]);
    if (a.size() == 4 && (a[0] == "post" || a[0] == "drain"))
        return runStations(a[1], a[2], std::stoi(a[3]), a[0] == "drain");
    if (a.size() == 4 && a[0] == "verify") return verify(a[1], a[2], std::stoi(a[3]));
    std::fprintf(stderr,
                 "usage: kassio_crash_client setup DATA | post|drain ENDPOINT STATE CLIENTS | "
                 "verify DATA STATE CLIENTS\n");
    return 2;
}
