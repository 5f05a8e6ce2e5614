// The listing settings of the File menu and the custom listing's columns,
// kept in kq.cfg: the printed listings' font size ("Listing font size"),
// their left margin in average character widths ("Indent listings", 0 to
// 40; 0 means none) and the 20 column flags of "Print custom inventory".
#pragma once

#include <array>
#include <string>

#include "base/status.h"
#include "store/data_store.h"
#include "store/store_config.h"

namespace kassio {

// Settings block A holds nothing documented between the clerks'
// availability (index 0..98) and the history dates (194..199). The head
// office upload's choices take indexes 100..103; the listing settings sit
// further on, at 140..160, so that ticking a listing column never changes
// what is uploaded.
inline constexpr int kSetAListingColumns = settingA(12378);   // 20 flags, 2 = on
inline constexpr int kSetAListingFontSize = settingA(12458);  // index of kListingFontSizes

inline constexpr int kListingColumnCount = 20;
inline constexpr int kMaxListingIndent = 40;

// The sizes "Listing font size" offers; 0 is the printer's own font.
inline constexpr std::array<int, 7> kListingFontSizes = {0, 8, 9, 10, 11, 12, 14};
// "Printer default", "8 point", ...
std::string listingFontSizeName(int index);

// The font size in points (0: the printer default) and the indent.
int listingFontPoints(const StoreConfig& config);
int listingIndent(const StoreConfig& config);

// The columns of the custom listing in their fixed order.
enum class ListingColumn {
    kDescription,
    kSku1,
    kSku2,
    kSku3,
    kSku4,
    kCost,
    kTrade,
    kRetail,
    kOrderCode,
    kOnOrder,
    kOrderQuantity,
    kMinimumOrder,
    kReorderLevel,
    kTaxCode,
    kInStock,
    kDateAdded,
    kDisplayCategory,
    kLocation,
    kWebUrl,
    kWebImage,
};
const char* listingColumnName(int column);  // "Description", "SKU 1", ...
std::array<bool, kListingColumnCount> listingColumns(const StoreConfig& config);

// "Indent (in characters, 0-40)": the typed text checked and saved.
// "Outside range" for anything but a whole number 0..40; the message of a
// saved indent is "Indent set to N".
Status setListingIndent(DataStore& store, const std::string& typed, std::string* done);
Status setListingFontSize(DataStore& store, int index);
Status setListingColumns(DataStore& store, const std::array<bool, kListingColumnCount>& columns);

}  // namespace kassio
