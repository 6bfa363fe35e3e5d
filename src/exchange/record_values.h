// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>

namespace verbana::xbase {
class TApolloTable;
}

// Small steps shared by the imports and the merge.
namespace verbana::exchange {

// Puts `value` into field `name` of the record being added, cut to the
// field's width on a character boundary. A field the table does not have
// raises the engine's error.
void putCut(xbase::TApolloTable &table, const QByteArray &name, QByteArrayView value);

// The folder part of a manuscript name ("d3" of "d3\sul3120.txt").
QString kFolderOf(const QString &manuscriptName);

// Makes `relativeFolder` (stored form, "\" separators) below `base` with
// every missing parent; raises EUserError naming the folder when it cannot.
QString makeFolder(const QString &base, const QString &relativeFolder);

// The path of a file named by ManuscriptNames (the name part of
// `manuscriptName`, any extension) in its k-folder `kFolderPath`, as
// makeFolder returned it. No file of that stem is there in any letter case,
// so the name is joined as written: the folder is not listed again for it.
QString freshPath(const QString &kFolderPath, const QString &manuscriptName);

// Removes files this program made for a record that was not kept.
void removeMade(const QStringList &paths);

// NewManuscriptName for a bulk run: the same names, but each k-folder of
// data\ and text\ is listed once per run instead of once per sermon, and
// every name handed out counts as taken (the run is the only writer).
class ManuscriptNames {
public:
    explicit ManuscriptNames(QString collectionFolder) : folder_(std::move(collectionFolder)) {}
    QString next(quint32 recordCount);

private:
    QString folder_;
    QHash<quint64, QSet<QString>> taken_;
};

} // namespace verbana::exchange
