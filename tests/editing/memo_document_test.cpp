// SPDX-License-Identifier: GPL-3.0-or-later
// The document editor without its window: ruler arithmetic, the size box,
// export names, and the manuscript's two files.
#include "editing/memo_document.h"
#include "support/fixtures.h"
#include "platform/cp949.h"
#include "richtext/richtext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::editing::memo;

namespace {

TEST(MemoRuler, MarkersAndIndentsConvertWithWholeNumbers)
{
    // The first-line marker dropped at 40 pixels, the left marker at 2.
    Indents i = dragFirstLineMarker({}, 40, 2);
    EXPECT_EQ(i.firstLine, 30);
    EXPECT_EQ(i.left, 1 - 30);
    i = dragLeftMarker(i, 80);
    EXPECT_EQ(i, (Indents{30, 60 - 30, 0}));
    EXPECT_EQ(dragRightMarker(i, 390, 500).right, 75);
    // Where the markers then stand: (4 × indent) div 3 + 2.
    EXPECT_EQ(markersFor({30, 30, 0}, 500), (Markers{42, 82, 500 - 8 - 6}));
    EXPECT_EQ(markersFor({10, 5, 3}, 500), (Markers{15, 22, 500 - 12 - 6}));

    // In a paragraph format the other lines start at the left margin and
    // the first line is moved from there.
    QTextBlockFormat f;
    applyIndents(f, {30, 15, 6});
    EXPECT_DOUBLE_EQ(f.leftMargin(), 60.0);
    EXPECT_DOUBLE_EQ(f.textIndent(), -20.0);
    EXPECT_DOUBLE_EQ(f.rightMargin(), 8.0);
    EXPECT_EQ(indentsOf(f), (Indents{30, 15, 6}));
}

TEST(MemoSizeBox, OnlyDigitsMakingSixToOneHundredTwentySevenCount)
{
    EXPECT_EQ(sizeFromBox(u"1a2"), 12);
    EXPECT_EQ(sizeFromBox(u"6"), 6);
    EXPECT_EQ(sizeFromBox(u" 127pt"), 127);
    for (const char16_t *ignored : {u"200", u"5", u"", u"abc", u"128", u"99999999999"})
        EXPECT_FALSE(sizeFromBox(ignored).has_value()) << QString::fromUtf16(ignored).toStdString();
}

TEST(MemoExport, NameAndFilterChooseTheFileAndItsKind)
{
    const ExportTarget plain = exportTarget(QStringLiteral("/d/memo"), 1);
    EXPECT_EQ(plain.path, QStringLiteral("/d/memo.TXT"));
    EXPECT_FALSE(plain.rich);
    const ExportTarget rich = exportTarget(QStringLiteral("/d/memo"), 0);
    EXPECT_EQ(rich.path, QStringLiteral("/d/memo.RTF"));
    EXPECT_TRUE(rich.rich);
    EXPECT_TRUE(exportTarget(QStringLiteral("/d/memo.rtf"), 1).rich);
    EXPECT_TRUE(exportTarget(QStringLiteral("/d/memo.xrtf2"), 1).rich);
    EXPECT_FALSE(exportTarget(QStringLiteral("/d/memo.txt"), 0).rich);
    EXPECT_EQ(exportTarget(QStringLiteral("/d/memo.txt"), 0).path, QStringLiteral("/d/memo.txt"));
}

TEST(MemoFiles, SaveWritesTheRtfAndTheCp949TextCopy)
{
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("work.rtf")), txt = dir.filePath(QStringLiteral("work.txt"));
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral(u"가나 A"), bold);
    c.insertBlock();
    c.insertText(QStringLiteral(u"다\u20a9\U0001F600"));

    const SaveOutcome saved = saveManuscript(doc, rtf, txt);
    EXPECT_TRUE(saved.ok()) << saved.error.toStdString();
    // CP949, CR LF, "?" for what CP949 cannot hold; the RTF keeps it.
    EXPECT_EQ(test::readAll(txt), QByteArray("\xb0\xa1\xb3\xaa A\r\n\xb4\xd9??\r\n"));
    EXPECT_EQ(saved.replaced, QStringLiteral(u"\u20a9\U0001F600"));
    const QByteArray rtfBytes = test::readAll(rtf);
    EXPECT_TRUE(rtfBytes.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtfBytes.contains("\\u8361?"));
    EXPECT_EQ(replacedMessage(saved.replaced, true),
              QStringLiteral(u"'\u20a9', '\U0001F600' 문자는 문자열 사본에 저장할 수 없어 \"?\"로 바꾸었습니다.\r"
                             u"원고 파일에는 그대로 저장되었습니다."));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";

    // A text copy that cannot be written leaves the old one and says so; an
    // RTF that cannot be written stops before the text copy.
    QTextDocument other;
    other.setPlainText(QStringLiteral("new"));
    const SaveOutcome half = saveManuscript(other, rtf, dir.filePath(QStringLiteral("none/work.txt")));
    EXPECT_TRUE(half.rtfWritten);
    EXPECT_FALSE(half.textWritten);
    EXPECT_TRUE(half.error.contains(QStringLiteral("none/work.txt")));
    const SaveOutcome none = saveManuscript(other, dir.filePath(QStringLiteral("none/work.rtf")), txt);
    EXPECT_FALSE(none.rtfWritten);
    EXPECT_FALSE(none.textWritten);
    EXPECT_EQ(test::readAll(txt), QByteArray("\xb0\xa1\xb3\xaa A\r\n\xb4\xd9??\r\n"));
}

TEST(MemoFiles, LoadTakesRtfCp949OrUtf8AndLeavesTheDocumentOnFailure)
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kept"));
    EXPECT_FALSE(loadFile(dir.filePath(QStringLiteral("missing.rtf")), doc).isEmpty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("kept"));

    const QString rtf = dir.filePath(QStringLiteral("a.rtf"));
    ASSERT_TRUE(test::writeAll(rtf, "{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f0\\fcharset129 Gulim;}}\\f0\\b \\'b0\\'a1\\b0 x\\par}"));
    ASSERT_TRUE(loadFile(rtf, doc).isEmpty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"가x"));
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);

    const QString cp = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(test::writeAll(cp, "\xb0\xa1\r\n\xb3\xaa\r\n"));
    ASSERT_TRUE(loadFile(cp, doc).isEmpty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"가\n나"));

    const QString utf = dir.filePath(QStringLiteral("u.txt"));
    ASSERT_TRUE(test::writeAll(utf, QStringLiteral(u"가나\r\n다\r\n").toUtf8()));
    ASSERT_TRUE(loadFile(utf, doc).isEmpty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"가나\n다"));
}

} // namespace
