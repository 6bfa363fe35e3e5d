// SPDX-License-Identifier: GPL-3.0-or-later
// Marking the terms of a terms text in a manuscript view.
#include "search/highlight_terms.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace verbana::search {
namespace {

// The marked runs of the document as "text" pieces, in order.
QStringList marked(const QTextDocument &doc)
{
    QStringList runs;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const bool red = f.charFormat().foreground().color() == QColor(Qt::red);
            const bool bold = f.charFormat().fontWeight() == QFont::Bold;
            EXPECT_EQ(red, bold) << f.text().toStdString();
            if (red)
                runs << f.text();
        }
    return runs;
}

TEST(HighlightTerms, TermListSplitsAtDoubleSlashesAndDropsABlankTail)
{
    EXPECT_EQ(highlightTermList(QStringLiteral("은혜//")), QStringList{QStringLiteral("은혜")});
    EXPECT_EQ(highlightTermList(QStringLiteral("은혜//사랑")), (QStringList{QStringLiteral("은혜"), QStringLiteral("사랑")}));
    EXPECT_EQ(highlightTermList(QStringLiteral("은혜// //사랑// ")),
              (QStringList{QStringLiteral("은혜"), QStringLiteral(" "), QStringLiteral("사랑")}));
    EXPECT_EQ(highlightTermList(QStringLiteral("a////")), (QStringList{QStringLiteral("a"), QString()}));
    EXPECT_TRUE(highlightTermList(QStringLiteral("   ")).isEmpty());
    EXPECT_EQ(highlightTermList(QString(60, QChar(0xAC00)) + QStringLiteral("//")).front(), QString(50, QChar(0xAC00)));
}

TEST(HighlightTerms, MarksEveryOccurrenceOfEachTermLineByLineFoldingOnlyAsciiLetters)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Grace and grace, 은혜\nGRA\nCE 은혜로다 ÄGRACE"));
    const QString before = doc.toPlainText();
    HighlightTerms(&doc, QStringLiteral("grace//은혜//"));
    EXPECT_EQ(marked(doc), (QStringList{QStringLiteral("Grace"), QStringLiteral("grace"), QStringLiteral("은혜"),
                                        QStringLiteral("은혜"), QStringLiteral("GRACE")}));
    EXPECT_EQ(doc.toPlainText(), before);

    QTextDocument other;
    other.setPlainText(QStringLiteral("äbc ÄBC"));
    HighlightTerms(&other, QStringLiteral("äbc"));
    EXPECT_EQ(marked(other), QStringList{QStringLiteral("äbc")});

    // Blank terms text, an empty term and no document mark nothing.
    QTextDocument quiet;
    quiet.setPlainText(QStringLiteral("text"));
    HighlightTerms(&quiet, QStringLiteral("  "));
    HighlightTerms(&quiet, QStringLiteral("////"));
    HighlightTerms(nullptr, QStringLiteral("text"));
    EXPECT_TRUE(marked(quiet).isEmpty());
}

} // namespace
} // namespace verbana::search
