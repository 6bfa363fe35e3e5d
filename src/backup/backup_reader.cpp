// SPDX-License-Identifier: GPL-3.0-or-later
// Restore and List: walk the entries of an archive and its volumes, and
// decode each file's segments into the target file, a counter, or nothing.
#include "backup/backup_file.h"

#include "backup/bck_codec.h"
#include "backup/bck_device.h"
#include "backup/bck_format.h"
#include "platform/buffered_file.h"
#include "platform/cp949.h"
#include "platform/link_safe_folder.h"
#include "platform/paths.h"
#include "store/sermon_record.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSet>

#include <bitset>
#include <optional>

namespace verbana {
namespace {

// Where the chunks of a segment go: a file, only a count, or nowhere
// (skipped without reading).
struct Sink {
    files::File *file = nullptr;
    uint64_t *offset = nullptr; // where the file's next byte goes
    qint64 *count = nullptr;
    QString label;
    bool skips() const { return !file && !count; }
};

} // namespace

class RestoreRun {
public:
    RestoreRun(TBackupFile &c, const TBackupFile::ListEvent *each) : c_(c), fs_(c.fileSystem()), each_(each) {}
    bool run(const QString &archiveName, const QString &targetFolder);

private:
    bool openVolume(const QString &name);
    bool readBytes(char *into, qint64 size);
    bool readInt(qint32 &value);
    bool readHeader();
    bool nextVolume(const QByteArray &marker);
    bool decodeSegment(const Sink &sink);
    bool restoreEntry(const QByteArray &name, quint32 date);
    bool continueEntry();
    std::unique_ptr<files::File> openFile(const QString &name, files::LinkSafeFolder::Mode mode);
    bool keepIndexInStep(const QString &written);
    bool finishFile(files::File &file, const QString &name);
    void flushListed();

    TBackupFile &c_;
    files::FileSystem &fs_;
    const TBackupFile::ListEvent *each_;
    QString archiveName_;
    QString target_;
    bool fromStream_ = false;
    std::unique_ptr<files::File> volume_;
    std::optional<files::BufferedReader> in_;
    bck::PieceInflater inflater_;
    std::unique_ptr<char[]> chunk_ = std::make_unique<char[]>(bck::kPieceSize);
    std::unique_ptr<char[]> piece_ = std::make_unique<char[]>(bck::kPieceSize);
    // Files are made without following links: below the target folder,
    // or from the root for a path outside it (no target folder, or one
    // that OnRestoreFile chose).
    QString targetBase_;
    std::unique_ptr<files::LinkSafeFolder> targetTree_;
    std::unique_ptr<files::LinkSafeFolder> rootTree_;
    std::bitset<bck::kMaxVolumes + 1> volumesRead_; // by number; the archive itself is 1
    // Folders (ASCII-folded) that got a sermon index from this run.
    QSet<QString> indexWritten_;

    // The entry last read, for a segment continued on the next volume.
    QString current_; // target path being written; empty when skipped
    quint32 currentDate_ = 0;
    TBackupFile::ListedFile listed_;
    bool haveListed_ = false;
};

bool RestoreRun::openVolume(const QString &name)
{
    in_.reset();
    volume_.reset();
    if (fromStream_) {
        if (c_.stream_ && c_.stream_->isReadable())
            volume_ = bck::deviceFile(*c_.stream_);
    } else if (auto file = fs_.open(name, files::OpenMode::ReadStored)) {
        volume_ = std::move(file.value());
    }
    if (!volume_)
        return false;
    in_.emplace(*volume_);
    return true;
}

bool RestoreRun::readBytes(char *into, qint64 size)
{
    return in_->read(std::span<char>(into, size_t(size))).isOk();
}

bool RestoreRun::readInt(qint32 &value)
{
    char b[4];
    if (!readBytes(b, 4))
        return false;
    value = bck::getInt32(b);
    return true;
}

bool RestoreRun::readHeader()
{
    qint32 titleLength = 0;
    if (!readInt(titleLength) || titleLength < 0 || titleLength > bck::kMaxTitleLength)
        return false;
    QByteArray title(titleLength, Qt::Uninitialized);
    qint32 total = 0;
    qint32 count = 0;
    if (!readBytes(title.data(), titleLength) || !readInt(total) || !readInt(count))
        return false;
    c_.archiveTitle_ = title;
    c_.archiveFileCount_ = count;
    c_.total_ = qMax<qint32>(total, 0);
    return true;
}

std::unique_ptr<files::File> RestoreRun::openFile(const QString &name, files::LinkSafeFolder::Mode mode)
{
    const QString path = QDir::cleanPath(QFileInfo(name).absoluteFilePath());
    const bool inside = !targetBase_.isEmpty() && path.startsWith(targetBase_);
    std::unique_ptr<files::LinkSafeFolder> &tree = inside ? targetTree_ : rootTree_;
    if (!tree)
        tree = std::make_unique<files::LinkSafeFolder>(inside ? targetBase_ : QStringLiteral("/"));
    std::unique_ptr<files::File> file;
    if (!tree->openFile(fs_, file, path.mid(inside ? targetBase_.size() : 1), mode).ok()) {
        c_.fail(TBackupFile::errFileUnreadable);
        return nullptr;
    }
    return file;
}

// A sermon table written without its index (the archive has none, or has
// not reached it yet) must not meet the index of the table it replaces,
// which would be trusted: the old index goes, and the next opening builds
// one. An index the archive brings later is written anew.
bool RestoreRun::keepIndexInStep(const QString &written)
{
    const QFileInfo info(written);
    const QString folder = info.absolutePath();
    const QString name = paths::foldAsciiCase(info.fileName());
    if (name == paths::foldAsciiCase(store::sermonIndexName())) {
        indexWritten_.insert(paths::foldAsciiCase(folder));
        return true;
    }
    if (name != paths::foldAsciiCase(store::sermonTableName()) || indexWritten_.contains(paths::foldAsciiCase(folder)))
        return true;
    const QString old = paths::resolveExisting(folder, store::sermonIndexName());
    if (old.isEmpty() || !fs_.isRegularFile(old) || fs_.remove(old))
        return true;
    c_.atFile(old);
    c_.fail(TBackupFile::errOverwrite);
    return false;
}

// The file is whole: OnFileRestored sees it, and it gets its stored time.
bool RestoreRun::finishFile(files::File &file, const QString &name)
{
    QString shown = name;
    if (c_.OnFileRestored)
        c_.OnFileRestored(&c_, shown, file);
    const QDateTime when = bck::fromDosTime(currentDate_);
    if (when.isValid())
        (void)file.setModified(when);
    return c_.going();
}

bool RestoreRun::decodeSegment(const Sink &sink)
{
    char tag[4];
    if (!readBytes(tag, 4) || memcmp(tag, bck::kSegmentTag, 4) != 0) {
        c_.fail(TBackupFile::errArchiveType, TBackupFile::Failure::Raised);
        return false;
    }
    while (c_.going()) {
        qint32 length = 0;
        if (!readInt(length)) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        if (length == 0)
            return true;
        if (length > bck::kPieceSize || length < -bck::kPieceSize) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        const qint64 size = length > 0 ? length : -qint64(length);
        if (sink.skips()) {
            in_->skip(uint64_t(size));
            continue;
        }
        if (!readBytes(chunk_.get(), size)) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        const char *data = chunk_.get();
        qint64 dataSize = size;
        if (length > 0) {
            std::size_t out = 0;
            switch (inflater_.inflate(chunk_.get(), std::size_t(size), piece_.get(), bck::kPieceSize, out)) {
            case bck::PieceInflater::Result::Ok:
                break;
            case bck::PieceInflater::Result::Damaged:
                c_.fail(TBackupFile::errFileUnreadable);
                return false;
            case bck::PieceInflater::Result::Failed:
                c_.fail(TBackupFile::errCompression);
                return false;
            }
            data = piece_.get();
            dataSize = qint64(out);
        }
        if (sink.count) {
            *sink.count += dataSize;
            continue;
        }
        if (!sink.file->writeAt(*sink.offset, std::span<const char>(data, size_t(dataSize))).isOk()) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        *sink.offset += uint64_t(dataSize);
        c_.processed(dataSize, sink.label);
    }
    return false;
}

void RestoreRun::flushListed()
{
    if (haveListed_ && each_ && *each_)
        (*each_)(listed_);
    haveListed_ = false;
}

bool RestoreRun::restoreEntry(const QByteArray &name, quint32 date)
{
    currentDate_ = date;
    current_.clear();
    if (each_) {
        flushListed();
        listed_ = {name, date, 0};
        haveListed_ = true;
        return decodeSegment({nullptr, nullptr, &listed_.size, {}});
    }
    bool doRestore = false;
    QString target;
    if (name != bck::kFileList) {
        const bool full = c_.restoreFullPath_ || target_.isEmpty();
        const std::optional<QString> relative = bck::restorePath(name, full);
        if (!relative) {
            c_.atFile(cp949::decode(name));
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        target = (target_.isEmpty() ? QStringLiteral("/") : target_) + *relative;
        // rmAll needs no look at the target; the other modes compare dates.
        const QFileInfo existing(target);
        const bool exists = c_.restoreMode_ != rmAll && existing.exists();
        const bool older = exists && bck::toDosTime(existing.lastModified()) < date;
        switch (c_.restoreMode_) {
        case rmAll:
            doRestore = true;
            break;
        case rmNoOverwrite:
            doRestore = !exists;
            break;
        case rmNewer:
            doRestore = !exists || older;
            break;
        case rmExisting:
            doRestore = exists;
            break;
        case rmExistingNewer:
            doRestore = older;
            break;
        }
        if (c_.OnRestoreFile)
            c_.OnRestoreFile(&c_, target, date, doRestore);
    }
    if (!doRestore)
        return decodeSegment({});
    c_.atFile(target);
    const std::unique_ptr<files::File> file = openFile(target, files::LinkSafeFolder::Mode::Replace);
    if (!file || !keepIndexInStep(target))
        return false;
    uint64_t offset = 0;
    if (!decodeSegment({file.get(), &offset, nullptr, target}))
        return false; // the file stays as far as it got
    ++c_.fileCount_;
    current_ = target;
    return finishFile(*file, target);
}

// The segment after a volume change continues the entry read last.
bool RestoreRun::continueEntry()
{
    if (each_)
        return decodeSegment({nullptr, nullptr, haveListed_ ? &listed_.size : nullptr, {}});
    if (current_.isEmpty())
        return decodeSegment({});
    const std::unique_ptr<files::File> file = openFile(current_, files::LinkSafeFolder::Mode::Append);
    if (!file)
        return false;
    const files::Result<uint64_t> size = file->size();
    if (!size) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    uint64_t offset = size.value();
    if (!decodeSegment({file.get(), &offset, nullptr, current_}))
        return false;
    return finishFile(*file, current_);
}

bool RestoreRun::nextVolume(const QByteArray &marker)
{
    // A volume is read once: a chain that names a volume already read
    // (itself, or one before it) would go round for ever, appending to the
    // file it continues. With numbers from 2 to 999 no chain is longer.
    const std::optional<int> disk = bck::nextDiskNumber(marker);
    if (!disk || fromStream_ || volumesRead_.test(size_t(*disk))) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    volumesRead_.set(size_t(*disk));
    in_.reset();
    volume_.reset();
    const QString name = bck::volumeName(archiveName_, *disk);
    do {
        if (!c_.askForDisk(*disk))
            return false;
    } while (!fs_.isRegularFile(name) && c_.going());
    if (!openVolume(name)) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    return continueEntry();
}

bool RestoreRun::run(const QString &archiveName, const QString &targetFolder)
{
    archiveName_ = archiveName;
    volumesRead_.set(1);
    fromStream_ = archiveName == TBackupFile::streamName();
    target_ = targetFolder;
    if (!target_.isEmpty() && !target_.endsWith(QLatin1Char('/')))
        target_ += QLatin1Char('/');
    if (!target_.isEmpty())
        targetBase_ = QDir::cleanPath(QFileInfo(target_).absoluteFilePath()) + QLatin1Char('/');
    if (!openVolume(archiveName) || !readHeader()) {
        c_.fail(TBackupFile::errArchiveUnreadable, TBackupFile::Failure::Raised);
        return false;
    }
    c_.progress().start(uint64_t(c_.total_));
    if (!inflater_.ok()) {
        c_.fail(TBackupFile::errCompression);
        return false;
    }
    while (c_.going()) {
        qint32 length = 0;
        if (!readInt(length)) {
            c_.fail(TBackupFile::errFileUnreadable); // the archive ends before its end marker
            return false;
        }
        if (length == 0) {
            flushListed();
            return true;
        }
        if (length < 0)
            continue;
        if (length > bck::kMaxNameLength) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        QByteArray name(length, Qt::Uninitialized);
        if (!readBytes(name.data(), length)) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        if (name.startsWith(bck::kNextDisk)) {
            if (!nextVolume(name))
                return false;
            continue;
        }
        qint32 date = 0;
        if (!readInt(date)) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        if (!restoreEntry(name, quint32(date)))
            return false;
    }
    return false;
}

static bool archiveExists(const QString &archiveName, QIODevice *stream, files::FileSystem &fs)
{
    if (archiveName == TBackupFile::streamName())
        return stream != nullptr;
    return fs.isRegularFile(archiveName);
}

bool TBackupFile::Restore(const QString &archiveName, const QString &targetFolder)
{
    if (busy_ || !archiveExists(archiveName, stream_, *fs_))
        return false;
    begin();
    bool ok = false;
    {
        RestoreRun run(*this, nullptr);
        ok = run.run(archiveName, targetFolder) && errorCode_ == errNone && going();
    }
    if (raisedError_.isEmpty())
        progress(QString(), 100);
    finish();
    return ok;
}

bool TBackupFile::List(const QString &archiveName, const ListEvent &each)
{
    if (busy_ || !archiveExists(archiveName, stream_, *fs_))
        return false;
    begin();
    bool ok = false;
    {
        RestoreRun run(*this, &each);
        ok = run.run(archiveName, QString()) && errorCode_ == errNone && going();
    }
    finish();
    return ok;
}

} // namespace verbana
