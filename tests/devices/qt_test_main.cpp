// Qt tests need one QApplication for the whole run. Without a chosen
// platform they use the offscreen one, so that listing the tests at build
// time works without a display too.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/qt_settings.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto settings = kassio::test::privateQtSettings();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
