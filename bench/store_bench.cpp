// Speed of the data store on generated shops, with the page cache warm.
//
// Where the store replaced a slow but obviously right way of doing something
// (insertion-sorted index, linear number scan, slot-by-slot SKU scan), that
// way is kept here as a "...Literal" benchmark. It is the reference twice
// over: each shop checks once, outside the timing, that the store gives the
// same answers, and the report ends with how many times faster the store is.
//
// A failed check or a store error ends the run with a message: a figure
// from a store that gives wrong answers is worth nothing.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/fixed_text.h"
#include "shop_generator.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/inventory_record.h"
#include "store/items.h"
#include "store/record_index.h"

namespace {

using namespace kassio;
using bench::GeneratedShop;
using bench::ShopSpec;

constexpr LocalTime kToday{2026, 3, 14, 10, 30, 0};

bench::FixedClock g_clock{kToday};
using bench::fail;

// One shop per size for the whole run: making the large one writes a third
// of a gigabyte. Removed at exit with the map.
GeneratedShop& shopOf(std::size_t items, std::size_t customers) {
    static std::map<std::pair<std::size_t, std::size_t>, std::unique_ptr<GeneratedShop>> shops;
    auto& shop = shops[{items, customers}];
    if (!shop) {
        std::fprintf(stderr, "Generating a shop of %zu items and %zu customers...\n", items,
                     customers);
        // Half a percent of the slots are deleted items, as in a shop that
        // has been trading for a while.
        ShopSpec spec;
        spec.items = items;
        spec.deletedItemSlots = items / 200;
        spec.customers = customers;
        spec.seed = items * 1000003 + customers;
        shop = std::make_unique<GeneratedShop>(spec, kToday);
    }
    return *shop;
}

// The shop opened once, for the benchmarks that work on a running store.
// Declared after shopOf's map, so destroyed before the shops' folders go.
DataStore& openedStore(GeneratedShop& shop) {
    static std::map<std::string, std::unique_ptr<DataStore>> stores;
    auto& store = stores[shop.folder()];
    if (!store) {
        store = std::make_unique<DataStore>(shop.folder(), g_clock);
        if (Status s = store->openData(); !s) fail("openData: " + s.message());
    }
    return *store;
}

std::size_t arg(const benchmark::State& state, int i) {
    return static_cast<std::size_t>(state.range(i));
}

// ---------------------------------------------------------------------------
// 1. OpenData

void OpenData(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 1));
    static std::map<std::string, bool> checked;
    if (!checked[shop.folder()]) {
        // This first open also brings the files into the page cache.
        DataStore store(shop.folder(), g_clock);
        if (Status s = store.openData(); !s) fail("openData: " + s.message());
        const RecordIndex& items = store.items().index();
        const RecordIndex& customers = store.customers().index();
        if (items.slotCount() != shop.itemSlots() || items.liveCount() != shop.spec().items ||
            customers.liveCount() != shop.spec().customers ||
            store.suppliers().index().slotCount() != 1 ||
            store.suppliers().index().liveCount() != 0)
            fail("openData did not load the shop as it was written");
        checked[shop.folder()] = true;
    }

    const auto bytes = static_cast<int64_t>(shop.itemSlots() * kInventoryRecordSize +
                                            shop.spec().customers * kCustomerRecordSize);
    std::unique_ptr<DataStore> store;
    for (auto _ : state) {
        // A fresh store each time, as at start: the previous one's index and
        // SKU lookup are freed outside the timing.
        state.PauseTiming();
        store.reset();
        store = std::make_unique<DataStore>(shop.folder(), g_clock);
        state.ResumeTiming();
        if (Status s = store->openData(); !s) fail("openData: " + s.message());
    }
    state.SetBytesProcessed(bytes * static_cast<int64_t>(state.iterations()));
    // The whole program's resident memory with the shop open.
    state.counters["rss_mb"] = static_cast<double>(bench::residentKilobytes()) / 1024.0;
}
BENCHMARK(OpenData)
    ->Args({100000, 100000})
    ->Args({1000000, 1000000})
    ->ArgNames({"items", "customers"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// ---------------------------------------------------------------------------
// 2. Building the number index at load

struct SlotInput {
    int64_t number;
    RecordIndex::Prefix prefix;
};

struct LiteralIndex {
    std::vector<IndexEntry> entries;
    std::vector<RecordIndex::Prefix> prefix;
};

// The index as the store first built it: every slot appended in file order,
// then a stable insertion sort (quadratic, which is why it was replaced).
void literalBuild(const std::vector<SlotInput>& slots, LiteralIndex& index) {
    index.entries.clear();
    index.prefix.clear();
    index.entries.reserve(slots.size() + 200);
    index.prefix.reserve(slots.size() + 200);
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        index.entries.push_back({slots[slot].number, slot});
        index.prefix.push_back(slots[slot].prefix);
    }
    auto& e = index.entries;
    for (std::size_t i = 1; i < e.size(); ++i) {
        const IndexEntry moving = e[i];
        std::size_t j = i;
        for (; j > 0 && e[j - 1].number > moving.number; --j) e[j] = e[j - 1];
        e[j] = moving;
    }
}

void realBuild(const std::vector<SlotInput>& slots, RecordIndex& index) {
    index.beginBuild(slots.size());
    for (const SlotInput& s : slots) index.addSlot(s.number, s.prefix);
    index.finishBuild();
}

void checkIndexBuild(const std::vector<SlotInput>& slots) {
    LiteralIndex literal;
    literalBuild(slots, literal);
    RecordIndex real(200);
    realBuild(slots, real);
    const auto& e = real.entries();
    if (e.size() != literal.entries.size()) fail("index build: entry counts differ");
    for (std::size_t i = 0; i < e.size(); ++i)
        if (e[i].number != literal.entries[i].number || e[i].slot != literal.entries[i].slot)
            fail("index build: entry " + std::to_string(i) + " differs from the insertion sort");
    for (std::size_t slot = 0; slot < slots.size(); ++slot)
        if (real.prefix(slot) != literal.prefix[slot]) fail("index build: prefix table differs");
}

// inventory.dat's numbers and prefixes in slot order, with the deleted rule
// the item file loads by (a number of 0 or below is a deleted slot).
const std::vector<SlotInput>& slotInputs(const GeneratedShop& shop) {
    static std::map<std::string, std::vector<SlotInput>> cache;
    auto& slots = cache[shop.folder()];
    if (!slots.empty()) return slots;
    auto data = readWholeFile(shop.folder() + "/inventory.dat");
    if (!data || data->size() % kInventoryRecordSize != 0) fail("cannot read inventory.dat");
    for (std::size_t at = 0; at < data->size(); at += kInventoryRecordSize) {
        InventoryRecord r;
        std::memcpy(&r, data->data() + at, sizeof r);
        if (r.number <= 0)
            slots.push_back({kDeletedNumber, {}});
        else
            slots.push_back({r.number, {r.description[0], r.description[1]}});
    }
    // Checked once per shop, before anything is timed.
    checkIndexBuild(slots);
    return slots;
}

void IndexBuild(benchmark::State& state) {
    const auto& slots = slotInputs(shopOf(arg(state, 0), 1000));
    RecordIndex index(200);
    for (auto _ : state) {
        realBuild(slots, index);
        benchmark::DoNotOptimize(index.entries().data());
    }
}
BENCHMARK(IndexBuild)->Arg(20000)->ArgName("items")->Unit(benchmark::kMicrosecond)->UseRealTime();

void IndexBuildLiteral(benchmark::State& state) {
    const auto& slots = slotInputs(shopOf(arg(state, 0), 1000));
    LiteralIndex index;
    for (auto _ : state) {
        literalBuild(slots, index);
        benchmark::DoNotOptimize(index.entries.data());
    }
}
BENCHMARK(IndexBuildLiteral)
    ->Arg(20000)
    ->ArgName("items")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// ---------------------------------------------------------------------------
// 3. Find by number

// The lookup as the store first made it: a scan from the front to the first
// entry not below the number; the item exists when that entry has the
// number itself.
std::optional<uint64_t> literalFind(const std::vector<IndexEntry>& entries, int64_t number) {
    std::size_t i = 0;
    while (i < entries.size() && entries[i].number < number) ++i;
    if (i < entries.size() && entries[i].number == number) return entries[i].slot;
    return std::nullopt;
}

struct NumberLookups {
    RecordIndex index{200};
    std::vector<int64_t> queries;  // a power of two of them, hits and misses mixed
};

const NumberLookups& numberLookups(std::size_t entries) {
    static std::map<std::size_t, std::unique_ptr<NumberLookups>> cache;
    auto& made = cache[entries];
    if (made) return *made;
    made = std::make_unique<NumberLookups>();
    NumberLookups& nl = *made;

    // Odd numbers for the live items, so every even number up to just above
    // the top is a miss that lands between two entries (or past the last);
    // half a percent of the slots are deleted.
    std::mt19937_64 rng(entries);
    const std::size_t live = entries - entries / 200;
    std::vector<int64_t> bySlot(entries);
    for (std::size_t i = 0; i < entries; ++i)
        bySlot[i] = i < live ? static_cast<int64_t>(2 * i + 1) : kDeletedNumber;
    std::shuffle(bySlot.begin(), bySlot.end(), rng);
    nl.index.beginBuild(entries);
    for (int64_t n : bySlot) nl.index.addSlot(n, {'I', 't'});
    nl.index.finishBuild();

    std::uniform_int_distribution<int64_t> anyOf(1, static_cast<int64_t>(live));
    nl.queries.resize(1 << 16);
    for (std::size_t i = 0; i < nl.queries.size(); ++i)
        nl.queries[i] = i % 2 ? 2 * anyOf(rng) - 1 : 2 * anyOf(rng);
    std::shuffle(nl.queries.begin(), nl.queries.end(), rng);

    // Every query against what the slots hold; a sample against the scan.
    std::unordered_map<int64_t, uint64_t> slotOf;
    for (std::size_t s = 0; s < bySlot.size(); ++s)
        if (bySlot[s] > 0) slotOf[bySlot[s]] = s;
    for (std::size_t i = 0; i < nl.queries.size(); ++i) {
        const int64_t n = nl.queries[i];
        auto found = nl.index.find(n);
        auto held = slotOf.find(n);
        std::optional<uint64_t> expected;
        if (held != slotOf.end()) expected = held->second;
        if (found != expected) fail("find by number: wrong answer for " + std::to_string(n));
        if (i < 300 && literalFind(nl.index.entries(), n) != found)
            fail("find by number: differs from the scan for " + std::to_string(n));
    }
    return nl;
}

// Each lookup is made to wait for the one before (the shift is always 0,
// which the compiler cannot know), as a till's lookups do; otherwise the CPU
// overlaps the cache misses of successive lookups and the figure is a
// throughput, not the time one lookup takes.
template <typename Find>
void timeLookups(benchmark::State& state, const NumberLookups& nl, Find find) {
    const std::size_t mask = nl.queries.size() - 1;
    std::size_t i = 0;
    for (auto _ : state) {
        std::optional<uint64_t> slot = find(nl.queries[i]);
        benchmark::DoNotOptimize(slot);
        i = (i + 1 + static_cast<std::size_t>(slot.value_or(0) >> 63)) & mask;
    }
}

void FindNumber(benchmark::State& state) {
    const NumberLookups& nl = numberLookups(arg(state, 0));
    timeLookups(state, nl, [&nl](int64_t n) { return nl.index.find(n); });
}
BENCHMARK(FindNumber)
    ->Arg(1000000)
    ->ArgName("entries")
    ->Unit(benchmark::kNanosecond)
    ->UseRealTime();

void FindNumberLiteral(benchmark::State& state) {
    const NumberLookups& nl = numberLookups(arg(state, 0));
    timeLookups(state, nl, [&nl](int64_t n) { return literalFind(nl.index.entries(), n); });
}
BENCHMARK(FindNumberLiteral)
    ->Arg(1000000)
    ->ArgName("entries")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// ---------------------------------------------------------------------------
// 4. SKU 1 lookup

// fieldText(field) == text, without making a string for every slot.
template <std::size_t N>
bool sameText(const char (&field)[N], const std::string& text) {
    const void* nul = std::memchr(field, 0, N);
    const std::size_t len =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N;
    return len == text.size() && std::memcmp(field, text.data(), len) == 0;
}

// The first SKU lookup: inventory.dat read one record at a time from the
// first slot, passing by every slot whose prefix-table entry is empty (a
// deleted slot still holds its old text), to the first SKU 1 that matches.
std::optional<uint64_t> literalFindSku1(DataStore& store, const std::string& sku,
                                        InventoryRecord& item) {
    auto lock = store.lock();
    auto f = File::open(store.items().path(), File::Mode::kRead);
    if (!f) return std::nullopt;
    const RecordIndex& index = store.items().index();
    for (uint64_t slot = 0;; ++slot) {
        if (f->readAt(slot * kInventoryRecordSize, &item, kInventoryRecordSize) !=
            static_cast<long long>(kInventoryRecordSize))
            return std::nullopt;
        if (index.prefix(slot)[0] == 0) continue;
        if (sameText(item.sku1, sku)) return slot;
    }
}

// What the literal lookup answers for every SKU at once: one pass over the
// file by the same rules, keeping the first slot for each SKU.
std::unordered_map<std::string, uint64_t> literalAnswers(DataStore& store) {
    auto lock = store.lock();
    auto data = readWholeFile(store.items().path());
    if (!data) fail("cannot read inventory.dat");
    const RecordIndex& index = store.items().index();
    std::unordered_map<std::string, uint64_t> first;
    const std::size_t slots = data->size() / kInventoryRecordSize;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (index.prefix(slot)[0] == 0) continue;
        InventoryRecord r;
        std::memcpy(&r, data->data() + slot * kInventoryRecordSize, sizeof r);
        first.emplace(fieldText(r.sku1), slot);
    }
    return first;
}

const std::vector<std::string>& skuQueries(GeneratedShop& shop) {
    static std::map<std::string, std::vector<std::string>> cache;
    auto& queries = cache[shop.folder()];
    if (!queries.empty()) return queries;
    DataStore& store = openedStore(shop);

    // Every SKU the file holds, live or left in a deleted slot, and a few it
    // does not, against the one-pass answers; a sample against the scan.
    const auto answers = literalAnswers(store);
    auto expected = [&answers](const std::string& sku) -> std::optional<uint64_t> {
        auto it = answers.find(sku);
        if (it == answers.end()) return std::nullopt;
        return it->second;
    };
    auto storeAnswer = [&store](const std::string& sku) {
        auto lock = store.lock();
        return store.skus().find(sku);
    };
    std::vector<std::string> sample;
    for (std::size_t slot = 0; slot < shop.itemSlots(); ++slot) {
        const std::string sku = GeneratedShop::sku1For(shop.itemAtSlot(slot));
        if (storeAnswer(sku) != expected(sku)) fail("SKU 1 lookup: wrong slot for " + sku);
        const bool early = slot < 3, late = slot + 3 >= shop.itemSlots();
        if (early || late || (!shop.slotLive(slot) && sample.size() < 7)) sample.push_back(sku);
    }
    for (std::string absent : {"", "5", "50000000000000", "no such sku"}) {
        if (storeAnswer(absent) != expected(absent))
            fail("SKU 1 lookup: wrong for '" + absent + "'");
        sample.push_back(absent);
    }
    for (const std::string& sku : sample) {
        InventoryRecord item;
        if (literalFindSku1(store, sku, item) != storeAnswer(sku))
            fail("SKU 1 lookup: differs from the slot-by-slot scan for '" + sku + "'");
    }

    std::mt19937_64 rng(shop.itemSlots());
    std::uniform_int_distribution<std::size_t> anySlot(0, shop.itemSlots() - 1);
    while (queries.size() < 4096) {
        const std::size_t slot = anySlot(rng);
        if (shop.slotLive(slot)) queries.push_back(GeneratedShop::sku1For(shop.itemAtSlot(slot)));
    }
    return queries;
}

void FindSku1(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 0));
    const auto& queries = skuQueries(shop);
    DataStore& store = openedStore(shop);
    std::size_t i = 0;
    for (auto _ : state) {
        auto item = findItemBySku1(store, queries[i]);
        if (!item) fail("findItemBySku1 missed " + queries[i]);
        benchmark::DoNotOptimize(item);
        i = (i + 1) % queries.size();
    }
}
BENCHMARK(FindSku1)->Arg(100000)->ArgName("items")->Unit(benchmark::kMicrosecond)->UseRealTime();

// The SKU lookup alone, without reading the record: how much of FindSku1
// is the lookup and how much the file.
void FindSku1IndexOnly(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 0));
    const auto& queries = skuQueries(shop);
    DataStore& store = openedStore(shop);
    std::size_t i = 0;
    for (auto _ : state) {
        auto lock = store.lock();
        auto slot = store.skus().find(queries[i]);
        benchmark::DoNotOptimize(slot);
        i = (i + 1) % queries.size();
    }
}
BENCHMARK(FindSku1IndexOnly)
    ->Arg(100000)
    ->ArgName("items")
    ->Unit(benchmark::kNanosecond)
    ->UseRealTime();

// Reading one item record by its slot, which every lookup that returns an
// item ends with: open, fstat, pread and close of inventory.dat.
void ReadItemRecord(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 0));
    DataStore& store = openedStore(shop);
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::size_t> anySlot(0, shop.itemSlots() - 1);
    std::vector<uint64_t> slots(4096);
    for (auto& slot : slots) slot = anySlot(rng);
    std::size_t i = 0;
    InventoryRecord item;
    for (auto _ : state) {
        auto lock = store.lock();
        if (Status s = store.items().read(slots[i], &item); !s) fail("read: " + s.message());
        benchmark::DoNotOptimize(item);
        i = (i + 1) % slots.size();
    }
}
BENCHMARK(ReadItemRecord)
    ->Arg(100000)
    ->ArgName("items")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void FindSku1Literal(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 0));
    const auto& queries = skuQueries(shop);
    DataStore& store = openedStore(shop);
    std::size_t i = 0;
    InventoryRecord item;
    for (auto _ : state) {
        auto slot = literalFindSku1(store, queries[i], item);
        if (!slot) fail("the slot-by-slot scan missed " + queries[i]);
        benchmark::DoNotOptimize(item);
        i = (i + 1) % queries.size();
    }
}
BENCHMARK(FindSku1Literal)
    ->Arg(100000)
    ->ArgName("items")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// ---------------------------------------------------------------------------
// 5. Create and delete an item

void CreateDeleteItem(benchmark::State& state) {
    GeneratedShop& shop = shopOf(arg(state, 0), arg(state, 0));
    const bool sync = state.range(1) != 0;
    DataStore& store = openedStore(shop);
    const std::size_t liveBefore = store.items().index().liveCount();
    const std::size_t slotsBefore = store.items().index().slotCount();

    // The number the form would offer: above every item, so the new entry
    // sorts at the far end of the index.
    const int64_t number = suggestItemNumber(store);
    InventoryRecord item = blankItem(store.config(), kToday);
    item.number = number;
    setFieldText(item.description, "Trial item");
    setFieldText(item.sku1, "TRIAL-1");
    item.retail_price = 1.99;
    item.cost_price = 1.10;
    item.quantity = 5;

    using Clock = std::chrono::steady_clock;
    Clock::duration creating{}, deleting{};
    store.setSync(sync);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (Status s = createItem(store, item); !s) fail("createItem: " + s.message());
        const auto t1 = Clock::now();
        if (Status s = deleteItem(store, number); !s) fail("deleteItem: " + s.message());
        const auto t2 = Clock::now();
        creating += t1 - t0;
        deleting += t2 - t1;
    }
    store.setSync(true);

    // A create reuses a deleted slot, so the shop is back where it was.
    const RecordIndex& index = store.items().index();
    if (index.liveCount() != liveBefore || index.slotCount() != slotsBefore ||
        store.items().find(number))
        fail("create and delete did not leave the shop as it was");

    auto micros = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    state.counters["create_us"] =
        benchmark::Counter(micros(creating), benchmark::Counter::kAvgIterations);
    state.counters["delete_us"] =
        benchmark::Counter(micros(deleting), benchmark::Counter::kAvgIterations);
}
BENCHMARK(CreateDeleteItem)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"items", "sync"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// ---------------------------------------------------------------------------

// The console table, then each literal reference against the store's own
// benchmark of the same name and arguments.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    using ConsoleReporter::ConsoleReporter;

    // With repetitions the median stands for the benchmark; it comes after
    // the repetitions themselves, so it overwrites them.
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations <= 0) continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" &&
                                r.aggregate_unit == benchmark::kTime;
            if (r.run_type == Run::RT_Iteration || median)
                m_seconds[r.run_name.str()] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        bool any = false;
        for (const auto& [name, seconds] : m_seconds) {
            const std::string kWord = "Literal";
            const auto at = name.find(kWord);
            if (at == std::string::npos) continue;
            const std::string fast = name.substr(0, at) + name.substr(at + kWord.size());
            const auto it = m_seconds.find(fast);
            if (it == m_seconds.end() || it->second <= 0) continue;
            if (!any) out << "\nTimes faster than the literal reference (real time):\n";
            any = true;
            char line[256];
            std::snprintf(line, sizeof line, "  %-40s %12.1fx\n", fast.c_str(),
                          seconds / it->second);
            out << line;
        }
    }

  private:
    std::map<std::string, double> m_seconds;
};

// ---------------------------------------------------------------------------
// Recovery: the start after a crash that left a journal of N postings, each
// shaped like a 10-line sale (ten item records, the year index entry, the
// SaleRecord, ten SaleLineRecords, the ActivityLog text and kq.cfg).

void Recovery(benchmark::State& state) {
    const auto postings = static_cast<int>(state.range(0));
    GeneratedShop& shop = shopOf(1000, 100);
    const std::string journal = shop.folder() + "/posting.journal";
    const std::string saved = shop.folder() + "/posting.journal.saved";
    static std::map<int, bool> made;
    if (!made[postings]) {
        DataStore store(shop.folder(), g_clock);
        store.setSync(false);
        store.files().setCheckpointBytes(UINT64_MAX);
        if (Status s = store.openData(); !s) fail("openData: " + s.message());
        if (!store.journal().ensureDayFolders(kToday)) fail("day folders");
        std::mt19937_64 rng(5);
        InventoryRecord item;
        SaleRecord sale;
        std::memset(&sale, 0, sizeof sale);
        std::vector<SaleLineRecord> lines(10);
        std::memset(lines.data(), 0, lines.size() * sizeof(SaleLineRecord));
        const std::string text(300, 'x');
        for (int p = 0; p < postings; ++p) {
            StoreFiles::Batch batch(store.files());
            for (int i = 0; i < 10; ++i) {
                const uint64_t slot = rng() % store.items().index().slotCount();
                if (!store.items().read(slot, &item)) fail("read");
                item.total_sold += 1;
                if (!store.items().write(slot, &item)) fail("write");
            }
            sale.number = p + 1;
            if (!store.journal().appendYearIndex(kToday, {p + 1, kToday.day, kToday.month}) ||
                !store.journal().appendSale(kToday, sale) ||
                !store.journal().appendLines(kToday, lines) ||
                !store.journal().appendActivity(kToday, text) || !store.saveConfig())
                fail("posting");
            uint64_t ticket = 0;
            if (!batch.commit(&ticket) || !store.waitDurable(ticket)) fail("commit");
        }
        if (!store.files().settle()) fail("settle");
        // The store goes without a close: the journal stays, as after a crash.
        store.files().fileSystem().closeAll();
        if (!copyFile(journal, saved)) fail("cannot keep the journal");
        made[postings] = true;
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (!copyFile(saved, journal)) fail("cannot put the journal back");
        DataStore store(shop.folder(), g_clock);
        state.ResumeTiming();
        if (Status s = store.recover(); !s) fail("recover: " + s.message());
        if (store.recoveredPostings() < static_cast<uint64_t>(postings)) fail("replayed too few");
        state.PauseTiming();
        if (Status s = store.close(); !s) fail("close: " + s.message());
        state.ResumeTiming();
    }
    state.counters["journal_mb"] =
        static_cast<double>(std::filesystem::file_size(saved)) / (1024.0 * 1024.0);
}
BENCHMARK(Recovery)
    ->Arg(10000)
    ->ArgName("postings")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
