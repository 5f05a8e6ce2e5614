#include "listings/printed_listing.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "listings/listing_page.h"
#include "listings/listing_settings.h"
#include "listings/sorted_list_file.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "store/supplier_record.h"

namespace kassio {

namespace {

constexpr std::size_t kEntriesPerHold = 2048;

std::string upperText(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string num(int64_t n) {
    return formatted("%lld", static_cast<long long>(n));
}

// Walks a record file in number order, each record given to visit() as
// raw bytes; the DataMutex is let go between chunks.
Status walk(DataStore& store, RecordFile& file,
            const std::function<void(const unsigned char*)>& visit) {
    std::vector<unsigned char> buf(file.spec().recordSize);
    int64_t from = 1;
    for (;;) {
        auto lock = store.lock();
        const auto& entries = file.index().entries();
        std::size_t i = file.index().lowerBound(from);
        for (std::size_t seen = 0; i < entries.size() && seen < kEntriesPerHold; ++i, ++seen) {
            if (!file.read(entries[i].slot, buf.data())) return file.notPresent();
            from = entries[i].number + 1;
            visit(buf.data());
        }
        if (i >= entries.size()) return Status::ok();
    }
}

template <typename Record>
Record as(const unsigned char* b) {
    Record r;
    std::memcpy(&r, b, sizeof r);
    return r;
}

ListingCells itemCells(const InventoryRecord& r, const std::string& category, bool cost) {
    ListingCells cells{{0, num(r.number)}, {16, fieldText(r.description)}};
    if (cost) {
        cells.push_back({58, formatted("%d", r.quantity)});
        cells.push_back({66, formatted("%.2f", r.cost_price)});
        cells.push_back({76, formatted("%.2f", r.retail_price)});
        cells.push_back({86, formatted("%.2f", r.quantity * r.cost_price)});
    } else {
        cells.push_back({58, category});
        cells.push_back({64, formatted("%d", r.quantity)});
        cells.push_back({72, formatted("%.2f", r.retail_price)});
        cells.push_back({84, formatted("%.2f", r.quantity * r.retail_price)});
    }
    return cells;
}

std::string taxColumn(int code) {
    switch (code) {
        case 1:
            return ", 1 and 2";
        case 2:
            return ", Tax 1";
        case 3:
            return ", Tax 2";
        default:
            return ", Non";
    }
}

std::string customRow(const InventoryRecord& r, const std::array<bool, kListingColumnCount>& on,
                      const StoreConfig& cfg) {
    std::string row = num(r.number);
    auto text = [&](const std::string& s) { row += ", " + s; };
    auto money = [&](double v) { row += formatted(", %.2f", v); };
    auto count = [&](int v) { row += formatted(", %d", v); };
    for (int c = 0; c < kListingColumnCount; ++c) {
        if (!on[static_cast<std::size_t>(c)]) continue;
        switch (static_cast<ListingColumn>(c)) {
            case ListingColumn::kDescription:
                text(fieldText(r.description));
                break;
            case ListingColumn::kSku1:
                text(fieldText(r.sku1));
                break;
            case ListingColumn::kSku2:
                text(fieldText(r.sku2));
                break;
            case ListingColumn::kSku3:
                text(fieldText(r.sku3));
                break;
            case ListingColumn::kSku4:
                text(fieldText(r.sku4));
                break;
            case ListingColumn::kCost:
                money(r.cost_price);
                break;
            case ListingColumn::kTrade:
                money(r.trade_price);
                break;
            case ListingColumn::kRetail:
                money(r.retail_price);
                break;
            case ListingColumn::kOrderCode:
                text(fieldText(r.order_code));
                break;
            case ListingColumn::kOnOrder:
                count(r.on_order);
                break;
            case ListingColumn::kOrderQuantity:
                count(r.order_quantity);
                break;
            case ListingColumn::kMinimumOrder:
                count(r.minimum_order);
                break;
            case ListingColumn::kReorderLevel:
                count(r.reorder_quantity);
                break;
            case ListingColumn::kTaxCode:
                row += taxColumn(r.tax);
                break;
            case ListingColumn::kInStock:
                count(r.quantity);
                break;
            case ListingColumn::kDateAdded:
                text(fieldText(r.date_added));
                break;
            case ListingColumn::kDisplayCategory:
                text(cfg.categoryCode(r.display_category));
                break;
            case ListingColumn::kLocation:
                text(fieldText(r.location));
                break;
            case ListingColumn::kWebUrl:
                text(fieldText(r.website));
                break;
            case ListingColumn::kWebImage:
                text(fieldText(r.web_image));
                break;
        }
    }
    return row;
}

ListingCells customerCells(const CustomerRecord& c) {
    return {{0, num(c.number)},
            {16, fieldText(c.name)},
            {48, fieldText(c.telephone)},
            {66, formatted("%.2f", c.balance)},
            {78, formatted("%.2f", c.total_purchases)}};
}

constexpr const char* kItemColumns =
    "Number          Description   Cat   Held   Retail   Total retail";
constexpr const char* kCostColumns =
    "Number          Description   Held   Cost   Retail   Total cost";
constexpr const char* kCustomerColumns = "Number          Name   Telephone   Balance   Purchases";

}  // namespace

bool printedListingFrom(const std::string& name, PrintedListing* kind) {
    static const std::map<std::string, PrintedListing> kNames = {
        {"items", PrintedListing::kItemsFromNumber},
        {"alpha", PrintedListing::kItemsAlphabetical},
        {"cost", PrintedListing::kItemsCostValue},
        {"category", PrintedListing::kItemsCategory},
        {"held", PrintedListing::kItemsHeld},
        {"custom", PrintedListing::kItemsCustom},
        {"location", PrintedListing::kItemsLocation},
        {"suppliers", PrintedListing::kSuppliers},
        {"customers", PrintedListing::kCustomersNumeric},
        {"customers-alpha", PrintedListing::kCustomersAlphabetical},
        {"debit-credit", PrintedListing::kCustomersDebitCredit},
        {"non-default", PrintedListing::kCustomersNonDefault},
        {"inactive", PrintedListing::kCustomersInactive},
        {"takings", PrintedListing::kCustomersTakings},
    };
    auto it = kNames.find(name);
    if (it == kNames.end()) return false;
    *kind = it->second;
    return true;
}

Status buildListing(DataStore& store, const ListingRequest& r, RecordListing* out) {
    *out = RecordListing{};
    StoreConfig cfg;
    LocalTime today = store.clock().now();
    {
        auto lock = store.lock();
        cfg = store.config();
    }
    auto items = [&](const std::function<bool(const InventoryRecord&)>& keep, bool cost) {
        return walk(store, store.items(), [&](const unsigned char* b) {
            const auto item = as<InventoryRecord>(b);
            if (item.number > 0 && keep(item))
                out->rows.push_back(itemCells(item, cfg.categoryCode(item.display_category), cost));
        });
    };
    auto customers = [&](const std::function<bool(const CustomerRecord&)>& keep) {
        return walk(store, store.customers(), [&](const unsigned char* b) {
            const auto c = as<CustomerRecord>(b);
            if (c.number > 0 && keep(c)) out->rows.push_back(customerCells(c));
        });
    };
    // The rows of the sorted work file, each record read again for its
    // columns.
    auto alphabetical = [&](SortedFile which) -> Status {
        unsigned char from = 0, to = 0;
        if (!alphabeticalRange(r.startChar, r.endChar, &from, &to))
            return Status::invalid("Invalid selection");
        auto rows = sortAlphabetically(store, which, from, to);
        RecordFile& file = which == SortedFile::kItems ? store.items() : store.customers();
        std::vector<unsigned char> buf(file.spec().recordSize);
        for (std::size_t i = 0; i < rows.size();) {
            auto lock = store.lock();
            for (std::size_t n = 0; i < rows.size() && n < kEntriesPerHold; ++i, ++n) {
                auto slot = file.find(rows[i].number);
                if (!slot || !file.read(*slot, buf.data())) continue;
                if (which == SortedFile::kItems) {
                    const auto item = as<InventoryRecord>(buf.data());
                    out->rows.push_back(
                        itemCells(item, cfg.categoryCode(item.display_category), false));
                } else {
                    out->rows.push_back(customerCells(as<CustomerRecord>(buf.data())));
                }
            }
        }
        return Status::ok();
    };
    const int year = today.year;
    auto yearOf = [](const char(&stamp)[16]) {
        const std::string t = fieldText(stamp);
        return t.size() >= 15 ? std::atoi(t.substr(11, 4).c_str()) : 0;
    };

    switch (r.kind) {
        case PrintedListing::kItemsFromNumber: {
            out->heading = "Inventory list:";
            out->columns = kItemColumns;
            const int64_t from = r.fromNumber;
            return items([from](const InventoryRecord& i) { return i.number >= from; }, false);
        }
        case PrintedListing::kItemsAlphabetical:
            out->heading = "Inventory list:";
            out->columns = kItemColumns;
            return alphabetical(SortedFile::kItems);
        case PrintedListing::kItemsCostValue:
            out->heading = "Inventory list:";
            out->columns = kCostColumns;
            return items([](const InventoryRecord&) { return true; }, true);
        case PrintedListing::kItemsCategory: {
            out->heading = "Inventory category list: ";
            out->columns = kItemColumns;
            const int cat = r.category;
            return items([cat](const InventoryRecord& i) { return i.display_category == cat; },
                         false);
        }
        case PrintedListing::kItemsHeld:
            out->heading = "Inventory held list: ";
            out->columns = kCostColumns;
            return items([](const InventoryRecord& i) { return i.quantity > 0; }, true);
        case PrintedListing::kItemsCustom: {
            out->heading = "Inventory list: ";
            const auto on = listingColumns(cfg);
            out->columns = "Number";
            for (int c = 0; c < kListingColumnCount; ++c)
                if (on[static_cast<std::size_t>(c)])
                    out->columns += std::string(", ") + listingColumnName(c);
            return walk(store, store.items(), [&](const unsigned char* b) {
                const auto item = as<InventoryRecord>(b);
                if (item.number > 0) out->rows.push_back({{0, customRow(item, on, cfg)}});
            });
        }
        case PrintedListing::kItemsLocation: {
            const std::string where = upperText(trimmed(r.location));
            if (where.empty() || r.location.size() > 39) return Status::invalid("Invalid entry");
            out->heading = "Location: " + r.location;
            out->columns = kItemColumns;
            return items(
                [&where](const InventoryRecord& i) {
                    return upperText(trimmed(fieldText(i.location))) == where;
                },
                false);
        }
        case PrintedListing::kSuppliers:
            out->heading = "Numeric supplier list: ";
            out->columns = "Number            Name";
            return walk(store, store.suppliers(), [&](const unsigned char* b) {
                const auto s = as<SupplierRecord>(b);
                if (s.number <= 0) return;
                out->rows.push_back(
                    {{0, formatted("%-16lld  %s  %s, %s,  Tel %s", static_cast<long long>(s.number),
                                   fieldText(s.name).c_str(), fieldText(s.road).c_str(),
                                   fieldText(s.town).c_str(), fieldText(s.telephone1).c_str())}});
            });
        case PrintedListing::kCustomersNumeric:
            out->heading = "Numeric customer list: ";
            out->columns = kCustomerColumns;
            return customers([](const CustomerRecord&) { return true; });
        case PrintedListing::kCustomersAlphabetical:
            out->heading = "Alphabetical customer list: ";
            out->columns = kCustomerColumns;
            return alphabetical(SortedFile::kCustomers);
        case PrintedListing::kCustomersDebitCredit:
            out->heading = "Debit / credit customer list: ";
            out->columns = kCustomerColumns;
            return customers([](const CustomerRecord& c) { return c.balance != 0; });
        case PrintedListing::kCustomersNonDefault:
            out->heading = "Non default category customer list: ";
            out->columns = kCustomerColumns;
            return customers([](const CustomerRecord& c) { return c.group != 1; });
        case PrintedListing::kCustomersInactive:
            out->heading = "Inactive customer list: ";
            out->columns = kCustomerColumns;
            return customers([&](const CustomerRecord& c) { return yearOf(c.last_used) != year; });
        case PrintedListing::kCustomersTakings:
            out->heading = "Takings: ";
            out->columns = kCustomerColumns;
            return customers([](const CustomerRecord& c) { return c.total_purchases != 0; });
    }
    return Status::invalid("Invalid selection");
}

std::string listingPageHeading(const std::string& storeName, const std::string& heading,
                               const LocalTime& today, int page) {
    std::string text = storeName + " " + heading;
    if (!text.empty() && text.back() != ' ') text += ' ';
    text += longDateText(today.year, today.month, today.day);
    return formatted("%s  Page: %d", text.c_str(), page);
}

Status printListing(PrintJob& job, const RecordListing& listing, const std::string& storeName,
                    const LocalTime& today, int fontPoints, int indent) {
    std::size_t next = 0;
    return printTextDocument(job, [&](Canvas& canvas, int page) {
        if (page == 1) next = 0;  // every copy from the first row
        TextPage p(canvas, fontPoints, indent);
        p.text(0, 0, listingPageHeading(storeName, listing.heading, today, page));
        p.text(1, 0, listing.columns);
        for (int row = 2; row < p.rows() && next < listing.rows.size(); ++row, ++next)
            for (const auto& [column, text] : listing.rows[next]) p.text(row, column, text);
        return next < listing.rows.size();
    });
}

Status printListingFor(DataStore& store, PrintJob& job, const RecordListing& listing) {
    std::string name;
    int points = 0, indent = 0;
    {
        auto lock = store.lock();
        name = store.config().heading(1);
        points = listingFontPoints(store.config());
        indent = listingIndent(store.config());
    }
    return printListing(job, listing, name, store.clock().now(), points, indent);
}

}  // namespace kassio
