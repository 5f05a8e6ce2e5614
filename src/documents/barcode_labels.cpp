#include "documents/barcode_labels.h"

#include <algorithm>
#include <cinttypes>

#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "devices/code39.h"
#include "devices/ean13.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "till/line_arithmetic.h"

namespace kassio {

namespace {

constexpr int kBarHeight = 1000;
constexpr int kGuardHeight = 1120;
constexpr int kTextDrop = 400;  // the text's top below the symbol's top
constexpr int kEanModules = 110;
// A job cannot be stopped from the command line: a range of 10^17 bare
// numbers must still end.
constexpr int kMaxSheets = 1000;

int numberIn(const std::string& text, int low, int high, int fallback) {
    std::optional<int64_t> n = positiveNumber(text);
    return n && *n >= low && *n <= high ? static_cast<int>(*n) : fallback;
}

Status rangeLimit() {
    return Status::invalid(formatted("Range limit %" PRId64, kLabelRangeLimit));
}

// The store name, number and description (or name) as the label shows them.
std::string labelText(const LabelJob& job, const std::string& store, const std::string& number,
                      const std::string& name) {
    std::string text =
        name.empty() && job.source == LabelSource::kAllValues ? number : number + "  " + name;
    if (job.includeStore) text = store + "  " + text;
    return text;
}

}  // namespace

void LabelSettings::chooseFormat(LabelFormat f) {
    format = f;
    switch (f) {
        case LabelFormat::kVideoSpine:
            labelHeight = "1690";
            perSheet = "16";
            break;
        case LabelFormat::kTwoColumn:
            labelHeight = "3380";
            perSheet = "16";
            break;
        case LabelFormat::kThreeColumn:
            labelHeight = "1690";
            perSheet = "48";
            break;
    }
}

void LabelSettings::chooseSymbol(LabelSymbol s) {
    symbol = s;
    elementWidth = s == LabelSymbol::kEan13 ? "50" : "40";
}

Status readLabelJob(const LabelSettings& s, LabelJob* job) {
    LabelJob j;
    auto bound = [](const std::string& text, int64_t* out) {
        const int64_t n = numberFromText(text);
        if (n > kLabelRangeLimit) return false;
        *out = n;
        return true;
    };
    if (!bound(s.start, &j.start) || !bound(s.finish, &j.finish)) return rangeLimit();
    j.source = s.source;
    j.format = s.format;
    j.symbol = s.symbol;
    if (j.source == LabelSource::kRepeat ? j.start <= 0 : j.start > j.finish)
        return Status::invalid("Invalid range");
    j.originX = numberIn(s.originX, 1, 20000, 3600);
    j.originY = numberIn(s.originY, 1, 20000, 400);
    j.labelHeight = numberIn(s.labelHeight, 1, 20000, 1690);
    j.perSheet = numberIn(s.perSheet, 1, 200, 16);
    j.fromCentre = numberIn(s.fromCentre, 1, 20000, 4800);
    j.elementWidth = numberIn(s.elementWidth, 1, 200, 200);
    j.quantity = positiveNumber(s.quantity).value_or(0);
    j.includePrice = s.includePrice;
    j.withTax = s.withTax;
    j.includeStore = s.includeStore;
    j.priceBelow = s.priceBelow;
    j.textSize = s.textSize >= 10 && s.textSize <= 200 ? s.textSize : 0;
    *job = j;
    return Status::ok();
}

LabelCursor::LabelCursor(DataStore& store, const LabelJob& job)
    : m_store(store), m_job(job), m_current(job.start), m_remaining(job.quantity) {}

bool LabelCursor::more() {
    if (!m_ahead) m_ahead = read();
    return m_ahead.has_value();
}

std::optional<Label> LabelCursor::next() {
    if (m_ahead) {
        std::optional<Label> label = std::move(m_ahead);
        m_ahead.reset();
        return label;
    }
    return read();
}

std::optional<Label> LabelCursor::read() {
    if (m_done) return std::nullopt;
    auto lock = m_store.lock();
    const std::string store = m_store.config().heading(1);
    const std::string currency = fieldText(m_store.config().record().currency_symbol);
    Label label;

    if (m_job.source == LabelSource::kAllValues) {
        if (m_current > m_job.finish) {
            m_done = true;
            return std::nullopt;
        }
        label.value = m_current++;
        label.text = labelText(m_job, store, formatted("%" PRId64, label.value), {});
        return label;
    }

    const bool customers = m_job.source == LabelSource::kCustomers;
    RecordFile& file = customers ? m_store.customers() : m_store.items();
    if (!m_store.files().exists(file.name())) {
        m_status = file.notPresent();
        m_done = true;
        return std::nullopt;
    }

    std::optional<uint64_t> slot;
    if (m_job.source == LabelSource::kRepeat) {
        if (m_remaining <= 0) {
            m_done = true;
            return std::nullopt;
        }
        slot = file.find(m_job.start);
        --m_remaining;
    } else {
        const auto& entries = file.index().entries();
        for (std::size_t i = file.index().lowerBound(std::max<int64_t>(m_current, 1));
             i < entries.size(); ++i) {
            if (entries[i].number < 1) continue;
            if (entries[i].number <= m_job.finish) slot = entries[i].slot;
            break;
        }
    }
    if (!slot) {
        m_done = true;
        return std::nullopt;
    }

    if (customers) {
        CustomerRecord c;
        if (!file.read(*slot, &c)) {
            m_done = true;
            return std::nullopt;
        }
        label.value = c.number;
        label.text = labelText(m_job, store, formatted("%" PRId64, c.number), fieldText(c.name));
    } else {
        InventoryRecord item;
        if (!file.read(*slot, &item)) {
            m_done = true;
            return std::nullopt;
        }
        label.value = item.number;
        label.text = labelText(m_job, store, formatted("%" PRId64, item.number),
                               fieldText(item.description));
        if (m_job.includePrice) {
            double price = item.retail_price;
            if (m_job.withTax) {
                const TaxRules rules = TaxRules::of(m_store.config().record());
                price = lineValues(rules, price, item.tax != 0, item.tax, item.no_tax_rounding == 2,
                                   0, false)
                            .total;
            }
            const std::string priced = formatted("%s%.2f", currency.c_str(), price);
            if (m_job.priceBelow)
                label.priceLine = priced;
            else if (m_job.includeStore)
                label.text += " " + priced;
        }
    }
    if (m_job.source != LabelSource::kRepeat) m_current = label.value + 1;
    return label;
}

std::string labelSymbolText(LabelSymbol symbol, int64_t value) {
    if (symbol == LabelSymbol::kEan13) return ean13Text(value);
    // Digits only: a negative number prints its digits.
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return formatted("%04" PRIu64, magnitude);
}

namespace {

// The symbol's width in 0.01 mm.
int symbolWidth(const LabelJob& job, const std::string& digits) {
    if (job.symbol == LabelSymbol::kEan13) return 96 * job.elementWidth;
    return (static_cast<int>(digits.size()) + 2) * kCode39CharStep * job.elementWidth;
}

void drawSymbol(Canvas& c, const LabelJob& job, const std::string& digits, int x, int y) {
    if (job.symbol == LabelSymbol::kCode39) {
        drawCode39(c, x, y, "*" + digits + "*", job.elementWidth, kBarHeight);
        return;
    }
    for (const Ean13Bar& bar : ean13Bars(digits)) {
        const int left = x + bar.module * job.elementWidth;
        c.fillRect(left, y, left + job.elementWidth, y - (bar.guard ? kGuardHeight : kBarHeight));
    }
}

// The text's row height in 0.01 mm.
int textHeight(const Canvas& c) {
    const FontMetrics m = c.metrics();
    const int dpi = c.dpiY() > 0 ? c.dpiY() : 600;
    return (m.height + m.externalLeading) * 2540 / dpi;
}

void drawLabel(Canvas& c, const LabelJob& job, const Label& label, int column, int y) {
    const std::string digits = labelSymbolText(job.symbol, label.value);
    const int lineHeight = textHeight(c);
    if (job.format == LabelFormat::kVideoSpine) {
        drawSymbol(c, job, digits, job.originX, y);
        const int modules = job.symbol == LabelSymbol::kCode39
                                ? (static_cast<int>(digits.size()) + 3) * kCode39CharStep
                                : kEanModules;
        const int x = job.originX + modules * job.elementWidth;
        c.text(x, y - kTextDrop, Canvas::Align::kLeft, label.text);
        if (!label.priceLine.empty())
            c.text(x, y - kTextDrop - lineHeight, Canvas::Align::kLeft, label.priceLine);
        return;
    }
    const int width = symbolWidth(job, digits);
    drawSymbol(c, job, digits, column - width / 2, y);
    // Under an EAN symbol the column formats show its thirteen digits.
    std::string text = label.text;
    if (job.symbol == LabelSymbol::kEan13) {
        const std::string number = formatted("%" PRId64, label.value);
        const std::size_t at = text.find(number);
        if (at != std::string::npos) text.replace(at, number.size(), digits);
    }
    const int top = y - kGuardHeight - 40;
    c.text(column, top, Canvas::Align::kCentre, text);
    if (!label.priceLine.empty())
        c.text(column, top - lineHeight, Canvas::Align::kCentre, label.priceLine);
}

}  // namespace

bool drawLabelPage(Canvas& canvas, const LabelJob& job, LabelCursor& cursor) {
    std::optional<Label> first = cursor.next();
    if (!first) return false;

    bool font = false;
    if (job.textSize > 0 && canvas.printableHeight() > 0)
        font =
            canvas.selectFont("Arial", std::max(1, canvas.printableHeight() / job.textSize), 400);
    canvas.pushMetricMapping();
    const int widthMetric = canvas.deviceToMetric({canvas.printableWidth(), 0}).x;
    std::vector<int> columns;
    switch (job.format) {
        case LabelFormat::kVideoSpine:
            columns = {0};
            break;
        case LabelFormat::kTwoColumn:
            columns = {widthMetric / 4, 3 * widthMetric / 4};
            break;
        case LabelFormat::kThreeColumn:
            columns = {widthMetric / 2 - job.fromCentre, widthMetric / 2,
                       widthMetric / 2 + job.fromCentre};
            break;
    }

    int y = -job.originY;
    std::optional<Label> label = std::move(first);
    for (int n = 0; n < job.perSheet && label; ++n) {
        const std::size_t column = static_cast<std::size_t>(n) % columns.size();
        drawLabel(canvas, job, *label, columns[column], y);
        // A row is full once every column has a label.
        if (column + 1 == columns.size()) y -= job.labelHeight;
        if (n + 1 < job.perSheet) label = cursor.next();
    }
    canvas.popMapping();
    if (font) canvas.restoreFont();
    return true;
}

Status printLabels(DataStore& store, const LabelJob& job, PrintJob& printJob) {
    const int copies = std::max(1, printJob.copies());
    for (int copy = 0; copy < copies; ++copy) {
        LabelCursor cursor(store, job);
        Canvas* canvas = printJob.startDocument("KASSIO");
        if (!canvas) return Status::ioError("Unable to start the printer");
        for (int sheet = 0; sheet < kMaxSheets && cursor.more(); ++sheet) {
            if (sheet > 0 && !printJob.newPage()) break;
            drawLabelPage(*canvas, job, cursor);
        }
        printJob.endDocument();
        if (!cursor.status()) return cursor.status();
    }
    return Status::ok();
}

}  // namespace kassio
