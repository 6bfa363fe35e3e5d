// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore_cli.h"

#include "cli.h"
#include "table_cli.h"

#include "backup/collection_restore.h"
#include "platform/paths.h"
#include "store/collection_lifecycle.h"
#include "store/sermon_record.h"
#include "store/xbase/engine_error.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace verbana::cli {

QString restoreTarget(const QString &programFolder, const QString &name, bool replace, const QString &refused)
{
    if (!QFileInfo(programFolder).isDir()) {
        err(QStringLiteral("not a folder: %1").arg(programFolder));
        return {};
    }
    paths::setProgramFolder(QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()));
    if (backup::withoutCharacters(name, refused) != name || store::trimBlanks(name) != name) {
        err(QStringLiteral("a collection name has no blanks at its ends and none of %1").arg(refused));
        return {};
    }
    if (!replace) {
        const QString problem = backup::newCollectionNameProblem(
            name, QStringLiteral("the collection name is empty"),
            QStringLiteral("%1 exists: give --replace to restore over it").arg(name));
        if (!problem.isEmpty()) {
            err(problem);
            return {};
        }
        return name;
    }
    const QStringList collections = store::listCollections(QString());
    const auto same = [&](const QString &c) { return paths::foldAsciiCase(c) == paths::foldAsciiCase(name); };
    if (std::none_of(collections.begin(), collections.end(), same)) {
        err(QStringLiteral("no collection %1 in %2 to replace").arg(name, programFolder));
        return {};
    }
    // The program closes the collection it restores over; one that another
    // program holds open is left alone. A table that cannot be read (the
    // reason to restore it, often) is no hindrance.
    try {
        openTable(paths::resolveExisting(paths::programFolder(), name + QLatin1Char('/') + store::sermonTableName()),
                  Access::Exclusive);
    } catch (const xbase::EApolloError &e) {
        if (e.kind() == files::StatusKind::Locked) {
            err(QStringLiteral("the collection %1 is open in another program: close it there first").arg(name));
            return {};
        }
    }
    return name;
}

} // namespace verbana::cli
