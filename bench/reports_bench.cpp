// Speed of the reports on a generated shop of 100,000 items and a year of
// journal (300 transactions a day of 1 to 10 lines, refunds and balance
// payments mixed in), page cache warm: the day's activity summary, a
// one-year sales report, a monthly item summary (beside the literal method:
// the items log read once per transaction, the merge and the exchange pass
// comparing every pair), the stock summary and each stock list.
//
// Before anything is timed, the monthly summary is checked against the
// literal method line for line; a difference ends the run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "reports/activity_summary.h"
#include "reports/item_summary.h"
#include "reports/sales_report.h"
#include "reports/stock_lists.h"
#include "shop_generator.h"
#include "store/data_store.h"

namespace {

using namespace kassio;

constexpr LocalTime kToday{2026, 12, 31, 18, 0, 0};
constexpr Day kMonth{2026, 11, 1};

// The shop, generated and opened once for the whole run.
DataStore& shop() {
    static bench::OpenShop s(
        [] {
            std::fprintf(stderr, "Generating 100,000 items and a year of journal...\n");
            bench::ShopSpec spec;
            spec.items = 100000;
            spec.customers = 10;
            spec.journalDays = 365;
            spec.salesPerDay = 300;
            spec.maxLines = 10;
            spec.mixedKinds = true;
            spec.seed = 11;
            return spec;
        }(),
        kToday);
    return s.store;
}

// The literal monthly summary: for each transaction of each day the whole
// items log is read again and its lines taken; equal items are merged by
// comparing every later entry; the exchange pass compares every pair.
ItemSummary literalSummary(DataStore& store, const std::vector<Day>& days) {
    ItemSummary s;
    for (const Day& d : days) {
        const DayJournal sales = readDayJournal(store, d, JournalParts::kSalesOnly);
        for (const SaleRecord& sale : sales.sales) {
            DayJournal one;
            one.hasSales = true;
            one.sales = {sale};
            one.lines = readDayJournal(store, d).lines;  // once per transaction
            ItemSummaryFilter all;
            all.excludeRefunds = false;
            takeLines(one, all, &s);
        }
    }
    std::vector<SummaryEntry>& e = s.entries;
    std::vector<bool> gone(e.size(), false);
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (gone[i] || e[i].kind == 'R' || e[i].item == 0) continue;
        for (std::size_t j = i + 1; j < e.size(); ++j) {
            if (gone[j] || e[j].kind == 'R' || e[j].item != e[i].item) continue;
            e[i].count += 1;
            e[i].nonTaxable += e[j].nonTaxable;
            e[i].taxable += e[j].taxable;
            e[i].tax1 += e[j].tax1;
            e[i].tax2 += e[j].tax2;
            e[i].cost += e[j].cost;
            e[i].total += e[j].total;
            if (e[j].discount > 0) e[i].discount += e[j].discount;
            gone[j] = true;
        }
    }
    std::vector<SummaryEntry> kept;
    for (std::size_t i = 0; i < e.size(); ++i)
        if (!gone[i]) kept.push_back(e[i]);
    for (std::size_t i = 0; i < kept.size(); ++i)
        for (std::size_t j = i + 1; j < kept.size(); ++j)
            if (kept[i].count < kept[j].count) std::swap(kept[i], kept[j]);
    e = std::move(kept);
    return s;
}

void BM_DayActivitySummary(benchmark::State& state) {
    DataStore& store = shop();
    for (auto _ : state) {
        const ShopFigures f = shopFigures(store);
        const DayTotals t = dayTotals(store, dayOf(kToday));
        benchmark::DoNotOptimize(statusView(f, t, dayOf(kToday), true));
    }
}
BENCHMARK(BM_DayActivitySummary)->Unit(benchmark::kMillisecond);

void BM_SalesReportOneYear(benchmark::State& state) {
    DataStore& store = shop();
    const SalesReportRequest r{{2026, 1, 1}, {2026, 12, 31}, {}, {}};
    for (auto _ : state) benchmark::DoNotOptimize(salesReport(store, r));
}
BENCHMARK(BM_SalesReportOneYear)->Unit(benchmark::kMillisecond);

void BM_MonthlyItemSummary(benchmark::State& state) {
    DataStore& store = shop();
    const std::vector<Day> days = summaryDays(SummaryPeriod::kMonth, kMonth);
    ItemSummaryFilter all;
    all.excludeRefunds = false;
    static bool checked = false;
    if (!checked) {
        if (summaryLines(itemSummary(store, days, all)) !=
            summaryLines(literalSummary(store, days)))
            bench::fail("the monthly summary differs from the literal method");
        checked = true;
    }
    for (auto _ : state) benchmark::DoNotOptimize(itemSummary(store, days, all));
}
BENCHMARK(BM_MonthlyItemSummary)->Unit(benchmark::kMillisecond);

void BM_MonthlyItemSummaryLiteral(benchmark::State& state) {
    DataStore& store = shop();
    const std::vector<Day> days = summaryDays(SummaryPeriod::kMonth, kMonth);
    for (auto _ : state) benchmark::DoNotOptimize(literalSummary(store, days));
}
BENCHMARK(BM_MonthlyItemSummaryLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StockSummary(benchmark::State& state) {
    DataStore& store = shop();
    for (auto _ : state) {
        StockSummary s;
        if (!stockSummary(store, &s)) bench::fail("stock summary");
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_StockSummary)->Unit(benchmark::kMillisecond);

void BM_StockList(benchmark::State& state) {
    DataStore& store = shop();
    const auto list = static_cast<StockList>(state.range(0));
    for (auto _ : state) {
        StockListView v;
        if (!stockList(store, list, dayOf(kToday), &v)) bench::fail("stock list");
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_StockList)
    ->Arg(static_cast<int>(StockList::kReorder))
    ->Arg(static_cast<int>(StockList::kReorderByOrderCode))
    ->Arg(static_cast<int>(StockList::kOutOfStock))
    ->Arg(static_cast<int>(StockList::kSpecialOrders))
    ->Arg(static_cast<int>(StockList::kSellByExpired))
    ->Unit(benchmark::kMillisecond);

void BM_RetailBelowCost(benchmark::State& state) {
    DataStore& store = shop();
    for (auto _ : state) {
        std::vector<std::string> lines;
        if (!boundsCheck(store, {}, &lines)) bench::fail("cost check");
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_RetailBelowCost)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
