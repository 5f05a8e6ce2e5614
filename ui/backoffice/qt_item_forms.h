// The inventory panels on Qt: the ItemForms port. Each call runs one modal
// dialog and returns what the clerk chose; the rules stay in the core
// (inventory/item_fields.h), the dialogs only copy widgets to fields.
#pragma once

#include <QWidget>

#include "inventory/item_forms.h"
#include "platform/printers.h"
#include "store/store_config.h"

namespace kassio {

class QtItemForms final : public ItemForms {
  public:
    // config: for the category names and the tax rates of the ready
    // reckoner; read on the UI thread while a form is open.
    QtItemForms(const StoreConfig& config, QWidget* parent) : m_config(config), m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    // Where "Print" of the stock-received list goes (the print dialog);
    // without printers it prints nothing.
    void setPrinters(Printers* printers) { m_printers = printers; }

    ItemFormReply itemForm(const ItemFormRequest& request) override;
    FormButton findInventory(
        const FindInventoryView& first,
        const std::function<std::optional<FindInventoryView>()>& next) override;
    void viewItem(const ItemView& first,
                  const std::function<std::optional<ItemView>()>& next) override;
    BundleFormReply bundleForm(const BundleFormRequest& request) override;
    void viewBundle(const BundleView& view) override;
    std::optional<DescriptionSearchReply> descriptionSearch(bool preselectWithin) override;
    std::optional<AdvancedQuery> advancedSearch() override;
    ReceiveReply receive(const ReceiveRequest& request) override;
    std::optional<DateRange> receivedRange() override;
    bool receivedList(const std::string& title, const std::vector<std::string>& lines) override;
    void print(const PagedText& pages) override;
    std::optional<std::string> chooseBitmap() override;
    std::optional<int> chooseInbuiltPicture() override;

  private:
    const StoreConfig& m_config;
    QWidget* m_parent;
    Printers* m_printers = nullptr;
};

}  // namespace kassio
