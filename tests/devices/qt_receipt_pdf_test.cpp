// Receipts through the real Qt adapter into PDF files, read back with
// pdftotext; each is also rendered to PNG (pdftoppm) so a person can look at
// it: set KASSIO_RECEIPT_PNG_DIR to keep the pictures.
#include <gmock/gmock.h>

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "devices/print_document.h"
#include "receipt_fixture.h"
#include "support/temp_folder.h"
#include "ui/devices/qt_printers.h"

namespace kassio::test {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

std::string run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
    return out;
}

class PdfReceiptTest : public ReceiptTest {
  protected:
    void SetUp() override {
        if (std::system("command -v pdftotext >/dev/null && command -v pdftoppm >/dev/null") != 0)
            GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) are not installed";
        printers.setPdfOutput(QString::fromStdString(dir.path()),
                              QPageSize(QSizeF(80, 200), QPageSize::Millimeter));
        cfg().settings_b[kSetBReceiptFontSize] = 2;  // 10 point
        addLine(5, "TEA BAGS", 1.50);
        addLine(5, "TEA BAGS", 1.50);
        addLine(5, "TEA BAGS", 1.50);
        addLine(6, "CHOCOLATE BARS DELUXE", 2.40);
        addLine(7, "MILK", 0.89, false);
        payCash(10);
    }

    // Prints one document and returns the text of its PDF.
    std::string print(DocumentKind kind) {
        ReceiptData d = data();
        d.logoPath = logo;
        DocumentPrinter printer(printers, ui, drawer);
        printer.print(kind, d);
        EXPECT_FALSE(printers.pdfFiles().isEmpty());
        std::string pdf = printers.pdfFiles().last().toStdString();
        std::string png = pdf.substr(0, pdf.size() - 4);
        run("pdftoppm -png -r 150 -singlefile '" + pdf + "' '" + png + "'");
        if (const char* keep = std::getenv("KASSIO_RECEIPT_PNG_DIR")) {
            std::string name = std::string(keep) + "/" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name();
            for (const char* ext : {".png", ".pdf"})
                std::filesystem::copy_file(png + ext, name + ext,
                                           std::filesystem::copy_options::overwrite_existing);
        }
        return run("pdftotext -layout '" + pdf + "' -");
    }

    TempFolder dir;
    std::string logo = dir / "receipt.bmp";
    QtPrinters printers;
    FakePrinters noPrinters;
    FakePorts ports;
    TillDrawer drawer{noPrinters, ports, ui};
};

TEST_F(PdfReceiptTest, StandardReceiptWithLogoAndBarcode) {
    QImage image(300, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(20, 20, 260, 60, Qt::black);
    p.end();
    ASSERT_TRUE(image.save(QString::fromStdString(logo), "BMP"));
    cfg().settings_b[kSetBReceiptBarcode] = 2;

    std::string text = print(DocumentKind::kStandardReceipt);
    // pdftotext gives runs of blanks as one.
    for (const char* expected :
         {"CORNER SHOP", "01234 567890", "Receipt: 12", "09:05 06/12/2026", "1, Administrator",
          "Total: $7.79", "Payment: Cash", "Cash change: 2.21", "VAT 1: 1.15 (20.00%)",
          "Always happy to help!"})
        EXPECT_THAT(text, HasSubstr(expected));
    // The columns stay apart on an 80 mm roll.
    EXPECT_THAT(text, ContainsRegex("Description +Qty +Price +Amount"));
    EXPECT_THAT(text, ContainsRegex("TEA BAGS +3 +1\\.50 +4\\.50"));
    EXPECT_THAT(text, ContainsRegex("CHOCOLATE BARS +1 +2\\.40 +2\\.40"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PdfReceiptTest, CustomReceiptInSpanishWithWrappedNote) {
    words.loadBuiltIn(2);
    b().customer = 42;
    setFieldText(b().customer_name, "J SMITH");
    setCustomLineOf(cfg(), 8, 10);
    setCustomLineOf(cfg(), 9, 11);
    setCustomLineOf(cfg(), 16, 9);
    cfg().settings_b[kSetBCustomNoteLine] = 6;
    cfg().settings_b[kSetBCustomBlankLines] = 3;
    cfg().settings_b[kSetBCustomMarkExempt] = 2;
    setFieldText(b().note, "Please deliver on Friday morning before ten to the back door");

    std::string text = print(DocumentKind::kCustomReceipt);
    for (const char* expected : {"Recepci\xC3\xB3n: 12", "Cliente: 42", "J SMITH", "3 @ 1.50",
                                 "Total: $7.79", "Please deliver"})
        EXPECT_THAT(text, HasSubstr(expected));
    EXPECT_THAT(text, ContainsRegex("MILK +E +0\\.89"));
}

TEST_F(PdfReceiptTest, FooterLongerThanFourRowsIsClipped) {
    cfg().settings_b[kSetBFooterWordWrap] = 2;
    std::string footer;
    for (int i = 1; i <= 30; ++i) footer += "word" + std::to_string(i) + " ";
    setFieldText(cfg().receipt_footer, footer);
    std::string text = print(DocumentKind::kStandardReceipt);
    EXPECT_THAT(text, HasSubstr("word1 "));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("word30")));
}

}  // namespace
}  // namespace kassio::test
