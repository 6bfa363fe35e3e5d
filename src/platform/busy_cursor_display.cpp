// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/busy_cursor_display.h"

#include "platform/busy_cursor.h"

#include <QApplication>
#include <QCursor>

namespace verbana {

void installBusyCursorDisplay()
{
    setBusyCursorDisplay([](bool busy) {
        if (!qobject_cast<QApplication *>(qApp))
            return;
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

} // namespace verbana
