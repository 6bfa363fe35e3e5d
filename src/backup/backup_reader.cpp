// SPDX-License-Identifier: GPL-3.0-or-later
// Restore and List: walk the entries of an archive and its volumes, and
// decode each file's segments into the target file, a counter, or nothing.
#include "backup/backup_file.h"

#include "backup/bck_codec.h"
#include "backup/bck_format.h"
#include "platform/cp949.h"
#include "platform/link_safe_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <bitset>

namespace verbana {
namespace {

// Where the chunks of a segment go: a file, only a count, or nowhere
// (skipped without reading).
struct Sink {
    QFile *file = nullptr;
    qint64 *count = nullptr;
    QString label;
    bool skips() const { return !file && !count; }
};

} // namespace

class RestoreRun {
public:
    RestoreRun(TBackupFile &c, const TBackupFile::ListEvent *each) : c_(c), each_(each) {}
    bool run(const QString &archiveName, const QString &targetFolder);

private:
    bool readBytes(char *into, qint64 size);
    bool readInt(qint32 &value);
    bool readHeader();
    bool nextVolume(const QByteArray &marker);
    bool decodeSegment(const Sink &sink);
    bool restoreEntry(const QByteArray &name, quint32 date);
    bool continueEntry();
    bool openFile(QFile &file, const QString &name, files::LinkSafeFolder::Mode mode);
    void finishFile(QFile &file, QString name);
    void flushListed();
    void raise(int code);

    TBackupFile &c_;
    const TBackupFile::ListEvent *each_;
    QString archiveName_;
    QString target_;
    bool fromStream_ = false;
    std::unique_ptr<QFile> volume_;
    QIODevice *in_ = nullptr;
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

    // The entry last read, for a segment continued on the next volume.
    QString current_; // target path being written; empty when skipped
    quint32 currentDate_ = 0;
    TBackupFile::ListedFile listed_;
    bool haveListed_ = false;
};

void RestoreRun::raise(int code)
{
    c_.raisedError_ = TBackupFile::ErrorText(code);
    c_.continue_ = false;
}

bool RestoreRun::readBytes(char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = in_->read(into + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
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

// Opened from a descriptor, `file` has no name of its own: `name` goes
// with it.
bool RestoreRun::openFile(QFile &file, const QString &name, files::LinkSafeFolder::Mode mode)
{
    const QString path = QDir::cleanPath(QFileInfo(name).absoluteFilePath());
    const bool inside = !targetBase_.isEmpty() && path.startsWith(targetBase_);
    std::unique_ptr<files::LinkSafeFolder> &tree = inside ? targetTree_ : rootTree_;
    if (!tree)
        tree = std::make_unique<files::LinkSafeFolder>(inside ? targetBase_ : QStringLiteral("/"));
    if (!tree->openFile(file, path.mid(inside ? targetBase_.size() : 1), mode).ok()) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    return true;
}

void RestoreRun::finishFile(QFile &file, QString name)
{
    if (c_.OnFileRestored)
        c_.OnFileRestored(&c_, name, file);
    if (!file.flush())
        c_.fail(TBackupFile::errFileUnreadable);
    const QDateTime when = bck::fromDosTime(currentDate_);
    if (when.isValid())
        file.setFileTime(when, QFileDevice::FileModificationTime);
    file.close();
}

bool RestoreRun::decodeSegment(const Sink &sink)
{
    char tag[4];
    if (!readBytes(tag, 4) || memcmp(tag, bck::kSegmentTag, 4) != 0) {
        raise(TBackupFile::errArchiveType);
        return false;
    }
    while (c_.continue_) {
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
            if (in_->skip(size) != size) {
                c_.fail(TBackupFile::errFileUnreadable);
                return false;
            }
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
        if (sink.file->write(data, dataSize) != dataSize) {
            c_.fail(TBackupFile::errFileUnreadable);
            return false;
        }
        c_.processed_ += dataSize;
        c_.letEventsRun();
        c_.progress(sink.label, c_.percent());
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
        return decodeSegment({nullptr, &listed_.size, {}});
    }
    bool doRestore = false;
    QString target;
    if (name != bck::kFileList) {
        const bool full = c_.restoreFullPath_ || target_.isEmpty();
        const std::optional<QString> relative = bck::restorePath(name, full);
        if (!relative) {
            c_.currentFile_ = cp949::decode(name);
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
    c_.currentFile_ = target;
    QFile file;
    if (!openFile(file, target, files::LinkSafeFolder::Mode::Replace))
        return false;
    const bool ok = decodeSegment({&file, nullptr, target});
    if (!ok)
        return false; // the file stays as far as it got
    ++c_.fileCount_;
    current_ = target;
    finishFile(file, target);
    return c_.continue_;
}

// The segment after a volume change continues the entry read last.
bool RestoreRun::continueEntry()
{
    if (each_)
        return decodeSegment({nullptr, haveListed_ ? &listed_.size : nullptr, {}});
    if (current_.isEmpty())
        return decodeSegment({});
    QFile file;
    if (!openFile(file, current_, files::LinkSafeFolder::Mode::Append))
        return false;
    if (!decodeSegment({&file, nullptr, current_}))
        return false;
    finishFile(file, current_);
    return c_.continue_;
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
    volume_.reset();
    in_ = nullptr;
    const QString name = bck::volumeName(archiveName_, *disk);
    do {
        if (!c_.askForDisk(*disk))
            return false;
    } while (!QFileInfo(name).isFile() && c_.continue_);
    volume_ = std::make_unique<QFile>(name);
    if (!volume_->open(QIODevice::ReadOnly)) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    in_ = volume_.get();
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
    if (fromStream_) {
        in_ = c_.stream_;
    } else {
        volume_ = std::make_unique<QFile>(archiveName);
        if (volume_->open(QIODevice::ReadOnly))
            in_ = volume_.get();
    }
    if (!in_ || !in_->isReadable() || !readHeader()) {
        raise(TBackupFile::errArchiveUnreadable);
        return false;
    }
    if (!inflater_.ok()) {
        c_.fail(TBackupFile::errCompression);
        return false;
    }
    while (c_.continue_) {
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

static bool archiveExists(const QString &archiveName, QIODevice *stream)
{
    if (archiveName == TBackupFile::streamName())
        return stream != nullptr;
    return QFileInfo(archiveName).isFile();
}

bool TBackupFile::Restore(const QString &archiveName, const QString &targetFolder)
{
    if (busy_ || !archiveExists(archiveName, stream_))
        return false;
    begin();
    bool ok = false;
    {
        RestoreRun run(*this, nullptr);
        ok = run.run(archiveName, targetFolder) && errorCode_ == errNone && continue_;
    }
    if (raisedError_.isEmpty())
        progress(QString(), 100);
    finish(raisedError_.isEmpty());
    return ok;
}

bool TBackupFile::List(const QString &archiveName, const ListEvent &each)
{
    if (busy_ || !archiveExists(archiveName, stream_))
        return false;
    begin();
    bool ok = false;
    {
        RestoreRun run(*this, &each);
        ok = run.run(archiveName, QString()) && errorCode_ == errNone && continue_;
    }
    finish(raisedError_.isEmpty());
    return ok;
}

} // namespace verbana
