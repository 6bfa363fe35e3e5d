// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The files of the current sermon's manuscript: where they are, what kind
// of manuscript they hold, and the file work of the manuscript page. No
// widgets: the main window asks and shows. A step that cannot put a file
// in place raises EUserError saying so, and every file is kept.
namespace verbana::editing {

class SermonEditing;

struct ManuscriptFiles {
    QString manuscript;
    QString textCopy;
    bool ok() const { return !manuscript.isEmpty() && !textCopy.isEmpty(); }
};

enum class ManuscriptType { None, BuiltIn, Hwp, Other };

// The extension of a name with its dot, as written (".RTF"); empty when it
// has none of one to three letters and is no ".HWPX".
QString extensionOf(const QString &name);
// By the extension of CONTEXT in any letter case: ".RTF" built-in editor,
// ".HWP" and ".HWPX" HWP, anything else Other; None for an empty CONTEXT.
ManuscriptType manuscriptType(const QString &context);

// While adding: "temp" + the extension of CONTEXT and "temp.txt" in the
// collection folder; otherwise "data\" + CONTEXT and its text copy under
// "text\". Empty paths when no collection is open, or for a CONTEXT that
// would leave the collection folder.
ManuscriptFiles ManuscriptPaths(const SermonEditing &editing);

// Messages of the manuscript page.
QString hardDiskOnlyText();
QString incompatibleHwpQuestion();
QString keptFilesText(const QString &from, const QString &to);

// Before editing: a missing text copy is made as one empty line (CR LF),
// and a missing manuscript as a copy of the text copy, folders included.
void prepareManuscriptFiles(const ManuscriptFiles &files);

// After a conversion for a new sermon: "convhwp.hwp" (or "convhwp.hwpx")
// and "convhwp.txt" of the program folder become "temp.hwp" (or
// "temp.hwpx") and "temp.txt" of the collection folder, both or neither.
void takeInConverted(const QString &collectionFolder);

// After a conversion for the refresh button: "convhwp.txt" takes the place
// of the text copy in one step (the old copy stays until then).
void renewTextCopy(const QString &textCopy);

// The HWP manuscript of the current sermon becomes a built-in-editor
// manuscript: an RTF document holding the text of its text copy is written
// beside it, CONTEXT takes the ".rtf" extension (posted at once while
// browsing), and only then is the HWP file removed.
void turnIntoBuiltIn(SermonEditing &editing);

} // namespace verbana::editing
