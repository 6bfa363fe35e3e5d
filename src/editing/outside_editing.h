// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Editing an HWP manuscript in the desktop's HWP word processor. The word
// processor runs as a child process; the editing ends when it exits. A
// child that exits at once has handed the document to a copy of the word
// processor already running, whose end cannot be seen: the editing then
// ends a while later (about ten seconds), as it would when no new window
// of the word processor had shown up.
namespace verbana::editing {

struct OutsideEditingTimes {
    int atOnceMs = 3000; // an exit this soon after the start is a hand-off
    int handOffMs = 10000; // how long a hand-off is waited for after that exit
};
// Tests shorten the waits; the defaults are restored with {}.
void setOutsideEditingTimes(const OutsideEditingTimes &times);

// The desktop's default application for HWP documents (for an HWPX
// document, told by its name, the one for application/hwp+zip first) and
// whether it can edit them: compatible when it is a Hancom word processor.
struct HwpEditor {
    QString id;
    QStringList command; // program and arguments, the document put in
    bool compatible = false;
};
HwpEditor hwpEditorFor(const QString &document);

// Runs `command` as a child process and returns when the editing has
// ended (see above), processing the program's events meanwhile. False when
// the program could not be started.
bool editOutside(const QStringList &command);

} // namespace verbana::editing
