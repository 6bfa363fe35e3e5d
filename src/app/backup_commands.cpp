// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/backup_commands.h"

#include "backup/ui/tfmbumain.h"
#include "backup/ui/tfmzip.h"
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "store/collection_session.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>

namespace verbana {

BackupCommands::BackupCommands(editing::Tfmverbdesk &window, store::CollectionSession &session)
    : QObject(&window), window_(window), session_(session)
{
    QMenu *file = window.fileMenu();
    QAction *before = window.findChild<QAction *>(QStringLiteral("mnDiet"));
    if (!before)
        before = window.exitAction();
    auto add = [&](const QString &caption, const char *name, void (BackupCommands::*slot)()) {
        auto *a = new QAction(caption, file);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        file->insertAction(before, a);
    };
    add(QStringLiteral("백업 저장 / 재생 (ZIP)"), "mnZip", &BackupCommands::mnZipClick);
    add(QStringLiteral("백업 저장 / 재생 (BCK)"), "mnBck", &BackupCommands::mnBckClick);
}

void BackupCommands::withTableClosed(const std::function<void()> &show)
{
    if (window_.RefuseWhileEditing())
        return;
    const bool wasOpen = session_.isOpen();
    const QString folder = session_.collectionFolder();
    if (wasOpen)
        session_.releaseTable();
    auto reopen = [&] {
        if (!wasOpen)
            return;
        // The restored table may carry its name in another letter case.
        bool opened = false;
        try {
            opened = session_.OpenCollection(paths::resolve(folder, QStringLiteral("sul2file.dbf")));
        } catch (...) {
            session_.CloseCollection();
            throw;
        }
        if (!opened)
            session_.CloseCollection();
    };
    try {
        show();
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

void BackupCommands::mnZipClick()
{
    withTableClosed([this] {
        backup::ui::TfmZip dialog(&window_);
        dialog.move(window_.pos() + QPoint(40, 100));
        runModal(&dialog);
    });
}

void BackupCommands::mnBckClick()
{
    withTableClosed([this] {
        backup::ui::TfmBUmain dialog(&window_);
        runModal(&dialog);
    });
}

void BackupCommands::restoreArchive(const QString &archive)
{
    const QFileInfo info(archive);
    withTableClosed([this, &info] {
        backup::ui::TfmBUmain dialog(&window_);
        dialog.PageControl1->setCurrentIndex(1);
        dialog.setFolder(info.absolutePath());
        const auto found = dialog.FileListBox1->findItems(info.fileName(), Qt::MatchExactly);
        if (!found.isEmpty())
            dialog.FileListBox1->setCurrentItem(found.first());
        runModal(&dialog);
    });
}

} // namespace verbana
