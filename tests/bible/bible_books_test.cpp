// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/bible_books.h"

#include "platform/cp949.h"

#include <gtest/gtest.h>

using namespace verbana;

namespace {

QByteArray key(const char *utf8) { return bible::MakeBibleNo(cp949::encode(QString::fromUtf8(utf8)).bytes); }

TEST(BookTable, SixtySixBooksInCanonicalOrder)
{
    const bible::BookTable &t = bible::books();
    ASSERT_EQ(t.BookAbbrevs.size(), 66);
    ASSERT_EQ(t.BookNames.size(), 66);
    EXPECT_EQ(cp949::decode(t.BookAbbrevs[0]), QStringLiteral("창"));
    EXPECT_EQ(cp949::decode(t.BookNames[39]), QStringLiteral("마태복음"));
    EXPECT_EQ(cp949::decode(t.BookAbbrevs[61]), QStringLiteral("요일"));
    EXPECT_EQ(cp949::decode(t.BookNames[65]), QStringLiteral("요한계시록"));
}

struct Worked {
    const char *reference;
    const char *key;
};

class WorkedKeys : public ::testing::TestWithParam<Worked> {};

TEST_P(WorkedKeys, ParseToTheirKey)
{
    EXPECT_EQ(key(GetParam().reference), QByteArray(GetParam().key)) << GetParam().reference;
}

INSTANTIATE_TEST_SUITE_P(
    Parser, WorkedKeys,
    ::testing::Values(Worked{"창12:1-12", "01012001"}, Worked{"창세기1:2~3", "01001002"}, Worked{"창 1 : 2", "01001002"},
                      Worked{"삼상17", "09017001"}, Worked{"요한계시록", "66001001"}, Worked{"창12:", "01012001"},
                      Worked{"요1:1", "43001001"}, Worked{"요일1:1", "62001001"}, Worked{"시119:105", "19119105"},
                      Worked{"시편1234:5", "19123005"}, Worked{"창1장2절", "01012001"}, Worked{"창1:2,5", "01001025"},
                      Worked{"창1-2:3", "01001001"}, Worked{"창:5", "01001001"}, Worked{"창1:2:3", "01001001"},
                      Worked{"데살로니가전서5:16-18", "52005016"}, Worked{"12:1", "40029001"},
                      Worked{"창세1:1", "40029001"}, Worked{"창.12:1", "40029001"}, Worked{"마29:1", "40029001"},
                      Worked{"마태복음29", "40029001"}, Worked{"", "40029001"}, Worked{"   ", "40029001"},
                      Worked{"창007:012", "01007012"}));

TEST(BibleKeys, TextOrderIsBibleOrder)
{
    EXPECT_LT(key("창50:26"), key("출1:1"));
    EXPECT_LT(key("말4:6"), QByteArray("40000000"));
    EXPECT_TRUE(bible::isNewTestament(key("마1:1")));
    EXPECT_FALSE(bible::isNewTestament(key("말4:6")));
}

} // namespace
