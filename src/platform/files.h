// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// File-system services the program needs beyond QFile.
namespace verbana::files {

// Moves a file or folder to the desktop trash: the user's trash (made
// when missing, private to the user) or, on another mount, that mount's
// own. False when no trash took it; the item is then where it was.
bool moveToTrash(const QString &path);
// Tests replace the trash (an empty function restores it).
void setTrashForTesting(std::function<bool(const QString &)> trash);

// Removes a folder with everything in it; false when anything remained.
bool removeFolder(const QString &path);

// Removes a single file. Never removes a folder, even an empty one: a
// manuscript path that names a folder must not wipe it.
bool removeFileOnly(const QString &path);

// Puts `from` in the place of `to`, replacing a file already there in one
// step (rename), so that `to` is never missing in between; across file
// systems the file is copied beside `to` first. False, with both files as
// they were, when that could not be done.
bool replaceFile(const QString &from, const QString &to);

enum class ReadOutcome { Ok, Missing, NotRegular, Failed };
// Reads a file whole into `content` (its buffer reused) through the file
// seam `fs`, as a stored file (OpenMode::ReadStored): opened without
// following a link in the last part of `path` and without blocking, and
// read only when it is a regular file. A link, a folder, a pipe or a
// device there is NotRegular; on anything but Ok `content` is left empty.
ReadOutcome readRegularFile(const QString &path, QByteArray &content, FileSystem &fs = FileSystem::posix());

// Writes `bytes` as the whole content of the file `path`, made when it is
// missing. A link in the last part of `path`, a folder, a pipe or a device
// there is never written through; false then, and when writing failed.
bool writeWholeFile(const QString &path, QByteArrayView bytes);

// Copies the whole content of `from` to the start of `to`; false when a
// read or a write failed.
bool copyContent(File &from, File &to);

// True when both paths reach the same file (the same device and inode),
// whatever links or second names lead there; false when either is missing.
bool sameFile(const QString &a, const QString &b);

// True when the folder lies on a local, writable, non-removable file system.
bool isFixedLocalFolder(const QString &path);

// Bytes an ordinary user may still write on the file system that holds
// `folder`; nothing when the system cannot tell.
std::optional<uint64_t> freeBytes(const QString &folder);

} // namespace verbana::files
