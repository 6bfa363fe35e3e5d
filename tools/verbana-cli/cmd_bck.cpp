// SPDX-License-Identifier: GPL-3.0-or-later
// bck-backup, bck-restore, bck-restore-collection, bck-list: BCK archives from scripts.
#include "cli.h"
#include "restore_cli.h"
#include "table_cli.h"

#include "backup/backup_file.h"
#include "backup/bck_format.h"
#include "backup/collection_restore.h"
#include "platform/cp949.h"

#include <QFileInfo>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace verbana::cli {
namespace {

void reportErrors(TBackupFile &file)
{
    file.OnError = [](TBackupFile *sender, int code, const QString &text) {
        const QString where = sender->CurrentFile();
        const QString at = where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where);
        err(QStringLiteral("error %1: %2%3").arg(code).arg(text, at));
    };
}

// The next volume lies beside the previous one. With a terminal the user
// may put it there and press Enter; without one a missing volume stops the
// run with a message.
void findVolumesBeside(TBackupFile &file, const QString &archive)
{
    file.OnNeedDisk = [archive](TBackupFile *, quint16 disk, bool &go) {
        const QString volume = bck::volumeName(archive, disk);
        if (QFileInfo(volume).isFile())
            return;
        if (isatty(STDIN_FILENO)) {
            err(QStringLiteral("volume %1 (%2) is missing: put it there and press Enter, or type q and Enter to stop")
                    .arg(disk)
                    .arg(volume));
            char line[64] = {};
            go = std::fgets(line, sizeof line, stdin) != nullptr && line[0] != 'q' && line[0] != 'Q';
        } else {
            err(QStringLiteral("volume %1 not found: %2").arg(disk).arg(volume));
            go = false;
        }
    };
}

int backup(const QStringList &args)
{
    Options o;
    const QStringList withValue{QStringLiteral("volume-size"), QStringLiteral("title")};
    if (!parseOptions(args, withValue, {}, o) || o.positional.size() != 2)
        return usageError("bck-backup");
    const QString folder = o.positional[0];
    const QString archive = o.positional[1];
    if (!QFileInfo(folder).isDir()) {
        err(QStringLiteral("not a folder: %1").arg(folder));
        return Failed;
    }
    std::unique_ptr<xbase::TApolloTable> held;
    if (!holdForBackup(folder, held))
        return Failed;
    TBackupFile file;
    if (o.has(QStringLiteral("volume-size"))) {
        bool ok = false;
        const qint64 size = o.values.value(QStringLiteral("volume-size")).toLongLong(&ok);
        if (!ok || size <= 0) {
            err(QStringLiteral("--volume-size needs a positive number of bytes"));
            return Usage;
        }
        file.setMaxSize(size);
    }
    const cp949::Encoded title = cp949::encode(o.values.value(QStringLiteral("title")));
    if (!title.ok()) {
        err(QStringLiteral("the title holds characters code page 949 cannot store: %1").arg(title.unmappable));
        return Usage;
    }
    file.setBackupTitle(title.bytes);
    reportErrors(file);
    int volumes = 1;
    file.OnNeedDisk = [&volumes](TBackupFile *, quint16, bool &) { ++volumes; };
    const QString pattern = QFileInfo(folder).absoluteFilePath() + QStringLiteral("/*.* /s");
    if (!file.Backup({pattern}, archive)) {
        if (file.ErrorCode() == 0)
            err(QStringLiteral("backup stopped"));
        else if (file.ErrorCode() == TBackupFile::errFileUnreadable && volumes == bck::kMaxVolumes)
            err(QStringLiteral("the backup needs more than %1 volumes; the volumes written are incomplete: "
                               "choose a larger --volume-size")
                    .arg(bck::kMaxVolumes));
        return Failed;
    }
    out(QStringLiteral("%1 files, %2 bytes, %3 volume(s)\n").arg(file.FileCount()).arg(file.Total()).arg(volumes));
    return Ok;
}

int restore(const QStringList &args)
{
    if (args.size() != 2)
        return usageError("bck-restore");
    const QString archive = args[0];
    if (!QFileInfo(archive).isFile()) {
        err(QStringLiteral("no archive: %1").arg(archive));
        return Failed;
    }
    TBackupFile file;
    file.setRestoreFullPath(true);
    reportErrors(file);
    findVolumesBeside(file, archive);
    if (!file.Restore(archive, QFileInfo(args[1]).absoluteFilePath())) {
        if (!file.RaisedError().isEmpty())
            err(QStringLiteral("damaged archive: %1").arg(file.RaisedError()));
        else if (file.ErrorCode() == 0)
            err(QStringLiteral("restore stopped"));
        return Failed;
    }
    out(QStringLiteral("%1 files restored\n").arg(file.FileCount()));
    return Ok;
}

// The restore of 백업파일 만들기/되살리기: the whole collection rebuilt in
// _reback and swapped in by renaming folders.
int restoreCollection(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {}, {QStringLiteral("replace")}, o) || o.positional.size() != 3)
        return usageError("bck-restore-collection");
    const QString archive = QFileInfo(o.positional[0]).absoluteFilePath();
    if (!QFileInfo(archive).isFile()) {
        err(QStringLiteral("no archive: %1").arg(o.positional[0]));
        return Failed;
    }
    const QString name = restoreTarget(o.positional[1], o.positional[2], o.has(QStringLiteral("replace")),
                                       backup::refusedNameCharacters());
    if (name.isEmpty())
        return Failed;
    TBackupFile file;
    file.setRestoreMode(rmAll);
    file.setRestoreFullPath(true);
    bool explained = false;
    file.OnError = [&explained](TBackupFile *sender, int code, const QString &text) {
        const QString where = sender->CurrentFile();
        err(QStringLiteral("error %1: %2%3").arg(code).arg(text, where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where)));
        explained = true;
    };
    findVolumesBeside(file, archive);
    const int before = messagesShown();
    backup::BckRestore result = backup::BckRestore::Failed;
    {
        TerminalProgress progress(QStringLiteral("bck-restore-collection"));
        file.setProgress(&progress);
        result = backup::restoreBckCollection(file, archive, name, [] {});
        file.setProgress(nullptr);
    }
    if (result == backup::BckRestore::Placed) {
        out(QStringLiteral("%1 files restored as %2\n").arg(file.FileCount()).arg(name));
        return Ok;
    }
    if (result == backup::BckRestore::Damaged)
        err(QStringLiteral("damaged archive: %1; nothing was changed").arg(file.RaisedError()));
    else if (!explained && messagesShown() == before)
        err(file.ErrorCode() == 0 ? QStringLiteral("restore stopped; nothing was changed")
                                  : QStringLiteral("restore failed; nothing was changed"));
    return Failed;
}

int list(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("bck-list");
    const QString archive = args[0];
    if (!QFileInfo(archive).isFile()) {
        err(QStringLiteral("no archive: %1").arg(archive));
        return Failed;
    }
    TBackupFile file;
    reportErrors(file);
    findVolumesBeside(file, archive);
    std::vector<TBackupFile::ListedFile> entries;
    const bool ok = file.List(archive, [&entries](const TBackupFile::ListedFile &f) { entries.push_back(f); });
    if (!file.RaisedError().isEmpty()) {
        err(QStringLiteral("damaged archive: %1").arg(file.RaisedError()));
        return Failed;
    }
    out(QStringLiteral("title: %1\ntotal: %2 bytes\nfiles: %3\n")
            .arg(cp949::decode(file.ArchiveTitle()))
            .arg(file.Total())
            .arg(file.ArchiveFileCount()));
    for (const TBackupFile::ListedFile &f : entries) {
        const QDateTime when = bck::fromDosTime(f.date);
        const QString date = when.isValid() ? when.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"))
                                            : QStringLiteral("????.??.?? ??:??:??");
        out(QStringLiteral("%1 %2 %3\n").arg(date).arg(f.size, 10).arg(cp949::decode(f.name)));
    }
    if (!ok) {
        if (file.ErrorCode() == 0)
            err(QStringLiteral("listing stopped"));
        return Failed;
    }
    return Ok;
}

const Registration backupCommand({"bck-backup", "DIR ARCHIVE [--volume-size BYTES] [--title TEXT]",
                                  "back up DIR and its sub-folders into a BCK archive (volumes x.002, x.003 ... "
                                  "x.999 beside it when --volume-size is given)",
                                  backup});
const Registration restoreCommand({"bck-restore", "ARCHIVE TARGET",
                                   "restore a BCK archive under TARGET, each file with its stored path; further "
                                   "volumes are taken from beside the archive",
                                   restore});
const Registration collectionCommand(
    {"bck-restore-collection", "ARCHIVE PROGRAM_FOLDER NAME [--replace]",
     "restore a BCK backup of a collection as the collection NAME of PROGRAM_FOLDER, as the BCK window does: a new "
     "collection, or with --replace in place of the existing collection NAME. The archive is restored whole into "
     "_reback, the old collection set aside as _delete, the restored one takes its name, and only then does _delete "
     "go to the trash; a failure leaves the collections as they were.",
     restoreCollection});
const Registration listCommand({"bck-list", "ARCHIVE",
                                "show the header and the names, dates and sizes of a BCK archive",
                                list});

} // namespace
} // namespace verbana::cli
