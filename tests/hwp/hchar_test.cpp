// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/document.h"
#include "hwp/hchar.h"

#include <gtest/gtest.h>

using namespace verbana::hwp;

namespace {
QString convert(std::initializer_list<char16_t> codes)
{
    HcharConverter c;
    QString out;
    for (char16_t code : codes)
        c.append(out, code);
    return out;
}
} // namespace

TEST(Hchar, JohabSyllablesFromTheirFields)
{
    EXPECT_EQ(johabSyllable(0xD065), u'한');
    EXPECT_EQ(johabSyllable(0xB7B1), u'임');
    EXPECT_EQ(johabSyllable(0xA541), u'베');
    EXPECT_EQ(johabSyllable(0x8861), u'가');
    EXPECT_EQ(johabSyllable(0xD3BD), u'힣');
    EXPECT_EQ(johabSyllable(0x8841), 0); // ㄱ alone: a jamo, not a syllable
    EXPECT_EQ(johabSyllable(0x0041), 0);
    EXPECT_EQ(johabSyllable(0xFFFF), 0);
}

TEST(Hchar, ConvertsEachKindOfCode)
{
    EXPECT_EQ(convert({u'A', u'~', 0xD065, 0x8B69, 0xD3BD}), QStringLiteral("A~한글힣"));
    // Hanja in KS X 1001 order: 代理人 right after its reading in hwp3-sample.hwp.
    EXPECT_EQ(convert({0x4388, 0x4507, 0x4CAC}), QStringLiteral("代理人"));
    EXPECT_EQ(convert({0x0081, 0x0082, 0x0083, 0x0084}), QStringLiteral("“”‘’"));
    // KS symbols: row A1 column A2 (、), and the tenth row, which is AC (Cyrillic А).
    EXPECT_EQ(convert({0x3402, 0x3400 + 9 * 0x60 + 1}), QStringLiteral("、А"));
    // Kana: row AA (hiragana ぁ) and row AB (katakana ァ).
    EXPECT_EQ(convert({0x1F01, 0x1F61}), QStringLiteral("ぁァ"));
    EXPECT_EQ(convert({0x37C0, 0x37C1, 0x37C2, 0x37C3, 0x37C4, 0x37C5}), QStringLiteral("한글과컴퓨터"));
    EXPECT_EQ(convert({0x8841, 0x8461}), QStringLiteral("ㄱㅏ"));
}

TEST(Hchar, CodesWithoutEquivalentBecomeQuestionMarks)
{
    // 0x2022 (a list bullet of unknown meaning), an HWP-only Hanja, a
    // column outside the KS table, an unassigned code, old Hangul.
    EXPECT_EQ(convert({0x2022, 0x4000 + 4888, 0x3400, 0x0080, 0x1000, 0xFC41}), QStringLiteral("??????"));
}

TEST(Cp949Output, UnmappableCharactersBecomeQuestionMarksAndLinesEndInCrLf)
{
    EXPECT_EQ(toTextFile(u"가\uF53A나\n•x\n😀\n"), QByteArray("\xb0\xa1?\xb3\xaa\r\n?x\r\n?\r\n"));
    EXPECT_EQ(toCp949Lossy(u"plain"), QByteArray("plain"));
}
