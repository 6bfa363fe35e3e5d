// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/sermon_editing.h"

#include "editing_helpers.h"
#include "platform/clock.h"
#include "platform/cp949.h"
#include "platform/user_error.h"
#include "store/sermon_record.h"
#include "store/xbase/engine_error.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

using test::cp;
using test::readAll;
using test::TestCollection;
using xbase::TableState;

class SermonEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clock::setFixedNow(QDateTime(QDate(2001, 12, 31), QTime(10, 0)));
        editing.bind(&c.table(), c.folder());
    }
    void TearDown() override { clock::setFixedNow(QDateTime()); }

    TestCollection c{{{"1997.05.05", "첫 설교", "d0\\sul0.RTF"}, {"1998.01.01", "둘째 설교", "d0\\sul1.HWP"}}};
    SermonEditing editing;
};

TEST_F(SermonEditingTest, AddReservesANameDeletesWorkFilesAndDatesToday)
{
    for (const char *name : {"temp.hwp", "TEMP.HWPX", "TEMP.RTF", "temp.txt", "temp.bak"})
        c.writeFile(QLatin1String(name));
    ASSERT_TRUE(editing.add());
    EXPECT_EQ(c.table().State(), TableState::Inserting);
    EXPECT_EQ(editing.PendingManuscript, QStringLiteral("d0\\sul2.RTF"));
    EXPECT_EQ(c.table().GetString(store::fDATE1), QByteArrayLiteral("2001.12.31"));
    for (const char *name : {"temp.hwp", "TEMP.HWPX", "TEMP.RTF", "temp.txt", "temp.bak"})
        EXPECT_FALSE(c.exists(QLatin1String(name))) << name;
}

TEST_F(SermonEditingTest, AddIsRefusedWhileAChangeIsUnderWay)
{
    ASSERT_TRUE(editing.add());
    c.writeFile(QStringLiteral("temp.rtf"));
    EXPECT_FALSE(editing.add());
    EXPECT_TRUE(c.exists(QStringLiteral("temp.rtf"))) << "the pending sermon's manuscript must survive";
    EXPECT_EQ(c.table().State(), TableState::Inserting);
    EXPECT_EQ(c.table().RecCount(), 2u);
}

TEST_F(SermonEditingTest, EditWhileChangingKeepsTheState)
{
    ASSERT_TRUE(editing.edit());
    EXPECT_EQ(c.table().State(), TableState::Editing);
    ASSERT_TRUE(editing.edit());
    EXPECT_EQ(c.table().State(), TableState::Editing);
}

TEST_F(SermonEditingTest, SaveMovesTheWorkFilesOfAnRtfSermon)
{
    ASSERT_TRUE(editing.add());
    c.writeFile(QStringLiteral("temp.RTF"), QByteArrayLiteral("{\\rtf1 x}"));
    c.writeFile(QStringLiteral("temp.txt"), QByteArrayLiteral("x\r\n"));
    c.writeFile(QStringLiteral("temp.hwp"));
    c.table().PutString(store::fCONTEXT, editing.PendingManuscript.toLatin1());
    c.table().PutString(store::fBIBLE1, cp("창12:1-12"));
    EXPECT_EQ(editing.save(cp("창12:1-12")), SermonEditing::SaveResult::Saved);
    EXPECT_EQ(c.table().State(), TableState::Browse);
    EXPECT_TRUE(c.exists(QStringLiteral("data/d0/sul2.RTF")));
    EXPECT_TRUE(c.exists(QStringLiteral("text/d0/sul2.TXT")));
    EXPECT_FALSE(c.exists(QStringLiteral("temp.hwp")));
    EXPECT_EQ(c.storedField(3, store::fBIBLENO), QByteArrayLiteral("01012001  "));
}

TEST_F(SermonEditingTest, SaveOfAnHwpSermonMovesItsWorkCopyAndDeletesALeftOverRtf)
{
    // An HWPX manuscript keeps its extension and has its own work copy.
    struct Case {
        const char *work, *context, *manuscript, *text;
    };
    for (const Case &k : {Case{"temp.hwp", "d0\\sul2.HWP", "data/d0/sul2.HWP", "text/d0/sul2.TXT"},
                          Case{"temp.hwpx", "d0\\sul3.HWPX", "data/d0/sul3.HWPX", "text/d0/sul3.TXT"}}) {
        SCOPED_TRACE(k.context);
        ASSERT_TRUE(editing.add());
        c.writeFile(QLatin1String(k.work), QByteArrayLiteral("HWP"));
        c.writeFile(QStringLiteral("temp.txt"));
        c.writeFile(QStringLiteral("temp.rtf"));
        c.table().PutString(store::fCONTEXT, QByteArray(k.context));
        ASSERT_EQ(editing.save({}), SermonEditing::SaveResult::Saved);
        EXPECT_EQ(readAll(c.folder() + QLatin1Char('/') + QLatin1String(k.manuscript)), QByteArrayLiteral("HWP"));
        EXPECT_TRUE(c.exists(QLatin1String(k.text)));
        EXPECT_FALSE(c.exists(QStringLiteral("temp.rtf")));
    }
}

// Saving never loses the new sermon's manuscript: a work file that cannot
// go to its place, or a post the engine refuses, leaves every work file
// where it was and the sermon still being added.
TEST_F(SermonEditingTest, AFailedSaveKeepsTheWorkFilesAndTheState)
{
    ASSERT_TRUE(editing.add());
    c.writeFile(QStringLiteral("temp.rtf"), QByteArrayLiteral("{\\rtf1 mine}"));
    c.writeFile(QStringLiteral("temp.txt"), QByteArrayLiteral("mine\r\n"));
    c.table().PutString(store::fCONTEXT, editing.PendingManuscript.toLatin1());
    c.writeFile(QStringLiteral("text/d0/sul2.TXT"), QByteArrayLiteral("someone else's"));
    try {
        editing.save({});
        ADD_FAILURE() << "the save went through";
    } catch (const EUserError &e) {
        EXPECT_EQ(e.text(), moveFailedText(c.folder() + QStringLiteral("/temp.txt"),
                                           c.folder() + QStringLiteral("/text/d0/sul2.TXT")));
    }
    EXPECT_EQ(c.table().State(), TableState::Inserting);
    EXPECT_TRUE(c.exists(QStringLiteral("temp.rtf"))) << "the manuscript moved first is put back";
    EXPECT_FALSE(c.exists(QStringLiteral("data/d0/sul2.RTF")));
    EXPECT_TRUE(c.exists(QStringLiteral("temp.txt")));

    QFile(c.folder() + QStringLiteral("/text/d0/sul2.TXT")).remove();
    {
        test::HeldAppendLock lock(c.tablePath());
        EXPECT_THROW(editing.save({}), xbase::EApolloError);
    }
    EXPECT_EQ(c.table().State(), TableState::Inserting);
    EXPECT_TRUE(c.exists(QStringLiteral("temp.rtf")));
    EXPECT_TRUE(c.exists(QStringLiteral("temp.txt")));

    ASSERT_EQ(editing.save({}), SermonEditing::SaveResult::Saved);
    QFile saved(c.folder() + QStringLiteral("/data/d0/sul2.RTF"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArrayLiteral("{\\rtf1 mine}"));
    EXPECT_TRUE(c.exists(QStringLiteral("text/d0/sul2.TXT")));
    EXPECT_EQ(c.table().RecCount(), 3u);
}

TEST_F(SermonEditingTest, SaveWithoutManuscriptMovesNothingAndDeletesTheWorkFiles)
{
    ASSERT_TRUE(editing.add());
    c.writeFile(QStringLiteral("temp.txt"));
    ASSERT_EQ(editing.save({}), SermonEditing::SaveResult::Saved);
    EXPECT_FALSE(c.exists(QStringLiteral("temp.txt")));
    EXPECT_EQ(QDir(c.folder() + QStringLiteral("/text")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
}

TEST_F(SermonEditingTest, RefusedReferenceKeepsTheStateAndWritesNothing)
{
    ASSERT_TRUE(editing.edit());
    c.table().PutString(store::fBIBLENO, QByteArrayLiteral("11111111"));
    for (const char *reference : {"12:1", "창세1:1", "창.12:1", "마29:1"})
        EXPECT_EQ(editing.save(cp(reference)), SermonEditing::SaveResult::BibleRefused) << reference;
    EXPECT_EQ(c.table().State(), TableState::Editing);
    EXPECT_EQ(c.table().GetString(store::fBIBLENO), QByteArrayLiteral("11111111"));
}

TEST_F(SermonEditingTest, EmptiedReferenceKeepsTheOldKey)
{
    ASSERT_TRUE(editing.edit());
    c.table().PutString(store::fBIBLENO, QByteArrayLiteral("19119105"));
    c.table().Post();
    ASSERT_TRUE(editing.edit());
    EXPECT_EQ(editing.save(QByteArrayLiteral(" \t ")), SermonEditing::SaveResult::Saved);
    EXPECT_EQ(c.table().GetString(store::fBIBLENO), QByteArrayLiteral("19119105"));
}

TEST_F(SermonEditingTest, SaveInBrowseDoesNothing)
{
    EXPECT_EQ(editing.save(cp("창1:1")), SermonEditing::SaveResult::NotChanging);
}

TEST_F(SermonEditingTest, CancelledAdditionReturnsToThePreviousSermon)
{
    const uint32_t before = c.table().RecNo();
    ASSERT_TRUE(editing.add());
    c.writeFile(QStringLiteral("temp.txt"));
    editing.cancel();
    EXPECT_EQ(c.table().State(), TableState::Browse);
    EXPECT_EQ(c.table().RecNo(), before);
    EXPECT_FALSE(c.exists(QStringLiteral("temp.txt")));
    EXPECT_EQ(c.table().RecCount(), 2u);
}

TEST_F(SermonEditingTest, DeleteRemovesTheRecordAndItsTwoFiles)
{
    c.table().Go(1);
    c.writeFile(QStringLiteral("data/d0/sul0.RTF"));
    c.writeFile(QStringLiteral("text/d0/sul0.txt"));
    c.writeFile(QStringLiteral("text/d0/sul1.txt"));
    editing.deleteCurrent();
    EXPECT_FALSE(c.exists(QStringLiteral("data/d0/sul0.RTF")));
    EXPECT_FALSE(c.exists(QStringLiteral("text/d0/sul0.txt")));
    EXPECT_TRUE(c.exists(QStringLiteral("text/d0/sul1.txt")));
    EXPECT_EQ(c.recnos(), (std::vector<uint32_t>{2}));
}

TEST_F(SermonEditingTest, DeleteFindsFilesWrittenInAnotherLetterCase)
{
    c.table().Go(2);
    c.writeFile(QStringLiteral("data/D0/SUL1.hwp"));
    c.writeFile(QStringLiteral("text/D0/SUL1.TXT"));
    editing.deleteCurrent();
    EXPECT_FALSE(c.exists(QStringLiteral("data/D0/SUL1.hwp")));
    EXPECT_FALSE(c.exists(QStringLiteral("text/D0/SUL1.TXT")));
}

TEST_F(SermonEditingTest, DeletingASermonWithoutManuscriptLeavesTheFoldersAlone)
{
    c.table().Go(1);
    ASSERT_TRUE(editing.edit());
    c.table().PutString(store::fCONTEXT, QByteArray());
    c.table().Post();
    c.writeFile(QStringLiteral("data/d0/sul5.RTF"));
    c.writeFile(QStringLiteral("text/d0/sul5.txt"));
    editing.deleteCurrent();
    EXPECT_TRUE(c.exists(QStringLiteral("data/d0/sul5.RTF")));
    EXPECT_TRUE(c.exists(QStringLiteral("text/d0/sul5.txt")));
    EXPECT_EQ(c.recnos(), (std::vector<uint32_t>{2}));
}

TEST_F(SermonEditingTest, AManuscriptNameLeavingTheCollectionIsNeverDeleted)
{
    c.table().Go(1);
    ASSERT_TRUE(editing.edit());
    c.table().PutString(store::fCONTEXT, QByteArrayLiteral("..\\..\\keep.txt"));
    c.table().Post();
    QFile keep(c.programFolder() + QStringLiteral("/keep.txt"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    editing.deleteCurrent();
    EXPECT_TRUE(keep.exists());
}

TEST(CheckBibleNoTest, WorkedKeysAreStored)
{
    TestCollection c;
    c.table().Append();
    const std::pair<const char *, const char *> keys[] = {
        {"창12:1-12", "01012001"}, {"창 1 : 2", "01001002"}, {"요한계시록", "66001001"}, {"데살로니가전서5:16-18", "52005016"}};
    for (const auto &[reference, key] : keys) {
        EXPECT_TRUE(CheckBibleNo(c.table(), cp(reference))) << reference;
        EXPECT_EQ(c.table().GetString(store::fBIBLENO), QByteArray(key)) << reference;
    }
    c.table().Cancel();
}

} // namespace
} // namespace verbana::editing
