// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verbana_application.h"
#include "platform/fonts.h"

#include "store/xbase/engine_error.h"
#include "support/scripted_prompter.h"

#include <QCalendarWidget>
#include <QDate>
#include <QFont>
#include <QLocale>

#include <gtest/gtest.h>

namespace verbana {
namespace {

TEST(ApplicationTest, UncaughtUserErrorsReachTheGeneralErrorBox)
{
    test::ScriptedPrompter prompts;
    prompts.error();
    const bool handled = deliverShowingErrors([]() -> bool {
        throw xbase::EApolloError(QStringLiteral("Record Lock Failure. May be locked by another user or task."));
    });
    EXPECT_FALSE(handled);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].kind, PromptKind::Error);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("Record Lock Failure. May be locked by another user or task."));
}

TEST(ApplicationTest, EventsWithoutErrorsPassThrough)
{
    test::ScriptedPrompter prompts;
    EXPECT_TRUE(deliverShowingErrors([] { return true; }));
}

TEST(ApplicationTest, GulimcheIsShownInANanumFont)
{
    installFontSubstitutions();
    EXPECT_EQ(QFont::substitutes(QStringLiteral("굴림체")).value(0).toLower(), QStringLiteral("nanumgothiccoding"));
}

} // namespace
} // namespace verbana

namespace verbana {
namespace {

// Window titles are exactly their captions (no " — Verbana" added by the
// platform), and the boxes' context menus and standard dialogs speak Korean.
TEST(ApplicationTest, ConfiguredForKoreanWithTitlesAsGiven)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(configureApplication(*app));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Verbana"));
    // A display name set on its own would be appended to every title; one
    // that only follows the application's name is not.
    QCoreApplication::setApplicationName(QStringLiteral("Verbana-test"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Verbana-test"));
    QCoreApplication::setApplicationName(QStringLiteral("Verbana"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("실행 취소(&U)"));
    // Korean dates and weekdays under any system locale (the tests run
    // under C): the calendar heads its weeks 일 월 화 …
    QCalendarWidget calendar;
    EXPECT_EQ(calendar.locale().dayName(7, QLocale::ShortFormat), QStringLiteral("일"));
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat), QStringLiteral("26. 12. 9."));
}

} // namespace
} // namespace verbana
