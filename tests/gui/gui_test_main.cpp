// The window tests need a QApplication, on the offscreen platform so they
// run without a display.
#include <gtest/gtest.h>

#include <QApplication>

#include "window/qt_platform_services.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    rumora::PrepareApplication(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
