#include "server/client_sale.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/timestamp.h"
#include "base/win1252.h"
#include "till/line_arithmetic.h"

namespace kassio {

namespace {

Status invalid(const std::string& what) {
    return Status::invalid(what, "Invalid entry");
}

bool readText(const Json& obj, const char* name, std::string& out) {
    const auto v = obj.find(name);
    if (v == obj.end()) return true;
    if (!v->is_string()) return false;
    out = utf8ToWin1252(v->get_ref<const std::string&>());
    return true;
}

template <typename Int>
bool readInt(const Json& obj, const char* name, Int& out) {
    const auto v = obj.find(name);
    if (v == obj.end()) return true;
    auto n = jsonWholeNumber(*v);
    if (!n || *n < std::numeric_limits<Int>::min() || *n > std::numeric_limits<Int>::max())
        return false;
    out = static_cast<Int>(*n);
    return true;
}

bool readMoney(const Json& obj, const char* name, double& out) {
    const auto v = obj.find(name);
    if (v == obj.end()) return true;
    auto d = jsonMoney(*v);
    if (!d) return false;
    out = *d;
    return true;
}

Status invalidMoney(const std::string& where, const char* name) {
    return invalid(where + "\"" + name + "\" must be " + jsonMoneyWanted());
}

// A Basket under construction from a client's lines, with the till's own
// line arithmetic under the client configuration's tax options.
class BasketBuilder {
  public:
    BasketBuilder(Basket& b, const ClientConfig& cfg)
        : m_b(b), m_rules(TaxRules::of(cfg.options, cfg.settings_b, cfg.money)) {}

    // One unit at `price` with the item's tax code.
    void addLine(int64_t item, const std::string& description, double price, int32_t taxCode,
                 bool noTaxRounding, double cost) {
        NewLine line;
        line.item = item;
        line.description = description;
        line.price = price;
        line.taxable = taxCode != 0;
        line.taxCode = taxCode;
        line.noTaxRounding = noTaxRounding;
        line.cost = cost;
        appendLine(m_b, m_rules, line);
    }

    int linesOf(int64_t item) const {
        int n = 0;
        for (int i = 0; i < m_b.line_count; ++i)
            if (m_b.item[i] == item) ++n;
        return n;
    }

  private:
    Basket& m_b;
    TaxRules m_rules;
};

}  // namespace

Status readClientSale(const Json& json, bool refund, ClientSale& out) {
    out = ClientSale{};
    out.refund = refund;
    out.payment = refund ? "Refund" : "Cash";
    if (!json.is_object()) return invalid("The sale must be a JSON object");
    if (!readText(json, "station", out.station)) return invalid("\"station\" must be a text");
    if (!readInt(json, "clerk", out.clerk)) return invalid("\"clerk\" must be a whole number");
    if (!readText(json, "payment", out.payment)) return invalid("\"payment\" must be a text");
    if (!readInt(json, "customer", out.customer))
        return invalid("\"customer\" must be a whole number");
    if (!readText(json, "note", out.note)) return invalid("\"note\" must be a text");
    if (!readInt(json, "kind", out.kind)) return invalid("\"kind\" must be a whole number");
    if (!readInt(json, "restock", out.restock))
        return invalid("\"restock\" must be a whole number");
    const auto lines = json.find("lines");
    if (lines == json.end() || !lines->is_array())
        return invalid("\"lines\" must be a list of lines");
    int number = 0;
    for (const Json& l : *lines) {
        const std::string where = "Line " + std::to_string(++number) + ": ";
        ClientSaleLine line;
        if (!l.is_object()) return invalid(where + "a line must be a JSON object");
        if (!readInt(l, "item", line.item) || line.item < 0)
            return invalid(where + "\"item\" must be an item number");
        if (!readInt(l, "count", line.count) || line.count < 1)
            return invalid(where + "\"count\" must be 1 or more");
        if (!readText(l, "description", line.description))
            return invalid(where + "\"description\" must be a text");
        if (!readMoney(l, "price", line.price)) return invalidMoney(where, "price");
        if (!readMoney(l, "cost", line.cost)) return invalidMoney(where, "cost");
        if (!readInt(l, "tax", line.tax) || line.tax < 0 || line.tax > 3)
            return invalid(where + "\"tax\" must be a tax code 0..3");
        if (line.item == 0 && line.description.size() < 1)
            return invalid(where + "a line needs an \"item\" or a \"description\"");
        out.lines.push_back(line);
    }
    return Status::ok();
}

Status buildClientBasket(const ClientSale& sale, const ClientConfig& config,
                         const SaleLookups& lookups, const LocalTime& now, Basket& b) {
    std::memset(&b, 0, sizeof b);
    if (!sale.refund && sale.payment != "Cash" && sale.payment != "CH" && sale.payment != "EFT" &&
        sale.payment != "Credit")
        return invalid("Payment must be \"Cash\", \"CH\", \"EFT\" or \"Credit\"");
    if (!sale.refund && sale.payment == "Credit" && sale.customer <= 0)
        return invalid("A sale on credit needs a customer");

    int units = 0;
    for (const ClientSaleLine& line : sale.lines) {
        units += line.count;
        if (line.count > kMaxBasketLines || units > kMaxBasketLines)
            return Status::invalid("Transaction limit 400 items");
    }
    if (units == 0) return Status::invalid("No items");

    BasketBuilder builder(b, config);
    for (const ClientSaleLine& line : sale.lines) {
        if (line.item == 0) {
            for (int n = 0; n < line.count; ++n)
                builder.addLine(0, line.description, line.price, line.tax, false, line.cost);
            continue;
        }
        InventoryRecord item;
        if (Status s = lookups.item(line.item, item); !s) return s;
        if (item.number != line.item)
            return invalid(std::to_string(static_cast<long long>(line.item)));
        for (int n = 0; n < line.count; ++n) {
            double price = item.retail_price;
            const int before = builder.linesOf(item.number);
            if ((item.offer == 2 && before % 2 == 1) || (item.offer == 4 && before % 3 == 2))
                price = 0;
            builder.addLine(item.number, fieldText(item.description), price, item.tax,
                            item.no_tax_rounding != 0, item.cost_price);
        }
    }

    if (sale.customer > 0) {
        CustomerRecord c;
        if (Status s = lookups.customer(sale.customer, c); !s) return s;
        if (c.number != sale.customer)
            return invalid("Customer " + std::to_string(static_cast<long long>(sale.customer)) +
                           " not found");
        b.customer = c.number;
        setFieldText(b.customer_name, fieldText(c.name));
        setFieldText(b.customer_road, fieldText(c.road));
        setFieldText(b.customer_area, fieldText(c.area));
        setFieldText(b.customer_town, fieldText(c.town));
        setFieldText(b.customer_postcode, fieldText(c.postcode));
        setFieldText(b.customer_telephone, fieldText(c.telephone));
    }

    b.number = config.next_transaction;
    b.clerk = sale.clerk;
    char time[20];
    std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
    setFieldText(b.time, time);
    setFieldText(b.date, dateText(now));
    setFieldText(b.payment_word, sale.payment);
    setFieldText(b.texts[0], sale.station);
    setFieldText(b.note, sale.note);
    if (sale.refund) {
        b.values[kValueRestock] = sale.restock;
        b.values[kValueRefundKind] = sale.kind;
    } else if (sale.payment == "Cash") {
        b.payment[kPayCash] = b.total;
    } else if (sale.payment == "CH") {
        b.payment[kPayCheque] = b.total;
    } else if (sale.payment == "EFT") {
        b.payment[kPayCard] = b.total;
    }
    return Status::ok();
}

}  // namespace kassio
