// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace verbana {

// F1 in any window shows that window's help topic (platform/help.h): the
// topic of the widget with the keyboard focus or of its nearest parent
// that carries one. A window whose own F1 is a shortcut (the main window's
// 도움말) keeps it. Installed once on the application.
void installHelpKey(QApplication &app);

} // namespace verbana
