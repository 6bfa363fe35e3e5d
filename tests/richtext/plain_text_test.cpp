// SPDX-License-Identifier: GPL-3.0-or-later
// Plain-text copies of documents: line ends, code page and the report of
// characters that code page 949 cannot hold.
#include "richtext/richtext.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace verbana::richtext;

namespace {

TEST(PlainText, OneLinePerParagraphWithCrLf)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral(u"가나\n\nA\u2028B\tC\u00a0D"));
    const PlainText t = plainText(doc);
    EXPECT_TRUE(t.ok());
    EXPECT_EQ(t.bytes, QByteArray("\xb0\xa1\xb3\xaa\r\n\r\nA\r\nB\tC D\r\n"));
}

TEST(PlainText, EmptyDocumentGivesEmptyText)
{
    QTextDocument doc;
    EXPECT_TRUE(plainText(doc).bytes.isEmpty());
    doc.setPlainText(QStringLiteral("\n"));
    EXPECT_EQ(plainText(doc).bytes, QByteArray("\r\n\r\n"));
}

TEST(PlainText, ReportsEachUnmappableCharacterOnceInOrder)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral(u"₩1,000 – ₩2 \U0001F600 é") );
    const PlainText t = plainText(doc);
    EXPECT_FALSE(t.ok());
    EXPECT_EQ(t.unmappable, QStringLiteral(u"₩–\U0001F600é"));
    EXPECT_EQ(t.bytes, QByteArray("?1,000 ? ?2 ? ?\r\n"));
}

TEST(PlainText, OfFileReadsRtfAndText)
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("설교\n본문"));
    const QString rtf = dir.filePath(QStringLiteral("a.rtf"));
    ASSERT_TRUE(writeRtfFile(doc, rtf).ok());
    PlainText t;
    ASSERT_TRUE(plainTextOfFile(rtf, t).ok());
    EXPECT_EQ(t.bytes, QByteArray("\xbc\xb3\xb1\xb3\r\n\xba\xbb\xb9\xae\r\n"));
    EXPECT_FALSE(plainTextOfFile(dir.filePath(QStringLiteral("missing.txt")), t).ok());
}

} // namespace
