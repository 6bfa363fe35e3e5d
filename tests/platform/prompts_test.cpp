// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/prompts.h"
#include "support/scripted_prompter.h"

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
