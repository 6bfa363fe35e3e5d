// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/status.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

// The program's file seam: the table engine, the scans of stored files and
// the archives open, read and write files only through it. Production uses
// POSIX files; tests use wrappers that fail the Nth read, write or sync, or
// forget what was not synced, to prove crash safety beyond killing a process.
namespace verbana::files {

enum class OpenMode {
    ReadOnly,
    ReadWrite, // the file must exist
    Create, // create or truncate, read and write
    // Create a file that does not exist yet, read and write. Fails when
    // anything has the name, a link included: no link is ever followed.
    CreateNew,
    // A file named by stored data (a manuscript, a text copy, a file to
    // back up, an archive's volume), for reading only: no link is followed
    // in the last part of the path, the open never waits (a pipe or device
    // in its place cannot hold the program up), and anything but a plain
    // file there is refused as NotRegular. size() tells the size the file
    // had when it was opened, which is what a scan that reads it whole
    // needs, without asking the system again.
    ReadStored,
};

enum class LockMode { Shared, Exclusive };

class File {
public:
    virtual ~File() = default;

    // Reads exactly data.size() bytes at offset. Reading past the end is a
    // Corruption ("short read") unless `allowShort`; then `*got` tells how
    // many bytes were read.
    virtual Status readAt(uint64_t offset, std::span<char> data, size_t *got = nullptr) = 0;
    virtual Status writeAt(uint64_t offset, std::span<const char> data) = 0;
    virtual Result<uint64_t> size() = 0;
    virtual Status truncate(uint64_t size) = 0;
    virtual Status sync() = 0;

    // Byte-range locks (POSIX record locks). tryLock does not wait.
    // Regions may lie beyond the end of the file.
    virtual Status tryLock(uint64_t offset, uint64_t length, LockMode mode) = 0;
    virtual Status unlock(uint64_t offset, uint64_t length) = 0;

    virtual QString path() const = 0;
    // The operating system's descriptor of the file, for copies the kernel
    // makes itself; -1 for files that have none.
    virtual int descriptor() const { return -1; }

    // The time of the last write, and setting it (an archive gives a
    // restored file the time it had). Files that keep no times refuse.
    virtual Result<QDateTime> modified() { return Status::invalidArgument(path() + QStringLiteral(": no file times")); }
    virtual Status setModified(const QDateTime &when)
    {
        Q_UNUSED(when);
        return Status::invalidArgument(path() + QStringLiteral(": no file times"));
    }

    // A read-only view of the file's first `length` bytes shared with every
    // program that has the file open (a shared mapping): their writes show
    // in it at once, without a system call. Null where files cannot be
    // mapped; read with readAt then. The view stays valid until the next
    // map() or the file is closed. Bytes beyond the file's end must not be
    // touched; `length` may reach beyond it so that the view need not be
    // made again whenever the file grows.
    virtual const char *map(uint64_t length)
    {
        Q_UNUSED(length);
        return nullptr;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual Result<std::unique_ptr<File>> open(const QString &path, OpenMode mode) = 0;
    virtual bool exists(const QString &path) = 0;
    // The name is a plain file itself: not a link, folder or device.
    virtual bool isRegularFile(const QString &path) { return exists(path); }
    // Atomically replaces `to` with `from` (same folder).
    virtual Status rename(const QString &from, const QString &to) = 0;
    virtual Status remove(const QString &path) = 0;
    // Makes a rename durable (fsync of the folder).
    virtual Status syncFolder(const QString &folder) = 0;

    // Takes over a descriptor of the disk's that was opened elsewhere (a
    // file made below a folder without following links, see
    // LinkSafeFolder) as a File of this file system; the File closes it.
    // `path` names it in messages. Wrappers wrap what the disk gives.
    virtual Result<std::unique_ptr<File>> adopt(int fd, const QString &path);

    // The process-wide POSIX file system.
    static FileSystem &posix();
};

// Temporary files of our own that replace a file by a rename: created only
// where nothing has the name (a plain file left there by an interrupted run
// of ours is removed first; anything else, a link above all, is refused),
// and renamed into place only while the name is still that plain file.
Result<std::unique_ptr<File>> createTemporary(FileSystem &fs, const QString &path);
Status replaceWithTemporary(FileSystem &fs, const QString &temp, const QString &target);
// Removes a temporary of ours after a failure, when it is a plain file.
void discardTemporary(FileSystem &fs, const QString &temp);

} // namespace verbana::files
