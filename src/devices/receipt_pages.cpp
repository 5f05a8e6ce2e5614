#include "devices/receipt_pages.h"

#include <algorithm>
#include <cstdlib>

#include "base/fixed_text.h"
#include "platform/device_port.h"
#include "store/file_io.h"

namespace kassio {

namespace {

constexpr std::size_t kCustomTextChars = 49;

int clampIndex(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}
int32_t onOff(bool on) {
    return on ? 2 : 0;
}

// A typed line number when it is below 41, else the old one.
int32_t takeLine(int32_t old, const std::string& typed) {
    int value = std::atoi(typed.c_str());
    return value <= kMaxCustomLine ? value : old;
}

}  // namespace

const std::array<const char*, kReceiptElementCount> kReceiptElementLabels = {
    "Store name",
    "Store Address 1",
    "Store Address 2",
    "Store Address 3",
    "Store Address 4",
    "Store telephone",
    "Date",
    "By line",
    "Customer number",
    "Customer name",
    "Non taxable",
    "Taxable",
    "Tax 1",
    "Tax 2",
    "Total",
    "Clerk",
    "Receipt",
    "Total tendered",
    "Cash change",
    "Text 1",
    "Text 2",
    "Text 3",
    "Payment type",
    "Address 1",
    "Address 2",
    "Address 3",
    "Address 4",
    "Customer phone",
};

ReceiptsPage ReceiptsPage::load(const StoreConfigRecord& cfg,
                                const std::vector<PrinterInfo>& printers) {
    ReceiptsPage p;
    std::string stored = fieldText(cfg.receipt_printer_name);
    auto found = std::find_if(printers.begin(), printers.end(),
                              [&](const PrinterInfo& i) { return i.name == stored; });
    p.printer = found == printers.end() || stored.empty()
                    ? 0
                    : static_cast<int>(found - printers.begin()) + 1;
    p.omitPrintConfirm = cfg.options[kOptPrintConfirmation] != 1;
    p.autoReceipt = clampIndex(cfg.settings_b[kSetBAutoPrint], 5);
    p.copies = clampIndex(cfg.settings_b[kSetBReceiptCopies], 3);
    p.kitchenCopy = switchOn(cfg, kSetBKitchenCopy);
    p.fontSize = clampIndex(cfg.settings_b[kSetBReceiptFontSize], 5);
    p.singleLineItems = cfg.settings_b[kSetBReceiptItemStyle] == 0;
    p.centred = switchOn(cfg, kSetBReceiptCentred);
    p.logo = switchOn(cfg, kSetBReceiptLogo);
    p.logoPageWidth = switchOn(cfg, kSetBLogoPageWidth);
    p.barcode = switchOn(cfg, kSetBReceiptBarcode);
    p.exclusiveOfTax = switchOn(cfg, kSetBReceiptExclusiveOfTax);
    p.limitDescription = switchOn(cfg, kSetBLimitDescription20);
    p.footer = fieldText(cfg.receipt_footer);
    p.footerWordWrap = switchOn(cfg, kSetBFooterWordWrap);
    return p;
}

void ReceiptsPage::apply(StoreConfigRecord& cfg, const std::vector<PrinterInfo>& printers) const {
    const bool pdfChosen = printer >= 1 && printer <= static_cast<int>(printers.size()) &&
                           printers[printer - 1].name == kPdfPrinterName;
    if (!printerListRead && !pdfChosen) {
        // Keep the stored printer: a spooler that is down for a moment
        // must not cost the shop its receipt printer setting.
    } else if (printer >= 1 && printer <= static_cast<int>(printers.size())) {
        cfg.receipt_printer_choice = printer;
        setFieldText(cfg.receipt_printer_name, printers[printer - 1].name);
        setFieldText(cfg.printer_driver_name, printers[printer - 1].driver);
    } else {
        cfg.receipt_printer_choice = 0;
        setFieldText(cfg.receipt_printer_name, "");
        setFieldText(cfg.printer_driver_name, "");
    }
    cfg.options[kOptPrintConfirmation] = omitPrintConfirm ? 0 : 1;
    cfg.settings_b[kSetBAutoPrint] = clampIndex(autoReceipt, 5);
    cfg.settings_b[kSetBReceiptCopies] = clampIndex(copies, 3);
    cfg.settings_b[kSetBKitchenCopy] = onOff(kitchenCopy);
    cfg.settings_b[kSetBReceiptFontSize] = clampIndex(fontSize, 5);
    cfg.settings_b[kSetBReceiptItemStyle] = singleLineItems ? 0 : 2;
    cfg.settings_b[kSetBReceiptCentred] = onOff(centred);
    cfg.settings_b[kSetBReceiptLogo] = onOff(logo);
    cfg.settings_b[kSetBLogoPageWidth] = onOff(logoPageWidth);
    cfg.settings_b[kSetBReceiptBarcode] = onOff(barcode);
    cfg.settings_b[kSetBReceiptExclusiveOfTax] = onOff(exclusiveOfTax);
    cfg.settings_b[kSetBLimitDescription20] = onOff(limitDescription);
    setFieldText(cfg.receipt_footer, footer.substr(0, 252));
    cfg.settings_b[kSetBFooterWordWrap] = onOff(footerWordWrap);
}

CustomReceiptPage CustomReceiptPage::load(const StoreConfigRecord& cfg) {
    CustomReceiptPage p;
    for (int e = 0; e < kReceiptElementCount; ++e)
        p.lines[e] = std::to_string(customLineOf(cfg, e));
    p.noteLine = std::to_string(cfg.settings_b[kSetBCustomNoteLine]);
    for (int i = 0; i < 3; ++i) p.texts[i] = fieldText(cfg.custom_receipt_text[i]);
    p.cutter = fieldText(cfg.cutter_code);
    p.cutterPort = clampIndex(cfg.settings_b[kSetBCustomCutterPort], kPortCount);
    const int32_t blank = cfg.settings_b[kSetBCustomBlankLines];  // a copy: the record is packed
    p.blankLines = std::clamp(blank, 1, 20);
    p.excludingTax = switchOn(cfg, kSetBCustomExcludingTax);
    p.centred = switchOn(cfg, kSetBCustomCentred);
    p.markExempt = switchOn(cfg, kSetBCustomMarkExempt);
    p.logo = !switchOn(cfg, kSetBCustomOmitLogo);
    p.barcode = switchOn(cfg, kSetBCustomBarcode);
    p.secondCurrency = switchOn(cfg, kSetBCustomSecondCurrency);
    return p;
}

void CustomReceiptPage::apply(StoreConfigRecord& cfg) const {
    for (int e = 0; e < kReceiptElementCount; ++e)
        setCustomLineOf(cfg, e, takeLine(customLineOf(cfg, e), lines[e]));
    cfg.settings_b[kSetBCustomNoteLine] = takeLine(cfg.settings_b[kSetBCustomNoteLine], noteLine);
    for (int i = 0; i < 3; ++i)
        setFieldText(cfg.custom_receipt_text[i], texts[i].substr(0, kCustomTextChars));
    setFieldText(cfg.cutter_code, cutter.substr(0, kCustomTextChars));
    cfg.settings_b[kSetBCustomCutterPort] = clampIndex(cutterPort, kPortCount);
    cfg.settings_b[kSetBCustomBlankLines] = std::clamp(blankLines, 1, 20);
    cfg.settings_b[kSetBCustomExcludingTax] = onOff(excludingTax);
    cfg.settings_b[kSetBCustomCentred] = onOff(centred);
    cfg.settings_b[kSetBCustomMarkExempt] = onOff(markExempt);
    cfg.settings_b[kSetBCustomOmitLogo] = onOff(!logo);
    cfg.settings_b[kSetBCustomBarcode] = onOff(barcode);
    cfg.settings_b[kSetBCustomSecondCurrency] = onOff(secondCurrency);
}

Status installLogo(StoreFiles& files, const std::string& chosenFile) {
    const auto picture = readWholeFile(chosenFile);
    if (!picture) return Status::ioError("Unable to copy " + chosenFile, "Logo picture");
    if (Status s = files.replace("receipt.bmp", picture->data(), picture->size()); !s)
        return s.fatal() ? s : Status::ioError("Unable to copy " + chosenFile, "Logo picture");
    return Status::ok();
}

}  // namespace kassio
