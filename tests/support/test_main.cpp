// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point: a Qt application object (widgets where the build has
// them, under the offscreen platform) around the GoogleTest run. A Qt
// warning during a test fails that test: a fault Qt only warns about is
// still a fault.
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#ifdef VERBANA_TEST_WIDGETS
#include <QApplication>
using App = QApplication;
#else
#include <QGuiApplication>
using App = QGuiApplication;
#endif

#include <QStringList>

#include <cstdio>

namespace {

// What the offscreen platform says of itself: limits of the test platform,
// not faults of the program.
bool isPlatformLimitation(const QString &message)
{
    static const QStringList limits = {
        QStringLiteral("This plugin does not support propagateSizeHints()"),
        QStringLiteral("This plugin does not support raise()"),
        QStringLiteral("This plugin does not support grabbing the keyboard"),
    };
    return limits.contains(message);
}

void failOnWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    if (isPlatformLimitation(message))
        return;
    if (type == QtDebugMsg || type == QtInfoMsg) {
        std::fprintf(stderr, "%s\n", text.constData());
        return;
    }
    if (::testing::UnitTest::GetInstance()->current_test_info() == nullptr) {
        // Outside a test (start-up, shut-down) there is nothing to fail.
        std::fprintf(stderr, "Qt warning outside a test: %s\n", text.constData());
        return;
    }
    ADD_FAILURE_AT(context.file ? context.file : "Qt", context.line) << "Qt warning: " << text.constData();
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    App app(argc, argv);
    qInstallMessageHandler(failOnWarnings);
    verbana::test::installUnscriptedPrompter();
    return RUN_ALL_TESTS();
}
