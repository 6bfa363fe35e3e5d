// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, checking and unpacking a ZIP backup of a collection.
#include "backup/zip_archive.h"

#include "backup/collection_restore.h"
#include "backup/zip_run.h"

#include "platform/buffered_file.h"
#include "platform/cp949.h"
#include "platform/file.h"
#include "platform/files.h"
#include "platform/folder_walk.h"
#include "platform/link_safe_folder.h"
#include "platform/paths.h"
#include "store/sermon_record.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <zip.h>

#include <sys/stat.h>

#include <cerrno>
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

// Names that differ only in the case of Latin letters are one name on
// Windows, where collections come from. Folders so named are one folder,
// spelled as first met; two entries so named are refused, as which of them
// the collection would keep cannot be told.
class EntryNames {
public:
    // The entry's path below the root, `parts` its components, with each
    // folder spelled as first met; a clash gives the name met before, and
    // whether one of the two is a file and the other a folder.
    QString relative(const QStringList &parts, bool folder, const QString &name, QString &clash, bool &fileAndFolder)
    {
        QString spelled, key;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const bool isFolder = folder || i + 1 < parts.size();
            key += (i ? QStringLiteral("/") : QString()) + paths::foldAsciiCase(parts[i]);
            const QString own = (i ? spelled + QLatin1Char('/') : QString()) + parts[i];
            const auto seen = names_.constFind(key);
            if (seen == names_.cend()) {
                names_.insert(key, {own, name, isFolder});
                spelled = own;
            } else if (seen->folder && isFolder) {
                spelled = seen->spelled;
            } else {
                clash = seen->name;
                fileAndFolder = seen->folder != isFolder;
                return QString();
            }
        }
        return spelled;
    }

private:
    struct Seen {
        QString spelled;
        QString name; // the entry that brought it
        bool folder;
    };
    QHash<QString, Seen> names_; // by the path folded
};

QString damagedEntryMessage() { return QStringLiteral("압축파일이 손상되어 풀지 않았습니다 (크기가 맞지 않습니다)."); }

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
    EntryNames known;
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
        entry.folder = raw.name.endsWith(QLatin1Char('/')) || parts.isEmpty();
        QString clash;
        bool fileAndFolder = false;
        entry.relative = known.relative(parts, entry.folder, raw.name, clash, fileAndFolder);
        if (!clash.isEmpty())
            return refusal(fileAndFolder ? QStringLiteral("압축파일에 같은 이름의 파일과 폴더가 있어 풀지 않았습니다.")
                                         : QStringLiteral("압축파일에 대소문자를 빼면 같은 이름이 둘 있어 풀지 않았습니다."),
                           clash + QLatin1Char('\r') + raw.name);
        entry.index = qint64(raw.index);
        entry.size = stated && (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        if (entry.size < 0) // beyond any disk: the directory is damaged
            return Outcome<ZipDirectory>::failure(Fault::Damaged, damagedEntryMessage() + QLatin1Char('\r') + raw.name);
        dir.entries.push_back(entry);
    }
    dir.archive = std::shared_ptr<zip_t>(za.release(), ArchiveCloser());
    return dir;
}

namespace {

std::function<std::optional<uint64_t>(const QString &)> &freeSpaceCheck()
{
    static std::function<std::optional<uint64_t>(const QString &)> check;
    return check;
}

QString writeFailure(const files::LinkSafeFolder::Result &r)
{
    using Kind = files::LinkSafeFolder::Kind;
    QString cause;
    switch (r.kind) {
    case Kind::Link:
        cause = QStringLiteral("링크가 있습니다");
        break;
    case Kind::NotFolder:
        cause = QStringLiteral("폴더 자리에 파일이 있습니다");
        break;
    case Kind::NotFile:
        cause = QStringLiteral("파일 자리에 폴더나 장치가 있습니다");
        break;
    case Kind::Invalid:
        cause = QStringLiteral("쓸 수 없는 이름입니다");
        break;
    case Kind::Ok:
    case Kind::Failed:
        cause = QString::fromLocal8Bit(std::strerror(r.error));
        break;
    }
    return QStringLiteral("파일을 만들 수 없습니다: %1 (%2)").arg(r.where, cause);
}

Outcome<void> cannotWrite(const files::LinkSafeFolder::Result &r) { return Outcome<void>::failure(Fault::Io, writeFailure(r)); }

Outcome<void> libraryFault(const char *message) { return Outcome<void>::failure(Fault::Io, QString::fromLocal8Bit(message)); }

// An entry that inflates to more or less than the size its directory
// gives: the archive contradicts itself.
Outcome<void> inconsistentEntry(const ZipDirectory &dir, const ZipEntry &e)
{
    return Outcome<void>::failure(Fault::Damaged,
                                  damagedEntryMessage() + QStringLiteral("\r%1/%2").arg(dir.root, e.relative));
}

// Writes the entry `e` to `out` and gives the file the entry's time. No
// byte beyond the entry's declared size is written.
Outcome<void> copyEntry(zip_t *za, const ZipDirectory &dir, const ZipEntry &e, files::File &out, QByteArray &buffer,
                        ZipRun &run)
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
        if (fileDone + uint64_t(n) > uint64_t(e.size))
            return inconsistentEntry(dir, e);
        if (const files::Status written = out.writeAt(fileDone, std::span<const char>(buffer.constData(), size_t(n)));
            !written)
            return Outcome<void>::failure(Fault::Io, written.message());
        fileDone += uint64_t(n);
        run.moved(uint64_t(n), fileDone);
        if (run.stopped())
            return Outcome<void>::failure(Fault::Stopped, QString());
    }
    if (fileDone != uint64_t(e.size))
        return inconsistentEntry(dir, e);
    zip_stat_t st;
    if (zip_stat_index(za, zip_uint64_t(e.index), 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME))
        (void)out.setModified(QDateTime::fromSecsSinceEpoch(st.mtime));
    return {};
}

// What the restored collection takes from the collection it replaces.
struct Overlay {
    // The collection's files and folders that the archive does not hold.
    std::vector<files::WalkEntry> kept;
    // The collection's names by their ASCII-folded paths: a name the
    // collection has keeps its letter case, as a file replaced on Windows
    // does.
    QHash<QString, QString> spelling;

    QString spelled(const QString &relative) const
    {
        if (spelling.isEmpty())
            return relative;
        const QStringList parts = relative.split(QLatin1Char('/'));
        QString key, out;
        for (const QString &part : parts) {
            key += (key.isEmpty() ? QString() : QStringLiteral("/")) + paths::foldAsciiCase(part);
            const auto known = spelling.constFind(key);
            out = known != spelling.cend() ? *known : (out.isEmpty() ? part : out + QLatin1Char('/') + part);
        }
        return out;
    }
};

// Reads the collection `existing` for the overlay: names are matched
// without regard to ASCII letter case. Where the archive has a file, the
// collection's file or folder of that name goes; and an archive that
// brings a sermon table without its index lets the old index go too, so
// that the next opening builds one for the new table. Links are neither
// followed nor kept. False when a folder of the collection cannot be read.
bool readOverlay(const QString &existing, const ZipDirectory &dir, Overlay &overlay)
{
    QSet<QString> files, folders;
    for (const ZipEntry &e : dir.entries) {
        const QString key = paths::foldAsciiCase(e.relative);
        (e.folder ? folders : files).insert(key);
        for (qsizetype slash = key.indexOf(QLatin1Char('/')); slash > 0; slash = key.indexOf(QLatin1Char('/'), slash + 1))
            folders.insert(key.left(slash));
    }
    const bool newTable = files.contains(paths::foldAsciiCase(store::sermonTableName()));
    const QString oldIndex = paths::foldAsciiCase(store::sermonIndexName());
    return files::walkFolder(existing, files::WalkOrder::SubFoldersFirst, [&](const files::WalkEntry &e) {
        const QString key = paths::foldAsciiCase(e.relative);
        overlay.spelling.insert(key, e.relative);
        if (files.contains(key) || folders.contains(key) || (newTable && key == oldIndex))
            return true;
        for (qsizetype slash = key.indexOf(QLatin1Char('/')); slash > 0; slash = key.indexOf(QLatin1Char('/'), slash + 1))
            if (files.contains(key.left(slash)))
                return true;
        overlay.kept.push_back(e);
        return true;
    });
}

// Unpacks every entry into `tree`, spelled as the overlay has it.
Outcome<void> unpackInto(zip_t *za, const ZipDirectory &dir, const Overlay &overlay, files::LinkSafeFolder &tree,
                         QByteArray &buffer, ZipRun &run)
{
    files::FileSystem &fs = files::FileSystem::posix();
    for (const ZipEntry &e : dir.entries) {
        if (e.folder) {
            if (e.relative.isEmpty())
                continue;
            if (auto r = tree.makeFolder(overlay.spelled(e.relative)); !r.ok())
                return cannotWrite(r);
            continue;
        }
        std::unique_ptr<files::File> out;
        const QString relative = overlay.spelled(e.relative);
        if (auto r = tree.openFile(fs, out, relative, files::LinkSafeFolder::Mode::Replace); !r.ok())
            return cannotWrite(r);
        run.beginFile(relative, uint64_t(e.size));
        const Outcome<void> copied = copyEntry(za, dir, e, *out, buffer, run);
        if (!copied.ok())
            return copied;
    }
    return {};
}

// Copies the collection's file `e` to the same place in `tree`, with its time.
Outcome<void> copyKept(const files::WalkEntry &e, files::LinkSafeFolder &tree, QByteArray &buffer, ZipRun &run)
{
    auto unreadable = [&e](const QString &why) {
        return Outcome<void>::failure(
            Fault::Io, QStringLiteral("기존 설교집의 파일을 읽을 수 없어 되살리지 않았습니다.\r%1\r%2").arg(e.relative, why));
    };
    files::FileSystem &fs = files::FileSystem::posix();
    auto in = fs.open(e.path, files::OpenMode::ReadStored);
    if (!in)
        return unreadable(in.status().message());
    std::unique_ptr<files::File> out;
    if (auto r = tree.openFile(fs, out, e.relative, files::LinkSafeFolder::Mode::Replace); !r.ok())
        return cannotWrite(r);
    const files::Result<uint64_t> size = (*in)->size();
    const uint64_t total = size ? size.value() : 0;
    run.beginFile(e.relative, total);
    for (uint64_t done = 0; done < total;) {
        const size_t n = size_t(qMin<uint64_t>(total - done, uint64_t(buffer.size())));
        size_t got = 0;
        if (const files::Status read = (*in)->readAt(done, std::span<char>(buffer.data(), n), &got); !read)
            return unreadable(read.message());
        if (got == 0)
            return unreadable(QStringLiteral("읽는 동안 파일이 줄었습니다"));
        if (const files::Status written = out->writeAt(done, std::span<const char>(buffer.constData(), got)); !written)
            return Outcome<void>::failure(Fault::Io, written.message());
        done += got;
        run.moved(got, done);
        if (run.stopped())
            return Outcome<void>::failure(Fault::Stopped, QString());
    }
    (void)out->setModified(QDateTime::fromSecsSinceEpoch(e.modified));
    return {};
}

// What the restored collection takes on the disk: every file rounded up to
// whole blocks of 4 KiB, and a block for each folder.
uint64_t roomNeeded(const ZipDirectory &dir, const Overlay &overlay)
{
    constexpr uint64_t block = 4096;
    auto rounded = [](uint64_t size) { return (size + block - 1) / block * block; };
    // Each size is below 2^63; the sum saturates, so that sizes declared to
    // add up past 2^64 cannot pass for a small total.
    uint64_t need = 0;
    auto add = [&need](uint64_t bytes) { need = bytes > UINT64_MAX - need ? UINT64_MAX : need + bytes; };
    for (const ZipEntry &e : dir.entries)
        add(e.folder ? block : rounded(uint64_t(e.size)));
    for (const files::WalkEntry &e : overlay.kept)
        add(e.folder ? block : rounded(uint64_t(e.size)));
    return need;
}

Outcome<void> checkRoom(uint64_t need)
{
    const QString folder = paths::programFolder();
    const std::optional<uint64_t> free = freeSpaceCheck() ? freeSpaceCheck()(folder) : files::freeBytes(folder);
    if (!free || *free >= need)
        return {};
    auto shown = [](uint64_t bytes) {
        return bytes >= (10u << 20) ? QStringLiteral("%1 MB").arg((bytes + (1 << 20) - 1) >> 20)
                                    : QStringLiteral("%1 KB").arg((bytes + 1023) >> 10);
    };
    return Outcome<void>::failure(Fault::TooLarge, QStringLiteral("디스크에 남은 공간이 모자라 압축을 풀지 않았습니다.\r"
                                                                  "필요한 공간: %1, 남은 공간: %2")
                                                       .arg(shown(need), shown(*free)));
}

} // namespace

void setFreeSpaceCheck(std::function<std::optional<uint64_t>(const QString &)> check)
{
    freeSpaceCheck() = std::move(check);
}

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
    Outcome<std::unique_ptr<RestoreMark>> begun = RestoreMark::begin(name, unzipFolder());
    if (!begun.ok())
        return Outcome<void>::failure(begun);
    RestoreMark &mark = *begun.value();
    // The restored collection is built whole in the working folder: the
    // archive's files, then what the collection keeps beside them.
    Overlay overlay;
    if (const QString existing = mark.existing(); !existing.isEmpty() && !readOverlay(existing, dir, overlay))
        return Outcome<void>::failure(Fault::Io,
                                      QStringLiteral("기존 설교집의 폴더를 읽을 수 없어 되살리지 않았습니다.\r") + existing);
    if (const Outcome<void> room = checkRoom(roomNeeded(dir, overlay)); !room.ok())
        return room;
    ZipRun run(progress);
    uint64_t total = 0;
    for (const ZipEntry &e : dir.entries)
        total += uint64_t(e.size);
    for (const files::WalkEntry &e : overlay.kept)
        total += uint64_t(e.size);
    run.start(total);
    const QString work = mark.workFolder();
    files::LinkSafeFolder tree(work);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    if (const Outcome<void> unpacked = unpackInto(za, dir, overlay, tree, buffer, run); !unpacked.ok())
        return unpacked;
    mark.reached(RestoreStep::Unpacked);
    for (const files::WalkEntry &e : overlay.kept) {
        if (e.folder) {
            if (auto r = tree.makeFolder(e.relative); !r.ok())
                return cannotWrite(r);
        } else if (const Outcome<void> copied = copyKept(e, tree, buffer, run); !copied.ok()) {
            return copied;
        }
    }
    run.finish();
    return mark.place(work, {});
}

} // namespace verbana::backup
