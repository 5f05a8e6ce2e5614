// A JSON file as kassio-station reads it: readJson, then the sale
// and refund reader and the basket builder on a small table of items and
// customers. A refused document says why and where; an accepted sale never
// makes a basket of more than 400 lines, nor one with other than a line per unit.
#include <cmath>
#include <cstring>
#include <memory>
#include <set>

#include "base/fixed_text.h"
#include "fuzz_support.h"
#include "server/client_sale.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

void walk(const Json& v, int depth) {
    if (v.is_structured())
        FUZZ_CHECK(depth < kMaxJsonDepth + 1, "nested deeper than the reader allows");
    if (v.is_number()) {
        auto whole = jsonWholeNumber(v);
        auto money = jsonMoney(v);
        if (whole && money && std::llabs(*whole) < (int64_t{1} << 53))
            FUZZ_CHECK(*money == static_cast<double>(*whole), "whole number and amount disagree");
    } else if (v.is_array()) {
        for (const Json& item : v) walk(item, depth + 1);
    } else if (v.is_object()) {
        std::set<std::string> names;
        for (const auto& [name, member] : v.items()) {
            FUZZ_CHECK(names.insert(name).second, "a name kept twice: " + name);
            walk(member, depth + 1);
        }
    }
}

// Items 1..50 and customers 1..10; anything else is "not found".
SaleLookups tableLookups() {
    SaleLookups l;
    l.item = [](int64_t number, InventoryRecord& r) {
        std::memset(&r, 0, sizeof r);
        if (number < 1 || number > 50) return Status::ok();
        r.number = number;
        setFieldText(r.description, "ITEM " + std::to_string(number));
        r.retail_price = 0.5 * static_cast<double>(number);
        r.cost_price = 0.25 * static_cast<double>(number);
        r.tax = static_cast<int32_t>(number % 4);
        r.offer = static_cast<int32_t>(number % 5);
        return Status::ok();
    };
    l.customer = [](int64_t number, CustomerRecord& c) {
        std::memset(&c, 0, sizeof c);
        if (number < 1 || number > 10) return Status::ok();
        c.number = number;
        setFieldText(c.name, "CUSTOMER " + std::to_string(number));
        return Status::ok();
    };
    return l;
}

const ClientConfig& sampleClientConfig() {
    static const std::unique_ptr<ClientConfig> config = [] {
        StoreConfig store;
        store.setFirstRunDefaults(FuzzClock().now());
        auto c = std::make_unique<ClientConfig>();
        fillClientConfig(store, *c);
        return c;
    }();
    return *config;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const SaleLookups lookups = tableLookups();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<Json> json = readJson(text, &error);
    if (!json) {
        FUZZ_CHECK(error.find(" at byte ") != std::string::npos, "a refusal without its place");
        return 0;
    }
    walk(*json, 0);

    for (bool refund : {false, true}) {
        ClientSale sale;
        if (!readClientSale(*json, refund, sale)) continue;
        auto basket = std::make_unique<Basket>();
        if (!buildClientBasket(sale, sampleClientConfig(), lookups, FuzzClock().now(), *basket))
            continue;
        int units = 0;
        for (const ClientSaleLine& line : sale.lines) units += line.count;
        FUZZ_CHECK(basket->line_count == units, "basket lines");
        FUZZ_CHECK(basket->line_count >= 1 && basket->line_count <= kMaxBasketLines,
                   "basket line count");
    }
    return 0;
}
