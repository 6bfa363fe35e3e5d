// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

namespace verbana::test {

// The real files as read-only media show them: they open for reading,
// and anything that would write is refused as the system refuses it.
class ReadOnlyMedia final : public files::FileSystem {
public:
    files::Result<std::unique_ptr<files::File>> open(const QString &path, files::OpenMode mode) override
    {
        if (mode != files::OpenMode::ReadOnly && mode != files::OpenMode::ReadStored)
            return files::Status::readOnly(path + QStringLiteral(": Read-only file system"));
        return disk().open(path, mode);
    }
    bool exists(const QString &path) override { return disk().exists(path); }
    bool isRegularFile(const QString &path) override { return disk().isRegularFile(path); }
    files::Status rename(const QString &from, const QString &) override { return refused(from); }
    files::Status remove(const QString &path) override { return refused(path); }
    files::Status syncFolder(const QString &folder) override { return refused(folder); }

private:
    static files::FileSystem &disk() { return files::FileSystem::posix(); }
    static files::Status refused(const QString &path)
    {
        return files::Status::readOnly(path + QStringLiteral(": Read-only file system"));
    }
};

} // namespace verbana::test
