// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
// the whole archive before anything is written. Names are compared as on
// Windows, without regard to ASCII letter case: folders so named are one
// folder, and two entries so named refuse the archive.
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
// when it holds a link, a name leading out of the root or two names equal
// but for letter case, Fault::Damaged when an entry declares a size of
// 2^63 bytes or more, Fault::Io when it cannot be read; the reason is what
// the user is told.
Outcome<ZipDirectory> readCollectionArchive(const QString &archive);

// Restores a checked archive as the collection <ProgramFolder>/name under
// a RestoreMark (backup/collection_restore.h). The restored collection is
// built whole in the working folder "_unzip": over an existing collection
// it is the collection's files and folders overlaid by the archive's
// entries (names matched without regard to letter case; the old index
// left out when the archive brings a sermon table without one), and then
// it takes the collection's place by renaming whole folders. Before
// anything is written, the sizes the archive declares (and the files kept)
// must fit the free space of the program folder (Fault::TooLarge); an
// entry that inflates to another size than declared stops the run
// (Fault::Damaged). A failure, a stop or a kill leaves the old collection
// or the restored one, never a mix.
Outcome<void> unpackCollection(const QString &archive, const ZipDirectory &directory, const QString &name,
                               Progress *progress = nullptr);

// How free space is asked for (bytes free on the file system of a folder,
// nothing when unknown); tests replace it. An empty function restores the
// system's answer.
void setFreeSpaceCheck(std::function<std::optional<uint64_t>(const QString &folder)> check);

// The working folder "_unzip" of the program folder.
QString unzipFolder();

} // namespace verbana::backup
