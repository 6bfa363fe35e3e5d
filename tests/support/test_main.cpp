// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point: a Qt application object (a QApplication for window
// tests, built with VERBANA_TEST_WIDGETS; otherwise a QGuiApplication), under
// the offscreen platform, around the GoogleTest run.
#include <gtest/gtest.h>

#ifdef VERBANA_TEST_WIDGETS
#include <QApplication>
using App = QApplication;
#else
#include <QGuiApplication>
using App = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    App app(argc, argv);
    return RUN_ALL_TESTS();
}
