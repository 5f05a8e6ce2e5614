#include "documents/invoice_settings.h"

#include <charconv>

#include "store/file_io.h"

namespace kassio {

const std::array<const char*, kInvoiceLineCount> kInvoiceLineLabels = {"Store name",
                                                                       "Store Address 1",
                                                                       "Store Address 2",
                                                                       "Store Address 3",
                                                                       "Store Address 4",
                                                                       "Store telephone",
                                                                       "Date",
                                                                       "Items",
                                                                       "Customer detail",
                                                                       "Customer terms",
                                                                       "Customer ID",
                                                                       "Net total",
                                                                       "Tax",
                                                                       "Discount",
                                                                       "Total",
                                                                       "Clerk",
                                                                       "Invoice",
                                                                       "Balance",
                                                                       "Transaction note"};

InvoiceSettings InvoiceSettings::load(const StoreConfigRecord& cfg) {
    InvoiceSettings s;
    for (int i = 0; i < kInvoiceLineCount; ++i)
        s.lines[i] = std::to_string(cfg.settings_b[kSetBInvoiceLines + i]);
    s.standardLogo = cfg.settings_b[kSetBInvoiceLogo] != 0;
    s.barcode = cfg.settings_b[kSetBInvoiceBarcode] != 0;
    s.boxEncased = cfg.settings_b[kSetBInvoiceBoxEncased] != 0;
    s.customLogo = cfg.settings_b[kSetBInvoiceCustomLogo] != 0;
    return s;
}

void InvoiceSettings::apply(StoreConfigRecord& cfg) const {
    for (int i = 0; i < kInvoiceLineCount; ++i) {
        const std::string& text = lines[i];
        int value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 80)
            continue;
        cfg.settings_b[kSetBInvoiceLines + i] = value;
    }
    cfg.settings_b[kSetBInvoiceLogo] = standardLogo ? 1 : 0;
    cfg.settings_b[kSetBInvoiceBarcode] = barcode ? 1 : 0;
    cfg.settings_b[kSetBInvoiceBoxEncased] = boxEncased ? 1 : 0;
    cfg.settings_b[kSetBInvoiceCustomLogo] = customLogo ? 1 : 0;
}

Status installLetterLogo(const std::string& dataFolder, const std::string& chosenFile) {
    if (!copyFile(chosenFile, dataFolder + "/letter.bmp"))
        return Status::ioError("Unable to copy " + chosenFile, "Logo picture");
    return Status::ok();
}

}  // namespace kassio
