// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/described.h"

#include <QWidget>

namespace verbana {

QString shownHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

void describe(QWidget *control, const QString &name, const QString &hint)
{
    QString spoken = name;
    spoken.remove(QLatin1Char('&'));
    control->setAccessibleName(spoken.simplified());
    if (hint.isEmpty())
        return;
    control->setToolTip(shownHint(hint));
    QString description = hint;
    description.replace(QLatin1Char('|'), QLatin1Char('\n'));
    control->setAccessibleDescription(description.simplified());
}

} // namespace verbana
