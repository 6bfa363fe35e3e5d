// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verbana_application.h"
#include "platform/dialog_prompter.h"
#include "platform/fonts.h"

#include "store/xbase/engine_error.h"
#include "support/scripted_prompter.h"

#include <QCalendarWidget>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAbstractProxyModel>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFont>
#include <QTemporaryDir>
#include <QTest>
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
    // The desktop finds the window's menu entry and icon by this name.
    EXPECT_TRUE(QFileInfo(QStringLiteral(VERBANA_DESKTOP_DIR "/") + QGuiApplication::desktopFileName()
                          + QStringLiteral(".desktop"))
                    .isFile());
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

// Qt's own file dialog writes dates in the system's locale; ours in the
// program's, and names folders in Korean.
TEST(ApplicationTest, FileChoosersShowKoreanDates)
{
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    QTemporaryDir dir;
    const QString archive = dir.path() + QStringLiteral("/가을.zip");
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QDateTime when(QDate(2026, 12, 9), QTime(14, 30));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("설교")));

    QFileDialog dialog(nullptr, QStringLiteral("압축 해제"), dir.path(), QStringLiteral("*.zip"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    showDatesInKorean(dialog);
    auto *files = dialog.findChild<QFileSystemModel *>();
    ASSERT_NE(files, nullptr);
    const auto shown = [&](const QString &path, int column) {
        return dialog.proxyModel()->mapFromSource(files->index(path, column)).data().toString();
    };
    QTRY_COMPARE(shown(archive, 3), QLocale().toString(when, QLocale::ShortFormat));
    EXPECT_FALSE(shown(archive, 3).contains(QStringLiteral("Dec")));
    QTRY_COMPARE(shown(dir.path() + QStringLiteral("/설교"), 2), QStringLiteral("폴더"));
}

} // namespace
} // namespace verbana
