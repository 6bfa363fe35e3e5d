// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

namespace verbana::search {

// The terms of a terms text: the pieces between "//" as they stand (even
// blank ones), and what follows the last "//" only when it is not blank;
// each cut to its first 100 bytes in CP949. None when the whole text is
// blank.
QStringList highlightTermList(const QString &terms);

// Marks, red and bold, every occurrence of each term in the text a
// manuscript view shows. Each term is looked for from the start of the
// text, line by line (an occurrence never spans two lines), "a".."z"
// counting equal to "A".."Z" and nothing else folded. An empty term marks
// nothing. The marks are formatting only: the view's text and any file are
// left alone. Nothing happens for a null document or a blank terms text.
void HighlightTerms(QTextDocument *view, const QString &terms);
// The same for the lines from `firstBlock` (a block number) to the end:
// a view that receives its text in pieces marks each piece as it comes.
void HighlightTerms(QTextDocument *view, const QString &terms, int firstBlock);

} // namespace verbana::search
