// The searches at a million items and a million customers, each beside the
// literal slot-by-slot scan of the file (record_scan.h: the whole file
// read under the DataMutex) in the same run; OpenData with the resident
// memory it leaves; and how long a posting waits for the DataMutex while
// worst-case searches run beside it; the lists and the quick-select page
// at that size.
//
// The shop is 3.3 GB of records. Set KASSIO_BENCH_SHOP to a folder to keep
// it there between runs (a shop found there with the same spec is used as
// it is); else it is written under $TMPDIR and removed at exit.
//
// Before anything is timed every search is checked against its literal
// scan; a difference ends the run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/fixed_text.h"
#include "customers/customer_search.h"
#include "inventory/item_search.h"
#include "listings/record_list.h"
#include "server/station_server.h"
#include "shop_generator.h"
#include "store/data_store.h"
#include "store/record_scan.h"
#include "till/local_till_data.h"
#include "till/posting_internal.h"
#include "till/quick_select.h"

namespace {

using namespace kassio;

constexpr LocalTime kToday{2026, 3, 14, 10, 30, 0};
constexpr std::size_t kItems = 1000000;
constexpr std::size_t kCustomers = 1000000;

bench::FixedClock g_clock{kToday};
using bench::fail;

bench::GeneratedShop& shopFiles() {
    static std::unique_ptr<bench::GeneratedShop> shop;
    if (!shop) {
        bench::ShopSpec spec;
        spec.items = kItems;
        spec.deletedItemSlots = kItems / 200;
        spec.customers = kCustomers;
        spec.seed = 21;
        if (const char* keep = std::getenv("KASSIO_BENCH_SHOP")) spec.keepIn = keep;
        std::fprintf(stderr, "Shop of %zu items and %zu customers%s%s...\n", kItems, kCustomers,
                     spec.keepIn.empty() ? "" : " in ", spec.keepIn.c_str());
        shop = std::make_unique<bench::GeneratedShop>(spec, kToday);
    }
    return *shop;
}

DataStore& store() {
    static std::unique_ptr<DataStore> s;
    if (!s) {
        s = std::make_unique<DataStore>(shopFiles().folder(), g_clock);
        if (Status st = s->openData(); !st) fail("openData: " + st.message());
        s->setSync(false);
        std::atexit([] { static_cast<void>(s->close()); });
    }
    return *s;
}

// ---------------------------------------------------------------------------
// The searches and their literal scans. Each gives the slot it stops at.

using Search = std::function<std::optional<uint64_t>()>;

struct Case {
    const char* name;
    Search memory;
    Search literal;
};

template <typename Hit>
std::optional<uint64_t> slotOf(const std::optional<Hit>& hit) {
    if (!hit) return std::nullopt;
    return hit->slot;
}

std::optional<uint64_t> literalScan(const RecordFile& file,
                                    std::function<bool(uint64_t, const unsigned char*)> test,
                                    std::function<bool(uint64_t)> pass = everySlot) {
    Status error;
    auto hit = scanFrom(
        store(), file, 0, pass,
        [&](uint64_t slot, const unsigned char* rec) {
            return recordNumber(rec) > 0 && test(slot, rec);
        },
        &error);
    if (!error) fail("literal scan: " + error.message());
    if (!hit) return std::nullopt;
    return hit->slot;
}

bool has(const unsigned char* rec, std::size_t offset, std::size_t width, const std::string& q) {
    return fieldView(rec, offset, width).find(q) != std::string_view::npos;
}

// The description of the item in the last live slot, whose item number has
// six digits: a text no earlier description holds.
std::string lastSlotDescription(uint64_t* slotOut) {
    bench::GeneratedShop& shop = shopFiles();
    for (std::size_t slot = shop.itemSlots(); slot-- > 0;) {
        if (!shop.slotLive(slot) || shop.itemAtSlot(slot) < 100001) continue;
        InventoryRecord r;
        auto lock = store().lock();
        if (!store().items().read(slot, &r)) fail("cannot read the last item");
        *slotOut = slot;
        return fieldText(r.description);
    }
    fail("no item in the last slots");
}

std::vector<Case>& cases() {
    static std::vector<Case> all;
    if (!all.empty()) return all;
    static DataStore& s = store();
    static const RecordFile& items = s.items();
    static const RecordFile& customers = s.customers();
    static uint64_t lastSlot = 0;
    static const std::string last = lastSlotDescription(&lastSlot);
    static const std::string none = "QQZQ";
    // "??" passes every slot's prefix: the worst case of the initials.
    static const std::string everyPrefix = "??ZQ";
    constexpr std::size_t kDesc = offsetof(InventoryRecord, description);
    constexpr std::size_t kName = offsetof(CustomerRecord, name);
    auto itemPrefix = [](const std::string& q) {
        return [q](uint64_t slot) { return prefixMatches(q, items.index().prefix(slot)); };
    };
    auto initialsOf = [](std::size_t offset, std::size_t width, const std::string& q) {
        return [offset, width, q](uint64_t, const unsigned char* rec) {
            return initialsMatch(q, reinterpret_cast<const char*>(rec + offset), width);
        };
    };
    auto skuAny = [](const std::string& q) {
        return [q](uint64_t, const unsigned char* rec) {
            for (std::size_t o : {offsetof(InventoryRecord, sku1), offsetof(InventoryRecord, sku2),
                                  offsetof(InventoryRecord, sku3), offsetof(InventoryRecord, sku4)})
                if (has(rec, o, 40, q)) return true;
            return false;
        };
    };
    static StationServer server(store());
    auto station = [](int64_t from, const std::string& text) -> std::optional<uint64_t> {
        ItemQuery q{};
        q.from = from;
        setFieldText(q.text, text);
        InventoryRecord out;
        server.findItem(q, out);
        if (out.number == 0) return std::nullopt;
        auto lock = store().lock();
        return store().items().find(out.number);
    };
    auto stationCustomer = [](const std::string& name) -> std::optional<uint64_t> {
        CustomerQuery q{};
        setFieldText(q.name, name);
        CustomerRecord out;
        server.findCustomer(q, out);
        if (out.number == 0) return std::nullopt;
        auto lock = store().lock();
        return store().customers().find(out.number);
    };

    static Status e;
    all = {
        {"ItemInitials/no_match_every_prefix",
         [&] { return slotOf(nextByInitials(s, everyPrefix, 0, &e)); },
         [=] {
             return literalScan(items, initialsOf(kDesc, 40, everyPrefix), itemPrefix(everyPrefix));
         }},
        {"ItemInitials/last_slot", [&] { return slotOf(nextByInitials(s, last, 0, &e)); },
         [=] { return literalScan(items, initialsOf(kDesc, 40, last), itemPrefix(last)); }},
        {"ItemFragment/no_match",
         [&] { return slotOf(nextByFragment(s, FragmentField::kDescription, none, 0, &e)); },
         [=] {
             return literalScan(
                 items, [](uint64_t, const unsigned char* r) { return has(r, kDesc, 40, none); });
         }},
        {"ItemFragment/last_slot",
         [&] { return slotOf(nextByFragment(s, FragmentField::kDescription, last, 0, &e)); },
         [=] {
             return literalScan(
                 items, [](uint64_t, const unsigned char* r) { return has(r, kDesc, 40, last); });
         }},
        {"ItemSku1Fragment/no_match",
         [&] { return slotOf(nextByFragment(s, FragmentField::kSku1, none, 0, &e)); },
         [=] {
             return literalScan(items, [](uint64_t, const unsigned char* r) {
                 return has(r, offsetof(InventoryRecord, sku1), 40, none);
             });
         }},
        {"ItemAdvancedAll/no_match",
         [&] {
             AdvancedQuery q;
             q.all = true;
             q.description = "e";  // in most descriptions
             q.sku[0] = none;
             return slotOf(nextAdvanced(s, q, 0, &e));
         },
         [=] {
             AdvancedQuery q;
             q.all = true;
             q.description = "e";
             q.sku[0] = none;
             return literalScan(items, [q](uint64_t, const unsigned char* r) {
                 return advancedMatches(q, *reinterpret_cast<const InventoryRecord*>(r));
             });
         }},
        {"StationItemPattern/no_match_every_prefix", [=] { return station(0, everyPrefix); },
         [=] {
             return literalScan(items, initialsOf(kDesc, 40, everyPrefix), itemPrefix(everyPrefix));
         }},
        {"StationSkuFragment/no_match", [=] { return station(-2, none); },
         [=] { return literalScan(items, skuAny(none)); }},
        {"CustomerName/no_match_every_prefix",
         [&] { return slotOf(nextByName(s, everyPrefix, 0, &e)); },
         [=] {
             return literalScan(customers, initialsOf(kName, 30, everyPrefix), [](uint64_t slot) {
                 return prefixMatches(everyPrefix, customers.index().prefix(slot));
             });
         }},
        {"CustomerNameFragment/no_match",
         [&] { return slotOf(nextByNameFragment(s, none, 0, &e)); },
         [=] {
             return literalScan(customers, [](uint64_t, const unsigned char* r) {
                 return has(r, kName, 30, none);
             });
         }},
        {"CustomerTelephone/no_match", [&] { return slotOf(nextByTelephone(s, none, 0, &e)); },
         [=] {
             return literalScan(customers, [](uint64_t, const unsigned char* r) {
                 return has(r, offsetof(CustomerRecord, telephone), 20, none) ||
                        has(r, offsetof(CustomerRecord, telephone2), 20, none);
             });
         }},
        {"CustomerAddress/no_match", [&] { return slotOf(nextByAddress(s, none, 0, &e)); },
         [=] {
             return literalScan(customers, [](uint64_t, const unsigned char* r) {
                 return has(r, offsetof(CustomerRecord, road), 30, none) ||
                        has(r, offsetof(CustomerRecord, area), 30, none) ||
                        has(r, offsetof(CustomerRecord, town), 30, none) ||
                        has(r, offsetof(CustomerRecord, postcode), 10, none);
             });
         }},
        {"StationCustomer/no_match_every_prefix", [=] { return stationCustomer(everyPrefix); },
         [=] {
             return literalScan(customers, initialsOf(kName, 30, everyPrefix), [](uint64_t slot) {
                 return prefixMatches(everyPrefix, customers.index().prefix(slot));
             });
         }},
    };
    for (const Case& c : all) {
        auto a = c.memory();
        auto b = c.literal();
        if (a != b) fail(std::string(c.name) + ": the search and the literal scan differ");
        const bool wantHit = std::string(c.name).find("last_slot") != std::string::npos;
        if (a.has_value() != wantHit || (wantHit && *a != lastSlot))
            fail(std::string(c.name) + ": not the answer the case is made for");
    }
    return all;
}

void runCase(benchmark::State& state, std::size_t index, bool literal) {
    const Case& c = cases()[index];
    for (auto _ : state) benchmark::DoNotOptimize(literal ? c.literal() : c.memory());
}

// ---------------------------------------------------------------------------
// OpenData, and reading the two files once from end to end beside it.

void OpenData(benchmark::State& state) {
    store();  // the shop exists and the page cache holds it
    std::unique_ptr<DataStore> fresh;
    for (auto _ : state) {
        state.PauseTiming();
        fresh.reset();
        fresh = std::make_unique<DataStore>(shopFiles().folder(), g_clock);
        state.ResumeTiming();
        if (Status st = fresh->openData(DataStore::OpenMode::kReadOnly); !st)
            fail("openData: " + st.message());
    }
    state.counters["rss_mb"] = static_cast<double>(bench::residentKilobytes()) / 1024.0;
    state.counters["item_texts_mb"] =
        static_cast<double>(fresh->itemTexts().memoryBytes()) / 1048576.0;
    state.counters["customer_texts_mb"] =
        static_cast<double>(fresh->customerTexts().memoryBytes()) / 1048576.0;
}

void ReadFilesLiteral(benchmark::State& state) {
    std::vector<unsigned char> buf(4 << 20);
    for (auto _ : state) {
        for (const char* name : {"/inventory.dat", "/customer.dat"}) {
            std::FILE* f = std::fopen((shopFiles().folder() + name).c_str(), "rb");
            if (!f) fail("cannot open the shop's files");
            while (std::fread(buf.data(), 1, buf.size(), f) > 0) benchmark::ClobberMemory();
            std::fclose(f);
        }
    }
}

// ---------------------------------------------------------------------------
// A posting's wait for the DataMutex while another thread runs worst-case
// searches one after another: the in-memory ones, or the literal scans.

void PostingBesideSearches(benchmark::State& state, bool literal) {
    DataStore& s = store();
    const auto& all = cases();
    std::atomic<bool> stop{false};
    std::atomic<long> searches{0};
    std::thread searcher([&] {
        for (std::size_t i = 0; !stop; i = (i + 1) % all.size()) {
            benchmark::DoNotOptimize(literal ? all[i].literal() : all[i].memory());
            ++searches;
        }
    });
    std::vector<double> waits;
    auto basket = std::make_unique<Basket>();
    long n = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        {
            auto lock = s.lock();
            waits.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        }
        std::memset(basket.get(), 0, sizeof *basket);
        for (int i = 0; i < 10; ++i) {
            basket->item[i] = 1 + (n * 37 + i * 997) % static_cast<int64_t>(kItems);
            setFieldText(basket->description[i], "BENCH ITEM");
            basket->non_taxable[i] = basket->line_total[i] = 2.0;
        }
        ++n;
        basket->line_count = 10;
        basket->total_non_taxable = basket->subtotal = basket->total = 20.0;
        basket->clerk = 1;
        setFieldText(basket->payment_word, "CH");
        SaleWriteOptions options;
        options.clerkName = "Administrator";
        SalePostOutcome out = writeSale(s, *basket, options);
        if (!out.posted || !s.waitDurable(out.ticket)) fail("posting failed");
        // A till posts now and then, not back to back.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    searcher.join();
    std::sort(waits.begin(), waits.end());
    state.counters["wait_max_ms"] = waits.back();
    state.counters["wait_p99_ms"] = waits[waits.size() * 99 / 100];
    state.counters["wait_p50_ms"] = waits[waits.size() / 2];
    state.counters["searches"] = static_cast<double>(searches);
}

// ---------------------------------------------------------------------------
// A list ready on screen: its work file sorted and written where the kind
// has one, and the first page read back; the quick-select page filled for
// every category and paged forward.

void List(benchmark::State& state, ListKind kind, std::string text, std::string endText) {
    DataStore& s = store();
    ListRequest r;
    r.kind = kind;
    r.text = std::move(text);
    r.endText = std::move(endText);
    std::size_t rows = 0;
    for (auto _ : state) {
        Status error;
        auto source = makeListSource(s, r, &error);
        if (!source) fail("list: " + error.message());
        ListPager pager(*source);
        if (Status st = pager.open(); !st) fail("list: " + st.message());
        rows = pager.found();
    }
    if (rows == 0) fail("a list found nothing");
    state.counters["first_page_rows"] = static_cast<double>(rows);
    // One store open: what the station holds with the list made.
    state.counters["rss_mb"] = static_cast<double>(bench::residentKilobytes()) / 1024.0;
    state.counters["kept_mb"] =
        static_cast<double>(s.itemTexts().memoryBytes() + s.customerTexts().memoryBytes()) /
        1048576.0;
}

void QuickSelect(benchmark::State& state, int category) {
    LocalTillData data(store());
    QuickSelectPage page(store(), data);
    page.setVisibleButtons(kQuickSelectButtons);
    for (auto _ : state) {
        page.selectCategory(category);
        page.fill();
        page.forward();
        benchmark::DoNotOptimize(page.itemAt(0));
    }
    if (page.itemAt(0) == 0) fail("the quick-select page is empty");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The process's CPU time: the customers load on a thread of their own.
    benchmark::RegisterBenchmark("OpenData/1M_items_1M_customers", OpenData)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("ReadFilesLiteral/1M_items_1M_customers", ReadFilesLiteral)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Iterations(3);
    const struct {
        const char* name;
        ListKind kind;
        const char* text;
        const char* endText;
    } lists[] = {
        {"List/items_A_to_Z", ListKind::kItemsAlphabetical, "A", "Z"},
        {"List/items_by_sku_fragment", ListKind::kItemsBySku, "1", ""},
        {"List/items_top_volume", ListKind::kItemsTopVolume, "", ""},
        {"List/items_from_number", ListKind::kItemsFromNumber, "", ""},
        {"List/customers_A_to_Z", ListKind::kCustomersAlphabetical, "A", "Z"},
        {"List/customers_from_number", ListKind::kCustomersFromNumber, "", ""},
    };
    for (const auto& l : lists)
        benchmark::RegisterBenchmark(
            l.name, [l](benchmark::State& st) { List(st, l.kind, l.text, l.endText); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.5);
    for (int category : {0, kAllCategories})
        benchmark::RegisterBenchmark(
            (std::string("QuickSelect/fill_and_forward/category_") + std::to_string(category))
                .c_str(),
            [category](benchmark::State& st) { QuickSelect(st, category); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    for (std::size_t i = 0; i < cases().size(); ++i) {
        for (bool literal : {false, true}) {
            std::string name = std::string(literal ? "Literal/" : "Memory/") + cases()[i].name;
            benchmark::RegisterBenchmark(
                name.c_str(), [i, literal](benchmark::State& st) { runCase(st, i, literal); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(literal ? 0.5 : 0.3);
        }
    }
    for (bool literal : {false, true})
        benchmark::RegisterBenchmark(
            literal ? "PostingBesideSearches/literal_scans" : "PostingBesideSearches/memory",
            [literal](benchmark::State& st) { PostingBesideSearches(st, literal); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(literal ? 100 : 400);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
