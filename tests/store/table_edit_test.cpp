// SPDX-License-Identifier: GPL-3.0-or-later
// Creating, appending, editing, deleting, packing, copying, and what each
// leaves on disk; recovery from damaged indexes.
#include "store_helpers.h"
#include "support/fixtures.h"

#include "platform/cp949.h"
#include "store/sermon_record.h"
#include "store/xbase/cdx_index.h"
#include "store/xbase/memory_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::test;
using xbase::EApolloError;
using xbase::TApolloTable;

namespace {

TEST(TableCreate, ANewSermonTableHasTheExpectedBytes)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 706 + 1);
    EXPECT_EQ(uint8_t(bytes[0]), 0x03);
    EXPECT_EQ(bytes.mid(4, 4), QByteArray(4, '\0'));
    EXPECT_EQ(uint8_t(bytes[8]) | (uint8_t(bytes[9]) << 8), 706);
    EXPECT_EQ(uint8_t(bytes[10]) | (uint8_t(bytes[11]) << 8), 1085);
    EXPECT_EQ(uint8_t(bytes[28]), 0x01); // the compound index exists
    EXPECT_EQ(bytes.mid(32, 11), QByteArray("date1\0\0\0\0\0\0", 11));
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(uint8_t(bytes[32 + 16]), 12);
    EXPECT_EQ(bytes.mid(32 + 20 * 32, 7), QByteArray("better\0", 7));
    EXPECT_EQ(bytes[704], '\x0d');
    EXPECT_EQ(bytes[706], '\x1a');
    EXPECT_TRUE(QFile::exists(tmp.path() + QStringLiteral("/sul2file.cdx")));
}

TEST(TableEdit, PostWritesBlankPaddedCp949AndMovesTheEndMarker)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    auto t = openTable(path);
    t->Append();
    EXPECT_EQ(t->State(), xbase::TableState::Inserting);
    t->PutString("date1", "2026.12.09");
    t->PutString("TITLE1", k("믿음의 능력"));
    t->PutString("BIBLE1", k("창12:1-12"));
    t->Post();
    EXPECT_EQ(t->State(), xbase::TableState::Browse);
    EXPECT_EQ(t->RecNo(), 1u);
    t->Close();

    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 706 + 1085 + 1);
    EXPECT_EQ(bytes[4], '\x01');
    const QByteArray rec = bytes.mid(706, 1085);
    EXPECT_EQ(rec[0], ' ');
    EXPECT_EQ(rec.mid(1, 12), QByteArray("2026.12.09  "));
    EXPECT_EQ(rec.mid(13, 60), fromHex("b9cfc0bdc0c720b4c9b7c2").leftJustified(60, ' '));
    EXPECT_EQ(rec.mid(193, 40), fromHex("c3a231323a312d3132").leftJustified(40, ' '));
    EXPECT_EQ(rec.mid(233), QByteArray(1085 - 233, ' '));
    EXPECT_EQ(bytes.back(), '\x1a');
}

TEST(TableEdit, TooLongValuesAreRefusedNotCut)
{
    QTemporaryDir tmp;
    auto t = openTable(makeSermonTable(tmp.path()));
    t->Append();
    EXPECT_NO_THROW(t->PutString("DATE1", "123456789012"));
    EXPECT_THROW(t->PutString("DATE1", "1234567890123"), EApolloError);
    EXPECT_THROW(t->PutString("NOSUCH", "x"), EApolloError);
    EXPECT_EQ(t->GetString("DATE1"), QByteArray("123456789012"));
    t->Cancel();
    EXPECT_THROW(t->PutString("DATE1", "x"), EApolloError); // not editing
}

TEST(TableEdit, CancelledAppendReturnsToThePreviousRecord)
{
    QTemporaryDir tmp;
    auto t = openTable(makeSermonTable(tmp.path()));
    appendSermons(*t, {{"2001.01.01", "하나"}, {"2002.02.02", "둘"}, {"2003.03.03", "셋"}});
    t->SetOrder(t->TagArea("date1"));
    t->Go(2);
    t->Append();
    t->PutString("TITLE1", k("버릴 것"));
    t->Cancel();
    EXPECT_EQ(t->RecNo(), 2u);
    EXPECT_EQ(t->GetString("TITLE1"), k("둘"));
    EXPECT_EQ(t->RecCount(), 3u);
    t->Skip(1);
    EXPECT_EQ(t->RecNo(), 3u);
}

TEST(TableEdit, EditingAKeyMovesTheRecordInEveryTag)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    auto t = openTable(path);
    appendSermons(*t, {{"2001.01.01", "가"}, {"2002.02.02", "나"}, {"2003.03.03", "다"}});
    t->SetOrder(t->TagArea("title1"));
    t->Go(1);
    t->Edit();
    t->PutString("TITLE1", k("라"));
    t->PutString("DATE1", "2004.04.04");
    t->Post();
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 3, 1}));
    t->SetOrder(t->TagArea("date1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 3, 1}));
    // An edit that is cancelled changes nothing.
    t->Go(2);
    t->Edit();
    t->PutString("TITLE1", k("취소"));
    t->Cancel();
    EXPECT_EQ(t->GetString("TITLE1"), k("나"));
    t->Close();
    // Reopened, the index is in step.
    t = openTable(path);
    EXPECT_TRUE(t->indexProblem().isEmpty());
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 3, 1}));
}

TEST(TablePack, RemovesDeletedRecordsAndRebuildsTheTags)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2001", "다"}, {"2002", "나"}, {"2003", "가"}, {"2004", "라"}});
        t->Go(2);
        t->Delete();
        t->Go(4);
        t->Delete();
    }
    auto t = openTable(path, true);
    t->SetOrder(t->TagArea("title1"));
    t->Pack();
    EXPECT_EQ(t->RecCount(), 2u);
    EXPECT_EQ(t->IndexOrd(), 1);
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 1}));
    t->Go(2);
    EXPECT_EQ(t->GetString("TITLE1"), k("가"));
    t->Close();
    EXPECT_EQ(readAll(path).size(), 706 + 2 * 1085 + 1);
    EXPECT_TRUE(QDir(tmp.path()).entryList({QStringLiteral("*.pack"), QStringLiteral("*.new")}).isEmpty());
}

TEST(TableCopy, CopiesTheVisibleRecordsToANewTable)
{
    QTemporaryDir tmp;
    auto t = openTable(makeSermonTable(tmp.path()));
    appendSermons(*t, {{"2001", "기도의 삶"}, {"2002", "나"}, {"2003", "새벽 기도"}});
    t->Query(k("\"기도\" $ TITLE1"));
    QDir().mkpath(tmp.path() + QStringLiteral("/new"));
    EXPECT_EQ(t->CopyFile(tmp.path() + QStringLiteral("/new/sul2file.dbf")), 1);
    auto copy = openTable(tmp.path() + QStringLiteral("/new/sul2file.dbf"));
    EXPECT_EQ(copy->RecCount(), 2u);
    copy->Go(2);
    EXPECT_EQ(copy->GetString("TITLE1"), k("새벽 기도"));
}

TEST(TableIndexRecovery, GarbageIndexIsSetAsideAndNeverDeleted)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2001", "다"}, {"2002", "나"}});
    }
    const QString cdx = tmp.path() + QStringLiteral("/sul2file.cdx");
    QFile f(cdx);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1536, '\x5a'));
    f.close();
    auto t = openTable(path);
    EXPECT_FALSE(t->damagedIndexKeptAs().isEmpty());
    EXPECT_EQ(readAll(t->damagedIndexKeptAs()), QByteArray(1536, '\x5a'));
    EXPECT_FALSE(QFile::exists(cdx));
    EXPECT_EQ(t->TagArea("title1"), 0);
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{1, 2}));
    // Making the tags again gives the right order.
    t->Close();
    t = openTable(path, true);
    store::createSermonTags(*t);
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 1}));
}

TEST(TableIndexRecovery, AnIndexOutOfStepWithItsTableIsRebuilt)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    const QString cdx = tmp.path() + QStringLiteral("/sul2file.cdx");
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2001", "다"}, {"2002", "나"}});
    }
    const QByteArray oldIndex = readAll(cdx);
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2003", "가"}});
    }
    // Put back the index from before the third record, as a program that
    // changed the table without its index would leave it.
    QFile f(cdx);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(oldIndex);
    f.close();
    auto t = openTable(path);
    EXPECT_FALSE(t->indexProblem().isEmpty());
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{3, 2, 1}));
}

// Programs sharing an index take its change counter for the version of the
// pages they cached: a rebuild in place must never let it go back.
TEST(TableIndexRecovery, TheChangeCounterOnlyGrowsAcrossARebuild)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    const QString cdx = tmp.path() + QStringLiteral("/sul2file.cdx");
    auto counter = [&] { return qFromBigEndian<quint32>(readAll(cdx).constData() + 8); };
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2001", "다"}, {"2002", "나"}});
    }
    const quint32 before = counter();
    QFile f(cdx);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(480));
    f.write(QByteArray("Vb\0\0\x63\0\0\0", 8)); // claims 99 records: rebuilt at the next opening
    f.close();
    auto t = openTable(path);
    EXPECT_FALSE(t->indexProblem().isEmpty());
    appendSermons(*t, {{"2003", "가"}});
    EXPECT_EQ(counter(), before + 2);
}

} // namespace

namespace {

// A failure at any write of a post (the disk full, an I/O error) is
// reported, and the records posted before it survive with a right index.
TEST(TableFaults, AFailedWriteAtAnyPointLosesNoEarlierPost)
{
    using xbase::MemoryFileSystem;
    int failures = 0;
    for (int failAt = 1; failAt <= 60; ++failAt) {
        MemoryFileSystem fs;
        auto open = [&](bool exclusive) {
            auto t = std::make_unique<TApolloTable>();
            t->setFileSystem(&fs);
            t->DatabaseName = QStringLiteral("/mem");
            t->TableName = QStringLiteral("sul2file.dbf");
            t->Exclusive = exclusive;
            t->Open();
            return t;
        };
        {
            TApolloTable creator;
            creator.setFileSystem(&fs);
            ASSERT_EQ(store::createSermonTableFile(creator, QStringLiteral("/mem/sul2file.dbf")), 1);
            auto t = open(true);
            store::createSermonTags(*t);
            t->Close();
            t = open(false);
            appendSermons(*t, {{"2003", "다"}, {"2001", "가"}, {"2002", "나"}});
        }
        fs.failWriteAfter(failAt);
        bool failed = false;
        try {
            auto t = open(false);
            appendSermons(*t, {{"2000", "라"}, {"1999", "마"}});
            t->Go(1);
            t->Edit();
            t->PutString("TITLE1", k("바"));
            t->Post();
        } catch (const EApolloError &) {
            failed = true;
        }
        fs.failWriteAfter(0);
        auto t = open(false);
        ASSERT_GE(t->RecCount(), 3u) << "fail at write " << failAt;
        t->Go(2);
        EXPECT_EQ(t->GetString("TITLE1"), k("가"));
        t->Go(3);
        EXPECT_EQ(t->GetString("TITLE1"), k("나"));
        t->SetOrder(t->TagArea("date1"));
        std::vector<uint32_t> order = walk(*t);
        EXPECT_EQ(order.size(), t->RecCount()) << "fail at write " << failAt;
        for (int tag = 1; tag <= 4; ++tag) {
            auto entries = t->index()->verify(tag);
            ASSERT_TRUE(entries.isOk()) << "fail at write " << failAt;
            EXPECT_EQ(entries->size(), t->RecCount());
        }
        if (!failed)
            break; // every write of the run succeeded: later failAt values test nothing new
        ++failures;
    }
    EXPECT_GT(failures, 10); // the run really failed at many different writes
}

} // namespace

namespace {

// An index made by another program with a key this engine cannot compute
// is read and used where it can be, but never written wrongly.
TEST(TableForeignIndex, APostThatCouldNotKeepATagIsRefused)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    {
        auto t = openTable(path);
        appendSermons(*t, {{"2001", "가나다"}, {"2002", "라마바"}});
    }
    QFile::remove(tmp.path() + QStringLiteral("/sul2file.cdx"));
    {
        auto file = xbase::FileSystem::posix().open(tmp.path() + QStringLiteral("/sul2file.cdx"), xbase::OpenMode::Create);
        ASSERT_TRUE(file.isOk());
        xbase::TagBuild tag;
        tag.name = "SHORT";
        tag.keyExpression = "LEFT(TITLE1,2)";
        tag.keyLength = 2;
        tag.add(k("가"), 1);
        tag.add(k("라"), 2);
        std::vector<xbase::TagBuild> tags;
        tags.push_back(std::move(tag));
        ASSERT_TRUE(xbase::CdxIndex::build(**file, std::move(tags)).isOk());
    }
    const QByteArray before = readAll(path);
    auto t = openTable(path);
    EXPECT_EQ(t->TagCount(), 1);
    t->Append();
    t->PutString("TITLE1", k("사아자"));
    EXPECT_THROW(t->Post(), EApolloError);
    t->Cancel();
    EXPECT_EQ(t->RecCount(), 2u);
    t->Close();
    EXPECT_EQ(readAll(path), before);
}

} // namespace
