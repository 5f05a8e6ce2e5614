// Speed of the station server as client stations see it: ten clients at
// once, each with its own gRPC connection to the DataFolder's unix socket,
// on a generated shop of 10,000 items and 1,000 customers.
//
//   ItemLookup10Clients          procedure 0 by item number
//   SalePosting10Clients         procedure 14, three-line sales, fsync on
//   SalePosting10ClientsNoFsync  the same with the journal and record
//                                flushes off (kq.cfg is still replaced
//                                atomically): what the disk costs
//   SalePosting1Client           one client alone: the time one posting
//                                takes, which ten clients queue behind
//   SalePosting10ClientsBesideTill  ten clients while the till of the
//                                station posts 10-line sales of its own
//                                through the same posting code
//   ClientTillRingsAnItem        a client station's till (StationTillData)
//                                over TCP on loopback, with the station key:
//                                an item by number, as the entry box asks
//   ClientTillPosting10Clients   ten client tills over TCP posting their
//                                three-line sales at once
//
// Each iteration is one burst: ten threads make their calls at the same
// time; the wall time of the burst is the iteration time. Every call's
// latency is kept, and the counters give the throughput and the p50 and p99
// latencies over all calls of the run (microseconds). A call that fails or a
// posting that is refused ends the run: a figure from a server that gives
// wrong answers is worth nothing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/fixed_text.h"
#include "platform/grpc/grpc_station_server.h"
#include "platform/grpc/grpc_station_transport.h"
#include "platform/posix/system_clock.h"
#include "server/station_client.h"
#include "server/station_till_data.h"
#include "shop_generator.h"
#include "store/data_store.h"
#include "till/posting_internal.h"

namespace {

using namespace kassio;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 10;
constexpr const char* kKey = "bench-station-key";
constexpr std::size_t kItems = 10000;

using bench::fail;

// The shop, its open DataStore and the running server, made once.
struct Station {
    Station()
        : shop(bench::ShopSpec{.items = kItems,
                               .deletedItemSlots = kItems / 200,
                               .customers = 1000,
                               .journalDays = 0,
                               .salesPerDay = 40,
                               .maxLines = 7,
                               .keepIn = {}},
               clock.now()),
          store(shop.folder(), clock) {
        // As kassio-server runs: the files are written behind the postings.
        if (Status s = store.files().setApplyBehind(true); !s) fail(s.message());
        if (Status s = store.openData(); !s) fail(s.message());
        store.setSync(true);
        ::sync();  // the generated shop on disk before anything is timed
        store.config().record().options[kOptPermitInsufficientStock] = 2;
        Status error;
        ServerSettings settings;
        settings.listenAddress = "127.0.0.1:0";
        settings.stationKey = kKey;
        server = GrpcStationServer::start(store, settings, {}, &error);
        if (!server) fail(error.message());
    }
    ~Station() { server->stop(); }

    SystemClock clock;
    bench::GeneratedShop shop;
    DataStore store;
    std::unique_ptr<GrpcStationServer> server;
};

Station& station() {
    static Station s;
    return s;
}

// Ten clients, each with a connection of its own, kept for the whole run.
struct Clients {
    Clients() {
        for (int c = 0; c < kClients; ++c) {
            transports.push_back(
                std::make_unique<GrpcStationTransport>(station().server->socketEndpoint(), ""));
            clients.push_back(std::make_unique<StationClient>(*transports.back()));
        }
    }
    std::vector<std::unique_ptr<GrpcStationTransport>> transports;
    std::vector<std::unique_ptr<StationClient>> clients;
};

Clients& clients() {
    static Clients c;
    return c;
}

double percentile(std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1));
    return sorted[i];
}

void report(benchmark::State& state, std::vector<double>& latencies, double seconds, long total,
            const char* unit) {
    std::sort(latencies.begin(), latencies.end());
    state.SetItemsProcessed(total);
    state.counters[std::string(unit) + "/s"] = static_cast<double>(total) / seconds;
    state.counters["p50_us"] = percentile(latencies, 0.50);
    state.counters["p99_us"] = percentile(latencies, 0.99);
    state.counters["max_us"] = latencies.empty() ? 0 : latencies.back();
}

// Runs `calls` calls on each of `stations` clients at once per iteration
// and reports throughput and latency percentiles. call(client, thread, n)
// makes one call and returns false when it failed.
template <typename Call>
void burst(benchmark::State& state, int stations, int calls, const char* unit, Call call) {
    Clients& all = clients();
    std::vector<double> latencies;
    std::mutex latenciesMutex;
    double seconds = 0;
    long total = 0;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        const auto start = Clock::now();
        for (int c = 0; c < stations; ++c) {
            threads.emplace_back([&, c] {
                std::vector<double> mine;
                mine.reserve(static_cast<std::size_t>(calls));
                for (int n = 0; n < calls; ++n) {
                    const auto t0 = Clock::now();
                    if (!call(*all.clients[static_cast<std::size_t>(c)], c, n))
                        fail("a call failed");
                    mine.push_back(
                        std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
                }
                std::lock_guard lock(latenciesMutex);
                latencies.insert(latencies.end(), mine.begin(), mine.end());
            });
        }
        for (auto& t : threads) t.join();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        total += static_cast<long>(stations) * calls;
    }
    report(state, latencies, seconds, total, unit);
}

void BM_ItemLookup10Clients(benchmark::State& state) {
    station();
    burst(state, kClients, 500, "lookups", [](StationClient& client, int c, int n) {
        ItemQuery q;
        std::memset(&q, 0, sizeof q);
        const int64_t number = 1 + (static_cast<int64_t>(c) * 7919 + n * 104729) % kItems;
        std::snprintf(q.text, sizeof q.text, "%lld", static_cast<long long>(number));
        InventoryRecord item;
        return client.findItem(q, item).isOk() && item.number == number;
    });
}
BENCHMARK(BM_ItemLookup10Clients)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The till of the main station posting 10-line cheque sales back to back
// (the till's write pass, then the wait for the disk), while it lives.
class TillPostings {
  public:
    TillPostings() : m_thread([this] { run(); }) {}
    ~TillPostings() {
        m_stop = true;
        m_thread.join();
    }
    long count() const { return m_count; }

  private:
    void run() {
        DataStore& store = station().store;
        auto b = std::make_unique<Basket>();
        for (long n = 0; !m_stop; ++n) {
            std::memset(b.get(), 0, sizeof *b);
            for (int i = 0; i < 10; ++i) {
                b->item[i] = 1 + (n * 37 + i * 997) % static_cast<int64_t>(kItems);
                setFieldText(b->description[i], "TILL ITEM");
                b->non_taxable[i] = b->line_total[i] = 2.0;
            }
            b->line_count = 10;
            b->total_non_taxable = b->subtotal = b->total = 20.0;
            b->clerk = 1;
            setFieldText(b->payment_word, "CH");
            SaleWriteOptions options;
            options.clerkName = "Administrator";
            SalePostOutcome out = writeSale(store, *b, options);
            if (!out.posted || !store.waitDurable(out.ticket)) fail("the till's posting failed");
            ++m_count;
        }
    }
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_count{0};
    std::thread m_thread;
};

// Client c's n-th sale: three lines of items spread over the shop.
std::unique_ptr<Basket> threeLineSale(int c, int n) {
    auto b = std::make_unique<Basket>();
    std::memset(b.get(), 0, sizeof *b);
    for (int i = 0; i < 3; ++i) {
        b->item[i] = 1 + (static_cast<int64_t>(c) * 331 + n * 17 + i * 1009) % kItems;
        setFieldText(b->description[i], "BENCH ITEM");
        b->non_taxable[i] = b->line_total[i] = 1.25;
        b->cost[i] = 0.5;
    }
    b->line_count = 3;
    b->total_non_taxable = b->subtotal = b->total = 3.75;
    b->total_cost = 1.5;
    b->clerk = 1;
    setFieldText(b->payment_word, "Cash");
    return b;
}

void postSales(benchmark::State& state, int stations, bool sync, bool besideTill = false) {
    station().store.setSync(sync);  // no call is in flight between bursts
    std::unique_ptr<TillPostings> till;
    if (besideTill) till = std::make_unique<TillPostings>();
    const auto start = Clock::now();
    burst(state, stations, 20, "postings", [](StationClient& client, int c, int n) {
        auto b = threeLineSale(c, n);
        setFieldText(b->texts[0], "BENCH");
        int32_t code = 0;
        return client.postSale(*b, code).isOk() && code >= kPostedOffset;
    });
    if (till) {
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.counters["till_postings/s"] = static_cast<double>(till->count()) / seconds;
        till.reset();
    }
    station().store.setSync(true);
}

void BM_SalePosting10Clients(benchmark::State& state) {
    postSales(state, kClients, true);
}
BENCHMARK(BM_SalePosting10Clients)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SalePosting10ClientsNoFsync(benchmark::State& state) {
    postSales(state, kClients, false);
}
BENCHMARK(BM_SalePosting10ClientsNoFsync)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_SalePosting10ClientsBesideTill(benchmark::State& state) {
    postSales(state, kClients, true, true);
}
BENCHMARK(BM_SalePosting10ClientsBesideTill)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_SalePosting1Client(benchmark::State& state) {
    postSales(state, 1, true);
}
BENCHMARK(BM_SalePosting1Client)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Client tills, each with a folder of its own and a TCP connection to the
// station's loopback port, as `kassio --station 127.0.0.1:PORT` has.
struct ClientTill {
    explicit ClientTill(int n)
        : folder(station().shop.folder() + "-client-" + std::to_string(n)),
          local((std::filesystem::create_directories(folder), folder), clock),
          transport("127.0.0.1:" + std::to_string(station().server->tcpPort()), kKey),
          client(transport),
          data(client, local, "BENCH " + std::to_string(n)) {
        local.setSync(true);
        if (Status s = local.recover(); !s) fail(s.message());
        if (Status s = data.open(); !s) fail(s.message());
    }
    ~ClientTill() {
        static_cast<void>(local.close());
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
    SystemClock clock;
    DataStore local;
    GrpcStationTransport transport;
    StationClient client;
    StationTillData data;
};

std::vector<std::unique_ptr<ClientTill>>& clientTills() {
    static std::vector<std::unique_ptr<ClientTill>> tills = [] {
        std::vector<std::unique_ptr<ClientTill>> t;
        for (int n = 0; n < kClients; ++n) t.push_back(std::make_unique<ClientTill>(n));
        return t;
    }();
    return tills;
}

void BM_ClientTillRingsAnItem(benchmark::State& state) {
    StationTillData& till = clientTills()[0]->data;
    std::mt19937_64 random(7);
    std::vector<double> latencies;
    double seconds = 0;
    long total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int n = 0; n < 1000; ++n) {
            const int64_t number = 1 + static_cast<int64_t>(random() % kItems);
            const auto t0 = Clock::now();
            auto item = till.item(number, nullptr);
            latencies.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            if (!item || item->number != number) fail("a client till did not find its item");
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        total += 1000;
    }
    report(state, latencies, seconds, total, "lookups");
}
BENCHMARK(BM_ClientTillRingsAnItem)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ClientTillPosting10Clients(benchmark::State& state) {
    auto& tills = clientTills();
    burst(state, kClients, 20, "postings", [&tills](StationClient&, int c, int n) {
        auto b = threeLineSale(c, n);
        TillPostOutcome out = tills[static_cast<std::size_t>(c)]->data.postSale(*b, "BENCH");
        // A sale kept for later would time the disk of the client.
        return out.posted && out.number != 0;
    });
}
BENCHMARK(BM_ClientTillPosting10Clients)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
