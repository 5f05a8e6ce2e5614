// Speed of the till engine on a generated shop of 100,000 items: adding an
// item by number and by SKU 1, and posting sales of 10 and 400 lines with
// and without flushing to disk; beside them the same 10-line sale as one
// SQLite transaction (WAL, synchronous FULL and OFF) on 100,000 items.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include <unistd.h>

#include "platform/sound.h"
#include "platform/till_devices.h"
#include "platform/till_panels.h"
#include "platform/ui.h"
#include "shop_generator.h"
#include "store/data_store.h"
#include "till/till.h"

namespace {

using namespace kassio;

constexpr LocalTime kToday{2026, 3, 14, 10, 30, 0};
constexpr std::size_t kItems = 100000;

// Ports that answer at once: the figures are the engine's, not a screen's.
class QuietUi final : public Ui {
  public:
    Answer message(const std::string& text, const std::string& title, Icon, Buttons) override {
        bench::fail("unexpected message " + title + ": " + text);
    }
    std::optional<std::string> prompt(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<int> pickFromList(const std::string&, const std::vector<std::string>&) override {
        return std::nullopt;
    }
};
class NoPanels final : public TillPanels {
  public:
    std::optional<RefundChoice> refundPanel(const Basket&, int32_t, const std::string&) override {
        return std::nullopt;
    }
    CustomerPayment customerTransactionPanel(const Basket&, const CustomerRecord&) override {
        return CustomerPayment::kCancel;
    }
    ElectronicPayment electronicPaymentBox() override { return ElectronicPayment::kPayment; }
    std::optional<std::string> cashBackEntry() override { return std::nullopt; }
    CardRefundChoice cardRefundBox() override { return CardRefundChoice::kCancel; }
    std::optional<int> selectBasket() override { return std::nullopt; }
    std::optional<std::string> customerEntry() override { return std::nullopt; }
};
class NoSound final : public Sound {
  public:
    void play(SoundId) override {}
};
class NoDevices final : public TillDevices {
  public:
    void poleShowItem(const Basket&) override {}
    void poleShowTotal(const Basket&) override {}
    void poleShowTenderAndChange(double, double) override {}
    void poleShowPassiveText() override {}
    void openDrawer() override {}
    void printAfterSale(const Basket&, double, double) override {}
    void printRefundReceipt(const Basket&) override {}
    CardResult cardSaleExchange(const Basket&, double) override { return {true, 0}; }
    CardResult cardRefundExchange(const Basket&, double, bool) override { return {true, 0}; }
};

struct Station {
    bench::FixedClock clock{kToday};
    bench::GeneratedShop shop{
        bench::ShopSpec{
            .items = kItems, .customers = 1000, .salesPerDay = 0, .maxLines = 7, .keepIn = {}},
        kToday};
    DataStore store{shop.folder(), clock};
    QuietUi ui;
    NoPanels panels;
    NoSound sound;
    NoDevices devices;
    std::unique_ptr<Till> till;

    Station() {
        // As the till runs: the journal applies and checkpoints behind the posting.
        if (Status s = store.files().setApplyBehind(true); !s) bench::fail(s.message());
        if (Status s = store.openData(); !s) bench::fail(s.message());
        // The generated shop goes to disk before anything is timed, so that
        // the kernel's writing of it does not queue before the postings'
        // flushes (the SQLite runs, later, would not meet it).
        ::sync();
        // Sales are allowed whatever the generated stock, so a long run
        // never stops on an empty shelf.
        store.config().record().options[kOptPermitInsufficientStock] = 2;
        till = std::make_unique<Till>(store, ui, panels, sound, devices);
        if (!till->logOn(1, "")) bench::fail("the clerk could not log on");
    }
};

Station& station() {
    static Station s;
    return s;
}

void BM_AddItemByNumber(benchmark::State& state) {
    Station& s = station();
    std::mt19937_64 rng(3);
    for (auto _ : state) {
        if (s.till->basket().line_count >= kMaxBasketLines) {
            state.PauseTiming();
            s.till->clearBasket();
            state.ResumeTiming();
        }
        if (!s.till->addItem(static_cast<int64_t>(1 + rng() % kItems)))
            state.SkipWithError("refused");
    }
    s.till->clearBasket();
}
BENCHMARK(BM_AddItemByNumber)->Unit(benchmark::kMicrosecond);

void BM_AddItemBySku1(benchmark::State& state) {
    Station& s = station();
    s.store.config().record().settings_b[kSetBEntryModeSku] = 2;
    std::mt19937_64 rng(5);
    for (auto _ : state) {
        if (s.till->basket().line_count >= kMaxBasketLines) {
            state.PauseTiming();
            s.till->clearBasket();
            state.ResumeTiming();
        }
        const std::string sku =
            bench::GeneratedShop::sku1For(static_cast<int64_t>(1 + rng() % kItems));
        if (!s.till->addFromEntry(sku + "\r\n")) state.SkipWithError("refused");
    }
    s.store.config().record().settings_b[kSetBEntryModeSku] = 0;
    s.till->clearBasket();
}
BENCHMARK(BM_AddItemBySku1)->Unit(benchmark::kMicrosecond);

// Fills the basket with `lines` items, then times only the cheque tender,
// which posts the sale (no panel on the way).
void postSale(benchmark::State& state, int lines, bool sync) {
    Station& s = station();
    s.store.setSync(sync);
    std::mt19937_64 rng(11);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < lines; ++i) s.till->addItem(static_cast<int64_t>(1 + rng() % kItems));
        state.ResumeTiming();
        s.till->chequeTender();
        if (s.till->basket().line_count != 0) state.SkipWithError("not posted");
    }
    s.store.setSync(true);
}

void BM_PostSale10Lines(benchmark::State& state) {
    postSale(state, 10, false);
}
void BM_PostSale10LinesFsync(benchmark::State& state) {
    postSale(state, 10, true);
}
void BM_PostSale400Lines(benchmark::State& state) {
    postSale(state, 400, false);
}
void BM_PostSale400LinesFsync(benchmark::State& state) {
    postSale(state, 400, true);
}
BENCHMARK(BM_PostSale10Lines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostSale10LinesFsync)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostSale400Lines)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_PostSale400LinesFsync)->Unit(benchmark::kMillisecond)->Iterations(20);

// ---------------------------------------------------------------------------
// The same sale in SQLite: a sale row, ten line rows and ten stock updates
// in one transaction, on a table of 100,000 items, in WAL mode.

void sqliteOk(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "kassio_till_bench: sqlite %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(EXIT_FAILURE);
}

struct SqliteShop {
    std::string path;
    sqlite3* db = nullptr;
    sqlite3_stmt* sale = nullptr;
    sqlite3_stmt* line = nullptr;
    sqlite3_stmt* stock = nullptr;

    SqliteShop() {
        path = station().shop.folder() + "/compare.sqlite";
        sqliteOk(sqlite3_open(path.c_str(), &db), db, "open");
        exec("PRAGMA journal_mode=WAL");
        exec(
            "CREATE TABLE item(number INTEGER PRIMARY KEY, description TEXT, price REAL, "
            "quantity INTEGER, sold INTEGER)");
        exec(
            "CREATE TABLE sale(number INTEGER PRIMARY KEY, customer INTEGER, clerk INTEGER, "
            "total REAL, payment TEXT, time TEXT)");
        exec(
            "CREATE TABLE line(sale INTEGER, item INTEGER, description TEXT, price REAL, "
            "total REAL, clerk INTEGER)");
        exec("BEGIN");
        sqlite3_stmt* add = prepare("INSERT INTO item VALUES(?, 'ITEM', 2.5, 1000000, 0)");
        for (int64_t n = 1; n <= static_cast<int64_t>(kItems); ++n) {
            sqlite3_bind_int64(add, 1, n);
            sqliteOk(sqlite3_step(add), db, "insert item");
            sqlite3_reset(add);
        }
        sqlite3_finalize(add);
        exec("COMMIT");
        sale = prepare("INSERT INTO sale VALUES(?, 0, 1, ?, 'CH', '10:30')");
        line = prepare("INSERT INTO line VALUES(?, ?, 'ITEM', 2.5, 2.5, 1)");
        stock =
            prepare("UPDATE item SET quantity = quantity - 1, sold = sold + 1 WHERE number = ?");
    }
    ~SqliteShop() {
        sqlite3_finalize(sale);
        sqlite3_finalize(line);
        sqlite3_finalize(stock);
        sqlite3_close(db);
    }
    void exec(const char* sql) {
        sqliteOk(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* st = nullptr;
        sqliteOk(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db, sql);
        return st;
    }
    void step(sqlite3_stmt* st, const char* what) {
        sqliteOk(sqlite3_step(st), db, what);
        sqlite3_reset(st);
    }
};

void sqliteSale(benchmark::State& state, bool full) {
    static SqliteShop shop;
    shop.exec(full ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
    std::mt19937_64 rng(11);
    static int64_t number = 0;  // sale numbers go on across runs and repetitions
    for (auto _ : state) {
        shop.exec("BEGIN");
        sqlite3_bind_int64(shop.sale, 1, ++number);
        sqlite3_bind_double(shop.sale, 2, 25.0);
        shop.step(shop.sale, "sale");
        for (int i = 0; i < 10; ++i) {
            const auto item = static_cast<int64_t>(1 + rng() % kItems);
            sqlite3_bind_int64(shop.line, 1, number);
            sqlite3_bind_int64(shop.line, 2, item);
            shop.step(shop.line, "line");
            sqlite3_bind_int64(shop.stock, 1, item);
            shop.step(shop.stock, "stock");
        }
        shop.exec("COMMIT");
    }
}
void BM_SqliteSale10LinesFull(benchmark::State& state) {
    sqliteSale(state, true);
}
void BM_SqliteSale10LinesOff(benchmark::State& state) {
    sqliteSale(state, false);
}
BENCHMARK(BM_SqliteSale10LinesOff)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SqliteSale10LinesFull)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
