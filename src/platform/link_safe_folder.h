// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QString>

#include <memory>

// Folders and files made below a base folder without following a symbolic
// link: a restore writes names that come from an archive (BCK or ZIP), and
// a link already in the target, to a folder, to a file or to nothing, must
// never carry those writes elsewhere. Each component below the base is
// opened from the descriptor of the folder above it with O_NOFOLLOW,
// missing folders are made there with mkdirat, and the file itself is
// opened with O_NOFOLLOW and must be a regular file. A link in the way is
// an error; nothing is written through it. The base folder is the caller's
// choice and may itself be a link; it is made with its missing levels at
// the first use.
namespace verbana::files {

class LinkSafeFolder {
public:
    enum class Kind {
        Ok,
        Link, // a symbolic link where a folder or the file would be
        NotFolder, // something other than a folder where a folder is needed
        NotFile, // a folder, device or pipe where the file would be
        Invalid, // an empty, "." or ".." component, or an absolute path
        Failed, // the system refused (errno in `error`)
    };
    struct [[nodiscard]] Result {
        Kind kind = Kind::Ok;
        QString where; // the path below the base that failed
        int error = 0;
        bool ok() const { return kind == Kind::Ok; }
    };
    enum class Mode { Replace, Append };

    explicit LinkSafeFolder(QString base);
    ~LinkSafeFolder();
    LinkSafeFolder(const LinkSafeFolder &) = delete;
    LinkSafeFolder &operator=(const LinkSafeFolder &) = delete;

    const QString &base() const { return base_; }

    // Opens `relative` ('/' between components) for writing as a File of
    // the file seam `fs`, which adopts the descriptor, making the missing
    // folders on the way and the file when it is missing: Replace empties
    // an existing file, Append writes at its end. On failure `file` is null.
    Result openFile(FileSystem &fs, std::unique_ptr<File> &file, const QString &relative, Mode mode);

    // Makes the folder `relative` with its missing levels.
    Result makeFolder(const QString &relative);

private:
    Result openDescriptor(int &fd, const QString &relative, Mode mode);
    Result openBase();
    Result enter(const QStringList &parts, qsizetype count, int &fd);

    QString base_;
    int baseFd_ = -1;
    QString lastFolder_; // the folder of the last file, kept open
    int lastFd_ = -1;
};

} // namespace verbana::files
