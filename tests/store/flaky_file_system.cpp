// SPDX-License-Identifier: GPL-3.0-or-later
#include "flaky_file_system.h"

namespace verbana::test {

using xbase::Status;

class FlakyFile final : public xbase::File {
public:
    FlakyFile(FlakyFileSystem &fs, std::unique_ptr<xbase::File> inner) : fs_(fs), inner_(std::move(inner)) {}

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
    xbase::Result<uint64_t> size() override { return inner_->size(); }
    Status truncate(uint64_t size) override { return inner_->truncate(size); }
    Status sync() override { return inner_->sync(); }
    Status tryLock(uint64_t offset, uint64_t length, xbase::LockMode mode) override
    {
        return inner_->tryLock(offset, length, mode);
    }
    Status unlock(uint64_t offset, uint64_t length) override { return inner_->unlock(offset, length); }
    QString path() const override { return inner_->path(); }

private:
    FlakyFileSystem &fs_;
    std::unique_ptr<xbase::File> inner_;
};

xbase::Result<std::unique_ptr<xbase::File>> FlakyFileSystem::open(const QString &path, xbase::OpenMode mode)
{
    auto file = inner_.open(path, mode);
    if (!file)
        return file.status();
    return std::unique_ptr<xbase::File>(std::make_unique<FlakyFile>(*this, std::move(file.value())));
}

} // namespace verbana::test
