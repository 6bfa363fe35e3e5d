// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QTextBlockFormat;
class QTextDocument;

// What the document editor does without its window: the ruler's pixel and
// indent arithmetic, the size box, export names, and reading and writing
// the manuscript's files.
namespace verbana::editing::memo {

// Paragraph indents as the editor and its ruler count them, in points:
// `firstLine` is where the first line starts, `left` where the other lines
// start counted from the first line, `right` the right indent.
struct Indents {
    int firstLine = 0;
    int left = 0;
    int right = 0;
    bool operator==(const Indents &) const = default;
};

// Ruler positions are pixels, 4/3 pixel to the point; every conversion
// works on whole numbers and drops the remainder.
Indents dragFirstLineMarker(Indents indents, int firstMarker, int leftMarker);
Indents dragLeftMarker(Indents indents, int leftMarker);
Indents dragRightMarker(Indents indents, int rightMarker, int rulerWidth);

struct Markers {
    int firstLine = 0;
    int left = 0;
    int right = 0;
    bool operator==(const Markers &) const = default;
};
// Where the markers stand for a paragraph's indents.
Markers markersFor(Indents indents, int rulerWidth);

// A paragraph format's indents (its margins are document pixels, 4/3 pixel
// to the point), and the indents put into a paragraph format.
Indents indentsOf(const QTextBlockFormat &format);
void applyIndents(QTextBlockFormat &format, Indents indents);

// The size box on Enter: only its digits count, and a size from 6 to 127
// is taken; anything else gives nothing.
std::optional<int> sizeFromBox(QStringView text);

// Export: the name chosen and the filter in force (0 rich text, 1 plain
// text) give the file written and its kind.
struct ExportTarget {
    QString path;
    bool rich = true;
};
ExportTarget exportTarget(const QString &chosen, int filterIndex);

// Reads a file into a new document: RTF with its formatting, anything else
// as plain text. Plain text is code page 949; a file that is not CP949 but
// is valid UTF-8 is read as UTF-8. The error text is empty when it worked;
// on failure `doc` is not touched.
QString loadFile(const QString &path, QTextDocument &doc);

// Saving a manuscript: the RTF to `filePath`, then the plain-text copy
// (CP949, CR LF) to `textCopyPath`, each through a temporary file in the
// same folder renamed over the old one.
struct SaveOutcome {
    bool rtfWritten = false;
    bool textWritten = false;
    QString error; // the first failure's text
    QString replaced; // characters the text copy holds as "?"
    bool ok() const { return rtfWritten && textWritten; }
};
SaveOutcome saveManuscript(const QTextDocument &doc, const QString &filePath, const QString &textCopyPath);

// Writes an export; the error text is empty when it worked. `replaced`
// receives the characters written as "?" in a plain-text export.
QString writeExport(const QTextDocument &doc, const ExportTarget &target, QString &replaced);

// The messages of saving: characters written as "?" in the text copy of a
// manuscript (`textCopy`) or in a plain-text export.
QString replacedMessage(const QString &characters, bool textCopy);
QString textCopyFailedMessage(const QString &error);

} // namespace verbana::editing::memo
