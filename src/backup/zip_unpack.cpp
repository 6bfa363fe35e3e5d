// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, checking and unpacking a ZIP backup of a collection.
#include "backup/zip_archive.h"
#include "backup/zip_run.h"

#include "platform/buffered_file.h"
#include "platform/cp949.h"
#include "platform/file.h"
#include "platform/files.h"
#include "platform/folder_walk.h"
#include "platform/link_safe_folder.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace verbana::backup {

namespace {

// The archive read through a window of 1 MiB: libzip's own file source
// seeks three times and reads 4 KiB for every entry, which for thousands
// of small files costs more than unpacking them.
class WindowSource {
public:
    explicit WindowSource(std::unique_ptr<files::File> file) : file_(std::move(file)), in_(*file_, 1 << 20) {}

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

    zip_int64_t handle(void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        switch (cmd) {
        case ZIP_SOURCE_OPEN: {
            const files::Result<uint64_t> size = file_->size();
            if (!size)
                return fail(ZIP_ER_OPEN, 0);
            size_ = size.value();
            in_.seek(0);
            return 0;
        }
        case ZIP_SOURCE_READ: {
            const uint64_t left = in_.position() < size_ ? size_ - in_.position() : 0;
            const files::Result<size_t> got =
                in_.readSome(std::span<char>(static_cast<char *>(data), size_t(qMin<zip_uint64_t>(length, left))));
            return got ? zip_int64_t(got.value()) : fail(ZIP_ER_READ, 0);
        }
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
            const zip_int64_t to = zip_source_seek_compute_offset(in_.position(), size_, data, length, &error_);
            if (to < 0)
                return -1;
            in_.seek(zip_uint64_t(to));
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return zip_int64_t(in_.position());
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

    std::unique_ptr<files::File> file_;
    files::BufferedReader in_;
    zip_error_t error_ = {};
    zip_uint64_t size_ = 0;
};

struct ArchiveCloser {
    void operator()(zip_t *za) const { zip_discard(za); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive openArchive(const QString &path, QString &message)
{
    auto file = files::FileSystem::posix().open(path, files::OpenMode::ReadOnly);
    if (!file) {
        message = file.status().kind() == files::StatusKind::NotFound ? QString::fromLocal8Bit(std::strerror(ENOENT))
                                                                      : file.status().message();
        return nullptr;
    }
    auto *state = new WindowSource(std::move(file.value()));
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

Outcome<ZipDirectory> refusal(const QString &why, const QString &name)
{
    return Outcome<ZipDirectory>::failure(Fault::Unsafe, why + QLatin1Char('\r') + name);
}

} // namespace

QString notCollectionBackupMessage() { return QStringLiteral("Verbana 용 압축파일이 아닌 것 같습니다."); }

QString unzipFolder() { return paths::programFolder() + QStringLiteral("/_unzip"); }

Outcome<ZipDirectory> readCollectionArchive(const QString &archive)
{
    QString message;
    Archive za = openArchive(archive, message);
    if (!za)
        return Outcome<ZipDirectory>::failure(Fault::Io, message);
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
    if (!sermonTable || !everyInFolder)
        return Outcome<ZipDirectory>::failure(Fault::WrongKind, notCollectionBackupMessage());
    ZipDirectory dir;
    dir.root = names.front().name.left(names.front().name.indexOf(QLatin1Char('/')));
    for (const Raw &raw : names) {
        if (isLink(za.get(), raw.index))
            return refusal(QStringLiteral("압축파일에 링크가 들어 있어 풀지 않았습니다."), raw.name);
        QStringList parts;
        bool outside = raw.name.startsWith(QLatin1Char('/'))
            || (raw.name.size() >= 2 && raw.name[1] == QLatin1Char(':'));
        for (const QString &part : raw.name.split(QLatin1Char('/'))) {
            if (part == QLatin1String(".."))
                outside = true;
            else if (!part.isEmpty() && part != QLatin1String("."))
                parts << part;
        }
        if (outside || parts.isEmpty() || parts.front().compare(dir.root, Qt::CaseInsensitive) != 0)
            return refusal(QStringLiteral("압축파일에 설교집 폴더 밖을 가리키는 이름이 있어 풀지 않았습니다."), raw.name);
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
    dir.archive = std::shared_ptr<zip_t>(za.release(), ArchiveCloser());
    return dir;
}

namespace {

QString writeFailure(const files::LinkSafeFolder::Result &r)
{
    return QStringLiteral("파일을 만들 수 없습니다: %1 (%2)")
        .arg(r.where, r.error ? QString::fromLocal8Bit(std::strerror(r.error)) : QStringLiteral("link"));
}

Outcome<void> cannotWrite(const files::LinkSafeFolder::Result &r) { return Outcome<void>::failure(Fault::Io, writeFailure(r)); }

Outcome<void> libraryFault(const char *message) { return Outcome<void>::failure(Fault::Io, QString::fromLocal8Bit(message)); }

// Writes the entry `e` to `out` and gives the file the entry's time.
Outcome<void> copyEntry(zip_t *za, const ZipEntry &e, files::File &out, QByteArray &buffer, ZipRun &run)
{
    struct Closer {
        zip_file_t *in;
        ~Closer()
        {
            if (in)
                zip_fclose(in);
        }
    } source{zip_fopen_index(za, zip_uint64_t(e.index), 0)};
    if (!source.in)
        return libraryFault(zip_strerror(za));
    uint64_t fileDone = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(source.in, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0)
            return libraryFault(zip_file_strerror(source.in));
        if (n == 0)
            break;
        if (const files::Status written = out.writeAt(fileDone, std::span<const char>(buffer.constData(), size_t(n)));
            !written)
            return Outcome<void>::failure(Fault::Io, written.message());
        fileDone += uint64_t(n);
        run.moved(uint64_t(n), fileDone);
        if (run.stopped())
            return Outcome<void>::failure(Fault::Stopped, QString());
    }
    zip_stat_t st;
    if (zip_stat_index(za, zip_uint64_t(e.index), 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME))
        (void)out.setModified(QDateTime::fromSecsSinceEpoch(st.mtime));
    return {};
}

// Unpacks every entry into `work`.
Outcome<void> unpackInto(zip_t *za, const ZipDirectory &dir, const QString &work, Progress *progress)
{
    files::FileSystem &fs = files::FileSystem::posix();
    files::LinkSafeFolder tree(work);
    ZipRun run(progress);
    uint64_t total = 0;
    for (const ZipEntry &e : dir.entries)
        total += uint64_t(e.size);
    run.start(total);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (const ZipEntry &e : dir.entries) {
        if (e.folder) {
            if (e.relative.isEmpty())
                continue;
            if (auto r = tree.makeFolder(e.relative); !r.ok())
                return cannotWrite(r);
            continue;
        }
        std::unique_ptr<files::File> out;
        if (auto r = tree.openFile(fs, out, e.relative, files::LinkSafeFolder::Mode::Replace); !r.ok())
            return cannotWrite(r);
        run.beginFile(e.relative, uint64_t(e.size));
        const Outcome<void> copied = copyEntry(za, e, *out, buffer, run);
        if (!copied.ok())
            return copied;
    }
    run.finish();
    return {};
}

// Moves the files unpacked in `work` over those of `target`, folder by
// folder, finding existing names without regard to letter case. Links in
// the collection are never written through.
Outcome<void> moveInto(const QString &work, const QString &target)
{
    files::LinkSafeFolder tree(target);
    Outcome<void> moved;
    (void)files::walkFolder(work, files::WalkOrder::FilesFirst, [&](const files::WalkEntry &e) {
        const QString destination = paths::resolve(target, e.relative);
        const QString relative = destination.mid(target.size() + 1);
        if (e.folder) {
            if (auto r = tree.makeFolder(relative); !r.ok())
                moved = cannotWrite(r);
            return moved.ok();
        }
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0)
            if (auto r = tree.makeFolder(relative.left(slash)); !r.ok()) {
                moved = cannotWrite(r);
                return false;
            }
        const QFileInfo existing(destination);
        if (existing.isSymLink() || existing.isDir()) {
            moved = cannotWrite({files::LinkSafeFolder::Kind::NotFile, relative, 0});
            return false;
        }
        if (std::rename(QFile::encodeName(e.path).constData(), QFile::encodeName(destination).constData()) != 0) {
            moved = cannotWrite({files::LinkSafeFolder::Kind::Failed, relative, errno});
            return false;
        }
        return true;
    });
    return moved;
}

} // namespace

Outcome<void> unpackCollection(const QString &archive, const ZipDirectory &dir, const QString &name, Progress *progress)
{
    QString message;
    Archive opened;
    zip_t *za = dir.archive.get();
    if (!za) {
        opened = openArchive(archive, message);
        if (!opened)
            return Outcome<void>::failure(Fault::Io, message);
        za = opened.get();
    }
    const QString work = unzipFolder();
    if (QFileInfo::exists(work) && !files::removeFolder(work))
        return Outcome<void>::failure(Fault::Io, QStringLiteral("작업 폴더를 비울 수 없습니다.\r") + work);
    Outcome<void> done = unpackInto(za, dir, work, progress);
    if (done.ok()) {
        const QString existing = paths::resolveExisting(paths::programFolder(), name);
        if (existing.isEmpty()) {
            if (!QDir().rename(work, paths::programFolder() + QLatin1Char('/') + name))
                done = Outcome<void>::failure(Fault::Io, QStringLiteral("설교집 폴더를 만들 수 없습니다.\r") + name);
        } else {
            done = moveInto(work, existing);
        }
    }
    files::removeFolder(work);
    return done;
}

} // namespace verbana::backup
