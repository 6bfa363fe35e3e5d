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
#include <QAbstractButton>
#include <QStyle>

namespace verbana {

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

    // The toolbar's first two picture buttons.
    QStyle *style = window.style();
    QAbstractButton *create = window.insertPictureButton(0, style->standardIcon(QStyle::SP_FileDialogNewFolder),
                                                         QStringLiteral("새 설교집 만들기"),
                                                         QStringLiteral("설교원고들을 저장할\r\n 새 설교집 만들기"),
                                                         QStringLiteral("btnCreate"));
    QAbstractButton *openButton = window.insertPictureButton(1, style->standardIcon(QStyle::SP_DirOpenIcon),
                                                       QStringLiteral("설교집 열기"), QStringLiteral("설교집 열기"),
                                                       QStringLiteral("btnOpen"));
    connect(create, &QAbstractButton::clicked, this, asCommand([this] { mnCreateClick(); }));
    connect(openButton, &QAbstractButton::clicked, this, asCommand([this] { mnOpenClick(); }));

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
        mnDiet_->setEnabled(open && !session_.isReadOnly());
        mnReindex_->setEnabled(open && !session_.isReadOnly());
    };
    setControls(false);
    // The window holds on to the table exactly while it is open: it lets go
    // when the session is about to close it, and is bound again whenever a
    // collection is open afterwards.
    connect(&session, &store::CollectionSession::tableClosing, &window, &editing::Tfmverbdesk::unbindCollection);
    connect(&session, &store::CollectionSession::collectionStateChanged, this, [this, setControls](bool open) {
        rebind();
        window_.setRememberedCollection(session_.lastCollection());
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

void CollectionCommands::start()
{
    store::runFirstRun();
    try {
        session_.reopenLastCollection(window_.lastCollection());
    } catch (const EUserError &e) {
        showError(e.text());
    }
}

// While the open and create dialogs are up the window keeps showing the
// open collection; it lets go of it only when another one is opened.
void CollectionCommands::mnOpenClick()
{
    if (window_.RefuseWhileEditing())
        return;
    store::ui::Tfmopen::Execute(session_, window_.dialogAnchor(), &window_);
}

void CollectionCommands::mnCreateClick()
{
    if (window_.RefuseWhileEditing())
        return;
    store::ui::Tfmcreate::Execute(session_, window_.dialogAnchor(), &window_);
}

void CollectionCommands::mnCloseClick()
{
    if (window_.RefuseWhileEditing())
        return;
    session_.CloseCollection();
}

// The upkeep commands close the table and open it again; a refusal while
// a sermon is added or edited changes nothing at all.
void CollectionCommands::mnDietClick()
{
    if (!window_.RefuseWhileEditing() && !window_.refuseReadOnly())
        bible::fileDiet(session_, {});
}

void CollectionCommands::mnReindexClick()
{
    if (!window_.RefuseWhileEditing() && !window_.refuseReadOnly())
        bible::rebuildIndex(session_, {});
}

void CollectionCommands::sortClick(int order)
{
    bible::sortCommand(session_, order, [this] { return window_.RefuseWhileEditing(); });
}

} // namespace verbana
