// SPDX-License-Identifier: GPL-3.0-or-later
// The go-to search's matching: fields folded on whole characters, text
// copies exact up to their first zero byte, occurrences only on character
// boundaries.
#include "search/goto_search.h"

#include "platform/cp949.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace verbana::search {
namespace {

QByteArray cp(const char *utf8) { return cp949::encode(QString::fromUtf8(utf8)).bytes; }

TEST(GoToSearch, MenuHoldsEveryFieldButTheBibleKeyEachOnce)
{
    const auto &items = goToItems();
    ASSERT_EQ(items.size(), 20u);
    std::vector<int> numbers;
    int inMenu = 0;
    for (const GoToItem &i : items) {
        numbers.push_back(i.number);
        inMenu += i.further ? 0 : 1;
    }
    EXPECT_EQ(inMenu, 11);
    std::sort(numbers.begin(), numbers.end());
    std::vector<int> expected;
    for (int n = 1; n <= 21; ++n)
        if (n != 6)
            expected.push_back(n);
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(QString::fromUtf16(items.front().caption), QStringLiteral("제목"));
    EXPECT_EQ(items.front().number, 2);
}

TEST(GoToSearch, SearchWordKeepsBlanksAndCutsAt100BytesOnWholeCharacters)
{
    EXPECT_EQ(searchWord(QStringLiteral(" 은혜 ")), cp(" 은혜 "));
    const QString syllables(60, QChar(0xAC00));
    EXPECT_EQ(searchWord(QStringLiteral("a") + syllables), "a" + cp949::encode(syllables.left(49)).bytes);
    EXPECT_EQ(searchWord(QString(120, QLatin1Char('x'))).size(), 100);
    // A character no stored text can hold finds nothing.
    EXPECT_TRUE(searchWord(QStringLiteral("😀")).isEmpty());
}

TEST(GoToSearch, FieldsFoldOnlyOneByteLettersAndMatchOnCharacterBoundaries)
{
    const auto holds = [](const char *field, const char *word) {
        return fieldHolds(cp(field), cp949::upperAscii(cp(word)));
    };
    EXPECT_TRUE(holds("Grace 은혜", "grace"));
    EXPECT_TRUE(holds("grace 은혜", "GRACE"));
    EXPECT_TRUE(holds("믿음 소망 사랑", "소망"));
    EXPECT_FALSE(holds("믿음", ""));
    // The second bytes of 똠 (8C 63) and 햏 (C1 64) are "c" and "d": a
    // lower-case word never meets them, folded or not.
    EXPECT_FALSE(holds("똠햏", "c"));
    EXPECT_FALSE(holds("똠햏", "C"));
    EXPECT_FALSE(holds("햏", "d"));
    EXPECT_TRUE(holds("똠c", "C"));
    // 가나 is B0 A1 B3 AA: 〕 (A1 B3) lies across the two syllables.
    EXPECT_FALSE(holds("가나", "〕"));
    EXPECT_TRUE(holds("가〕나", "〕"));
    // Trailing blanks of a field are not read, so a word ending in a blank
    // does not meet a field ending in the word.
    EXPECT_FALSE(holds("사랑", "사랑 "));
}

TEST(GoToSearch, TextCopiesMatchExactlyUpToTheirFirstZeroByte)
{
    EXPECT_TRUE(textHolds(cp("Amen 아멘"), cp("Amen")));
    EXPECT_FALSE(textHolds(cp("Amen 아멘"), cp("amen")));
    EXPECT_FALSE(textHolds(cp("가나"), cp("〕")));
    EXPECT_FALSE(textHolds(cp("똠"), "c"));
    EXPECT_TRUE(textHolds(cp("앞") + '\0' + cp("뒤"), cp("앞")));
    EXPECT_FALSE(textHolds(cp("앞") + '\0' + cp("뒤"), cp("뒤")));
}

} // namespace
} // namespace verbana::search
