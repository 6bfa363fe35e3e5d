// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

namespace verbana::test {

// The real files, but the Nth read or the Nth write from the moment it is
// armed fails once with an I/O error, as a bad sector or a full disk would
// make it fail. Files are never mapped, so every read is counted; files
// made below a folder without following links (adopted descriptors) count
// too.
class FlakyFileSystem final : public files::FileSystem {
public:
    FlakyFileSystem() : inner_(files::FileSystem::posix()) {}

    // The Nth read (or write) from now fails (1 = the next); 0 = none.
    void failReadAt(int n) { armed(n, 0); }
    void failWriteAt(int n) { armed(0, n); }
    // Whether the armed failure has happened.
    bool failed() const { return failed_; }

    files::Result<std::unique_ptr<files::File>> open(const QString &path, files::OpenMode mode) override;
    files::Result<std::unique_ptr<files::File>> adopt(int fd, const QString &path) override;
    bool exists(const QString &path) override { return inner_.exists(path); }
    bool isRegularFile(const QString &path) override { return inner_.isRegularFile(path); }
    files::Status rename(const QString &from, const QString &to) override { return inner_.rename(from, to); }
    files::Status remove(const QString &path) override { return inner_.remove(path); }
    files::Status syncFolder(const QString &folder) override { return inner_.syncFolder(folder); }

private:
    friend class FlakyFile;
    void armed(int reads, int writes)
    {
        readsLeft_ = reads;
        writesLeft_ = writes;
        failed_ = false;
    }
    bool shouldFail(int &left)
    {
        if (left <= 0 || --left > 0)
            return false;
        failed_ = true;
        return true;
    }
    files::Result<std::unique_ptr<files::File>> wrap(files::Result<std::unique_ptr<files::File>> file);

    files::FileSystem &inner_;
    int readsLeft_ = 0, writesLeft_ = 0;
    bool failed_ = false;
};

} // namespace verbana::test
