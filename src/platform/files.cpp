// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verbana::files {

bool moveToTrash(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    return QFile::moveToTrash(path);
}

bool removeFolder(const QString &path)
{
    QFileInfo info(path);
    if (!info.exists() || !info.isDir() || info.isSymLink())
        return false;
    return QDir(path).removeRecursively();
}

bool removeFileOnly(const QString &path)
{
    QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    return QFile::remove(path);
}

bool replaceFile(const QString &from, const QString &to)
{
    const QFileInfo source(from);
    if (!source.isFile() || QFileInfo(to).isDir())
        return false;
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    // Another file system: a whole copy beside the target, renamed over it.
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part))
        return false;
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(part);
        return false;
    }
    QFile::remove(from);
    return true;
}

ReadOutcome readRegularFile(const QString &path, QByteArray &content, FileSystem &fs)
{
    content.resize(0);
    auto file = fs.open(path, OpenMode::ReadStored);
    if (!file) {
        switch (file.status().kind()) {
        case StatusKind::NotFound:
            return ReadOutcome::Missing;
        case StatusKind::NotRegular:
            return ReadOutcome::NotRegular;
        default:
            return ReadOutcome::Failed;
        }
    }
    const Result<uint64_t> size = (*file)->size();
    if (!size)
        return ReadOutcome::Failed;
    content.resize(qsizetype(size.value()));
    size_t got = 0;
    if (!(*file)->readAt(0, std::span<char>(content.data(), size_t(content.size())), &got)) {
        content.resize(0);
        return ReadOutcome::Failed;
    }
    content.resize(qsizetype(got));
    return ReadOutcome::Ok;
}

bool writeWholeFile(const QString &path, QByteArrayView bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0;
    qsizetype written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += n;
    }
    return ::close(fd) == 0 && ok;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool isFixedLocalFolder(const QString &path)
{
    QFileInfo info(path);
    if (!info.isDir() || !info.isWritable())
        return false;
    QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady() || storage.isReadOnly())
        return false;
    const QByteArray type = storage.fileSystemType();
    static const char *const remote[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p"};
    for (const char *r : remote)
        if (type == r)
            return false;
    // Removable media are mounted under the usual automount roots.
    const QString root = storage.rootPath();
    if (root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/run/media/")))
        return false;
    return true;
}

} // namespace verbana::files
