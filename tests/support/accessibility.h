// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

#include <string>

namespace verbana::test {

// Whether `w` is a part of a composite control (a combo box's line edit
// and list, a calendar's inner buttons and grid, a list's headers), named
// with the control itself.
inline bool isPartOfControl(QWidget *w, QWidget *window)
{
    if (w->inherits("QHeaderView") || w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (p->inherits("QComboBox") || p->inherits("QCalendarWidget") || p->inherits("QAbstractItemView"))
            return true;
    return false;
}

// The controls of a window that a screen reader could not name, joined: a button,
// box, list or text view whose accessible name (its own, its caption or its
// buddy label's) is empty.
inline std::string unnamedControls(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                             || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractItemView *>(w)
                             || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
                             || qobject_cast<QAbstractSpinBox *>(w);
        if (!control || isPartOfControl(w, window))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    }
    return unnamed.join(QStringLiteral(", ")).toStdString();
}

} // namespace verbana::test
