// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>

// Where the files of one collection lie: the one resolver that every part
// of the program asks for a sermon's manuscript and text copy, and for any
// other name stored in a table, before it reads, writes, scans, copies or
// deletes the file.
//
// A stored name (CONTEXT, a name in an archive or a foreign table) is
// trusted in nothing. It is found below the collection folder with `\` or
// `/` between its parts and in any letter case, and never leaves the
// folder: an empty name, an absolute one, a drive ("C:"), a ".." part, or
// a symbolic link anywhere below the collection folder (wherever it leads)
// gives no path at all. The collection folder itself may be a link.
namespace verbana::store {

class CollectionPaths {
public:
    CollectionPaths() = default;
    explicit CollectionPaths(QString folder);

    // The collection folder, without a trailing separator; empty for none.
    const QString &folder() const { return folder_; }
    bool isEmpty() const { return folder_.isEmpty(); }

    // The path of a stored name: existing parts as the disk spells them,
    // missing ones as written (so it can be used to make them). Empty when
    // the name would leave the collection.
    QString resolve(const QString &relative) const;
    // The same, but empty unless the entry exists.
    QString existing(const QString &relative) const;

    // A sermon's manuscript, "data\" + CONTEXT, and its text copy, "text\"
    // + CONTEXT with ".txt" for its extension. Empty for an empty CONTEXT
    // (it would name the folder itself) and for one leaving the collection.
    QString manuscript(const QString &context) const;
    QString textCopy(const QString &context) const;

    // True when `path` (a path below the folder, as resolve() gives it)
    // reaches its entry through no symbolic link, the entry included.
    bool reachedWithoutLinks(const QString &path) const;

private:
    QString folder_;
};

// The text copy's name of a manuscript name: its extension of one to three
// letters, or ".HWPX", replaced by ".txt" ("d0\sul17.txt" for
// "d0\sul17.RTF" and for "d0\sul17.HWPX").
QString textCopyName(const QString &context);

// Reads stored files one after another, as a scan of thousands of text
// copies does: one buffer for all, and each folder on the way checked once.
// A name whose letter case differs from the disk's is found in a listing
// of its folder made once per reader, so that a walk over sermons whose
// text copies are missing reads each folder once, not once per sermon.
// A file is read only when it is a regular file reached through no link;
// it is opened without blocking, so that a pipe or a device standing in
// its place never holds the program up. Anything else, and a file that
// cannot be read, reads as missing. Files are read through the file seam
// `fs` (the disk unless a test says otherwise).
class StoredFileReader {
public:
    explicit StoredFileReader(CollectionPaths paths, files::FileSystem &fs = files::FileSystem::posix())
        : paths_(std::move(paths)), fs_(fs)
    {
    }

    // Reads the text copy of `context` (CP949 bytes of CONTEXT decoded)
    // whole; false when there is none to read.
    bool readTextCopy(const QString &context, QByteArray &content);
    // Reads the stored name `relative` whole.
    bool read(const QString &relative, QByteArray &content);

private:
    // The names in one folder: as they are, and by their ASCII-folded
    // form (the first in name order when several fold alike).
    struct Listing {
        QHash<QString, bool> exact;
        QHash<QString, QString> folded;
    };

    bool readPath(const QString &path, QByteArray &content);
    bool folderIsSafe(const QString &folder);
    QString findListed(const QString &relative);
    const Listing &listingOf(const QString &folder);

    CollectionPaths paths_;
    files::FileSystem &fs_;
    QHash<QString, bool> folders_; // folders below the collection, checked
    QHash<QString, Listing> listings_;
};

} // namespace verbana::store
