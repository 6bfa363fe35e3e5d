// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace verbana::xbase {
class TApolloTable;
struct TableFit;
}
namespace verbana::store {
class CollectionPaths;
}

// Small steps shared by the imports and the merge.
namespace verbana::exchange {

// Puts `value` into field `name` of the record being added, cut to the
// field's width on a character boundary. A field the table does not have
// raises the engine's error.
void putCut(xbase::TApolloTable &table, const QByteArray &name, QByteArrayView value);

// The folder part of a manuscript name ("d3" of "d3\sul3120.txt").
QString kFolderOf(const QString &manuscriptName);

// Makes `relativeFolder` (stored form, "\" separators) below the
// collection with every missing parent; raises EUserError naming the folder
// when it cannot, or when the name or a link on the way would lead out.
QString makeFolder(const store::CollectionPaths &paths, const QString &relativeFolder);

// The path of a file named by ManuscriptNames (the name part of
// `manuscriptName`, any extension) in its k-folder `kFolderPath`, as
// makeFolder returned it. No file of that stem is there in any letter case,
// so the name is joined as written: the folder is not listed again for it.
QString freshPath(const QString &kFolderPath, const QString &manuscriptName);

// Removes files this program made for a record that was not kept.
void removeMade(const QStringList &paths);

// Why the records of a table made elsewhere (a foreign table, a merge
// source) cannot be read as its header describes them, in the user's words;
// empty when they can (xbase::TableFit::sound()).
QString unreadableReason(const xbase::TableFit &fit);

} // namespace verbana::exchange
