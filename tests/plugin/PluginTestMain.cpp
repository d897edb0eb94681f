// Test main: the plug-in runs inside a Qt application as it does in the host,
// and its log lines are collected for the tests.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "ProcessingFixture.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    LogCapture::install();
    return RUN_ALL_TESTS();
}
