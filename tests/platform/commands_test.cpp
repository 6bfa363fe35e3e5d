// SPDX-License-Identifier: GPL-3.0-or-later
// The command runner: one message for one failure, however deep it was met,
// and errors handed over from where nothing may throw.
#include "platform/commands.h"
#include "platform/progress.h"
#include "platform/user_error.h"

#include "support/scripted_prompter.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

namespace verbana::test {
namespace {

TEST(Commands, AFailureShowsOneMessageWhereverItWasMet)
{
    ScriptedPrompter prompts;
    // Its own error wins over one handed over on the way out.
    prompts.error();
    EXPECT_FALSE(runCommand([] {
        handOverError(QStringLiteral("thawing"));
        throw EUserError(QStringLiteral("walking"));
    }));
    // A reaction inside a DeferErrors hands its error to the command.
    prompts.error();
    EXPECT_FALSE(runCommand([] {
        const DeferErrors reactions;
        EXPECT_FALSE(runCommand([] { throw EUserError(QStringLiteral("the list")); }));
        EXPECT_FALSE(handingOver([] { throw EUserError(QStringLiteral("the boxes")); }));
    }));
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("walking"), QStringLiteral("the list")}));
    // Outside any command, a handed-over error waits for the event loop.
    prompts.clear();
    handOverError(QStringLiteral("later"));
    EXPECT_TRUE(prompts.texts().isEmpty());
    prompts.error();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("later")});
    EXPECT_TRUE(runCommand([] {}));
}

TEST(Commands, ProgressReportsByTimeAndAlwaysAtTheEnd)
{
    std::vector<uint64_t> shown;
    Progress progress([&](const Progress::Report &r) { shown.push_back(r.done); }, 40);
    progress.start(1000);
    for (int i = 0; i < 999; ++i)
        progress.tick();
    EXPECT_TRUE(shown.empty()); // far quicker than 40 ms
    QThread::msleep(50);
    progress.tick();
    EXPECT_EQ(shown, (std::vector<uint64_t>{1000}));
    progress.start(10);
    progress.advanceTo(3);
    QThread::msleep(50);
    progress.tick();
    EXPECT_EQ(shown.back(), 4u);
    EXPECT_FALSE(progress.stopRequested());
    progress.requestStop();
    EXPECT_TRUE(progress.stopRequested());
}

} // namespace
} // namespace verbana::test
