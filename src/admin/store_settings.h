// The Utilities panels that edit the shop's own settings in the StoreConfig:
// "Tax setup", "Store print heading", "Non inventory settings" and
// "File reset". Each panel is a value the Qt dialog fills from its
// controls; check() refuses what cannot be stored, and the save functions
// take the DataMutex, change the record and rewrite kq.cfg.
#pragma once

#include <string>
#include <vector>

#include "base/status.h"
#include "store/data_store.h"
#include "store/store_config.h"

namespace kassio {

// The defaults of the till's non-inventory sale panel, in two switches of
// settings block B that the documented table leaves unnamed: "not taxable
// by default" (2 = on, so a new shop sells taxable lines) and the default
// tax choice (a list index of kNonInventoryTaxChoices).
inline constexpr int kSetBNonInventoryNotTaxable = settingB(13382);
inline constexpr int kSetBNonInventoryTaxChoice = settingB(13390);
inline constexpr const char* kNonInventoryTaxChoices[] = {"Tax 1", "Tax 2", "Tax 1 and 2"};

// Tax rates are typed in percent with up to two decimals ("17.5") and
// stored in hundredths of a percent (1750).
struct TaxSetup {
    bool tax1InUse = false;
    std::string tax1Name;  // up to 5 characters
    std::string tax1Rate;  // percent, as typed
    bool tax2InUse = false;
    std::string tax2Name;
    std::string tax2Rate;
    bool tax2OnTax1 = false;      // tax 2 charged on the price plus tax 1
    bool thresholdInUse = false;  // tax 1 only once the taxable subtotal passes it
    std::string threshold;        // money, as typed
    int defaultTaxCode = 0;       // new items: 0 "Non taxable" .. 3 "Tax 2"

    static TaxSetup load(const StoreConfigRecord& cfg);
    // "Tax rate must be a percentage from 0 to 100", "Tax name up to 5
    // characters", "Threshold must be an amount of 0 or more".
    Status check() const;
    void apply(StoreConfigRecord& cfg) const;
};

// The seven heading lines printed at the head of receipts, invoices,
// reports and letters: store name, four address lines, telephone, a
// seventh line.
struct PrintHeading {
    static constexpr int kLines = 7;
    static constexpr std::size_t kLineLength = 79;  // 80 bytes with the NUL
    static constexpr const char* kLabels[kLines] = {
        "Store name", "Address 1", "Address 2", "Address 3", "Address 4", "Telephone", "Line 7"};
    std::string lines[kLines];

    static PrintHeading load(const StoreConfigRecord& cfg);
    // "Store name required"; "Heading lines up to 79 characters".
    Status check() const;
    void apply(StoreConfigRecord& cfg) const;
};

// The non-inventory sale: its four description shortcuts (also the client
// stations' custom sale buttons) and whether a new line is taxable, and
// by which taxes.
struct NonInventorySettings {
    static constexpr int kLabels = 4;
    static constexpr std::size_t kLabelLength = 11;
    std::string labels[kLabels];
    bool clientButtons = false;  // client stations show the custom sale buttons
    bool taxable = true;
    int taxChoice = 0;  // kNonInventoryTaxChoices

    static NonInventorySettings load(const StoreConfigRecord& cfg);
    // "Button labels up to 11 characters".
    Status check() const;
    void apply(StoreConfigRecord& cfg) const;
    bool tax1() const { return taxChoice != 1; }
    bool tax2() const { return taxChoice != 0; }
};

// "File reset": running totals the shop may start again from zero. Nothing
// on disk but kq.cfg changes; the journal keeps every transaction.
enum class ResetPart {
    kTakings,         // takings since the last till closeout
    kRefundTotals,    // refund totals by kind
    kCategoryTotals,  // sales totals, sale counters and client totals per category
    kOverviewTotals,  // the overview's totals
    kPettyCash,       // petty cash and cash back totals
};
struct ResetChoice {
    ResetPart part;
    const char* label;
};
inline constexpr ResetChoice kResetChoices[] = {
    {ResetPart::kTakings, "Till takings since the last closeout"},
    {ResetPart::kRefundTotals, "Refund totals"},
    {ResetPart::kCategoryTotals, "Sales totals and counters by category"},
    {ResetPart::kOverviewTotals, "Overview totals"},
    {ResetPart::kPettyCash, "Petty cash and cash back totals"},
};
// Sets the chosen totals to zero.
void resetTotals(StoreConfigRecord& cfg, const std::vector<ResetPart>& parts);
// The labels of the chosen parts, "A, B and C".
std::string resetSummary(const std::vector<ResetPart>& parts);

// The saves: each checks the panel, then under the DataMutex stores it and
// rewrites kq.cfg. A refused panel changes nothing.
Status saveTaxSetup(DataStore& store, const TaxSetup& page);
Status savePrintHeading(DataStore& store, const PrintHeading& page);
Status saveNonInventorySettings(DataStore& store, const NonInventorySettings& page);
// Resets the parts, rewrites kq.cfg and notes "File reset: ..." in the
// day's ActivityLog. An empty choice is refused with "Nothing chosen".
Status resetFiles(DataStore& store, const std::vector<ResetPart>& parts);

}  // namespace kassio
