// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backup_file.h"

#include "platform/prompts.h"

#include <QCoreApplication>

namespace verbana {

TBackupFile::TBackupFile()
    : ownProgress_(std::make_unique<Progress>([](const Progress::Report &) {
          if (QCoreApplication::instance())
              QCoreApplication::processEvents();
      })),
      progress_(ownProgress_.get())
{
}

TBackupFile::~TBackupFile() = default;

QString TBackupFile::ErrorText(int code)
{
    switch (code) {
    case errFileUnreadable:
        return QStringLiteral("읽을 수 없는 파일");
    case errOverwrite:
        return QStringLiteral("덮어쓰기 실패");
    case errArchiveUnreadable:
        return QStringLiteral("읽을 수 없는 압축파일");
    case errArchiveWrite:
        return QStringLiteral("압축파일에 추가 기록할 수 없슴");
    case errArchiveType:
        return QStringLiteral("Invalid archive type");
    case errCompression:
        return QStringLiteral("압축 에러");
    case errTempFile:
        return QStringLiteral("임시 파일 생성 실패");
    default:
        return {};
    }
}

void TBackupFile::setBackupMode(TBackupMode mode)
{
    backupMode_ = mode;
    if (mode == bmIncremental)
        setArchiveFlag_ = true;
}

void TBackupFile::begin()
{
    busy_ = true;
    progress_->clearStopRequest();
    progress_->start(0);
    errorCode_ = errNone;
    raisedError_.clear();
    total_ = 0;
    processed_ = 0;
    currentFile_.clear();
    fileCount_ = 0;
    disk_ = 1;
}

void TBackupFile::fail(int code, Failure how)
{
    // The first failure is the one kept; later ones follow from it.
    if (errorCode_ == errNone && raisedError_.isEmpty()) {
        if (how == Failure::Raised)
            raisedError_ = ErrorText(code);
        else
            errorCode_ = code;
    }
    progress_->requestStop();
}

bool TBackupFile::askForDisk(int disk)
{
    bool go = true;
    if (OnNeedDisk)
        OnNeedDisk(this, static_cast<quint16>(disk), go);
    else
        go = informOrCancel(QStringLiteral(" %1 번 디스켓을 넣고 [ OK ]를 클릭하십시오.").arg(disk));
    if (!go)
        Stop();
    return going();
}

int TBackupFile::percent() const
{
    if (total_ <= 0 || processed_ <= 0)
        return 0;
    const qint64 p = total_ < 100 ? processed_ * 100 / total_ : processed_ / (total_ / 100);
    return static_cast<int>(qBound(qint64(0), p, qint64(100)));
}

void TBackupFile::progress(const QString &filename, int percentValue)
{
    if (!OnProgress)
        return;
    bool go = true;
    OnProgress(this, filename, percentValue, go);
    if (!go)
        Stop();
}

void TBackupFile::atFile(const QString &path)
{
    currentFile_ = path;
    progress_->setItem(path);
}

void TBackupFile::processed(qint64 bytes, const QString &filename)
{
    processed_ += bytes;
    progress_->advanceTo(uint64_t(processed_));
    progress(filename, percent());
}

void TBackupFile::finish()
{
    busy_ = false;
    progress_->flush();
    if (errorCode_ == errNone || !raisedError_.isEmpty())
        return;
    const QString text = ErrorText(errorCode_);
    if (OnError)
        OnError(this, errorCode_, text);
    else
        showError(text);
}

} // namespace verbana
