// Import of a comma-separated text file into inventory.dat or customer.dat
// with a column map, and of the sibling program's inventory file.
//
// The text file is read as other programs write it for us: no quoting, a
// comma always ends a field, a line ends with a line feed (a last line
// without one is not counted). Column c of a line starts after its
// (c-1)-th comma; a column the line does not reach leaves that map slot and
// every later one at the default.
//
// A Replace import and the sibling import build the new inventory.dat
// beside the old one and put it in place in one step (file_replacement.h),
// keeping the old one as temp2.dat; a customer import does the same for
// customer.dat. A Merge adds the new items at the end of inventory.dat in
// posting journal batches. All of it runs with the DataMutex held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "exchange/exchange_notice.h"
#include "store/inventory_record.h"

namespace kassio {

class DataStore;

inline constexpr int kItemMapSlots = 17;
inline constexpr int kCustomerMapSlots = 18;
inline constexpr std::size_t kSiblingRecordSize = 1874;

// What the file holds, counted before the map window opens.
struct ImportSurvey {
    int records = 0;        // line feeds in the file
    int fields = 0;         // commas before the first line feed, plus one
    std::string firstLine;  // up to 1999 characters, for the map window
};

// "File not present." (Fatal error), "File has no content" or
// "Non recognised format" (Problem).
Status surveyImportFile(const std::string& path, ImportSurvey* survey);

struct ImportMap {
    bool customers = false;
    std::vector<int> columns;  // one per slot; 0 = not imported
    bool merge = false;        // items only; customers always replace
};

// The map as the window opens: 1, 2, 3 ... as far as the file has fields
// (every slot for inventory when the file has more than 15), the rest 0.
ImportMap defaultImportMap(bool customers, int fields);
// A column below 0 or above the file's field count becomes 0.
void limitImportMap(ImportMap& map, int fields);
// The labels of the map window's slots.
const std::vector<std::string>& importMapLabels(bool customers);

// Runs the import of path with map (already limited). The notices are the
// documented ones in order: "Item N duplicated", then "KASSIO will now
// close down" with closeDown set, or "No valid items" for a Replace that
// wrote nothing; a failure leaves the previous file in place.
ExchangeOutcome importRecords(DataStore& store, const std::string& path, const ImportMap& map,
                              int records);

// The sibling inventory file: its record count ("%d records" is asked
// before import), or "File not present.", "File has no content",
// "Non recognised format".
Status surveySiblingFile(const std::string& path, int* records);
// One sibling record as an InventoryRecord: the fields it names, every
// other byte 0, texts cut to their field and always terminated.
InventoryRecord itemFromSibling(const unsigned char* record);
// Replaces inventory.dat with the items of the sibling file.
ExchangeOutcome importSiblingInventory(DataStore& store, const std::string& path);

}  // namespace kassio
