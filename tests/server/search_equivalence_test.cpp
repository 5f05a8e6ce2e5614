// Every search that runs on the texts kept in memory gives exactly what the
// slot-by-slot reading of the file gives: the back office's item and
// customer searches and pick lists, the station's procedures 0 and 1, and
// the SKU 1 lookup.
// Seeded random shops with deleted slots (-1 and 0), duplicate numbers and
// texts, empty and full-width fields, bytes left after a field's NUL,
// lower-case input and '?' patterns; compared after inserts, amends and
// deletes, and again after a fresh start reads the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "customers/customer_search.h"
#include "inventory/item_search.h"
#include "server_fixture.h"

namespace kassio::test {
namespace {

class SearchEquivalenceTest : public ServerTest {
  protected:
    std::mt19937 rng{12345};

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    std::string randomText(std::size_t maxLength, const char* alphabet) {
        std::string t;
        const std::size_t n = 1 + static_cast<std::size_t>(pick(static_cast<int>(maxLength)));
        for (std::size_t i = 0; i < n; ++i)
            t += alphabet[pick(static_cast<int>(std::strlen(alphabet)))];
        return t;
    }

    // A field as the forms, an import or another program may leave it.
    void fill(char* field, std::size_t width) {
        std::memset(field, 0, width);
        const int kind = pick(10);
        if (kind == 0) return;  // empty
        if (kind == 1) {        // full width, no NUL
            for (std::size_t i = 0; i < width; ++i) field[i] = "AB"[pick(2)];
            return;
        }
        std::string t = randomText(std::min<std::size_t>(4, width - 1), "AB C");
        std::memcpy(field, t.data(), t.size());
        if (kind == 2 && t.size() + 2 < width)  // bytes after the NUL
            for (std::size_t i = t.size() + 1; i < width; ++i) field[i] = "AB"[pick(2)];
    }

    InventoryRecord randomItem(int64_t number) {
        InventoryRecord r = makeItem(number, "X");
        for (char* f : {r.description, r.sku1, r.sku2, r.sku3, r.sku4}) fill(f, 40);
        r.display_category = pick(3);
        r.omit_from_quick_select = pick(4) == 0 ? 2 : 0;
        return r;
    }

    CustomerRecord randomCustomer(int64_t number) {
        CustomerRecord c = makeCustomer(number, "X");
        fill(c.name, 30);
        fill(c.name_prefix2, 8);
        fill(c.telephone, 20);
        fill(c.telephone2, 20);
        fill(c.road, 30);
        fill(c.area, 30);
        fill(c.town, 30);
        fill(c.postcode, 10);
        return c;
    }

    // A file of random slots: live, deleted (-1) and numbered 0, with a few
    // numbers twice.
    template <typename Record, typename Make>
    void writeFile(const char* name, int slots, Make make) {
        std::vector<Record> records;
        for (int i = 0; i < slots; ++i) {
            int64_t number = 1 + i;
            const int kind = pick(10);
            if (kind == 0) number = -1;
            if (kind == 1) number = 0;
            if (kind == 2 && i > 0) number = 1 + pick(i);
            records.push_back(make(number));
        }
        writeRecords(data + "/" + name, records);
    }

    // The literal reading: every slot in file order, under the DataMutex.
    template <typename Record, typename Test>
    std::vector<uint64_t> literal(RecordFile& file, Test test, uint64_t from = 0) {
        std::vector<uint64_t> slots;
        auto lock = store->lock();
        for (uint64_t slot = from; slot < file.index().slotCount(); ++slot) {
            Record r;
            EXPECT_TRUE(file.read(slot, &r));
            if (r.number > 0 && test(slot, r)) slots.push_back(slot);
        }
        return slots;
    }

    // Initial characters as the Parts put it: the prefix table, then the
    // field's bytes from the third on, '?' for any byte.
    template <std::size_t N>
    static bool initials(const std::string& q, RecordIndex::Prefix p, const char (&f)[N],
                         std::size_t first = 2) {
        if (first == 2) {
            if (q.size() < 2 || (p[0] == 0 && p[1] == 0)) return false;
            if ((q[0] != '?' && q[0] != p[0]) || (q[1] != '?' && q[1] != p[1])) return false;
        }
        for (std::size_t i = first; i < q.size(); ++i)
            if (q[i] != '?' && (i >= N || f[i] != q[i])) return false;
        return true;
    }

    template <std::size_t N>
    static bool has(const char (&f)[N], const std::string& q) {
        return !q.empty() && fieldText(f).find(q) != std::string::npos;
    }

    template <typename Next>
    static std::vector<uint64_t> chain(Next next) {
        std::vector<uint64_t> slots;
        for (uint64_t from = 0;;) {
            Status error;
            auto hit = next(from, &error);
            EXPECT_TRUE(error) << error.message();
            if (!hit) return slots;
            slots.push_back(hit->slot);
            from = hit->slot + 1;
        }
    }

    void compareItems() {
        RecordFile& items = store->items();
        for (int round = 0; round < 8; ++round) {
            auto typed = randomText(4, "aAbB?C");
            auto q = initialsQuery(typed);
            ASSERT_TRUE(q);
            auto expected =
                literal<InventoryRecord>(items, [&](uint64_t s, const InventoryRecord& r) {
                    return initials(*q, items.index().prefix(s), r.description);
                });
            EXPECT_EQ(
                chain([&](uint64_t f, Status* e) { return nextByInitials(*store, *q, f, e); }),
                expected)
                << *q;
            Status error;
            ItemPickList list = initialsPickList(*store, *q, &error);
            std::vector<int64_t> numbers;
            for (uint64_t s : expected) {
                InventoryRecord r;
                ASSERT_TRUE(items.read(s, &r));
                numbers.push_back(r.number);
            }
            EXPECT_EQ(list.numbers, numbers) << *q;

            const std::string fragment = randomText(3, "AB C");
            for (FragmentField field : {FragmentField::kDescription, FragmentField::kSku1}) {
                auto want =
                    literal<InventoryRecord>(items, [&](uint64_t, const InventoryRecord& r) {
                        return has(field == FragmentField::kDescription ? r.description : r.sku1,
                                   fragment);
                    });
                EXPECT_EQ(chain([&](uint64_t f, Status* e) {
                              return nextByFragment(*store, field, fragment, f, e);
                          }),
                          want)
                    << fragment;
            }

            AdvancedQuery a;
            a.all = pick(2) == 0;
            if (pick(3)) a.description = randomText(2, "AB C");
            for (auto& s : a.sku)
                if (pick(3) == 0) s = randomText(2, "AB");
            auto wantAdvanced = literal<InventoryRecord>(
                items, [&](uint64_t, const InventoryRecord& r) { return advancedMatches(a, r); });
            EXPECT_EQ(chain([&](uint64_t f, Status* e) { return nextAdvanced(*store, a, f, e); }),
                      wantAdvanced);

            compareStationItems(typed, fragment);
            compareSkuLookups();
        }
    }

    // SKU 1 exactly, as the till's SKU entry mode finds it: texts held by
    // live slots (often several), by deleted slots only, empty, and absent.
    void compareSkuLookups() {
        RecordFile& items = store->items();
        std::vector<std::string> texts{"", randomText(4, "AB C")};
        for (int i = 0; i < 4 && items.index().slotCount() > 0; ++i) {
            InventoryRecord r;
            auto lock = store->lock();
            ASSERT_TRUE(items.read(
                static_cast<uint64_t>(pick(static_cast<int>(items.index().slotCount()))), &r));
            texts.push_back(fieldText(r.sku1));
        }
        for (const std::string& sku : texts) {
            auto want = literal<InventoryRecord>(items, [&](uint64_t, const InventoryRecord& r) {
                return fieldText(r.sku1) == sku;
            });
            auto lock = store->lock();
            auto got = store->skus().find(sku);
            if (want.empty())
                EXPECT_FALSE(got) << "'" << sku << "'";
            else
                EXPECT_EQ(got, want.front()) << "'" << sku << "'";
        }
    }

    // Procedure 0 by description pattern and by SKU fragment, continued by
    // item number as a client does.
    void compareStationItems(const std::string& typed, const std::string& fragment) {
        RecordFile& items = store->items();
        const std::string pattern = typed.size() == 1 ? typed + "?" : typed;
        for (bool skus : {false, true}) {
            int64_t from = skus ? -2 : 0;
            for (int step = 0; step < 40; ++step) {
                uint64_t first = 0;
                const int64_t after = skus ? -(from + 2) : from;
                if (after > 0) first = *items.find(after) + 1;
                auto want = literal<InventoryRecord>(
                    items,
                    [&](uint64_t s, const InventoryRecord& r) {
                        if (skus)
                            return has(r.sku1, fragment) || has(r.sku2, fragment) ||
                                   has(r.sku3, fragment) || has(r.sku4, fragment);
                        return initials(pattern, items.index().prefix(s), r.description);
                    },
                    first);
                InventoryRecord got = findItem(from, skus ? fragment.c_str() : typed.c_str());
                if (want.empty()) {
                    EXPECT_EQ(got.number, 0) << pattern;
                    break;
                }
                InventoryRecord r;
                ASSERT_TRUE(items.read(want.front(), &r));
                ASSERT_EQ(got.number, r.number) << (skus ? fragment : pattern);
                from = skus ? -(r.number + 2) : r.number;
            }
        }
    }

    void compareCustomers() {
        RecordFile& customers = store->customers();
        for (int round = 0; round < 8; ++round) {
            auto typed = randomText(4, "aAbB?C");
            auto q = nameQuery(typed);
            ASSERT_TRUE(q);
            auto want =
                literal<CustomerRecord>(customers, [&](uint64_t s, const CustomerRecord& c) {
                    return initials(*q, customers.index().prefix(s), c.name);
                });
            EXPECT_EQ(chain([&](uint64_t f, Status* e) { return nextByName(*store, *q, f, e); }),
                      want);
            // The pick list goes by number; equal numbers in slot order.
            std::vector<std::pair<int64_t, uint64_t>> byNumber;
            for (uint64_t s : want) {
                CustomerRecord c;
                ASSERT_TRUE(customers.read(s, &c));
                byNumber.push_back({c.number, s});
            }
            std::sort(byNumber.begin(), byNumber.end());
            std::vector<int64_t> numbers;
            for (auto& [n, s] : byNumber) numbers.push_back(n);
            Status error;
            EXPECT_EQ(namePickList(*store, *q, &error).numbers, numbers);

            const std::string fragment = randomText(3, "AB C");
            auto fragments = [&](auto next, auto test) {
                EXPECT_EQ(
                    chain([&](uint64_t f, Status* e) { return next(*store, fragment, f, e); }),
                    literal<CustomerRecord>(
                        customers, [&](uint64_t, const CustomerRecord& c) { return test(c); }))
                    << fragment;
            };
            fragments(nextByNameFragment,
                      [&](const CustomerRecord& c) { return has(c.name, fragment); });
            fragments(nextByTelephone, [&](const CustomerRecord& c) {
                return has(c.telephone, fragment) || has(c.telephone2, fragment);
            });
            fragments(nextByAddress, [&](const CustomerRecord& c) {
                return has(c.road, fragment) || has(c.area, fragment) || has(c.town, fragment) ||
                       has(c.postcode, fragment);
            });

            // Procedure 1: the name pattern, then name prefix 2 from its start.
            const std::string prefix2 = pick(2) ? randomText(2, "AB?") : "";
            const std::string pattern = typed.size() == 1 ? typed + "?" : typed;
            int64_t from = 0;
            for (int step = 0; step < 40; ++step) {
                const uint64_t first = from > 0 ? *customers.find(from) + 1 : 0;
                auto wantStation = literal<CustomerRecord>(
                    customers,
                    [&](uint64_t s, const CustomerRecord& c) {
                        return initials(pattern, customers.index().prefix(s), c.name) &&
                               initials(prefix2, {}, c.name_prefix2, 0);
                    },
                    first);
                CustomerRecord got = findCustomer(from, typed.c_str(), prefix2.c_str());
                if (wantStation.empty()) {
                    EXPECT_EQ(got.number, 0);
                    break;
                }
                CustomerRecord c;
                ASSERT_TRUE(customers.read(wantStation.front(), &c));
                ASSERT_EQ(got.number, c.number) << pattern << " " << prefix2;
                from = c.number;
            }
        }
    }

    // Random inserts, amends and deletes through the store's own calls.
    void change(int operations, int64_t& nextNumber) {
        for (int i = 0; i < operations; ++i) {
            const bool items = pick(2) == 0;
            RecordFile& file = items ? store->items() : store->customers();
            auto lock = store->lock();
            const auto& entries = file.index().entries();
            const std::size_t live = file.index().liveCount();
            const int op = pick(3);
            if (op == 0 || live == 0) {
                if (items) {
                    InventoryRecord r = randomItem(nextNumber++);
                    ASSERT_TRUE(file.insert(&r));
                } else {
                    CustomerRecord c = randomCustomer(nextNumber++);
                    ASSERT_TRUE(file.insert(&c));
                }
                continue;
            }
            const IndexEntry e = entries[file.index().deletedCount() +
                                         static_cast<std::size_t>(pick(static_cast<int>(live)))];
            if (op == 1) {
                if (items) {
                    InventoryRecord r = randomItem(e.number);
                    ASSERT_TRUE(file.write(e.slot, &r));
                } else {
                    CustomerRecord c = randomCustomer(e.number);
                    ASSERT_TRUE(file.write(e.slot, &c));
                }
            } else {
                ASSERT_TRUE(file.remove(e.slot));
            }
        }
    }
};

TEST_F(SearchEquivalenceTest, EverySearchGivesTheLiteralScansAnswers) {
    for (uint32_t seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        rng.seed(seed);
        ASSERT_TRUE(store->close());
        store.reset();
        writeFile<InventoryRecord>("inventory.dat", 150, [&](int64_t n) { return randomItem(n); });
        writeFile<CustomerRecord>("customer.dat", 150,
                                  [&](int64_t n) { return randomCustomer(n); });
        open();
        server = std::make_unique<StationServer>(*store);
        int64_t nextNumber = 1000;
        for (int round = 0; round < 4; ++round) {
            compareItems();
            compareCustomers();
            change(60, nextNumber);
        }
        // A fresh start builds everything again from the files.
        ASSERT_TRUE(store->close());
        open();
        server = std::make_unique<StationServer>(*store);
        compareItems();
        compareCustomers();
    }
}

}  // namespace
}  // namespace kassio::test
