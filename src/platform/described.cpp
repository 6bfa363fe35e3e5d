// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/described.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QMainWindow>
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

namespace {

// Qt takes a plain widget, even a window, for a part of one ("filler").
QAccessibleInterface *plainWindows(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || widget->windowType() != Qt::Window || qobject_cast<QDialog *>(widget)
        || qobject_cast<QMainWindow *>(widget))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(plainWindows);
        return true;
    }();
    (void)installed;
}

} // namespace verbana
