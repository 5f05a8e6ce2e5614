// The Printers port on Qt print support and libcups: the queue list and raw
// jobs from CUPS, drawing contexts on a QPrinter, and the print dialog.
//
// A PDF file (openPdf) is a receipt roll 80 mm wide or an A4 page. The
// print dialog offers "Print to file" beside the CUPS printers.
//
// For trying layouts, and for the tests, every document can go to a PDF
// file instead: setPdfOutput() makes each document a file
// <folder>/kassio-<n>.pdf on a page of the given size, without dialogs.
#pragma once

#include <QPageSize>
#include <QString>
#include <QWidget>

#include "platform/printers.h"

namespace kassio {

class QtPrinters final : public Printers {
  public:
    explicit QtPrinters(QWidget* dialogParent = nullptr) : m_parent(dialogParent) {}
    void setParent(QWidget* dialogParent) { m_parent = dialogParent; }

    void setPdfOutput(const QString& folder, const QPageSize& page, double marginMm = 3);
    // The PDF files written so far.
    const QStringList& pdfFiles() const { return m_files; }

    std::optional<std::vector<PrinterInfo>> list() override;
    std::string defaultPrinter() override;
    bool printerReady(Target target, const std::string& printerName) override;
    std::unique_ptr<PrintJob> open(Target target, const std::string& printerName) override;
    std::unique_ptr<PrintJob> openPdf(const std::string& path, bool receiptRoll) override;
    RawResult rawJob(const std::string& queue, const std::string& documentName,
                     const std::vector<uint8_t>& bytes) override;

    // Where the next PDF document goes (PDF output only).
    QString nextPdfFile();

  private:
    QWidget* m_parent;
    QString m_pdfFolder;
    QPageSize m_pdfPage;
    double m_pdfMargin = 3;
    QStringList m_files;
};

}  // namespace kassio
