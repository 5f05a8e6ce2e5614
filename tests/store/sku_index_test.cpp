// The SKU 1 lookup against a plain model (the lowest live slot holding the
// text) through thousands of random sets, re-sets and clears over a small
// alphabet, so texts are shared by many slots, the table grows, and
// entries move when others leave; then built anew in one pass from the
// same column, which must agree too. Also the number index's sort at a
// load against a stable sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "store/field_column.h"
#include "store/record_index.h"
#include "store/sku_index.h"

namespace kassio::test {
namespace {

TEST(SkuIndexTest, GivesTheLowestLiveSlotHoldingTheTextThroughEveryChange) {
    std::mt19937 rng(7);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    constexpr int kSlots = 3000;
    FieldColumn column(40);
    SkuIndex index(column);
    std::map<uint64_t, std::string> live;  // the model: slot -> text
    std::set<std::string> seen{"", "NOWHERE"};

    auto randomText = [&] {
        if (pick(3) == 0) return std::to_string(pick(2000));  // mostly distinct
        std::string t;
        const int n = pick(4);  // empty texts too
        for (int i = 0; i < n; ++i) t += "AB?"[pick(3)];
        if (pick(50) == 0) t = std::string(40, 'Z');  // full width, no NUL
        return t;
    };
    std::map<std::string, std::set<uint64_t>> slotsOf;
    auto lowest = [&](const std::string& t) -> std::optional<uint64_t> {
        auto it = slotsOf.find(t);
        if (it == slotsOf.end() || it->second.empty()) return std::nullopt;
        return *it->second.begin();
    };
    auto forget = [&](uint64_t slot) {
        if (auto it = live.find(slot); it != live.end()) {
            slotsOf[it->second].erase(slot);
            live.erase(it);
        }
    };
    auto compare = [&](const SkuIndex& ix, const char* when) {
        for (const std::string& t : seen)
            ASSERT_EQ(ix.find(t), lowest(t)) << when << " '" << t << "'";
    };

    for (int op = 0; op < 30000; ++op) {
        const auto slot = static_cast<uint64_t>(pick(kSlots));
        if (pick(4) == 0) {
            index.clear(slot);  // as the store does: the index, then the column
            forget(slot);
            column.erase(slot);
        } else {
            const std::string t = randomText();
            char field[40] = {};
            std::copy(t.begin(), t.end(), field);
            index.set(slot, t);
            forget(slot);
            live[slot] = t;
            slotsOf[t].insert(slot);
            column.set(slot, field);
            seen.insert(t);
        }
        if (op % 500 == 0) compare(index, "after changes");
    }
    compare(index, "after changes");

    SkuIndex built(column);
    built.build(column.slotCount(), [&](uint64_t slot) { return live.count(slot) > 0; });
    compare(built, "built in one pass");
}

TEST(RecordIndexTest, LoadSortKeepsSlotOrderAmongEqualNumbers) {
    std::mt19937 rng(3);
    for (int64_t range : {int64_t{50}, int64_t{1} << 40, INT64_MAX}) {
        RecordIndex index;
        std::vector<IndexEntry> expected;
        index.beginBuild(5000);
        for (uint64_t slot = 0; slot < 5000; ++slot) {
            int64_t n = std::uniform_int_distribution<int64_t>(0, range)(rng);
            if (slot % 7 == 0) n = -1;  // deleted
            index.addSlot(n, {});
            expected.push_back({n, slot});
        }
        index.finishBuild();
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const IndexEntry& a, const IndexEntry& b) { return a.number < b.number; });
        ASSERT_EQ(index.entries().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(index.entries()[i].number, expected[i].number) << range << " at " << i;
            ASSERT_EQ(index.entries()[i].slot, expected[i].slot) << range << " at " << i;
        }
    }
}

}  // namespace
}  // namespace kassio::test
