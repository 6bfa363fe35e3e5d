// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/flaky_file_system.h"

namespace verbana::test {

using files::Status;

class FlakyFile final : public files::File {
public:
    FlakyFile(FlakyFileSystem &fs, std::unique_ptr<files::File> inner) : fs_(fs), inner_(std::move(inner)) {}

    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        if (fs_.shouldFail(fs_.readsLeft_))
            return Status::ioError(QStringLiteral("read error: %1: injected failure").arg(path()));
        return inner_->readAt(offset, data, got);
    }
    Status writeAt(uint64_t offset, std::span<const char> data) override
    {
        if (fs_.shouldFail(fs_.writesLeft_))
            return Status::ioError(QStringLiteral("write error: %1: injected failure").arg(path()));
        return inner_->writeAt(offset, data);
    }
    files::Result<uint64_t> size() override { return inner_->size(); }
    Status truncate(uint64_t size) override { return inner_->truncate(size); }
    Status sync() override { return inner_->sync(); }
    Status tryLock(uint64_t offset, uint64_t length, files::LockMode mode) override
    {
        return inner_->tryLock(offset, length, mode);
    }
    Status unlock(uint64_t offset, uint64_t length) override { return inner_->unlock(offset, length); }
    QString path() const override { return inner_->path(); }
    files::Result<QDateTime> modified() override { return inner_->modified(); }
    Status setModified(const QDateTime &when) override { return inner_->setModified(when); }

private:
    FlakyFileSystem &fs_;
    std::unique_ptr<files::File> inner_;
};

files::Result<std::unique_ptr<files::File>> FlakyFileSystem::wrap(files::Result<std::unique_ptr<files::File>> file)
{
    if (!file)
        return file.status();
    return std::unique_ptr<files::File>(std::make_unique<FlakyFile>(*this, std::move(file.value())));
}

files::Result<std::unique_ptr<files::File>> FlakyFileSystem::open(const QString &path, files::OpenMode mode)
{
    return wrap(inner_.open(path, mode));
}

files::Result<std::unique_ptr<files::File>> FlakyFileSystem::adopt(int fd, const QString &path)
{
    return wrap(inner_.adopt(fd, path));
}

} // namespace verbana::test
