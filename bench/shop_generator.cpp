#include "shop_generator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <random>
#include <stdexcept>

#include "base/fixed_text.h"
#include "base/timestamp.h"
#include "store/customer_record.h"
#include "store/file_io.h"
#include "store/inventory_record.h"
#include "store/items.h"
#include "store/journal.h"
#include "store/store_config.h"
#include "store/supplier_record.h"

namespace kassio::bench {

namespace {

// Caught by the constructor, which removes the half-made folder first.
[[noreturn]] void cannot(const std::string& what) {
    throw std::runtime_error(what);
}

constexpr const char* kAdjectives[] = {"Red",    "Blue",  "Green", "Large", "Small",  "Organic",
                                       "Fresh",  "Dried", "Spicy", "Sweet", "Salted", "Frozen",
                                       "Smoked", "Plain", "Mixed", "Whole", "Light",  "Dark"};
constexpr const char* kNouns[] = {"apples",   "tea",       "coffee", "biscuits", "socks",
                                  "candles",  "soap",      "pasta",  "rice",     "olives",
                                  "notebook", "pencils",   "cheese", "crackers", "honey",
                                  "mugs",     "batteries", "gloves", "sardines", "jam"};
constexpr const char* kFirstNames[] = {"Anna",  "Ben",  "Clara", "David", "Eva",   "Farid",
                                       "Greta", "Hugo", "Ines",  "Jonas", "Katya", "Liam"};
constexpr const char* kSurnames[] = {"Abbott", "Baker", "Costa",  "Dubois", "Evans",    "Fischer",
                                     "Garcia", "Hahn",  "Ivanov", "Jansen", "Kowalski", "Larsen"};
constexpr const char* kTowns[] = {"Northfield", "Eastbrook", "Westmere", "Southwick", "Millbridge"};

template <typename T, std::size_t N>
const T& pick(const T (&list)[N], uint64_t i) {
    return list[i % N];
}

// Whole pence, as on a real price list.
double retailPriceOf(int64_t item) {
    return static_cast<double>(99 + (item * 37) % 4900) / 100.0;
}

// Records go to disk in runs of this many bytes: large enough that writing a
// few hundred megabytes takes a handful of calls, small enough to stay
// modest in memory.
constexpr std::size_t kWriteBatchBytes = 4 << 20;

// Writes count fixed-size records, each made by fill(index, record).
template <typename Record, typename Fill>
void writeRecords(const std::string& path, std::size_t count, Fill fill) {
    auto f = File::open(path, File::Mode::kCreateTruncate);
    if (!f) cannot("cannot create " + path);
    const std::size_t perBatch = std::max<std::size_t>(1, kWriteBatchBytes / sizeof(Record));
    std::vector<Record> batch;
    batch.reserve(perBatch);
    for (std::size_t i = 0; i < count; ++i) {
        batch.emplace_back();
        fill(i, batch.back());
        if (batch.size() == perBatch || i + 1 == count) {
            if (!f->append(batch.data(), batch.size() * sizeof(Record)))
                cannot("cannot write " + path);
            batch.clear();
        }
    }
    if (!f->close()) cannot("cannot write " + path);
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

LocalTime addDays(LocalTime t, int days) {
    for (; days > 0; --days) {
        if (++t.day > daysIn(t.year, t.month)) {
            t.day = 1;
            if (++t.month > 12) {
                t.month = 1;
                ++t.year;
            }
        }
    }
    for (; days < 0; ++days) {
        if (--t.day < 1) {
            if (--t.month < 1) {
                t.month = 12;
                --t.year;
            }
            t.day = daysIn(t.year, t.month);
        }
    }
    return t;
}

std::string GeneratedShop::sku1For(int64_t itemNumber) {
    // 7919 shares no factor with 10^10, so this is a one-to-one shuffle of
    // the numbers below 10^10.
    const uint64_t mixed = (static_cast<uint64_t>(itemNumber) * 7919u) % 10000000000ull;
    char buf[24];
    std::snprintf(buf, sizeof buf, "50%011llu", static_cast<unsigned long long>(mixed));
    return buf;
}

namespace {

// What a kept shop was made from, one line; a kept folder holding another
// line is written afresh.
std::string specNote(const ShopSpec& spec) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "items %zu deleted %zu customers %zu days %d sales %d seed %llu\n", spec.items,
                  spec.deletedItemSlots, spec.customers, spec.journalDays, spec.salesPerDay,
                  static_cast<unsigned long long>(spec.seed));
    return text;
}

constexpr const char* kSpecNoteName = "/generated-shop.txt";

}  // namespace

GeneratedShop::GeneratedShop(const ShopSpec& spec, const LocalTime& today) : m_spec(spec) {
    if (!spec.keepIn.empty()) {
        m_folder = spec.keepIn;
        auto note = readWholeFile(m_folder + kSpecNoteName);
        if (note && std::string(note->begin(), note->end()) == specNote(spec)) {
            // The slot layout comes from the seed alone; the files are there.
            const std::size_t slots = spec.items + spec.deletedItemSlots;
            m_slotItems.resize(slots);
            std::iota(m_slotItems.begin(), m_slotItems.end(), int64_t{1});
            std::mt19937_64 rng(spec.seed);
            std::shuffle(m_slotItems.begin(), m_slotItems.end(), rng);
            m_reused = true;
            return;
        }
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
        std::filesystem::create_directories(m_folder, ec);
        if (ec) {
            std::fprintf(stderr, "shop generator: cannot make %s\n", m_folder.c_str());
            std::exit(EXIT_FAILURE);
        }
        try {
            generate(today);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "shop generator: %s\n", e.what());
            std::exit(EXIT_FAILURE);
        }
        const std::string note2 = specNote(spec);
        if (!replaceFileAtomically(m_folder + kSpecNoteName, note2.data(), note2.size())) {
            std::fprintf(stderr, "shop generator: cannot write the note in %s\n", m_folder.c_str());
            std::exit(EXIT_FAILURE);
        }
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "kassio-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::fprintf(stderr, "shop generator: cannot make a folder like %s\n", pattern.c_str());
        std::exit(EXIT_FAILURE);
    }
    m_folder = pattern;
    try {
        generate(today);
    } catch (const std::exception& e) {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
        std::fprintf(stderr, "shop generator: %s\n", e.what());
        std::exit(EXIT_FAILURE);
    }
}

void GeneratedShop::generate(const LocalTime& today) {
    const ShopSpec& spec = m_spec;
    // Deleted slots carry the texts of items numbered after the live ones.
    const std::size_t slots = spec.items + spec.deletedItemSlots;
    m_slotItems.resize(slots);
    std::iota(m_slotItems.begin(), m_slotItems.end(), int64_t{1});
    std::mt19937_64 rng(spec.seed);
    std::shuffle(m_slotItems.begin(), m_slotItems.end(), rng);

    writeItems(today);
    writeCustomers();
    writeSuppliers();
    LocalTime firstDay = today;
    if (spec.journalDays > 0) {
        firstDay = addDays(today, 1 - spec.journalDays);
        writeJournal(today);
    }
    // The history start is the first start's date, so a shop with a journal
    // must have started on the journal's first day for the history to cover it.
    writeConfig(firstDay, static_cast<int32_t>(m_transactions + 1));
}

GeneratedShop::~GeneratedShop() {
    if (!m_spec.keepIn.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(m_folder, ec);
}

void GeneratedShop::writeConfig(const LocalTime& firstDay, int32_t nextTransaction) {
    StoreConfig config;
    config.setFirstRunDefaults(firstDay);
    config.record().next_transaction = nextTransaction;
    if (!replaceFileAtomically(m_folder + "/kq.cfg", config.bytes(), kStoreConfigSize))
        cannot("cannot write kq.cfg");
}

void GeneratedShop::writeItems(const LocalTime& today) {
    StoreConfig defaults;
    defaults.setFirstRunDefaults(today);
    const InventoryRecord blank = blankItem(defaults, today);

    writeRecords<InventoryRecord>(
        m_folder + "/inventory.dat", m_slotItems.size(), [&](std::size_t slot, InventoryRecord& r) {
            const int64_t item = m_slotItems[slot];
            const auto u = static_cast<uint64_t>(item);
            r = blank;
            r.number = slotLive(slot) ? item : kDeletedNumber;
            char text[48];
            std::snprintf(text, sizeof text, "%s %s %lld", pick(kAdjectives, u * 7),
                          pick(kNouns, u * 13 + u / 3), static_cast<long long>(item));
            setFieldText(r.description, text);
            setFieldText(r.sku1, sku1For(item));
            std::snprintf(text, sizeof text, "Aisle %llu", static_cast<unsigned long long>(u % 40));
            setFieldText(r.location, text);
            r.retail_price = retailPriceOf(item);
            r.cost_price = r.retail_price * 0.6;
            r.trade_price = r.retail_price * 0.8;
            r.quantity = static_cast<int32_t>(u % 250);
            r.reorder_quantity = 10;
            r.tax = static_cast<int32_t>(u % 3);
            r.display_category = static_cast<int32_t>(u % kDisplayCategories);
            r.picture_number = static_cast<int32_t>(1 + u % 24);
        });
}

void GeneratedShop::writeCustomers() {
    std::vector<int64_t> numbers(m_spec.customers);
    std::iota(numbers.begin(), numbers.end(), int64_t{1});
    std::mt19937_64 rng(m_spec.seed * 31 + 7);
    std::shuffle(numbers.begin(), numbers.end(), rng);

    writeRecords<CustomerRecord>(
        m_folder + "/customer.dat", numbers.size(), [&](std::size_t slot, CustomerRecord& r) {
            const int64_t number = numbers[slot];
            const auto u = static_cast<uint64_t>(number);
            std::memset(&r, 0, sizeof r);
            r.number = number;
            char text[48];
            std::snprintf(text, sizeof text, "%s %s %lld", pick(kSurnames, u * 5),
                          pick(kFirstNames, u / 7), static_cast<long long>(number));
            setFieldText(r.name, text);
            std::snprintf(text, sizeof text, "%llu Station Road",
                          static_cast<unsigned long long>(1 + u % 180));
            setFieldText(r.road, text);
            setFieldText(r.town, pick(kTowns, u));
            std::snprintf(text, sizeof text, "01632 %06llu",
                          static_cast<unsigned long long>(u % 1000000));
            setFieldText(r.telephone, text);
            setFieldText(r.last_used, "NEW");
            r.group = 1;
            r.terms = static_cast<int32_t>(1 + u % 8);
            r.tax = 1;
            r.credit_limit = 500;
        });
}

void GeneratedShop::writeSuppliers() {
    // As a first start leaves it: one deleted record and nothing else.
    SupplierRecord empty;
    std::memset(&empty, 0, sizeof empty);
    empty.number = kDeletedNumber;
    if (!replaceFileAtomically(m_folder + "/suppliers.dat", &empty, sizeof empty))
        cannot("cannot write suppliers.dat");
}

void GeneratedShop::writeJournal(const LocalTime& today) {
    std::recursive_mutex mutex;
    StoreFiles files(m_folder, mutex);
    files.setSync(false);  // a generator has no crash to survive
    Journal journal(files, mutex);
    std::mt19937_64 rng(m_spec.seed * 131 + 3);
    if (m_spec.items == 0) cannot("a journal needs items to sell");
    std::uniform_int_distribution<int64_t> anyItem(1, static_cast<int64_t>(m_spec.items));
    std::uniform_int_distribution<int> lineCount(1, std::max(1, m_spec.maxLines));

    LocalTime day = addDays(today, 1 - m_spec.journalDays);
    for (int d = 0; d < m_spec.journalDays; ++d, day = addDays(day, 1)) {
        for (int s = 0; s < m_spec.salesPerDay; ++s) {
            LocalTime now = day;
            const int minute = 9 * 60 + s * (9 * 60) / std::max(1, m_spec.salesPerDay);
            now.hour = minute / 60;
            now.minute = minute % 60;
            now.second = 0;

            SaleRecord sale;
            std::memset(&sale, 0, sizeof sale);
            sale.number = ++m_transactions;
            sale.clerk = 1;
            const bool payment = m_spec.mixedKinds && s % 25 == 24;
            const bool refund = m_spec.mixedKinds && !payment && s % 20 == 19;
            std::vector<SaleLineRecord> lines(payment ? 0
                                                      : static_cast<std::size_t>(lineCount(rng)));
            for (SaleLineRecord& line : lines) {
                std::memset(&line, 0, sizeof line);
                const int64_t item = anyItem(rng);
                const auto u = static_cast<uint64_t>(item);
                line.number = sale.number;
                line.item = item;
                line.display_category = static_cast<int64_t>(u % kDisplayCategories);
                char text[48];
                std::snprintf(text, sizeof text, "%s %s %lld", pick(kAdjectives, u * 7),
                              pick(kNouns, u * 13 + u / 3), static_cast<long long>(item));
                setFieldText(line.description, text);
                const double price = retailPriceOf(item);
                line.taxable = price;
                line.tax1 = price * 0.2;
                line.cost = price * 0.6;
                line.total = line.taxable + line.tax1;
                line.clerk = 1;
                sale.taxable += line.taxable;
                sale.tax1 += line.tax1;
                sale.cost += line.cost;
                sale.total += line.total;
            }
            sale.line_count = static_cast<int32_t>(lines.size());
            sale.subtotal = sale.taxable;
            sale.cash = sale.total;
            char clock[16];
            std::snprintf(clock, sizeof clock, "%02d:%02d", now.hour, now.minute);
            setFieldText(sale.time, clock);
            setFieldText(sale.date, dateText(now));
            setFieldText(sale.payment, "Cash");
            if (refund) {
                // Lines stay positive; the totals and the cash paid back are negated.
                for (double* v : {&sale.taxable, &sale.tax1, &sale.cost, &sale.total,
                                  &sale.subtotal, &sale.cash})
                    *v = -*v;
                setFieldText(sale.payment, "Refund");
            } else if (payment) {
                sale.total = sale.cash = 25.0;
                setFieldText(sale.payment, "Payment (cash)");
            }
            if (Status st = journal.appendTransaction(now, sale, lines, ""); !st)
                cannot("journal: " + st.message());
        }
    }
    if (Status st = files.close(); !st) cannot("journal: " + st.message());
}

void fail(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
    std::exit(EXIT_FAILURE);
}

long residentKilobytes() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

OpenShop::OpenShop(const ShopSpec& spec, const LocalTime& today)
    : clock(today), files(spec, today), store(files.folder(), clock) {
    if (Status s = store.openData(); !s) fail("openData: " + s.message());
}

}  // namespace kassio::bench
