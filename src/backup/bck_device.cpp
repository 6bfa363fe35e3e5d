// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/bck_device.h"

#include <QIODevice>

namespace verbana::bck {
namespace {

using files::Status;

class DeviceFile final : public files::File {
public:
    explicit DeviceFile(QIODevice &device) : device_(device), base_(device.isSequential() ? 0 : device.pos()) {}

    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        VERBANA_TRY(moveTo(offset));
        size_t done = 0;
        while (done < data.size()) {
            const qint64 n = device_.read(data.data() + done, qint64(data.size() - done));
            if (n < 0)
                return Status::ioError(QStringLiteral("read error: %1").arg(device_.errorString()));
            if (n == 0)
                break;
            done += size_t(n);
        }
        position_ += done;
        if (got)
            *got = done;
        else if (done < data.size())
            return Status::corruption(QStringLiteral("short read at offset %1").arg(offset));
        return Status::ok();
    }

    Status writeAt(uint64_t offset, std::span<const char> data) override
    {
        VERBANA_TRY(moveTo(offset));
        if (device_.write(data.data(), qint64(data.size())) != qint64(data.size()))
            return Status::ioError(QStringLiteral("write error: %1").arg(device_.errorString()));
        position_ += data.size();
        return Status::ok();
    }

    files::Result<uint64_t> size() override { return uint64_t(qMax<qint64>(device_.size(), 0)); }
    Status truncate(uint64_t) override { return Status::invalidArgument(path()); }
    Status sync() override { return Status::ok(); }
    Status tryLock(uint64_t, uint64_t, files::LockMode) override { return Status::ok(); }
    Status unlock(uint64_t, uint64_t) override { return Status::ok(); }
    QString path() const override { return QStringLiteral(":STREAM"); }

private:
    // A device that cannot seek is only ever read forward: bytes passed
    // over are read and dropped.
    Status moveTo(uint64_t offset)
    {
        if (offset == position_)
            return Status::ok();
        if (!device_.isSequential()) {
            if (!device_.seek(base_ + qint64(offset)))
                return Status::ioError(QStringLiteral("seek error: %1").arg(device_.errorString()));
            position_ = offset;
            return Status::ok();
        }
        if (offset < position_ || device_.skip(qint64(offset - position_)) != qint64(offset - position_))
            return Status::ioError(QStringLiteral("seek error: the stream cannot go back"));
        position_ = offset;
        return Status::ok();
    }

    QIODevice &device_;
    qint64 base_; // where the device stood when it was handed over
    uint64_t position_ = 0;
};

} // namespace

std::unique_ptr<files::File> deviceFile(QIODevice &device) { return std::make_unique<DeviceFile>(device); }

} // namespace verbana::bck
