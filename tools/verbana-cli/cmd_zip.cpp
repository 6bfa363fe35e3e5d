// SPDX-License-Identifier: GPL-3.0-or-later
// zip-backup, zip-restore: what 백업 저장 / 되살리기 (ZIP) does, from scripts.
#include "cli.h"
#include "collection_cli.h"
#include "restore_cli.h"
#include "table_cli.h"

#include "backup/collection_restore.h"
#include "backup/zip_archive.h"
#include "platform/paths.h"
#include "store/sermon_record.h"

#include <QFileInfo>

namespace verbana::cli {
namespace {

int zipFailure(const Outcome<void> &run)
{
    err(run.fault() == Fault::Stopped ? QStringLiteral("stopped; nothing was changed") : run.reason());
    return Failed;
}

int zipBackup(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {}, {QStringLiteral("overwrite")}, o) || o.positional.size() != 2)
        return usageError("zip-backup");
    const QString folder = o.positional[0];
    const QString archive = o.positional[1];
    if (!QFileInfo(folder).isDir() || paths::resolveExisting(folder, store::sermonTableName()).isEmpty()) {
        err(QStringLiteral("not a collection (no %1): %2").arg(store::sermonTableName(), folder));
        return Failed;
    }
    if (refuseExisting(archive, o.has(QStringLiteral("overwrite"))))
        return Failed;
    std::unique_ptr<xbase::TApolloTable> held;
    if (!holdForBackup(folder, held))
        return Failed;
    Outcome<void> packed;
    {
        TerminalProgress progress(QStringLiteral("zip-backup"));
        packed = backup::packCollection(folder, archive, &progress);
    }
    return packed.ok() ? Ok : zipFailure(packed);
}

int zipRestore(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {}, {QStringLiteral("replace")}, o) || o.positional.size() != 3)
        return usageError("zip-restore");
    const QString archive = o.positional[0];
    if (!QFileInfo(archive).isFile()) {
        err(QStringLiteral("no archive: %1").arg(archive));
        return Failed;
    }
    const QString name = restoreTarget(o.positional[1], o.positional[2], o.has(QStringLiteral("replace")),
                                       backup::refusedZipNameCharacters());
    if (name.isEmpty())
        return Failed;
    const Outcome<backup::ZipDirectory> directory = backup::readCollectionArchive(archive);
    if (!directory.ok()) {
        err(directory.reason());
        return Failed;
    }
    Outcome<void> unpacked;
    {
        TerminalProgress progress(QStringLiteral("zip-restore"));
        unpacked = backup::unpackCollection(archive, directory.value(), name, &progress);
    }
    return unpacked.ok() ? Ok : zipFailure(unpacked);
}

const Registration backupCommand(
    {"zip-backup", "DIR ARCHIVE [--overwrite]",
     "pack the collection DIR into the ZIP archive ARCHIVE, as 백업 저장 (ZIP) does: one entry per file under the "
     "collection's folder name, names in UTF-8. An existing ARCHIVE is refused unless --overwrite is given; it is "
     "replaced only once the new archive is complete.",
     zipBackup});
const Registration restoreCommand(
    {"zip-restore", "ARCHIVE PROGRAM_FOLDER NAME [--replace]",
     "restore a ZIP collection backup as the collection NAME of PROGRAM_FOLDER, as 백업 되살리기 (ZIP) does: a new "
     "collection, or with --replace over the existing collection NAME (its files the archive lacks are kept). The "
     "collection is built whole in _unzip and then swapped in; an old one goes to the trash only after that.",
     zipRestore});

} // namespace
} // namespace verbana::cli
