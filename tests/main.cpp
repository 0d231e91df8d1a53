// Runs the whole suite inside one application object on the offscreen platform.
#include "app/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    meridell::app::Application app(argc, argv);
    QApplication::setApplicationName("Meridell");
    return RUN_ALL_TESTS();
}
