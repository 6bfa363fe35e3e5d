// SPDX-License-Identifier: GPL-3.0-or-later
// The table object's view: navigation, orders, queries, marks, counts.
#include "store_helpers.h"

#include "platform/cp949.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::test;
using xbase::EApolloError;
using xbase::TApolloTable;

namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = makeSermonTable(tmp.path());
        ASSERT_FALSE(path.isEmpty());
        t = openTable(path);
        // Record:     1            2            3            4            5
        appendSermons(*t, {{"1999.03.01", "다윗", "09017001", "1999.03.07"},
                           {"1997.01.05", "가나안", "01012001", ""},
                           {"1998.12.25", "agape 사랑", "43003016", "1998.12.25"},
                           {"1997.01.05", "똠방각하", "", "2000.01.01"},
                           {"2001.07.15", "나그네", "19023001", ""}});
    }

    QTemporaryDir tmp;
    QString path;
    std::unique_ptr<TApolloTable> t;
};

TEST_F(TableTest, NavigationFollowsDatasetSemantics)
{
    t->GoTop();
    EXPECT_EQ(t->RecNo(), 1u);
    EXPECT_TRUE(t->Bof());
    EXPECT_FALSE(t->Eof());
    t->Skip(1);
    EXPECT_EQ(t->RecNo(), 2u);
    EXPECT_FALSE(t->Bof());
    t->GoBottom();
    EXPECT_EQ(t->RecNo(), 5u);
    EXPECT_TRUE(t->Eof());
    EXPECT_FALSE(t->Bof());
    // Next on the last record sets the end flag and stays there.
    t->Skip(-1);
    t->Skip(1);
    EXPECT_FALSE(t->Eof());
    t->Skip(1);
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecNo(), 5u);
    EXPECT_EQ(t->GetString("TITLE1"), k("나그네"));
    // Prior on the first sets the start flag and stays.
    t->GoTop();
    t->Skip(-1);
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecNo(), 1u);
    // Skipping several runs to the end and stops there.
    t->Skip(10);
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecNo(), 5u);
}

TEST_F(TableTest, AnEmptyViewHasBothFlags)
{
    t->Query(k("\"없는말\" $ TITLE1"));
    t->GoTop();
    EXPECT_TRUE(t->Bof());
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecNo(), 0u);
    EXPECT_EQ(t->GetString("TITLE1"), QByteArray());
    EXPECT_EQ(t->Count(), 0u);
    t->GoBottom();
    EXPECT_TRUE(t->Bof() && t->Eof());
}

TEST_F(TableTest, TagOrdersUseByteOrderAndKeepTheCurrentRecord)
{
    EXPECT_EQ(t->TagCount(), 4);
    EXPECT_EQ(t->TagName(1), QByteArray("TITLE1"));
    EXPECT_EQ(t->TagArea("title1"), 1);
    EXPECT_EQ(t->TagArea("BibleNo"), 4);
    EXPECT_EQ(t->TagArea("nosuch"), 0);

    t->Go(3);
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(t->RecNo(), 3u);
    // "agape" (0x61) < 똠 (8C 63) < 가나안 < 나그네 < 다윗.
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{3, 4, 2, 5, 1}));
    EXPECT_EQ(walkBack(*t), (std::vector<uint32_t>{3, 4, 2, 5, 1}));

    t->SetOrder(t->TagArea("date1"));
    // Equal dates keep record order.
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 4, 3, 1, 5}));
    t->SetOrder(t->TagArea("date2"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 5, 3, 1, 4}));
    t->SetOrder(t->TagArea("BIBLENO"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{4, 2, 1, 5, 3}));

    // From the middle of an order, Skip moves in that order.
    t->Go(1);
    t->Skip(1);
    EXPECT_EQ(t->RecNo(), 5u);
    t->Skip(-2);
    EXPECT_EQ(t->RecNo(), 2u);
    t->CloseIndexes();
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(TableTest, QueryNarrowsTheViewInEveryOrder)
{
    t->Query(k("\"나\" $ UPPER(TITLE1) .or. \"AGAPE\" $ UPPER(TITLE1)"));
    EXPECT_EQ(t->DBFilter(), k("\"나\" $ UPPER(TITLE1) .or. \"AGAPE\" $ UPPER(TITLE1)"));
    EXPECT_EQ(t->Count(), 3u);
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 3, 5}));
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{3, 2, 5}));
    EXPECT_EQ(t->RecCount(), 5u);
}

TEST_F(TableTest, AnInvalidQueryLeavesTheOldOneInForce)
{
    t->Query(k("\"나\" $ TITLE1"));
    try {
        t->Query(k("(\"기\"도\" $ UPPER(TITLE1))"));
        FAIL() << "accepted an invalid query";
    } catch (const EApolloError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Invalid Query Expression"));
    }
    EXPECT_EQ(t->DBFilter(), k("\"나\" $ TITLE1"));
    EXPECT_EQ(t->Count(), 2u);
}

TEST_F(TableTest, MarksAfterAClearedQueryShowOnlyMarkedRecords)
{
    t->Query(k("\"나\" $ TITLE1"));
    t->Query(QByteArray());
    EXPECT_TRUE(t->DBFilter().isEmpty());
    t->SetQueryBit(4, true);
    t->SetQueryBit(2, true);
    t->SetQueryBit(5, true);
    t->SetQueryBit(5, false);
    EXPECT_FALSE(t->DBFilter().isEmpty());
    EXPECT_EQ(t->Count(), 2u);
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{2, 4}));
    t->Query(QByteArray());
    EXPECT_TRUE(t->DBFilter().isEmpty());
    EXPECT_EQ(t->Count(), 5u);
}

TEST_F(TableTest, DeletedRecordsLeaveTheViewButStayInTheFile)
{
    t->Go(3);
    t->Delete();
    // The view moves on to the next record.
    EXPECT_EQ(t->RecNo(), 4u);
    EXPECT_EQ(t->Count(), 4u);
    EXPECT_EQ(t->RecCount(), 5u);
    t->SetOrder(t->TagArea("title1"));
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{4, 2, 5, 1}));
    // Deleting the last record in view stands on the one before it.
    t->GoBottom();
    t->Delete();
    EXPECT_EQ(t->RecNo(), 5u);
    EXPECT_TRUE(t->Eof());
    t->SetShowDeleted(true);
    EXPECT_EQ(walk(*t), (std::vector<uint32_t>{3, 4, 2, 5, 1}));
}

TEST_F(TableTest, NotificationsAnnounceEachChangeAndCanBeDetached)
{
    QSignalSpy events(t.get(), &TApolloTable::notified);
    QSignalSpy data(t.get(), &TApolloTable::dataChanged);
    QSignalSpy thawed(t.get(), &TApolloTable::controlsThawed);
    auto kinds = [&] {
        std::vector<xbase::TableEvent> out;
        for (const auto &args : events)
            out.push_back(args[0].value<xbase::TableNotification>().event);
        events.clear();
        return out;
    };
    using E = xbase::TableEvent;
    t->GoTop();
    t->Skip(1);
    EXPECT_EQ(kinds(), (std::vector<E>{E::AfterScroll, E::AfterScroll}));
    t->Edit();
    t->PutString("TITLE1", k("새 제목"));
    t->Post();
    EXPECT_EQ(kinds(), (std::vector<E>{E::AfterEdit, E::AfterEdit, E::AfterPost}));
    t->Append();
    t->Cancel();
    EXPECT_EQ(kinds(), (std::vector<E>{E::AfterInsert, E::AfterScroll, E::AfterCancel, E::AfterScroll}));

    t->DetachHandlers(unsigned(E::AfterScroll) | unsigned(E::AfterInsert));
    t->DetachHandlers(unsigned(E::AfterScroll));
    t->Append();
    t->Cancel();
    EXPECT_EQ(kinds(), (std::vector<E>{E::AfterCancel}));
    t->AttachHandlers(unsigned(E::AfterScroll) | unsigned(E::AfterInsert));
    t->Skip(1);
    EXPECT_TRUE(kinds().empty()); // still detached once
    t->AttachHandlers(unsigned(E::AfterScroll));
    t->Skip(-1);
    EXPECT_EQ(kinds(), (std::vector<E>{E::AfterScroll}));

    // Frozen controls hear nothing until the last thaw, then refresh once.
    data.clear();
    t->DisableControls();
    t->DisableControls();
    t->GoTop();
    t->Skip(1);
    t->EnableControls();
    EXPECT_EQ(thawed.size(), 0);
    t->EnableControls();
    EXPECT_EQ(data.size(), 0);
    EXPECT_EQ(thawed.size(), 1);
    EXPECT_EQ(kinds().size(), 2u); // handlers still ran
}

TEST(TableErrors, ExactTextsForMissingAndUnopenableTables)
{
    QTemporaryDir tmp;
    TApolloTable t;
    t.DatabaseName = tmp.path();
    t.TableName = QStringLiteral("nosuch");
    try {
        t.Open();
        FAIL();
    } catch (const EApolloError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Table does not exist.\rFile or directory does not exist.\rFile: ")
                                + tmp.path() + QStringLiteral("/nosuch.DBF"));
    }
    QFile junk(tmp.path() + QStringLiteral("/junk.dbf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(100, 'x'));
    junk.close();
    t.TableName = QStringLiteral("junk.dbf");
    try {
        t.Open();
        FAIL();
    } catch (const EApolloError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to open table.\rFile: ") + tmp.path() + QStringLiteral("/junk.dbf"));
    }
    EXPECT_FALSE(t.Active());
}

TEST(TableErrors, ExclusiveOperationsRefusedOnASharedTable)
{
    QTemporaryDir tmp;
    auto t = openTable(makeSermonTable(tmp.path()));
    for (auto op : {+[](TApolloTable &x) { x.Pack(); },
                    +[](TApolloTable &x) { x.IndexTag(QString(), "title1", "title1", 0, false, QByteArray()); }}) {
        try {
            op(*t);
            FAIL();
        } catch (const EApolloError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("Table must be opened in Exclusive mode to perform this operation"));
        }
    }
}

TEST(TableErrors, ASecondExclusiveOpeningIsRefused)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    auto shared = openTable(path);
    EXPECT_THROW(openTable(path, true), EApolloError);
    auto shared2 = openTable(path);
    EXPECT_TRUE(shared2->Active());
}

} // namespace
