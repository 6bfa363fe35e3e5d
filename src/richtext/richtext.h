// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;
class QTextDocument;

// Manuscripts of the built-in editor: RTF in the style Windows RichEdit
// writes with code page 949, read into and written from a QTextDocument,
// and the plain-text copy kept beside every manuscript.
//
// The document holds what the editor formats: per character the font
// name, size in points, colour (foreground brush; none = automatic), bold,
// italic and underline; per paragraph (block) the alignment and the left,
// right and first-line indents. Indents are QTextBlockFormat margins and
// text indent in document pixels at 96 per inch (one pixel = 15 twips =
// 3/4 point); the first-line indent counts from the left indent, as in
// RTF. A line break inside a paragraph is U+2028 (QChar::LineSeparator).
namespace verbana::richtext {

// The outcome of a file operation: empty error when it worked.
struct [[nodiscard]] Status {
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A plain text in code page 949: the characters only, each paragraph a
// line ending in CR LF (a line break inside a paragraph ends a line too).
// A character that CP949 cannot hold is written as '?' and listed in
// `unmappable` (each once, in order of appearance), so that the caller can
// tell the user which character before anything is stored.
struct PlainText {
    QByteArray bytes;
    QString unmappable;
    bool ok() const { return unmappable.isEmpty(); }
};

// True when the data is an RTF document (begins with "{\rtf").
bool isRtf(QByteArrayView data);

// Reads an RTF document into `doc`, replacing its content. Damaged RTF is
// read as far as it makes sense; reading never fails.
void readRtf(QByteArrayView rtf, QTextDocument &doc);

// Reads CP949 text into `doc`, one paragraph per line (CR LF, LF or CR
// line ends; a line end at the very end starts no further paragraph). A
// vertical tab is a line break; other control characters but the tab are
// left out, as the RTF reader does.
void readPlainText(QByteArrayView cp949, QTextDocument &doc);
// The text readPlainText() puts in a document, line ends as "\n",
// without dropping a line end at the very end: a text read in pieces cut
// after line ends is the pieces' texts one after another.
QString plainTextLines(QByteArrayView cp949);
// True when a plain-text file from elsewhere is UTF-8 rather than CP949:
// it begins with UTF-8's byte-order mark, or it is no CP949 text but
// valid UTF-8.
bool isUtf8Text(QByteArrayView bytes);
// Reads a plain-text file from elsewhere into `doc` as readPlainText()
// does, as UTF-8 (its byte-order mark dropped) when isUtf8Text() says so:
// characters CP949 cannot hold are kept in the document.
void readTextFile(QByteArrayView bytes, QTextDocument &doc);

// Reads a file's content: RTF with its formatting, anything else as plain
// CP949 text.
void readDocument(QByteArrayView data, QTextDocument &doc);
Status readDocument(QIODevice &device, QTextDocument &doc);
Status readDocumentFile(const QString &path, QTextDocument &doc);

// The document as RTF: \ansi\ansicpg949, fonts with \fcharset129, CP949
// characters as \'hh pairs, any other character as \uN with a '?'
// fallback, every paragraph ending in \par and CR LF.
QByteArray toRtf(const QTextDocument &doc);
Status writeRtf(const QTextDocument &doc, QIODevice &device);
Status writeRtfFile(const QTextDocument &doc, const QString &path);

// The plain text of a document. A document that is one empty paragraph
// gives an empty text. A non-breaking space becomes a space.
PlainText plainText(const QTextDocument &doc);

// The plain text of a file's content, the same as plainText() of what
// readDocument() makes of it, but an RTF document is read straight from its
// token stream without building a document.
PlainText plainTextOf(QByteArrayView data);
Status plainTextOfFile(const QString &path, PlainText &result);

} // namespace verbana::richtext
