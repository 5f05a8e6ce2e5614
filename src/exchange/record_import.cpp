#include "exchange/record_import.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <string_view>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "exchange/file_replacement.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/inventory_record.h"
#include "store/record_layout.h"

namespace kassio {

namespace {

constexpr std::size_t kLineLimit = 1999;  // a line feed must come within 1998 bytes
// Records added to inventory.dat per posting journal batch in a Merge: about
// 8.6 MB, below the size that starts a checkpoint.
constexpr std::size_t kMergeChunk = 4096;

Status fileNotPresent() {
    return Status::notFound("File not present.");
}

// The comma-separated fields of one line, as the map reads them.
class CsvLine {
  public:
    explicit CsvLine(std::string_view line) : m_line(line) {}

    // Where column c (from 1) starts; nullopt when the line has fewer than
    // c-1 commas.
    std::optional<std::string_view> column(int c) const {
        std::size_t at = 0;
        for (int commas = 0; commas < c - 1; ++commas) {
            std::size_t comma = m_line.find(',', at);
            if (comma == std::string_view::npos) return std::nullopt;
            at = comma + 1;
        }
        return m_line.substr(at);
    }

  private:
    std::string_view m_line;
};

// A text field: up to the next comma or carriage return, cut to limit.
std::string textOf(std::string_view field, std::size_t limit) {
    std::size_t end = field.find_first_of(",\r");
    std::string_view t = field.substr(0, end == std::string_view::npos ? field.size() : end);
    return std::string(t.substr(0, std::min(limit, t.size())));
}

// A sum of money taken only when above 0 and a real amount: an "inf" or a
// value beyond the money limit would poison every total it reaches.
bool takeMoney(std::string_view field, double* into) {
    double v = decimalFromText(field);
    if (!(v > 0) || !isSaneMoney(v)) return false;
    *into = v;
    return true;
}

void fillItem(InventoryRecord& r, int slot, std::string_view f) {
    switch (slot) {
        case 0:
            r.number = numberFromText(f);
            break;
        case 1:
            setFieldText(r.description, upperCase(textOf(f, 39)));
            break;
        case 2:
            setFieldText(r.sku1, textOf(f, 39));
            break;
        case 3:
            setFieldText(r.sku2, textOf(f, 39));
            break;
        case 4:
            takeMoney(f, &r.cost_price);
            break;
        case 5: {
            int32_t v = integerFromText(f);
            if (v >= 0 && v <= 17) r.display_category = v;
            break;
        }
        case 6:
            takeMoney(f, &r.retail_price);
            break;
        case 7:
            if (int32_t v = integerFromText(f); v > 0) r.quantity = v;
            break;
        case 8:
            if (int32_t v = integerFromText(f); v > 0) r.reorder_quantity = v;
            break;
        case 9:
            if (int32_t v = integerFromText(f); v > 0) r.tax = v > 3 ? 1 : v;
            break;
        case 10:
            setFieldText(r.order_code, textOf(f, 39));
            break;
        case 11:
            if (int32_t v = integerFromText(f); v > 0) r.order_quantity = v;
            break;
        case 12:
            if (int32_t v = integerFromText(f); v > 0) r.minimum_order = v;
            break;
        case 13:
            takeMoney(f, &r.trade_price);
            break;
        case 14:
            setFieldText(r.location, textOf(f, 39));
            break;
        case 15:
            setFieldText(r.website, textOf(f, 39));
            break;
        case 16:
            setFieldText(r.web_image, textOf(f, 39));
            break;
    }
}

void fillCustomer(CustomerRecord& r, int slot, std::string_view f) {
    switch (slot) {
        case 0:
            r.number = numberFromText(f);
            break;
        case 1:
            setFieldText(r.name, textOf(f, 29));
            break;
        case 2:
            setFieldText(r.road, upperCase(textOf(f, 29)));
            break;
        case 3:
            setFieldText(r.area, upperCase(textOf(f, 29)));
            break;
        case 4:
            setFieldText(r.town, upperCase(textOf(f, 29)));
            break;
        case 5:
            setFieldText(r.postcode, upperCase(textOf(f, 9)));
            break;
        case 6:
            setFieldText(r.telephone, upperCase(textOf(f, 19)));
            break;
        case 7:
            if (int64_t v = numberFromText(f); v > 0) r.tax = v;
            break;
        case 8:
            takeMoney(f, &r.balance);
            break;
        case 9:
            takeMoney(f, &r.credit_limit);
            break;
        case 10:
            setFieldText(r.shipping_address_1, textOf(f, 59));
            break;
        case 11:
            setFieldText(r.shipping_address_2, textOf(f, 29));
            break;
        case 12:
            setFieldText(r.shipping_address_3, textOf(f, 29));
            break;
        case 13:
            setFieldText(r.shipping_address_4, textOf(f, 29));
            break;
        case 14:
            setFieldText(r.shipping_address_5, textOf(f, 9));
            break;
        case 15:
            setFieldText(r.comment, textOf(f, 29));
            break;
        case 16:
            if (int32_t v = integerFromText(f); v > 0) r.group = v;
            break;
        case 17:
            setFieldText(r.email, textOf(f, 39));
            break;
    }
}

// Fills slots in map order until a column the line does not reach.
template <typename Fill>
void fillFromLine(std::string_view line, const ImportMap& map, Fill fill) {
    CsvLine csv(line);
    for (std::size_t slot = 0; slot < map.columns.size(); ++slot) {
        const int column = map.columns[slot];
        if (column <= 0) continue;
        auto field = csv.column(column);
        if (!field) return;
        fill(static_cast<int>(slot), *field);
    }
}

bool validNumber(int64_t n) {
    return n >= 1 && n <= kMaxRecordNumber;
}

// Walks the counted records of the file: a line is read up to its line feed;
// one without a line feed in its first 1998 bytes is skipped once its 1999th
// byte is read, and the next record starts after that byte.
template <typename Visit>
void forEachLine(const std::vector<unsigned char>& data, int records, Visit visit) {
    const char* bytes = reinterpret_cast<const char*>(data.data());
    std::size_t pos = 0;
    for (int r = 0; r < records && pos < data.size(); ++r) {
        const std::size_t start = pos;
        std::size_t n = 0;
        bool lineFeed = false;
        while (pos < data.size() && n < kLineLimit) {
            ++n;
            if (bytes[pos++] == '\n') {
                lineFeed = true;
                break;
            }
        }
        if (n == kLineLimit) continue;
        visit(std::string_view(bytes + start, lineFeed ? n - 1 : n));
    }
}

std::optional<int64_t> firstDuplicate(std::vector<int64_t> numbers) {
    if (numbers.size() < 2) return std::nullopt;
    std::sort(numbers.begin(), numbers.end());
    auto it = std::adjacent_find(numbers.begin(), numbers.end());
    if (it == numbers.end()) return std::nullopt;
    return *it;
}

Notice duplicateNotice(int64_t number) {
    return {formatted("Item %" PRId64 " duplicated", number), "Import inconsistancy", true};
}

Notice closeDownNotice(const char* title) {
    return {"KASSIO will now close down", title, false};
}

ExchangeOutcome finish(const std::vector<int64_t>& numbers, const char* title) {
    ExchangeOutcome out;
    if (auto dup = firstDuplicate(numbers)) out.notices.push_back(duplicateNotice(*dup));
    out.notices.push_back(closeDownNotice(title));
    out.closeDown = true;
    return out;
}

ExchangeOutcome noValidItems() {
    return failure(Status::invalid("No valid items"));
}

InventoryRecord newItem() {
    InventoryRecord r;
    std::memset(&r, 0, sizeof r);
    setFieldText(r.last_used, "NEW");
    r.picture_number = 1;
    r.display_category = 14;
    return r;
}

ExchangeOutcome importItems(DataStore& store, const std::vector<unsigned char>& data,
                            const ImportMap& map, int records) {
    std::vector<InventoryRecord> valid;
    std::vector<int64_t> numbers;
    numbers.reserve(static_cast<std::size_t>(records) + 10);
    auto lock = store.lock();
    forEachLine(data, records, [&](std::string_view line) {
        InventoryRecord r = newItem();
        fillFromLine(line, map, [&r](int slot, std::string_view f) { fillItem(r, slot, f); });
        if (!validNumber(r.number) || fieldText(r.description).size() < 2) return;
        // Against the index as it was before the import: numbers repeated
        // inside the file are all written, then reported.
        if (map.merge && store.items().find(r.number)) return;
        valid.push_back(r);
        numbers.push_back(r.number);
    });

    if (!map.merge) {
        if (valid.empty()) return noValidItems();
        FileReplacement replacement(store);
        replacement.keepPrevious("inventory.dat", "temp2.dat");
        Status s = replacement.status();
        if (s)
            s = replacement.append("inventory.dat", valid.data(), valid.size() * sizeof valid[0]);
        if (!s) return failure(Status::invalid("Unable to open inventory.dat"));
        if (Status c = replacement.commit(); !c) return failure(c);
        return finish(numbers, "Inventory import complete");
    }

    // Merge: appended at the end of the file, a batch at a time.
    if (!store.files().exists("inventory.dat"))
        return failure(Status::invalid("Unable to open inventory.dat"));
    for (std::size_t at = 0; at < valid.size(); at += kMergeChunk) {
        const std::size_t n = std::min(kMergeChunk, valid.size() - at);
        uint64_t ticket = 0;
        Status s;
        {
            StoreFiles::Batch batch(store.files());
            s = store.files().append("inventory.dat", &valid[at], n * sizeof valid[0]);
            Status c = batch.commit(&ticket);
            if (s) s = c;
        }
        if (s) s = store.waitDurable(ticket);
        if (!s) {
            static_cast<void>(store.openData());
            return failure(s);
        }
    }
    if (Status s = store.openData(); !s) return failure(s);
    return finish(numbers, "Inventory import complete");
}

ExchangeOutcome importCustomers(DataStore& store, const std::vector<unsigned char>& data,
                                const ImportMap& map, int records) {
    std::vector<CustomerRecord> valid;
    std::vector<int64_t> numbers;
    forEachLine(data, records, [&](std::string_view line) {
        CustomerRecord r;
        std::memset(&r, 0, sizeof r);
        r.group = 1;
        r.terms = 1;
        r.tax = 1;
        fillFromLine(line, map, [&r](int slot, std::string_view f) { fillCustomer(r, slot, f); });
        if (!validNumber(r.number) || fieldText(r.name).size() < 2) return;
        valid.push_back(r);
        numbers.push_back(r.number);
    });
    if (valid.empty()) {
        // customer.dat is never left empty: one deleted slot.
        CustomerRecord r;
        std::memset(&r, 0, sizeof r);
        r.number = -1;
        valid.push_back(r);
    }
    FileReplacement replacement(store);
    Status s = replacement.status();
    if (s) s = replacement.append("customer.dat", valid.data(), valid.size() * sizeof valid[0]);
    if (!s) return failure(Status::invalid("Unable to open customer.dat"));
    if (Status c = replacement.commit(); !c) return failure(c);
    return finish(numbers, "File import complete");
}

template <std::size_t N>
void copyText(char (&to)[N], const unsigned char* from, std::size_t width) {
    const std::size_t len = strnlen(reinterpret_cast<const char*>(from), std::min(width, N - 1));
    std::memcpy(to, from, len);
    to[len] = '\0';
}

void copyTextAt(unsigned char* to, std::size_t width, const unsigned char* from) {
    const std::size_t len = strnlen(reinterpret_cast<const char*>(from), width - 1);
    std::memcpy(to, from, len);
    to[len] = '\0';
}

float floatAt(const unsigned char* p, std::size_t offset) {
    float f;
    std::memcpy(&f, p + offset, sizeof f);
    return f;
}
int32_t intAt(const unsigned char* p, std::size_t offset) {
    int32_t v;
    std::memcpy(&v, p + offset, sizeof v);
    return v;
}

// The text fields from 8 to 669 sit at the same offsets in both records.
struct TextSpan {
    std::size_t offset;
    std::size_t width;
};
constexpr TextSpan kSharedTexts[] = {
    {8, 40},   {48, 42},  {90, 40},  {130, 40}, {170, 40}, {210, 40}, {250, 20},
    {270, 20}, {290, 20}, {310, 20}, {330, 20}, {350, 40}, {390, 40}, {430, 40},
    {470, 40}, {510, 40}, {550, 40}, {590, 20}, {610, 20}, {630, 20}, {650, 20},
};

}  // namespace

InventoryRecord itemFromSibling(const unsigned char* s) {
    InventoryRecord r;
    std::memset(&r, 0, sizeof r);
    auto* d = reinterpret_cast<unsigned char*>(&r);
    std::memcpy(&r.number, s, sizeof r.number);
    for (const TextSpan& t : kSharedTexts) copyTextAt(d + t.offset, t.width, s + t.offset);
    std::memcpy(d + 670, s + 670, 706 - 670);  // quantity .. labels to print
    r.total_sold = intAt(s, 714);
    r.cost_price = floatAt(s, 814);
    r.trade_price = floatAt(s, 818);
    r.retail_price = floatAt(s, 822);
    r.delivery = floatAt(s, 862);
    r.weight = floatAt(s, 866);
    copyText(r.website, s + 882, 40);
    copyText(r.web_image, s + 922, 40);
    for (std::size_t i = 0; i < 6; ++i)
        copyTextAt(reinterpret_cast<unsigned char*>(r.reserved_texts8_13) + 40 * i, 40,
                   s + 962 + 40 * i);
    std::memcpy(d + 1270, s + 1202, 5 * 4);
    std::memcpy(d + 1290, s + 1222, 40 * 4);
    for (std::size_t i = 0; i < 5; ++i) r.reserved_doubles1[i] = floatAt(s, 1382 + 4 * i);
    for (std::size_t i = 0; i < 40; ++i) r.reserved_doubles2[i] = floatAt(s, 1402 + 4 * i);
    r.own_picture = intAt(s, 1562);
    r.sale_or_return = intAt(s, 1566);
    copyText(r.reserved_text14, s + 1570, 20);
    copyText(r.reserved_text15, s + 1590, 20);
    copyText(r.notes, s + 1610, 80);
    copyText(r.reserved_text16, s + 1693, 4);
    copyText(r.bundle_component2, s + 1697, 20);
    copyText(r.bundle_component3, s + 1717, 20);
    r.display_category = intAt(s, 1787);
    copyText(r.reserved_text17, s + 1791, 11);
    r.kind = intAt(s, 1802);
    r.reserved_double = floatAt(s, 1806);
    copyText(r.last_used, s + 1810, 16);
    r.last_reference =
        static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(intAt(s, 1830))) << 32) |
                             static_cast<uint32_t>(intAt(s, 1826)));
    copyText(r.second_timestamp, s + 1834, 16);
    return r;
}

Status surveyImportFile(const std::string& path, ImportSurvey* survey) {
    auto data = readWholeFile(path);
    if (!data) return fileNotPresent();
    if (data->empty()) return Status::invalid("File has no content");
    *survey = ImportSurvey();
    const auto lf = std::find(data->begin(), data->end(), '\n');
    if (lf != data->end()) {
        survey->fields = static_cast<int>(std::count(data->begin(), lf, ',')) + 1;
        std::size_t len =
            std::min<std::size_t>(static_cast<std::size_t>(lf - data->begin()), kLineLimit);
        survey->firstLine.assign(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(len));
    }
    survey->records = static_cast<int>(std::count(data->begin(), data->end(), '\n'));
    if (survey->records == 0 || survey->fields == 0)
        return Status::invalid("Non recognised format");
    return Status::ok();
}

ImportMap defaultImportMap(bool customers, int fields) {
    ImportMap map;
    map.customers = customers;
    const int slots = customers ? kCustomerMapSlots : kItemMapSlots;
    map.columns.assign(static_cast<std::size_t>(slots), 0);
    const int filled = !customers && fields > 15 ? slots : std::min(fields, slots);
    for (int i = 0; i < filled; ++i) map.columns[static_cast<std::size_t>(i)] = i + 1;
    return map;
}

void limitImportMap(ImportMap& map, int fields) {
    for (int& c : map.columns)
        if (c < 0 || c > fields) c = 0;
}

const std::vector<std::string>& importMapLabels(bool customers) {
    static const std::vector<std::string> kItems = {
        "Number",           "Description",    "SKU 1",         "SKU 2",         "Cost price",
        "Display category", "Retail price",   "In stock",      "Restock level", "Taxable",
        "Order code",       "Order quantity", "Minimum order", "Trade price",   "Location",
        "Web URL",          "Web image URL"};
    static const std::vector<std::string> kCustomers = {
        "Number",    "Company",   "Address 1", "Address 2",    "Address 3", "Address 4",
        "Telephone", "Taxable",   "Balance",   "Credit limit", "Shipping",  "Address 1",
        "Address 2", "Address 3", "Address 4", "Comment",      "Group",     "Email"};
    return customers ? kCustomers : kItems;
}

ExchangeOutcome importRecords(DataStore& store, const std::string& path, const ImportMap& map,
                              int records) {
    if (map.columns.empty() || map.columns[0] == 0) return {};
    auto data = readWholeFile(path);
    if (!data) return failure(fileNotPresent());
    return map.customers ? importCustomers(store, *data, map, records)
                         : importItems(store, *data, map, records);
}

Status surveySiblingFile(const std::string& path, int* records) {
    auto file = File::open(path, File::Mode::kRead);
    if (!file) return fileNotPresent();
    auto size = file->size();
    if (!size) return fileNotPresent();
    if (*size == 0) return Status::invalid("File has no content");
    if (*size % kSiblingRecordSize != 0) return Status::invalid("Non recognised format");
    *records = static_cast<int>(*size / kSiblingRecordSize);
    return Status::ok();
}

ExchangeOutcome importSiblingInventory(DataStore& store, const std::string& path) {
    auto data = readWholeFile(path);
    if (!data) return failure(fileNotPresent());
    FileReplacement replacement(store);
    replacement.keepPrevious("inventory.dat", "temp2.dat");
    if (!replacement.status()) return failure(Status::invalid("Unable to open inventory.dat"));
    int taken = 0;
    for (std::size_t at = 0; at + kSiblingRecordSize <= data->size(); at += kSiblingRecordSize) {
        const unsigned char* s = data->data() + at;
        int64_t number;
        std::memcpy(&number, s, sizeof number);
        if (number <= 0) continue;
        InventoryRecord r = itemFromSibling(s);
        if (Status a = replacement.append("inventory.dat", &r, sizeof r); !a)
            return failure(Status::invalid("Unable to open inventory.dat"));
        ++taken;
    }
    if (taken == 0) return noValidItems();
    if (Status c = replacement.commit(); !c) return failure(c);
    return {{closeDownNotice("Inventory import complete")}, true};
}

}  // namespace kassio
