// Port: the system's printers. Lists them, opens a drawing context on one
// (by name, the default one silently, or through the print dialog) and
// sends raw byte jobs to a printer queue (the drawer kick).
//
// Contract: UI thread only; never called with the DataMutex held (the print
// dialog may wait for minutes).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace kassio {

// The entry of the receipt printer list that stands for PDF files in the
// DataFolder. CUPS queue names hold no blanks, so it cannot name a queue.
inline constexpr const char* kPdfPrinterName = "PDF file";

struct PrinterInfo {
    std::string name;    // the queue name, as stored in the configuration
    std::string driver;  // make and model, stored beside the name
};

// One opened drawing context. Documents are drawn one after another on it;
// it is released when the caller is done.
class PrintJob {
  public:
    virtual ~PrintJob() = default;

    // The copy count the print dialog asked for; 1 without a dialog.
    virtual int copies() const = 0;

    // Starts a document and its first page. nullptr when the printer refuses
    // to start it; the document is then skipped.
    virtual Canvas* startDocument(const std::string& name) = 0;
    // Ends the page drawn so far and starts another one.
    virtual bool newPage() = 0;
    virtual bool endDocument() = 0;

    // Gives the context back; false when the system refuses.
    virtual bool release() = 0;

    // The file the documents went to when the person chose a file in the
    // print dialog, or the PDF file of openPdf(); empty for a printer.
    virtual std::string outputFile() const { return {}; }
};

class Printers {
  public:
    enum class Target {
        kNamed,          // the printer called printerName, no dialog
        kDefaultSilent,  // the system's default printer, no dialog
        kDialog,         // the print dialog; the person may cancel
        kPdfFile,        // a PDF file (openPdf()); never given to open()
    };
    enum class RawResult { kSent, kCannotOpen, kFailed };

    virtual ~Printers() = default;

    // Every installed printer in the system's order; nullopt when the list
    // cannot be read.
    virtual std::optional<std::vector<PrinterInfo>> list() = 0;
    virtual std::string defaultPrinter() = 0;

    // Whether open() can reach the printer without asking: the named queue
    // exists (kNamed), a default printer is set (kDefaultSilent), at least
    // one printer is installed (kDialog).
    virtual bool printerReady(Target target, const std::string& printerName) = 0;

    // nullptr when the dialog was cancelled or no context could be opened.
    virtual std::unique_ptr<PrintJob> open(Target target, const std::string& printerName) = 0;

    // Documents into the PDF file at path (replaced when it exists), on a
    // receipt roll or an A4 page; nullptr when the file cannot be written.
    virtual std::unique_ptr<PrintJob> openPdf(const std::string& path, bool receiptRoll) = 0;

    // One raw document (no filtering by the spooler) holding these bytes.
    // kCannotOpen when the queue does not exist or cannot be reached;
    // kFailed when a later step failed.
    virtual RawResult rawJob(const std::string& queue, const std::string& documentName,
                             const std::vector<uint8_t>& bytes) = 0;
};

}  // namespace kassio
