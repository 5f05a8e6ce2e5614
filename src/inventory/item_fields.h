// The item form's fields as the clerk sees them, and their conversions to
// and from an InventoryRecord; the ready reckoner and the picture stepping
// of the form; the texts of the view and "FIND INVENTORY" forms.
//
// The Qt form only copies widgets to and from ItemFormFields and calls the
// functions here; every rule about a field lives in this file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/numbers.h"
#include "platform/clock.h"
#include "store/inventory_record.h"
#include "store/store_config.h"

namespace kassio {

// Longest texts the item form accepts.
inline constexpr std::size_t kItemTextLimit = 38;
inline constexpr std::size_t kItemNotesLimit = 78;
inline constexpr int kInbuiltPictures = 24;
// Sell-by years are stored as list positions: 1 = 2012 ... 69 = 2080.
inline constexpr int kSellByBaseYear = 2011;
inline constexpr int kSellByYears = 69;

struct ItemFormFields {
    std::string number, description;
    std::array<std::string, 4> sku;
    std::string cost = "0.00", trade = "0.00", retail = "0.00";
    std::string orderCode, location, website, webImage;
    std::string onOrder, orderQuantity, minimumOrder, restockLevel, quantity;
    std::string committed = "0", deliveryLead = "0", labels = "0";
    std::string delivery = "0.00", weight = "0.00";
    std::string notes;
    int taxCode = 0;  // 0 "Non taxable", 1 "Tax 1 and 2", 2 "Tax 1", 3 "Tax 2"
    // The ready reckoner's boxes; they do not decide the stored tax code.
    bool tax1Box = false, tax2Box = false;
    int day = 1, month = 1, year = 2000;  // the date picker
    int displayCategory = 14;             // list position 0..17
    int sor = 0;                          // "NO" 0, "YES" 1
    bool noTaxRounding = false;
    int specialOrder = 0;  // 0..20
    bool ageWarning = false;
    int age = 2;  // 2..30
    bool omitQuickSelect = false;
    int offer = 0;  // 0 no offers, 2 buy one get one free, 4 buy two get one free
    int sellByDay = 0, sellByMonth = 0, sellByYearIndex = 0;
    int pictureNumber = 1;
    bool ownPicture = false;
};

// The Blank presentation: empty texts, prices "0.00", the configured default
// tax code (boxes ticked to match) and category, today's date, picture 1.
// The number is filled in by the caller.
ItemFormFields blankItemFields(const StoreConfig& config, const LocalTime& today);

// An item as the amend presentation shows it: money "%.2f", integers "%d",
// the stored date when it is a real date (year above 1980), else today.
ItemFormFields itemFields(const InventoryRecord& item, const LocalTime& today);

// Stores every form field into the item as the form's table says: texts cut
// to their limits, prices read as decimals (the retail price rounded to
// cents), integers read with non-numeric text giving 0.
void storeItemFields(const ItemFormFields& fields, InventoryRecord& item);

// The ready reckoner: the text to put in both "Retail price without tax" and
// "Retail price" after "Retail price with tax" changed, or nullopt when the
// boxes and rates leave nothing to recompute.
std::optional<std::string> priceWithoutTax(const StoreConfig& config, const std::string& withTax,
                                           bool tax1Box, bool tax2Box);

// The Tax 1 / Tax 2 boxes and the Tax code list follow each other on the
// form, so the taxes that worked the price out are the taxes the item is
// stored with: no box is "Non taxable" (0), both "Tax 1 and 2" (1), one box
// "Tax 1" (2) or "Tax 2" (3).
int taxCodeForBoxes(bool tax1Box, bool tax2Box);
inline bool taxCodeHasTax1(int code) {
    return code == 1 || code == 2;
}
inline bool taxCodeHasTax2(int code) {
    return code == 1 || code == 3;
}

// "Back" and "Forward" of the item form's picture. The state starts afresh
// each time the form opens.
class ItemPicture {
  public:
    ItemPicture(int pictureNumber, bool ownPicture);
    void back();
    void forward();
    int pictureNumber() const { return m_number; }
    bool showsOwn() const { return m_own; }

  private:
    int m_number;
    bool m_own;
    bool m_ownRemembered = false;
};

// The picture file of an item in the DataFolder: "m%I64d.bmp" when it uses
// its own picture, else the inbuilt "stock%d.bmp" (also found as "STOCK%d.bmp").
std::string itemPicturePath(const std::string& dataFolder, int64_t number, int pictureNumber,
                            bool ownPicture);
std::string ownPictureName(int64_t number);
std::string inbuiltPictureName(int picture);

// Clerks 1 and 2 always see cost prices, higher clerks unless "Do not display
// cost price" is set, nobody when no clerk is logged on.
bool costVisible(const StoreConfig& config, int64_t clerk);

std::string taxCodeName(int code);
// The three-letter name of a display category, blank outside 0..17.
std::string categoryName(const StoreConfig& config, int category);
// A stored "DD/MM/YYYY" as the local long form when it is a date from 1980
// on, else the text as stored.
std::string dateAddedText(const std::string& stored);

}  // namespace kassio
