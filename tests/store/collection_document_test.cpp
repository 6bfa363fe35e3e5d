// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and closing collections: the table, the folder, the title,
// usefile.sys and the state signal.
#include "program_folder.h"
#include "store_helpers.h"
#include "support/fixtures.h"
#include "support/read_only_media.h"
#include "support/scripted_prompter.h"

#include "store/collection_files.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace verbana;
using namespace verbana::store;
using verbana::test::k;

namespace {

class Session : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        qRegisterMetaType<bool>();
    }
    QString missingMessage(const QString &folder) const
    {
        return folder + QStringLiteral(" 파일이 없습니다.\r[파일]메뉴의 [파일열기]을 선택하여 파일을 다시 여십시오.");
    }
    QString grace()
    {
        const QString path = makeCollection(QStringLiteral("Grace1 설교"));
        auto t = test::openTable(path);
        test::appendSermons(*t, {{"1999.05.02", "둘째"}, {"1999.12.25", "마지막"}, {"1998.01.04", "첫째"}});
        t->Close();
        return path;
    }
};

TEST_F(Session, OpensAtTheGreatestDateWrittenAndNamesTheCollection)
{
    const QString path = grace();
    CollectionDocument s;
    QSignalSpy state(&s, &CollectionDocument::collectionStateChanged);
    QSignalSpy title(&s, &CollectionDocument::titleChanged);
    ASSERT_TRUE(s.OpenCollection(path));

    EXPECT_TRUE(s.isOpen());
    EXPECT_FALSE(s.table().Exclusive);
    EXPECT_EQ(s.table().IndexOrd(), s.table().TagArea("date1"));
    EXPECT_EQ(s.table().GetString("TITLE1"), k("마지막"));
    EXPECT_EQ(s.collectionFolder(), pf(QStringLiteral("Grace1 설교")));
    EXPECT_EQ(s.openedTablePath(), path);
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Verbana - GRACE1 설교"));
    EXPECT_EQ(s.lastCollection(), QStringLiteral("GRACE1 설교"));
    EXPECT_EQ(test::readAll(pf(QStringLiteral("usefile.sys"))), k("GRACE1 설교") + "\r\n");
    ASSERT_EQ(state.size(), 1);
    EXPECT_TRUE(state[0][0].toBool());
    ASSERT_EQ(title.size(), 1);
    EXPECT_EQ(title[0][0].toString(), QStringLiteral("Verbana - GRACE1 설교"));
}

TEST_F(Session, MissingTableIsReportedAndKeepsUseFile)
{
    writeFile(pf(QStringLiteral("usefile.sys")), "OLD\r\n");
    test::ScriptedPrompter prompts;
    prompts.ok();
    CollectionDocument s;
    QSignalSpy state(&s, &CollectionDocument::collectionStateChanged);
    EXPECT_FALSE(s.OpenCollection(pf(QStringLiteral("없는 설교집/sul2file.dbf"))));
    EXPECT_EQ(prompts.texts(), QStringList{missingMessage(pf(QStringLiteral("없는 설교집")))});
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Verbana"));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(test::readAll(pf(QStringLiteral("usefile.sys"))), QByteArray("OLD\r\n"));
    ASSERT_EQ(state.size(), 1);
    EXPECT_FALSE(state[0][0].toBool());
}

TEST_F(Session, EmptyNameNamesTheProgramFolder)
{
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    CollectionDocument s;
    EXPECT_FALSE(s.openNamedCollection(QString()));
    EXPECT_EQ(prompts.texts(),
              (QStringList{missingMessage(pf()), QStringLiteral("파일이 알맞지 않습니다.")}));
}

TEST_F(Session, FailedOpeningOfAnotherLeavesNoCollection)
{
    const QString path = grace();
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(path));
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_FALSE(s.OpenCollection(pf(QStringLiteral("gone/sul2file.dbf"))));
    EXPECT_FALSE(s.isOpen());
    // The closed collection is not the open one any more (the open dialog
    // lists it again), but it is still the one to reopen at the next start.
    EXPECT_TRUE(s.collectionFolder().isEmpty());
    EXPECT_TRUE(s.openedTablePath().isEmpty());
    EXPECT_TRUE(s.openLabel().isEmpty());
    EXPECT_EQ(s.lastCollection(), QStringLiteral("GRACE1 설교"));
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Verbana"));
    EXPECT_EQ(test::readAll(pf(QStringLiteral("usefile.sys"))), k("GRACE1 설교") + "\r\n");
}

TEST_F(Session, MissingIndexGetsItsFourTagsAndAPresentOneIsKept)
{
    const QString path = makeCollection(QStringLiteral("new"), false);
    {
        auto t = test::openTable(path);
        test::appendSermons(*t, {{"2000.01.01", "b", "", "2000.02.01"}, {"1999.01.01", "a", "", "1999.02.01"}});
    }
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(path));
    ASSERT_EQ(s.table().TagCount(), 4);
    const char *names[] = {"TITLE1", "DATE1", "DATE2", "BIBLENO"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.table().TagName(i + 1), QByteArray(names[i]));
    EXPECT_EQ(s.table().GetString("TITLE1"), QByteArray("b"));
    s.CloseCollection();

    const QByteArray index = test::readAll(pf(QStringLiteral("new/sul2file.cdx")));
    ASSERT_TRUE(s.OpenCollection(path));
    s.CloseCollection();
    EXPECT_EQ(test::readAll(pf(QStringLiteral("new/sul2file.cdx"))), index);
}

// A damaged index is set aside by the opening and made again at once: the
// sermon table's tags are known.
TEST_F(Session, ADamagedIndexIsSetAsideAndRebuiltAtOnce)
{
    const QString path = grace();
    writeFile(pf(QStringLiteral("Grace1 설교/sul2file.cdx")), QByteArray(1536, '\x5a'));
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(path));
    EXPECT_EQ(s.table().TagCount(), 4);
    EXPECT_EQ(s.table().IndexOrd(), s.table().TagArea("date1"));
    EXPECT_EQ(s.table().GetString("TITLE1"), k("마지막"));
    EXPECT_EQ(QDir(pf(QStringLiteral("Grace1 설교"))).entryList({QStringLiteral("sul2file.cdx.damaged-*")}).size(), 1);
}

// A collection on read-only media opens for reading: in date order with
// its index, in record order without one or with one out of step, and
// nothing in its folder changes.
TEST_F(Session, ACollectionThatCannotBeWrittenOpensReadOnly)
{
    const QString path = grace();
    const QString folder = pf(QStringLiteral("Grace1 설교"));
    const QString index = folder + QStringLiteral("/sul2file.cdx");
    test::ReadOnlyMedia media;
    auto openAndCheck = [&](bool indexed, const QByteArray &title, uint32_t count) {
        const QByteArray table = test::readAll(path);
        test::ScriptedPrompter prompts;
        prompts.ok();
        CollectionDocument s;
        s.table().setFileSystem(&media);
        ASSERT_TRUE(s.OpenCollection(path));
        EXPECT_TRUE(s.isReadOnly());
        EXPECT_EQ(prompts.texts(), QStringList{readOnlyMessage()});
        EXPECT_EQ(s.table().IndexOrd(), indexed ? 2 : 0);
        EXPECT_EQ(s.table().TagCount(), indexed ? 4 : 0);
        EXPECT_EQ(s.table().GetString("TITLE1"), title);
        EXPECT_EQ(s.table().RecCount(), count);
        EXPECT_THROW(s.table().Append(), xbase::EApolloError);
        s.CloseCollection();
        EXPECT_EQ(test::readAll(path), table);
    };
    openAndCheck(true, k("마지막"), 3);

    // A sermon the index does not know of: the index is not trusted.
    const QByteArray before = test::readAll(index);
    test::appendSermons(*test::openTable(path), {{"1990.01.01", "덧붙임"}});
    writeFile(index, before);
    openAndCheck(false, k("덧붙임"), 4);
    EXPECT_EQ(test::readAll(index), before);

    QFile::remove(index);
    openAndCheck(false, k("덧붙임"), 4);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("sul2file.dbf")});
}

TEST_F(Session, LastCollectionIsFoundInAnyLetterCase)
{
    grace();
    CollectionDocument s;
    EXPECT_TRUE(s.reopenLastCollection(QStringLiteral("GRACE1 설교")));
    EXPECT_EQ(s.collectionFolder(), pf(QStringLiteral("Grace1 설교")));
}

TEST_F(Session, LastCollectionThatIsGoneOpensNothingSilently)
{
    test::ScriptedPrompter prompts; // nothing may be shown
    CollectionDocument s;
    QSignalSpy state(&s, &CollectionDocument::collectionStateChanged);
    EXPECT_FALSE(s.reopenLastCollection(QStringLiteral("GONE")));
    EXPECT_FALSE(s.reopenLastCollection(QString()));
    makeCollection(QStringLiteral("inner/deeper"));
    EXPECT_FALSE(s.reopenLastCollection(QStringLiteral("inner/deeper")));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(state.size(), 0);
}

TEST_F(Session, EngineErrorLeavesNoCollectionAndIsRaised)
{
    QDir().mkpath(pf(QStringLiteral("broken")));
    writeFile(pf(QStringLiteral("broken/sul2file.dbf")), QByteArray(40, '\x07'));
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(grace()));
    QSignalSpy state(&s, &CollectionDocument::collectionStateChanged);
    EXPECT_THROW(s.OpenCollection(pf(QStringLiteral("broken/sul2file.dbf"))), EUserError);
    EXPECT_FALSE(s.isOpen());
    EXPECT_FALSE(s.table().Exclusive);
    EXPECT_TRUE(s.collectionFolder().isEmpty());
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Verbana"));
    ASSERT_EQ(state.size(), 1);
    EXPECT_FALSE(state[0][0].toBool());
}

TEST_F(Session, CloseForgetsTheCollectionAndTheUseFile)
{
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(grace()));
    QSignalSpy state(&s, &CollectionDocument::collectionStateChanged);
    s.CloseCollection();
    EXPECT_FALSE(s.isOpen());
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("usefile.sys"))));
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Verbana"));
    EXPECT_TRUE(s.collectionFolder().isEmpty());
    EXPECT_TRUE(s.lastCollection().isEmpty());
    ASSERT_EQ(state.size(), 1);
    EXPECT_FALSE(state[0][0].toBool());
}

TEST_F(Session, OpeningAnotherReplacesTheUseFile)
{
    CollectionDocument s;
    ASSERT_TRUE(s.OpenCollection(grace()));
    const QString other = makeCollection(QStringLiteral("hope"));
    ASSERT_TRUE(s.OpenCollection(other));
    EXPECT_EQ(test::readAll(pf(QStringLiteral("usefile.sys"))), QByteArray("HOPE\r\n"));
    s.forgetUseFile();
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("usefile.sys"))));
    EXPECT_TRUE(s.isOpen());
}

} // namespace
