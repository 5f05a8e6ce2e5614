// Speed of the account and list operations on a shop of 100,000 items,
// 100,000 customers and five years of journal (40 sales a day), page cache
// warm: an alphabetical list from A to Z ready on screen (sort, f2.dat or
// m2.dat written, first page read back), a customer's activity over the
// five years, and a balance payment made durable (journal flushed).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "accounts/account_history.h"
#include "accounts/balance_payment.h"
#include "listings/record_list.h"
#include "shop_generator.h"
#include "store/data_store.h"

namespace {

using namespace kassio;

constexpr LocalTime kToday{2026, 3, 14, 10, 30, 0};
constexpr std::size_t kRecords = 100000;
constexpr int kJournalDays = 5 * 365 + 1;

// The shop, generated and opened once for the whole run.
DataStore& shop() {
    static bench::OpenShop s(
        [] {
            std::fprintf(stderr, "Generating 100,000 items, 100,000 customers, five years...\n");
            bench::ShopSpec spec;
            spec.items = kRecords;
            spec.customers = kRecords;
            spec.journalDays = kJournalDays;
            spec.seed = 11;
            return spec;
        }(),
        kToday);
    return s.store;
}

void alphabetical(benchmark::State& state, ListKind kind) {
    DataStore& store = shop();
    ListRequest r;
    r.kind = kind;
    r.text = "A";
    r.endText = "Z";
    std::size_t rows = 0;
    for (auto _ : state) {
        Status error;
        auto source = makeListSource(store, r, &error);
        if (!source) bench::fail("list: " + error.message());
        ListPager pager(*source);
        if (Status s = pager.open(); !s) bench::fail("list: " + s.message());
        rows = pager.found();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["first_page_rows"] = static_cast<double>(rows);
}

void BM_AlphabeticalItemsAtoZ(benchmark::State& state) {
    alphabetical(state, ListKind::kItemsAlphabetical);
}
BENCHMARK(BM_AlphabeticalItemsAtoZ)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_AlphabeticalCustomersAtoZ(benchmark::State& state) {
    alphabetical(state, ListKind::kCustomersAlphabetical);
}
BENCHMARK(BM_AlphabeticalCustomersAtoZ)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StatementFiveYears(benchmark::State& state) {
    DataStore& store = shop();
    auto customer = readCustomer(store, 4242);
    if (!customer) bench::fail("no customer 4242");
    const LocalTime from = bench::addDays(kToday, 1 - kJournalDays);
    std::size_t lines = 0;
    for (auto _ : state) {
        const Statement st = periodActivity(store, *customer, from, kToday);
        lines = st.lines.size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["days"] = kJournalDays;
}
BENCHMARK(BM_StatementFiveYears)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BalancePaymentDurable(benchmark::State& state) {
    DataStore& store = shop();
    store.setSync(true);
    int64_t customer = 1;
    for (auto _ : state) {
        PaymentResult r =
            postBalancePayment(store, customer, 1.0, PaymentMethod::kCash, 1, "Administrator");
        if (!r.status) bench::fail("payment: " + r.status.message());
        customer = customer % kRecords + 1;
    }
    store.setSync(false);
}
BENCHMARK(BM_BalancePaymentDurable)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
