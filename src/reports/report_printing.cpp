#include "reports/report_printing.h"

#include <algorithm>
#include <cstdint>

namespace kassio {

namespace {

constexpr int kReportPoints = 10;

// The report font: a fixed-pitch face, so the columns that the texts line
// up with blanks stay lined up.
bool selectReportFont(Canvas& canvas) {
    const int dpi = canvas.dpiY();
    if (dpi <= 0) return false;
    const int height = static_cast<int>((static_cast<int64_t>(kReportPoints) * dpi * 2 + 72) / 144);
    return canvas.selectFont("DejaVu Sans Mono", height, 400);
}

PageGeometry measure(Canvas& canvas) {
    const FontMetrics m = canvas.metrics();
    PageGeometry g;
    g.lineHeight = std::max(1, m.height + m.externalLeading);
    g.charWidth = std::max(1, m.averageCharWidth);
    g.pageHeight = std::max(g.lineHeight, canvas.printableHeight());
    return g;
}

}  // namespace

std::vector<PrintedPage> paginate(const Listing& listing, const PageGeometry& g) {
    std::vector<PrintedPage> pages;
    std::size_t next = 0;
    do {
        PrintedPage page;
        page.push_back({0, 0, listing.heading(static_cast<int>(pages.size()) + 1)});
        int line = 1;
        for (const std::string& c : listing.columns) page.push_back({line++, 0, c});
        line = std::max(line, listing.firstBodyLine);
        const int first = line;
        // At least one body line per page, so a page too small for any still
        // ends the list instead of printing headings without end.
        while (next < listing.body.size() && (line == first || g.fits(line, listing.extraPerLine)))
            page.push_back({line++, 0, listing.body[next++]});
        if (next == listing.body.size() && listing.footer && g.fits(line + 1, listing.extraPerLine))
            page.push_back({line + 1, 0, *listing.footer});
        pages.push_back(std::move(page));
    } while (next < listing.body.size());
    return pages;
}

bool printPages(PrintJob& job, const PageBuilder& build) {
    const int copies = std::max(1, job.copies());
    for (int copy = 0; copy < copies; ++copy) {
        Canvas* canvas = job.startDocument("KASSIO");
        if (!canvas) return false;
        const bool font = selectReportFont(*canvas);
        const PageGeometry g = measure(*canvas);
        const std::vector<PrintedPage> pages = build(g);
        for (std::size_t p = 0; p < pages.size(); ++p) {
            if (p > 0 && !job.newPage()) break;
            for (const PrintedLine& l : pages[p])
                canvas->text(l.column * g.charWidth, l.line * g.lineHeight, Canvas::Align::kLeft,
                             l.text);
        }
        if (font) canvas->restoreFont();
        job.endDocument();
    }
    return true;
}

}  // namespace kassio
