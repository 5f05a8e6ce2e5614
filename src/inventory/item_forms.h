// Port: the back-office panels of the inventory (item form, find and view
// forms, bundle form, search windows, the receive window and the received
// report). Each call shows one panel, waits for the clerk and returns a core
// value; the Qt adapter draws them (ui/backoffice), tests script them.
//
// Contract: never called with the DataMutex held. Callbacks handed to a
// panel (Next, Select) take and release the lock themselves and may show
// message boxes through the Ui port.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inventory/item_fields.h"
#include "platform/form_button.h"

namespace kassio {

// The item form's three presentations: Blank and Copy show "New inventory"
// with OK, "&Copy", "&Next" and Cancel; Amend shows "Amend inventory" with
// OK and Cancel and a Number that cannot be edited.
enum class ItemFormPresentation { kBlank, kCopy, kAmend };

struct ItemFormRequest {
    ItemFormPresentation presentation = ItemFormPresentation::kBlank;
    ItemFormFields fields;
    // The Number field is empty and takes the focus, for a scanned barcode.
    bool focusNumber = false;
    std::string dataFolder;  // where the pictures are
};

struct ItemFormReply {
    FormButton button = FormButton::kCancel;
    ItemFormFields fields;
};

// "FIND INVENTORY": one match of a description search.
struct FindInventoryView {
    std::string number, description;
    std::array<std::string, 4> sku;
    std::string cost;  // empty when the clerk may not see it
    std::string price, category, inStock, tax, dateAdded;
};

// The read-only "Inventory" view form, every field as text.
struct ItemView {
    std::vector<std::pair<std::string, std::string>> rows;  // label, value
    std::string picturePath;
    std::string number;  // for the enlarged view's title "Inventory: %I64d"
};

struct BundleRow {
    std::string number;  // "%I64d", empty for an empty row
    std::string description;
    bool free = false;
    int quantityIndex = 0;  // list position; quantity = position + 1
};

struct BundleFormFields {
    std::string number, description;
    std::array<std::string, 4> sku;
    int day = 1, month = 1, year = 2000;  // date added
    std::string delivery = "0.00", weight = "0.00";
    int displayCategory = 0;
    std::string notes;
    std::array<BundleRow, 6> rows;
};

struct BundleFormRequest {
    std::string title;  // "Add inventory bundle" or "Amend bundle"
    ItemFormPresentation presentation = ItemFormPresentation::kBlank;
    BundleFormFields fields;
    bool focusNumber = false;
    std::array<std::string, 18> categoryNames;
    // The "Select" button of a row: asks for the item number and gives the
    // row to show, or nullopt to leave the row as it was.
    std::function<std::optional<BundleRow>()> select;
};

struct BundleFormReply {
    FormButton button = FormButton::kCancel;
    BundleFormFields fields;
};

// The read-only "Inventory bundle" window.
struct BundleView {
    std::vector<std::pair<std::string, std::string>> rows;
    struct Component {
        std::string number, description;
        bool free = false;
        int quantity = 1;
    };
    std::vector<Component> components;
};

// "Item description search": the text and the kind of search.
struct DescriptionSearchReply {
    std::string text;
    bool withinDescription = false;  // "Within the description", else "Initial characters"
    bool keepAsDefault = false;      // "Keep search type as default"
};

// "Advanced search".
struct AdvancedQuery {
    std::string description;
    std::array<std::string, 4> sku;
    bool all = false;  // "Display only those that match all the above"
};

// "Receive Inventory".
struct ReceiveRequest {
    std::string lineNumber, description;
    int held = 0;
    int sellByDay = 0, sellByMonth = 0, sellByYearIndex = 0;
};

struct ReceiveReply {
    FormButton button = FormButton::kCancel;  // kOk, kNext or kCancel
    std::string quantity;                     // as typed
    int sellByDay = 0, sellByMonth = 0, sellByYearIndex = 0;
};

struct DateRange {
    int fromDay = 1, fromMonth = 1, fromYear = 2000;
    int toDay = 1, toMonth = 1, toYear = 2000;
};

// A report as pages of text lines, ready for a printer.
struct PagedText {
    std::vector<std::vector<std::string>> pages;  // each page: heading line, then its lines
};

class ItemForms {
  public:
    virtual ~ItemForms() = default;

    virtual ItemFormReply itemForm(const ItemFormRequest& request) = 0;

    // Shows the first match; "Next" calls next() for the following one and
    // closes the form when it gives nullopt. kOk takes the shown item.
    virtual FormButton findInventory(
        const FindInventoryView& first,
        const std::function<std::optional<FindInventoryView>()>& next) = 0;

    // The view form; "Next" calls next(), which gives nullopt after the last
    // item (the form then closes).
    virtual void viewItem(const ItemView& first,
                          const std::function<std::optional<ItemView>()>& next) = 0;

    virtual BundleFormReply bundleForm(const BundleFormRequest& request) = 0;
    virtual void viewBundle(const BundleView& view) = 0;

    // preselectWithin: the search type kept as default.
    virtual std::optional<DescriptionSearchReply> descriptionSearch(bool preselectWithin) = 0;
    virtual std::optional<AdvancedQuery> advancedSearch() = 0;

    virtual ReceiveReply receive(const ReceiveRequest& request) = 0;
    virtual std::optional<DateRange> receivedRange() = 0;
    // The list window; true when the clerk pressed "Print".
    virtual bool receivedList(const std::string& title, const std::vector<std::string>& lines) = 0;
    virtual void print(const PagedText& pages) = 0;

    // The open-file window for a bitmap ("Bitmap files (*.bmp)"), starting
    // in the user's documents folder; the chosen path or nullopt.
    virtual std::optional<std::string> chooseBitmap() = 0;
    // "Update inbuilt stock picture": 1..24, or nullopt.
    virtual std::optional<int> chooseInbuiltPicture() = 0;
};

}  // namespace kassio
