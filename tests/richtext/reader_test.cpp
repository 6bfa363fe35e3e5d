// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader on hand-written documents: text, destinations, Unicode
// fallbacks, paragraphs and formatting, and damaged input.
#include "describe.h"

#include "richtext/richtext.h"

#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::richtext;
using verbana::test::cp949Lines;

namespace {

const QByteArray Head = QByteArrayLiteral(
    "{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue255;\\red192\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ");

// The plain text of an RTF body, by both readers; they must agree.
QByteArray textOf(const QByteArray &body, QString *unmappable = nullptr)
{
    const QByteArray rtf = Head + body + "}\r\n";
    const PlainText fast = plainTextOf(rtf);
    QTextDocument doc;
    readRtf(rtf, doc);
    const PlainText slow = plainText(doc);
    EXPECT_EQ(fast.bytes, slow.bytes) << body.constData();
    EXPECT_EQ(fast.unmappable, slow.unmappable) << body.constData();
    if (unmappable)
        *unmappable = fast.unmappable;
    return fast.bytes;
}

QByteArray lines(const char *utf8) { return cp949Lines(QByteArray(utf8)); }

struct TextCase {
    const char *name;
    const char *body;
    const char *expected; // UTF-8, LF per line
};

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, GivesTheDocumentText)
{
    EXPECT_EQ(textOf(QByteArray(GetParam().body)), lines(GetParam().expected));
}

const TextCase textCases[] = {
    {"hangul_escapes", "\\'c4\\'c4\\'c6\\'c4\\'c0\\'cf\\'b0\\'fa\\par\r\n", "컴파일과\n"},
    {"upper_case_hex", "\\'C4\\'C4\\par", "컴\n"},
    {"raw_cp949_bytes", "\xc4\xc4\xc6\xc4\\par", "컴파\n"},
    // A lead byte takes the next byte along even when that is a plain
    // letter (an extension syllable such as 0x81 0x41).
    {"trail_byte_is_a_letter", "\\'81A\\par", "갂\n"},
    {"n_paragraphs_for_n_par", "a\\par b\\par\r\n\\par\r\n", "a\nb\n\n"},
    {"text_after_last_par", "a\\par b", "a\nb\n"},
    {"line_and_tab", "a\\line b\\tab c\\par", "a\nb\tc\n"},
    {"escaped_braces_and_backslash", "meta \\{ x\\\\y \\}\\par", "meta { x\\y }\n"},
    {"space_after_keyword_belongs_to_it", "\\lang1042 MS\\b  two\\par", "MS two\n"},
    {"source_line_ends_mean_nothing", "ab\r\ncd\nef\\par", "abcdef\n"},
    {"unicode_with_question_fallback", "\\u45796?\\u51473?\\par", "다중\n"},
    {"unicode_with_escape_fallback", "\\u51008\\'3f\\u54812\\'3f\\par", "은혜\n"},
    {"negative_unicode", "\\u-10916?\\par", "한\n"},
    {"uc2_with_cp949_fallback", "\\uc2\\u51008\\'c0\\'ba x\\par", "은 x\n"},
    {"uc0_no_fallback", "\\uc0\\u51008 x\\par", "은x\n"},
    {"fallback_stops_at_group_end", "\\uc3{\\u51008 ?}x\\par", "은x\n"},
    {"uc_is_group_local", "{\\uc2\\u51008\\'c0\\'ba}\\u54812?\\par", "은혜\n"},
    {"symbol_words", "\\lquote a\\rquote \\ldblquote b\\rdblquote\\par", "‘a’“b”\n"},
    {"nonbreaking_space_and_hyphens", "a\\~b\\-c\\_d\\par", "a bc-d\n"},
    {"unknown_star_destination", "{\\*\\generator Riched20 10.0;}{\\*\\mmathPr\\mwrapIndent1440}x\\par", "x\n"},
    {"unknown_words_ignored", "\\nouicompat\\viewkind4\\sa200\\sl276\\slmult1 x\\par", "x\n"},
    {"stylesheet_info_skipped", "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x\\par", "x\n"},
    {"pict_with_binary_braces", "{\\pict\\wmetafile8\\bin6 }{\\\\{x}y\\par", "y\n"},
    {"object_and_field", "{\\object{\\*\\objdata 0102}{\\result r}}{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}\\par",
     "link\n"},
    {"header_footer_footnote_skipped", "{\\header h}{\\footer f}a{\\footnote n}b\\par", "ab\n"},
    {"bullet_text_skipped", "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody}x\\par", "x\n"},
    {"list_text_skipped", "{\\listtext\\pard\\plain 1.\\tab}x\\par", "x\n"},
    {"table_cells_are_lines", "\\trowd\\cellx1000\\cellx2000\\intbl A\\cell B\\cell\\row\\pard after\\par",
     "A\nB\nafter\n"},
    {"backslash_newline_is_par", "a\\\r\nb\\par", "a\nb\n"},
    {"control_bytes_dropped", "a\\'00\\'0d\\'07b\\par", "ab\n"},
};

std::string caseName(const ::testing::TestParamInfo<TextCase> &c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(Reader, RtfText, ::testing::ValuesIn(textCases), caseName);

TEST(RtfReader, IgnoresEverythingAfterTheClosingBrace)
{
    const QByteArray rtf = Head + "x\\par\r\n}\r\n" + QByteArray(1, '\0') + "junk\\par more";
    EXPECT_EQ(plainTextOf(rtf).bytes, lines("x\n"));
}

TEST(RtfReader, UnclosedDocumentEndsAtTheEndOfData)
{
    EXPECT_EQ(plainTextOf(Head + "{\\b abc").bytes, lines("abc\n"));
}

TEST(RtfReader, EmptyRichEditDocumentIsEmpty)
{
    const QByteArray rtf = QByteArrayLiteral(
        "{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fnil\\fcharset129 \\'b3\\'aa\\'b4\\'ae\\'b8\\'ed\\'c1\\'b6;}}\r\n"
        "\\viewkind4\\uc1\\pard\\lang1042\\f0\\fs24\\par\r\n}\r\n");
    QTextDocument doc;
    readRtf(rtf, doc);
    EXPECT_EQ(doc.blockCount(), 1);
    EXPECT_TRUE(plainText(doc).bytes.isEmpty());
    EXPECT_TRUE(plainTextOf(rtf).bytes.isEmpty());
    // The empty paragraph keeps the font and size it was given.
    EXPECT_EQ(doc.firstBlock().charFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("나눔명조")});
    EXPECT_EQ(doc.firstBlock().charFormat().fontPointSize(), 12.0);
}

TEST(RtfReader, ReportsInvalidBytesAndUnmappableCharacters)
{
    QString unmappable;
    // A lone lead byte before a Unicode character, an unassigned pair, a
    // character outside CP949 and one outside the BMP.
    EXPECT_EQ(textOf("a\\'c4\\u8211?b\\'c9\\'41\\u-10179?\\u-8704?\\par", &unmappable), QByteArray("a??b??\r\n"));
    EXPECT_EQ(unmappable, QStringLiteral(u"\uFFFD\u2013") + QString::fromUcs4(U"\U0001F600", 1));
}

TEST(RtfReader, ReadsCharacterFormatting)
{
    QTextDocument doc;
    readRtf(Head + "a\\b b\\b0\\i i\\i0\\ul u\\ulnone\\ul0\\uldb d\\ul0\\fs32 s\\fs20\\cf2 r\\cf0\\f1 f\\plain p\\par}", doc);
    EXPECT_EQ(test::describe(doc),
              QStringLiteral("L li0 ri0 fi0 mark[굴림 12]:[굴림 10]\"a\"[굴림 10 b]\"b\"[굴림 10 i]\"i\"[굴림 10 u]\"ud\""
                             "[굴림 16]\"s\"[굴림 10 #c00000]\"r\"[Arial 10]\"f\"[굴림 12]\"p\"\n"));
}

TEST(RtfReader, ReadsParagraphFormatting)
{
    QTextDocument doc;
    readRtf(Head + "\\qc c\\par\\pard\\qr\\li567\\ri1134\\fi-283 r\\par\\pard\\qj j\\par\\pard l\\par}", doc);
    const QString d = test::describe(doc);
    EXPECT_TRUE(d.startsWith(QStringLiteral("C li0 ri0 fi0"))) << qPrintable(d);
    EXPECT_TRUE(d.contains(QStringLiteral("\nR li37.8 ri75.6 fi-18.8667"))) << qPrintable(d);
    EXPECT_TRUE(d.contains(QStringLiteral("\nJ li0"))) << qPrintable(d);
    EXPECT_TRUE(d.contains(QStringLiteral("\nL li0"))) << qPrintable(d);
}

TEST(RtfReader, GroupsRestoreProperties)
{
    QTextDocument doc;
    readRtf(Head + "{\\b\\cf1 x{\\i y}z}w\\par}", doc);
    EXPECT_EQ(test::describe(doc),
              QStringLiteral("L li0 ri0 fi0 mark[굴림 10]:[굴림 10 b #0000ff]\"x\"[굴림 10 b i #0000ff]\"y\"[굴림 10 b #0000ff]\"z\"[굴림 10]\"w\"\n"));
}

TEST(RtfReader, DoubleByteRunsTakeTheirAssociatedProperties)
{
    // As other word processors write Korean: \afs and \ab after \dbch.
    QTextDocument doc;
    readRtf(Head + "\\fs22{\\dbch\\afs32\\ab\\dbch \\u51008\\'3f}{\\loch\\b a}{\\dbch\\ab\\loch b}\\par}", doc);
    EXPECT_EQ(test::describe(doc),
              QStringLiteral("L li0 ri0 fi0 mark[굴림 11]:[굴림 16 b]\"은\"[굴림 11 b]\"a\"[굴림 11]\"b\"\n"));
}

TEST(RtfReader, FontNamesTakeEscapesAndUnicode)
{
    QTextDocument doc;
    readRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset129{\\*\\panose 0}\\'b1\\'bc\\u47548?;}\\f1 Plain Font ;}\\f0 a\\f1 b\\par}",
            doc);
    EXPECT_EQ(test::describe(doc), QStringLiteral("L li0 ri0 fi0 mark[Plain Font 12]:[굴림 12]\"a\"[Plain Font 12]\"b\"\n"));
}

TEST(RtfReader, FontCharsetsChooseTheCodePage)
{
    const QByteArray rtf = QByteArrayLiteral(
        "{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f0\\fcharset129 A;}{\\f1\\fcharset0 B;}{\\f2\\fcharset1 C;}"
        "{\\f3\\fcharset128 D;}}\\f0\\'b0\\'a1\\f1\\'e9\\f2\\'b0\\'a1\\f3\\'82\\'a0\\par}");
    QTextDocument doc;
    readRtf(rtf, doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"가é가あ"));
    const PlainText fast = plainTextOf(rtf);
    EXPECT_EQ(fast.bytes, plainText(doc).bytes);
    EXPECT_EQ(fast.bytes, QByteArray("\xb0\xa1?\xb0\xa1\xaa\xa2\r\n"));
    EXPECT_EQ(fast.unmappable, QStringLiteral(u"é"));
}

TEST(RtfReader, TheLastDefinitionOfAFontNumberWins)
{
    // \f1 is Arial in code page 1252 first, then 굴림 in code page 949.
    const QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f1\\fcharset0 Arial;}{\\f2 B;}"
                                             "{\\f1\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}\\f1\\'b0\\'a1\\par}");
    QTextDocument doc;
    readRtf(rtf, doc);
    EXPECT_EQ(test::describe(doc), QStringLiteral("L li0 ri0 fi0 mark[굴림 12]:[굴림 12]\"가\"\n"));
    EXPECT_EQ(plainTextOf(rtf).bytes, QByteArray("\xb0\xa1\r\n"));
}

TEST(RtfReader, TextTakesAtMost256FontFamilies)
{
    // Past 256 names, text in a further font takes the default font.
    QByteArray table = "{\\rtf1{\\fonttbl";
    QByteArray body;
    for (int i = 0; i < 300; ++i) {
        table += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
        body += "\\f" + QByteArray::number(i) + " x";
    }
    QTextDocument doc;
    readRtf(table + "}" + body + "\\par}", doc);
    QSet<QString> families;
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it)
        families += it.fragment().charFormat().fontFamilies().toStringList().join(QLatin1Char(','));
    EXPECT_EQ(families.size(), 257);
    EXPECT_TRUE(families.contains(QString()));
    EXPECT_TRUE(families.contains(QStringLiteral("F255")));
    EXPECT_EQ(doc.toPlainText(), QString(300, QLatin1Char('x')));
}

TEST(RtfReader, DeepNestingAndHugeNumbersDoNotHurt)
{
    QByteArray rtf = Head;
    rtf += QByteArray(100000, '{') + "\\fs99999999999999999999\\li-99999999999 x" + QByteArray(100000, '}');
    rtf += "y\\par}";
    QTextDocument doc;
    readRtf(rtf, doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("xy"));
    EXPECT_EQ(plainTextOf(rtf).bytes, QByteArray("xy\r\n"));
}

TEST(PlainTextFiles, AreReadAsCp949Lines)
{
    const QByteArray text = cp949Lines("첫 줄\n\n둘째 줄\n");
    QTextDocument doc;
    readDocument(text, doc);
    EXPECT_EQ(doc.blockCount(), 3);
    EXPECT_EQ(plainText(doc).bytes, text);
    EXPECT_EQ(plainTextOf(text).bytes, text);
    EXPECT_EQ(plainTextOf(QByteArray("a\nb\rc")).bytes, QByteArray("a\r\nb\r\nc\r\n"));
    EXPECT_TRUE(plainTextOf(QByteArray()).bytes.isEmpty());
    // "{\rtf" without the rest is still RTF; anything else is text.
    EXPECT_FALSE(isRtf("{\\rt"));
    EXPECT_EQ(plainTextOf(QByteArray(" {\\rtf1 x}")).bytes, QByteArray(" {\\rtf1 x}\r\n"));
}

} // namespace
