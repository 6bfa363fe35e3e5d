// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/collection_commands.h"

#include "bible/sort_orders.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/collection_lifecycle.h"
#include "store/collection_document.h"
#include "settings/profile.h"
#include "store/ui/command_host.h"
#include "store/ui/tfmcreate.h"
#include "store/ui/tfmopen.h"

#include <QAbstractButton>
#include <QMainWindow>
#include <QMenu>
#include <QStyle>

namespace verbana {

using store::ui::CommandHost;

CollectionCommands::CollectionCommands(CommandHost &host)
    : QObject(host.mainWindow()), host_(host), document_(host.document())
{
    QMenu *file = host.fileMenu();
    QAction *exit = host.exitAction();
    auto add = [&](const QString &caption, const char *name, void (CollectionCommands::*slot)()) {
        return CommandHost::addCommand(file, caption, QLatin1String(name), [this, slot] { (this->*slot)(); }, {}, exit);
    };
    add(QStringLiteral("설교집 열기"), "mnOpen", &CollectionCommands::mnOpenClick);
    add(QStringLiteral("새 설교집 만들기"), "mnCreate", &CollectionCommands::mnCreateClick);
    mnClose_ = add(QStringLiteral("설교집 닫기"), "mnClose", &CollectionCommands::mnCloseClick);
    file->insertSeparator(exit);
    mnDiet_ = add(QStringLiteral("파일 다이어트"), "mnDiet", &CollectionCommands::mnDietClick);
    mnReindex_ = add(QStringLiteral("인덱스 재생성"), "mnReindex", &CollectionCommands::mnReindexClick);
    file->insertSeparator(exit);

    // The toolbar's first two picture buttons.
    QStyle *style = host.mainWindow()->style();
    QAbstractButton *create = host.insertPictureButton(0, style->standardIcon(QStyle::SP_FileDialogNewFolder),
                                                       QStringLiteral("새 설교집 만들기"),
                                                       QStringLiteral("설교원고들을 저장할\r\n 새 설교집 만들기"),
                                                       QStringLiteral("btnCreate"));
    QAbstractButton *openButton = host.insertPictureButton(1, style->standardIcon(QStyle::SP_DirOpenIcon),
                                                           QStringLiteral("설교집 열기"), QStringLiteral("설교집 열기"),
                                                           QStringLiteral("btnOpen"));
    CommandHost::onClick(create, [this] { mnCreateClick(); });
    CommandHost::onClick(openButton, [this] { mnOpenClick(); });

    mnSort_ = host.addMenu(QStringLiteral("  정렬  "), QStringLiteral("mnSort"));
    for (int order = 1; order <= 5; ++order)
        CommandHost::addCommand(mnSort_, bible::sortOrderCaption(order), QStringLiteral("mnSort%1").arg(order),
                                [this, order] { sortClick(order); });

    auto setControls = [this](bool open) {
        mnSort_->setEnabled(open);
        mnClose_->setEnabled(open);
        mnDiet_->setEnabled(open && !document_.isReadOnly());
        mnReindex_->setEnabled(open && !document_.isReadOnly());
    };
    setControls(document_.isOpen());
    connect(&document_, &store::CollectionDocument::collectionStateChanged, this, setControls);
}

void CollectionCommands::start()
{
    store::runFirstRun();
    try {
        document_.reopenLastCollection(
            settings::Profile(settings::iniPath()).readString(QStringLiteral("file"), QStringLiteral("last")));
    } catch (const EUserError &e) {
        showError(e.text());
    }
}

// While the open and create dialogs are up the window keeps showing the
// open collection; it lets go of it only when another one is opened.
void CollectionCommands::mnOpenClick()
{
    if (document_.refuseWhileEditing())
        return;
    store::ui::Tfmopen::Execute(document_, host_.dialogAnchor(), host_.mainWindow());
}

void CollectionCommands::mnCreateClick()
{
    if (document_.refuseWhileEditing())
        return;
    store::ui::Tfmcreate::Execute(document_, host_.dialogAnchor(), host_.mainWindow());
}

void CollectionCommands::mnCloseClick()
{
    if (document_.refuseWhileEditing())
        return;
    document_.CloseCollection();
}

// The upkeep commands close the table and open it again; a refusal while
// a sermon is added or edited changes nothing at all.
void CollectionCommands::mnDietClick()
{
    if (!document_.refuseWhileEditing() && !document_.refuseReadOnly())
        bible::fileDiet(document_);
}

void CollectionCommands::mnReindexClick()
{
    if (!document_.refuseWhileEditing() && !document_.refuseReadOnly())
        bible::rebuildIndex(document_);
}

void CollectionCommands::sortClick(int order) { bible::sortCommand(document_, order); }

} // namespace verbana
