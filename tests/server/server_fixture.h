// A first-start shop in a temporary DataFolder with a StationServer on it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "server/station_server.h"
#include "store/store_fixture.h"

namespace kassio::test {

class ServerTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        server = std::make_unique<StationServer>(*store);
    }

    // Adds an item through the store (next free slot). The sample shop
    // already holds items 1 "TEA BAGS" and 2 "MILK 1L" in slots 0 and 1.
    void addItem(int64_t number, const char* description, int32_t category = 0,
                 const char* sku1 = "", int32_t omit = 0) {
        InventoryRecord item = makeItem(number, description);
        item.display_category = category;
        item.omit_from_quick_select = omit;
        setFieldText(item.sku1, sku1);
        Status s = createItem(*store, item);
        ASSERT_TRUE(s) << s.message();
    }

    void addCustomer(int64_t number, const char* name, const char* prefix2 = "") {
        CustomerRecord c = makeCustomer(number, name);
        setFieldText(c.name_prefix2, prefix2);
        Status s = createCustomer(*store, c);
        ASSERT_TRUE(s) << s.message();
    }

    InventoryRecord findItem(int64_t from, const char* text) {
        ItemQuery q;
        std::memset(&q, 0, sizeof q);
        q.from = from;
        setFieldText(q.text, text);
        InventoryRecord out;
        std::memset(&out, 0x5A, sizeof out);
        server->findItem(q, out);
        return out;
    }

    CustomerRecord findCustomer(int64_t from, const char* name, const char* prefix = "") {
        CustomerQuery q;
        std::memset(&q, 0, sizeof q);
        q.from = from;
        setFieldText(q.name, name);
        setFieldText(q.prefix, prefix);
        CustomerRecord out;
        server->findCustomer(q, out);
        return out;
    }

    std::unique_ptr<StationServer> server;
};

}  // namespace kassio::test
