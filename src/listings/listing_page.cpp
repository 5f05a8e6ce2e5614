#include "listings/listing_page.h"

#include <algorithm>
#include <vector>

#include "base/text_format.h"

namespace kassio {

namespace {
const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};
}

const char* monthName(int month) {
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

std::string longDateText(int year, int month, int day) {
    return formatted("%s %d %d", monthName(month), day, year);
}

std::string shortMonthDateText(int year, int month, int day) {
    return formatted("%.3s %d %d", monthName(month), day, year);
}

TextPage::TextPage(Canvas& canvas, int points, int indentChars, int lineGap) : m_canvas(canvas) {
    if (points > 0) {
        const int dpi = canvas.dpiY() > 0 ? canvas.dpiY() : 300;
        m_fontSelected = canvas.selectFont("Arial", (points * dpi + 36) / 72, 400);
    }
    const FontMetrics fm = canvas.metrics();
    m_line = fm.height + fm.externalLeading;
    if (m_line <= 0) m_line = 100;  // a printer that tells nothing
    m_line += std::max(0, lineGap);
    m_char = fm.averageCharWidth > 0 ? fm.averageCharWidth : m_line / 2;
    m_left = indentChars * m_char;
}

TextPage::~TextPage() {
    if (m_fontSelected) m_canvas.restoreFont();
}

int TextPage::rows() const {
    const int n = m_canvas.printableHeight() / m_line;
    return n > 1 ? n : 1;
}

void TextPage::text(int row, int column, const std::string& t) {
    m_canvas.text(m_left + column * m_char, row * m_line, Canvas::Align::kLeft, t);
}

void TextPage::centred(int row, const std::string& t) {
    m_canvas.text(m_canvas.printableWidth() / 2, row * m_line, Canvas::Align::kCentre, t);
}

void TextPage::right(int row, const std::string& t) {
    m_canvas.text(m_canvas.printableWidth() - m_left, row * m_line, Canvas::Align::kRight, t);
}

std::vector<std::string> TextPage::wrap(const std::string& text) const {
    const int usable = m_canvas.printableWidth() - 2 * m_left;
    const std::size_t fit = static_cast<std::size_t>(usable / m_char > 1 ? usable / m_char : 1);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (line.size() > fit) {
            std::size_t cut = line.rfind(' ', fit);
            if (cut == std::string::npos || cut == 0) cut = fit;
            out.push_back(line.substr(0, cut));
            line.erase(0, cut < line.size() && line[cut] == ' ' ? cut + 1 : cut);
        }
        out.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

Status printTextDocument(PrintJob& job, const std::function<bool(Canvas&, int page)>& draw) {
    Canvas* canvas = job.startDocument("KASSIO");
    if (!canvas) return Status::ioError("Unable to start the print job");
    // A drawer that never reports its last page is a fault in its layout;
    // the printer gets a bounded document all the same.
    constexpr int kMaxPages = 100000;
    const int copies = std::max(1, job.copies());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) job.newPage();
        for (int page = 1; page <= kMaxPages; ++page) {
            if (!draw(*canvas, page)) break;
            job.newPage();
        }
    }
    if (!job.endDocument()) return Status::ioError("Unable to end the print job");
    return Status::ok();
}

Status printTextPages(PrintJob& job, const std::vector<std::vector<std::string>>& pages) {
    std::size_t page = 0, line = 0;  // the next line to print
    return printTextDocument(job, [&](Canvas& canvas, int sheet) {
        if (sheet == 1) page = line = 0;  // every copy from the start
        TextPage p(canvas, 0, 0, 2);
        const std::size_t rows = static_cast<std::size_t>(std::max(2, p.rows()));
        for (std::size_t row = 0; row < rows && page < pages.size() && line < pages[page].size();
             ++row, ++line)
            p.text(static_cast<int>(row), 0, pages[page][line]);
        if (page < pages.size() && line >= pages[page].size()) ++page, line = 0;
        return page < pages.size();
    });
}

}  // namespace kassio
