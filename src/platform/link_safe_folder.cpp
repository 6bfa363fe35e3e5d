// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/link_safe_folder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verbana::files {
namespace {

using Kind = LinkSafeFolder::Kind;
using Made = LinkSafeFolder::Result;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool validParts(const QStringList &parts)
{
    for (const QString &p : parts)
        if (p.isEmpty() || p == QLatin1String(".") || p == QLatin1String(".."))
            return false;
    return true;
}

// Why `name` in the folder `dirFd` could not be opened as a folder (or as
// a file): a link or the wrong kind of thing there, or the system's error.
Kind whatStandsAt(int dirFd, const QByteArray &name, bool wantFolder)
{
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Failed;
    if (S_ISLNK(st.st_mode))
        return Kind::Link;
    if (wantFolder)
        return S_ISDIR(st.st_mode) ? Kind::Failed : Kind::NotFolder;
    return S_ISREG(st.st_mode) ? Kind::Failed : Kind::NotFile;
}

Made failed(Kind kind, const QStringList &parts, qsizetype count, int error)
{
    return {kind, parts.first(count).join(QLatin1Char('/')), error};
}

} // namespace

LinkSafeFolder::LinkSafeFolder(QString base) : base_(std::move(base)) {}

LinkSafeFolder::~LinkSafeFolder()
{
    closeFd(lastFd_);
    closeFd(baseFd_);
}

Made LinkSafeFolder::openBase()
{
    if (baseFd_ >= 0)
        return {};
    QDir().mkpath(base_);
    baseFd_ = ::open(QFile::encodeName(base_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd_ < 0)
        return {Kind::Failed, {}, errno};
    return {};
}

// Opens the first `count` components as folders below the base, making
// the missing ones; `fd` is a new descriptor of the last.
Made LinkSafeFolder::enter(const QStringList &parts, qsizetype count, int &fd)
{
    fd = ::dup(baseFd_);
    if (fd < 0)
        return {Kind::Failed, {}, errno};
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray name = QFile::encodeName(parts[i]);
        int next = -1;
        for (int attempt = 0; attempt < 2 && next < 0; ++attempt) {
            next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (next < 0 && (errno != ENOENT || (::mkdirat(fd, name.constData(), 0777) != 0 && errno != EEXIST)))
                break;
        }
        if (next < 0) {
            const int error = errno;
            const Kind kind = whatStandsAt(fd, name, true);
            closeFd(fd);
            return failed(kind, parts, i + 1, error);
        }
        closeFd(fd);
        fd = next;
    }
    return {};
}

Made LinkSafeFolder::openDescriptor(int &fd, const QString &relative, Mode mode)
{
    fd = -1;
    const QStringList parts = relative.split(QLatin1Char('/'));
    if (!validParts(parts))
        return {Kind::Invalid, relative, 0};
    if (Made r = openBase(); !r.ok())
        return r;
    const QString folder = parts.first(parts.size() - 1).join(QLatin1Char('/'));
    if (lastFd_ < 0 || folder != lastFolder_) {
        closeFd(lastFd_);
        if (Made r = enter(parts, parts.size() - 1, lastFd_); !r.ok())
            return r;
        lastFolder_ = folder;
    }
    const QByteArray name = QFile::encodeName(parts.last());
    const int append = mode == Mode::Append ? O_APPEND : 0;
    // A file made here and now is a new, empty, regular file: nothing
    // else can stand behind the name, so it needs no check.
    fd = ::openat(lastFd_, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | append, 0666);
    if (fd >= 0)
        return {};
    if (errno != EEXIST) {
        const int error = errno;
        return {whatStandsAt(lastFd_, name, false), relative, error};
    }
    // Not blocking, so that a pipe in the way fails instead of waiting for
    // a reader; the descriptor blocks again once it is known to be a file.
    fd = ::openat(lastFd_, name.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | append, 0666);
    if (fd < 0) {
        const int error = errno;
        return {whatStandsAt(lastFd_, name, false), relative, error};
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        closeFd(fd);
        return {Kind::NotFile, relative, 0};
    }
    // An empty file is not truncated: ext4 takes a truncation to zero for
    // a file being replaced and writes it out on close.
    if (::fcntl(fd, F_SETFL, append) != 0 || (mode == Mode::Replace && st.st_size > 0 && ::ftruncate(fd, 0) != 0)) {
        const int error = errno;
        closeFd(fd);
        return {Kind::Failed, relative, error};
    }
    return {};
}

Made LinkSafeFolder::openFile(FileSystem &fs, std::unique_ptr<File> &file, const QString &relative, Mode mode)
{
    file.reset();
    int fd = -1;
    if (Made r = openDescriptor(fd, relative, mode); !r.ok())
        return r;
    auto adopted = fs.adopt(fd, base_ + QLatin1Char('/') + relative);
    if (!adopted) {
        closeFd(fd);
        return {Kind::Failed, relative, 0};
    }
    file = std::move(adopted.value());
    return {};
}

Made LinkSafeFolder::makeFolder(const QString &relative)
{
    const QStringList parts = relative.split(QLatin1Char('/'));
    if (!validParts(parts))
        return {Kind::Invalid, relative, 0};
    if (Made r = openBase(); !r.ok())
        return r;
    int fd = -1;
    Made r = enter(parts, parts.size(), fd);
    closeFd(fd);
    return r;
}

} // namespace verbana::files
