// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fault_file.h"

#include <QDir>
#include <QFileInfo>

namespace verbana::files {
namespace {

QString folderOf(const QString &path) { return QDir::cleanPath(QFileInfo(path).path()); }

Result<QByteArray> readWhole(File &file)
{
    auto size = file.size();
    if (!size)
        return size.status();
    QByteArray bytes(qsizetype(*size), Qt::Uninitialized);
    VERBANA_TRY(file.readAt(0, std::span<char>(bytes.data(), size_t(bytes.size()))));
    return bytes;
}

} // namespace

class FaultFile final : public File {
public:
    FaultFile(FaultFileSystem &fs, std::unique_ptr<File> inner, int inode)
        : fs_(fs), inner_(std::move(inner)), inode_(inode)
    {
    }

    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        return inner_->readAt(offset, data, got);
    }
    Status writeAt(uint64_t offset, std::span<const char> data) override { return inner_->writeAt(offset, data); }
    Result<uint64_t> size() override { return inner_->size(); }
    Status truncate(uint64_t size) override
    {
        VERBANA_TRY(inner_->truncate(size));
        fs_.record({FaultFileSystem::Change::Truncate, {}, {}, inode_, size});
        return Status::ok();
    }
    Status sync() override
    {
        switch (fs_.nextSync()) {
        case FaultFileSystem::SyncFate::Failed:
            return Status::ioError(QStringLiteral("sync error: %1: injected failure").arg(path()));
        case FaultFileSystem::SyncFate::Lost:
            return inner_->sync();
        case FaultFileSystem::SyncFate::Durable:
            break;
        }
        VERBANA_TRY(inner_->sync());
        return fs_.fileSynced(inode_, *inner_);
    }
    Status tryLock(uint64_t offset, uint64_t length, LockMode mode) override
    {
        return inner_->tryLock(offset, length, mode);
    }
    Status unlock(uint64_t offset, uint64_t length) override { return inner_->unlock(offset, length); }
    QString path() const override { return inner_->path(); }
    Result<QDateTime> modified() override { return inner_->modified(); }
    Status setModified(const QDateTime &when) override { return inner_->setModified(when); }
    const char *map(uint64_t length) override { return inner_->map(length); }

private:
    FaultFileSystem &fs_;
    std::unique_ptr<File> inner_;
    int inode_;
};

FaultFileSystem::SyncFate FaultFileSystem::nextSync()
{
    ++syncs_;
    if (failAt_ > 0 && --failAt_ == 0)
        return SyncFate::Failed;
    if (cutAt_ > 0 && --cutAt_ == 0 && !dead_) {
        dead_ = true;
        pendingAtCut_ = pending_.size();
    }
    return dead_ ? SyncFate::Lost : SyncFate::Durable;
}

// A path met for the first time that exists already is taken to be on the
// disk as it is.
void FaultFileSystem::adopt(const QString &path)
{
    if (seen_.contains(path))
        return;
    seen_.insert(path);
    if (!inner_.exists(path))
        return;
    auto file = inner_.open(path, OpenMode::ReadOnly);
    if (!file)
        return;
    auto bytes = readWhole(**file);
    durable_.push_back(bytes ? bytes.value() : QByteArray());
    live_[path] = disk_[path] = int(durable_.size() - 1);
}

void FaultFileSystem::record(Change c) { pending_.push_back(std::move(c)); }

void FaultFileSystem::applyTo(Names &names, const Change &c)
{
    switch (c.kind) {
    case Change::Create:
        names[c.to] = c.inode;
        break;
    case Change::Rename:
        names.remove(c.from);
        names[c.to] = c.inode;
        break;
    case Change::Remove:
        names.remove(c.from);
        break;
    case Change::Truncate:
        durable_[size_t(c.inode)].resize(qsizetype(c.size), '\0');
        break;
    }
}

Status FaultFileSystem::fileSynced(int inode, File &file)
{
    auto bytes = readWhole(file);
    if (!bytes)
        return bytes.status();
    durable_[size_t(inode)] = bytes.value();
    std::erase_if(pending_, [&](const Change &c) { return c.kind == Change::Truncate && c.inode == inode; });
    return Status::ok();
}

Result<std::unique_ptr<File>> FaultFileSystem::open(const QString &path, OpenMode mode)
{
    adopt(path);
    auto file = inner_.open(path, mode);
    if (!file)
        return file.status();
    auto it = live_.find(path);
    int inode;
    if (it == live_.end()) {
        durable_.emplace_back();
        inode = int(durable_.size() - 1);
        live_[path] = inode;
        record({Change::Create, {}, path, inode});
    } else {
        inode = it.value();
        if (mode == OpenMode::Create || mode == OpenMode::CreateNew)
            record({Change::Truncate, {}, {}, inode, 0});
    }
    return std::unique_ptr<File>(new FaultFile(*this, std::move(file.value()), inode));
}

bool FaultFileSystem::exists(const QString &path)
{
    adopt(path);
    return inner_.exists(path);
}

bool FaultFileSystem::isRegularFile(const QString &path)
{
    adopt(path);
    return inner_.isRegularFile(path);
}

Status FaultFileSystem::rename(const QString &from, const QString &to)
{
    adopt(from);
    adopt(to);
    VERBANA_TRY(inner_.rename(from, to));
    const int inode = live_.take(from);
    live_[to] = inode;
    record({Change::Rename, from, to, inode});
    return Status::ok();
}

Status FaultFileSystem::remove(const QString &path)
{
    adopt(path);
    VERBANA_TRY(inner_.remove(path));
    if (live_.contains(path))
        record({Change::Remove, path, {}, live_.take(path)});
    return Status::ok();
}

Status FaultFileSystem::syncFolder(const QString &folder)
{
    switch (nextSync()) {
    case SyncFate::Failed:
        return Status::ioError(QStringLiteral("sync folder %1: injected failure").arg(folder));
    case SyncFate::Lost:
        return inner_.syncFolder(folder);
    case SyncFate::Durable:
        break;
    }
    VERBANA_TRY(inner_.syncFolder(folder));
    const QString clean = QDir::cleanPath(folder);
    std::erase_if(pending_, [&](const Change &c) {
        if (c.kind == Change::Truncate || folderOf(c.kind == Change::Remove ? c.from : c.to) != clean)
            return false;
        applyTo(disk_, c);
        return true;
    });
    return Status::ok();
}

Status FaultFileSystem::powerCut(int keepChanges)
{
    if (!dead_)
        pendingAtCut_ = pending_.size();
    const size_t keep = std::min(size_t(std::max(keepChanges, 0)), pendingAtCut_);
    Names after = disk_;
    for (size_t i = 0; i < keep; ++i)
        applyTo(after, pending_[i]);
    for (const QString &path : seen_) {
        auto it = after.find(path);
        if (it == after.end()) {
            VERBANA_TRY(inner_.remove(path));
            continue;
        }
        auto file = inner_.open(path, OpenMode::Create);
        if (!file)
            return file.status();
        const QByteArray &bytes = durable_[size_t(it.value())];
        VERBANA_TRY((*file)->writeAt(0, std::span<const char>(bytes.constData(), size_t(bytes.size()))));
    }
    live_ = disk_ = after;
    pending_.clear();
    pendingAtCut_ = 0;
    dead_ = false;
    failAt_ = cutAt_ = 0;
    return Status::ok();
}

} // namespace verbana::files
