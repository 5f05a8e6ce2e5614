// A temporary DataFolder with an empty shop (one deleted slot in each
// record file), the scripted ports, and helpers to make items and
// customers, for the inventory and customer tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "base/fixed_text.h"
#include "store/customers.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/items.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/till_fakes.h"

namespace kassio::test {

// Whether another thread could take the mutex now: the DataMutex must be
// free while any box waits for the clerk.
inline bool mutexFree(std::recursive_mutex& m) {
    bool free = false;
    std::thread t([&] {
        if (m.try_lock()) {
            free = true;
            m.unlock();
        }
    });
    t.join();
    return free;
}

// A Ui that also notes, for every message box, whether the DataMutex was
// free while it was shown.
class LockCheckingUi final : public Ui {
  public:
    explicit LockCheckingUi(ScriptedUi& inner) : m_inner(inner) {}
    void watch(std::recursive_mutex& m) { m_mutex = &m; }
    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override {
        if (m_mutex && !mutexFree(*m_mutex)) ++heldDuringBox;
        if (onMessage) onMessage(text);
        return m_inner.message(text, title, icon, buttons);
    }
    std::optional<std::string> prompt(const std::string& caption,
                                      const std::string& initial) override {
        if (m_mutex && !mutexFree(*m_mutex)) ++heldDuringBox;
        return m_inner.prompt(caption, initial);
    }
    std::optional<int> pickFromList(const std::string& title,
                                    const std::vector<std::string>& entries) override {
        return m_inner.pickFromList(title, entries);
    }
    int heldDuringBox = 0;
    // Runs while a box is shown: what a client station might do meanwhile.
    std::function<void(const std::string& text)> onMessage;

  private:
    ScriptedUi& m_inner;
    std::recursive_mutex* m_mutex = nullptr;
};

class BackOfficeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(makeDirectories(root.path()));
        InventoryRecord deletedItem;
        std::memset(&deletedItem, 0, sizeof deletedItem);
        deletedItem.number = -1;
        ASSERT_TRUE(
            replaceFileAtomically(root / "inventory.dat", &deletedItem, sizeof deletedItem));
        CustomerRecord deletedCustomer;
        std::memset(&deletedCustomer, 0, sizeof deletedCustomer);
        deletedCustomer.number = -1;
        ASSERT_TRUE(
            replaceFileAtomically(root / "customer.dat", &deletedCustomer, sizeof deletedCustomer));
        store = std::make_unique<DataStore>(root.path(), clock);
        store->setSync(false);
        static_cast<void>(store->firstRunSetup(""));  // no samples: the test makes its own
        ASSERT_TRUE(store->openData());
        ui.watch(store->mutex());
    }

    InventoryRecord item(int64_t number, const char* description, int quantity = 10,
                         const char* sku1 = "") {
        InventoryRecord r = blankItem(store->config(), clock.now());
        r.number = number;
        setFieldText(r.description, description);
        setFieldText(r.sku1, sku1);
        r.retail_price = 2.5;
        r.cost_price = 1.25;
        r.quantity = quantity;
        EXPECT_TRUE(createItem(*store, r));
        return r;
    }

    CustomerRecord customer(int64_t number, const char* name, int64_t tax = 1, double balance = 0,
                            const char* lastUsed = "NEW") {
        CustomerRecord c = blankCustomer();
        c.number = number;
        setFieldText(c.name, name);
        c.tax = tax;
        c.balance = balance;
        EXPECT_TRUE(createCustomer(*store, c));
        if (std::strcmp(lastUsed, "NEW") != 0) {
            auto lock = store->lock();
            auto slot = store->customers().find(number);
            setFieldText(c.last_used, lastUsed);
            EXPECT_TRUE(store->customers().write(*slot, &c));
        }
        return c;
    }

    std::string todaysLog() const {
        LocalTime t = clock.now();
        return store->journal().readActivityLog(t.year, t.month, t.day);
    }
    uint64_t fileSize(const std::string& name) {
        auto data = readWholeFile(root / name);
        return data ? data->size() : 0;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : script.shown) out.push_back(s.text);
        return out;
    }
    std::string said() const { return script.shown.empty() ? "" : script.shown.back().text; }
    std::string saidTitle() const { return script.shown.empty() ? "" : script.shown.back().title; }

    TempFolder root;
    FixedClock clock{{2026, 12, 6, 14, 30, 0}};
    ScriptedUi script;
    LockCheckingUi ui{script};
    RecordingSound sound;
    std::unique_ptr<DataStore> store;
};

}  // namespace kassio::test
