// Export of items or customers to a text (comma separated), HTML or XML
// file that other programs read.
//
// The text format is read by other programs as it stands: fields are
// written as stored, without quotes or escaping, so a comma inside a text
// splits it. XML texts are escaped wherever a character would make the file
// unreadable.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/status.h"

namespace kassio {

class DataStore;

enum class ExportFormat { kText, kHtml, kXml };

// The choices of the "Export" window and its field choice window.
struct ExportChoice {
    int64_t start = 1;
    int64_t finish = 1;
    bool customers = false;
    ExportFormat format = ExportFormat::kText;
    bool byCategory = false;  // items only
    int category = 0;         // display category 0..17
    bool boldNumber = true;   // HTML
    bool boldTitle = true;    // HTML
    int textSize = 1;         // HTML font size 1..3 (Small, Medium, Large)
    // The ten boxes of the field choice window, in its order.
    std::array<bool, 10> fields{true, true, true, true, true, true, true, true, true, true};
    bool entire = false;  // "Export entire": every field (all ten for HTML)
};

// The highest live item number: the Finish an export window opens with.
int64_t highestItemNumber(DataStore& store);

// The file name the save window offers ("INVENTOR.TXT", "CUSTOMER.XML", ...)
// and its filter.
std::string exportFileName(const ExportChoice& choice);
std::string exportFilter(ExportFormat format);

// Writes the records from choice.start to choice.finish, in ascending
// number order, to path (replaced when present). Holds the DataMutex from
// the range search to the end of writing. Ok means "Complete." (title
// "File export"); a failure carries its message and title.
Status exportRecords(DataStore& store, const ExportChoice& choice, const std::string& path);

// Texts for XML: &, <, >, " and ' become entities, and bytes an XML 1.0
// file cannot hold (control characters other than tab) are left out.
std::string xmlEscaped(const std::string& text);

}  // namespace kassio
