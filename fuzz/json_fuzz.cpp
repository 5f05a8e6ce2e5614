// A JSON file as kassio-station reads it: JsonValue::parse, then the sale
// and refund reader and the basket builder on a small table of items and
// customers. A refused document says why and where; an accepted sale never
// makes a basket of more than 400 lines or one whose totals lose a line.
#include <cmath>
#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "fuzz_support.h"
#include "server/client_sale.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

void walk(const JsonValue& v, int depth) {
    FUZZ_CHECK(depth < 1000, "nesting");
    switch (v.kind()) {
        case JsonValue::Kind::kNumber: {
            FUZZ_CHECK(!v.text().empty(), "a number without text");
            auto i = v.asInt();
            auto d = v.asDouble();
            if (i) {
                FUZZ_CHECK(d.has_value(), "an integer that is not a number");
                if (std::llabs(*i) < (int64_t{1} << 53))
                    FUZZ_CHECK(*d == static_cast<double>(*i), "integer and double disagree");
            }
            break;
        }
        case JsonValue::Kind::kArray:
            for (const JsonValue& item : v.items()) walk(item, depth + 1);
            break;
        case JsonValue::Kind::kObject:
            for (const auto& [name, member] : v.members()) {
                const JsonValue* found = v.member(name);
                FUZZ_CHECK(found != nullptr, "member() misses " + name);
                walk(member, depth + 1);
            }
            break;
        default:
            break;
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
    const std::optional<JsonValue> json = JsonValue::parse(text, &error);
    if (!json) {
        FUZZ_CHECK(!error.empty(), "a refused document without a reason");
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
