// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics counts on small collections: what each count gives, the
// keys it stores, what is in view, order, and the table left as found.
#include "../editing/editing_helpers.h"

#include "platform/cp949.h"
#include "support/recorded_progress.h"
#include "search/gathering.h"
#include "stats/sermon_counts.h"
#include "store/sermon_record.h"

#include <gtest/gtest.h>

namespace verbana::test {
namespace {

using stats::Category;
using stats::ChartPoint;
using stats::ChartPoints;
using stats::Testament;

const QColor kAuto;

class StatsCollection : public ::testing::Test {
protected:
    void make(const std::vector<SermonRow> &rows) { c = std::make_unique<TestCollection>(rows); }
    void set(uint32_t recno, int field, const QByteArray &value)
    {
        c->table().Go(recno);
        c->table().Edit();
        c->table().PutString(field, value);
        c->table().Post();
    }
    xbase::TApolloTable &t() { return c->table(); }
    std::unique_ptr<TestCollection> c;
};

TEST_F(StatsCollection, CountsTestamentsAndBooks)
{
    // 창12:1 and 요3:16 with stored keys; 창0:5 (key 01000005) counts nowhere.
    make({{"2001.01.01", "a", "", "창12:1"}, {"2001.01.02", "b", "", "요3:16"}, {"2001.01.03", "c", "", "창0:5"}});
    set(1, store::fBIBLENO, "01012001");
    set(2, store::fBIBLENO, "43003016");
    set(3, store::fBIBLENO, "01000005");
    RecordedProgress steps;
    EXPECT_EQ(stats::CountByTestament(t(), &steps),
              (ChartPoints{{QStringLiteral("구약"), 1, QColor(Qt::red)}, {QStringLiteral("신약"), 1, QColor(0, 255, 0)}}));
    EXPECT_EQ(steps.steps, (std::vector<std::pair<uint64_t, uint64_t>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(stats::CountByBook(t(), Testament::Old), (ChartPoints{{QStringLiteral("창"), 1, kAuto}}));
    EXPECT_EQ(stats::CountByBook(t(), Testament::New), (ChartPoints{{QStringLiteral("요"), 1, kAuto}}));
}

TEST_F(StatsCollection, TestamentCountStoresMissingKeysWhichTheNewBookCountThenSees)
{
    make({{"2001.01.01", "a", "", "롬8:28"}, {"2001.01.02", "b", "", ""}});
    EXPECT_EQ(stats::CountByBook(t(), Testament::New), ChartPoints{});
    EXPECT_EQ(c->storedField(1, store::fBIBLENO).trimmed(), QByteArray());
    // Opened on the last sermon; the key is stored on the first, after the walk.
    ASSERT_EQ(t().RecNo(), 2u);
    RecordedProgress steps;
    const auto both = stats::CountByTestament(t(), &steps);
    ASSERT_TRUE(both);
    // The walk, then the two sermons without a key (one has no reference).
    EXPECT_EQ(steps.steps,
              (std::vector<std::pair<uint64_t, uint64_t>>{{1, 2}, {2, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(t().RecNo(), 2u);
    EXPECT_EQ((*both)[0].count, 0u);
    EXPECT_EQ((*both)[1].count, 1u);
    EXPECT_EQ(c->storedField(1, store::fBIBLENO), QByteArray("45008028  ")); // blank padded to the field
    EXPECT_EQ(c->storedField(2, store::fBIBLENO).trimmed(), QByteArray());
    EXPECT_EQ(stats::CountByBook(t(), Testament::New), (ChartPoints{{QStringLiteral("롬"), 1, kAuto}}));
}

TEST_F(StatsCollection, CategoriesInListOrderFoldingLatinCaseOnly)
{
    make({{"2001.01.01", "a"}, {"2001.01.02", "b"}, {"2001.01.03", "c"}, {"2001.01.04", "d"}, {"2001.01.05", "e"}});
    const QByteArray trailSmallA("\x81\x61", 2), trailBigA("\x81\x41", 2);
    set(1, store::fWHERE, cp("본당"));
    set(2, store::fWHERE, "Chapel");
    set(3, store::fWHERE, "CHAPEL");
    set(4, store::fWHERE, trailSmallA);
    set(5, store::fWHERE, trailBigA);
    t().SetOrder(t().TagArea(QByteArrayLiteral("date1")));
    EXPECT_EQ(stats::CountByCategory(t(), Category::Place),
              (ChartPoints{{QStringLiteral("본당"), 1, kAuto},
                           {QStringLiteral("Chapel"), 2, kAuto},
                           {cp949::decode(trailSmallA), 1, kAuto},
                           {cp949::decode(trailBigA), 1, kAuto}}));
    // A later value that differs only in Latin case joins the first.
    set(1, store::fSTYPE, "x");
    set(2, store::fSTYPE, "y");
    set(3, store::fSTYPE, "X");
    EXPECT_EQ(stats::CountByCategory(t(), Category::SermonType),
              (ChartPoints{{QStringLiteral("x"), 2, kAuto}, {QStringLiteral("y"), 1, kAuto}}));
}

TEST_F(StatsCollection, CountsOnlyTheGatheredAndPutsTheCurrentSermonBack)
{
    make({{"2001.01.01", "a"}, {"2001.01.02", "b"}, {"2001.01.03", "c"}});
    for (uint32_t r = 1; r <= 3; ++r)
        set(r, store::fAIM, "grace");
    search::markGathered(t(), {1, 3});
    t().Go(3);
    EXPECT_EQ(stats::CountByCategory(t(), Category::Aim), (ChartPoints{{QStringLiteral("grace"), 2, kAuto}}));
    EXPECT_EQ(t().RecNo(), 3u);
    EXPECT_FALSE(t().ControlsDisabled());
}

TEST_F(StatsCollection, RefusesWhileASermonIsBeingEditedAndLeavesItPending)
{
    make({{"2001.01.01", "a", "", "창1:1"}});
    t().Edit();
    t().PutString(store::fAIM, "pending");
    EXPECT_FALSE(stats::CountByTestament(t()));
    EXPECT_FALSE(stats::CountByBook(t(), Testament::Old));
    EXPECT_FALSE(stats::CountByCategory(t(), Category::Aim));
    EXPECT_EQ(t().State(), xbase::TableState::Editing);
    EXPECT_EQ(t().GetString(store::fAIM), QByteArray("pending"));
    t().Cancel();
    EXPECT_EQ(c->storedField(1, store::fBIBLENO).trimmed(), QByteArray());
}

TEST_F(StatsCollection, ReadOnlyCollectionIsCountedWithKeysDerivedButNotStored)
{
    make({{"2001.01.01", "a", "", "롬8:28"}, {"2001.01.02", "b", "", "창1:1"}});
    xbase::TApolloTable shown;
    shown.DatabaseName = c->folder();
    shown.TableName = QStringLiteral("sul2file.dbf");
    shown.ReadOnly = true;
    shown.Open();
    EXPECT_EQ(stats::CountByTestament(shown),
              (ChartPoints{{QStringLiteral("구약"), 1, QColor(Qt::red)}, {QStringLiteral("신약"), 1, QColor(0, 255, 0)}}));
    EXPECT_EQ(stats::CountByBook(shown, Testament::Old), (ChartPoints{{QStringLiteral("창"), 1, kAuto}}));
    EXPECT_EQ(c->storedField(1, store::fBIBLENO).trimmed(), QByteArray());
    EXPECT_EQ(c->storedField(2, store::fBIBLENO).trimmed(), QByteArray());
}

} // namespace
} // namespace verbana::test
