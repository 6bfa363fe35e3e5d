// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/prompts.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace verbana;

TEST(Prompts, ScriptedAnswersAndTranscript)
{
    test::ScriptedPrompter p;
    p.yes().no().ok().file(QStringLiteral("/tmp/a.bck"));
    EXPECT_TRUE(confirm(QStringLiteral("계속 하시겠습니까?")));
    EXPECT_FALSE(confirm(QStringLiteral("두번째")));
    showInformation(QStringLiteral("완료"));
    EXPECT_EQ(chooseOpenFile(QStringLiteral("열기"), QString(), QString()), QStringLiteral("/tmp/a.bck"));
    EXPECT_EQ(p.texts(), (QStringList{QStringLiteral("계속 하시겠습니까?"), QStringLiteral("두번째"),
                                       QStringLiteral("완료"), QStringLiteral("열기")}));
    EXPECT_EQ(p.shown()[0].kind, PromptKind::Confirmation);
}

// A prompt the test did not expect, or one answered by an answer of another
// kind, fails the test at once instead of being answered.
TEST(Prompts, UnscriptedAndMistypedPromptsFail)
{
    EXPECT_NONFATAL_FAILURE(showInformation(QStringLiteral("아무도 모르는 알림")), "no test scripted");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedPrompter p;
            p.ok();
            EXPECT_FALSE(confirm(QStringLiteral("지울까요?")));
        },
        "met an answer for");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedPrompter p;
            p.yes();
        },
        "never asked for");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedPrompter p;
            QObject window;
            window.setObjectName(QStringLiteral("fmopen"));
            EXPECT_EQ(runModal(&window), 0);
        },
        "unexpected modal window: fmopen");
}

TEST(TestHarness, QtWarningsFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(qWarning("QObject::connect: No such signal"), "Qt warning: QObject::connect");
}
