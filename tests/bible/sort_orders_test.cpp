// SPDX-License-Identifier: GPL-3.0-or-later
// The five orders of the sermon list, the index rebuild and the file diet.
#include "../store/program_folder.h"
#include "../store/store_helpers.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include "bible/sort_orders.h"
#include "store/collection_lifecycle.h"
#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include <QFile>
#include <QSignalSpy>

using namespace verbana;
using namespace verbana::bible;
using verbana::test::k;

namespace {

class Orders : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        const QString path = makeCollection(QStringLiteral("c"));
        {
            auto t = test::openTable(path);
            test::appendSermons(*t, {
                                        {"1999.03.01", "다", "43001001", "1999.04.01"},
                                        {"1999.01.01", "가", "", "1999.06.01"},
                                        {"1999.02.01", "라", "01012001", ""},
                                        {"1999.04.01", "나", "01001001", "1999.05.01"},
                                        {"1999.05.01", "마", "19023001", "1999.03.01"},
                                    });
        }
        ASSERT_TRUE(document.OpenCollection(path));
    }
    std::vector<uint32_t> walk() { return test::walk(document.table()); }
    xbase::TApolloTable &table() { return document.table(); }

    store::CollectionDocument document;
};

TEST_F(Orders, EachOrderListsItsWay)
{
    const std::vector<std::vector<uint32_t>> expected = {
        {1, 2, 3, 4, 5}, // record order
        {2, 4, 1, 3, 5}, // title: 가 나 다 라 마
        {2, 3, 1, 4, 5}, // date written
        {3, 5, 1, 4, 2}, // date preached, the empty one first
        {2, 4, 3, 5, 1}, // Bible order, the sermon without a key first
    };
    for (int order = 1; order <= 5; ++order) {
        SetSortOrder(table(), order);
        EXPECT_EQ(walk(), expected[size_t(order - 1)]) << order;
    }
}

TEST_F(Orders, TheCurrentSermonStaysCurrent)
{
    table().Go(3);
    for (int order : {1, 2, 5, 4, 3, 1}) {
        SetSortOrder(table(), order);
        EXPECT_EQ(table().RecNo(), 3u) << order;
        EXPECT_EQ(table().GetString("TITLE1"), k("라"));
    }
}

TEST_F(Orders, OtherNumbersChangeNothingAndAMissingTagFallsBackToRecordOrder)
{
    SetSortOrder(table(), soTitle);
    const int before = table().IndexOrd();
    SetSortOrder(table(), 0);
    SetSortOrder(table(), 6);
    EXPECT_EQ(table().IndexOrd(), before);
    EXPECT_EQ(sortOrderCaption(5), QStringLiteral("성경 순서대로"));
    EXPECT_TRUE(sortOrderCaption(6).isEmpty());

    // An index with the title tag only.
    document.CloseCollection();
    QFile::remove(pf(QStringLiteral("c/sul2file.cdx")));
    {
        auto t = test::openTable(pf(QStringLiteral("c/sul2file.dbf")), true);
        t->IndexTag(QString(), "title1", "title1", 0, false, QByteArray());
    }
    auto t = test::openTable(pf(QStringLiteral("c/sul2file.dbf")));
    SetSortOrder(*t, soBible);
    EXPECT_EQ(t->IndexOrd(), 0);
    EXPECT_EQ(test::walk(*t), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(Orders, AQueryInForceStaysInForce)
{
    table().Query(QByteArrayLiteral("DATE1 = \"1999.0\" .and. .not. TITLE1 = \"") + k("가") + "\"");
    SetSortOrder(table(), soBible);
    EXPECT_EQ(walk(), (std::vector<uint32_t>{4, 3, 5, 1}));
}

TEST_F(Orders, SortingWhileASermonIsAddedIsRefused)
{
    SetSortOrder(table(), soTitle);
    table().Append();
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_FALSE(sortCommand(document, soInput));
    EXPECT_EQ(prompts.texts(), QStringList{store::refuseWhileEditingText()});
    EXPECT_EQ(table().State(), xbase::TableState::Inserting);
    EXPECT_EQ(table().IndexOrd(), table().TagArea("title1"));
    table().Cancel();
    EXPECT_TRUE(sortCommand(document, soInput));
    EXPECT_EQ(table().IndexOrd(), 0);
}

TEST_F(Orders, CommandsDoNothingWithoutACollection)
{
    document.CloseCollection();
    test::ScriptedPrompter prompts; // nothing shown
    EXPECT_FALSE(sortCommand(document, soTitle));
    EXPECT_FALSE(rebuildIndex(document));
    EXPECT_FALSE(fileDiet(document));
    EXPECT_FALSE(document.isOpen());
}

TEST_F(Orders, RebuildRestoresAMissingTag)
{
    document.CloseCollection();
    QFile::remove(pf(QStringLiteral("c/sul2file.cdx")));
    {
        auto t = test::openTable(pf(QStringLiteral("c/sul2file.dbf")), true);
        t->IndexTags({{"title1", "title1"}, {"date1", "date1"}, {"date2", "date2"}});
    }
    // Opening keeps an index that is there, even one short of a tag.
    ASSERT_TRUE(document.OpenCollection(pf(QStringLiteral("c/sul2file.dbf"))));
    ASSERT_EQ(table().TagArea("BIBLENO"), 0);

    QSignalSpy reopened(&document, &store::CollectionDocument::tableReopened);
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_TRUE(rebuildIndex(document));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("인덱스 재생성 완료")});
    EXPECT_EQ(table().TagCount(), 4);
    EXPECT_NE(table().TagArea("BIBLENO"), 0);
    EXPECT_TRUE(document.isOpen());
    EXPECT_FALSE(table().Exclusive);
    EXPECT_EQ(table().IndexOrd(), table().TagArea("date1"));
    EXPECT_EQ(reopened.size(), 1);
    SetSortOrder(table(), soBible);
    EXPECT_EQ(walk(), (std::vector<uint32_t>{2, 4, 3, 5, 1}));
}

TEST_F(Orders, DietRemovesDeletedSermonsForGood)
{
    table().Go(2);
    table().Delete();
    table().Go(4);
    table().Delete();
    SetSortOrder(table(), soTitle);
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_TRUE(fileDiet(document));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("파일 다이어트 완료")});
    EXPECT_EQ(table().RecCount(), 3u);
    EXPECT_EQ(table().IndexOrd(), table().TagArea("date1"));
    EXPECT_FALSE(table().Exclusive);
    table().SetShowDeleted(true);
    std::vector<QByteArray> titles;
    for (uint32_t r : walk()) {
        table().Go(r);
        titles.push_back(table().GetString("TITLE1"));
    }
    EXPECT_EQ(titles, (std::vector<QByteArray>{k("라"), k("다"), k("마")}));
}

TEST_F(Orders, RebuildAndDietAreRefusedWhileASermonIsEdited)
{
    table().GoTop();
    table().Edit();
    test::ScriptedPrompter prompts;
    prompts.ok().ok();
    EXPECT_FALSE(rebuildIndex(document));
    EXPECT_FALSE(fileDiet(document));
    EXPECT_EQ(prompts.texts(), (QStringList{store::refuseWhileEditingText(), store::refuseWhileEditingText()}));
    EXPECT_EQ(table().State(), xbase::TableState::Editing);
    table().Cancel();
}

TEST_F(Orders, AFailedDietLeavesTheTableOpenShared)
{
    // Another user has the table open: it cannot be opened exclusively.
    auto other = test::openTable(pf(QStringLiteral("c/sul2file.dbf")));
    test::ScriptedPrompter prompts;
    EXPECT_THROW(fileDiet(document), EUserError);
    EXPECT_TRUE(prompts.texts().isEmpty());
    EXPECT_TRUE(document.isOpen());
    EXPECT_FALSE(table().Exclusive);
    EXPECT_EQ(table().IndexOrd(), table().TagArea("date1"));
    EXPECT_EQ(table().Count(), 5u);
}

} // namespace
