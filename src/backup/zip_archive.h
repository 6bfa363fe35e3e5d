// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// ZIP backups of one collection, written and read through libzip.
//
// An archive holds one entry per file of the collection folder and its
// sub-folders, each under the collection's folder name ("설교/sul2file.dbf",
// "설교/data/d0/sul1.rtf"), names in UTF-8 with the language-encoding flag
// and "/" between folders, the standard form every archive tool reads.
// Folders without files get entries of their own so they come back too.
//
// Reading takes a name without that flag as CP949 (archives made on
// Windows) and "\" as well as "/" between folders. An archive counts as a
// collection backup when an entry is named sul2file.dbf and every entry
// lies in a folder; its root is the first entry's first folder. Nothing is
// written outside the target: an entry that is absolute, names a drive,
// climbs with "..", lies outside the root or is a symbolic link refuses
// the whole archive before anything is written.
struct zip; // libzip's archive

namespace verbana::backup {

// Percent done of the file at hand and of the whole run (0-100).
using ZipProgress = std::function<void(int filePercent, int wholePercent)>;

// Packs the collection folder into `archive`, written anew (an existing
// file is replaced only once the new archive is complete). Empty on
// success, otherwise the library's message.
QString packCollection(const QString &collectionFolder, const QString &archive, const ZipProgress &progress);

struct ZipEntry {
    QString relative; // below the root, '/' between folders; empty for the root itself
    bool folder = false;
    qint64 index = 0;
    qint64 size = 0;
};

struct ZipDirectory {
    enum class Verdict { Ok, Unreadable, NotCollection, Unsafe };
    Verdict verdict = Verdict::Unreadable;
    QString message; // what the user is told when not Ok
    QString root; // the backed-up collection's folder name
    std::vector<ZipEntry> entries;
    // The archive as it was read and checked, kept open so that unpacking
    // reads the very same file without parsing its directory again.
    std::shared_ptr<zip> archive;
    bool ok() const { return verdict == Verdict::Ok; }
};

// "Verbana 용 압축파일이 아닌 것 같습니다."
QString notCollectionBackupMessage();

// Reads and checks the archive's directory.
ZipDirectory readCollectionArchive(const QString &archive);

// Unpacks a checked archive as the collection <ProgramFolder>/name: first
// whole into the working folder "_unzip", then, when every entry was read
// without error, into place. A new name takes the working folder as it is;
// over an existing collection the files the archive holds replace theirs
// and the collection's other files stay. A failure leaves the collection
// as it was. Empty on success, otherwise the message.
QString unpackCollection(const QString &archive, const ZipDirectory &directory, const QString &name,
                         const ZipProgress &progress);

// The working folder "_unzip" of the program folder.
QString unzipFolder();

} // namespace verbana::backup
