// A first-start shop with a few items and customers of our own, and the
// small helpers the exchange tests share.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "store/store_fixture.h"

namespace kassio::test {

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs a shell command; its exit code.
inline int run(const std::string& command) {
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

class ExchangeTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        std::vector<InventoryRecord> items = {makeItem(5, "SALT & PEPPER <2>"),
                                              makeItem(7, "TEA BAGS"), makeItem(9, "MILK")};
        setFieldText(items[0].sku1, "501");
        setFieldText(items[0].location, "A&B");
        items[0].tax = 2;
        items[1].display_category = 3;
        items[1].reorder_quantity = 4;
        writeRecords(data + "/inventory.dat", items);
        std::vector<CustomerRecord> customers = {makeCustomer(3, "SMITH & SONS"),
                                                 makeCustomer(4, "J JONES")};
        setFieldText(customers[0].road, "1 HIGH ST");
        customers[0].balance = 12.5;
        customers[1].credit_limit = 100;
        writeRecords(data + "/customer.dat", customers);
        open();
    }

    InventoryRecord item(int64_t number) {
        InventoryRecord r{};
        auto slot = store->items().find(number);
        EXPECT_TRUE(slot) << number;
        if (slot) {
            EXPECT_TRUE(store->items().read(*slot, &r));
        }
        return r;
    }
};

}  // namespace kassio::test
