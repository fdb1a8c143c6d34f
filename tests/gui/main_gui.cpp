// Runs the window tests inside one QApplication, as Qt widgets need it.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    // Listing the tests happens without a display too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication aplicacion(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
