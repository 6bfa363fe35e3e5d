// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

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
