#include "ui/devices/qt_printers.h"

#include <QAbstractPrintDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/cups/cups_queue.h"
#include "ui/devices/qt_canvas.h"
#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

class QtPrintJob final : public PrintJob {
  public:
    QtPrintJob(std::unique_ptr<QPrinter> printer, int copies, QtPrinters* pdf)
        : m_printer(std::move(printer)), m_copies(copies), m_pdf(pdf) {
        // A file chosen in the dialog, or the PDF file of openPdf().
        if (!m_pdf && m_printer->outputFormat() == QPrinter::PdfFormat)
            m_file = m_printer->outputFileName().toStdString();
    }
    ~QtPrintJob() override {
        if (m_painter.isActive()) m_painter.end();
    }

    int copies() const override { return m_copies; }

    Canvas* startDocument(const std::string& name) override {
        m_printer->setDocName(qtText(name));
        if (m_pdf) m_printer->setOutputFileName(m_pdf->nextPdfFile());
        if (!m_painter.begin(m_printer.get())) return nullptr;
        m_canvas = std::make_unique<QtCanvas>(m_painter, *m_printer);
        return m_canvas.get();
    }
    bool newPage() override { return m_printer->newPage(); }
    bool endDocument() override {
        m_canvas.reset();
        return m_painter.end();
    }
    bool release() override { return true; }
    std::string outputFile() const override { return m_file; }

  private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    std::unique_ptr<QtCanvas> m_canvas;
    int m_copies;
    QtPrinters* m_pdf;
    std::string m_file;
};

// Receipts are drawn for a roll: 80 mm wide, long enough for a long basket.
constexpr double kRollWidthMm = 80, kRollLengthMm = 297;

}  // namespace

void QtPrinters::setPdfOutput(const QString& folder, const QPageSize& page, double marginMm) {
    m_pdfFolder = folder;
    m_pdfPage = page;
    m_pdfMargin = marginMm;
}

QString QtPrinters::nextPdfFile() {
    QString file = QStringLiteral("%1/kassio-%2.pdf").arg(m_pdfFolder).arg(m_files.size() + 1);
    m_files << file;
    return file;
}

std::optional<std::vector<PrinterInfo>> QtPrinters::list() {
    return cups::listQueues();
}

std::string QtPrinters::defaultPrinter() {
    return QPrinterInfo::defaultPrinterName().toStdString();
}

bool QtPrinters::printerReady(Target target, const std::string& printerName) {
    if (!m_pdfFolder.isEmpty()) return true;
    switch (target) {
        case Target::kNamed:
            return !QPrinterInfo::printerInfo(QString::fromStdString(printerName)).isNull();
        case Target::kDefaultSilent:
            return !QPrinterInfo::defaultPrinter().isNull();
        case Target::kDialog:
            return !QPrinterInfo::availablePrinterNames().isEmpty();
        case Target::kPdfFile:
            return true;
    }
    return false;
}

std::unique_ptr<PrintJob> QtPrinters::openPdf(const std::string& path, bool receiptRoll) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    printer->setCopyCount(1);
    if (receiptRoll) {
        printer->setPageSize(
            QPageSize(QSizeF(kRollWidthMm, kRollLengthMm), QPageSize::Millimeter, "Receipt roll"));
        printer->setPageMargins(QMarginsF(3, 3, 3, 3), QPageLayout::Millimeter);
    } else {
        printer->setPageSize(QPageSize(QPageSize::A4));
    }
    return std::make_unique<QtPrintJob>(std::move(printer), 1, nullptr);
}

std::unique_ptr<PrintJob> QtPrinters::open(Target target, const std::string& printerName) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setCopyCount(1);
    if (!m_pdfFolder.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(m_pdfPage);
        printer->setPageMargins(QMarginsF(m_pdfMargin, m_pdfMargin, m_pdfMargin, m_pdfMargin),
                                QPageLayout::Millimeter);
        return std::make_unique<QtPrintJob>(std::move(printer), 1, this);
    }

    switch (target) {
        case Target::kNamed: {
            QString name = QString::fromStdString(printerName);
            if (QPrinterInfo::printerInfo(name).isNull()) return nullptr;
            printer->setPrinterName(name);
            return std::make_unique<QtPrintJob>(std::move(printer), 1, nullptr);
        }
        case Target::kDefaultSilent:
            if (QPrinterInfo::defaultPrinter().isNull()) return nullptr;
            printer->setPrinterName(QPrinterInfo::defaultPrinterName());
            return std::make_unique<QtPrintJob>(std::move(printer), 1, nullptr);
        case Target::kDialog: {
            QPrintDialog dialog(printer.get(), m_parent);
            dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
            // "Print to file" is the PDF choice beside the CUPS printers.
            dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
            dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
            if (dialog.exec() != QDialog::Accepted) return nullptr;
            // The documents are repeated by the caller, one copy each.
            int copies = std::max(1, printer->copyCount());
            printer->setCopyCount(1);
            return std::make_unique<QtPrintJob>(std::move(printer), copies, nullptr);
        }
        case Target::kPdfFile:
            return openPdf(printerName, true);
    }
    return nullptr;
}

Printers::RawResult QtPrinters::rawJob(const std::string& queue, const std::string& documentName,
                                       const std::vector<uint8_t>& bytes) {
    return cups::sendRawJob(queue, documentName, bytes);
}

}  // namespace kassio
