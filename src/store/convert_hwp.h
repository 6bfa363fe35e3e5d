// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text of an HWP document through the outside converter Hwp2txt: the
// document is copied to "convhwp.hwp" in the program folder ("convhwp.hwpx"
// for an HWPX document, told by its name) and the converter, started
// there, leaves its text in "convhwp.txt". Used by the manuscript page and
// by the batch import. The work files are shared, so one conversion runs
// at a time.
namespace verbana::store {

enum ConvertResult : int {
    hwpConverted = 1, // the work copy and "convhwp.txt" are in the program folder
    hwpNotConverted = 0, // the converter could not be started or made no text
    hwpWorkFile = -1, // the file is the conversion's own work file
    hwpCopyFailed = -2, // the copy into the program folder is missing
    hwpUnreadable = -3, // the file cannot be opened, or it is empty
};

// Converts `file`. While it waits for the converter the program's events
// are processed, so the windows repaint; the wait lasts at most as many
// milliseconds as the file has bytes, but never less than five seconds. A
// converter still running then is stopped. A call made while a conversion
// runs raises EUserError (hwpBusyText).
int ConvertHwp(const QString &file);

// The work copy a conversion of `file` makes: "convhwp.hwpx" for a name
// ending in ".hwpx", "convhwp.hwp" otherwise.
QString convertWorkCopyName(const QString &file);

// The extension a manuscript taken from `file` is stored with: ".HWPX" or
// ".HWP", as for the work copy.
QString hwpManuscriptExtension(const QString &file);

// True while a conversion runs.
bool convertingHwp();

// The longest wait for the converter, in milliseconds, for a file of
// `bytes` bytes.
int convertTimeLimit(qint64 bytes);

// What the user is told for a result: `refreshing` chooses the refresh
// button's text for hwpUnreadable. Empty for hwpConverted.
QString convertHwpMessage(int result, bool refreshing);
QString hwpBusyText();

// The converter: "Hwp2txt" beside the program's executable. Tests point it
// elsewhere; an empty path restores the default.
QString hwp2txtPath();
void setHwp2txtPath(const QString &path);

} // namespace verbana::store
