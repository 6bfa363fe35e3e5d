// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/highlight_terms.h"

#include "platform/cp949.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace verbana::search {

namespace {

constexpr qsizetype kTermBytes = 100;

// The longest start of the text that takes at most `limit` bytes in CP949,
// never ending inside a character.
QString cutToBytes(const QString &text, qsizetype limit)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const std::uint16_t code = cp949::encodeChar(text[i].unicode());
        const qsizetype width = (code != 0 && code < 0x80) || text[i].isNull() ? 1 : 2;
        if (bytes + width > limit)
            break;
        bytes += width;
        ++i;
    }
    return text.left(i);
}

// a..z turned into A..Z; every other character as it is.
QString foldAscii(QString text)
{
    for (QChar &c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 0x20);
    return text;
}

} // namespace

QStringList highlightTermList(const QString &terms)
{
    QStringList result;
    if (terms.trimmed().isEmpty())
        return result;
    const QStringList pieces = terms.split(QStringLiteral("//"));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const bool last = i == pieces.size() - 1;
        if (last && pieces[i].trimmed().isEmpty())
            continue;
        result.append(cutToBytes(pieces[i], kTermBytes));
    }
    return result;
}

void HighlightTerms(QTextDocument *view, const QString &terms) { HighlightTerms(view, terms, 0); }

void HighlightTerms(QTextDocument *view, const QString &terms, int firstBlock)
{
    if (!view || terms.trimmed().isEmpty())
        return;
    QTextCharFormat mark;
    mark.setForeground(Qt::red);
    mark.setFontWeight(QFont::Bold);
    QTextCursor cursor(view);
    cursor.beginEditBlock();
    for (const QString &term : highlightTermList(terms)) {
        // An empty term would be found again where it was found, forever.
        if (term.isEmpty())
            continue;
        const QString folded = foldAscii(term);
        for (QTextBlock block = view->findBlockByNumber(firstBlock); block.isValid(); block = block.next()) {
            const QString line = foldAscii(block.text());
            for (qsizetype at = line.indexOf(folded); at >= 0; at = line.indexOf(folded, at + folded.size())) {
                cursor.setPosition(block.position() + int(at));
                cursor.setPosition(block.position() + int(at + folded.size()), QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(mark);
            }
        }
    }
    cursor.endEditBlock();
}

} // namespace verbana::search
