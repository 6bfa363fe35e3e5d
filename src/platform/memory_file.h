// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QHash>

#include <memory>

// Files held in memory: for fuzzing the readers without touching the disk,
// and for tests that make the Nth write fail. FaultFileSystem on top of it
// fails syncs and forgets what was not synced.
namespace verbana::files {

class MemoryFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const QString &path, OpenMode mode) override;
    bool exists(const QString &path) override { return files_.contains(path); }
    Status rename(const QString &from, const QString &to) override;
    Status remove(const QString &path) override;
    Status syncFolder(const QString &) override { return Status::ok(); }

    void put(const QString &path, const QByteArray &bytes);
    QByteArray get(const QString &path) const;

    // Makes the Nth write from now fail (1 = the next one); 0 = never.
    void failWriteAfter(int n) { failWrite_ = n; }
    // Read-only media: files open for reading only, nothing is written,
    // created, renamed or removed.
    void setReadOnly(bool on) { readOnly_ = on; }

    struct Data {
        QByteArray bytes;
        QDateTime modified;
    };

private:
    friend class MemoryFile;
    bool shouldFailWrite();
    QHash<QString, std::shared_ptr<Data>> files_;
    int failWrite_ = 0;
    bool readOnly_ = false;
};

} // namespace verbana::files
