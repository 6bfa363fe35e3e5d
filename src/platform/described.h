// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace verbana {

// Gives a control what screen readers and the desktop's accessibility bus
// read: `name` (its caption, or the label of a box) as its accessible name
// and its hint as its accessible description. The hint is shown as the
// tooltip up to its first "|"; the part after it is only read out.
void describe(QWidget *control, const QString &name, const QString &hint = QString());

// The part of a hint shown as a tooltip: up to its first "|".
QString shownHint(const QString &hint);

// A window made of a plain widget (no dialog, no main window) is a window
// to a screen reader too, not a filler, and an open pop-up menu is a child
// of the application: installed once, before any window is made.
void installWindowAccessibility();

} // namespace verbana
