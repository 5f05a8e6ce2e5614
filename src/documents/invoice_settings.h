// The "Invoices" dialog on the Utilities menu: the standard invoice's logo
// switch and the custom invoice's line numbers and switches. The Qt dialog
// fills these values and calls apply(); nothing is saved here.
#pragma once

#include <array>
#include <string>

#include "base/status.h"
#include "store/store_config.h"

namespace kassio {

// The captions of the custom invoice's parts, in the dialog's (and the
// stored) order.
extern const std::array<const char*, kInvoiceLineCount> kInvoiceLineLabels;

inline constexpr const char* kInvoiceLinesNote =
    "The value is the number of lines from the top of the invoice that the item is printed "
    "(1-80). A zero value omits.";
inline constexpr const char* kInvoiceHeaderFontNote =
    "The header font may require the lines for the store detail to be adjusted for an increased "
    "size.";

struct InvoiceSettings {
    std::array<std::string, kInvoiceLineCount> lines;  // as typed
    bool standardLogo = true;                          // "Use logo"
    bool barcode = true;                               // "Barcode"
    bool boxEncased = true;                            // "Box encased"
    bool customLogo = true;                            // "Use logo " (custom invoice)

    static InvoiceSettings load(const StoreConfigRecord& cfg);
    // A line number is taken when it reads as a whole number 0..80; a value
    // of 81 or more (or no number) keeps the stored one.
    void apply(StoreConfigRecord& cfg) const;
};

// "Select logo bitmap file": the chosen file over letter.bmp in the
// DataFolder.
Status installLetterLogo(const std::string& dataFolder, const std::string& chosenFile);

}  // namespace kassio
