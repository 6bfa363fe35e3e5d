// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/sermon_list_model.h"

#include "editing_helpers.h"
#include "platform/cp949.h"
#include "store/sermon_record.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

using test::cp;
using test::TestCollection;

std::vector<test::SermonRow> manySermons(int n)
{
    static std::vector<QByteArray> keep;
    std::vector<test::SermonRow> rows;
    for (int i = 0; i < n; ++i) {
        keep.push_back(QStringLiteral("2000.%1.%2").arg(1 + (n - i) % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0')).toLatin1());
        rows.push_back({keep.back().constData(), "설교"});
    }
    return rows;
}

TEST(SermonListModelTest, RowsFollowTheOrderInForceAndShowTheListColumns)
{
    TestCollection c({{"1999.01.01", "나중"}, {"1998.01.01", "처음"}, {"2000.01.01", "마지막"}});
    SermonListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setTable(&c.table());
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 17);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("제목"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("작성일"));
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("처음"));
    EXPECT_EQ(model.index(2, 1).data().toString(), QStringLiteral("2000.01.01"));
    EXPECT_EQ(model.rowOf(c.table().RecNo()), 2) << "the current sermon stays current";
    EXPECT_EQ(c.table().RecNo(), 3u);

    c.table().SetOrder(0);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("나중"));
}

TEST(SermonListModelTest, EditsDeletesAndAdditionsReachTheRows)
{
    TestCollection c({{"1999.01.01", "하나"}, {"1999.02.01", "둘"}});
    SermonListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setTable(&c.table());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    c.table().Edit();
    EXPECT_EQ(changed.count(), 1) << "editing re-reads the record";
    c.table().PutString(store::fTITLE1, cp("고침"));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("고침")) << "typing shows before posting";
    c.table().Post();
    EXPECT_EQ(reset.count(), 1);

    c.table().Delete();
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);

    c.table().Append();
    c.table().PutString(store::fDATE1, QByteArrayLiteral("2005.01.01"));
    EXPECT_EQ(model.rowCount(), 1) << "an addition appears when it is posted";
    c.table().Post();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("2005.01.01"));
}

TEST(SermonListModelTest, FrozenControlsGiveOneRefreshWhenThawed)
{
    TestCollection c(std::vector<test::SermonRow>{{"1999.01.01", "하나"}});
    SermonListModel model;
    model.setTable(&c.table());
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    c.table().DisableControls();
    for (int i = 0; i < 5; ++i) {
        c.table().Append();
        c.table().PutString(store::fDATE1, QByteArrayLiteral("2001.01.01"));
        c.table().Post();
    }
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    c.table().EnableControls();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 6);
}

TEST(SermonListModelTest, OnlyShownRowsAreRead)
{
    TestCollection c(manySermons(3000));
    SermonListModel model;
    model.setTable(&c.table());
    ASSERT_EQ(model.rowCount(), 3000);
    EXPECT_EQ(model.recordReads(), 0u) << "listing reads no record";
    const quint64 before = model.recordReads();
    for (int row = 1000; row < 1040; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            (void)model.index(row, column).data();
    EXPECT_EQ(model.recordReads() - before, 40u);
    // Coming back to the same rows reads nothing more.
    (void)model.index(1000, 0).data();
    EXPECT_EQ(model.recordReads() - before, 40u);
}

TEST(SermonListModelTest, RecordsDeletedEarlierLeaveTheListWhenShown)
{
    TestCollection c({{"1999.01.01", "하나"}, {"1999.02.01", "둘"}, {"1999.03.01", "셋"}});
    c.table().Go(2);
    c.table().Delete();
    const int title = c.table().TagArea(QByteArrayLiteral("title1"));
    for (int order : {0, title, c.table().TagArea(QByteArrayLiteral("date1"))}) {
        c.table().SetOrder(order);
        SermonListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.setTable(&c.table());
        ASSERT_EQ(model.rowCount(), 3) << "listed from the index before any record is read";
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        for (int row = 0; row < 3; ++row)
            (void)model.index(row, 0).data();
        EXPECT_EQ(removed.count(), 0) << "not while the view is asking";
        QCoreApplication::processEvents();
        EXPECT_EQ(removed.count(), 1);
        ASSERT_EQ(model.rowCount(), 2);
        EXPECT_EQ(model.rowOf(2), -1);
        EXPECT_FALSE(model.index(0, 0).data().toString().isEmpty());
        EXPECT_FALSE(model.index(1, 0).data().toString().isEmpty());
    }
}

TEST(SermonListModelTest, AQueryOrMarksAreListedWithoutReadingRecords)
{
    TestCollection c({{"1999.01.01", "하나"}, {"1999.02.01", "둘"}, {"1999.03.01", "셋"}});
    c.table().Query(QByteArrayLiteral("DATE1 <> \"1999.02.01\""));
    c.table().GoBottom();
    SermonListModel model;
    model.setTable(&c.table());
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowOf(2), -1);
    EXPECT_EQ(model.rowOf(c.table().RecNo()), 1);
    // Marked records after a cleared query, in title order.
    c.table().Query({});
    c.table().SetQueryBit(1, true);
    c.table().SetQueryBit(2, true);
    c.table().SetOrder(c.table().TagArea("title1"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.recnoAt(0), 2u); // 둘 before 하나
    EXPECT_EQ(model.recnoAt(1), 1u);
    EXPECT_EQ(model.recordReads(), 0u);
}

TEST(SermonListModelTest, TableGoneLeavesAnEmptyModel)
{
    auto c = std::make_unique<TestCollection>(std::vector<test::SermonRow>{{"1999.01.01", "하나"}});
    SermonListModel model;
    model.setTable(&c->table());
    EXPECT_EQ(model.rowCount(), 1);
    c.reset();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace verbana::editing
