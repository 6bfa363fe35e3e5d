// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file.h"

namespace verbana::files {

Result<std::unique_ptr<File>> createTemporary(FileSystem &fs, const QString &path)
{
    if (fs.isRegularFile(path))
        VERBANA_TRY(fs.remove(path));
    auto file = fs.open(path, OpenMode::CreateNew);
    if (!file && file.status().kind() != StatusKind::IOError)
        return Status::ioError(file.status().message());
    return file;
}

Status replaceWithTemporary(FileSystem &fs, const QString &temp, const QString &target)
{
    if (!fs.isRegularFile(temp))
        return Status::ioError(QStringLiteral("%1 is no longer the file written: not renamed").arg(temp));
    return fs.rename(temp, target);
}

void discardTemporary(FileSystem &fs, const QString &temp)
{
    if (fs.isRegularFile(temp))
        (void)fs.remove(temp);
}

} // namespace verbana::files
