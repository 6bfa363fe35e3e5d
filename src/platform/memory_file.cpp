// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/memory_file.h"

#include <cstring>

namespace verbana::files {

class MemoryFile final : public File {
public:
    MemoryFile(MemoryFileSystem &fs, std::shared_ptr<MemoryFileSystem::Data> d, QString path, bool readOnly)
        : fs_(fs), d_(std::move(d)), path_(std::move(path)), readOnly_(readOnly)
    {
    }

    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        const uint64_t size = uint64_t(d_->bytes.size());
        const size_t n = offset >= size ? 0 : size_t(std::min<uint64_t>(data.size(), size - offset));
        if (n)
            std::memcpy(data.data(), d_->bytes.constData() + offset, n);
        if (got)
            *got = n;
        else if (n < data.size())
            return Status::corruption(QStringLiteral("short read at offset %1: %2").arg(offset).arg(path_));
        return Status::ok();
    }

    Status writeAt(uint64_t offset, std::span<const char> data) override
    {
        if (readOnly_)
            return Status::ioError(QStringLiteral("write error: %1: opened for reading only").arg(path_));
        if (fs_.shouldFailWrite())
            return Status::ioError(QStringLiteral("write error: %1: injected failure").arg(path_));
        if (offset + data.size() > (1u << 30))
            return Status::ioError(QStringLiteral("write error: %1: file too large").arg(path_));
        const qsizetype end = qsizetype(offset + data.size());
        if (d_->bytes.size() < end)
            d_->bytes.append(QByteArray(end - d_->bytes.size(), '\0'));
        std::memcpy(d_->bytes.data() + offset, data.data(), data.size());
        return Status::ok();
    }

    Result<uint64_t> size() override { return uint64_t(d_->bytes.size()); }
    Status truncate(uint64_t size) override
    {
        if (readOnly_)
            return Status::ioError(QStringLiteral("truncate error: %1: opened for reading only").arg(path_));
        d_->bytes.resize(qsizetype(size), '\0');
        return Status::ok();
    }
    Status sync() override { return Status::ok(); }
    Status tryLock(uint64_t, uint64_t, LockMode) override { return Status::ok(); }
    Status unlock(uint64_t, uint64_t) override { return Status::ok(); }
    QString path() const override { return path_; }
    Result<QDateTime> modified() override { return d_->modified; }
    Status setModified(const QDateTime &when) override
    {
        d_->modified = when;
        return Status::ok();
    }

private:
    MemoryFileSystem &fs_;
    std::shared_ptr<MemoryFileSystem::Data> d_;
    QString path_;
    bool readOnly_;
};

bool MemoryFileSystem::shouldFailWrite()
{
    if (failWrite_ <= 0)
        return false;
    return --failWrite_ == 0;
}

Result<std::unique_ptr<File>> MemoryFileSystem::open(const QString &path, OpenMode mode)
{
    const bool reading = mode == OpenMode::ReadOnly || mode == OpenMode::ReadStored;
    if (readOnly_ && !reading)
        return Status::readOnly(QStringLiteral("%1: read-only file system").arg(path));
    auto it = files_.find(path);
    if (it == files_.end()) {
        if (mode != OpenMode::Create && mode != OpenMode::CreateNew)
            return Status::notFound(path);
        it = files_.insert(path, std::make_shared<Data>());
    } else if (mode == OpenMode::CreateNew) {
        return Status::ioError(QStringLiteral("%1: something else has the name").arg(path));
    } else if (mode == OpenMode::Create) {
        it.value() = std::make_shared<Data>();
    }
    return std::unique_ptr<File>(new MemoryFile(*this, it.value(), path, reading));
}

Status MemoryFileSystem::rename(const QString &from, const QString &to)
{
    if (readOnly_)
        return Status::ioError(QStringLiteral("rename %1: read-only file system").arg(from));
    auto it = files_.find(from);
    if (it == files_.end())
        return Status::notFound(from);
    files_[to] = it.value();
    files_.remove(from);
    return Status::ok();
}

Status MemoryFileSystem::remove(const QString &path)
{
    if (readOnly_)
        return Status::ioError(QStringLiteral("remove %1: read-only file system").arg(path));
    files_.remove(path);
    return Status::ok();
}

void MemoryFileSystem::put(const QString &path, const QByteArray &bytes)
{
    auto d = std::make_shared<Data>();
    d->bytes = bytes;
    files_[path] = d;
}

QByteArray MemoryFileSystem::get(const QString &path) const
{
    auto it = files_.find(path);
    return it == files_.end() ? QByteArray() : it.value()->bytes;
}

} // namespace verbana::files
