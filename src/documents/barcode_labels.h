// Barcode labels ("Barcode print" on the Utilities menu): shelf and item
// labels for a range of item numbers, membership labels for customers,
// labels for a bare range of numbers, or one item's label repeated, in
// Code 39 or EAN-13, one, two or three to a row.
//
// Positions and sizes are hundredths of a millimetre in the Canvas's
// metric mapping (y upwards): successive labels move to more negative y.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/canvas.h"
#include "platform/printers.h"
#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

enum class LabelSource { kInventory, kCustomers, kAllValues, kRepeat };
enum class LabelFormat { kVideoSpine, kTwoColumn, kThreeColumn };
enum class LabelSymbol { kEan13, kCode39 };

inline constexpr int64_t kLabelRangeLimit = 100000000000000000;

// The window's entries as typed, and its choices. Kept for the program's
// run; the text size is stored in kq.cfg.
struct LabelSettings {
    std::string start = "1", finish = "2";
    std::string originX = "3600", originY = "400";
    std::string labelHeight = "1690", perSheet = "16";
    std::string fromCentre = "5600";
    std::string elementWidth = "40";
    std::string quantity;
    LabelSource source = LabelSource::kInventory;
    LabelFormat format = LabelFormat::kVideoSpine;
    LabelSymbol symbol = LabelSymbol::kCode39;
    bool includePrice = false;
    bool withTax = true;
    bool includeStore = false;
    bool priceBelow = false;  // "Position below other text (Video spine)"
    int textSize = 0;         // 10 ("Large") .. 200 ("Tiny"); 0 the printer's default font

    // Choosing a format loads its label height and count per sheet;
    // choosing a symbol its element width.
    void chooseFormat(LabelFormat f);
    void chooseSymbol(LabelSymbol s);
    // Origin X is used (and editable) only for one column.
    bool originXEditable() const { return format == LabelFormat::kVideoSpine; }
};

// The settings read for a job: every number in its range.
struct LabelJob {
    int64_t start = 1, finish = 2;
    int originX = 3600, originY = 400, labelHeight = 1690, perSheet = 16;
    int fromCentre = 5600, elementWidth = 40;
    int64_t quantity = 0;
    LabelSource source = LabelSource::kInventory;
    LabelFormat format = LabelFormat::kVideoSpine;
    LabelSymbol symbol = LabelSymbol::kCode39;
    bool includePrice = false, withTax = true, includeStore = false, priceBelow = false;
    int textSize = 0;
};

// Reads the window: "Range limit 100000000000000000" for a start or finish
// beyond it, "Invalid range" for start above finish (start 0 or less for
// the repeat source); values outside their range take their fall-backs.
Status readLabelJob(const LabelSettings& settings, LabelJob* job);

// One label as it is drawn.
struct Label {
    int64_t value = 0;
    std::string text;       // the line beside or under the symbol
    std::string priceLine;  // the second line, "Position below other text"
};

// Walks the source label by label; reads the files under the DataMutex.
class LabelCursor {
  public:
    LabelCursor(DataStore& store, const LabelJob& job);
    // The next label; nullopt when the source is exhausted. A missing data
    // file ends it with the error kept in status().
    std::optional<Label> next();
    // Whether next() has a label to give (it is read ahead and kept).
    bool more();
    const Status& status() const { return m_status; }

  private:
    std::optional<Label> read();

    DataStore& m_store;
    const LabelJob& m_job;
    int64_t m_current;
    int64_t m_remaining;
    bool m_done = false;
    std::optional<Label> m_ahead;
    Status m_status;
};

// The symbol's digits: Code 39 at least four, zero-padded; EAN-13 the
// thirteen digits with the check digit.
std::string labelSymbolText(LabelSymbol symbol, int64_t value);

// Draws one sheet from the cursor; false when the cursor had no label left
// (nothing drawn).
bool drawLabelPage(Canvas& canvas, const LabelJob& job, LabelCursor& cursor);

// Prints the job on a print job already opened (the dialog's printer or a
// PDF file), as many times as it asks for; the pages of one copy end when
// the source does. A missing data file ends the job with its message.
Status printLabels(DataStore& store, const LabelJob& job, PrintJob& printJob);

}  // namespace kassio
