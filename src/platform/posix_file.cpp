// SPDX-License-Identifier: GPL-3.0-or-later
// POSIX implementation of the file seam. Locks are open-file-description
// locks: they belong to the descriptor, so two tables open on one file in
// one process exclude each other just as two processes do, and closing
// another descriptor of the same file does not drop them. They conflict
// with the classic record locks other xBase engines take.
#include "platform/file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace verbana::files {
namespace {

QString errnoText(int e) { return QString::fromLocal8Bit(std::strerror(e)); }

class PosixFile final : public File {
public:
    // `knownSize`, when not negative, is the size of a stored file as it
    // was opened (see OpenMode::ReadStored).
    PosixFile(int fd, QString path, int64_t knownSize = -1) : fd_(fd), path_(std::move(path)), knownSize_(knownSize) {}
    ~PosixFile() override
    {
        if (view_)
            ::munmap(view_, viewLength_);
        ::close(fd_);
    }

    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        size_t done = 0;
        while (done < data.size()) {
            ssize_t n = ::pread(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return Status::ioError(QStringLiteral("read error: %1: %2").arg(path_, errnoText(errno)));
            }
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        if (got)
            *got = done;
        else if (done < data.size())
            return Status::corruption(QStringLiteral("short read at offset %1: %2").arg(offset).arg(path_));
        return Status::ok();
    }

    Status writeAt(uint64_t offset, std::span<const char> data) override
    {
        size_t done = 0;
        while (done < data.size()) {
            ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return Status::ioError(QStringLiteral("write error: %1: %2").arg(path_, errnoText(errno)));
            }
            done += static_cast<size_t>(n);
        }
        return Status::ok();
    }

    Result<uint64_t> size() override
    {
        if (knownSize_ >= 0)
            return uint64_t(knownSize_);
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            return Status::ioError(QStringLiteral("stat error: %1: %2").arg(path_, errnoText(errno)));
        return static_cast<uint64_t>(st.st_size);
    }

    Status truncate(uint64_t size) override
    {
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
            return Status::ioError(QStringLiteral("truncate error: %1: %2").arg(path_, errnoText(errno)));
        return Status::ok();
    }

    Status sync() override
    {
        if (::fdatasync(fd_) != 0)
            return Status::ioError(QStringLiteral("sync error: %1: %2").arg(path_, errnoText(errno)));
        return Status::ok();
    }

    Status tryLock(uint64_t offset, uint64_t length, LockMode mode) override
    {
        struct flock fl {};
        fl.l_type = mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EACCES || errno == EAGAIN)
                return Status::locked(path_);
            return Status::ioError(QStringLiteral("lock error: %1: %2").arg(path_, errnoText(errno)));
        }
        return Status::ok();
    }

    Status unlock(uint64_t offset, uint64_t length) override
    {
        struct flock fl {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0)
            return Status::ioError(QStringLiteral("unlock error: %1: %2").arg(path_, errnoText(errno)));
        return Status::ok();
    }

    QString path() const override { return path_; }
    int descriptor() const override { return fd_; }

    Result<QDateTime> modified() override
    {
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            return Status::ioError(QStringLiteral("stat error: %1: %2").arg(path_, errnoText(errno)));
        return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    }

    Status setModified(const QDateTime &when) override
    {
        const qint64 ms = when.toMSecsSinceEpoch();
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
        if (::futimens(fd_, times) != 0)
            return Status::ioError(QStringLiteral("time error: %1: %2").arg(path_, errnoText(errno)));
        return Status::ok();
    }

    const char *map(uint64_t length) override
    {
        if (view_ && viewLength_ == length)
            return static_cast<const char *>(view_);
        if (view_)
            ::munmap(view_, viewLength_);
        view_ = nullptr;
        viewLength_ = 0;
        if (length == 0 || length > uint64_t(std::numeric_limits<size_t>::max()))
            return nullptr;
        void *p = ::mmap(nullptr, size_t(length), PROT_READ, MAP_SHARED, fd_, 0);
        if (p == MAP_FAILED)
            return nullptr;
        view_ = p;
        viewLength_ = size_t(length);
        return static_cast<const char *>(view_);
    }

private:
    int fd_;
    QString path_;
    int64_t knownSize_;
    void *view_ = nullptr;
    size_t viewLength_ = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const QString &path, OpenMode mode) override
    {
        int flags = O_CLOEXEC;
        switch (mode) {
        case OpenMode::ReadOnly:
            flags |= O_RDONLY;
            break;
        case OpenMode::ReadWrite:
            flags |= O_RDWR;
            break;
        case OpenMode::Create:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
        case OpenMode::CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
            break;
        case OpenMode::ReadStored:
            flags |= O_RDONLY | O_NOFOLLOW | O_NONBLOCK;
            break;
        }
        const QByteArray native = QFile::encodeName(path);
        int fd = ::open(native.constData(), flags, 0666);
        if (fd < 0) {
            const int e = errno;
            if (e == ENOENT || (mode == OpenMode::ReadStored && e == ENOTDIR))
                return Status::notFound(path);
            if (e == EEXIST)
                return Status::ioError(QStringLiteral("%1: something else has the name (a link?): not overwritten").arg(path));
            if (mode == OpenMode::ReadStored && e == ELOOP)
                return Status::notRegular(QStringLiteral("%1: is a symbolic link").arg(path));
            // Read-only media and files the user may not write: the caller
            // can still open them for reading.
            if (mode != OpenMode::ReadOnly && mode != OpenMode::ReadStored && (e == EROFS || e == EACCES || e == EPERM))
                return Status::readOnly(QStringLiteral("%1: %2").arg(path, errnoText(e)));
            return Status::ioError(QStringLiteral("%1: %2").arg(path, errnoText(e)));
        }
        struct stat st;
        if (::fstat(fd, &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                ::close(fd);
                return mode == OpenMode::ReadStored ? Status::notRegular(QStringLiteral("%1: is a folder").arg(path))
                                                    : Status::ioError(QStringLiteral("%1: is a folder").arg(path));
            }
            if (mode == OpenMode::ReadStored && !S_ISREG(st.st_mode)) {
                ::close(fd);
                return Status::notRegular(QStringLiteral("%1: is a pipe or device, not a file").arg(path));
            }
        } else if (mode == OpenMode::ReadStored) {
            const int e = errno;
            ::close(fd);
            return Status::ioError(QStringLiteral("%1: %2").arg(path, errnoText(e)));
        }
        const int64_t knownSize = mode == OpenMode::ReadStored ? int64_t(st.st_size) : -1;
        return std::unique_ptr<File>(new PosixFile(fd, path, knownSize));
    }

    Result<std::unique_ptr<File>> adopt(int fd, const QString &path) override
    {
        if (fd < 0)
            return Status::invalidArgument(QStringLiteral("%1: no descriptor").arg(path));
        return std::unique_ptr<File>(new PosixFile(fd, path));
    }

    bool exists(const QString &path) override { return QFileInfo::exists(path); }

    bool isRegularFile(const QString &path) override
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
    }

    Status rename(const QString &from, const QString &to) override
    {
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
            return Status::ioError(QStringLiteral("rename %1 → %2: %3").arg(from, to, errnoText(errno)));
        return Status::ok();
    }

    Status remove(const QString &path) override
    {
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
            return Status::ioError(QStringLiteral("remove %1: %2").arg(path, errnoText(errno)));
        return Status::ok();
    }

    Status syncFolder(const QString &folder) override
    {
        int fd = ::open(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return Status::ioError(QStringLiteral("open folder %1: %2").arg(folder, errnoText(errno)));
        int r = ::fsync(fd);
        ::close(fd);
        if (r != 0)
            return Status::ioError(QStringLiteral("sync folder %1: %2").arg(folder, errnoText(errno)));
        return Status::ok();
    }
};

} // namespace

Result<std::unique_ptr<File>> FileSystem::adopt(int fd, const QString &path) { return posix().adopt(fd, path); }

FileSystem &FileSystem::posix()
{
    static PosixFileSystem fs;
    return fs;
}

} // namespace verbana::files
