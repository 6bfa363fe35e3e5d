// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <functional>
#include <optional>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace verbana::files {

namespace {

std::function<bool(const QString &)> &trashOverride()
{
    static std::function<bool(const QString &)> replaced;
    return replaced;
}

// The user's own trash, $XDG_DATA_HOME/Trash, made as the desktop's trash
// rules say when it is missing (every folder on the way private to the
// user). Without it the library's trash falls back to a "files" and
// "info" pair in the working folder.
bool makeHomeTrash()
{
    QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString trash = data + QStringLiteral("/Trash");
    for (const QString &folder : {data, trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (QFileInfo(folder).isDir())
            continue;
        // Parents the user never had are made private, as the trash itself.
        const QString parent = QFileInfo(folder).absolutePath();
        if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent))
            return false;
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Where the library put a trashed item must be a trash folder: the home
// trash or the trash at the top of another mount ("/.Trash-UID/files/",
// "/.Trash/UID/files/").
bool landedInTrash(const QString &where)
{
    if (where.isEmpty() || QDir::isRelativePath(where))
        return false;
    const QString parent = QFileInfo(where).absolutePath();
    if (QFileInfo(parent).fileName() != QLatin1String("files"))
        return false;
    const QString trash = QFileInfo(parent).absolutePath();
    const QString name = QFileInfo(trash).fileName();
    const QString uid = QString::number(::getuid());
    return name == QLatin1String("Trash") || name == QStringLiteral(".Trash-") + uid
        || (name == uid && QFileInfo(QFileInfo(trash).absolutePath()).fileName() == QLatin1String(".Trash"));
}

} // namespace

bool moveToTrash(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return false;
    if (trashOverride())
        return trashOverride()(path);
    (void)makeHomeTrash(); // another mount has a trash of its own
    QString where;
    if (!QFile::moveToTrash(path, &where))
        return false;
    if (landedInTrash(where))
        return true;
    // Not a trash: the item goes back where it was, its note is dropped,
    // and the caller decides.
    if (!where.isEmpty() && !QFileInfo::exists(path)
        && std::rename(QFile::encodeName(where).constData(), QFile::encodeName(path).constData()) == 0) {
        const QDir files = QFileInfo(where).absoluteDir();
        const QString info = QFileInfo(files.absolutePath()).absolutePath() + QStringLiteral("/info");
        (void)QFile::remove(info + QLatin1Char('/') + QFileInfo(where).fileName() + QStringLiteral(".trashinfo"));
        (void)QDir().rmdir(info);
        (void)QDir().rmdir(files.absolutePath());
    }
    return false;
}

void setTrashForTesting(std::function<bool(const QString &)> trash) { trashOverride() = std::move(trash); }

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

namespace {

// The kernel copies between two files on disk without the bytes passing
// through the program. Unset when it cannot copy between these two (other
// file systems, an old kernel) before anything was written: copied through
// a buffer then.
std::optional<bool> copyInKernel(int from, int to)
{
    off64_t in = 0, out = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, size_t(1) << 30, 0);
        if (n > 0)
            continue;
        if (n == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (out == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
            return std::nullopt;
        return false;
    }
}

} // namespace

bool copyContent(File &from, File &to)
{
    if (from.descriptor() >= 0 && to.descriptor() >= 0)
        if (const std::optional<bool> copied = copyInKernel(from.descriptor(), to.descriptor()))
            return *copied;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (uint64_t done = 0;;) {
        size_t got = 0;
        if (!from.readAt(done, std::span<char>(buffer.data(), size_t(buffer.size())), &got))
            return false;
        if (got == 0)
            return true;
        if (!to.writeAt(done, std::span<const char>(buffer.constData(), got)))
            return false;
        done += got;
    }
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

std::optional<uint64_t> freeBytes(const QString &folder)
{
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return std::nullopt;
    return uint64_t(fs.f_bavail) * uint64_t(fs.f_frsize);
}

} // namespace verbana::files
