// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/described.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QWidget>
#include <QWindow>

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

// Qt leaves every pop-up out of the application's children, yet a menu
// opened from a button names the application as its parent: a screen
// reader walking the tree never met the open menu of the go-to field
// button, a gathering item button or 원고 입력, only focus events from its
// items. The application lists, after its windows, the open pop-ups whose
// parent it is (a menu bar's menus stay under their menu bar item).
class ApplicationWithPopups : public QAccessibleApplication {
public:
    int childCount() const override { return children().size(); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? children().indexOf(child->object()) : -1;
    }
    QAccessibleInterface *child(int index) const override
    {
        const QObjectList list = children();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index)) : nullptr;
    }

private:
    QObjectList children() const
    {
        QObjectList windows, popups;
        const QWindowList all = QGuiApplication::topLevelWindows();
        for (QWindow *w : all) {
            if (w->type() == Qt::Desktop)
                continue;
            QAccessibleInterface *root = w->accessibleRoot();
            if (!root || !root->object())
                continue;
            if (w->type() != Qt::Popup) {
                windows.append(root->object());
            } else if (w->isVisible()) {
                QAccessibleInterface *parent = root->parent();
                if (parent && parent->object() == qApp)
                    popups.append(root->object());
            }
        }
        return windows + popups;
    }
};

QAccessibleInterface *accessibleObjects(const QString &className, QObject *object)
{
    if (object && object == qApp)
        return new ApplicationWithPopups;
    return plainWindows(className, object);
}

} // namespace

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleObjects);
        // The accessibility bridge may have asked for the application's
        // interface while the application was made: drop Qt's, so that the
        // next question gets ours.
        QAccessibleInterface *application = qApp ? QAccessible::queryAccessibleInterface(qApp) : nullptr;
        if (application && !dynamic_cast<ApplicationWithPopups *>(application))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(application));
        return true;
    }();
    (void)installed;
}

} // namespace verbana
