// SPDX-License-Identifier: GPL-3.0-or-later
// Putting a restored collection in place: the collection it replaces is
// set aside until the new one stands under its name, and working folders
// left by an interrupted run are cleared without losing a collection.
#include "backup/collection_restore.h"

#include "../store/program_folder.h"
#include "support/scripted_prompter.h"
#include "platform/files.h"
#include "store/collection_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace verbana::backup {
namespace {

class PlaceTest : public test::ProgramFolderTest {
protected:
    QByteArray read(const QString &name)
    {
        QFile f(pf(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(PlaceTest, TheReplacedCollectionIsSetAsideUntilTheRestoredOneIsInPlace)
{
    makeCollection(QStringLiteral("주일설교"));
    writeFile(pf(QStringLiteral("주일설교/text/old.txt")), "old");
    auto mark = RestoreMark::begin(QStringLiteral("주일설교"), rebackFolder());
    ASSERT_TRUE(mark.ok()) << mark.reason().toStdString();
    // As a BCK restore leaves it: the full stored path below _reback.
    makeCollection(QStringLiteral("_reback/home/user/verbana/주일설교"));
    writeFile(pf(QStringLiteral("_reback/home/user/verbana/주일설교/text/new.txt")), "new");
    test::ScriptedPrompter prompts;
    bool asideWhileReplaced = false;
    EXPECT_EQ(placeRestoredCollection(*mark.value(), rebackFolder(),
                                      [&] {
                                          asideWhileReplaced = QFile::exists(pf(QStringLiteral("_delete/text/old.txt")))
                                                               && QFile::exists(pf(QStringLiteral("주일설교/text/new.txt")));
                                      }),
              Placement::Placed);
    EXPECT_TRUE(asideWhileReplaced);
    mark.value().reset();
    EXPECT_EQ(QDir(pf()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("주일설교")});
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("_delete")});
    EXPECT_EQ(read(QStringLiteral("주일설교/text/new.txt")), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("주일설교/text/old.txt"))));
}

// Where no trash takes the replaced collection, it goes for good only when
// the user says so; kept, it stands under a name of its own.
TEST_F(PlaceTest, AReplacedCollectionNoTrashTakesIsKeptUnlessTheUserSaysOtherwise)
{
    files::setTrashForTesting([](const QString &) { return false; });
    for (const bool forGood : {false, true}) {
        makeCollection(QStringLiteral("주일설교"));
        writeFile(pf(QStringLiteral("주일설교/text/old.txt")), "old");
        auto mark = RestoreMark::begin(QStringLiteral("주일설교"), rebackFolder());
        ASSERT_TRUE(mark.ok()) << mark.reason().toStdString();
        makeCollection(QStringLiteral("_reback/주일설교"));
        test::ScriptedPrompter prompts;
        if (forGood)
            prompts.yes();
        else
            prompts.no().ok();
        EXPECT_EQ(placeRestoredCollection(*mark.value(), rebackFolder(), [] {}), Placement::Placed);
        mark.value().reset();
        const QStringList texts = prompts.texts();
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.first(), store::trashRefusedQuestion(QDir::toNativeSeparators(deleteFolder())));
        if (forGood) {
            EXPECT_EQ(QDir(pf()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("주일설교")});
        } else {
            EXPECT_EQ(texts.last(), QStringLiteral("임시보관해두었던 기존 설교집을\r\"되찾은 설교집\"(으)로 남겨 두었습니다."));
            EXPECT_EQ(read(QStringLiteral("되찾은 설교집/text/old.txt")), QByteArray("old"));
            ASSERT_TRUE(QDir(pf(QStringLiteral("되찾은 설교집"))).removeRecursively());
        }
        EXPECT_FALSE(QFile::exists(deleteFolder()));
    }
    files::setTrashForTesting({});
}

TEST_F(PlaceTest, RestoredFilesWithoutACollectionChangeNothing)
{
    makeCollection(QStringLiteral("주일설교"));
    auto mark = RestoreMark::begin(QStringLiteral("주일설교"), rebackFolder());
    ASSERT_TRUE(mark.ok());
    writeFile(pf(QStringLiteral("_reback/home/notes.txt")), "x");
    test::ScriptedPrompter prompts;
    prompts.error();
    int called = 0;
    EXPECT_EQ(placeRestoredCollection(*mark.value(), rebackFolder(), [&] { ++called; }),
              Placement::NoCollection);
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("백업파일에 설교집이 없습니다.\r기존 설교집은 그대로 두었습니다.")});
    EXPECT_EQ(called, 0);
    EXPECT_TRUE(QFile::exists(pf(QStringLiteral("주일설교/sul2file.dbf"))));
    EXPECT_FALSE(QFile::exists(deleteFolder()));
}

// A "_reback" is only copies and goes; a "_delete" may be the only copy of
// a collection and comes back under a free name.
TEST_F(PlaceTest, LeftoversAreClearedWithoutLosingACollection)
{
    writeFile(pf(QStringLiteral("_reback/a/b.txt")), "copy");
    makeCollection(QStringLiteral("_delete"));
    makeCollection(QStringLiteral("되찾은 설교집"));
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_TRUE(clearLeftoverFolders());
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("지난번에 끝나지 못한 재생에서 임시보관해두었던 설교집을\r"
                                                          "\"되찾은 설교집 2\"(으)로 되살려 두었습니다.")});
    EXPECT_FALSE(QFile::exists(rebackFolder()));
    EXPECT_FALSE(QFile::exists(deleteFolder()));
    EXPECT_TRUE(QFile::exists(pf(QStringLiteral("되찾은 설교집 2/sul2file.dbf"))));
    EXPECT_TRUE(trashed().isEmpty());
    EXPECT_TRUE(clearLeftoverFolders()); // nothing left: silent
}

TEST_F(PlaceTest, NewNamesMustBeFreeAndHoldableInCp949)
{
    makeCollection(QStringLiteral("Sunday"));
    const QString empty = QStringLiteral("empty"), exists = QStringLiteral("exists");
    EXPECT_EQ(newCollectionNameProblem(QString(), empty, exists), empty);
    EXPECT_EQ(newCollectionNameProblem(QStringLiteral("SUNDAY"), empty, exists), exists);
    EXPECT_EQ(newCollectionNameProblem(QStringLiteral("_delete"), empty, exists),
              QStringLiteral("파일명의 첫문자로 ( _ )나 ( . )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오."));
    EXPECT_EQ(newCollectionNameProblem(QStringLiteral("설교😀"), empty, exists),
              QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.\r(😀)"));
    EXPECT_EQ(newCollectionNameProblem(QStringLiteral("새 설교"), empty, exists), QString());
    EXPECT_EQ(withoutCharacters(QStringLiteral("a.b?"), QStringLiteral(".?")), QStringLiteral("ab"));
}

} // namespace
} // namespace verbana::backup
