// SPDX-License-Identifier: GPL-3.0-or-later
// Backup: lists the files of the patterns, then writes the header,
// one entry per file and the end marker, across volumes when MaxSize is set.
#include "backup/backup_file.h"

#include "backup/bck_codec.h"
#include "backup/bck_format.h"
#include "platform/cp949.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <limits>
#include <vector>

namespace verbana {

class BackupRun {
public:
    explicit BackupRun(TBackupFile &c) : c_(c), deflater_(zlibLevel(c.compressionLevel_)) {}
    bool run(const QStringList &filePatterns, const QString &archiveName);

private:
    static int zlibLevel(TCompressionLevel level);
    void listPattern(const QString &pattern);
    void listFolder(const QString &folder, const QRegularExpression *mask, bool recurse);
    bool isArchive(const QFileInfo &info) const;
    bool makeFileList(QTemporaryFile &list);
    bool openVolume(const QString &name);
    bool closeVolume();
    bool put(const char *data, qint64 size);
    bool putInt(qint32 value);
    bool writeEntry(const QString &path, bool isFileList);
    bool writeSegments(QFile &in, const QString &label);
    bool writePiece(const char *piece, qint64 size);
    bool room() const;

    TBackupFile &c_;
    bck::PieceDeflater deflater_;
    std::vector<QString> files_;
    QString archivePath_;
    QString archiveFileName_;
    QString archiveCanonical_;
    bool toStream_ = false;
    std::unique_ptr<QFile> volume_;
    QIODevice *out_ = nullptr;
    qint64 volumeWritten_ = 0;
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
// name order. Folder links are not followed, so a link cannot loop.
void BackupRun::listFolder(const QString &folder, const QRegularExpression *mask, bool recurse)
{
    const QDir dir(folder);
    if (recurse) {
        const QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                                               QDir::Name);
        for (const QString &sub : subs) {
            if (!c_.continue_)
                return;
            listFolder(dir.filePath(sub), mask, true);
        }
    }
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &info : entries) {
        if (!c_.continue_)
            return;
        if (mask && !mask->match(info.fileName()).hasMatch())
            continue;
        if (isArchive(info))
            continue;
        files_.push_back(info.absoluteFilePath());
        c_.progress(QLatin1Char('%') + QString::number(files_.size()), 0);
    }
}

bool BackupRun::isArchive(const QFileInfo &info) const
{
    if (toStream_ || info.fileName() != archiveFileName_)
        return false;
    return info.absoluteFilePath() == archivePath_
        || (!archiveCanonical_.isEmpty() && info.canonicalFilePath() == archiveCanonical_);
}

bool BackupRun::makeFileList(QTemporaryFile &list)
{
    QByteArray text;
    for (const QString &path : files_) {
        const QFileInfo info(path);
        const std::optional<QByteArray> name = bck::storedName(path);
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
    volumeWritten_ = 0;
    if (toStream_) {
        out_ = c_.stream_;
        if (!out_ || !out_->isWritable()) {
            c_.fail(TBackupFile::errArchiveWrite);
            return false;
        }
        return true;
    }
    volume_ = std::make_unique<QFile>(name);
    if (!volume_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        c_.fail(TBackupFile::errArchiveWrite);
        return false;
    }
    out_ = volume_.get();
    return true;
}

bool BackupRun::closeVolume()
{
    if (!volume_)
        return true;
    const bool flushed = volume_->flush();
    volume_->close();
    const bool ok = flushed && volume_->error() == QFileDevice::NoError;
    volume_.reset();
    out_ = nullptr;
    if (!ok)
        c_.fail(TBackupFile::errArchiveWrite);
    return ok;
}

bool BackupRun::put(const char *data, qint64 size)
{
    if (out_->write(data, size) != size) {
        c_.fail(TBackupFile::errArchiveWrite);
        return false;
    }
    volumeWritten_ += size;
    return true;
}

bool BackupRun::putInt(qint32 value)
{
    QByteArray b;
    bck::putInt32(b, value);
    return put(b.constData(), 4);
}

bool BackupRun::room() const
{
    if (c_.maxSize_ == 0 || toStream_)
        return true;
    // A fresh volume always takes a piece, so a limit below one piece
    // cannot chain empty volumes for ever.
    return freshVolume_ || volumeWritten_ < c_.maxSize_ - bck::kVolumeReserve;
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

bool BackupRun::writeSegments(QFile &in, const QString &label)
{
    for (;;) {
        if (!put(bck::kSegmentTag, 4))
            return false;
        while (c_.continue_ && room()) {
            const qint64 n = in.read(piece_.get(), bck::kPieceSize);
            if (n < 0) {
                c_.fail(TBackupFile::errFileUnreadable);
                return false;
            }
            if (n == 0)
                break;
            if (!writePiece(piece_.get(), n))
                return false;
            freshVolume_ = false;
            c_.processed_ += n;
            c_.letEventsRun();
            c_.progress(label, c_.percent());
        }
        if (!putInt(0))
            return false;
        if (!c_.continue_ || in.atEnd())
            return c_.continue_;
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
    c_.currentFile_ = path;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (!isFileList && !QFileInfo::exists(path))
            return true; // gone since it was listed: left out
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    const std::optional<QByteArray> name = isFileList ? QByteArray(bck::kFileList) : bck::storedName(path);
    if (!name || name->size() > bck::kMaxNameLength) {
        c_.fail(TBackupFile::errFileUnreadable);
        return false;
    }
    if (!putInt(qint32(name->size())) || !put(name->constData(), name->size())
        || !putInt(qint32(bck::toDosTime(in.fileTime(QFileDevice::FileModificationTime)))))
        return false;
    if (!writeSegments(in, path))
        return false;
    in.close();
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
        if (c_.continue_)
            listPattern(pattern);
    if (!c_.continue_)
        return false;

    for (const QString &path : files_) {
        const QFileInfo info(path);
        if (info.exists())
            c_.total_ += info.size();
    }
    QTemporaryFile fileList;
    if (c_.saveFileID_ && !makeFileList(fileList))
        return false;
    if (!deflater_.ok()) {
        c_.fail(TBackupFile::errCompression);
        return false;
    }
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

    if (c_.saveFileID_ && c_.continue_ && !writeEntry(fileList.fileName(), true))
        return false;
    for (const QString &path : files_) {
        if (!c_.continue_)
            break;
        if (!writeEntry(path, false))
            return false;
    }
    if (!c_.continue_ || !putInt(0))
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
        ok = ok && errorCode_ == errNone;
    }
    progress(QString(), 100);
    finish(true);
    return ok;
}

} // namespace verbana
