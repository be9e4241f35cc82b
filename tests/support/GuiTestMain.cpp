#include <QApplication>

#include <gtest/gtest.h>

// GoogleTest's main for tests of real widgets: one application object for the whole run.
int main(int argc, char** argv) {
    // Headless unless a run asks for a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
