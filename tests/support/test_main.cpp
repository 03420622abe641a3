#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
    // Only a program run under a window manager (under_window_manager.sh) meets the real
    // display it was given.
    if (qEnvironmentVariableIsEmpty("UNDER_WINDOW_MANAGER")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::setlocale(LC_ALL, "C.UTF-8");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
