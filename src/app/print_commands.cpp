// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/print_commands.h"

#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/prompts.h"
#include "stats/sermon_list_report.h"
#include "stats/ui/sermon_list_preview.h"

#include <QAction>
#include <QMenu>

namespace verbana {

PrintCommands::PrintCommands(editing::Tfmverbdesk &window) : QObject(&window), window_(window)
{
    QMenu *file = window.fileMenu();
    QAction *exit = window.exitAction();
    mnPrintList_ = new QMenu(QStringLiteral("설교목록 인쇄"), file);
    mnPrintList_->setObjectName(QStringLiteral("mnPrintList"));
    for (int layout = 1; layout <= 5; ++layout) {
        QAction *a = mnPrintList_->addAction(stats::listLayout(layout).menuCaption);
        a->setObjectName(QStringLiteral("mnPrintList%1").arg(layout));
        connect(a, &QAction::triggered, this, asCommand([this, layout] { PrintSermonList(layout); }));
    }
    file->insertMenu(exit, mnPrintList_);
    file->insertSeparator(exit);
}

void PrintCommands::PrintSermonList(int layout)
{
    xbase::TApolloTable *table = window_.table();
    if (window_.CollectionFolder().isEmpty() || !table)
        return;
    // Listing walks the table: a sermon being added or edited would be
    // posted or dropped by it.
    if (window_.RefuseWhileEditing())
        return;
    {
        stats::ui::SermonListPreview preview(*table, stats::listLayout(layout),
                                             stats::listTitle(window_.CollectionFolder()), &window_);
        runModal(&preview);
    }
    window_.RefreshManuscriptView();
}

} // namespace verbana
