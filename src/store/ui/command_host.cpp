// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ui/command_host.h"

#include "platform/commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace verbana::store::ui {

QMenu *CommandHost::menuNamed(const QString &objectName)
{
    for (QAction *a : mainWindow()->menuBar()->actions())
        if (a->menu() && a->menu()->objectName() == objectName)
            return a->menu();
    return nullptr;
}

QMenu *CommandHost::addMenu(const QString &caption, const QString &objectName, QMenu *before)
{
    QMenuBar *bar = mainWindow()->menuBar();
    auto *menu = new QMenu(caption, bar);
    menu->setObjectName(objectName);
    bar->insertMenu(before ? before->menuAction() : nullptr, menu);
    return menu;
}

QAction *CommandHost::addCommand(QMenu *menu, const QString &caption, const QString &objectName,
                                 std::function<void()> run, const QKeySequence &key, QAction *before)
{
    auto *a = new QAction(caption, menu);
    a->setObjectName(objectName);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    QObject::connect(a, &QAction::triggered, a, asCommand(std::move(run)));
    menu->insertAction(before, a);
    return a;
}

void CommandHost::onClick(QAbstractButton *button, std::function<void()> run)
{
    QObject::connect(button, &QAbstractButton::clicked, button, asCommand(std::move(run)));
}

} // namespace verbana::store::ui
