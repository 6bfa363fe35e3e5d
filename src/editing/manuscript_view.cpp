// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/manuscript_view.h"

#include "platform/cp949.h"
#include "richtext/richtext.h"
#include "search/highlight_terms.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace verbana::editing {

ManuscriptView::ManuscriptView(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    pump_.setSingleShot(true);
    pump_.setInterval(0);
    connect(&pump_, &QTimer::timeout, this, &ManuscriptView::appendPieces);
}

void ManuscriptView::clearView()
{
    pump_.stop();
    bytes_.clear();
    next_ = 0;
    file_.reset();
    fileRead_ = 0;
    lineEndPending_ = false;
    terms_.clear();
    clear();
    setCurrentCharFormat(QTextCharFormat());
}

void ManuscriptView::showText(QByteArray bytes, const QString &terms)
{
    clearView();
    // Everything after a NUL byte is no text.
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    bytes_ = std::move(bytes);
    start(terms);
}

void ManuscriptView::showFile(std::unique_ptr<files::File> file, const QString &terms)
{
    clearView();
    file_ = std::move(file);
    start(terms);
}

void ManuscriptView::start(const QString &terms)
{
    if (!terms.trimmed().isEmpty())
        terms_ << terms;
    appendPiece(kFirstPiece);
    moveCursor(QTextCursor::Start);
    if (loading())
        pump_.start();
    else
        Q_EMIT textComplete();
}

// Reads from the file until more than `wanted` bytes wait to be shown or
// the file has given all it has. A NUL byte ends the text, as does a
// failed read (what was shown stays).
void ManuscriptView::fill(qsizetype wanted)
{
    while (file_ && bytes_.size() - next_ <= wanted) {
        bytes_.remove(0, next_);
        next_ = 0;
        const qsizetype had = bytes_.size();
        const qsizetype chunk = std::max(wanted + 1 - had, kPiece);
        bytes_.resize(had + chunk);
        size_t got = 0;
        const bool read = bool(file_->readAt(fileRead_, std::span<char>(bytes_.data() + had, size_t(chunk)), &got));
        bytes_.resize(had + qsizetype(read ? got : 0));
        fileRead_ += got;
        const qsizetype zero = bytes_.indexOf('\0', had);
        if (zero >= 0)
            bytes_.truncate(zero);
        if (!read || got < size_t(chunk) || zero >= 0)
            file_.reset();
    }
}

void ManuscriptView::markTerms(const QString &terms)
{
    if (terms.trimmed().isEmpty())
        return;
    terms_ << terms;
    search::HighlightTerms(document(), terms);
}

void ManuscriptView::appendPieces()
{
    QElapsedTimer turn;
    turn.start();
    while (loading() && turn.elapsed() < kTurnMilliseconds)
        appendPiece(kPiece);
    if (loading())
        pump_.start();
    else
        Q_EMIT textComplete();
}

// Appends the bytes from next_ up to about `limit` of them, cut after a
// line end (a byte 0x0A is never part of a two-byte character) unless a
// single line is longer than that.
void ManuscriptView::appendPiece(qsizetype limit)
{
    fill(limit);
    qsizetype end = bytes_.size();
    if (end - next_ > limit) {
        const qsizetype lineEnd = bytes_.lastIndexOf('\n', next_ + limit - 1);
        if (lineEnd >= next_) {
            end = lineEnd + 1;
        } else {
            // One long line: cut it on a character boundary.
            end = next_;
            while (end < next_ + limit)
                end += cp949::charLength(bytes_, end);
        }
    }
    QString text = richtext::plainTextLines(QByteArrayView(bytes_).sliced(next_, end - next_));
    next_ = end;
    if (lineEndPending_)
        text.prepend(QLatin1Char('\n'));
    // A line end at the very end starts no further line.
    lineEndPending_ = text.endsWith(QLatin1Char('\n'));
    if (lineEndPending_)
        text.chop(1);
    const int firstBlock = document()->blockCount() - 1;
    QTextCursor tail(document());
    tail.movePosition(QTextCursor::End);
    tail.insertText(text);
    for (const QString &terms : std::as_const(terms_))
        search::HighlightTerms(document(), terms, firstBlock);
    if (!loading()) {
        bytes_ = QByteArray();
        next_ = 0;
    }
}

void ManuscriptView::copyAll()
{
    // The clipboard takes the whole text, pieces still to come included.
    QString all = toPlainText();
    while (file_)
        fill(bytes_.size() - next_ + 64 * kPiece);
    if (loading()) {
        QString rest = richtext::plainTextLines(QByteArrayView(bytes_).sliced(next_));
        if (lineEndPending_)
            rest.prepend(QLatin1Char('\n'));
        if (rest.endsWith(QLatin1Char('\n')))
            rest.chop(1);
        // As the document gives its text: line breaks as line ends, no-break
        // spaces as spaces.
        rest.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
        rest.replace(QChar(QChar::Nbsp), QLatin1Char(' '));
        all += rest;
    }
    QApplication::clipboard()->setText(all);
}

} // namespace verbana::editing
