// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>

namespace verbana::xbase {
class TApolloTable;
}

// Small file utilities shared by everything that works on a collection.
namespace verbana::store {

// A manuscript name free in the collection: "d" + k + "\sul" + n + ".txt",
// n starting at the table's record count (deleted records included) and
// k = n div 1000 of that first n. A name is taken when its text copy
// exists, and also when a manuscript of that name exists in data\ with any
// extension: moving a new sermon's manuscript there must never meet an
// existing file.
QString NewManuscriptName(quint32 recordCount, const QString &collectionFolder);
QString NewManuscriptName(xbase::TApolloTable &table, const QString &collectionFolder);

// The same names for a run that adds many sermons: each k-folder of the
// manuscripts and of the text copies is listed once per run instead of once
// per sermon, and every name handed out counts as taken (the run is the
// only writer). A k-folder reached through a link counts as empty.
class ManuscriptNames {
public:
    explicit ManuscriptNames(QString collectionFolder) : folder_(std::move(collectionFolder)) {}
    QString next(quint32 recordCount);

private:
    QString folder_;
    QHash<quint64, QSet<QString>> taken_;
};

// Replaces an extension of one to three letters; `extension` has its dot.
QString ReplaceExtension(const QString &name, const QString &extension);

// The extension of HWPX manuscripts (documents in the HWP word processor's
// XML format), the one of four letters a manuscript name may end in.
inline constexpr QLatin1StringView kHwpxExtension{".HWPX"};
// True when `name` ends in ".hwpx" in any letter case.
bool isHwpxName(const QString &name);
// ReplaceExtension for manuscript names: ".HWPX" (any case) is replaced
// too, so that "d0\sul17.HWPX" has the text copy "d0\sul17.txt" as
// "d0\sul17.HWP" has.
QString replaceManuscriptExtension(const QString &name, const QString &extension);

// The name shown for a collection: what follows the last separator, with
// a..z upper-cased and everything else left as it is.
QString CollectionLabel(const QString &path);

// "yyyy.mm.dd"; empty for a null date and for 1899.12.30 (the zero date).
QString DateText(const QDate &date);

// Removes a folder with everything in it, to the trash when asked; false
// when it could not be removed. When no trash takes it, the user is asked
// (trashRefusedQuestion()) before it goes for good.
bool DeleteFolder(const QString &path, bool toRecycleBin);
// "휴지통에 넣을 수 없습니다.\r<path>\r완전히 삭제하시겠습니까?"
QString trashRefusedQuestion(const QString &path);

// Copies one file in whole blocks of 64000 bytes.
class TcopyFile {
public:
    QString Forigin;
    QString Fdestination;
    bool Warning = false; // ask before overwriting

    // Nothing happens when the source is missing. With Warning, an
    // existing destination is overwritten only after 예. Returns whether the
    // destination now holds the whole source.
    bool DoCopy();
};

} // namespace verbana::store
