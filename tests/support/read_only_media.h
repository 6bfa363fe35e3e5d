// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/file.h"

namespace verbana::test {

// The real files as read-only media show them: they open for reading,
// and anything that would write is refused as the system refuses it.
class ReadOnlyMedia final : public xbase::FileSystem {
public:
    xbase::Result<std::unique_ptr<xbase::File>> open(const QString &path, xbase::OpenMode mode) override
    {
        if (mode != xbase::OpenMode::ReadOnly)
            return xbase::Status::readOnly(path + QStringLiteral(": Read-only file system"));
        return disk().open(path, mode);
    }
    bool exists(const QString &path) override { return disk().exists(path); }
    bool isRegularFile(const QString &path) override { return disk().isRegularFile(path); }
    xbase::Status rename(const QString &from, const QString &) override { return refused(from); }
    xbase::Status remove(const QString &path) override { return refused(path); }
    xbase::Status syncFolder(const QString &folder) override { return refused(folder); }

private:
    static xbase::FileSystem &disk() { return xbase::FileSystem::posix(); }
    static xbase::Status refused(const QString &path)
    {
        return xbase::Status::readOnly(path + QStringLiteral(": Read-only file system"));
    }
};

} // namespace verbana::test
