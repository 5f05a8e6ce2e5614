#include "server/client_sale.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/timestamp.h"
#include "base/win1252.h"

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

// The running totals of a Basket under construction.
class BasketBuilder {
  public:
    BasketBuilder(Basket& b, const ClientConfig& cfg) : m_b(b), m_cfg(cfg) {}

    // Part of the till's item entry: one unit at `price` with the item's
    // tax code; the taxes and totals as the till works them out.
    void addLine(int64_t item, const std::string& description, double price, int32_t taxCode,
                 bool noTaxRounding, double cost) {
        Basket& b = m_b;
        const int i = b.line_count;
        b.item[i] = item;
        setFieldText(b.description[i], description);
        b.line_total[i] = price;
        b.cost[i] = cost;
        if (price != 0) {
            if (taxCode == 0) {
                b.non_taxable[i] = price;
                b.total_non_taxable = roundMoney(b.total_non_taxable + price);
                b.total = roundMoney(b.total + price);
            } else {
                double t1 = 0, t2 = 0;
                if (m_cfg.options[kOptTax1InUse] != 0 && m_cfg.options[kOptTax1Rate] > 0 &&
                    taxCode != 3) {
                    const double rate = static_cast<double>(m_cfg.options[kOptTax1Rate]);
                    const bool threshold = m_cfg.settings_b[kSetBTax1Threshold] == 2;
                    const double limit = m_cfg.money[kMoneyTax1Threshold];
                    t1 = rate * price / 10000;
                    // The line that crosses the threshold carries the tax on
                    // everything taxable so far.
                    if (threshold && b.total_taxable < limit && b.total_taxable + price > limit)
                        t1 = rate * (b.total_taxable + price) / 10000;
                    t1 = roundTax(t1, noTaxRounding);
                    if (threshold && b.total_taxable + price <= limit) t1 = 0;
                    b.total_tax1 = roundMoney(b.total_tax1 + t1);
                    b.tax1[i] = t1;
                }
                b.taxable[i] = price;
                b.total_taxable = roundMoney(b.total_taxable + price);
                if (m_cfg.options[kOptTax2InUse] != 0 && m_cfg.options[kOptTax2Rate] > 0 &&
                    taxCode != 2) {
                    const double rate = static_cast<double>(m_cfg.options[kOptTax2Rate]);
                    t2 = m_cfg.options[kOptTax2OnTax1] == 0 ? rate * price / 10000
                                                            : rate * (price + t1) / 10000;
                    t2 = roundTax(t2, noTaxRounding);
                    b.total_tax2 = roundMoney(b.total_tax2 + t2);
                    b.tax2[i] = t2;
                }
                b.total = roundMoney(b.total + price + t1 + t2);
                b.line_total[i] = price + t1 + t2;
            }
        }
        b.total_cost += cost;
        b.subtotal = roundMoney(b.subtotal + price);
        ++b.line_count;
    }

    int linesOf(int64_t item) const {
        int n = 0;
        for (int i = 0; i < m_b.line_count; ++i)
            if (m_b.item[i] == item) ++n;
        return n;
    }

  private:
    Basket& m_b;
    const ClientConfig& m_cfg;
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
