// SPDX-License-Identifier: GPL-3.0-or-later
// The 파일 menu's backup items: the open table is closed while a backup
// window is up and opened again afterwards, on the restored files when the
// open collection was restored.
#include "app/backup_commands.h"
#include "app/collection_commands.h"

#include "backup/backup_file.h"
#include "backup/ui/tfmbumain.h"
#include "backup/ui/tfmreback2.h"
#include "editing/tfmverbdesk.h"
#include "platform/paths.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace verbana {
namespace {

class BackupCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(tmp.path());
        savedDataHome = qgetenv("XDG_DATA_HOME");
        QDir().mkpath(tmp.path() + QStringLiteral("/xdg"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/xdg")));
        folder = tmp.path() + QStringLiteral("/주일 설교");
        QDir().mkpath(folder + QStringLiteral("/data"));
        QDir().mkpath(folder + QStringLiteral("/text"));
        xbase::TApolloTable creator;
        ASSERT_EQ(store::createSermonTableFile(creator, folder + QStringLiteral("/sul2file.dbf")), 1);
        append(2);
    }
    void TearDown() override
    {
        paths::setProgramFolder(QString());
        if (savedDataHome.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedDataHome);
    }
    void append(int n)
    {
        xbase::TApolloTable t;
        t.DatabaseName = folder;
        t.TableName = QStringLiteral("sul2file.dbf");
        t.Open();
        for (int i = 0; i < n; ++i) {
            t.Append();
            t.PutString("TITLE1", QByteArray("title"));
            t.Post();
        }
        t.Close();
    }

    QTemporaryDir tmp;
    QString folder;
    QByteArray savedDataHome;
    store::CollectionDocument document;
    std::unique_ptr<editing::Tfmverbdesk> window = std::make_unique<editing::Tfmverbdesk>(document);
    CollectionCommands commands{*window};
    BackupCommands backups{*window};
};

TEST_F(BackupCommandsTest, TheItemsStandBeforeTheDietAndRefuseWhileEditing)
{
    QStringList captions;
    for (QAction *a : window->fileMenu()->actions())
        captions << a->text();
    const qsizetype zip = captions.indexOf(QStringLiteral("백업 저장 / 재생 (ZIP)"));
    ASSERT_GT(zip, 0);
    EXPECT_EQ(captions[zip - 1], QString()); // the separator
    EXPECT_EQ(captions[zip + 1], QStringLiteral("백업 저장 / 재생 (BCK)"));
    EXPECT_EQ(captions[zip + 2], QStringLiteral("파일 다이어트"));

    ASSERT_TRUE(document.OpenCollection(folder + QStringLiteral("/sul2file.dbf")));
    window->mnEditClick();
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    window->findChild<QAction *>(QStringLiteral("mnBck"))->trigger();
    window->findChild<QAction *>(QStringLiteral("mnZip"))->trigger();
    const QString refusal = QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.");
    EXPECT_EQ(prompts.texts(), (QStringList{refusal, refusal}));
    EXPECT_TRUE(document.isOpen());
    window->mnCancelClick();
}

// The open collection restored from an older backup: the table is closed
// while the window works and the main window shows the restored sermons.
TEST_F(BackupCommandsTest, RestoringTheOpenCollectionReopensItOnTheRestoredFiles)
{
    TBackupFile component;
    const QString archive = tmp.path() + QStringLiteral("/old.bck");
    ASSERT_TRUE(component.Backup({folder + QStringLiteral("/*.* /s")}, archive));
    append(3);
    ASSERT_TRUE(document.OpenCollection(folder + QStringLiteral("/sul2file.dbf")));
    ASSERT_EQ(document.table().Count(), 5u);

    test::ScriptedPrompter prompts;
    prompts.modal(QStringLiteral("fmBUmain"), [&](QWidget &w) {
        auto &dlg = static_cast<backup::ui::TfmBUmain &>(w);
        EXPECT_FALSE(document.isOpen());
        EXPECT_EQ(window->table(), nullptr);
        dlg.setFolder(tmp.path());
        dlg.FileListBox1->setCurrentRow(0);
        QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
        QTest::mouseClick(dlg.btnClose2, Qt::LeftButton);
    });
    prompts.modal(QStringLiteral("fmreback2"), [](QWidget &w) {
        auto &where = static_cast<backup::ui::Tfmreback2 &>(w);
        EXPECT_EQ(where.ListBox1->currentItem(), nullptr);
        where.ListBox1->setCurrentRow(0);
        EXPECT_EQ(where.ListBox1->currentItem()->text(), QStringLiteral("주일 설교"));
        QTest::mouseClick(where.btnOK, Qt::LeftButton);
    });
    prompts.ok().ok().ok();
    window->findChild<QAction *>(QStringLiteral("mnBck"))->trigger();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("백업파일 재생 완료"));
    ASSERT_TRUE(document.isOpen());
    EXPECT_EQ(window->table(), &document.table());
    EXPECT_EQ(document.table().Count(), 2u);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana - 주일 설교"));
}

// An archive opened from the desktop: the window comes up on its restore
// page with that archive chosen among the others of its folder.
TEST_F(BackupCommandsTest, AnArchiveOpenedFromTheDesktopIsChosenOnTheRestorePage)
{
    TBackupFile component;
    for (const char *name : {"a.bck", "b.BCK"})
        ASSERT_TRUE(component.Backup({folder + QStringLiteral("/*.* /s")}, tmp.path() + QLatin1Char('/') + QLatin1String(name)));
    test::ScriptedPrompter prompts;
    prompts.modal(QStringLiteral("fmBUmain"), [&](QWidget &w) {
        auto &dlg = static_cast<backup::ui::TfmBUmain &>(w);
        EXPECT_EQ(dlg.PageControl1->currentIndex(), 1);
        EXPECT_EQ(dlg.folder(), QDir(tmp.path()).absolutePath());
        ASSERT_NE(dlg.FileListBox1->currentItem(), nullptr);
        EXPECT_EQ(dlg.FileListBox1->currentItem()->text(), QStringLiteral("b.BCK"));
        dlg.reject();
    });
    backups.restoreArchive(tmp.path() + QStringLiteral("/b.BCK"));
}

// When the table cannot be opened again the collection is closed.
TEST_F(BackupCommandsTest, ACollectionThatCannotBeReopenedIsClosed)
{
    ASSERT_TRUE(document.OpenCollection(folder + QStringLiteral("/sul2file.dbf")));
    test::ScriptedPrompter prompts;
    prompts.modal(QStringLiteral("fmZip"), [&](QWidget &w) {
        QDir(folder).removeRecursively();
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    prompts.ok();
    window->findChild<QAction *>(QStringLiteral("mnZip"))->trigger();
    EXPECT_FALSE(document.isOpen());
    EXPECT_TRUE(document.collectionFolder().isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
}

} // namespace
} // namespace verbana
