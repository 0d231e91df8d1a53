// Runs the tests of a core library: an application object without windows or a display.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Meridell"));
    return RUN_ALL_TESTS();
}
