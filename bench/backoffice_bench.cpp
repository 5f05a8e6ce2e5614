// Speed of the back-office item searches at 100,000 items, with the page
// cache warm: the description search by initial characters (first match,
// and whole scans that find nothing) and the fragment search that finds
// nothing. Each is set beside the literal way of doing it, reading
// inventory.dat one record at a time from an open file, passing by the
// slots the prefix table rules out.
//
// Before anything is timed, the searches and the literal reads are checked
// to give the same slots; a difference ends the run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "base/fixed_text.h"
#include "inventory/item_search.h"
#include "shop_generator.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace {

using namespace kassio;

constexpr LocalTime kToday{2026, 3, 14, 10, 30, 0};
constexpr std::size_t kItems = 100000;

// The shop, generated and opened once for the whole run.
DataStore& shop() {
    static bench::OpenShop s(
        [] {
            std::fprintf(stderr, "Generating a shop of %zu items...\n", kItems);
            bench::ShopSpec spec;
            spec.items = kItems;
            spec.deletedItemSlots = kItems / 200;
            spec.customers = 10;
            spec.seed = 7;
            return spec;
        }(),
        kToday);
    return s.store;
}

// The literal scan: inventory.dat held open, one read() of a whole record
// per slot that the test wants to look at, from slot 0 on.
enum class Literal { kInitials, kFragment };

std::optional<uint64_t> literalScan(DataStore& store, Literal kind, const std::string& query) {
    auto lock = store.lock();
    const RecordIndex& index = store.items().index();
    int fd = ::open(store.items().path().c_str(), O_RDONLY);
    if (fd < 0) bench::fail("cannot open inventory.dat");
    InventoryRecord r;
    std::optional<uint64_t> found;
    for (uint64_t slot = 0; slot < index.slotCount(); ++slot) {
        if (kind == Literal::kInitials) {
            RecordIndex::Prefix p = index.prefix(slot);
            if (p[0] == 0 && p[1] == 0) continue;
            if ((query[0] != '?' && query[0] != p[0]) || (query[1] != '?' && query[1] != p[1]))
                continue;
        }
        if (::lseek(fd, static_cast<off_t>(slot * kInventoryRecordSize), SEEK_SET) < 0 ||
            ::read(fd, &r, sizeof r) != static_cast<ssize_t>(sizeof r))
            bench::fail("cannot read inventory.dat");
        if (r.number <= 0) continue;
        bool match;
        if (kind == Literal::kInitials) {
            match = true;
            for (std::size_t i = 2; i < query.size() && match; ++i)
                match = query[i] == '?' || r.description[i] == query[i];
        } else {
            match = fieldText(r.description).find(query) != std::string::npos;
        }
        if (match) {
            found = slot;
            break;
        }
    }
    ::close(fd);
    return found;
}

struct Query {
    const char* name;
    Literal kind;
    std::string text;
};

// R?: the first "Red ..." item. ZZ: no prefix matches, the prefix table
// alone answers. ??~: every prefix matches, every description is read and
// fails at its third character. QQQQ: no description holds it.
const Query kQueries[] = {
    {"InitialsFirstMatch", Literal::kInitials, "R?"},
    {"InitialsNoMatchByPrefix", Literal::kInitials, "ZZZ"},
    {"InitialsNoMatchReadingAll", Literal::kInitials, "??~"},
    {"FragmentNoMatch", Literal::kFragment, "QQQQ"},
};

std::optional<uint64_t> realScan(DataStore& store, const Query& q) {
    Status error;
    std::optional<ItemHit> hit =
        q.kind == Literal::kInitials
            ? nextByInitials(store, q.text, 0, &error)
            : nextByFragment(store, FragmentField::kDescription, q.text, 0, &error);
    if (!error.isOk()) bench::fail(error.message());
    if (!hit) return std::nullopt;
    return hit->slot;
}

void checkOnce() {
    static bool checked = false;
    if (checked) return;
    DataStore& store = shop();
    for (const Query& q : kQueries) {
        auto real = realScan(store, q);
        auto literal = literalScan(store, q.kind, q.text);
        if (real != literal)
            bench::fail(std::string(q.name) + ": the search and the literal scan differ");
        const bool expectMatch = std::string(q.name) == "InitialsFirstMatch";
        if (real.has_value() != expectMatch)
            bench::fail(std::string(q.name) + ": unexpected result");
    }
    checked = true;
}

void Search(benchmark::State& state) {
    checkOnce();
    const Query& q = kQueries[state.range(0)];
    state.SetLabel(q.name);
    DataStore& store = shop();
    for (auto _ : state) benchmark::DoNotOptimize(realScan(store, q));
}
BENCHMARK(Search)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

void SearchLiteral(benchmark::State& state) {
    checkOnce();
    const Query& q = kQueries[state.range(0)];
    state.SetLabel(q.name);
    DataStore& store = shop();
    for (auto _ : state) benchmark::DoNotOptimize(literalScan(store, q.kind, q.text));
}
BENCHMARK(SearchLiteral)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
