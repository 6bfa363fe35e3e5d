// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the open collection together: start-up reopens the
// last collection, and the collection and upkeep commands keep the window
// bound to the table while it is open.
#include "app/collection_commands.h"

#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "search/gathering.h"
#include "settings/profile.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "support/read_only_media.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QAbstractButton>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

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
    store::CollectionDocument document;
    std::unique_ptr<editing::Tfmverbdesk> window = std::make_unique<editing::Tfmverbdesk>(document);
    CollectionCommands commands{*window};
};

TEST_F(CollectionCommandsTest, StartReopensTheLastCollectionAndBindsTheWindow)
{
    EXPECT_FALSE(action("mnClose")->isEnabled());
    EXPECT_FALSE(commands.sortMenu()->isEnabled());
    commands.start();
    ASSERT_TRUE(document.isOpen());
    EXPECT_EQ(window->table(), &document.table());
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
    EXPECT_EQ(document.table().IndexOrd(), document.table().TagArea("title1"));
    commands.mnCloseClick();
    EXPECT_FALSE(document.isOpen());
    EXPECT_EQ(window->table(), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
    EXPECT_FALSE(commands.sortMenu()->isEnabled());
}

// A gathering stays through a change of order and is gone after the file
// diet, which closes the table and opens it again.
TEST_F(CollectionCommandsTest, AGatheringOutlivesTheOrderButNotTheDiet)
{
    commands.start();
    ASSERT_TRUE(search::gatherFields(document, {{"TITLE1", cp949::encode(QStringLiteral("가운데")).bytes}}, true));
    document.setHighlightTerms(QStringLiteral("가운데"));
    commands.sortClick(2);
    EXPECT_EQ(document.table().DBFilter(), QByteArray("(\"") + cp949::encode(QStringLiteral("가운데")).bytes +
                                              QByteArray("\" $ UPPER(TITLE1))"));
    EXPECT_EQ(document.table().Count(), 1u);
    test::ScriptedPrompter prompts;
    prompts.ok();
    commands.mnDietClick();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("파일 다이어트 완료")});
    EXPECT_EQ(document.table().DBFilter(), QByteArray());
    EXPECT_EQ(document.table().Count(), 3u);
    EXPECT_TRUE(document.highlightTerms().isEmpty());
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
    ASSERT_TRUE(document.isOpen());
    EXPECT_EQ(window->table(), &document.table());

    window->mnEditClick();
    ASSERT_TRUE(window->changing());
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    commands.mnCloseClick();
    commands.sortClick(2);
    const QString refusal = QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.");
    EXPECT_EQ(prompts.texts(), (QStringList{refusal, refusal}));
    EXPECT_TRUE(document.isOpen());
    EXPECT_EQ(window->table(), &document.table());
    window->mnCancelClick();
}

// A refused 인덱스 재생성 or 파일 다이어트 changes nothing: the sermon being
// added keeps its save panel, its list and its reserved manuscript name.
TEST_F(CollectionCommandsTest, RefusedUpkeepLeavesTheAdditionAsItWas)
{
    commands.start();
    window->show();
    window->mnAppendClick();
    const QString pending = window->PendingManuscript();
    ASSERT_FALSE(pending.isEmpty());
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    action("mnReindex")->trigger();
    action("mnDiet")->trigger();
    EXPECT_EQ(prompts.texts().size(), 2);
    EXPECT_TRUE(window->changing());
    EXPECT_EQ(window->PendingManuscript(), pending);
    EXPECT_TRUE(window->findChild<QWidget *>(QStringLiteral("pnlSave"))->isVisible());
    EXPECT_EQ(window->findChild<QTableView *>(QStringLiteral("DBGrid1"))->model()->rowCount(), 3);
    window->mnCancelClick();
}

// A failed opening of another collection closes the first, but the first
// is still the one the next start reopens.
TEST_F(CollectionCommandsTest, AFailedOpeningStillRemembersTheEarlierCollection)
{
    commands.start();
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_FALSE(document.OpenCollection(tmp.path() + QStringLiteral("/없는 설교집/sul2file.dbf")));
    EXPECT_EQ(window->table(), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
    prompts.yes();
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settings::Profile(tmp.path() + QStringLiteral("/verbdesk.ini"))
                  .readString(QStringLiteral("file"), QStringLiteral("last")),
              QStringLiteral("주일 설교"));
}

// While the open dialog is up the window still shows the open collection;
// the toolbar's picture button opens the dialog just below the toolbar.
TEST_F(CollectionCommandsTest, TheOpenDialogLeavesTheCollectionShownUntilAnotherOpens)
{
    commands.start();
    window->show();
    auto *button = window->findChild<QAbstractButton *>(QStringLiteral("btnOpen"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("설교집 열기"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("설교집 열기"));
    auto *create = window->findChild<QAbstractButton *>(QStringLiteral("btnCreate"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->toolTip(), QStringLiteral("설교원고들을 저장할\r\n 새 설교집 만들기"));
    const QPoint anchor = window->findChild<QWidget *>(QStringLiteral("pbProgress"))->mapToGlobal(QPoint(0, 1));
    test::ScriptedPrompter prompts;
    prompts.modal(QStringLiteral("fmopen"), [&](QWidget &dialog) {
        EXPECT_EQ(dialog.pos(), QPoint(window->mapToGlobal(QPoint(4, 0)).x(), anchor.y()));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana - 주일 설교"));
        EXPECT_EQ(window->table(), &document.table());
        EXPECT_EQ(window->findChild<QTableView *>(QStringLiteral("DBGrid1"))->model()->rowCount(), 3);
        EXPECT_FALSE(window->findChild<QLineEdit *>(QStringLiteral("TITLE1"))->text().isEmpty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(window->table(), &document.table());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana - 주일 설교"));
}

// A collection that cannot be written is shown with every command that
// would change it off, and says so when one is reached all the same.
TEST_F(CollectionCommandsTest, AReadOnlyCollectionIsShownButNotChanged)
{
    test::ReadOnlyMedia media;
    document.table().setFileSystem(&media);
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    commands.start();
    ASSERT_TRUE(document.isReadOnly());
    EXPECT_EQ(window->findChild<QTableView *>(QStringLiteral("DBGrid1"))->model()->rowCount(), 3);
    for (const char *name : {"mnAppend", "mnEdit", "mnDelete", "mnDiet", "mnReindex"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char *name : {"btnAppend", "btnEdit", "btnDelete"})
        EXPECT_FALSE(window->findChild<QAbstractButton *>(QLatin1String(name))->isEnabled()) << name;
    EXPECT_TRUE(action("mnSort4")->isEnabled());
    window->mnAppendClick();
    EXPECT_EQ(prompts.texts(), (QStringList{store::readOnlyMessage(), store::readOnlyRefusal()}));
    EXPECT_EQ(document.table().RecCount(), 3u);
    document.CloseCollection();
    document.table().setFileSystem(nullptr);
}

} // namespace
} // namespace verbana
