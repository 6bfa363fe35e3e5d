// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the open collection together: start-up reopens the
// last collection, and the collection and upkeep commands keep the window
// bound to the table while it is open.
#include "app/collection_commands.h"

#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "settings/profile.h"
#include "store/collection_session.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verbana {
namespace {

class CollectionCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(tmp.path());
        const QString dir = tmp.path() + QStringLiteral("/주일 설교");
        QDir().mkpath(dir + QStringLiteral("/data"));
        QDir().mkpath(dir + QStringLiteral("/text"));
        xbase::TApolloTable creator;
        ASSERT_EQ(store::createSermonTableFile(creator, dir + QStringLiteral("/sul2file.dbf")), 1);
        xbase::TApolloTable t;
        t.DatabaseName = dir;
        t.TableName = QStringLiteral("sul2file.dbf");
        t.Open();
        for (const char *title : {"나중 제목", "가운데 제목", "처음 제목"}) {
            t.Append();
            t.PutString("TITLE1", cp949::encode(QString::fromUtf8(title)).bytes);
            t.Post();
        }
        t.Close();
        settings::Profile(tmp.path() + QStringLiteral("/verbdesk.ini"))
            .writeString(QStringLiteral("file"), QStringLiteral("last"), QStringLiteral("주일 설교"));
    }
    void TearDown() override { paths::setProgramFolder(QString()); }

    QAction *action(const char *name) { return window->findChild<QAction *>(QLatin1String(name)); }

    QTemporaryDir tmp;
    store::CollectionSession session;
    std::unique_ptr<editing::Tfmverbdesk> window = std::make_unique<editing::Tfmverbdesk>();
    CollectionCommands commands{*window, session};
};

TEST_F(CollectionCommandsTest, StartReopensTheLastCollectionAndBindsTheWindow)
{
    EXPECT_FALSE(action("mnClose")->isEnabled());
    EXPECT_FALSE(commands.sortMenu()->isEnabled());
    commands.start();
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(window->table(), &session.table());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana - 주일 설교"));
    EXPECT_TRUE(action("mnClose")->isEnabled());
    EXPECT_TRUE(commands.sortMenu()->isEnabled());
    // The file menu holds the collection commands before 종료.
    const QList<QAction *> file = window->fileMenu()->actions();
    EXPECT_EQ(file.first()->text(), QStringLiteral("설교집 열기"));
    EXPECT_EQ(file.last(), window->exitAction());
}

TEST_F(CollectionCommandsTest, CloseUnbindsAndSortOrdersApply)
{
    commands.start();
    commands.sortClick(2); // 제목 순서대로
    EXPECT_EQ(session.table().IndexOrd(), session.table().TagArea("title1"));
    commands.mnCloseClick();
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(window->table(), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
    EXPECT_FALSE(commands.sortMenu()->isEnabled());
}

TEST_F(CollectionCommandsTest, UpkeepRebindsAndEditingRefusesTheCommands)
{
    commands.start();
    {
        test::ScriptedPrompter prompts;
        prompts.ok();
        commands.mnReindexClick();
        EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("인덱스 재생성 완료")});
    }
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(window->table(), &session.table());

    window->mnEditClick();
    ASSERT_TRUE(window->changing());
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    commands.mnCloseClick();
    commands.sortClick(2);
    const QString refusal = QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.");
    EXPECT_EQ(prompts.texts(), (QStringList{refusal, refusal}));
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(window->table(), &session.table());
    window->mnCancelClick();
}

} // namespace
} // namespace verbana
