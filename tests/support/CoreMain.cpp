// Runs the tests of a core library: an application object without windows or a display.
#include "data/Connection.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Tests hold locks on purpose: a command waits a moment for them, not the program's seconds.
    meridell::data::Connection::setDefaultBusyTimeout(100);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Meridell"));
    return RUN_ALL_TESTS();
}
