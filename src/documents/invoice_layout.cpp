#include "documents/invoice_layout.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

#include "base/fixed_text.h"
#include "base/status.h"
#include "base/text_format.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

constexpr int kGrey = 230;
constexpr int kFrame = 8;  // frame lines are 8 units thick

const char* const kTermsDiscount[8] = {"Nett, ",     "2% disc, ",  "5% disc, ",  "10% disc, ",
                                       "20% disc, ", "30% disc, ", "40% disc, ", "50% disc, "};
const char* const kTermsPeriod[8] = {"",        "10 days", "20 days",  "30 days",
                                     "60 days", "90 days", "120 days", "180 days"};
const char* const kTermsDiscount2[8] = {"Nett",     "2% disc",  "5% disc",  "10% disc",
                                        "20% disc", "30% disc", "40% disc", "50% disc"};
const char* const kTermsPeriod2[8] = {"",          ", 10 days", ", 20 days",  ", 30 days",
                                      ", 60 days", ", 90 days", ", 120 days", ", 180 days"};

// The page as one document lays it out.
struct Geometry {
    int H = 100;   // row height of the 9-point font
    int W = 1240;  // half the printable width
    int PH = 7016;
    int ox = 0, oy = 0;
    int dpi = 0;  // vertical dots per inch
    int A = 0;    // average character width
    int points(int pt) const { return (pt * dpi * 2 + 72) / 144; }
    // The bottom of the item area: entries stop before it.
    int itemLimit() const { return PH - oy - dpi; }
};

// Selects the 9-point font and measures the page. True when a font was
// selected (and must be restored).
bool setUp(Canvas& c, Ui& ui, bool tell, Geometry& g) {
    g.dpi = c.dpiY();
    const bool selected = c.selectFont("Arial", g.points(9), 400);
    if (!selected && tell) ui.error("Unable set font", kTitleProblem);
    const FontMetrics m = c.metrics();
    g.H = m.height + m.externalLeading;
    if (g.H <= 0) {
        g.H = 100;
        if (tell) ui.error("Printer detail unavailable, using defaults", kTitleProblem);
    }
    g.A = m.averageCharWidth;
    g.W = (c.printableWidth() > 0 ? c.printableWidth() : 2480) / 2;
    g.PH = c.printableHeight() > 0 ? c.printableHeight() : 7016;
    g.ox = c.physicalOffsetX();
    g.oy = c.physicalOffsetY();
    // A printer with no unprintable margin would have text on the edge.
    if (g.ox == 0 && g.oy == 0 && c.dpiX() > 0) g.ox = g.oy = c.dpiX() / 4;
    return selected;
}

// The rows one entry takes, and the row reserve below the entries that
// ends a page: the invoices keep 32 rows, the delivery note 25.
int entryRows(const InvoiceEntry& e) {
    return e.count == 1 ? 1 : 2;
}
int reserveRows(DocumentKind kind) {
    return kind == DocumentKind::kDeliveryNote ? 25 : 32;
}

int invoiceLine(const StoreConfigRecord& cfg, int element) {
    const int32_t line = cfg.settings_b[kSetBInvoiceLines + element];
    // Values beyond the page are refused when stored; a damaged file must
    // not move a part off the page either.
    return line >= 1 && line <= 80 ? line : 0;
}

// The custom invoice's parts in the order of the "Invoices" dialog.
enum CustomPart {
    kStoreName,
    kAddress1,
    kAddress4 = kAddress1 + 3,
    kTelephone,
    kDate,
    kItems,
    kCustomerDetail,
    kCustomerTerms,
    kCustomerId,
    kNetTotal,
    kTax,
    kDiscount,
    kTotal,
    kClerk,
    kInvoice,
    kBalance,
    kNote,
};

struct Layout {
    std::vector<InvoiceEntry> entries;
    std::vector<std::size_t> starts;  // first entry of each item page
    // The delivery note's customer block, or the custom invoice's parts
    // below the items, on a page of their own.
    bool extraCustomerPage = false;
    // Rows the custom invoice's parts below its items move down on the
    // last page, so that a long list of items never runs under them.
    int partsShift = 0;
    int pages() const { return static_cast<int>(starts.size()) + (extraCustomerPage ? 1 : 0); }
};

// The custom invoice's last page: how far its parts below the items must
// move down to clear them, and whether they then still fit.
void placeCustomParts(const StoreConfigRecord& cfg, const Geometry& g, int r, Layout& l) {
    const int items = invoiceLine(cfg, kItems);
    if (items == 0) return;
    int first = 0, last = 0;
    for (int part = 0; part < kInvoiceLineCount; ++part) {
        const int line = invoiceLine(cfg, part);
        if (part == kItems || line <= items) continue;
        first = first == 0 ? line : std::min(first, line);
        last = std::max(last, line);
    }
    if (first == 0) return;
    // The rule under the entries lies at row items + 3 + r and a half.
    const int shift = std::max(0, items + 4 + r - first);
    if (shift > 0 && static_cast<int64_t>(last + shift) * g.H > g.itemLimit())
        l.extraCustomerPage = true;
    else
        l.partsShift = shift;
}

Layout paginate(DocumentKind kind, const StoreConfigRecord& cfg, const Basket& b,
                const Geometry& g) {
    Layout l;
    l.entries = invoiceEntries(b);
    l.starts.push_back(0);
    const int reserve = reserveRows(kind);
    int r = 1;
    for (std::size_t i = 0; i < l.entries.size(); ++i) {
        r += entryRows(l.entries[i]);
        // A break after the last entry would leave a page of totals alone.
        if (static_cast<int64_t>(r + reserve) * g.H > g.itemLimit() && i + 1 < l.entries.size()) {
            l.starts.push_back(i + 1);
            r = 1;
        }
    }
    if (kind == DocumentKind::kDeliveryNote && b.customer != 0 &&
        static_cast<int64_t>(r + 29) * g.H > g.itemLimit())
        l.extraCustomerPage = true;
    if (kind == DocumentKind::kCustomInvoice) placeCustomParts(cfg, g, r, l);
    return l;
}

std::string word(const InvoiceData& d, int slot) {
    return d.receipt->words->word(slot);
}

std::string money(double v) {
    return formatted("%.2f", v);
}

std::string clerkName(const StoreConfigRecord& cfg, int32_t clerk) {
    if (clerk < 1 || clerk > kClerkCount) return {};
    return fieldText(cfg.clerk_names[clerk - 1]);
}

// A frame line across or down, kFrame units thick.
void hRule(Canvas& c, int x1, int x2, int y) {
    c.fillRect(x1, y - kFrame / 2, x2, y + kFrame / 2);
}
void vRule(Canvas& c, int x, int y1, int y2) {
    c.fillRect(x - kFrame / 2, y1, x + kFrame / 2, y2);
}
void box(Canvas& c, int left, int top, int right, int bottom) {
    c.line(left, top, right, top);
    c.line(right, top, right, bottom);
    c.line(right, bottom, left, bottom);
    c.line(left, bottom, left, top);
}

// The total with a thin box under it, as the invoices underline it.
void boxedTotal(Canvas& c, const Geometry& g, int x, int y, const std::string& text) {
    c.text(x, y, Canvas::Align::kLeft, text);
    box(c, x - 20, y + g.H + g.H / 4, x + g.A * static_cast<int>(text.size() + 2),
        y + g.H + g.H / 2);
}

void drawLogo(Canvas& c, const std::string& path, int x, int y, int height) {
    if (path.empty() || height <= 0) return;
    std::unique_ptr<CanvasBitmap> bitmap = c.loadBitmap(path);
    if (!bitmap || bitmap->height() <= 0) return;
    const int width =
        static_cast<int>(static_cast<int64_t>(height) * bitmap->width() / bitmap->height());
    c.stretchBitmap(*bitmap, x, y, width, height);
}

void titleText(Canvas& c, const Geometry& g, int x, int y, Canvas::Align align,
               const std::string& text) {
    const bool selected = c.selectFont("Arial", g.points(18), 700);
    c.text(x, y, align, text);
    if (selected) c.restoreFont();
}

// Bold 9-point text; the caller's font comes back afterwards.
struct Bold {
    Bold(Canvas& c, const Geometry& g)
        : canvas(c), selected(c.selectFont("Arial", g.points(9), 700)) {}
    ~Bold() {
        if (selected) canvas.restoreFont();
    }
    Canvas& canvas;
    bool selected;
};

std::string transactionLine(const InvoiceData& d, bool quotation) {
    const Basket& b = *d.receipt->basket;
    if (quotation) return formatted("Reference: %" PRId64, b.number);
    return formatted("%s: %" PRId64, word(d, 18).c_str(), b.number);
}

std::string timeDate(const Basket& b) {
    return formatted("%s  %s", fieldText(b.time).c_str(), fieldText(b.date).c_str());
}

std::string clerkLine(const InvoiceData& d) {
    const Basket& b = *d.receipt->basket;
    return formatted("%s: %s", word(d, 19).c_str(), clerkName(*d.receipt->config, b.clerk).c_str());
}

std::string totalLine(const InvoiceData& d) {
    return formatted("%s: %s%.2f", word(d, 24).c_str(),
                     fieldText(d.receipt->config->currency_symbol).c_str(),
                     d.receipt->basket->total);
}

// The signature area of the invoices: word 32 left and word 33 right, each
// over a dotted line.
void signatures(Canvas& c, const InvoiceData& d, const Geometry& g) {
    const int top = g.PH - g.oy - 10 - 4 * g.H;
    const int dots = g.PH - g.oy - 5 * g.H / 2;
    const int right = 2 * g.W - g.ox - 60;
    c.text(g.ox + 60, top, Canvas::Align::kLeft, word(d, 32));
    c.text(g.ox + 60, dots, Canvas::Align::kLeft, "...........................");
    c.text(right, top, Canvas::Align::kRight, word(d, 33));
    c.text(right, dots, Canvas::Align::kRight, "...........................");
}

void bottomBand(Canvas& c, const Geometry& g) {
    const int y = g.PH - g.oy - g.dpi;
    c.shadeRect(g.ox + 10, y, 2 * g.W - g.ox - 20, y + 20, kGrey);
}

// The entries of one page from row 1: description at ox + 80 and the
// amount either right-aligned at amountX or (amountLeft) left at amountX.
// Returns the rows used.
int drawEntries(Canvas& c, const InvoiceData& d, const Geometry& g, const Layout& l, int page,
                int firstRow, int amountX, Canvas::Align amountAlign, bool productCode) {
    const Basket& b = *d.receipt->basket;
    const std::size_t from = l.starts[page - 1];
    const std::size_t to =
        page < static_cast<int>(l.starts.size()) ? l.starts[page] : l.entries.size();
    int r = 1;
    for (std::size_t i = from; i < to; ++i) {
        const InvoiceEntry& e = l.entries[i];
        const int y = (r + firstRow) * g.H;
        c.text(g.ox + 80, y, Canvas::Align::kLeft, fieldText(b.description[e.line]));
        if (productCode && b.item[e.line] != 0)
            c.text(g.ox + 80 + 42 * g.A, y, Canvas::Align::kLeft,
                   formatted("%" PRId64, b.item[e.line]));
        if (e.count == 1) {
            c.text(amountX, y, amountAlign, money(e.unit));
            r += 1;
        } else {
            const int y2 = y + g.H;
            c.text(g.ox + 80, y2, Canvas::Align::kLeft, formatted("%d @ %.2f", e.count, e.unit));
            c.text(amountX, y2, amountAlign, money(e.count * e.unit));
            r += 2;
        }
    }
    return r;
}

// The totals footer of the standard and second invoice styles.
void footer(Canvas& c, const InvoiceData& d, const Geometry& g, bool secondStyle) {
    const StoreConfigRecord& cfg = *d.receipt->config;
    const Basket& b = *d.receipt->basket;
    const int y1 = g.PH - g.oy - 2 * g.dpi + 40;
    const int rows[4] = {y1, y1 + g.H, y1 + 2 * g.H, y1 + 3 * g.H};
    const bool customer = b.customer != 0;
    // Left column.
    const std::string labels[4] = {secondStyle ? word(d, 26) : word(d, 27), word(d, 28), "NOTES",
                                   word(d, 29)};
    std::string values[4];
    if (secondStyle) {
        values[0] = customer ? fieldText(b.customer_name) : "Not applicable";
    } else {
        values[0] = customer ? formatted("%" PRId64, b.customer) : "Not Applicable";
    }
    values[1] = fieldText(b.customer_telephone);
    values[2] = fieldText(b.note);
    values[3] = formatted("%d", b.line_count);
    for (int i = 0; i < 4; ++i) {
        c.text(g.ox + 60, rows[i], Canvas::Align::kLeft, labels[i]);
        c.text(g.W / 2, rows[i], Canvas::Align::kLeft, values[i]);
    }
    // Middle column.
    const std::pair<std::string, double> middle[4] = {{word(d, 30), b.total_non_taxable},
                                                      {word(d, 31), b.total_taxable},
                                                      {word(d, 25), b.total_discount},
                                                      {word(d, 23), b.subtotal}};
    for (int i = 0; i < 4; ++i) {
        c.text(g.W + 30, rows[i], Canvas::Align::kLeft, middle[i].first);
        c.text(3 * g.W / 2 - 40, rows[i], Canvas::Align::kRight, money(middle[i].second));
    }
    // Right column.
    const std::pair<std::string, double> right[2] = {{fieldText(cfg.tax1_name), b.total_tax1},
                                                     {fieldText(cfg.tax2_name), b.total_tax2}};
    for (int i = 0; i < 2; ++i) {
        c.text(3 * g.W / 2 + 40, rows[i], Canvas::Align::kLeft, right[i].first);
        c.text(2 * g.W - g.ox - 60, rows[i], Canvas::Align::kRight, money(right[i].second));
    }
    if (secondStyle && customer)
        c.text(3 * g.W / 2 + 40, rows[2], Canvas::Align::kLeft,
               invoiceTermsText(cfg, *d.receipt->words, d.termsBand, true));
    {
        Bold bold(c, g);
        c.text(2 * g.W - g.ox - 60, g.PH - g.oy - g.dpi + 20 - 3 * g.H / 2, Canvas::Align::kRight,
               totalLine(d));
    }
    c.line(g.W, g.PH - g.oy - 2 * g.dpi, g.W, g.PH - g.oy - g.dpi + 20);
    c.shadeRect(g.ox + 10, g.PH - g.oy - 2 * g.dpi, 2 * g.W - g.ox - 20,
                g.PH - g.oy - 2 * g.dpi + 20, kGrey);
}

// The item area shared by the standard and second styles: heading box,
// frame, entries, and on the last page the column line, the closing rule
// and the subtotal.
void itemArea(Canvas& c, const InvoiceData& d, const Geometry& g, const Layout& l, int page) {
    const Basket& b = *d.receipt->basket;
    const int left = g.ox + 10, right = 2 * g.W - g.ox - 20;
    const int top = 35 * g.H / 2, bottom = g.PH - g.oy - 10;
    {
        Bold bold(c, g);
        box(c, left, top, right, 39 * g.H / 2);
        c.text(g.ox + 40, 18 * g.H, Canvas::Align::kLeft, word(d, 20));
        c.text(g.ox + 80 + 42 * g.A, 18 * g.H, Canvas::Align::kLeft, word(d, 21));
        c.text(2 * g.W - g.ox - 60, 18 * g.H, Canvas::Align::kRight, word(d, 22));
    }
    hRule(c, left, right, top);
    hRule(c, left, right, bottom);
    vRule(c, left, top, bottom);
    vRule(c, right, top, bottom);
    const int r =
        drawEntries(c, d, g, l, page, 20, 2 * g.W - g.ox - 60, Canvas::Align::kRight, true);
    const int column = g.ox + 80 + 41 * g.A;
    c.line(column, 39 * g.H / 2, column, bottom);
    if (page < static_cast<int>(l.starts.size())) return;
    const int rule = (r + 21) * g.H + g.H / 2;
    c.line(left, rule, right, rule);
    if (static_cast<int64_t>(r + 34) * g.H <= g.itemLimit())
        boxedTotal(c, g, g.ox + 40, (r + 22) * g.H,
                   formatted("%s: %s%.2f", word(d, 23).c_str(),
                             fieldText(d.receipt->config->currency_symbol).c_str(), b.subtotal));
}

void drawStandard(Canvas& c, Ui& ui, const InvoiceData& d, const Geometry& g, const Layout& l,
                  int page, bool quotation) {
    const StoreConfigRecord& cfg = *d.receipt->config;
    const Basket& b = *d.receipt->basket;
    const int y0 = 2 * g.PH / 40 + 2 * g.H;
    const bool logo = cfg.settings_b[kSetBInvoiceLogo] != 0;
    if (logo) drawLogo(c, d.letterPath, g.ox + 40, y0, 6 * g.H);

    titleText(c, g, g.ox + 40, 3 * g.H, Canvas::Align::kLeft, fieldText(cfg.heading[0]));
    titleText(c, g, 6 * g.W / 5, 3 * g.H, Canvas::Align::kLeft,
              quotation ? "Quotation" : word(d, 17));

    drawReceiptBarcode(c, ui, b.number, 0, false);
    signatures(c, d, g);
    bottomBand(c, g);

    {
        Bold bold(c, g);
        const int x = 6 * g.W / 5;
        c.text(x, y0, Canvas::Align::kLeft, transactionLine(d, quotation));
        c.text(x, y0 + g.H, Canvas::Align::kLeft, timeDate(b));
        c.text(x, y0 + 2 * g.H, Canvas::Align::kLeft, clerkLine(d));
        c.text(x, y0 + 3 * g.H, Canvas::Align::kLeft,
               b.customer != 0 ? formatted("Customer code: %" PRId64, b.customer)
                               : std::string("Customer code: N/A"));
    }

    const int x = logo ? g.ox + 40 + 7 * g.H : g.ox + 40;
    c.text(x, y0, Canvas::Align::kLeft, fieldText(cfg.heading[1]));
    c.text(x, y0 + g.H, Canvas::Align::kLeft, fieldText(cfg.heading[2]));
    c.text(x, y0 + 2 * g.H, Canvas::Align::kLeft, fieldText(cfg.heading[5]));
    c.text(x, y0 + 4 * g.H, Canvas::Align::kLeft, word(d, 26));
    if (b.customer != 0) {
        c.text(x, y0 + 5 * g.H, Canvas::Align::kLeft, fieldText(b.customer_name));
        const std::string address[4] = {fieldText(b.customer_road), fieldText(b.customer_area),
                                        fieldText(b.customer_town), fieldText(b.customer_postcode)};
        for (int i = 0; i < 4; ++i) c.text(x, y0 + (6 + i) * g.H, Canvas::Align::kLeft, address[i]);
    } else {
        c.text(x, y0 + 5 * g.H, Canvas::Align::kLeft, "NAME:");
        c.text(x, y0 + 6 * g.H, Canvas::Align::kLeft, "ADDRESS:");
        c.text(x, y0 + 7 * g.H, Canvas::Align::kLeft, "TELEPHONE:");
    }

    itemArea(c, d, g, l, page);
    if (page == static_cast<int>(l.starts.size())) footer(c, d, g, false);
}

// Store heading elements 0, 1, 2 and 5, centred on rows first..first+3.
void centredHeading(Canvas& c, const StoreConfigRecord& cfg, const Geometry& g, int first) {
    const int lines[4] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i)
        c.text(g.W, (first + i) * g.H, Canvas::Align::kCentre, fieldText(cfg.heading[lines[i]]));
}

void drawSecond(Canvas& c, Ui& ui, const InvoiceData& d, const Geometry& g, const Layout& l,
                int page, bool quotation) {
    const StoreConfigRecord& cfg = *d.receipt->config;
    const Basket& b = *d.receipt->basket;
    if (cfg.settings_b[kSetBInvoiceLogo] != 0) drawLogo(c, d.letterPath, g.ox + 10, g.H, 11 * g.H);
    titleText(c, g, 2 * g.W - g.ox - 20, 3 * g.H, Canvas::Align::kRight,
              quotation ? "Quotation" : word(d, 17));
    centredHeading(c, cfg, g, 5);
    drawReceiptBarcode(c, ui, b.number, 0, false);
    signatures(c, d, g);
    bottomBand(c, g);
    c.shadeRect(g.ox + 10, 25 * g.H / 2, 2 * g.W - g.ox - 20, 25 * g.H / 2 + 20, kGrey);
    {
        Bold bold(c, g);
        c.text(g.ox + 40, 13 * g.H, Canvas::Align::kLeft, transactionLine(d, quotation));
        c.text(g.ox + 40, 15 * g.H, Canvas::Align::kLeft, timeDate(b));
        c.text(g.ox + 40, 16 * g.H, Canvas::Align::kLeft, clerkLine(d));
    }
    itemArea(c, d, g, l, page);
    if (page == static_cast<int>(l.starts.size())) footer(c, d, g, true);
}

void drawCustom(Canvas& c, Ui& ui, const InvoiceData& d, const Geometry& g, const Layout& l,
                int page) {
    const StoreConfigRecord& cfg = *d.receipt->config;
    const Basket& b = *d.receipt->basket;
    const int itemPages = static_cast<int>(l.starts.size());
    const bool partsPage = page > itemPages;  // the parts alone, after the items
    const bool last = page >= itemPages;
    const int left = g.ox + 10, right = 2 * g.W - g.ox - 20, bottom = g.PH - g.oy - 10;
    const int itemsLine = invoiceLine(cfg, kItems);
    // Parts below the items move down on the last item page, to clear them.
    auto row = [&](int part) {
        const int line = invoiceLine(cfg, part);
        const bool below = itemsLine != 0 && line > itemsLine && part != kItems;
        return (line + (below && !partsPage ? l.partsShift : 0)) * g.H;
    };

    if (cfg.settings_b[kSetBInvoiceCustomLogo] != 0)
        drawLogo(c, d.letterPath, g.ox + 10, g.H, 11 * g.H);
    titleText(c, g, g.W, 3 * g.H, Canvas::Align::kCentre, word(d, 17));
    if (cfg.settings_b[kSetBInvoiceBarcode] != 0) {
        drawReceiptBarcode(c, ui, b.number, 0, false);
        signatures(c, d, g);
    }
    if (cfg.settings_b[kSetBInvoiceBoxEncased] != 0) {
        hRule(c, left, right, 25 * g.H / 2);
        hRule(c, left, right, 35 * g.H / 2);
        vRule(c, left, 25 * g.H / 2, bottom);
        vRule(c, right, 25 * g.H / 2, bottom);
        hRule(c, left, right, bottom);
    }

    // The store's name, address and telephone: receipt elements 0..5.
    for (int part = kStoreName; part <= kTelephone; ++part)
        if (invoiceLine(cfg, part) != 0)
            c.text(g.W, row(part), Canvas::Align::kCentre, fieldText(cfg.heading[part]));

    if (invoiceLine(cfg, kInvoice) != 0) {
        Bold bold(c, g);
        const std::string text = formatted("%s: %" PRId64, word(d, 18).c_str(), b.number);
        c.text(g.ox + 40, row(kInvoice), Canvas::Align::kLeft, text);
        box(c, g.ox + 20, row(kInvoice) - g.H / 4,
            g.ox + 60 + g.A * static_cast<int>(text.size() + 2), row(kInvoice) + g.H + g.H / 4);
    }
    if (invoiceLine(cfg, kDate) != 0)
        c.text(g.ox + 40, row(kDate), Canvas::Align::kLeft, timeDate(b));
    if (invoiceLine(cfg, kClerk) != 0)
        c.text(g.ox + 40, row(kClerk), Canvas::Align::kLeft, clerkLine(d));

    int r = 1;
    if (invoiceLine(cfg, kItems) != 0) {
        const int items = invoiceLine(cfg, kItems);
        {
            Bold bold(c, g);
            box(c, left, row(kItems) - g.H / 4, right, row(kItems) + g.H + g.H / 4);
            c.text(g.ox + 40, row(kItems), Canvas::Align::kLeft, word(d, 20));
            c.text(g.ox + 80 + 42 * g.A, row(kItems), Canvas::Align::kLeft, word(d, 22));
        }
        // Entries start two rows below the heading: row items + 1 + r.
        if (!partsPage)
            r = drawEntries(c, d, g, l, page, items + 1, g.ox + 80 + 42 * g.A, Canvas::Align::kLeft,
                            false);
        if (last && !partsPage) {
            const int rule = (r + items + 3) * g.H + g.H / 2;
            const int column = g.ox + 80 + 41 * g.A;
            c.line(column, 35 * g.H / 2, column, rule);
            c.line(left, rule, right, rule);
        }
    }
    if (!last || (l.extraCustomerPage && !partsPage)) return;

    const std::string currency = fieldText(cfg.currency_symbol);
    if (invoiceLine(cfg, kNetTotal) != 0)
        c.text(g.ox + 40, row(kNetTotal), Canvas::Align::kLeft,
               formatted("%s: %.2f", word(d, 22).c_str(), b.subtotal));
    if (invoiceLine(cfg, kTax) != 0 && (b.total_tax1 != 0 || b.total_tax2 != 0)) {
        int y = row(kTax);
        if (b.total_tax1 != 0) {
            c.text(g.ox + 40, y, Canvas::Align::kLeft,
                   formatted("%s: %.2f", fieldText(cfg.tax1_name).c_str(), b.total_tax1));
            y += g.H;
        }
        if (b.total_tax2 != 0)
            c.text(g.ox + 40, y, Canvas::Align::kLeft,
                   formatted("%s: %.2f", fieldText(cfg.tax2_name).c_str(), b.total_tax2));
    }
    if (invoiceLine(cfg, kDiscount) != 0 && b.total_discount != 0)
        c.text(g.ox + 40, row(kDiscount), Canvas::Align::kLeft,
               formatted("%s: (%.2f)", word(d, 25).c_str(), b.total_discount));
    if (invoiceLine(cfg, kTotal) != 0) boxedTotal(c, g, g.ox + 40, row(kTotal), totalLine(d));
    if (invoiceLine(cfg, kNote) != 0 && b.note[0] != '\0')
        c.text(g.ox + 40, row(kNote), Canvas::Align::kLeft, fieldText(b.note));
    if (invoiceLine(cfg, kCustomerId) != 0)
        c.text(g.ox + 40, row(kCustomerId), Canvas::Align::kLeft,
               formatted("%s: %" PRId64, word(d, 27).c_str(), b.customer));
    if (invoiceLine(cfg, kCustomerDetail) != 0) {
        const std::string lines[5] = {fieldText(b.customer_name), fieldText(b.customer_road),
                                      fieldText(b.customer_area), fieldText(b.customer_town),
                                      fieldText(b.customer_postcode)};
        for (int i = 0; i < 5; ++i)
            c.text(g.ox + 40, row(kCustomerDetail) + i * g.H, Canvas::Align::kLeft, lines[i]);
        const int rule = row(kCustomerDetail) + 11 * g.H / 2;
        c.line(g.ox + 40, rule, g.W, rule);
    }
    if (invoiceLine(cfg, kCustomerTerms) != 0 && b.customer != 0)
        c.text(g.ox + 40, row(kCustomerTerms), Canvas::Align::kLeft,
               invoiceTermsText(cfg, *d.receipt->words, d.termsBand, false));
    if (invoiceLine(cfg, kBalance) != 0) {
        c.text(g.ox + 40, row(kBalance), Canvas::Align::kLeft,
               formatted("Previous balance: %.2f", b.payment[kPayBalanceBefore]));
        c.text(g.W, row(kBalance), Canvas::Align::kCentre,
               formatted("Balance: %.2f", b.payment[kPayBalanceAfter]));
    }
}

void drawDelivery(Canvas& c, Ui& ui, const InvoiceData& d, const Geometry& g, const Layout& l,
                  int page) {
    const StoreConfigRecord& cfg = *d.receipt->config;
    const Basket& b = *d.receipt->basket;
    const int itemPages = static_cast<int>(l.starts.size());
    const int left = g.ox + 10, right = 2 * g.W - g.ox - 20, bottom = g.PH - g.oy - 10;
    const int amountX = g.ox + 80 + 42 * g.A;

    drawLogo(c, d.letterPath, g.ox + 10, g.H, 11 * g.H);
    titleText(c, g, g.W, 3 * g.H, Canvas::Align::kCentre, "Delivery Note");
    centredHeading(c, cfg, g, 6);
    drawReceiptBarcode(c, ui, b.number, 0, false);
    c.text(g.ox + 60, g.PH - g.oy - 10 - 4 * g.H, Canvas::Align::kLeft, "Shortages must be");
    c.text(g.ox + 60, g.PH - g.oy - 5 * g.H / 2, Canvas::Align::kLeft, "notified within 3 days");
    c.text(2 * g.W - g.ox - 60, g.PH - g.oy - 10 - 4 * g.H, Canvas::Align::kRight, word(d, 32));
    c.text(2 * g.W - g.ox - 60, g.PH - g.oy - 5 * g.H / 2, Canvas::Align::kRight,
           ".......................");
    c.shadeRect(left, 25 * g.H / 2, right, 25 * g.H / 2 + 20, kGrey);
    bottomBand(c, g);
    {
        Bold bold(c, g);
        c.text(g.ox + 40, 13 * g.H, Canvas::Align::kLeft,
               formatted("Transaction reference: %" PRId64, b.number));
        c.text(g.ox + 40, 15 * g.H, Canvas::Align::kLeft, timeDate(b));
        c.text(g.ox + 40, 16 * g.H, Canvas::Align::kLeft, clerkLine(d));
        box(c, left, 35 * g.H / 2, right, 39 * g.H / 2);
        c.text(g.ox + 40, 18 * g.H, Canvas::Align::kLeft, word(d, 20));
        c.text(amountX, 18 * g.H, Canvas::Align::kLeft, word(d, 22));
    }
    hRule(c, left, right, 35 * g.H / 2);
    hRule(c, left, right, bottom);
    vRule(c, left, 35 * g.H / 2, bottom);
    vRule(c, right, 35 * g.H / 2, bottom);

    int r = 1;
    if (page <= itemPages) {
        r = drawEntries(c, d, g, l, page, 20, amountX, Canvas::Align::kLeft, false);
        if (page < itemPages) return;

        int row = r + 20;
        auto put = [&](const std::string& text) {
            c.text(g.ox + 40, row++ * g.H, Canvas::Align::kLeft, text);
        };
        const bool taxed = b.total_tax1 != 0 || b.total_tax2 != 0;
        if (taxed) {
            put(formatted("%s: %.2f", word(d, 23).c_str(), b.subtotal));
            if (b.total_tax1 != 0)
                put(formatted("%s: %.2f", fieldText(cfg.tax1_name).c_str(), b.total_tax1));
            if (b.total_tax2 != 0)
                put(formatted("%s: %.2f", fieldText(cfg.tax2_name).c_str(), b.total_tax2));
        }
        if (b.total_discount != 0) {
            if (!taxed) put(formatted("%s: %.2f", word(d, 22).c_str(), b.subtotal));
            put(formatted("%s: (%.2f)", word(d, 25).c_str(), b.total_discount));
        }
        // The total goes below whatever the rows above took.
        boxedTotal(c, g, g.ox + 40, std::max(r + 22, row) * g.H, totalLine(d));
        if (l.extraCustomerPage) return;
    }
    if (b.customer == 0) return;
    // The customer block: below the total, or at the top of a page of its own.
    const int base = page > itemPages ? 1 : std::max(r, 1);
    c.text(g.ox + 40, (base + 24) * g.H, Canvas::Align::kLeft,
           formatted("%s: %" PRId64, word(d, 27).c_str(), b.customer));
    const std::string lines[5] = {fieldText(b.customer_name), fieldText(b.customer_road),
                                  fieldText(b.customer_area), fieldText(b.customer_town),
                                  fieldText(b.customer_postcode)};
    for (int i = 0; i < 5; ++i)
        c.text(g.ox + 40, (base + 25 + i) * g.H, Canvas::Align::kLeft, lines[i]);
    const int rule = (base + 30) * g.H + g.H / 2;
    c.line(g.ox + 40, rule, g.W, rule);
    c.text(g.ox + 40, (base + 31) * g.H, Canvas::Align::kLeft,
           invoiceTermsText(cfg, *d.receipt->words, d.termsBand, false));
    c.text(g.ox + 40, (base + 32) * g.H, Canvas::Align::kLeft,
           formatted("Previous balance: %.2f", b.payment[kPayBalanceBefore]));
    c.text(g.W, (base + 33) * g.H, Canvas::Align::kCentre,
           formatted("Balance: %.2f", b.payment[kPayBalanceAfter]));
}

}  // namespace

std::vector<InvoiceEntry> invoiceEntries(const Basket& b) {
    const int n = std::clamp(b.line_count, 0, kMaxBasketLines);
    std::vector<InvoiceEntry> entries;
    std::vector<bool> taken(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
        if (taken[i]) continue;
        InvoiceEntry e{i, 1, b.non_taxable[i] + b.taxable[i]};
        for (int j = i + 1; j < n; ++j) {
            if (taken[j] || b.item[j] != b.item[i] || b.line_total[j] != b.line_total[i] ||
                std::memcmp(b.description[i], b.description[j], sizeof b.description[i]) != 0)
                continue;
            taken[j] = true;
            ++e.count;
        }
        entries.push_back(e);
    }
    return entries;
}

std::string invoiceTermsText(const StoreConfigRecord& cfg, const ReceiptWords& words, int band,
                             bool secondStyle) {
    std::string text = formatted("%s: ", words.word(35).c_str());
    if (band < 1 || band > 8) return text;
    const int32_t discount = cfg.terms_discount[band - 1];
    const int64_t period = cfg.options[kOptTermsPeriod + band - 1];
    if (discount >= 1 && discount <= 8)
        text += (secondStyle ? kTermsDiscount2 : kTermsDiscount)[discount - 1];
    if (period >= 1 && period <= 8)
        text += (secondStyle ? kTermsPeriod2 : kTermsPeriod)[period - 1];
    return text;
}

std::vector<std::size_t> invoicePageStarts(Canvas& canvas, DocumentKind kind,
                                           const InvoiceData& data) {
    struct Silent final : Ui {
        Answer message(const std::string&, const std::string&, Icon, Buttons) override {
            return Answer::kOk;
        }
        std::optional<std::string> prompt(const std::string&, const std::string&) override {
            return std::nullopt;
        }
        std::optional<int> pickFromList(const std::string&,
                                        const std::vector<std::string>&) override {
            return std::nullopt;
        }
    } silent;
    Geometry g;
    const bool selected = setUp(canvas, silent, false, g);
    Layout l = paginate(kind, *data.receipt->config, *data.receipt->basket, g);
    if (selected) canvas.restoreFont();
    std::vector<std::size_t> starts = l.starts;
    if (l.extraCustomerPage) starts.push_back(l.entries.size());
    return starts;
}

int drawInvoicePage(Canvas& canvas, Ui& ui, DocumentKind kind, const InvoiceData& data, int page) {
    if (!data.receipt || !data.receipt->basket || !data.receipt->config || !data.receipt->words)
        return 1;
    Geometry g;
    const bool selected = setUp(canvas, ui, page == 1, g);
    const Layout l = paginate(kind, *data.receipt->config, *data.receipt->basket, g);
    page = std::clamp(page, 1, l.pages());
    switch (kind) {
        case DocumentKind::kInvoice2:
            drawSecond(canvas, ui, data, g, l, page, false);
            break;
        case DocumentKind::kCustomInvoice:
            drawCustom(canvas, ui, data, g, l, page);
            break;
        case DocumentKind::kDeliveryNote:
            drawDelivery(canvas, ui, data, g, l, page);
            break;
        case DocumentKind::kQuotation:
            drawStandard(canvas, ui, data, g, l, page, true);
            break;
        default:
            drawStandard(canvas, ui, data, g, l, page, false);
            break;
    }
    if (selected) canvas.restoreFont();
    return l.pages();
}

}  // namespace kassio
