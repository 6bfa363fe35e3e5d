// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF writer: its exact form, round trips of every attribute, and an
// outside reader (unrtf) reading what it wrote.
#include "describe.h"

#include "platform/cp949.h"
#include "richtext/richtext.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::richtext;

namespace {

QTextCharFormat chars(const QString &font, qreal size, bool b = false, bool i = false, bool u = false,
                      QColor color = QColor())
{
    QTextCharFormat f;
    f.setFontFamilies({font});
    f.setFontPointSize(size);
    f.setFontWeight(b ? QFont::Bold : QFont::Normal);
    f.setFontItalic(i);
    f.setFontUnderline(u);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

QTextBlockFormat para(Qt::Alignment a, int leftTwips = 0, int rightTwips = 0, int firstTwips = 0)
{
    QTextBlockFormat f;
    f.setAlignment(a);
    f.setLeftMargin(leftTwips / 15.0);
    f.setRightMargin(rightTwips / 15.0);
    f.setTextIndent(firstTwips / 15.0);
    return f;
}

// Paragraphs given as a block format, the paragraph mark's format and
// runs.
struct Run {
    QString text;
    QTextCharFormat format;
};

void addParagraph(QTextCursor &c, bool first, const QTextBlockFormat &bf, const QTextCharFormat &mark,
                  std::initializer_list<Run> runs)
{
    if (first) {
        c.setBlockFormat(bf);
        c.setBlockCharFormat(mark);
    } else {
        c.insertBlock(bf, mark);
    }
    for (const Run &r : runs)
        c.insertText(r.text, r.format);
}

const QString Gulim = QStringLiteral("굴림");

// Every attribute the editor can give, Korean text and empty paragraphs.
void attributeDocument(QTextDocument &doc, bool withTab = true)
{
    QTextCursor c(&doc);
    const QTextCharFormat plain = chars(Gulim, 10);
    addParagraph(c, true, para(Qt::AlignHCenter), chars(Gulim, 16, true),
                 {{QStringLiteral("은혜 위에 은혜"), chars(Gulim, 16, true)}});
    addParagraph(c, false, para(Qt::AlignRight, 0, 567), plain,
                 {{QStringLiteral("본문: 요한복음 1장"), plain}, {QStringLiteral(" 굵게"), chars(Gulim, 10, true)},
                  {QStringLiteral(" 기울임"), chars(Gulim, 10, false, true)},
                  {QStringLiteral(" 밑줄"), chars(Gulim, 10, false, false, true)},
                  {QStringLiteral(" 모두"), chars(Gulim, 10, true, true, true, QColor(0xC0, 0, 0))}});
    addParagraph(c, false, para(Qt::AlignLeft), chars(QStringLiteral("Arial"), 9), {});
    addParagraph(c, false, para(Qt::AlignLeft, 567, 567, -283), plain,
                 {{QStringLiteral("Arial 10.5 "), chars(QStringLiteral("Arial"), 10.5)},
                  {QStringLiteral("파란 글씨"), chars(QStringLiteral("맑은 고딕"), 12, false, false, false, Qt::blue)},
                  {QStringLiteral(u"와 줄\u2028바꿈 {괄호} \\ 기호 ※ “따옴표”"), plain}});
    addParagraph(c, false, para(Qt::AlignJustify, 0, 0, 283), plain,
                 {{withTab ? QStringLiteral("①\t첫째") : QStringLiteral("① 첫째"), plain}});
    addParagraph(c, false, para(Qt::AlignLeft), chars(Gulim, 20), {});
    addParagraph(c, false, para(Qt::AlignLeft), plain, {});
}

QString readBack(const QByteArray &rtf)
{
    QTextDocument doc;
    readRtf(rtf, doc);
    return test::describe(doc);
}

TEST(RtfWriter, WritesRichEditStyle)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    addParagraph(c, true, para(Qt::AlignHCenter), chars(Gulim, 10), {{QStringLiteral("가 A"), chars(Gulim, 10)}});
    addParagraph(c, false, para(Qt::AlignLeft, 567, 0, -283), chars(Gulim, 10),
                 {{QStringLiteral("b"), chars(QStringLiteral("Arial"), 11, true, false, false, Qt::red)},
                  {QStringLiteral(u"–{\\}\t"), chars(QStringLiteral("Arial"), 11)}});
    EXPECT_EQ(toRtf(doc).toStdString(),
              std::string("{\\rtf1\\ansi\\ansicpg949\\deff0\\deflang1033\\deflangfe1042{\\fonttbl"
                         "{\\f0\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}{\\f1\\fnil\\fcharset129 Arial;}}\r\n"
                         "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                         "\\viewkind4\\uc1\\pard\\qc\\f0\\fs20\\'b0\\'a1 A\\par\r\n"
                         "\\pard\\li567\\fi-283\\f1\\fs22\\cf1\\b b\\cf0\\b0\\u8211?\\{\\\\\\}\\tab\\f0\\fs20\\par\r\n"
                         "}\r\n"));
}

TEST(RtfWriter, EveryAttributeSurvivesARoundTrip)
{
    QTextDocument doc;
    attributeDocument(doc);
    const QByteArray first = toRtf(doc);
    EXPECT_EQ(readBack(first), test::describe(doc));
    QTextDocument again;
    readRtf(first, again);
    EXPECT_EQ(toRtf(again), first);
    EXPECT_EQ(plainText(again).bytes, plainText(doc).bytes);
    EXPECT_EQ(plainTextOf(first).bytes, plainText(doc).bytes);
}

TEST(RtfWriter, DocumentWithoutFormatsTakesTheDefaultFont)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    doc.setPlainText(QStringLiteral("첫째\n\n셋째"));
    const QByteArray rtf = toRtf(doc);
    QTextDocument read;
    readRtf(rtf, read);
    EXPECT_EQ(read.toPlainText(), doc.toPlainText());
    EXPECT_EQ(read.firstBlock().begin().fragment().charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Arial")});
    EXPECT_EQ(read.firstBlock().begin().fragment().charFormat().fontPointSize(), 12.0);
    EXPECT_EQ(toRtf(read), rtf);
}

TEST(RtfWriter, EmptyDocumentIsOneEmptyParagraph)
{
    QTextDocument doc;
    const QByteArray rtf = toRtf(doc);
    EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n"));
    QTextDocument read;
    readRtf(rtf, read);
    EXPECT_EQ(read.blockCount(), 1);
    EXPECT_TRUE(plainText(read).bytes.isEmpty());
}

TEST(RtfWriter, MegabyteDocumentRoundTrip)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QTextCharFormat plain = chars(Gulim, 10);
    const QTextCharFormat bold = chars(Gulim, 12, true, false, false, QColor(0, 0x80, 0));
    int n = 0;
    while (doc.characterCount() < 200000) {
        addParagraph(c, n == 0, para(n % 3 == 0 ? Qt::AlignLeft : Qt::AlignHCenter, (n % 5) * 100), plain,
                     {{QStringLiteral("%1. 태초에 하나님이 천지를 창조하시니라. ").arg(n), plain},
                      {QStringLiteral("땅이 혼돈하고 공허하며"), bold},
                      {QStringLiteral(" 흑암이 깊음 위에 있고 Spirit of God."), plain}});
        if (n % 10 == 0)
            addParagraph(c, false, para(Qt::AlignLeft), plain, {});
        ++n;
    }
    const QByteArray rtf = toRtf(doc);
    EXPECT_GT(rtf.size(), 1000000);
    QTextDocument read;
    readRtf(rtf, read);
    EXPECT_EQ(read.blockCount(), doc.blockCount());
    EXPECT_EQ(toRtf(read), rtf);
    const PlainText text = plainText(doc);
    EXPECT_TRUE(text.ok());
    EXPECT_EQ(plainTextOf(rtf).bytes, text.bytes);
    EXPECT_EQ(plainText(read).bytes, text.bytes);
}

TEST(RtfWriter, WritesThroughDevicesAndPaths)
{
    QTextDocument doc;
    attributeDocument(doc);
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writeRtf(doc, buffer).ok());
    EXPECT_EQ(buffer.data(), toRtf(doc));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sul1.RTF"));
    ASSERT_TRUE(writeRtfFile(doc, path).ok());
    QTextDocument read;
    ASSERT_TRUE(readDocumentFile(path, read).ok());
    EXPECT_EQ(test::describe(read), test::describe(doc));

    const Status missing = readDocumentFile(dir.filePath(QStringLiteral("none.rtf")), read);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error.contains(QStringLiteral("none.rtf")));
    EXPECT_FALSE(writeRtfFile(doc, dir.filePath(QStringLiteral("no/such/folder.rtf"))).ok());
}

QString unrtfHtml(const QString &unrtf, const QString &path)
{
    QProcess p;
    p.start(unrtf, {QStringLiteral("--html"), path});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What unrtf's HTML output says, as lines of text.
QStringList unrtfLines(QString html)
{
    const qsizetype body = html.indexOf(QStringLiteral("<body>"));
    html = html.mid(body + 6, html.indexOf(QStringLiteral("</body>")) - body - 6);
    html.remove(QLatin1Char('\n'));
    html.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    QRegularExpression entity(QStringLiteral("&#(\\d+);"));
    for (auto m = entity.match(html); m.hasMatch(); m = entity.match(html)) {
        const char32_t c = m.captured(1).toUInt();
        html.replace(m.capturedStart(), m.capturedLength(), QString::fromUcs4(&c, 1));
    }
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&ldquo;"), QStringLiteral(u"\u201c"));
    html.replace(QStringLiteral("&rdquo;"), QStringLiteral(u"\u201d"));
    html.replace(QStringLiteral("&lsquo;"), QStringLiteral(u"\u2018"));
    html.replace(QStringLiteral("&rsquo;"), QStringLiteral(u"\u2019"));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    QStringList lines = html.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(RtfWriter, UnrtfReadsOurTextBack)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (Debian package unrtf): outside-reader check skipped";
    QTextDocument doc;
    attributeDocument(doc, false); // unrtf renders a tab as spaces
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.rtf"));
    ASSERT_TRUE(writeRtfFile(doc, path).ok());
    QStringList ours = cp949::decode(plainText(doc).bytes).split(QStringLiteral("\r\n"));
    ours.removeLast();
    const QString html = unrtfHtml(unrtf, path);
    EXPECT_EQ(unrtfLines(html), ours);
    // It sees the formatting too.
    for (const char *mark : {"<center>", "font-size:16pt", "<b>", "<i>", "<u>", "color=\"#c00000\"",
                             "color=\"#0000ff\""})
        EXPECT_TRUE(html.contains(QLatin1String(mark))) << mark;
}

} // namespace
