#include "reports/stock_lists.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/inventory_record.h"
#include "store/record_scan.h"
#include "store/store_config.h"

namespace kassio {

namespace {

constexpr std::size_t kChunkSlots = 8192;

Status itemFileMissing() {
    return Status::notFound("Data file inventory.dat, not present.", kTitleFatal);
}

// The record as it lies in the file: the layout is packed (alignment 1), so
// a view of the mapped bytes is a valid record.
const InventoryRecord& asItem(const unsigned char* bytes) {
    return *reinterpret_cast<const InventoryRecord*>(bytes);
}

using ItemVisitor = std::function<void(const InventoryRecord&)>;

// Every live record in slot order, the whole file under one hold of the
// DataMutex: a posting changes several records at once (a sale of two items
// takes stock from both), so a scan that let postings in between two parts
// of the file could count half of one.
Status scanSlots(DataStore& store, const ItemVisitor& visit) {
    std::lock_guard lock(store.mutex());
    for (std::size_t first = 0;; first += kChunkSlots) {
        if (!store.files().exists(store.items().name())) return itemFileMissing();
        if (Status s = store.items().settle(); !s) return s;
        RecordFileView view(store.items().path(), kInventoryRecordSize);
        if (!view.ok()) return itemFileMissing();
        const std::size_t end = std::min(view.slotCount(), first + kChunkSlots);
        for (std::size_t slot = first; slot < end; ++slot) {
            const unsigned char* bytes = view.slot(slot);
            if (!bytes) return itemFileMissing();
            if (asItem(bytes).number >= 1) visit(asItem(bytes));
        }
        if (end >= view.slotCount()) return Status::ok();
    }
}

// Every live record in number order, as the ItemIndex lists them: the file
// is read in slot order (the pages come in turn, not at random) and the
// lines made are put in number order afterwards. Live numbers are unique,
// so the order is the index's own.
Status scanByNumber(DataStore& store,
                    const std::function<std::optional<std::string>(const InventoryRecord&)>& line,
                    std::vector<std::string>* out) {
    std::vector<std::pair<int64_t, std::string>> made;
    Status s = scanSlots(store, [&](const InventoryRecord& r) {
        if (auto l = line(r)) made.emplace_back(r.number, std::move(*l));
    });
    if (!s) return s;
    std::stable_sort(made.begin(), made.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& m : made) out->push_back(std::move(m.second));
    return Status::ok();
}

bool ordinary(const InventoryRecord& r) {
    return r.kind != kItemKindBundle;
}

bool needsReorder(const InventoryRecord& r) {
    return ordinary(r) && r.quantity <= r.reorder_quantity;
}

std::string reorderLine(const InventoryRecord& r) {
    return formatted("%lld, %s, %d,%d,%d,%d, %s", static_cast<long long>(r.number),
                     fieldText(r.description).c_str(), r.reorder_quantity, r.quantity, r.on_order,
                     r.order_quantity, fieldText(r.order_code).c_str());
}

// A price as whole cents, as "%.2f" prints it.
long long cents(double price) {
    return std::llround(price * 100.0);
}

}  // namespace

Status stockSummary(DataStore& store, StockSummary* out) {
    StockSummary s;
    Status status = scanSlots(store, [&s](const InventoryRecord& r) {
        if (r.quantity <= 0) return;
        s.items += r.quantity;
        s.costValue += r.quantity * r.cost_price;
        s.retailValue += r.quantity * r.retail_price;
    });
    if (!status) return status;
    if (s.costValue <= 0 || s.retailValue <= 0 || s.costValue == s.retailValue)
        s.margin = "N/A";
    else
        s.margin = formatted("%.2f%%", (s.retailValue - s.costValue) / s.costValue * 100.0);
    *out = s;
    return Status::ok();
}

std::vector<std::pair<std::string, std::string>> stockSummaryRows(const StockSummary& s) {
    return {{"Items", formatted("%lld", s.items)},
            {"Value (cost)", formatted("%.2f", s.costValue)},
            {"Value (retail)", formatted("%.2f", s.retailValue)},
            {"Margin", s.margin}};
}

Status stockList(DataStore& store, StockList list, const Day& today, StockListView* out) {
    StockListView v;
    std::vector<std::string>& lines = v.lines;
    Status s;
    switch (list) {
        case StockList::kReorder:
            v.title = "Reorder list";
            v.columns = "Item, Restock level, In stock, On order, Order quantity, Order code";
            s = scanByNumber(
                store,
                [](const InventoryRecord& r) -> std::optional<std::string> {
                    if (!needsReorder(r)) return std::nullopt;
                    return reorderLine(r);
                },
                &lines);
            break;
        case StockList::kReorderByOrderCode:
            v.title = "Order code, Item, Reorder level, In stock, On order, Order qty";
            s = scanByNumber(
                store,
                [](const InventoryRecord& r) -> std::optional<std::string> {
                    if (!needsReorder(r)) return std::nullopt;
                    return formatted("%s, %lld, %s, %d,%d,%d,%d", fieldText(r.order_code).c_str(),
                                     static_cast<long long>(r.number),
                                     fieldText(r.description).c_str(), r.reorder_quantity,
                                     r.quantity, r.on_order, r.order_quantity);
                },
                &lines);
            break;
        case StockList::kOutOfStock:
            v.title = "Out of stock";
            v.columns = "Item, Reorder level, On order, Order qty, Code";
            s = scanSlots(store, [&](const InventoryRecord& r) {
                if (!ordinary(r) || r.quantity > 0) return;
                lines.push_back(
                    formatted("%lld, %s, %d,%d,%d, %s", static_cast<long long>(r.number),
                              fieldText(r.description).c_str(), r.reorder_quantity, r.on_order,
                              r.order_quantity, fieldText(r.order_code).c_str()));
            });
            break;
        case StockList::kSpecialOrders:
            v.title = "Special orders";
            s = scanSlots(store, [&](const InventoryRecord& r) {
                if (r.special_order < 1) return;
                lines.push_back(formatted("%lld, %s, %d, %d", static_cast<long long>(r.number),
                                          fieldText(r.description).c_str(), r.quantity,
                                          r.special_order));
            });
            break;
        case StockList::kSellByExpired:
            v.title = "Sell by expired";
            s = scanSlots(store, [&](const InventoryRecord& r) {
                if (r.sell_by_day == 0 || r.sell_by_month == 0 || r.sell_by_year == 0) return;
                const Day sellBy{2011 + r.sell_by_year, r.sell_by_month, r.sell_by_day};
                if (compareDays(sellBy, today) >= 0) return;
                lines.push_back(formatted(
                    "%lld, %s, D:%d M:%d Y:%d", static_cast<long long>(r.number),
                    fieldText(r.description).c_str(), sellBy.day, sellBy.month, sellBy.year));
            });
            break;
    }
    if (!s) return s;
    *out = std::move(v);
    return Status::ok();
}

Listing stockListPrint(StockList list, const std::string& heading, const Day& today,
                       std::vector<std::string> lines) {
    const std::string date = shortDateText(today);
    const char* format = "%s Reorder list: %s      Page: %d";
    std::vector<std::string> columns;
    switch (list) {
        case StockList::kReorder:
            columns = {"Item, Restock level, In stock, On order, Order quantity, Order code"};
            break;
        case StockList::kReorderByOrderCode:
            columns = {"Order code, Item, Restock level, In stock, On order, Order quantity"};
            break;
        case StockList::kOutOfStock:
            format = "%s  Out of stock list: %s      Page: %d";
            columns = {"Item, Reorder level, On order, Order qty, Code"};
            break;
        case StockList::kSpecialOrders:
            format = "%s  Special order list: %s      Page: %d";
            break;
        case StockList::kSellByExpired:
            format = "%s  Sell by list: %s      Page: %d";
            break;
    }
    Listing l;
    l.heading = [=](int page) { return formatted(format, heading.c_str(), date.c_str(), page); };
    l.firstBodyLine = columns.empty() ? 1 : 2;
    l.columns = std::move(columns);
    l.body = std::move(lines);
    return l;
}

Status boundsCheck(DataStore& store, const BoundsCheck& check, std::vector<std::string>* lines) {
    std::vector<std::string> out;
    const long long costLimit = check.costLimit ? cents(*check.costLimit) : 0;
    const long long retailLimit = check.retailLimit ? cents(*check.retailLimit) : 0;
    Status s = scanSlots(store, [&](const InventoryRecord& r) {
        const long long cost = cents(r.cost_price);
        const long long retail = cents(r.retail_price);
        bool listed = check.costAboveRetail && cost > 0 && retail > 0 && cost > retail;
        listed = listed || (check.costLimit && cost > costLimit);
        listed = listed || (check.retailLimit && retail > retailLimit);
        if (!listed) return;
        out.push_back(formatted("%lld, %s (%d) %.2f %.2f", static_cast<long long>(r.number),
                                fieldText(r.description).c_str(), r.quantity, r.cost_price,
                                r.retail_price));
    });
    if (!s) return s;
    if (out.empty()) out.push_back("No items");
    *lines = std::move(out);
    return Status::ok();
}

Status reorderFileText(DataStore& store, std::string* text) {
    std::string heading;
    {
        std::lock_guard lock(store.mutex());
        heading = store.config().heading(1);
    }
    std::string out = formatted("Reorder list: %s\r\n", heading.c_str());
    out += "Item, Restock level, In stock, On order, Order quantity, Order code\r\n";
    Status s = scanSlots(store, [&out](const InventoryRecord& r) {
        if (needsReorder(r)) out += reorderLine(r) + "\r\n";
    });
    if (!s) return s;
    *text = std::move(out);
    return Status::ok();
}

UnitsByCategory unitsByCategory(DataStore& store, bool month) {
    UnitsByCategory u;
    u.title = month ? "Units by category for month" : "Units by category for today";
    std::lock_guard lock(store.mutex());
    const StoreConfig& config = store.config();
    const StoreConfigRecord& cfg = config.record();
    auto units = [&](int c) {
        const int base = month ? (c < 9 ? 90 : 41) : (c < 9 ? 80 : 31);
        return cfg.counters[base + c];
    };
    for (int n = 1; n <= 9; ++n) {
        UnitsRow row;
        const int cats[2] = {n - 1, n + 8};
        for (int k = 0; k < 2; ++k) {
            row.code[k] = config.categoryCode(cats[k]);
            row.units[k] = units(cats[k]);
            row.value[k] = cfg.sales_totals[kSalesTotalsByCategory + cats[k]];
        }
        u.rows.push_back(row);
    }
    return u;
}

PrintedPage unitsByCategoryPage(const std::string& heading, const UnitsByCategory& u, bool month,
                                const Day& today) {
    PrintedPage p;
    p.push_back(
        {1, 0, formatted("%s   Units by category (%s)", heading.c_str(), month ? "month" : "day")});
    p.push_back({2, 0, monthDayYearText(today)});
    int line = 4;
    for (const UnitsRow& row : u.rows) {
        for (int k = 0; k < 2; ++k) {
            p.push_back({line, k * 20, row.code[k]});
            p.push_back({line + 1, k * 20, formatted("%d, %.2f", row.units[k], row.value[k])});
        }
        line += 3;
    }
    return p;
}

}  // namespace kassio
