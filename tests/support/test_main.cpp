// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point: a Qt application object (a QApplication for window
// tests, built with VERBANA_TEST_WIDGETS; otherwise a QGuiApplication), under
// the offscreen platform, around the GoogleTest run. A Qt warning during a
// test fails that test: a fault Qt only warns about is still a fault.
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#ifdef VERBANA_TEST_WIDGETS
#include "platform/busy_cursor_display.h"
#include "platform/described.h"

#include <QApplication>
#include <QDialog>
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

#ifdef VERBANA_TEST_WIDGETS
// Shows a scripted modal window, lets the test act on it, and fails the
// test when the action leaves it open (it is closed unanswered).
int runScriptedModal(QObject *window, const std::function<void(QWidget &)> &act)
{
    auto *dialog = qobject_cast<QDialog *>(window);
    if (!dialog) {
        ADD_FAILURE() << "runModal without a dialog";
        return 0;
    }
    dialog->setResult(0);
    dialog->setModal(true);
    dialog->show();
    QApplication::setActiveWindow(dialog);
    act(*dialog);
    if (dialog->isVisible()) {
        ADD_FAILURE() << "the scripted action left the modal window " << dialog->objectName().toStdString() << " open";
        dialog->reject();
    }
    return dialog->result();
}
#endif

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    App app(argc, argv);
    qInstallMessageHandler(failOnWarnings);
    verbana::test::installUnscriptedPrompter();
#ifdef VERBANA_TEST_WIDGETS
    verbana::test::setModalRunner(runScriptedModal);
    verbana::installBusyCursorDisplay();
    verbana::installWindowAccessibility();
#endif
    return RUN_ALL_TESTS();
}
