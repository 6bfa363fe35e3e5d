// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/commands.h"

#include "platform/prompts.h"
#include "platform/user_error.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <new>
#include <vector>

namespace verbana {

namespace {

// The commands being run, innermost last: the first error handed to each.
struct Running {
    QString handedOver;
    bool holds = false;
};
std::vector<Running> &running()
{
    static std::vector<Running> commands;
    return commands;
}
int &deferring()
{
    static int depth = 0;
    return depth;
}

// The text of the exception in flight.
QString errorText() noexcept
{
    try {
        throw;
    } catch (const EUserError &error) {
        return error.text();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("메모리가 부족하여 작업을 마치지 못했습니다.");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("알 수 없는 오류로 작업을 마치지 못했습니다.");
    }
}

void showLater(const QString &text) noexcept
{
    try {
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [text] { showError(text); }, Qt::QueuedConnection);
        else
            showError(text);
    } catch (...) {
        // Nothing is left to tell it with.
    }
}

} // namespace

void handOverError(const QString &text) noexcept
{
    auto &commands = running();
    if (commands.empty()) {
        showLater(text);
        return;
    }
    Running &innermost = commands.back();
    if (!innermost.holds) {
        innermost.handedOver = text;
        innermost.holds = true;
    }
}

bool handingOver(const std::function<void()> &work) noexcept
{
    try {
        work();
        return true;
    } catch (...) {
        handOverError(errorText());
    }
    return false;
}

DeferErrors::DeferErrors() noexcept { ++deferring(); }

DeferErrors::~DeferErrors() { --deferring(); }

bool runCommand(const std::function<void()> &command) noexcept
{
    // Inside a DeferErrors this command is a reaction to another one's work:
    // its error belongs to that one.
    if (deferring() > 0)
        return handingOver(command);
    auto &commands = running();
    try {
        commands.push_back({});
    } catch (...) {
        return handingOver(command);
    }
    QString error;
    bool failed = false;
    try {
        command();
    } catch (...) {
        error = errorText();
        failed = true;
    }
    const Running done = commands.back();
    commands.pop_back();
    if (failed)
        showError(error);
    else if (done.holds)
        showError(done.handedOver);
    return !failed && !done.holds;
}

} // namespace verbana
