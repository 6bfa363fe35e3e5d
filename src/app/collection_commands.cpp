// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/collection_commands.h"

#include "bible/sort_orders.h"
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/collection_lifecycle.h"
#include "store/collection_session.h"
#include "store/ui/tfmcreate.h"
#include "store/ui/tfmopen.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace verbana {

// Binds the window again to whatever is open when a command that may close
// or reopen the table ends, however it ends.
struct CollectionCommands::RebindAfter {
    CollectionCommands *commands;
    ~RebindAfter() { commands->rebind(); }
};

CollectionCommands::CollectionCommands(editing::Tfmverbdesk &window, store::CollectionSession &session)
    : QObject(&window), window_(window), session_(session)
{
    QMenu *file = window.fileMenu();
    QAction *exit = window.exitAction();
    auto add = [&](const QString &caption, const char *name, void (CollectionCommands::*slot)()) {
        auto *a = new QAction(caption, file);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        file->insertAction(exit, a);
        return a;
    };
    add(QStringLiteral("설교집 열기"), "mnOpen", &CollectionCommands::mnOpenClick);
    add(QStringLiteral("새 설교집 만들기"), "mnCreate", &CollectionCommands::mnCreateClick);
    mnClose_ = add(QStringLiteral("설교집 닫기"), "mnClose", &CollectionCommands::mnCloseClick);
    file->insertSeparator(exit);
    mnDiet_ = add(QStringLiteral("파일 다이어트"), "mnDiet", &CollectionCommands::mnDietClick);
    mnReindex_ = add(QStringLiteral("인덱스 재생성"), "mnReindex", &CollectionCommands::mnReindexClick);
    file->insertSeparator(exit);

    mnSort_ = window.menuBar()->addMenu(QStringLiteral("  정렬  "));
    mnSort_->setObjectName(QStringLiteral("mnSort"));
    for (int order = 1; order <= 5; ++order) {
        QAction *a = mnSort_->addAction(bible::sortOrderCaption(order));
        a->setObjectName(QStringLiteral("mnSort%1").arg(order));
        connect(a, &QAction::triggered, this, asCommand([this, order] { sortClick(order); }));
    }

    auto setControls = [this](bool open) {
        mnSort_->setEnabled(open);
        mnClose_->setEnabled(open);
        mnDiet_->setEnabled(open);
        mnReindex_->setEnabled(open);
    };
    setControls(false);
    connect(&session, &store::CollectionSession::collectionStateChanged, this, [this, setControls](bool open) {
        if (open)
            rebind();
        else
            window_.unbindCollection();
        setControls(open);
    });
    connect(&session, &store::CollectionSession::tableReopened, this, &CollectionCommands::rebind);
}

void CollectionCommands::rebind()
{
    if (session_.isOpen())
        window_.bindCollection(&session_.table(), session_.collectionFolder(), session_.openedTablePath());
    else
        window_.unbindCollection();
}

QPoint CollectionCommands::dialogAnchor() const
{
    // The main window's left edge plus 4 pixels, just below its toolbar.
    int top = window_.menuBar()->height();
    if (auto *bar = window_.findChild<QToolBar *>())
        top += bar->height();
    return window_.mapToGlobal(QPoint(4, top));
}

void CollectionCommands::start()
{
    store::runFirstRun();
    try {
        session_.reopenLastCollection(window_.lastCollection());
    } catch (const EUserError &e) {
        showError(e.text());
    }
}

void CollectionCommands::mnOpenClick()
{
    if (window_.RefuseWhileEditing())
        return;
    // Opening closes the table first: the window lets go of it now and is
    // bound again to whatever is open afterwards.
    window_.unbindCollection();
    const RebindAfter rebindAfter{this};
    store::ui::Tfmopen::Execute(session_, dialogAnchor(), &window_);
}

void CollectionCommands::mnCreateClick()
{
    if (window_.RefuseWhileEditing())
        return;
    window_.unbindCollection();
    const RebindAfter rebindAfter{this};
    store::ui::Tfmcreate::Execute(session_, dialogAnchor(), &window_);
}

void CollectionCommands::mnCloseClick()
{
    if (window_.RefuseWhileEditing())
        return;
    window_.unbindCollection();
    session_.CloseCollection();
}

bool CollectionCommands::refuseAndRelease()
{
    if (window_.RefuseWhileEditing())
        return true;
    window_.unbindCollection();
    return false;
}

void CollectionCommands::mnDietClick()
{
    const RebindAfter rebindAfter{this};
    bible::fileDiet(session_, [this] { return refuseAndRelease(); });
}

void CollectionCommands::mnReindexClick()
{
    const RebindAfter rebindAfter{this};
    bible::rebuildIndex(session_, [this] { return refuseAndRelease(); });
}

void CollectionCommands::sortClick(int order)
{
    bible::sortCommand(session_, order, [this] { return window_.RefuseWhileEditing(); });
}

} // namespace verbana
