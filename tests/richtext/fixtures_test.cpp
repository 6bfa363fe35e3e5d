// SPDX-License-Identifier: GPL-3.0-or-later
// RTF documents written by other programs, read in place with the texts
// they are known to hold.
#include "describe.h"

#include "platform/cp949.h"
#include "richtext/richtext.h"
#include "support/fixtures.h"

#include <QDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::richtext;

namespace {

QString rtfFolder() { return test::sharedFixtures() + QStringLiteral("/rtf"); }

// The characters of an expected text that CP949 lacks, each once.
QString unmappableIn(const QString &text)
{
    QString result;
    for (QChar c : text)
        if (!cp949::encode(QString(c)).ok() && !result.contains(c))
            result += c;
    return result;
}

TEST(RtfFixtures, EveryDocumentGivesItsExpectedText)
{
    VERBANA_REQUIRE_FIXTURES();
    const QStringList names = QDir(rtfFolder()).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 3);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString base = rtfFolder() + QLatin1Char('/') + name.chopped(4);
        const QByteArray expectedUtf8 = test::readAll(base + QStringLiteral(".expected.txt"));
        ASSERT_FALSE(expectedUtf8.isEmpty());
        // Stored form: CP949, CR LF; what CP949 lacks is '?' and reported.
        const QByteArray expected = test::cp949Lines(expectedUtf8);
        const QString expectedUnmappable = unmappableIn(QString::fromUtf8(expectedUtf8));

        PlainText fast;
        ASSERT_TRUE(plainTextOfFile(base + QStringLiteral(".rtf"), fast).ok());
        EXPECT_EQ(fast.bytes, expected);
        EXPECT_EQ(fast.unmappable, expectedUnmappable);

        QTextDocument doc;
        ASSERT_TRUE(readDocumentFile(base + QStringLiteral(".rtf"), doc).ok());
        const PlainText slow = plainText(doc);
        EXPECT_EQ(slow.bytes, expected);
        EXPECT_EQ(slow.unmappable, expectedUnmappable);

        // Our own RTF of the document holds the same text.
        QTextDocument again;
        readRtf(toRtf(doc), again);
        EXPECT_EQ(again.toPlainText(), doc.toPlainText());
        EXPECT_EQ(test::describe(again), test::describe(doc));
    }
}

TEST(RtfFixtures, WordPadDocumentKeepsFontSizeAndEmptyParagraphs)
{
    VERBANA_REQUIRE_FIXTURES();
    QTextDocument doc;
    ASSERT_TRUE(readDocumentFile(rtfFolder() + QStringLiteral("/nebulas-101-01-ko.rtf"), doc).ok());
    EXPECT_EQ(doc.blockCount(), 216);
    const QTextCharFormat f = doc.begin().begin().fragment().charFormat();
    EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{QStringLiteral("굴림")});
    EXPECT_EQ(f.fontPointSize(), 11.0);
    EXPECT_TRUE(doc.lastBlock().text().isEmpty());
    EXPECT_EQ(cp949::encode(doc.firstBlock().text()).bytes,
              test::fromHex("23204e6562756c617320313031202d20303120 c4c4c6c4c0cfb0fa20b3d7bae6b7afbdba20bcb3c4a1"));
}

TEST(RtfFixtures, Office2010FontNameWithEscapedSpace)
{
    VERBANA_REQUIRE_FIXTURES();
    QTextDocument doc;
    ASSERT_TRUE(readDocumentFile(rtfFolder() + QStringLiteral("/testKoreanEncoding.rtf"), doc).ok());
    EXPECT_EQ(doc.blockCount(), 1);
    EXPECT_EQ(doc.firstBlock().begin().fragment().charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("맑은 고딕")});
    EXPECT_EQ(doc.firstBlock().charFormat().fontPointSize(), 10.0);
}

// The run of block `block` that holds `text`.
QTextCharFormat formatOf(const QTextDocument &doc, int block, const QString &text)
{
    const QTextBlock b = doc.findBlockByNumber(block);
    const int at = b.text().indexOf(text);
    EXPECT_GE(at, 0) << text.toStdString();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.position() - b.position() <= at && at < f.position() - b.position() + f.length()) {
            EXPECT_GE(f.position() - b.position() + f.length(), at + text.size()) << text.toStdString();
            return f.charFormat();
        }
    }
    return {};
}

TEST(RtfFixtures, LibreOfficeDocumentKeepsItsFormatting)
{
    VERBANA_REQUIRE_FIXTURES();
    QTextDocument doc;
    ASSERT_TRUE(readDocumentFile(rtfFolder() + QStringLiteral("/lo-sermon-outline.rtf"), doc).ok());
    ASSERT_EQ(doc.blockCount(), 12); // 13 lines: one paragraph holds a line break
    const auto align = [&](int n) { return doc.findBlockByNumber(n).blockFormat().alignment() & Qt::AlignHorizontal_Mask; };
    EXPECT_EQ(align(0), Qt::AlignHCenter);
    EXPECT_EQ(align(1), Qt::AlignRight);
    EXPECT_EQ(align(11), Qt::AlignRight);
    EXPECT_EQ(align(3), Qt::AlignJustify);

    const QTextCharFormat title = formatOf(doc, 0, QStringLiteral("은혜 위에 은혜"));
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(formatOf(doc, 3, QStringLiteral("은혜")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(doc, 3, QStringLiteral("오늘 우리는")).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(doc, 3, QStringLiteral("오늘 우리는")).fontPointSize(), 11.0);
    EXPECT_EQ(formatOf(doc, 3, QStringLiteral("중요한 말은 붉은 글씨로 적었습니다")).foreground().color(), QColor(0xC0, 0, 0));
    const QTextCharFormat thanks = formatOf(doc, 6, QStringLiteral("감사"));
    EXPECT_TRUE(thanks.fontItalic());
    EXPECT_TRUE(thanks.fontUnderline());
    EXPECT_FALSE(formatOf(doc, 6, QStringLiteral("로 응답")).fontUnderline());
    EXPECT_EQ(formatOf(doc, 10, QStringLiteral("파란 글씨")).foreground().color(), QColor(0, 0, 0xFF));
    EXPECT_FALSE(formatOf(doc, 10, QStringLiteral("와 보통")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(doc, 2, QStringLiteral("서론")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("NanumGothic")});

    // 1 cm both sides; a hanging indent of 0.5 cm.
    const QTextBlockFormat indented = doc.findBlockByNumber(4).blockFormat();
    EXPECT_DOUBLE_EQ(indented.leftMargin(), 567 / 15.0);
    EXPECT_DOUBLE_EQ(indented.rightMargin(), 567 / 15.0);
    EXPECT_EQ(doc.findBlockByNumber(4).text(), QStringLiteral(u"왼쪽과 오른쪽을 1센티미터씩 들여 쓴 문단입니다.\u2028같은 문단 안에서 줄을 바꾸었습니다."));
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(5).blockFormat().textIndent(), -283 / 15.0);
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(3).blockFormat().textIndent(), 283 / 15.0);
}

} // namespace
