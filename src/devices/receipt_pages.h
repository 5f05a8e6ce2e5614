// The rules of the receipt settings: the "Receipts" configuration page, the
// "Custom receipt" dialog and the logo selection. The Qt pages fill these
// values from their controls and call apply(); nothing is saved here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/status.h"
#include "devices/device_settings.h"
#include "platform/printers.h"
#include "store/store_config.h"
#include "store/store_files.h"

namespace kassio {

struct ReceiptsPage {
    int printer = 0;  // 0 "Default", n the n-th printer of the system's list
    // False when the system's printer list could not be read: the stored
    // printer is then kept, not replaced by "Default".
    bool printerListRead = true;
    bool omitPrintConfirm = true;
    int autoReceipt =
        0;  // "None", "Till receipt", "Standard invoice", "Custom invoice", "Custom receipt"
    int copies = 0;  // "1 copy", "2", "3"
    bool kitchenCopy = false;
    int fontSize = 0;  // "Printer default", "9 point" .. "12 point"
    bool singleLineItems = true;
    bool centred = false;
    bool logo = false;
    bool logoPageWidth = false;
    bool barcode = false;
    bool exclusiveOfTax = false;
    bool limitDescription = false;
    std::string footer;  // up to 252 characters
    bool footerWordWrap = false;

    // The printer whose name equals the stored one is selected, else "Default".
    static ReceiptsPage load(const StoreConfigRecord& cfg,
                             const std::vector<PrinterInfo>& printers);
    // A printer's name and driver are stored with its position; "Default"
    // empties both.
    void apply(StoreConfigRecord& cfg, const std::vector<PrinterInfo>& printers) const;
};

// "Custom receipt" labels of the receipt elements 0..27.
extern const std::array<const char*, kReceiptElementCount> kReceiptElementLabels;

struct CustomReceiptPage {
    std::array<std::string, kReceiptElementCount> lines;  // line numbers as typed
    std::string noteLine;                                 // the transaction note's line
    std::array<std::string, 3> texts;                     // "Text 1".."Text 3", 49 characters
    std::string cutter;                                   // "Cutter", 49 characters
    int cutterPort = 0;                                   // COM1..COM8, LPT1, LPT2
    int blankLines = 1;                                   // "Blank lines at end", 1..20
    bool excludingTax = false;  // "Items (Excluding tax)", else "Items (Including tax)"
    bool centred = false;
    bool markExempt = false;
    bool logo = true;
    bool barcode = false;
    bool secondCurrency = false;

    static CustomReceiptPage load(const StoreConfigRecord& cfg);
    // A typed line number is read as a whole number and taken only when it is
    // below 41; otherwise the old value stays.
    void apply(StoreConfigRecord& cfg) const;
};

// "Select logo bitmap file": copies the chosen file over receipt.bmp in the
// DataFolder, through the store's write path (durable when it returns Ok).
Status installLogo(StoreFiles& files, const std::string& chosenFile);

}  // namespace kassio
