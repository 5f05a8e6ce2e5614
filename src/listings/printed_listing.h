// The printed listings of the Inventory, Customers and Suppliers menus:
// a heading line on every page ("<store name> <heading> <date>  Page: N"),
// the column heading line, then one row per record.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/status.h"
#include "platform/printers.h"
#include "store/data_store.h"

namespace kassio {

enum class PrintedListing {
    kItemsFromNumber,    // "Inventory list:"
    kItemsAlphabetical,  // "Inventory list:"
    kItemsCostValue,     // "Inventory list:", with cost
    kItemsCategory,      // "Inventory category list: "
    kItemsHeld,          // "Inventory held list: " (in stock, with cost)
    kItemsCustom,        // "Inventory list: " with the chosen columns
    kItemsLocation,      // "Location: " and the location
    kSuppliers,          // "Numeric supplier list: "
    kCustomersNumeric,   // "Numeric customer list: "
    kCustomersAlphabetical,
    kCustomersDebitCredit,
    kCustomersNonDefault,
    kCustomersInactive,
    kCustomersTakings,
};
// The kind for its command-line name ("items", "alpha", "cost", ...).
bool printedListingFrom(const std::string& name, PrintedListing* kind);

struct ListingRequest {
    PrintedListing kind = PrintedListing::kItemsFromNumber;
    int64_t fromNumber = 1;
    std::string startChar = "A", endChar = "Z";
    int category = 0;
    std::string location;  // 1 to 39 characters
};

// One printed row: texts at columns counted in character widths.
using ListingCells = std::vector<std::pair<int, std::string>>;

struct RecordListing {
    std::string heading;  // "Inventory list:", "Location: FRONT", ...
    std::string columns;  // the column heading line
    std::vector<ListingCells> rows;
};

// The rows of a listing, read with the DataMutex held a chunk at a time.
Status buildListing(DataStore& store, const ListingRequest& request, RecordListing* listing);

// The page heading: store name, listing heading and the date "MMMM d yyyy".
std::string listingPageHeading(const std::string& storeName, const std::string& heading,
                               const LocalTime& today, int page);

// Prints the listing as document "KASSIO" in the listing font, from the
// configured left margin, as many copies as the print window asked for.
Status printListing(PrintJob& job, const RecordListing& listing, const std::string& storeName,
                    const LocalTime& today, int fontPoints, int indent);

// Prints a listing with the shop's settings: font, indent, store name.
Status printListingFor(DataStore& store, PrintJob& job, const RecordListing& listing);

}  // namespace kassio
