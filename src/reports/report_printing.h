// Printed reports: pages of text lines at line numbers, drawn on the Canvas
// port. A report's page builder decides what goes on which line; this file
// measures the page, splits long lists into pages and draws them.
//
// Line n sits at n times the line height (character height plus external
// leading) from the top of the printable area; a column is counted in
// average character widths from the left margin.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/printers.h"

namespace kassio {

struct PrintedLine {
    int line = 0;
    int column = 0;
    std::string text;
    friend bool operator==(const PrintedLine&, const PrintedLine&) = default;
};
using PrintedPage = std::vector<PrintedLine>;

struct PageGeometry {
    int lineHeight = 1;
    int pageHeight = 1;
    int charWidth = 1;
    // Whether line n fits when every line counts extra units beyond the line
    // height: (lineHeight + extra) x (n + 1) is within the page.
    bool fits(int line, int extra) const { return (lineHeight + extra) * (line + 1) <= pageHeight; }
};

// A list printed over as many pages as it needs: each page starts with its
// heading on line 0 and the column lines from line 1, the body lines follow
// from firstBodyLine, and the footer goes two lines below the last body line
// when it fits on that page (else it is left out).
struct Listing {
    std::function<std::string(int page)> heading;  // page from 1
    std::vector<std::string> columns;
    std::vector<std::string> body;
    int firstBodyLine = 2;
    int extraPerLine = 0;
    std::optional<std::string> footer;
};
std::vector<PrintedPage> paginate(const Listing& listing, const PageGeometry& geometry);

using PageBuilder = std::function<std::vector<PrintedPage>(const PageGeometry&)>;

// Draws the document "KASSIO" on the job, once per copy asked, in the
// report font. False when the printer refused to start it.
bool printPages(PrintJob& job, const PageBuilder& build);

}  // namespace kassio
