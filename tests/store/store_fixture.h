// A temporary DataFolder with a first-start shop in it, for the store tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "store/customers.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/items.h"
#include "support/fixed_clock.h"
#include "support/temp_folder.h"

namespace kassio::test {

inline InventoryRecord makeItem(int64_t number, const char* description, double retail = 2.5) {
    InventoryRecord item;
    std::memset(&item, 0, sizeof item);
    item.number = number;
    setFieldText(item.description, description);
    item.retail_price = retail;
    item.cost_price = retail / 2;
    item.quantity = 10;
    item.picture_number = 1;
    return item;
}

inline CustomerRecord makeCustomer(int64_t number, const char* name) {
    CustomerRecord c = blankCustomer();
    c.number = number;
    setFieldText(c.name, name);
    return c;
}

template <typename T>
void writeRecords(const std::string& path, const std::vector<T>& recs) {
    ASSERT_TRUE(replaceFileAtomically(path, recs.data(), recs.size() * sizeof(T)));
}

// A samples folder as the install ships it: pictures, logos and a small
// inventory and customer file.
inline void makeSamples(const std::string& dir) {
    ASSERT_TRUE(makeDirectories(dir));
    for (int i = 1; i <= 24; ++i) {
        std::string name = dir + "/stock" + std::to_string(i) + ".bmp";
        ASSERT_TRUE(replaceFileAtomically(name, "BM", 2));
    }
    ASSERT_TRUE(replaceFileAtomically(dir + "/letter.bmp", "BM", 2));
    ASSERT_TRUE(replaceFileAtomically(dir + "/receipt.bmp", "BM", 2));
    writeRecords(dir + "/inventory.dat",
                 std::vector<InventoryRecord>{makeItem(1, "TEA BAGS"), makeItem(2, "MILK 1L")});
    writeRecords(dir + "/customer.dat", std::vector<CustomerRecord>{makeCustomer(1, "J SMITH")});
}

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makeSamples(samples);
        ASSERT_TRUE(makeDirectories(data));
        DataStore first(data, clock);
        ASSERT_TRUE(first.firstRunSetup(samples));
        open();
    }

    void open() {
        store = std::make_unique<DataStore>(data, clock);
        store->setSync(false);
        Status s = store->openData();
        ASSERT_TRUE(s) << s.message();
    }

    // Under the DataMutex, as the posting threads of a running server wrote it.
    int nextTransaction() const {
        auto lock = store->lock();
        return store->config().nextTransaction();
    }

    std::string logOfToday() const {
        LocalTime t = clock.now();
        return store->journal().readActivityLog(t.year, t.month, t.day);
    }

    TempFolder root;
    std::string samples = root / "samples";
    std::string data = root / "data";
    FixedClock clock;
    std::unique_ptr<DataStore> store;
};

}  // namespace kassio::test
