// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ui/refused_keys.h"

#include <QKeyEvent>
#include <QPoint>
#include <QWidget>

namespace verbana::store::ui {

bool RefusedKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        for (QChar c : typed)
            if (refused_.contains(c))
                return true;
    }
    return QObject::eventFilter(watched, event);
}

void placeAt(QWidget *dialog, const QPoint &anchor)
{
    if (!anchor.isNull())
        dialog->move(anchor);
}

} // namespace verbana::store::ui
