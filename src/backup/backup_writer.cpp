// SPDX-License-Identifier: GPL-3.0-or-later
// Backup: lists the files of the patterns, then writes the header,
// one entry per file and the end marker, across volumes when MaxSize is set.
#include "backup/backup_file.h"

#include "backup/bck_codec.h"
#include "backup/bck_device.h"
#include "backup/bck_format.h"
#include "platform/buffered_file.h"
#include "platform/cp949.h"
#include "platform/folder_walk.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <limits>
#include <optional>
#include <vector>

namespace verbana {

class BackupRun {
public:
    explicit BackupRun(TBackupFile &c) : c_(c), fs_(c.fileSystem()), deflater_(zlibLevel(c.compressionLevel_)) {}
    ~BackupRun() { abandonVolume(); }
    bool run(const QStringList &filePatterns, const QString &archiveName);
    // After a run that ended early: the volume at hand takes its name as
    // far as it got, unless writing it failed; then it is removed.
    bool end();

private:
    static int zlibLevel(TCompressionLevel level);
    void listPattern(const QString &pattern);
    void listFolder(const QString &folder, const QRegularExpression *mask, bool recurse);
    bool isArchive(const QString &path, const QString &name) const;
    bool makeFileList(QTemporaryFile &list);
    bool openVolume(const QString &name);
    bool closeVolume();
    void abandonVolume();
    bool put(const char *data, qint64 size);
    bool putInt(qint32 value);
    bool writeEntry(const QString &path, bool isFileList);
    bool writeSegments(files::File &in, const QString &label);
    bool writePiece(const char *piece, qint64 size);
    bool room() const;

    struct Listed {
        QString path;
        qint64 size = 0;
    };

    TBackupFile &c_;
    files::FileSystem &fs_;
    bck::PieceDeflater deflater_;
    std::vector<Listed> files_;
    QString archivePath_;
    QString archiveFileName_;
    QString archiveCanonical_;
    bool toStream_ = false;
    std::unique_ptr<files::File> volume_;
    std::optional<files::BufferedWriter> out_;
    QString volumeName_, volumeTemp_;
    bool freshVolume_ = false;
    std::unique_ptr<char[]> piece_ = std::make_unique<char[]>(bck::kPieceSize);
    std::unique_ptr<char[]> packed_ = std::make_unique<char[]>(bck::kPieceSize);
};

int BackupRun::zlibLevel(TCompressionLevel level)
{
    switch (level) {
    case clNone:
        return 0;
    case clDefault:
        return -1;
    case clMax:
        return 9;
    case clFastest:
        break;
    }
    return 1;
}

// A pattern is a folder, a file mask and an optional " /s" that takes
// the sub-folders too; "\" and "/" both separate. Only a trailing " /s"
// counts, so a folder whose path holds "/s" is not mistaken for the option.
void BackupRun::listPattern(const QString &pattern)
{
    QString s = pattern.trimmed();
    bool recurse = false;
    if (s.size() >= 2 && s.right(2).compare(QLatin1String("/s"), Qt::CaseInsensitive) == 0
        && (s.size() == 2 || s[s.size() - 3].isSpace())) {
        recurse = true;
        s.chop(2);
        s = s.trimmed();
    }
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = s.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : s.left(slash));
    const QString mask = s.mid(slash + 1);
    if (mask.isEmpty() || mask == QLatin1String("*") || mask == QLatin1String("*.*")) {
        listFolder(folder, nullptr, recurse);
        return;
    }
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(mask),
                                QRegularExpression::CaseInsensitiveOption);
    listFolder(folder, &re, recurse);
}

// Sub-folders first, depth first, then the folder's own files, each in
// name order. Links are neither listed nor entered, so a link cannot loop.
void BackupRun::listFolder(const QString &folder, const QRegularExpression *mask, bool recurse)
{
    const QString root = QDir(folder).absolutePath();
    (void)files::walkFolder(
        root, files::WalkOrder::SubFoldersFirst,
        [&](const files::WalkEntry &e) {
            if (e.folder)
                return c_.going();
            const QString name = e.relative.mid(e.relative.lastIndexOf(QLatin1Char('/')) + 1);
            if ((mask && !mask->match(name).hasMatch()) || isArchive(e.path, name))
                return c_.going();
            files_.push_back({e.path, e.size});
            c_.progress().tick();
            c_.progress(QLatin1Char('%') + QString::number(files_.size()), 0);
            return c_.going();
        },
        recurse ? files::WalkScope::Tree : files::WalkScope::Folder);
}

bool BackupRun::isArchive(const QString &path, const QString &name) const
{
    if (toStream_ || name != archiveFileName_)
        return false;
    return path == archivePath_ || (!archiveCanonical_.isEmpty() && QFileInfo(path).canonicalFilePath() == archiveCanonical_);
}

bool BackupRun::makeFileList(QTemporaryFile &list)
{
    QByteArray text;
    for (const Listed &listed : files_) {
        const QFileInfo info(listed.path);
        const std::optional<QByteArray> name = bck::storedName(listed.path);
        if (!info.exists() || !name)
            continue;
        text += *name + '\t' + QByteArray::number(bck::toDosTime(info.lastModified())) + '='
              + QByteArray::number(info.size()) + "\r\n";
    }
    list.setFileTemplate(QDir::tempPath() + QStringLiteral("/FIDXXXXXX"));
    if (!list.open() || list.write(text) != text.size() || !list.flush()) {
        c_.fail(TBackupFile::errTempFile);
        return false;
    }
    c_.total_ += text.size();
    return true;
}

bool BackupRun::openVolume(const QString &name)
{
    if (toStream_) {
        if (!c_.stream_ || !c_.stream_->isWritable()) {
            c_.fail(TBackupFile::errArchiveWrite);
            return false;
        }
        volume_ = bck::deviceFile(*c_.stream_);
    } else {
        auto file = files::createTemporary(fs_, name + QStringLiteral(".new"));
        if (!file) {
            c_.fail(TBackupFile::errArchiveWrite);
            return false;
        }
        volume_ = std::move(file.value());
        volumeName_ = name;
        volumeTemp_ = name + QStringLiteral(".new");
    }
    out_.emplace(*volume_);
    return true;
}

// Writes out what is held and gives the volume its name.
bool BackupRun::closeVolume()
{
    if (!volume_)
        return true;
    const bool written = out_->flush().isOk();
    out_.reset();
    volume_.reset();
    if (written && (volumeTemp_.isEmpty() || files::replaceWithTemporary(fs_, volumeTemp_, volumeName_).isOk())) {
        volumeTemp_.clear();
        return true;
    }
    abandonVolume();
    c_.fail(TBackupFile::errArchiveWrite);
    return false;
}

void BackupRun::abandonVolume()
{
    out_.reset();
    volume_.reset();
    if (!volumeTemp_.isEmpty())
        files::discardTemporary(fs_, volumeTemp_);
    volumeTemp_.clear();
}

bool BackupRun::end()
{
    if (c_.errorCode_ == TBackupFile::errArchiveWrite) {
        abandonVolume();
        return false;
    }
    return closeVolume();
}

bool BackupRun::put(const char *data, qint64 size)
{
    if (!out_->write(std::span<const char>(data, size_t(size))).isOk()) {
        c_.fail(TBackupFile::errArchiveWrite);
        return false;
    }
    return true;
}

bool BackupRun::putInt(qint32 value)
{
    char b[4];
    bck::putInt32(b, value);
    return put(b, 4);
}

bool BackupRun::room() const
{
    if (c_.maxSize_ == 0 || toStream_)
        return true;
    // A fresh volume always takes a piece, so a limit below one piece
    // cannot chain empty volumes for ever.
    return freshVolume_ || qint64(out_->position()) < c_.maxSize_ - bck::kVolumeReserve;
}

bool BackupRun::writePiece(const char *piece, qint64 size)
{
    std::size_t packedSize = 0;
    switch (deflater_.compress(piece, std::size_t(size), packed_.get(), bck::kPieceSize, packedSize)) {
    case bck::PieceDeflater::Result::Compressed:
        return putInt(qint32(packedSize)) && put(packed_.get(), qint64(packedSize));
    case bck::PieceDeflater::Result::TooLarge:
        return putInt(qint32(-size)) && put(piece, size);
    case bck::PieceDeflater::Result::Failed:
        break;
    }
    c_.fail(TBackupFile::errCompression);
    return false;
}

bool BackupRun::writeSegments(files::File &in, const QString &label)
{
    uint64_t offset = 0;
    bool ended = false;
    for (;;) {
        if (!put(bck::kSegmentTag, 4))
            return false;
        while (!ended && c_.going() && room()) {
            size_t n = 0;
            if (!in.readAt(offset, std::span<char>(piece_.get(), bck::kPieceSize), &n).isOk()) {
                c_.fail(TBackupFile::errFileUnreadable);
                return false;
            }
            ended = n < size_t(bck::kPieceSize);
            if (n == 0)
                break;
            if (!writePiece(piece_.get(), qint64(n)))
                return false;
            offset += n;
            freshVolume_ = false;
            c_.processed(qint64(n), label);
        }
        if (!putInt(0))
            return false;
        if (!c_.going())
            return false;
        if (ended)
            return true;
        auto size = in.size();
        if (size && *size <= offset)
            return true;
        // The volume is full and the file goes on: close it with the marker
        // of the next one and continue the file there. There is no volume
        // after 999 (a 1,000th would take the name of an earlier one), so
        // the run stops with error 1 and the chain stays without its end
        // marker: incomplete, as every reader sees.
        if (c_.disk_ >= bck::kMaxVolumes) {
            c_.fail(TBackupFile::errFileUnreadable);
            closeVolume();
            return false;
        }
        c_.disk_ += 1;
        const QByteArray marker = bck::nextDiskMarker(c_.disk_);
        if (!putInt(qint32(marker.size())) || !put(marker.constData(), marker.size()) || !closeVolume())
            return false;
        if (!c_.askForDisk(c_.disk_))
            return false;
        if (!openVolume(bck::volumeName(archivePath_, c_.disk_)))
            return false;
        freshVolume_ = true;
    }
}

bool BackupRun::writeEntry(const QString &path, bool isFileList)
{
    c_.atFile(path);
    auto opened = fs_.open(path, files::OpenMode::ReadStored);
    if (!opened) {
        if (!isFileList && opened.status().kind() == files::StatusKind::NotFound)
            return true; // gone since it was listed: left out
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    files::File &in = **opened;
    const std::optional<QByteArray> name = isFileList ? QByteArray(bck::kFileList) : bck::storedName(path);
    const files::Result<QDateTime> when = in.modified();
    if (!name || name->size() > bck::kMaxNameLength || !when) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    if (!putInt(qint32(name->size())) || !put(name->constData(), name->size())
        || !putInt(qint32(bck::toDosTime(when.value()))))
        return false;
    if (!writeSegments(in, path))
        return false;
    ++c_.fileCount_;
    return true;
}

bool BackupRun::run(const QStringList &filePatterns, const QString &archiveName)
{
    toStream_ = archiveName == TBackupFile::streamName();
    if (!toStream_) {
        const QFileInfo info(archiveName);
        archivePath_ = info.absoluteFilePath();
        archiveFileName_ = info.fileName();
        archiveCanonical_ = info.canonicalFilePath();
    }
    for (const QString &pattern : filePatterns)
        if (c_.going())
            listPattern(pattern);
    if (!c_.going())
        return false;

    for (const Listed &listed : files_)
        c_.total_ += listed.size;
    QTemporaryFile fileList;
    if (c_.saveFileID_ && !makeFileList(fileList))
        return false;
    if (!deflater_.ok()) {
        c_.fail(TBackupFile::errCompression);
        return false;
    }
    c_.progress().start(uint64_t(c_.total_));
    if (!openVolume(archivePath_))
        return false;
    // Readers refuse longer titles, so a longer one is cut on a whole character.
    const QByteArray title = cp949::cut(c_.backupTitle_, bck::kMaxTitleLength);
    QByteArray header;
    bck::putInt32(header, qint32(title.size()));
    header += title;
    bck::putInt32(header, qint32(qMin<qint64>(c_.total_, std::numeric_limits<qint32>::max())));
    bck::putInt32(header, qint32(files_.size()));
    if (!put(header.constData(), header.size()))
        return false;
    c_.progress(QString(), 0);

    if (c_.saveFileID_ && c_.going() && !writeEntry(fileList.fileName(), true))
        return false;
    for (const Listed &listed : files_) {
        if (!c_.going())
            break;
        if (!writeEntry(listed.path, false))
            return false;
    }
    if (!c_.going() || !putInt(0))
        return false;
    return closeVolume();
}

bool TBackupFile::Backup(const QStringList &filePatterns, const QString &archiveName)
{
    if (busy_)
        return false;
    begin();
    bool ok = false;
    {
        BackupRun run(*this);
        ok = run.run(filePatterns, archiveName);
        ok = run.end() && ok && errorCode_ == errNone;
    }
    progress(QString(), 100);
    finish();
    return ok;
}

} // namespace verbana
