// The back-office item operations: New line, Amend, Delete, the finds, the
// view form and the item pictures. One instance serves the main window for
// the whole run; bundles and stock received (bundles.h, stock_received.h)
// are built on its lookups.
//
// Every operation runs on the UI thread. The DataMutex is held only inside
// the store calls and the scans, never while a form, prompt or message box
// waits for the clerk. A record that was shown to the clerk is read again
// under the lock before it is changed and written back, so a change a client
// station made in the meantime (a sale lowering the stock) is not lost.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "inventory/item_forms.h"
#include "inventory/item_search.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

class InventoryMaintenance {
  public:
    // clerk: the clerk logged on now (0 for none), for the cost visibility.
    InventoryMaintenance(DataStore& store, Ui& ui, ItemForms& forms, Sound& sound,
                         std::function<int64_t()> clerk);

    // Called after a picture changed, so the till's buttons show it.
    void setPicturesChanged(std::function<void()> refresh) {
        m_picturesChanged = std::move(refresh);
    }

    // --- Commands ---------------------------------------------------------
    void newLine();
    void amend();
    void remove();
    void find();
    // The "Item description search" window; showResult puts a found item in
    // the view form (the till adds it to the basket instead).
    std::optional<InventoryRecord> itemDescriptionSearch(bool showResult);
    // "Find that contain" ("Fragment:") and "Find in SKU 1" ("Find in SKU 1:").
    std::optional<InventoryRecord> findThatContain(bool showResult);
    std::optional<InventoryRecord> findInSku1(bool showResult);
    std::optional<InventoryRecord> findAdvanced();
    void addCustomImage();
    void changeInbuiltPicture();

    // --- Building blocks --------------------------------------------------
    // The item with this number, or "No match found" shown and nullopt.
    std::optional<ItemHit> lookUpByNumber(int64_t number);
    // Prompt text that reads as a number of 1 or more is looked up by
    // number; any other text runs the description search.
    std::optional<ItemHit> resolve(const std::string& text);
    // By initial characters: the "FIND INVENTORY" form, or the pick list in
    // list mode. The shown or picked item, or nullopt.
    std::optional<ItemHit> descriptionSearch(const std::string& typed);
    // Matches offered one by one ("Search: No to continue").
    std::optional<ItemHit> fragmentSearch(FragmentField field, const std::string& typed);
    std::optional<ItemHit> advancedSearch(const AdvancedQuery& query);

    // Reads the item with this number again under the lock, lets change()
    // alter it and writes it back to its slot, all under one hold of the
    // lock. The failures of "write current item" come back for the caller.
    Status updateItem(int64_t number, const std::function<void(InventoryRecord&)>& change,
                      InventoryRecord* written = nullptr);

    // The view form (a bundle in the bundle view), with "Next".
    void showItem(const InventoryRecord& item);
    FindInventoryView findView(const InventoryRecord& item) const;
    ItemView itemView(const InventoryRecord& item) const;

    // A refused value: the error sound (unless sounds are off), then the box.
    void refuse(const Status& status);
    void show(const Status& status);
    void confirmSound();

    DataStore& store() { return m_store; }
    Ui& ui() { return m_ui; }
    ItemForms& forms() { return m_forms; }
    int64_t clerk() const { return m_clerk ? m_clerk() : 0; }
    LocalTime now() const { return m_store.clock().now(); }

  private:
    std::optional<ItemHit> offerMatches(
        const std::function<std::optional<ItemHit>(uint64_t from, Status*)>& next,
        const std::function<bool(const InventoryRecord&)>& stillMatches);
    std::optional<InventoryRecord> shown(const std::optional<ItemHit>& hit, bool showResult);
    // A picture the user chose, stored under `name` in the DataFolder
    // through the store's one write path.
    bool copyIntoFolder(const std::string& from, const std::string& name);

    DataStore& m_store;
    Ui& m_ui;
    ItemForms& m_forms;
    Sound& m_sound;
    std::function<int64_t()> m_clerk;
    std::function<void()> m_picturesChanged;
};

// The messages of this part that more than one operation shows.
Status noMatchFound();

}  // namespace kassio
