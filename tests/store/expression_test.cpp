// SPDX-License-Identifier: GPL-3.0-or-later
#include "store_helpers.h"

#include "store/xbase/expression.h"

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::xbase;
using verbana::test::k;

namespace {

// A record of three fields: TITLE1 C(20), AIM C(10), DATE2 C(12).
struct Record {
    std::vector<dbf::Field> fields{{"TITLE1", 'C', 20, 0, 1}, {"AIM", 'C', 10, 0, 21}, {"DATE2", 'C', 12, 0, 31}};
    QByteArray bytes;
    Record(const QByteArray &title, const QByteArray &aim, const QByteArray &date2)
    {
        bytes = " " + title.leftJustified(20, ' ') + aim.leftJustified(10, ' ') + date2.leftJustified(12, ' ');
    }
    bool matches(const QByteArray &expr) const
    {
        auto e = Expression::compile(expr, fields);
        EXPECT_TRUE(e.isOk()) << expr.constData();
        return e && e->matches(bytes);
    }
};

TEST(Expression, GatheringExampleSelectsAsDescribed)
{
    const QByteArray expr = k("(\"기도\" $ UPPER(TITLE1)) .and. (.not.(\"감사\" $ UPPER(AIM))) .and. (DATE2 = \" \")");
    EXPECT_TRUE(Record(k("새벽 기도"), k("교훈"), "").matches(expr));
    EXPECT_FALSE(Record(k("새벽 기도"), k("감사"), "").matches(expr));
    EXPECT_FALSE(Record(k("새벽 기도"), k("교훈"), "2001.01.01").matches(expr));
    EXPECT_FALSE(Record(k("새벽 예배"), k("교훈"), "").matches(expr));
}

TEST(Expression, InexactEqualityAndItsNegation)
{
    const Record r("abc", "", "1998.05.01");
    EXPECT_TRUE(r.matches("DATE2 = \"1998.\""));
    EXPECT_TRUE(r.matches("DATE2 = \"\""));
    EXPECT_FALSE(r.matches("DATE2 = \"1999\""));
    EXPECT_FALSE(r.matches("DATE2 = \" \""));
    EXPECT_TRUE(r.matches("DATE2 <> \" \""));
    // A blank-padded field begins with a blank when empty.
    EXPECT_TRUE(r.matches("AIM = \" \""));
    EXPECT_FALSE(r.matches("AIM <> \" \""));
    // The right side longer than the field never matches.
    EXPECT_FALSE(r.matches("AIM = \"12345678901\""));
}

TEST(Expression, ContainsWorksOnWholeCharactersAndUpperFoldsAsciiOnly)
{
    // 똠 is 8C 63: "c" must not be found inside it, nor "C" after UPPER.
    const Record r(k("똠방각하 agape"), "", "");
    EXPECT_FALSE(r.matches("\"c\" $ TITLE1"));
    EXPECT_FALSE(r.matches("\"C\" $ UPPER(TITLE1)"));
    EXPECT_TRUE(r.matches("\"AGAPE\" $ UPPER(TITLE1)"));
    EXPECT_FALSE(r.matches("\"AGAPE\" $ TITLE1"));
    EXPECT_TRUE(r.matches(k("\"똠방\" $ title1")));
    EXPECT_TRUE(r.matches("\" \" $ TITLE1"));
    EXPECT_FALSE(r.matches("\"\" $ TITLE1"));
}

TEST(Expression, LogicalOperatorsAndFieldNamesIgnoreCase)
{
    const Record r("abc", "x", "");
    EXPECT_TRUE(r.matches("(\"a\" $ title1) .OR. (\"z\" $ Title1)"));
    EXPECT_FALSE(r.matches("(\"a\" $ title1) .And. (\"z\" $ Title1)"));
    EXPECT_TRUE(r.matches(".not. .not. (\"b\" $ TITLE1)"));
    EXPECT_TRUE(r.matches("\"a\" $ title1 .and. aim = \"x\" .or. \"q\" $ title1"));
}

TEST(Expression, RefusesAnythingOutsideTheDialect)
{
    const std::vector<dbf::Field> fields{{"TITLE1", 'C', 20, 0, 1}};
    for (const char *bad : {"", "TITLE1", "\"a\"", "(\"기\"도\" $ UPPER(TITLE1))", "\"a\" $ NOSUCH", "\"a\" $",
                            "UPPER(\"a\" $ TITLE1)", "\"a\" == TITLE1", "\"a\" $ TITLE1)", "(\"a\" $ TITLE1",
                            "\"a\" $ TITLE1 .xor. \"b\" $ TITLE1", "'a' $ TITLE1", "\"unclosed $ TITLE1",
                            ".not. TITLE1", "\"a\" $ TITLE1 .and. TITLE1"}) {
        auto e = Expression::compile(k(bad), fields);
        ASSERT_FALSE(e.isOk()) << bad;
        EXPECT_EQ(e.status().message(), QStringLiteral("Invalid Query Expression"));
    }
}

// Nesting beyond a hundred levels is refused before the stack could run
// out; long .and./.or. chains are no nesting and evaluate at any length.
TEST(Expression, BoundsNestingButNotChains)
{
    const std::vector<dbf::Field> fields{{"TITLE1", 'C', 20, 0, 1}};
    const QByteArray term = "\"a\" $ TITLE1";
    for (const QByteArray &deep : {"UPPER(" + QByteArray(3400, '('), QByteArray(30000, '('),
                                   QByteArray(101, '(') + term + QByteArray(101, ')'),
                                   "\"a\" $ " + QByteArray("UPPER(").repeated(101) + "TITLE1" + QByteArray(101, ')'),
                                   QByteArray(".not. ").repeated(20000) + term}) {
        auto e = Expression::compile(deep, fields);
        ASSERT_FALSE(e.isOk());
        EXPECT_EQ(e.status().message(), QStringLiteral("expression nested too deeply"));
    }
    const Record r("abc", "", "");
    EXPECT_TRUE(r.matches(QByteArray(100, '(') + term + QByteArray(100, ')')));
    EXPECT_TRUE(r.matches(".not. " + QByteArray("(").repeated(99) + "\"z\" $ TITLE1" + QByteArray(")").repeated(99)));
    const QByteArray chain = (term + " .and. ").repeated(200000) + term;
    EXPECT_TRUE(r.matches(chain));
    EXPECT_FALSE(r.matches(chain + " .and. \"z\" $ TITLE1"));
    EXPECT_TRUE(r.matches("\"z\" $ TITLE1" + (" .or. " + term).repeated(200000)));
}

} // namespace
