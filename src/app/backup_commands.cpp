// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/backup_commands.h"

#include "backup/collection_restore.h"
#include "backup/ui/tfmbumain.h"
#include "backup/ui/tfmzip.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>

namespace verbana {

using store::ui::CommandHost;

BackupCommands::BackupCommands(CommandHost &host)
    : QObject(host.mainWindow()), host_(host), document_(host.document())
{
    QMenu *file = host.fileMenu();
    QAction *before = host.mainWindow()->findChild<QAction *>(QStringLiteral("mnDiet"));
    if (!before)
        before = host.exitAction();
    auto add = [&](const QString &caption, const char *name, void (BackupCommands::*slot)()) {
        CommandHost::addCommand(file, caption, QLatin1String(name), [this, slot] { (this->*slot)(); }, {}, before);
    };
    add(QStringLiteral("백업 저장 / 재생 (ZIP)"), "mnZip", &BackupCommands::mnZipClick);
    add(QStringLiteral("백업 저장 / 재생 (BCK)"), "mnBck", &BackupCommands::mnBckClick);
}

void BackupCommands::start() { backup::recoverInterruptedRestore(); }

void BackupCommands::withTableClosed(const std::function<void()> &show)
{
    if (document_.refuseWhileEditing())
        return;
    const bool wasOpen = document_.isOpen();
    const QString folder = document_.collectionFolder();
    if (wasOpen)
        document_.releaseTable();
    auto reopen = [&] {
        if (!wasOpen)
            return;
        // The restored table may carry its name in another letter case.
        bool opened = false;
        try {
            opened = document_.OpenCollection(paths::resolve(folder, QStringLiteral("sul2file.dbf")));
        } catch (...) {
            document_.CloseCollection();
            throw;
        }
        if (!opened)
            document_.CloseCollection();
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
        backup::ui::TfmZip dialog(host_.mainWindow());
        dialog.move(host_.mainWindow()->pos() + QPoint(40, 100));
        runModal(&dialog);
    });
}

void BackupCommands::mnBckClick()
{
    withTableClosed([this] {
        backup::ui::TfmBUmain dialog(host_.mainWindow());
        runModal(&dialog);
    });
}

void BackupCommands::restoreArchive(const QString &archive)
{
    const QFileInfo info(archive);
    withTableClosed([this, &info] {
        backup::ui::TfmBUmain dialog(host_.mainWindow());
        dialog.PageControl1->setCurrentIndex(1);
        dialog.setFolder(info.absolutePath());
        const auto found = dialog.FileListBox1->findItems(info.fileName(), Qt::MatchExactly);
        if (!found.isEmpty())
            dialog.FileListBox1->setCurrentItem(found.first());
        runModal(&dialog);
    });
}

} // namespace verbana
