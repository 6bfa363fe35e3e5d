// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, checking and unpacking a ZIP backup of a collection.
#include "backup/zip_archive.h"
#include "backup/zip_progress.h"

#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/link_safe_folder.h"
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace verbana::backup {

namespace {

// The archive read with pread through a window of 1 MiB: libzip's own
// file source seeks three times and reads 4 KiB for every entry, which
// for thousands of small files costs more than unpacking them.
class WindowSource {
public:
    explicit WindowSource(int fd) : fd_(fd), window_(1 << 20, Qt::Uninitialized) {}
    ~WindowSource() { ::close(fd_); }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        return static_cast<WindowSource *>(state)->handle(data, length, cmd);
    }

private:
    zip_int64_t fail(int code, int system)
    {
        zip_error_set(&error_, code, system);
        return -1;
    }

    zip_int64_t read(char *data, zip_uint64_t length)
    {
        zip_uint64_t copied = 0;
        while (copied < length && offset_ < size_) {
            if (offset_ < start_ || offset_ >= start_ + filled_) {
                ssize_t n;
                do
                    n = ::pread(fd_, window_.data(), size_t(window_.size()), off_t(offset_));
                while (n < 0 && errno == EINTR);
                if (n < 0)
                    return fail(ZIP_ER_READ, errno);
                if (n == 0)
                    break;
                start_ = offset_;
                filled_ = zip_uint64_t(n);
            }
            const zip_uint64_t n = qMin(length - copied, start_ + filled_ - offset_);
            std::memcpy(data + copied, window_.constData() + (offset_ - start_), size_t(n));
            copied += n;
            offset_ += n;
        }
        return zip_int64_t(copied);
    }

    zip_int64_t handle(void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        switch (cmd) {
        case ZIP_SOURCE_OPEN: {
            struct stat st;
            if (::fstat(fd_, &st) != 0)
                return fail(ZIP_ER_OPEN, errno);
            size_ = zip_uint64_t(st.st_size);
            offset_ = 0;
            filled_ = 0;
            return 0;
        }
        case ZIP_SOURCE_READ:
            return read(static_cast<char *>(data), length);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->size = size_;
            st->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to = zip_source_seek_compute_offset(offset_, size_, data, length, &error_);
            if (to < 0)
                return -1;
            offset_ = zip_uint64_t(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return zip_int64_t(offset_);
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&error_);
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                                  ZIP_SOURCE_SUPPORTS, -1);
        default:
            return fail(ZIP_ER_OPNOTSUPP, 0);
        }
    }

    int fd_;
    QByteArray window_;
    zip_error_t error_ = {};
    zip_uint64_t size_ = 0, offset_ = 0, start_ = 0, filled_ = 0;
};

struct ArchiveCloser {
    void operator()(zip_t *za) const { zip_discard(za); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive openArchive(const QString &path, QString &message)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        message = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    auto *state = new WindowSource(fd);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_function_create(&WindowSource::callback, state, &error);
    if (!source) {
        delete state;
        message = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return nullptr;
    }
    zip_t *za = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!za) {
        message = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_source_free(source);
    }
    zip_error_fini(&error);
    return Archive(za);
}

// The entry's name as written: UTF-8 when the language-encoding flag is
// set, CP949 otherwise. A plain ASCII name reads the same either way;
// libzip's strict reading differs from the raw bytes only for a name
// without the flag that holds other bytes.
QString entryName(zip_t *za, zip_uint64_t index)
{
    const char *rawName = zip_get_name(za, index, ZIP_FL_ENC_RAW);
    if (!rawName)
        return QString();
    const QByteArray raw(rawName);
    const char *strict = zip_get_name(za, index, ZIP_FL_ENC_STRICT);
    if (strict && raw == QByteArray(strict))
        return QString::fromUtf8(raw);
    return cp949::decode(raw);
}

bool isLink(zip_t *za, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &system, &attributes) < 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

QString refusal(const QString &why, const QString &name) { return why + QLatin1Char('\r') + name; }

} // namespace

QString notCollectionBackupMessage() { return QStringLiteral("Verbana 용 압축파일이 아닌 것 같습니다."); }

QString unzipFolder() { return paths::programFolder() + QStringLiteral("/_unzip"); }

ZipDirectory readCollectionArchive(const QString &archive)
{
    ZipDirectory dir;
    Archive za = openArchive(archive, dir.message);
    if (!za)
        return dir;
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    struct Raw {
        QString name;
        zip_uint64_t index;
    };
    std::vector<Raw> names;
    bool sermonTable = false, everyInFolder = count > 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        QString name = entryName(za.get(), zip_uint64_t(i));
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const qsizetype slash = name.indexOf(QLatin1Char('/'));
        if (slash <= 0)
            everyInFolder = false;
        const QString file = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
        if (file.compare(QLatin1String("sul2file.dbf"), Qt::CaseInsensitive) == 0)
            sermonTable = true;
        names.push_back({name, zip_uint64_t(i)});
    }
    if (!sermonTable || !everyInFolder) {
        dir.verdict = ZipDirectory::Verdict::NotCollection;
        dir.message = notCollectionBackupMessage();
        return dir;
    }
    dir.root = names.front().name.left(names.front().name.indexOf(QLatin1Char('/')));
    dir.verdict = ZipDirectory::Verdict::Unsafe;
    for (const Raw &raw : names) {
        if (isLink(za.get(), raw.index)) {
            dir.entries.clear();
            dir.message = refusal(QStringLiteral("압축파일에 링크가 들어 있어 풀지 않았습니다."), raw.name);
            return dir;
        }
        QStringList parts;
        bool outside = raw.name.startsWith(QLatin1Char('/'))
            || (raw.name.size() >= 2 && raw.name[1] == QLatin1Char(':'));
        for (const QString &part : raw.name.split(QLatin1Char('/'))) {
            if (part == QLatin1String(".."))
                outside = true;
            else if (!part.isEmpty() && part != QLatin1String("."))
                parts << part;
        }
        if (outside || parts.isEmpty() || parts.front().compare(dir.root, Qt::CaseInsensitive) != 0) {
            dir.entries.clear();
            dir.message = refusal(QStringLiteral("압축파일에 설교집 폴더 밖을 가리키는 이름이 있어 풀지 않았습니다."), raw.name);
            return dir;
        }
        parts.removeFirst();
        zip_stat_t st;
        zip_stat_init(&st);
        const bool stated = zip_stat_index(za.get(), raw.index, 0, &st) == 0;
        ZipEntry entry;
        entry.relative = parts.join(QLatin1Char('/'));
        entry.folder = raw.name.endsWith(QLatin1Char('/')) || entry.relative.isEmpty();
        entry.index = qint64(raw.index);
        entry.size = stated && (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        dir.entries.push_back(entry);
    }
    dir.verdict = ZipDirectory::Verdict::Ok;
    dir.message.clear();
    dir.archive = std::shared_ptr<zip_t>(za.release(), ArchiveCloser());
    return dir;
}

namespace {

QString writeFailure(const files::LinkSafeFolder::Result &r)
{
    return QStringLiteral("파일을 만들 수 없습니다: %1 (%2)")
        .arg(r.where, r.error ? QString::fromLocal8Bit(std::strerror(r.error)) : QStringLiteral("link"));
}

// Writes the entry `e` to the descriptor `out` and closes it, giving the
// file the entry's time; empty or the message.
template <typename Moved>
QString copyEntry(zip_t *za, const ZipEntry &e, int out, QByteArray &buffer, Moved moved)
{
    struct Closer {
        int fd;
        zip_file_t *in = nullptr;
        ~Closer()
        {
            if (in)
                zip_fclose(in);
            if (fd >= 0)
                ::close(fd);
        }
    } files{out};
    files.in = zip_fopen_index(za, zip_uint64_t(e.index), 0);
    if (!files.in)
        return QString::fromLocal8Bit(zip_strerror(za));
    qint64 fileDone = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(files.in, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0)
            return QString::fromLocal8Bit(zip_file_strerror(files.in));
        if (n == 0)
            break;
        for (zip_int64_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer.constData() + written, size_t(n - written));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return QString::fromLocal8Bit(std::strerror(w < 0 ? errno : ENOSPC));
            written += w;
        }
        fileDone += n;
        moved(fileDone, n);
    }
    zip_stat_t st;
    if (zip_stat_index(za, zip_uint64_t(e.index), 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME)) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {st.mtime, 0}};
        ::futimens(out, times);
    }
    files.fd = -1;
    if (::close(out) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

// Unpacks every entry into `work`; empty or the message.
QString unpackInto(zip_t *za, const ZipDirectory &dir, const QString &work, const ZipProgress &progress)
{
    files::LinkSafeFolder tree(work);
    qint64 total = 0, done = 0;
    for (const ZipEntry &e : dir.entries)
        total += e.size;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    ProgressThrottle throttle(progress);
    for (const ZipEntry &e : dir.entries) {
        if (e.folder) {
            if (e.relative.isEmpty())
                continue;
            if (auto r = tree.makeFolder(e.relative); !r.ok())
                return writeFailure(r);
            continue;
        }
        int out = -1;
        if (auto r = tree.openDescriptor(out, e.relative, files::LinkSafeFolder::Mode::Replace); !r.ok())
            return writeFailure(r);
        if (QString failure = copyEntry(za, e, out, buffer, [&](qint64 fileDone, qint64 n) {
                done += n;
                throttle.report(e.size > 0 ? int(qMin<qint64>(100, fileDone * 100 / e.size)) : 100,
                                total > 0 ? int(qMin<qint64>(100, done * 100 / total)) : 100);
            });
            !failure.isEmpty())
            return failure;
    }
    if (progress)
        progress(100, 100);
    return QString();
}

// Moves the files unpacked in `work` over those of `target`, folder by
// folder, finding existing names without regard to letter case. Links in
// the collection are never written through.
QString moveInto(const QString &work, const QString &target)
{
    files::LinkSafeFolder tree(target);
    QDirIterator it(work, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString destination = paths::resolve(target, info.absoluteFilePath().mid(work.size() + 1));
        const QString relative = destination.mid(target.size() + 1);
        if (info.isDir()) {
            if (auto r = tree.makeFolder(relative); !r.ok())
                return writeFailure(r);
            continue;
        }
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0)
            if (auto r = tree.makeFolder(relative.left(slash)); !r.ok())
                return writeFailure(r);
        const QFileInfo existing(destination);
        if (existing.isSymLink() || existing.isDir())
            return writeFailure({files::LinkSafeFolder::Kind::NotFile, relative, 0});
        if (std::rename(QFile::encodeName(info.absoluteFilePath()).constData(),
                        QFile::encodeName(destination).constData())
            != 0)
            return writeFailure({files::LinkSafeFolder::Kind::Failed, relative, errno});
    }
    return QString();
}

} // namespace

QString unpackCollection(const QString &archive, const ZipDirectory &dir, const QString &name,
                         const ZipProgress &progress)
{
    if (!dir.ok())
        return dir.message;
    QString message;
    Archive opened;
    zip_t *za = dir.archive.get();
    if (!za) {
        opened = openArchive(archive, message);
        if (!opened)
            return message;
        za = opened.get();
    }
    const QString work = unzipFolder();
    if (QFileInfo::exists(work) && !files::removeFolder(work))
        return QStringLiteral("작업 폴더를 비울 수 없습니다.\r") + work;
    message = unpackInto(za, dir, work, progress);
    if (message.isEmpty()) {
        const QString existing = paths::resolveExisting(paths::programFolder(), name);
        if (existing.isEmpty()) {
            if (!QDir().rename(work, paths::programFolder() + QLatin1Char('/') + name))
                message = QStringLiteral("설교집 폴더를 만들 수 없습니다.\r") + name;
        } else {
            message = moveInto(work, existing);
        }
    }
    files::removeFolder(work);
    return message;
}

} // namespace verbana::backup
