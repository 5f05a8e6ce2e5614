// After a sale with no printer anywhere: the summary box's receipt button
// writes the receipt to a PDF file in the DataFolder through the real Qt
// printing adapter, the clerk is told where, and the file reads back.
#include <gmock/gmock.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "device_fakes.h"
#include "devices/station_devices.h"
#include "store/store_fixture.h"
#include "support/scripted_ui.h"
#include "ui/devices/qt_device_ui.h"
#include "ui/devices/qt_printers.h"

namespace kassio::test {
namespace {

using ::testing::HasSubstr;

class SummaryBoxPdfTest : public StoreTest {
  protected:
    void SetUp() override {
        if (std::system("command -v pdftotext >/dev/null") != 0)
            GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
        // No spooler answers on this socket: CUPS is "not running".
        qputenv("CUPS_SERVER", QByteArray::fromStdString(root / "no-cups.sock"));
        StoreTest::SetUp();
    }
    void TearDown() override { qunsetenv("CUPS_SERVER"); }
};

TEST_F(SummaryBoxPdfTest, StandardReceiptButtonWritesAPdfAndSaysWhere) {
    ScriptedUi ui;
    QtDeviceUi deviceUi;
    QtPrinters printers;
    FakePorts ports;
    StationDevices devices(*store, ui, deviceUi, printers, ports);

    auto basket = std::make_unique<Basket>();
    std::memset(basket.get(), 0, sizeof(Basket));
    basket->number = 31;
    basket->clerk = 1;
    basket->line_count = 1;
    basket->item[0] = 1;
    setFieldText(basket->description[0], "TEA BAGS");
    basket->non_taxable[0] = basket->line_total[0] = basket->total = 2.5;
    basket->payment[kPayCash] = 2.5;
    setFieldText(basket->payment_word, "Cash");

    // The clerk presses "Standard receipt", then OK.
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text() == "&Standard receipt") b->click();
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text() == "OK") b->click();
    });
    timer->start(10);
    devices.printAfterSale(*basket, 5, 2.5);

    const std::string pdf = store->pathOf("pdf/receipt-31.pdf");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text, HasSubstr("The CUPS printing service is not running"));
    EXPECT_THAT(ui.shown[0].text, HasSubstr("This one is " + pdf));

    std::string text;
    if (FILE* p = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
        ::pclose(p);
    }
    EXPECT_THAT(text, HasSubstr("Receipt: 31"));
    EXPECT_THAT(text, HasSubstr("TEA BAGS"));
    EXPECT_THAT(text, HasSubstr("Cash change: 2.50"));
}

}  // namespace
}  // namespace kassio::test
