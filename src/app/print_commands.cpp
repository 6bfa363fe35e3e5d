// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/print_commands.h"

#include "platform/prompts.h"
#include "stats/sermon_list_report.h"
#include "stats/ui/sermon_list_preview.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace verbana {

using store::ui::CommandHost;

PrintCommands::PrintCommands(CommandHost &host) : QObject(host.mainWindow()), host_(host)
{
    QMenu *file = host.fileMenu();
    QAction *exit = host.exitAction();
    mnPrintList_ = new QMenu(QStringLiteral("설교목록 인쇄"), file);
    mnPrintList_->setObjectName(QStringLiteral("mnPrintList"));
    for (int layout = 1; layout <= 5; ++layout)
        CommandHost::addCommand(mnPrintList_, stats::listLayout(layout).menuCaption,
                                QStringLiteral("mnPrintList%1").arg(layout), [this, layout] { PrintSermonList(layout); });
    file->insertMenu(exit, mnPrintList_);
    file->insertSeparator(exit);
}

void PrintCommands::PrintSermonList(int layout)
{
    store::CollectionDocument &document = host_.document();
    if (!document.isOpen())
        return;
    // Listing walks the table: a sermon being added or edited would be
    // posted or dropped by it.
    if (document.refuseWhileEditing())
        return;
    {
        stats::ui::SermonListPreview preview(document.table(), stats::listLayout(layout),
                                             stats::listTitle(document.collectionFolder()), host_.mainWindow());
        runModal(&preview);
    }
    host_.RefreshManuscriptView();
}

} // namespace verbana
