// Printed pages of text lines: the listings, statements, letters,
// mail-merge pages and the stock-received report all place their texts on
// rows one line height apart (character height plus external leading) and
// at columns counted in average character widths from the left margin, and
// print through printTextDocument, the one page loop they share.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/status.h"

#include "platform/canvas.h"
#include "platform/printers.h"

namespace kassio {

class TextPage {
  public:
    // Selects the listing font when points is above 0 (the printer's own
    // font otherwise); indentChars is the left margin in character widths;
    // lineGap units more between rows than the font's line height.
    TextPage(Canvas& canvas, int points, int indentChars, int lineGap = 0);
    ~TextPage();
    TextPage(const TextPage&) = delete;
    TextPage& operator=(const TextPage&) = delete;

    int lineHeight() const { return m_line; }
    int charWidth() const { return m_char; }
    int left() const { return m_left; }
    int width() const { return m_canvas.printableWidth(); }
    // Rows that fit on a page.
    int rows() const;

    // Text on row `row` (0 at the top), `column` character widths from the
    // margin.
    void text(int row, int column, const std::string& text);
    void centred(int row, const std::string& text);
    void right(int row, const std::string& text);
    Canvas& canvas() { return m_canvas; }

    // The text broken into lines no wider than the page from the margin:
    // at its own line breaks, and a line too wide at its last blank that fits.
    std::vector<std::string> wrap(const std::string& text) const;

  private:
    Canvas& m_canvas;
    bool m_fontSelected = false;
    int m_line = 1;
    int m_char = 1;
    int m_left = 0;
};

// Prints one document "KASSIO": draw(canvas, page) draws page 1, 2, ...
// and returns false once it has drawn the last; the whole run is repeated
// for every copy the job asks for, each copy starting on a new sheet.
// The job is not released here.
Status printTextDocument(PrintJob& job, const std::function<bool(Canvas&, int page)>& draw);

// Pages of lines already cut by a report (the stock-received report, its
// heading the first line of each), in the printer's own font with two
// units between rows; a page longer than a sheet holds goes on over the
// next sheets, never lost.
Status printTextPages(PrintJob& job, const std::vector<std::vector<std::string>>& pages);

// "MMMM d yyyy" ("December 7 2026") and "MMM d yyyy" ("Dec 7 2026").
std::string longDateText(int year, int month, int day);
std::string shortMonthDateText(int year, int month, int day);
const char* monthName(int month);  // "January" ...

}  // namespace kassio
