// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>

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
