#include "listings/record_list.h"

#include <cstring>
#include <optional>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "customers/customer_search.h"
#include "inventory/item_fields.h"
#include "inventory/item_search.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "store/record_scan.h"
#include "store/supplier_record.h"

namespace kassio {

namespace {

// Index entries looked at per hold of the DataMutex.
constexpr std::size_t kEntriesPerHold = 2048;

std::string upperText(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool containsUpper(const std::string& field, const std::string& upperQuery) {
    return upperText(field).find(upperQuery) != std::string::npos;
}

std::string numberText(int64_t n) {
    return formatted("%lld", static_cast<long long>(n));
}

ListRow itemRow(const InventoryRecord& r, bool showCost) {
    ListRow row{numberText(r.number), fieldText(r.description), formatted("%d", r.quantity),
                showCost ? formatted("%.2f, %.2f", r.cost_price, r.retail_price)
                         : formatted("%.2f", r.retail_price)};
    return row;
}

ListRow customerRow(const CustomerRecord& c, bool takings) {
    return {numberText(c.number), fieldText(c.name), fieldText(c.telephone),
            formatted("%.2f", takings ? c.total_purchases : c.balance)};
}

int yearOfStamp(const char (&stamp)[16]) {
    const std::string t = fieldText(stamp);
    return t.size() >= 15 ? std::atoi(t.substr(11, 4).c_str()) : 0;
}

// Days since 1 January 2000 of a stored timestamp's date, or -1.
int dayNumberOfStamp(const char (&stamp)[16]) {
    const std::string t = fieldText(stamp);
    if (t.size() < 15) return -1;
    const int d = std::atoi(t.substr(5, 2).c_str());
    const int m = std::atoi(t.substr(8, 2).c_str());
    const int y = std::atoi(t.substr(11, 4).c_str());
    if (m < 1 || m > 12 || d < 1 || y < 2000) return -1;
    LocalTime lt;
    lt.year = y, lt.month = m, lt.day = d;
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int leap = (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400 - (1999 / 4 - 1999 / 100 + 1999 / 400);
    const bool thisLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return (y - 2000) * 365 + leap + kBefore[m - 1] + (thisLeap && m > 2 ? 1 : 0) + d - 1;
}

int dayNumber(const LocalTime& t) {
    char stamp[16] = {};
    setFieldText(stamp, formatted("00:00%02d/%02d/%04d", t.day, t.month, t.year));
    return dayNumberOfStamp(stamp);
}

// The credit period of a terms band in days (0 for "No credit").
int periodDays(const StoreConfig& cfg, int band) {
    static const int kDays[] = {0, 10, 20, 30, 60, 90, 120, 180};
    if (band < 1 || band > 8) return 0;
    const int64_t code = cfg.record().options[kOptTermsPeriod + band - 1];
    return code >= 1 && code <= 8 ? kDays[code - 1] : 0;
}

// Lists in number order: the index walked from a number, each record
// offered to a row maker that may turn it down.
class IndexSource final : public ListSource {
  public:
    using RowOf = std::function<std::optional<ListRow>(const unsigned char* record)>;
    IndexSource(DataStore& store, RecordFile& file, int64_t start, RowOf rowOf)
        : m_store(store), m_file(file), m_start(start < 1 ? 1 : start), m_rowOf(std::move(rowOf)) {}

    int64_t start() const override { return m_start; }

    ListPage fetch(int64_t from, Status* error) override {
        ListPage page;
        std::vector<unsigned char> buf(m_file.spec().recordSize);
        while (page.rows.size() < kListPageRows) {
            auto lock = m_store.lock();
            const auto& entries = m_file.index().entries();
            std::size_t i = m_file.index().lowerBound(from);
            for (std::size_t seen = 0;
                 i < entries.size() && seen < kEntriesPerHold && page.rows.size() < kListPageRows;
                 ++i, ++seen) {
                const IndexEntry e = entries[i];
                if (Status s = m_file.read(e.slot, buf.data()); !s) {
                    if (error) *error = m_file.notPresent();
                    page.exhausted = true;
                    return page;
                }
                from = e.number + 1;
                if (auto row = m_rowOf(buf.data())) page.rows.push_back(std::move(*row));
            }
            if (i >= entries.size()) {
                page.exhausted = page.rows.size() < kListPageRows;
                break;
            }
        }
        page.next = from;
        return page;
    }

  private:
    DataStore& m_store;
    RecordFile& m_file;
    int64_t m_start;
    RowOf m_rowOf;
};

class SortedSource final : public ListSource {
  public:
    SortedSource(DataStore& store, SortedFile which, bool items, bool showCost)
        : m_store(store), m_which(which), m_items(items), m_showCost(showCost) {}
    int64_t start() const override { return 0; }
    ListPage fetch(int64_t from, Status* error) override {
        ListPage page;
        std::vector<SortedRow> rows;
        if (Status s =
                readSortedRows(m_store, m_which, static_cast<uint64_t>(from), kListPageRows, &rows);
            !s) {
            if (error) *error = s;
            page.exhausted = true;
            return page;
        }
        for (const SortedRow& r : rows) {
            ListRow row{numberText(r.number), fieldText(r.name), fieldText(r.second),
                        fieldText(r.third)};
            if (m_items && m_showCost) {
                // The work file holds the retail price; the cost comes from
                // the item as it is now.
                auto lock = m_store.lock();
                if (auto slot = m_store.items().find(r.number)) {
                    InventoryRecord item;
                    if (m_store.items().read(*slot, &item))
                        row.third = formatted("%.2f, %.2f", item.cost_price, item.retail_price);
                }
            }
            page.rows.push_back(std::move(row));
        }
        page.next = from + static_cast<int64_t>(rows.size());
        page.exhausted = rows.size() < kListPageRows;
        return page;
    }

  private:
    DataStore& m_store;
    SortedFile m_which;
    bool m_items;
    bool m_showCost;
};

// The searches: each next match found from a slot by the search functions
// of the item and customer folders.
class SearchSource final : public ListSource {
  public:
    using Next =
        std::function<std::optional<std::pair<uint64_t, ListRow>>(uint64_t from, Status* error)>;
    explicit SearchSource(Next next) : m_next(std::move(next)) {}
    int64_t start() const override { return 0; }
    ListPage fetch(int64_t from, Status* error) override {
        ListPage page;
        uint64_t at = static_cast<uint64_t>(from);
        while (page.rows.size() < kListPageRows) {
            auto hit = m_next(at, error);
            if (!hit) break;
            page.rows.push_back(std::move(hit->second));
            at = hit->first + 1;
        }
        page.next = static_cast<int64_t>(at);
        page.exhausted = page.rows.size() < kListPageRows;
        return page;
    }

  private:
    Next m_next;
};

template <typename Record>
Record recordAt(const unsigned char* bytes) {
    Record r;
    std::memcpy(&r, bytes, sizeof r);
    return r;
}

}  // namespace

bool listOfCustomers(ListKind kind) {
    return kind >= ListKind::kCustomersFromNumber;
}

bool listOpensDetails(ListKind kind) {
    return kind != ListKind::kSuppliers;
}

std::string listTitle(DataStore& store, const ListRequest& r) {
    switch (r.kind) {
        case ListKind::kItemsFromNumber:
            return "Inventory list";
        case ListKind::kItemsAlphabetical:
            return "Alphabetical inventory list";
        case ListKind::kItemsByCategory:
            return "Inventory list by category";
        case ListKind::kItemsBySku:
            return "Inventory list by format";
        case ListKind::kItemsTopVolume: {
            if (r.category < 0) return "Top inventory: All categories";
            auto lock = store.lock();
            const std::string code = store.config().categoryCode(r.category);
            return formatted("Top inventory for category %c%c%c", code.size() > 0 ? code[0] : ' ',
                             code.size() > 1 ? code[1] : ' ', code.size() > 2 ? code[2] : ' ');
        }
        case ListKind::kSuppliers:
            return "Supplier list";
        case ListKind::kCustomersFromNumber:
            return "Customer list";
        case ListKind::kCustomersAlphabetical:
            return "Alphabetical customer list";
        case ListKind::kCustomersWithCredit:
            return "Customers with non zero credit";
        case ListKind::kCustomersNotGroup1:
            return "Customer list not category 1";
        case ListKind::kCustomersActive:
            return "Customer list active";
        case ListKind::kCustomersOverdue:
            return "Customer overdue list";
        case ListKind::kCustomersTakings:
            return "Takings list";
        case ListKind::kCustomersByName:
            return "New customer search: name";
        case ListKind::kCustomersByAddress:
            return "New customer search: address";
    }
    return {};
}

std::unique_ptr<ListSource> makeListSource(DataStore& store, const ListRequest& r, Status* error) {
    *error = Status::ok();
    bool showCost = false;
    LocalTime today = store.clock().now();
    {
        auto lock = store.lock();
        showCost = costVisible(store.config(), r.clerk);
    }
    const int year = today.year;
    const int todayNumber = dayNumber(today);
    auto items = [&](std::function<bool(const InventoryRecord&)> keep) {
        return std::make_unique<IndexSource>(
            store, store.items(), r.fromNumber,
            [keep, showCost](const unsigned char* b) -> std::optional<ListRow> {
                const auto item = recordAt<InventoryRecord>(b);
                if (item.number <= 0 || !keep(item)) return std::nullopt;
                return itemRow(item, showCost);
            });
    };
    auto customers = [&](std::function<bool(const CustomerRecord&)> keep, bool takings = false) {
        return std::make_unique<IndexSource>(
            store, store.customers(), r.fromNumber,
            [keep, takings](const unsigned char* b) -> std::optional<ListRow> {
                const auto c = recordAt<CustomerRecord>(b);
                if (c.number <= 0 || !keep(c)) return std::nullopt;
                return customerRow(c, takings);
            });
    };
    switch (r.kind) {
        case ListKind::kItemsFromNumber:
            return items([](const InventoryRecord&) { return true; });
        case ListKind::kItemsByCategory: {
            const int cat = r.category;
            return items([cat](const InventoryRecord& i) { return i.display_category == cat; });
        }
        case ListKind::kItemsBySku: {
            if (r.text.empty() || r.text.size() > 30) return nullptr;
            AdvancedQuery q;
            q.sku[0] = r.text;
            q = upperCased(q);
            return std::make_unique<SearchSource>(
                [&store, q, showCost](uint64_t from,
                                      Status* e) -> std::optional<std::pair<uint64_t, ListRow>> {
                    auto hit = nextAdvanced(store, q, from, e);
                    if (!hit) return std::nullopt;
                    return std::make_pair(hit->slot, itemRow(hit->item, showCost));
                });
        }
        case ListKind::kItemsAlphabetical:
        case ListKind::kCustomersAlphabetical: {
            const bool forItems = r.kind == ListKind::kItemsAlphabetical;
            unsigned char from = 0, to = 0;
            if (!alphabeticalRange(r.text, r.endText, &from, &to)) return nullptr;
            const SortedFile which = forItems ? SortedFile::kItems : SortedFile::kCustomers;
            auto rows = sortAlphabetically(store, which, from, to);
            if (Status s = writeSortedFile(store, which, rows); !s) {
                *error = s;
                return nullptr;
            }
            return std::make_unique<SortedSource>(store, which, forItems, forItems && showCost);
        }
        case ListKind::kItemsTopVolume: {
            auto rows = sortByVolume(store, r.category);
            if (Status s = writeSortedFile(store, SortedFile::kItems, rows); !s) {
                *error = s;
                return nullptr;
            }
            return std::make_unique<SortedSource>(store, SortedFile::kItems, true, false);
        }
        case ListKind::kSuppliers:
            return std::make_unique<IndexSource>(
                store, store.suppliers(), r.fromNumber,
                [](const unsigned char* b) -> std::optional<ListRow> {
                    const auto s = recordAt<SupplierRecord>(b);
                    if (s.number <= 0) return std::nullopt;
                    return ListRow{numberText(s.number), fieldText(s.name), {}, {}};
                });
        case ListKind::kCustomersFromNumber:
            return customers([](const CustomerRecord&) { return true; });
        case ListKind::kCustomersWithCredit:
            return customers([](const CustomerRecord& c) { return c.balance != 0; });
        case ListKind::kCustomersNotGroup1:
            return customers([](const CustomerRecord& c) { return c.group != 1; });
        case ListKind::kCustomersActive:
            return customers(
                [year](const CustomerRecord& c) { return yearOfStamp(c.last_used) == year; });
        case ListKind::kCustomersOverdue: {
            // Owing, and no payment within the credit period of the
            // customer's terms (counted from the last payment, or from the
            // last purchase when there was none).
            std::array<int, 9> days{};
            {
                auto lock = store.lock();
                for (int band = 1; band <= 8; ++band)
                    days[static_cast<std::size_t>(band)] = periodDays(store.config(), band);
            }
            return customers([days, todayNumber](const CustomerRecord& c) {
                if (!(c.balance > 0)) return false;
                int since = dayNumberOfStamp(c.last_payment);
                if (since < 0) since = dayNumberOfStamp(c.last_used);
                if (since < 0) return true;
                const int band = c.terms >= 1 && c.terms <= 8 ? c.terms : 0;
                return todayNumber - since > days[static_cast<std::size_t>(band)];
            });
        }
        case ListKind::kCustomersTakings:
            return customers([](const CustomerRecord& c) { return c.total_purchases != 0; }, true);
        case ListKind::kCustomersByName: {
            const std::string q = upperText(r.text);
            if (q.empty()) return nullptr;
            return std::make_unique<SearchSource>(
                [&store, q](uint64_t from,
                            Status* e) -> std::optional<std::pair<uint64_t, ListRow>> {
                    auto hit = nextByNameFragment(store, q, from, e);
                    if (!hit) return std::nullopt;
                    return std::make_pair(hit->slot, customerRow(hit->customer, false));
                });
        }
        case ListKind::kCustomersByAddress: {
            const std::string q = upperText(r.text);
            if (q.empty()) return nullptr;
            // No address search exists elsewhere; this one walks the file
            // with the same slot-by-slot scan the name searches use.
            return std::make_unique<SearchSource>(
                [&store, q](uint64_t from,
                            Status* e) -> std::optional<std::pair<uint64_t, ListRow>> {
                    auto hit = scanFrom(
                        store, store.customers(), from, [](uint64_t) { return true; },
                        [&q](uint64_t, const unsigned char* rec) {
                            const auto c = recordAt<CustomerRecord>(rec);
                            return c.number > 0 && (containsUpper(fieldText(c.road), q) ||
                                                    containsUpper(fieldText(c.area), q) ||
                                                    containsUpper(fieldText(c.town), q) ||
                                                    containsUpper(fieldText(c.postcode), q));
                        },
                        e);
                    if (!hit) return std::nullopt;
                    return std::make_pair(
                        hit->slot,
                        customerRow(recordAt<CustomerRecord>(hit->record.data()), false));
                });
        }
    }
    return nullptr;
}

Status ListPager::load(int64_t from) {
    Status error;
    ListPage page = m_source.fetch(from, &error);
    if (!error) return error;
    m_page = std::move(page);
    m_start = from;
    return Status::ok();
}

Status ListPager::open() {
    m_history.clear();
    if (Status s = load(m_source.start()); !s) return s;
    if (m_page.rows.empty()) return Status::invalid("No items on record.");
    return Status::ok();
}

Status ListPager::more() {
    if (m_page.exhausted) return Status::ok();
    const int64_t previous = m_start;
    if (Status s = load(m_page.next); !s) return s;
    m_history.push_back(previous);
    if (m_history.size() > kListHistoryPages) m_history.erase(m_history.begin());
    return Status::ok();
}

bool ListPager::back() {
    if (m_history.empty()) return false;
    const int64_t start = m_history.back();
    m_history.pop_back();
    return load(start).isOk();
}

std::vector<ListRow> ListPager::rows() const {
    std::vector<ListRow> out = m_page.rows;
    out.resize(kListPageRows);
    return out;
}

}  // namespace kassio
