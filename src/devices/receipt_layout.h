// The till receipt: the standard layout, the custom layout and their
// building blocks (receipt elements, line grouping, logo, barcode), drawn on
// a Canvas with a page already started.
//
// Rows: H is the selected font's character height plus its external
// leading; row r has its top at r x H. C is half the printable width (the
// page centre), P the printer's left physical offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/ui.h"
#include "store/basket.h"
#include "store/receipt_words.h"
#include "store/store_config.h"

namespace kassio {

// Everything one receipt is drawn from. The pointers outlive the drawing.
struct ReceiptData {
    const StoreConfigRecord* config = nullptr;
    const ReceiptWords* words = nullptr;
    const Basket* basket = nullptr;
    double tendered = 0;
    double change = 0;
    // The customer loaded at the till (elements 8 and 9).
    int64_t customerNumber = 0;
    std::string customerName;
    std::string logoPath;  // receipt.bmp in the DataFolder
};

enum class ReceiptLayout { kStandard, kCustom };

// Fixed: the element goes on the given row. Relative: on the given row plus
// the element's custom line number, and not at all when that is below 1.
enum class Placement { kFixed, kRelative };

// The text of receipt element 0..27; nullopt when it is not drawn (the
// change on a refund, an unknown element).
std::optional<std::string> receiptElementText(const ReceiptData& data, int element,
                                              Placement placement);

// The payment line (element 22).
std::string paymentText(const ReceiptWords& words, const Basket& basket);

void drawReceiptElement(Canvas& canvas, const ReceiptData& data, int element, int rowHeight,
                        int centreX, int row, Placement placement);

// The transaction number as a Code 39 barcode. With a nonzero row its top is
// at row + 2; with row 0 it sits near the bottom of the page, higher when
// raised. Shows "Unable to get printer" when the printer has no resolution.
void drawReceiptBarcode(Canvas& canvas, Ui& ui, int64_t number, int row, bool raised);

// The digits the barcode carries: at least four, zero-padded.
std::string receiptBarcodeText(int64_t number);

// Per Basket line, how many identical lines it stands for: a group is
// counted at its first line, the later ones get 0.
std::vector<int> groupLineCounts(const Basket& basket);

// Draws the logo when the file loads; returns the rows it takes (0 without).
int drawReceiptLogo(Canvas& canvas, const std::string& path, bool pageWidth, int rowHeight);

// Draws one receipt. Messages ("Unable set font", "Unable to get printer")
// go to the Ui; drawing goes on after them.
void drawTillReceipt(Canvas& canvas, Ui& ui, const ReceiptData& data, ReceiptLayout layout);

}  // namespace kassio
