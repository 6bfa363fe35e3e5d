// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QString>

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
//
// A Progress, when given, is started with the bytes of the whole run and
// ticked as they are packed or unpacked, with the file at hand and its
// percent as the item. Its stop request ends a run with Fault::Stopped and
// changes nothing: no archive is left, no collection is touched.
struct zip; // libzip's archive

namespace verbana {
class Progress;
}

namespace verbana::backup {

// Packs the collection folder into `archive`, written anew (an existing
// file is replaced only once the new archive is complete). A failure
// gives the library's message.
Outcome<void> packCollection(const QString &collectionFolder, const QString &archive, Progress *progress = nullptr);

struct ZipEntry {
    QString relative; // below the root, '/' between folders; empty for the root itself
    bool folder = false;
    qint64 index = 0;
    qint64 size = 0;
};

struct ZipDirectory {
    QString root; // the backed-up collection's folder name
    std::vector<ZipEntry> entries;
    // The archive as it was read and checked, kept open so that unpacking
    // reads the very same file without parsing its directory again.
    std::shared_ptr<zip> archive;
};

// "Verbana 용 압축파일이 아닌 것 같습니다."
QString notCollectionBackupMessage();

// Reads and checks the archive's directory. Fault::WrongKind when it is
// no collection backup (with notCollectionBackupMessage()), Fault::Unsafe
// when it holds a link or a name leading out of the root, Fault::Io when
// it cannot be read; the reason is what the user is told.
Outcome<ZipDirectory> readCollectionArchive(const QString &archive);

// Unpacks a checked archive as the collection <ProgramFolder>/name: first
// whole into the working folder "_unzip", then, when every entry was read
// without error, into place. A new name takes the working folder as it is;
// over an existing collection the files the archive holds replace theirs
// and the collection's other files stay. A failure leaves the collection
// as it was.
Outcome<void> unpackCollection(const QString &archive, const ZipDirectory &directory, const QString &name,
                               Progress *progress = nullptr);

// The working folder "_unzip" of the program folder.
QString unzipFolder();

} // namespace verbana::backup
