// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The one walk over a folder tree: the backups list the files of a
// collection with it, a restore moves unpacked files into place with it,
// and the first run copies the sample collections with it.
//
// Only folders and plain files are reported. A symbolic link is neither
// reported nor entered, wherever it leads, and a folder that turns into a
// link while the walk goes on is not entered either: each folder is opened
// from the one above it without following links. Names come in a fixed
// order, so that what is made from the walk (an archive) comes out the
// same each time: a folder's names are sorted as QString compares them
// (by UTF-16 code units, letter case counting), and a folder is reported
// before anything in it.
namespace verbana::files {

struct WalkEntry {
    QString path; // the root and `relative`, "/" between
    QString relative; // below the root, "/" between parts
    bool folder = false;
    bool empty = false; // a folder with nothing at all in it
    int64_t size = 0; // a file's size in bytes
    int64_t modified = 0; // a file's last write, seconds since the epoch
};

enum class WalkOrder {
    // In each folder its sub-folders first, each walked whole before the
    // next (depth first), then its own files.
    SubFoldersFirst,
    // In each folder its own files first, then its sub-folders, each walked
    // whole before the next.
    FilesFirst,
};

enum class WalkScope {
    Tree, // everything below the root
    Folder, // what the root itself holds: its files and sub-folders, not what they hold
};

// Calls `visit` for every folder and file below `root` (not for the root
// itself) until it returns false. False when the walk was stopped that way
// or a folder could not be opened or read (the root included); what could
// be walked has been visited.
bool walkFolder(const QString &root, WalkOrder order, const std::function<bool(const WalkEntry &)> &visit,
                WalkScope scope = WalkScope::Tree);

} // namespace verbana::files
