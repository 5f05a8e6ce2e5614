// A till on a temporary DataFolder with a handful of items and customers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "store/customers.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/items.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/till_fakes.h"
#include "till/till.h"

namespace kassio::test {

class TillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(makeDirectories(root.path()));
        InventoryRecord deleted;
        std::memset(&deleted, 0, sizeof deleted);
        deleted.number = -1;
        ASSERT_TRUE(replaceFileAtomically(root / "inventory.dat", &deleted, sizeof deleted));
        CustomerRecord none;
        std::memset(&none, 0, sizeof none);
        none.number = -1;
        ASSERT_TRUE(replaceFileAtomically(root / "customer.dat", &none, sizeof none));
        store = std::make_unique<DataStore>(root.path(), clock);
        store->setSync(false);
        // No samples folder: the setup says so, and the test makes its own items.
        static_cast<void>(store->firstRunSetup(""));
        ASSERT_TRUE(store->openData());
        StoreConfigRecord& cfg = store->config().record();
        cfg.options[kOptPermitInsufficientStock] = 0;
        item(12, "FILTER COFFEE", 2.49, 2, 30);
        till = std::make_unique<Till>(*store, ui, panels, sound, devices);
    }

    InventoryRecord& item(int64_t number, const char* description, double price, int tax,
                          int quantity, int category = 5) {
        InventoryRecord r = blankItem(store->config(), clock.now());
        r.number = number;
        setFieldText(r.description, description);
        r.retail_price = price;
        r.cost_price = price / 2;
        r.tax = tax;
        r.quantity = quantity;
        r.display_category = category;
        EXPECT_TRUE(createItem(*store, r));
        lastItem = r;
        return lastItem;
    }

    void amend(const InventoryRecord& r) { ASSERT_TRUE(amendItem(*store, r.number, r)); }

    CustomerRecord customer(int64_t number, const char* name, double balance, int64_t tax = 1) {
        CustomerRecord c = blankCustomer();
        c.number = number;
        setFieldText(c.name, name);
        c.balance = balance;
        c.tax = tax;
        EXPECT_TRUE(createCustomer(*store, c));
        return c;
    }

    std::string todaysLog() const {
        LocalTime t = clock.now();
        return store->journal().readActivityLog(t.year, t.month, t.day);
    }
    std::vector<SaleRecord> todaysSales() const {
        LocalTime t = clock.now();
        return store->journal().readSales(t.year, t.month, t.day);
    }
    std::vector<SaleLineRecord> todaysLines() const {
        LocalTime t = clock.now();
        return store->journal().readLines(t.year, t.month, t.day);
    }
    std::string said() const { return ui.shown.empty() ? "" : ui.shown.back().text; }
    std::string saidTitle() const { return ui.shown.empty() ? "" : ui.shown.back().title; }
    int stock(int64_t number) { return readItem(*store, number)->quantity; }

    TempFolder root;
    FixedClock clock{{2026, 12, 6, 14, 30, 0}};
    ScriptedUi ui;
    ScriptedPanels panels;
    RecordingSound sound;
    RecordingDevices devices;
    std::unique_ptr<DataStore> store;
    std::unique_ptr<Till> till;
    InventoryRecord lastItem{};
};

}  // namespace kassio::test
