// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_walk.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace verbana::files {
namespace {

struct Name {
    QString name;
    QByteArray native;
    bool folder;
    int64_t size;
    int64_t modified;
};

class Walker {
public:
    Walker(const QString &root, WalkOrder order, WalkScope scope, const std::function<bool(const WalkEntry &)> &visit)
        : rootPrefix_(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')), order_(order),
          scope_(scope), visit_(visit)
    {
    }

    void walk(int fd, const QString &relative);
    bool complete() const { return !stopped_ && !failed_; }

private:
    bool list(int fd, std::vector<Name> &names, bool &empty);
    void enter(int fd, const Name &sub, const QString &relative);
    void report(const QString &relative, const Name &n, bool empty);

    const QString rootPrefix_;
    WalkOrder order_;
    WalkScope scope_;
    const std::function<bool(const WalkEntry &)> &visit_;
    bool stopped_ = false; // the visitor said so
    bool failed_ = false; // a folder could not be opened or read
};

// The folder's folders and plain files, sorted; links and anything else
// are left out, though they keep the folder from being `empty`. `fd`
// stays open.
bool Walker::list(int fd, std::vector<Name> &names, bool &empty)
{
    empty = true;
    const int own = ::dup(fd);
    if (own < 0)
        return false;
    DIR *dir = ::fdopendir(own);
    if (!dir) {
        ::close(own);
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e) {
            ok = errno == 0;
            break;
        }
        const char *n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        empty = false;
        if (e->d_type == DT_LNK)
            continue;
        struct stat st;
        if (::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since it was listed
        const bool folder = S_ISDIR(st.st_mode);
        if (!folder && !S_ISREG(st.st_mode))
            continue;
        const QByteArray native(n);
        names.push_back({QFile::decodeName(native), native, folder, int64_t(st.st_size), int64_t(st.st_mtim.tv_sec)});
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const Name &a, const Name &b) { return a.name < b.name; });
    return ok;
}

void Walker::report(const QString &relative, const Name &n, bool empty)
{
    WalkEntry e;
    e.relative = relative;
    e.path = rootPrefix_ + relative;
    e.folder = n.folder;
    e.empty = empty;
    e.size = n.folder ? 0 : n.size;
    e.modified = n.modified;
    stopped_ = !visit_(e);
}

void Walker::enter(int fd, const Name &sub, const QString &relative)
{
    const int subFd = ::openat(fd, sub.native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (subFd < 0) {
        failed_ = true;
        return;
    }
    walk(subFd, relative);
    ::close(subFd);
}

// Reports the folder `relative` (unless it is the root), then what is in it.
void Walker::walk(int fd, const QString &relative)
{
    std::vector<Name> names;
    bool empty = false;
    const bool listed = list(fd, names, empty);
    failed_ = failed_ || !listed;
    if (!relative.isEmpty()) {
        report(relative, Name{{}, {}, true, 0, 0}, listed && empty);
        if (scope_ == WalkScope::Folder)
            return;
    }
    const QString prefix = relative.isEmpty() ? QString() : relative + QLatin1Char('/');
    const bool foldersFirst = order_ == WalkOrder::SubFoldersFirst;
    for (const bool folders : {foldersFirst, !foldersFirst}) {
        for (const Name &n : names) {
            if (stopped_)
                return;
            if (n.folder != folders)
                continue;
            if (n.folder)
                enter(fd, n, prefix + n.name);
            else
                report(prefix + n.name, n, false);
        }
    }
}

} // namespace

bool walkFolder(const QString &root, WalkOrder order, const std::function<bool(const WalkEntry &)> &visit,
                WalkScope scope)
{
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    Walker walker(root, order, scope, visit);
    walker.walk(fd, QString());
    ::close(fd);
    return walker.complete();
}

} // namespace verbana::files
