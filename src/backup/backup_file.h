// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"
#include "platform/progress.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;

namespace verbana {

enum TBackupMode { bmAll, bmIncremental };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };

// Writes BCK archives from file patterns and restores files from
// them, in one archive file or a chain of volumes (x.bck, x.002, ...).
// Progress, the next-disk request, restore decisions and errors reach the
// caller through the On... events; without OnNeedDisk or OnError the disk
// question and the error box go through the prompt seam. Every file is
// read and written through a file seam (setFileSystem). The runs tell a
// Progress of every piece; it lets the event loop run now and then, so a
// window's stop button can call Stop().
//
// A volume is written beside its name (".new" added) and takes the name
// when it is closed, so an older archive of that name stays whole until
// then; a volume that could not be written is removed and the older one
// stays.
//
// This system has no archive attribute: bmIncremental takes every file
// found, and SetArchiveFlag leaves the files untouched.
class TBackupFile {
public:
    // Error codes of the last operation (ErrorCode()), with ErrorText().
    enum ErrorCodes {
        errNone = 0,
        errFileUnreadable = 1, // "읽을 수 없는 파일"
        errOverwrite = 2, // "덮어쓰기 실패"
        errArchiveUnreadable = 3, // "읽을 수 없는 압축파일"
        errArchiveWrite = 4, // "압축파일에 추가 기록할 수 없슴"
        errArchiveType = 5, // "Invalid archive type"
        errCompression = 6, // "압축 에러"
        errTempFile = 7, // "임시 파일 생성 실패"
    };
    static QString ErrorText(int code);

    // The archive name that reads from or writes to the device of SetStream.
    static QString streamName() { return QStringLiteral(":STREAM"); }

    using ProgressEvent =
        std::function<void(TBackupFile *Sender, const QString &Filename, int Percent, bool &Continue)>;
    using NeedDiskEvent = std::function<void(TBackupFile *Sender, quint16 DiskID, bool &Continue)>;
    using RestoreFileEvent = std::function<void(TBackupFile *Sender, QString &Filename, quint32 FA, bool &DoRestore)>;
    // File is the open target, opened without following links: Filename
    // names it.
    using FileRestoredEvent = std::function<void(TBackupFile *Sender, QString &Filename, files::File &File)>;
    using ErrorEvent = std::function<void(TBackupFile *Sender, int ErrorCode, const QString &ErrorText)>;
    // Not one of the restore events: what List() reports for each entry.
    struct ListedFile {
        QByteArray name; // stored CP949 name
        quint32 date = 0; // DOS packed
        qint64 size = 0; // decoded bytes
    };
    using ListEvent = std::function<void(const ListedFile &File)>;

    TBackupFile();
    ~TBackupFile();
    TBackupFile(const TBackupFile &) = delete;
    TBackupFile &operator=(const TBackupFile &) = delete;

    // Published properties.
    QString Version() const { return QStringLiteral("5.00"); }
    void setVersion(const QString &) {}
    QByteArray BackupTitle() const { return backupTitle_; }
    void setBackupTitle(const QByteArray &title) { backupTitle_ = title; }
    TBackupMode BackupMode() const { return backupMode_; }
    void setBackupMode(TBackupMode mode);
    TCompressionLevel CompressionLevel() const { return compressionLevel_; }
    void setCompressionLevel(TCompressionLevel level) { compressionLevel_ = level; }
    TRestoreMode RestoreMode() const { return restoreMode_; }
    void setRestoreMode(TRestoreMode mode) { restoreMode_ = mode; }
    qint64 MaxSize() const { return maxSize_; }
    void setMaxSize(qint64 bytes) { maxSize_ = bytes < 0 ? 0 : bytes; }
    bool SetArchiveFlag() const { return setArchiveFlag_; }
    void setSetArchiveFlag(bool on) { setArchiveFlag_ = on; }
    bool RestoreFullPath() const { return restoreFullPath_; }
    void setRestoreFullPath(bool on) { restoreFullPath_ = on; }
    bool SaveFileID() const { return saveFileID_; }
    void setSaveFileID(bool on) { saveFileID_ = on; }

    ProgressEvent OnProgress;
    NeedDiskEvent OnNeedDisk;
    RestoreFileEvent OnRestoreFile;
    FileRestoredEvent OnFileRestored;
    ErrorEvent OnError;

    // The device that the archive name ":STREAM" reads or writes (not
    // owned). A stream archive is a single volume: MaxSize does not apply.
    void SetStream(QIODevice *device) { stream_ = device; }

    // Where files are read and written; the disk unless a test says
    // otherwise (not owned).
    void setFileSystem(files::FileSystem &fs) { fs_ = &fs; }
    files::FileSystem &fileSystem() const { return *fs_; }
    // The Progress told of each run: started with the byte total, ticked
    // with the bytes done and the file at hand, and asked whether to stop.
    // Without one (nullptr) the component's own lets the event loop run
    // about every 40 ms. Not owned.
    void setProgress(Progress *progress) { progress_ = progress ? progress : ownProgress_.get(); }
    Progress &progress() const { return *progress_; }

    // Operations.
    // With MaxSize, a chain holds at most 999 volumes (x.bck to x.999): a
    // backup that needs more stops with error 1 instead of starting a
    // 1,000th. Its volumes stay as written, the last one without the end
    // marker, as with any backup that stops early; reading them fails.
    bool Backup(const QStringList &filePatterns, const QString &archiveName);
    // False at once, with no message, when the archive does not exist.
    // An archive whose header cannot be read, or a segment without its
    // tag, ends the run with RaisedError() set (no error box, no OnError)
    // for the caller to handle.
    bool Restore(const QString &archiveName, const QString &targetFolder);
    // Walks the archive like Restore without writing anything, reporting
    // every entry (the file list too) with its decoded size.
    bool List(const QString &archiveName, const ListEvent &each);
    bool Busy() const { return busy_; }
    // Ends the run after the piece at hand; the Progress is asked to stop.
    void Stop() { progress_->requestStop(); }

    // Run-time state of the last operation.
    int ErrorCode() const { return errorCode_; }
    QString RaisedError() const { return raisedError_; }
    qint64 Total() const { return total_; }
    qint64 Processed() const { return processed_; }
    QString CurrentFile() const { return currentFile_; }
    int FileCount() const { return fileCount_; }
    // The header of the archive last read by Restore or List.
    QByteArray ArchiveTitle() const { return archiveTitle_; }
    qint32 ArchiveFileCount() const { return archiveFileCount_; }

private:
    friend class BackupRun;
    friend class RestoreRun;

    // Shared by both runs (backup_file.cpp).
    enum class Failure {
        Reported, // ErrorCode(), reported at the end through OnError or an error box
        Raised, // RaisedError(), for the caller to handle; nothing is reported
    };
    void begin();
    // The one way a run fails: the first failure is kept and ends the run.
    void fail(int code, Failure how = Failure::Reported);
    // The continue flag: set at the start, cleared by Stop(), an event's
    // Continue, a refused disk or a failure (the Progress's stop request).
    bool going() const { return !progress_->stopRequested(); }
    bool askForDisk(int disk);
    int percent() const;
    void progress(const QString &filename, int percentValue);
    // The file at hand (CurrentFile()), and `bytes` of it done.
    void atFile(const QString &path);
    void processed(qint64 bytes, const QString &filename);
    void finish();

    QByteArray backupTitle_;
    TBackupMode backupMode_ = bmAll;
    TCompressionLevel compressionLevel_ = clFastest;
    TRestoreMode restoreMode_ = rmAll;
    qint64 maxSize_ = 0;
    bool setArchiveFlag_ = false;
    bool restoreFullPath_ = true;
    bool saveFileID_ = false;
    QIODevice *stream_ = nullptr;
    files::FileSystem *fs_ = &files::FileSystem::posix();
    std::unique_ptr<Progress> ownProgress_;
    Progress *progress_;

    bool busy_ = false;
    int errorCode_ = errNone;
    QString raisedError_;
    qint64 total_ = 0;
    qint64 processed_ = 0;
    QString currentFile_;
    int fileCount_ = 0;
    int disk_ = 1;
    QByteArray archiveTitle_;
    qint32 archiveFileCount_ = 0;
};

} // namespace verbana
