// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cp949.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <random>

using namespace verbana;
using verbana::test::fromHex;

namespace {
// 똠 is 8C 63: its second byte looks like "c". 햏 is C1 64 ("d").
const QByteArray ddom = fromHex("8c63");
const QByteArray haeng = fromHex("c164");
} // namespace

TEST(Cp949, DecodesAndEncodesKorean)
{
    EXPECT_EQ(cp949::decode(fromHex("c3a231323a312d3132")), QStringLiteral("창12:1-12"));
    EXPECT_EQ(cp949::encode(QStringLiteral("똠방각하에게 배우는 겸손")).bytes,
              fromHex("8c63b9e6b0a2c7cfbfa1b0d420b9e8bfecb4c220b0e2bcd5"));
    EXPECT_EQ(cp949::encode(QStringLiteral("信望愛 부활의 아침")).bytes, fromHex("e3e1d8d0e4f120bacec8b0c0c720bec6c4a7"));
    EXPECT_EQ(cp949::decode("plain"), QStringLiteral("plain"));
}

TEST(Cp949, ReportsEveryCharacterItCannotHold)
{
    const cp949::Encoded e = cp949::encode(QStringLiteral("가😀나€다😀"));
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.unmappable, QStringLiteral("😀"));
    // The shortened bytes keep the neighbours; callers refuse them anyway.
    EXPECT_EQ(cp949::decode(e.bytes), QStringLiteral("가나€다"));
    EXPECT_EQ(cp949::encodeLossy(QStringLiteral("가😀")), fromHex("b0a1") + "?");
}

TEST(Cp949, EveryHangulSyllableGoesThereAndBack)
{
    QString all;
    for (char16_t c = 0xAC00; c <= 0xD7A3; ++c)
        all += QChar(c);
    const cp949::Encoded e = cp949::encode(all);
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(e.bytes.size(), 2 * 11172);
    EXPECT_EQ(cp949::decode(e.bytes), all);
    // A lone half of a surrogate pair is no character either.
    EXPECT_EQ(cp949::encode(QString(QChar(char16_t(0xD800)))).unmappable, QString(QChar(char16_t(0xD800))));
}

TEST(Cp949, InvalidBytesDecodeToReplacement)
{
    EXPECT_EQ(cp949::decode(fromHex("41ff42")), QStringLiteral("A\uFFFDB"));
    // A lone lead byte at the end.
    EXPECT_EQ(cp949::decode(fromHex("41b0")), QStringLiteral("A\uFFFD"));
    // A lead byte takes the byte after it along, even when the pair is none.
    EXPECT_EQ(cp949::decode(fromHex("b02042")), QStringLiteral("\uFFFDB"));
}

TEST(Cp949, ByteLengthCountsHangulAsTwo)
{
    EXPECT_EQ(cp949::byteLength(QStringLiteral("창12:1")), 6);
    EXPECT_EQ(cp949::byteLength(QString()), 0);
}

TEST(Cp949, CutNeverSplitsACharacter)
{
    const QByteArray text = cp949::encode(QStringLiteral("a가나")).bytes; // 61 b0a1 b3aa
    EXPECT_EQ(cp949::cut(text, 2), QByteArray("a"));
    EXPECT_EQ(cp949::cut(text, 3), fromHex("61b0a1"));
    EXPECT_EQ(cp949::cut(text, 4), fromHex("61b0a1"));
    EXPECT_EQ(cp949::cut(text, 5), text);
    EXPECT_EQ(cp949::cut(text, 0), QByteArray());
    // The second byte of 똠 is an ASCII letter but never a cut point.
    EXPECT_EQ(cp949::cut("x" + ddom, 2), QByteArray("x"));
}

TEST(Cp949, UpperCaseTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(cp949::upperAscii("agape 1"), QByteArray("AGAPE 1"));
    // 햏 (C1 64) must stay C1 64, not become C1 44.
    EXPECT_EQ(cp949::upperAscii(haeng + "d"), haeng + "D");
    EXPECT_EQ(cp949::upperAscii(ddom), ddom);
    EXPECT_EQ(cp949::lowerAscii(fromHex("9c58") + "X"), fromHex("9c58") + "x");
}

TEST(Cp949, SearchMatchesOnlyAtCharacterBoundaries)
{
    // "c" occurs as the second byte of 똠 but is not a character there.
    EXPECT_EQ(cp949::indexOf(ddom, "c"), -1);
    EXPECT_EQ(cp949::indexOf(ddom + "c", "c"), 2);
    // A needle starting with a trail byte lined up across two characters.
    const QByteArray text = fromHex("b0a1b3aa"); // 가나
    EXPECT_EQ(cp949::indexOf(text, fromHex("a1b3")), -1);
    EXPECT_EQ(cp949::indexOf(text, fromHex("b3aa")), 2);
    EXPECT_EQ(cp949::indexOf(text, QByteArray()), 0);
    EXPECT_EQ(cp949::indexOf("abcabc", "c", 3), 5);
    EXPECT_TRUE(cp949::contains(cp949::encode(QStringLiteral("주님께 드리는 기도")).bytes,
                                cp949::encode(QStringLiteral("기도")).bytes));
}

// Against a plain walk over the characters: long runs of lead-range bytes
// (where every byte could start a character) and their ends at odd and
// even offsets, with needles of one, two and more bytes.
TEST(Cp949, SearchAgreesWithAWalkOverTheCharacters)
{
    const auto walk = [](const QByteArray &text, const QByteArray &needle) -> qsizetype {
        for (qsizetype i = 0; i + needle.size() <= text.size(); i += cp949::charLength(text, i))
            if (text.mid(i, needle.size()) == needle)
                return i;
        return -1;
    };
    std::mt19937 rng(949);
    const char alphabet[] = {'\x81', '\xB0', '\xA1', 'A', ' '};
    for (int round = 0; round < 3000; ++round) {
        QByteArray text;
        const int size = int(rng() % 300);
        const unsigned ascii = 1 + rng() % 40; // how rarely an ASCII byte breaks a run
        for (int i = 0; i < size; ++i)
            text += rng() % ascii == 0 ? alphabet[3 + rng() % 2] : alphabet[rng() % 3];
        QByteArray needle;
        for (int i = 0, n = 1 + int(rng() % 4); i < n; ++i)
            needle += alphabet[rng() % 5];
        ASSERT_EQ(cp949::indexOf(text, needle), walk(text, needle)) << text.toHex().constData() << " / "
                                                                     << needle.toHex().constData();
    }
    QByteArray run;
    for (int i = 0; i < 5000; ++i)
        run += "\x81\xB0";
    EXPECT_EQ(cp949::indexOf(run, "\xB0\x81"), -1);
    EXPECT_EQ(cp949::indexOf(run + "\xB0\x81", "\xB0\x81"), 10000);
    const QByteArray shifted = "\x81" + run + "\xB0\x81"; // every pair now starts at an odd offset
    EXPECT_EQ(cp949::indexOf(shifted, "\x81\xB0"), walk(shifted, "\x81\xB0"));
    EXPECT_EQ(cp949::indexOf(shifted, "\xB0\x81"), 2);
}

TEST(Cp949, JohabTitlesConvert)
{
    // 한글 in Johab is D065 8B69.
    EXPECT_EQ(cp949::decode(cp949::johabToCp949(fromHex("d0658b69"))), QStringLiteral("한글"));
    EXPECT_EQ(cp949::johabToCp949("ABC"), QByteArray("ABC"));
}
