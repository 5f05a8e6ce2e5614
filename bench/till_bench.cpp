// Speed of the till engine on a generated shop of 100,000 items: adding an
// item by number and by SKU 1, and posting sales of 10 and 400 lines with
// and without flushing to disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

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

class FixedClock final : public Clock {
  public:
    LocalTime now() const override { return kToday; }
};

// Ports that answer at once: the figures are the engine's, not a screen's.
class QuietUi final : public Ui {
  public:
    Answer message(const std::string& text, const std::string& title, Icon, Buttons) override {
        std::fprintf(stderr, "kassio_till_bench: unexpected message %s: %s\n", title.c_str(),
                     text.c_str());
        std::exit(EXIT_FAILURE);
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
    FixedClock clock;
    bench::GeneratedShop shop{bench::ShopSpec{kItems, 0, 1000, 0, 0, 7}, kToday};
    DataStore store{shop.folder(), clock};
    QuietUi ui;
    NoPanels panels;
    NoSound sound;
    NoDevices devices;
    std::unique_ptr<Till> till;

    Station() {
        if (Status s = store.openData(); !s) {
            std::fprintf(stderr, "kassio_till_bench: %s\n", s.message().c_str());
            std::exit(EXIT_FAILURE);
        }
        // Sales are allowed whatever the generated stock, so a long run
        // never stops on an empty shelf.
        store.config().record().options[kOptPermitInsufficientStock] = 2;
        till = std::make_unique<Till>(store, ui, panels, sound, devices);
        if (!till->logOn(1, "")) std::exit(EXIT_FAILURE);
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
BENCHMARK(BM_PostSale10Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostSale10LinesFsync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostSale400Lines)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_PostSale400LinesFsync)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
