#include "devices/receipt_layout.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstring>

#include "base/fixed_text.h"
#include "base/status.h"
#include "base/text_format.h"
#include "devices/code39.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

constexpr const char* kDoubleRule = "========================";
constexpr const char* kSingleRule = "------------------------";
constexpr const char* kFeed = "  ";  // makes the printer feed past the line above

// Code 39 geometry in 0.01 mm: 0.40 mm modules, bars 10.00 mm high.
constexpr int kBarModule = 40;
constexpr int kBarHeight = 1000;
constexpr int kCharStep = kCode39CharStep;

int lineCount(const Basket& b) {
    return std::clamp(b.line_count, 0, kMaxBasketLines);
}

std::string word(const ReceiptData& d, int slot) {
    return d.words->word(slot);
}

bool isRefund(const Basket& b) {
    return fieldText(b.payment_word) == "Refund";
}

std::string taxElement(const std::string& name, double total, int64_t rate) {
    double percent = rate != 0 ? static_cast<double>(rate) / 100.0 : 0.0;
    return formatted("%s: %.2f (%.2f%%)", name.c_str(), total, percent);
}

std::string currencyOf(const char (&field)[5]) {
    return fieldText(field);
}

// The page geometry and font metrics one receipt is laid out with.
struct Geometry {
    int H = 1;  // row height
    int C = 0;  // page centre
    int P = 0;  // left physical offset
    int A = 0;  // average character width
    int k = 3;  // 3 proportional, 2 fixed pitch
};

Geometry measure(const Canvas& canvas) {
    FontMetrics m = canvas.metrics();
    Geometry g;
    // A font reporting no height would make every row 0 and every division
    // by the row height fail; one device unit keeps the layout defined.
    g.H = std::max(1, m.height + m.externalLeading);
    g.C = canvas.printableWidth() / 2;
    g.P = canvas.physicalOffsetX();
    g.A = m.averageCharWidth;
    g.k = m.fixedPitch ? 2 : 3;
    return g;
}

int rowY(int row, int H) {
    return row * H;
}

// Selects the receipt font of the configured size (1..4 = 9..12 point);
// true when a font was selected and must be restored.
bool selectReceiptFont(Canvas& canvas, Ui& ui, const StoreConfigRecord& cfg) {
    int size = cfg.settings_b[kSetBReceiptFontSize];
    if (size < 1 || size > 4) return false;
    int points = 8 + size;
    int dpi = canvas.dpiY();
    // points x dpi / 72 to the nearest whole unit, as a multiply-then-divide.
    int height = static_cast<int>((static_cast<int64_t>(points) * dpi * 2 + 72) / 144);
    if (canvas.selectFont("Arial", height, 400)) return true;
    ui.error("Unable set font", kTitleProblem);
    return false;
}

std::string description(const Basket& b, int line, std::size_t cut) {
    std::string text = fieldText(b.description[line]);
    if (text.size() > cut) text.resize(cut);
    return text;
}

bool taxExempt(const Basket& b, int line) {
    return b.taxable[line] == 0;
}

// --- Standard receipt ------------------------------------------------------

enum class ItemStyle { kSingleLine, kTwoRows, kCentred };

void drawStandard(Canvas& canvas, Ui& ui, const ReceiptData& d, const Geometry& g) {
    const StoreConfigRecord& cfg = *d.config;
    const Basket& b = *d.basket;
    const int H = g.H, C = g.C, P = g.P;

    int L = 0;
    if (switchOn(cfg, kSetBReceiptLogo))
        L = drawReceiptLogo(canvas, d.logoPath, switchOn(cfg, kSetBLogoPageWidth), H);

    const int heading[4] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i)
        drawReceiptElement(canvas, d, heading[i], H, C, L + 1 + i, Placement::kFixed);
    canvas.text(C, rowY(L + 6, H), Canvas::Align::kCentre, kDoubleRule);
    drawReceiptElement(canvas, d, 16, H, C, L + 7, Placement::kFixed);
    canvas.text(C, rowY(L + 8, H), Canvas::Align::kCentre,
                formatted("%s  %s", fieldText(b.time).c_str(), fieldText(b.date).c_str()));
    drawReceiptElement(canvas, d, 15, H, C, L + 9, Placement::kFixed);
    canvas.text(C, rowY(L + 10, H), Canvas::Align::kCentre, kSingleRule);

    ItemStyle style = switchOn(cfg, kSetBReceiptCentred)           ? ItemStyle::kCentred
                      : cfg.settings_b[kSetBReceiptItemStyle] == 0 ? ItemStyle::kSingleLine
                                                                   : ItemStyle::kTwoRows;
    const int right = 2 * C - P;
    const int left = P + 10;
    if (style == ItemStyle::kSingleLine) {
        int y1 = static_cast<int>(H * (L + 12.2));
        int yText = static_cast<int>(H * (L + 12.5));
        int y2 = static_cast<int>(H * (L + 13.7));
        canvas.line(left, y1, right, y1);
        canvas.text(left, yText, Canvas::Align::kLeft, "Description");
        canvas.text(P + 10 + (g.A / 2) * g.k * 15, yText, Canvas::Align::kLeft, "Qty   Price");
        canvas.text(right, yText, Canvas::Align::kRight, "Amount");
        canvas.line(left, y2, right, y2);
        L += 2;
    }

    const bool exclusive = switchOn(cfg, kSetBReceiptExclusiveOfTax);
    const std::size_t cut = style == ItemStyle::kSingleLine          ? 14
                            : switchOn(cfg, kSetBLimitDescription20) ? 20
                                                                     : 40;
    std::vector<int> counts = groupLineCounts(b);
    int row = L + 12;
    for (int i = 0; i < lineCount(b); ++i) {
        int count = counts[i];
        if (count == 0) continue;
        double unit = exclusive ? b.non_taxable[i] + b.taxable[i] : b.line_total[i];
        double amount = count * unit;
        std::string desc = description(b, i, cut);
        int y = rowY(row, H);
        switch (style) {
            case ItemStyle::kSingleLine: {
                int qtyX = P + 10 + (g.A / 2) * g.k * 16;
                canvas.text(left, y, Canvas::Align::kLeft, desc);
                canvas.text(qtyX, y, Canvas::Align::kLeft, formatted("%d", count));
                canvas.text(qtyX + 10 * g.A, y, Canvas::Align::kRight, formatted("%.2f", unit));
                canvas.text(right, y, Canvas::Align::kRight, formatted("%.2f", amount));
                break;
            }
            case ItemStyle::kTwoRows:
                canvas.text(left, y, Canvas::Align::kLeft, desc);
                if (count == 1) {
                    canvas.text(right, y, Canvas::Align::kRight, formatted("%.2f", unit));
                } else {
                    ++row;
                    y = rowY(row, H);
                    canvas.text(left, y, Canvas::Align::kLeft, formatted("%d @ %.2f", count, unit));
                    canvas.text(right, y, Canvas::Align::kRight, formatted("%.2f", amount));
                }
                break;
            case ItemStyle::kCentred:
                canvas.text(C, y, Canvas::Align::kCentre,
                            count == 1 ? formatted("%s, %.2f", desc.c_str(), unit)
                                       : formatted("%d %s, %.2f", count, desc.c_str(), amount));
                break;
        }
        ++row;
    }

    int j = row - (L + 12);
    auto extra = [&](const std::string& text) {
        ++j;
        canvas.text(C, rowY(L + 12 + j, H), Canvas::Align::kCentre, text);
    };
    const bool tax1 = b.total_tax1 != 0, tax2 = b.total_tax2 != 0;
    if (exclusive && (tax1 || tax2)) {
        extra(formatted("%s: %.2f", word(d, 2).c_str(), b.subtotal));
        if (tax1) extra(formatted("%s: %.2f", fieldText(cfg.tax1_name).c_str(), b.total_tax1));
        if (tax2) extra(formatted("%s: %.2f", fieldText(cfg.tax2_name).c_str(), b.total_tax2));
    }
    if (b.total_discount != 0) {
        if (!tax1 && !tax2) extra(formatted("%s: %.2f", word(d, 2).c_str(), b.subtotal));
        extra(formatted("%s: (%.2f)", word(d, 4).c_str(), b.total_discount));
    }

    drawReceiptElement(canvas, d, 14, H, C, L + 13 + j, Placement::kFixed);
    canvas.text(C, rowY(L + 14 + j, H), Canvas::Align::kCentre, kDoubleRule);

    drawReceiptElement(canvas, d, 22, H, C, L + 16 + j, Placement::kFixed);
    if (d.change > 0) {
        // A refund keeps the change row empty, but the row is still taken:
        // the tax rows below stand where they do on a sale.
        ++j;
        if (!isRefund(b)) drawReceiptElement(canvas, d, 18, H, C, L + 16 + j, Placement::kFixed);
    }
    if (!exclusive && tax1) {
        ++j;
        drawReceiptElement(canvas, d, 12, H, C, L + 16 + j, Placement::kFixed);
    }
    if (!exclusive && tax2) {
        ++j;
        drawReceiptElement(canvas, d, 13, H, C, L + 16 + j, Placement::kFixed);
    }

    if (switchOn(cfg, kSetBFooterWordWrap)) {
        int height = canvas.wrappedText(0, rowY(L + 18 + j, H), 2 * C, rowY(L + 22 + j, H),
                                        fieldText(cfg.receipt_footer));
        if (height > H) L += height / H;
    } else {
        drawReceiptElement(canvas, d, 7, H, C, L + 18 + j, Placement::kFixed);
    }

    if (switchOn(cfg, kSetBReceiptBarcode))
        drawReceiptBarcode(canvas, ui, b.number, L + 19 + j, false);
    else
        canvas.text(C, rowY(L + 19 + j, H), Canvas::Align::kCentre, kFeed);
}

// --- Custom receipt --------------------------------------------------------

void drawCustom(Canvas& canvas, Ui& ui, const ReceiptData& d, const Geometry& g) {
    const StoreConfigRecord& cfg = *d.config;
    const Basket& b = *d.basket;
    const int H = g.H, C = g.C;

    int L = 0;
    if (!switchOn(cfg, kSetBCustomOmitLogo))
        L = drawReceiptLogo(canvas, d.logoPath, switchOn(cfg, kSetBLogoPageWidth), H);

    std::vector<int> heading = {0, 1, 2, 3, 4, 5, 6, 15, 16, 19};
    if (b.customer != 0) heading.insert(heading.end(), {8, 9, 23, 24, 25, 26, 27});
    int M = 0;
    for (int e : heading) {
        drawReceiptElement(canvas, d, e, H, C, L, Placement::kRelative);
        M = std::max(M, customLineOf(cfg, e));
    }

    const bool centred = switchOn(cfg, kSetBCustomCentred);
    const bool excluding = switchOn(cfg, kSetBCustomExcludingTax);
    const bool markExempt = switchOn(cfg, kSetBCustomMarkExempt);
    const std::size_t cut = switchOn(cfg, kSetBLimitDescription20) ? 20 : 40;
    const int left = 20, right = 2 * C - 20;
    std::vector<int> counts = groupLineCounts(b);
    int row = L + 2 + M;
    for (int i = 0; i < lineCount(b); ++i) {
        int count = counts[i];
        if (count == 0) continue;
        double unit = excluding ? b.non_taxable[i] + b.taxable[i] : b.line_total[i];
        double amount = count * unit;
        bool e = markExempt && taxExempt(b, i);
        std::string desc = description(b, i, cut);
        int y = rowY(row, H);
        if (centred) {
            std::string text =
                count == 1
                    ? formatted(e ? "%s, E  %.2f" : "%s, %.2f", desc.c_str(), unit)
                    : formatted(e ? "%d %s, E  %.2f" : "%d %s, %.2f", count, desc.c_str(), amount);
            canvas.text(C, y, Canvas::Align::kCentre, text);
        } else {
            canvas.text(left, y, Canvas::Align::kLeft, desc);
            if (count == 1) {
                canvas.text(right, y, Canvas::Align::kRight,
                            formatted(e ? "E  %.2f" : "%.2f", unit));
            } else {
                ++row;
                y = rowY(row, H);
                canvas.text(left, y, Canvas::Align::kLeft, formatted("%d @ %.2f", count, unit));
                canvas.text(right, y, Canvas::Align::kRight,
                            formatted(e ? "E  %.2f" : "%.2f", amount));
            }
        }
        ++row;
    }

    int Bp = row;
    if (b.total_discount != 0) {
        canvas.text(left, rowY(Bp, H), Canvas::Align::kLeft,
                    formatted("(%s: %.2f)", word(d, 4).c_str(), b.total_discount));
        ++Bp;
    }

    int M2 = 0;
    for (int e : {7, 10, 11, 12, 13, 14, 17, 18, 20, 21, 22}) {
        drawReceiptElement(canvas, d, e, H, C, Bp, Placement::kRelative);
        M2 = std::max(M2, customLineOf(cfg, e));
    }

    // The page takes -40..40; a damaged value must not move the note off
    // the page (or overflow the row arithmetic).
    const int noteLine =
        std::clamp<int>(cfg.settings_b[kSetBCustomNoteLine], -kMaxCustomLine, kMaxCustomLine);
    std::string note = fieldText(b.note);
    if (noteLine != 0 && !note.empty()) {
        int height =
            canvas.wrappedText(0, rowY(Bp + noteLine, H), 2 * C, rowY(Bp + noteLine + 4, H), note);
        M2 = std::max(M2, noteLine);
        if (height > H) M2 += height / H;
    }

    if (switchOn(cfg, kSetBCustomBarcode)) {
        drawReceiptBarcode(canvas, ui, b.number, Bp + M2 + 2, false);
    } else {
        // 1..20 lines; a damaged setting must not feed metres of paper.
        const int32_t lines = cfg.settings_b[kSetBCustomBlankLines];  // a copy: packed record
        const int blank = std::clamp(lines, 0, 20);
        for (int i = 0; i < blank; ++i)
            canvas.text(C, rowY(Bp + M2 + 2 + i, H), Canvas::Align::kCentre, kFeed);
    }
}

}  // namespace

std::string paymentText(const ReceiptWords& words, const Basket& b) {
    const double cash = b.payment[kPayCash], cheque = b.payment[kPayCheque];
    const double card = b.payment[kPayCard], cashBack = b.payment[kPayCashBack];
    std::string text = words.word(10);
    if (cash == 0 && cheque != 0) text = words.word(11);
    if (cash == 0 && card != 0) text = words.word(12);
    if (cash == 0 && card != 0 && cashBack > 0)
        text = formatted("%s (CB: %.2f)", words.word(12).c_str(), cashBack);
    if (cash == 0 && fieldText(b.payment_word) == "Credit") text = words.word(13);
    if (cash > 0 && cheque > 0) text = words.word(14);
    if (cash > 0 && card > 0) text = words.word(15);
    return text;
}

std::optional<std::string> receiptElementText(const ReceiptData& d, int element,
                                              Placement placement) {
    const StoreConfigRecord& cfg = *d.config;
    const Basket& b = *d.basket;
    switch (element) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            return fieldText(cfg.heading[element]);
        case 6:
            return formatted("%s  %s", fieldText(b.time).c_str(), fieldText(b.date).c_str());
        case 7:
            return fieldText(cfg.receipt_footer);
        case 8:
            return formatted("%s: %" PRId64, word(d, 5).c_str(), d.customerNumber);
        case 9:
            return d.customerName;
        case 10:
            return formatted("%s: %.2f", word(d, 6).c_str(), b.total_non_taxable);
        case 11:
            return formatted("%s: %.2f", word(d, 7).c_str(), b.total_taxable);
        case 12:
            return taxElement(fieldText(cfg.tax1_name), b.total_tax1, cfg.options[kOptTax1Rate]);
        case 13:
            return taxElement(fieldText(cfg.tax2_name), b.total_tax2, cfg.options[kOptTax2Rate]);
        case 14: {
            double rate = cfg.money[kMoneySecondCurrencyRate];
            if (placement == Placement::kRelative && switchOn(cfg, kSetBCustomSecondCurrency) &&
                switchOn(cfg, kSetBSecondCurrency) && rate > 0) {
                return formatted("%s %s%.2f  %s%.2f", word(d, 3).c_str(),
                                 currencyOf(cfg.currency_symbol).c_str(), b.total,
                                 fieldText(cfg.second_currency_symbol).c_str(), b.total * rate);
            }
            return formatted("%s: %s%.2f", word(d, 3).c_str(),
                             currencyOf(cfg.currency_symbol).c_str(), b.total);
        }
        case 15: {
            std::string name;
            if (b.clerk >= 1 && b.clerk <= kClerkCount)
                name = fieldText(cfg.clerk_names[b.clerk - 1]);
            return formatted("%" PRId64 ", %s", static_cast<int64_t>(b.clerk), name.c_str());
        }
        case 16:
            // A client station's sale kept while the main station was away
            // gets its number only when it is posted.
            if (b.number == 0) return word(d, isRefund(b) ? 16 : 1) + ": OFFLINE";
            return formatted("%s: %" PRId64, word(d, isRefund(b) ? 16 : 1).c_str(), b.number);
        case 17:
            return formatted("%s: %.2f", word(d, 8).c_str(), d.tendered);
        case 18:
            if (isRefund(b)) return std::nullopt;
            return formatted("%s: %.2f", word(d, 9).c_str(), d.change);
        case 19:
        case 20:
        case 21:
            return fieldText(cfg.custom_receipt_text[element - 19]);
        case 22:
            return paymentText(*d.words, b);
        case 23:
            return fieldText(b.customer_road);
        case 24:
            return fieldText(b.customer_area);
        case 25:
            return fieldText(b.customer_town);
        case 26:
            return fieldText(b.customer_postcode);
        case 27:
            return fieldText(b.customer_telephone);
        default:
            return std::nullopt;
    }
}

void drawReceiptElement(Canvas& canvas, const ReceiptData& data, int element, int rowHeight,
                        int centreX, int row, Placement placement) {
    if (placement == Placement::kRelative) {
        int line = customLineOf(*data.config, element);
        if (line < 1) return;
        row += line;
    }
    std::optional<std::string> text = receiptElementText(data, element, placement);
    if (!text) return;
    canvas.text(centreX, row * rowHeight, Canvas::Align::kCentre, *text);
}

std::string receiptBarcodeText(int64_t number) {
    return formatted("%04" PRId64, number);
}

void drawReceiptBarcode(Canvas& canvas, Ui& ui, int64_t number, int row, bool raised) {
    FontMetrics m = canvas.metrics();
    const int H = m.height + m.externalLeading;
    const int C = canvas.printableWidth() / 2;
    const int dpiY = canvas.dpiY();
    if (canvas.dpiX() == 0 || dpiY == 0) {
        ui.error("Unable to get printer", kTitleProblem);
        return;
    }
    canvas.pushMetricMapping();

    std::string text = "*" + receiptBarcodeText(number) + "*";
    // Rounded: 0.54 x 200 dpi must give 108 units, not 107.99999.
    int y = row != 0
                ? (row + 2) * H
                : static_cast<int>(std::lround(canvas.pageHeight() - (raised ? 0.79 : 0.54) * dpiY -
                                               canvas.physicalOffsetY() - 10));
    CanvasPoint at = canvas.deviceToMetric({C, y});

    const int width = static_cast<int>(text.size()) * kCharStep * kBarModule;
    drawCode39(canvas, at.x - width / 2, at.y, text, kBarModule, kBarHeight);
    canvas.popMapping();
}

std::vector<int> groupLineCounts(const Basket& b) {
    const int n = lineCount(b);
    std::vector<int> counts(static_cast<std::size_t>(n), 1);
    for (int i = 0; i < n; ++i) {
        if (counts[i] == 0) continue;
        for (int j = i + 1; j < n; ++j) {
            if (counts[j] == 0 || b.item[j] != b.item[i] || b.line_total[j] != b.line_total[i])
                continue;
            // Lines outside the inventory all carry item 0: "Misc" and
            // "Lottery" at the same price are different things to the
            // customer, so they group only when their descriptions agree.
            if (b.item[i] == 0 &&
                std::memcmp(b.description[i], b.description[j], sizeof b.description[i]) != 0)
                continue;
            ++counts[i];
            counts[j] = 0;
        }
    }
    return counts;
}

int drawReceiptLogo(Canvas& canvas, const std::string& path, bool pageWidth, int rowHeight) {
    const int C = canvas.printableWidth() / 2;
    if (C * 2 == 0) return 0;
    std::unique_ptr<CanvasBitmap> bitmap = canvas.loadBitmap(path);
    if (!bitmap || bitmap->width() <= 0) return 0;
    int width = pageWidth ? 2 * C : C;
    int x = pageWidth ? 0 : C / 2;
    int height = static_cast<int>(static_cast<int64_t>(width) * bitmap->height() / bitmap->width());
    canvas.stretchBitmap(*bitmap, x, 10, width, height);
    return (height + 20) / std::max(1, rowHeight);
}

void drawTillReceipt(Canvas& canvas, Ui& ui, const ReceiptData& data, ReceiptLayout layout) {
    bool fontSelected = selectReceiptFont(canvas, ui, *data.config);
    Geometry g = measure(canvas);
    if (layout == ReceiptLayout::kStandard)
        drawStandard(canvas, ui, data, g);
    else
        drawCustom(canvas, ui, data, g);
    if (fontSelected) canvas.restoreFont();
}

}  // namespace kassio
