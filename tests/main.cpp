// Runs the whole suite inside one application object on the offscreen platform.
#include "app/Application.h"
#include "data/Connection.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    // Tests hold locks on purpose: a command waits a moment for them, not the program's seconds.
    meridell::data::Connection::setDefaultBusyTimeout(100);
    meridell::app::Application app(argc, argv);
    QApplication::setApplicationName("Meridell");
    return RUN_ALL_TESTS();
}
