// SPDX-License-Identifier: GPL-3.0-or-later
// Gathering logic: the field expression as the engine gets it and what it
// selects, the manuscript scan, counts and the batch deletions' files.
#include "../editing/editing_helpers.h"

#include "platform/cp949.h"
#include "search/gathering.h"
#include "store/sermon_record.h"

#include <gtest/gtest.h>

namespace verbana::test {
namespace {

using search::FieldCondition;
using search::ManuscriptQuery;

// A two-byte character whose second byte is the ASCII letter 'a' (0x61),
// and one whose second byte is 'A' (0x41).
const QByteArray kTrailSmallA("\x81\x61", 2);
const QByteArray kTrailBigA("\x81\x41", 2);

TEST(GatherExpression, BuildsEachKindOfConditionInRowOrder)
{
    // The worked example: 제목 기도, 설교방향 ~감사, 설교일 "=", AND.
    EXPECT_EQ(search::gatherExpression({{"TITLE1", cp("기도")}, {"AIM", cp("~감사")}, {"DATE2", "="}, {"TITLE2", ""}},
                                       true),
              cp("(\"기도\" $ UPPER(TITLE1)) .and. (.not.(\"감사\" $ UPPER(AIM))) .and. (DATE2 = \" \")"));
    EXPECT_EQ(search::gatherExpression({{"DATE2", "=rest"}, {"AIM", "#x"}}, false),
              QByteArray("(DATE2 = \" \") .or. (AIM <> \" \")"));
    EXPECT_EQ(search::gatherExpression({{"TITLE1", ""}, {"AIM", ""}}, true), QByteArray());
    // Latin letters are upper-cased; a second byte that looks like one is not.
    EXPECT_EQ(search::fieldCondition({"ETCS", "grace" + kTrailSmallA}),
              "(\"GRACE" + kTrailSmallA + "\" $ UPPER(ETCS))");
    // Cut to 30 bytes on a character boundary: "a" and 15 syllables (31 bytes)
    // keep "a" and 14 syllables.
    const QByteArray syllables = cp("가나다라마바사아자차카타파하기");
    EXPECT_EQ(search::fieldCondition({"TITLE1", "a" + syllables}),
              "(\"A" + syllables.first(28) + "\" $ UPPER(TITLE1))");
    // A field name is used up to 12 characters.
    EXPECT_EQ(search::fieldCondition({"ABCDEFGHIJKLMN", "#"}), QByteArray("(ABCDEFGHIJKL <> \" \")"));
}

class GatherCollection : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = std::make_unique<TestCollection>(std::vector<SermonRow>{
            {"2001.01.01", "기도의 삶", "d0\\sul0.RTF"},
            {"2001.01.02", "Grace alone", "d0\\sul1.RTF"},
            {"2001.01.03", "감사", "d0\\sul2.hwp"},
            {"2001.01.04", "믿음", ""}});
        set(1, store::fAIM, cp("감사와 찬양"));
        set(1, store::fDATE2, "2001.02.01");
        set(2, store::fAIM, cp("위로"));
        set(3, store::fDATE2, " x");
        c->table().SetOrder(0);
        c->writeFile(QStringLiteral("text/d0/sul0.txt"), cp("주님께 기도합니다. Amen"));
        c->writeFile(QStringLiteral("text/d0/sul1.txt"), "grace" + QByteArray(1, '\0') + "hidden" + kTrailBigA);
        c->writeFile(QStringLiteral("text/d0/SUL2.TXT"), cp("감사 기도"));
        c->writeFile(QStringLiteral("data/d0/sul0.RTF"));
        c->writeFile(QStringLiteral("data/d0/sul1.RTF"));
        c->writeFile(QStringLiteral("data/d0/sul2.hwp"));
    }
    void set(uint32_t recno, int field, const QByteArray &value)
    {
        c->table().Go(recno);
        c->table().Edit();
        c->table().PutString(field, value);
        c->table().Post();
    }
    std::vector<uint32_t> gathered(const std::vector<FieldCondition> &rows, bool useAnd)
    {
        c->table().Query(search::gatherExpression(rows, useAnd));
        return c->recnos();
    }
    std::vector<uint32_t> scanned(const ManuscriptQuery &q)
    {
        c->table().Query({});
        return search::scanManuscripts(c->table(), c->document().paths(), q);
    }
    std::unique_ptr<TestCollection> c;
};

TEST_F(GatherCollection, FieldConditionsSelectWhatTheyName)
{
    using V = std::vector<uint32_t>;
    // "=": blank (or beginning with a blank); "#": the others.
    EXPECT_EQ(gathered({{"DATE2", "="}}, true), (V{2, 3, 4}));
    EXPECT_EQ(gathered({{"DATE2", "#"}}, true), (V{1}));
    EXPECT_EQ(gathered({{"AIM", cp("~감사")}}, true), (V{2, 3, 4}));
    EXPECT_EQ(gathered({{"TITLE1", "grACE"}}, true), (V{2}));
    EXPECT_EQ(gathered({{"TITLE1", cp("기도")}, {"TITLE1", cp("감사")}}, false), (V{1, 3}));
    EXPECT_EQ(gathered({{"TITLE1", cp("기도")}, {"AIM", cp("위로")}}, true), (V{}));
    // A word that holds a double quote is no condition the engine can read.
    EXPECT_THROW(c->table().Query(search::gatherExpression({{"TITLE1", "a\"b"}}, true)), xbase::EApolloError);
    EXPECT_TRUE(search::isGathered(c->table()));
    EXPECT_EQ(search::countMessage(c->table().Count(), true), QStringLiteral("현재 검색되어 모아진 설교는 0 편 입니다."));
    c->table().Query({});
    EXPECT_EQ(search::countMessage(c->table().Count(), search::isGathered(c->table())),
              QStringLiteral("현재 설교는 모두 4 편 입니다."));
}

TEST_F(GatherCollection, ManuscriptScanMatchesBytesOnCharacterBoundaries)
{
    using V = std::vector<uint32_t>;
    ManuscriptQuery q;
    EXPECT_EQ(scanned(q), (V{1, 2, 3})); // AND, no word: every sermon with a text copy
    q.useAnd = false;
    EXPECT_EQ(scanned(q), (V{})); // OR, no word: none
    q.words = {cp("기도"), "  ", "", "Amen"};
    EXPECT_EQ(scanned(q), (V{1, 3}));
    q.useAnd = true;
    EXPECT_EQ(scanned(q), (V{1}));
    q.words = {"amen", "", "", ""}; // case counts
    EXPECT_EQ(scanned(q), (V{}));
    q.words = {"grace", "", "", ""};
    EXPECT_EQ(scanned(q), (V{2}));
    q.words = {"hidden", "", "", ""}; // after the first zero byte
    EXPECT_EQ(scanned(q), (V{}));
    // "A" is the second byte of a character in sul1.txt, never a match.
    EXPECT_FALSE(search::manuscriptMatches("x" + kTrailBigA, {{"A", "", "", ""}, true}));
    EXPECT_TRUE(search::manuscriptMatches("x" + kTrailBigA + "A", {{"A", "", "", ""}, true}));
    q.words = {cp("기도"), " ", "Amen", ""};
    EXPECT_EQ(search::highlightTerms(q), QStringLiteral("기도//Amen"));

    // Marks: only the found records are in view; the table reports ".MARKED.".
    search::markGathered(c->table(), {1, 3});
    EXPECT_EQ(c->recnos(), (V{1, 3}));
    EXPECT_EQ(c->table().DBFilter(), QByteArray(".MARKED."));
    EXPECT_TRUE(search::isGathered(c->table()));
}

TEST_F(GatherCollection, BatchDeletionsRemoveRecordsAndFilesOnly)
{
    c->writeFile(QStringLiteral("text/.txt"));
    c->table().Query(search::gatherExpression({{"TITLE1", cp("기도")}, {"TITLE1", cp("믿음")}}, false));
    EXPECT_EQ(search::deleteNotGathered(c->document()), 2u);
    EXPECT_EQ(c->recnos(), (std::vector<uint32_t>{1, 4}));
    EXPECT_TRUE(c->exists(QStringLiteral("text/d0/sul0.txt")));
    EXPECT_FALSE(c->exists(QStringLiteral("text/d0/sul1.txt")));
    EXPECT_FALSE(c->exists(QStringLiteral("data/d0/sul1.RTF")));
    EXPECT_FALSE(c->exists(QStringLiteral("text/d0/SUL2.TXT")));
    EXPECT_FALSE(c->exists(QStringLiteral("data/d0/sul2.hwp")));
    // Without a gathering every sermon goes; the sermon without a manuscript
    // name takes no folder nor any other file with it.
    EXPECT_EQ(search::deleteGathered(c->document()), 2u);
    EXPECT_EQ(c->recnos(), (std::vector<uint32_t>{}));
    EXPECT_FALSE(c->exists(QStringLiteral("text/d0/sul0.txt")));
    EXPECT_FALSE(c->exists(QStringLiteral("data/d0/sul0.RTF")));
    EXPECT_TRUE(c->exists(QStringLiteral("data/d0")));
    EXPECT_TRUE(c->exists(QStringLiteral("text/.txt")));
    EXPECT_EQ(c->table().RecCount(), 4u);
    EXPECT_FALSE(search::isGathered(c->table()));
}

} // namespace
} // namespace verbana::test
