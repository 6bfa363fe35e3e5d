// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/collection_restore.h"

#include "backup/backup_file.h"
#include "backup/zip_archive.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "store/collection_files.h"
#include "store/collection_lifecycle.h"
#include "store/sermon_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <sys/stat.h>

namespace verbana::backup {

namespace {

QString inProgramFolder(const QString &name) { return paths::programFolder() + QLatin1Char('/') + name; }

QString markerPath() { return inProgramFolder(QStringLiteral("_restoring")); }

bool holdsSermonTable(const QString &folder)
{
    return QFileInfo(paths::resolve(folder, store::sermonTableName())).isFile();
}

// Anything at all has the name, a link to nothing included.
bool taken(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Removes a folder of ours. One that may hold a collection goes to the
// trash; when no trash takes it, it goes for good only if the user says so.
bool removeWorkingFolder(const QString &path, bool toTrash)
{
    if (!taken(path))
        return true;
    return toTrash ? store::DeleteFolder(path, true) : files::removeFolder(path);
}

files::Status renameFolder(const QString &from, const QString &to)
{
    return files::FileSystem::posix().rename(from, to);
}

std::function<bool(const QString &)> &removableCheck()
{
    static std::function<bool(const QString &)> check;
    return check;
}

std::function<void(RestoreStep)> &stepHook()
{
    static std::function<void(RestoreStep)> hook;
    return hook;
}

QString busyMessage()
{
    return QStringLiteral("다른 곳에서 설교집을 되살리고 있습니다.\r그 일이 끝난 뒤에 다시 하십시오.");
}

// The mark, opened (made when missing) and locked by this run. `busy`
// when another run holds it; otherwise a failure has its reason.
struct HeldMark {
    std::unique_ptr<files::File> file;
    bool busy = false;
    QString reason;
};

HeldMark holdMark()
{
    files::FileSystem &fs = files::FileSystem::posix();
    HeldMark held;
    auto opened = fs.open(markerPath(), files::OpenMode::CreateNew);
    if (!opened)
        opened = fs.open(markerPath(), files::OpenMode::ReadWrite);
    if (!opened) {
        held.reason = QStringLiteral("프로그램 폴더에 쓸 수 없어 되살리지 않았습니다.\r") + opened.status().message();
        return held;
    }
    if (const files::Status locked = opened.value()->tryLock(0, 1, files::LockMode::Exclusive); !locked) {
        held.busy = locked.kind() == files::StatusKind::Locked;
        held.reason = held.busy ? busyMessage() : locked.message();
        return held;
    }
    held.file = std::move(opened.value());
    return held;
}

// The collection name a mark holds; empty when it holds none that could
// be one.
QString markedName(files::File &mark)
{
    const files::Result<uint64_t> size = mark.size();
    if (!size || size.value() == 0 || size.value() > 4096)
        return QString();
    QByteArray bytes(qsizetype(size.value()), Qt::Uninitialized);
    if (!mark.readAt(0, std::span<char>(bytes.data(), size_t(bytes.size()))))
        return QString();
    const QString name = QString::fromUtf8(bytes);
    if (name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('_')) || name.startsWith(QLatin1Char('.')))
        return QString();
    return name;
}

// The mark is done with: the file goes before its lock.
void dropMark(std::unique_ptr<files::File> &mark)
{
    (void)files::FileSystem::posix().remove(markerPath());
    mark.reset();
}

// A "_delete" nobody can claim comes back under a free collection name.
// Gives "_delete" a free collection name; the name, or a failure.
Outcome<QString> keepSetAside()
{
    const QString base = QStringLiteral("되찾은 설교집");
    QString name = base;
    for (int n = 2; taken(inProgramFolder(name)) || !paths::resolveExisting(paths::programFolder(), name).isEmpty(); ++n)
        name = base + QLatin1Char(' ') + QString::number(n);
    if (!renameFolder(deleteFolder(), inProgramFolder(name)))
        return Outcome<QString>::failure(
            Fault::Io, QStringLiteral("지난번 재생에서 임시보관한 폴더를 옮길 수 없습니다.\r") + deleteFolder());
    return name;
}

Outcome<QString> keepUnclaimed()
{
    if (!taken(deleteFolder()))
        return QString();
    const Outcome<QString> kept = keepSetAside();
    if (!kept.ok())
        return kept;
    return QStringLiteral("지난번에 끝나지 못한 재생에서 임시보관해두었던 설교집을\r\"%1\"(으)로 되살려 두었습니다.")
        .arg(kept.value());
}

// Settles what a run that died left, under the held mark: gives back the
// message to tell (empty when there is nothing worth telling).
Outcome<QString> settleLeftovers(files::File &mark)
{
    QString told;
    const QString name = markedName(mark);
    if (!name.isEmpty() && taken(deleteFolder())) {
        const QString target = inProgramFolder(name);
        if (!taken(target)) {
            // The run died between setting the collection aside and
            // putting the restored one in its place.
            if (renameFolder(deleteFolder(), target))
                told = QStringLiteral("지난번 설교집 되살리기가 끝나지 못했습니다.\r\"%1\" 설교집은 되살리기 전 그대로 두었습니다.")
                           .arg(name);
        } else {
            // The restored collection took the name: the old one was on
            // its way to the trash.
            removeWorkingFolder(deleteFolder(), true);
        }
    }
    for (const QString &work : {rebackFolder(), unzipFolder()})
        if (!removeWorkingFolder(work, false))
            return Outcome<QString>::failure(Fault::Io, QStringLiteral("작업 폴더를 비울 수 없습니다.\r") + work);
    const Outcome<QString> kept = keepUnclaimed();
    if (!kept.ok())
        return kept;
    if (!kept.value().isEmpty())
        told = told.isEmpty() ? kept.value() : told + QLatin1Char('\r') + kept.value();
    return told;
}

bool leftoversStand()
{
    for (const QString &path : {markerPath(), rebackFolder(), unzipFolder(), deleteFolder()})
        if (taken(path))
            return true;
    return false;
}

// Settles leftovers under a mark of its own: false when another run is
// going (`tellBusy` says whether to show it) or they cannot be cleared.
bool settleWithMark(bool tellBusy)
{
    if (!leftoversStand())
        return true;
    HeldMark held = holdMark();
    if (!held.file) {
        if (!held.busy || tellBusy)
            showError(held.reason);
        return false;
    }
    const Outcome<QString> settled = settleLeftovers(*held.file);
    dropMark(held.file);
    if (!settled.ok()) {
        showError(settled.reason());
        return false;
    }
    if (!settled.value().isEmpty())
        showInformation(settled.value());
    return true;
}

// Why the folder standing as `existing` cannot be swapped for a restored
// one by renames within the program folder; empty when it can.
QString swapProblem(const QString &existing)
{
    const QString name = QFileInfo(existing).fileName();
    const QFileInfo info(existing);
    if (info.isSymLink())
        return QStringLiteral("\"%1\" 설교집 폴더는 다른 곳을 가리키는 링크여서 바꿔 놓을 수 없습니다.\r"
                              "기존 설교집은 그대로 두었습니다.")
            .arg(name);
    if (!info.isDir())
        return QStringLiteral("프로그램 폴더의 \"%1\" 은(는) 설교집 폴더가 아닌 파일이어서 되살리지 않았습니다.").arg(name);
    struct stat folder, program;
    if (::lstat(QFile::encodeName(existing).constData(), &folder) == 0
        && ::stat(QFile::encodeName(paths::programFolder()).constData(), &program) == 0 && folder.st_dev != program.st_dev)
        return QStringLiteral("\"%1\" 설교집 폴더는 프로그램 폴더와 다른 디스크에 있어 바꿔 놓을 수 없습니다.\r"
                              "기존 설교집은 그대로 두었습니다.")
            .arg(name);
    return QString();
}

} // namespace

QString rebackFolder() { return inProgramFolder(QStringLiteral("_reback")); }
QString deleteFolder() { return inProgramFolder(QStringLiteral("_delete")); }

bool clearLeftoverFolders() { return settleWithMark(true); }

void recoverInterruptedRestore() { (void)settleWithMark(false); }

void setRestoreStepHook(std::function<void(RestoreStep)> hook) { stepHook() = std::move(hook); }

QString findRestoredCollection(const QString &root)
{
    if (!QFileInfo(root).isDir() || QFileInfo(root).isSymLink())
        return QString();
    if (holdsSermonTable(root))
        return root;
    const QFileInfoList subs = QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                        QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : subs) {
        if (sub.fileName().startsWith(QLatin1Char('.')) || sub.isSymLink())
            continue;
        const QString found = findRestoredCollection(sub.filePath());
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

RestoreMark::RestoreMark(std::unique_ptr<files::File> marker, QString name, QString work)
    : marker_(std::move(marker)), name_(std::move(name)), work_(std::move(work))
{
}

Outcome<std::unique_ptr<RestoreMark>> RestoreMark::begin(const QString &name, const QString &workFolder)
{
    using Begun = Outcome<std::unique_ptr<RestoreMark>>;
    HeldMark held = holdMark();
    if (!held.file)
        return Begun::failure(Fault::Io, held.reason);
    const Outcome<QString> settled = settleLeftovers(*held.file);
    if (!settled.ok()) {
        dropMark(held.file);
        return Begun::failure(settled);
    }
    if (!settled.value().isEmpty())
        showInformation(settled.value());
    const QString existing = paths::resolveExisting(paths::programFolder(), name);
    const QString problem = existing.isEmpty() ? QString() : swapProblem(existing);
    const QString target = existing.isEmpty() ? name : QFileInfo(existing).fileName();
    const QByteArray bytes = target.toUtf8();
    files::Status written;
    if (problem.isEmpty()) {
        written = held.file->truncate(0);
        if (written)
            written = held.file->writeAt(0, std::span<const char>(bytes.constData(), size_t(bytes.size())));
        if (written)
            written = held.file->sync();
        if (written)
            written = files::FileSystem::posix().syncFolder(paths::programFolder());
    }
    if (!problem.isEmpty() || !written) {
        dropMark(held.file);
        return Begun::failure(Fault::Io, problem.isEmpty() ? QStringLiteral("프로그램 폴더에 쓸 수 없어 되살리지 않았습니다.\r")
                                                                 + written.message()
                                                           : problem);
    }
    std::unique_ptr<RestoreMark> mark(new RestoreMark(std::move(held.file), target, workFolder));
    mark->reached(RestoreStep::Marked);
    return Begun(std::move(mark));
}

RestoreMark::~RestoreMark()
{
    removeWorkingFolder(work_, false);
    if (pending_)
        marker_.reset(); // the lock goes, the mark stays for the next start
    else
        dropMark(marker_);
}

QString RestoreMark::existing() const
{
    const QString path = inProgramFolder(name_);
    return taken(path) ? path : QString();
}

void RestoreMark::reached(RestoreStep step) const
{
    if (stepHook())
        stepHook()(step);
}

Outcome<void> RestoreMark::place(const QString &restored, const std::function<void()> &beforeDeleting)
{
    const QString existing = this->existing();
    if (!existing.isEmpty())
        if (const QString problem = swapProblem(existing); !problem.isEmpty())
            return Outcome<void>::failure(Fault::Io, problem);
    const QString target = inProgramFolder(name_);
    const bool setAside = !existing.isEmpty();
    if (setAside) {
        if (const files::Status aside = renameFolder(existing, deleteFolder()); !aside)
            return Outcome<void>::failure(
                Fault::Io, QStringLiteral("기존 설교집을 임시보관할 수 없어 재생하지 못했습니다.\r기존 설교집은 그대로 두었습니다.\r")
                               + aside.message());
        reached(RestoreStep::SetAside);
    }
    if (const files::Status moved = renameFolder(restored, target); !moved) {
        const bool back = !setAside || renameFolder(deleteFolder(), target);
        pending_ = !back;
        return Outcome<void>::failure(
            Fault::Io, (back ? QStringLiteral("재생한 설교집을 제자리로 옮길 수 없습니다.\r기존 설교집은 그대로 두었습니다.\r")
                             : QStringLiteral("재생한 설교집을 제자리로 옮길 수 없습니다.\r기존 설교집은 %1 에 있습니다.\r")
                                   .arg(deleteFolder()))
                           + moved.message());
    }
    reached(RestoreStep::Placed);
    if (setAside) {
        if (beforeDeleting)
            beforeDeleting();
        if (!removeWorkingFolder(deleteFolder(), true)) {
            // Kept by the user: the old collection stands under a name of its own.
            const Outcome<QString> kept = keepSetAside();
            if (kept.ok())
                showInformation(QStringLiteral("임시보관해두었던 기존 설교집을\r\"%1\"(으)로 남겨 두었습니다.").arg(kept.value()));
        }
        reached(RestoreStep::Trashed);
    }
    return {};
}

Placement placeRestoredCollection(RestoreMark &mark, const QString &restoredRoot,
                                  const std::function<void()> &beforeDeleting)
{
    const QString found = findRestoredCollection(restoredRoot);
    if (found.isEmpty()) {
        showError(QStringLiteral("백업파일에 설교집이 없습니다.\r기존 설교집은 그대로 두었습니다."));
        return Placement::NoCollection;
    }
    const Outcome<void> placed = mark.place(found, beforeDeleting);
    if (!placed.ok()) {
        showError(placed.reason());
        return Placement::RenameFailed;
    }
    return Placement::Placed;
}

BckRestore restoreBckCollection(TBackupFile &component, const QString &archive, const QString &name,
                                const std::function<void()> &beforeDeleting)
{
    Outcome<std::unique_ptr<RestoreMark>> mark = RestoreMark::begin(name, rebackFolder());
    if (!mark.ok()) {
        showError(mark.reason());
        return BckRestore::Failed;
    }
    component.setRestoreFullPath(true);
    const bool restored = component.Restore(archive, rebackFolder());
    if (!component.RaisedError().isEmpty())
        return BckRestore::Damaged;
    if (restored && placeRestoredCollection(*mark.value(), rebackFolder(), beforeDeleting) == Placement::Placed)
        return BckRestore::Placed;
    return BckRestore::Failed;
}

QString newCollectionNameProblem(const QString &name, const QString &emptyMessage, const QString &existsMessage)
{
    if (name.isEmpty())
        return emptyMessage;
    const cp949::Encoded encoded = cp949::encode(name);
    if (!encoded.ok()) {
        store::NameCheck check;
        check.verdict = store::NameVerdict::BadCharacter;
        check.unmappable = encoded.unmappable;
        return check.message();
    }
    if (name.startsWith(QLatin1Char('_')) || name.startsWith(QLatin1Char('.')))
        return QStringLiteral("파일명의 첫문자로 ( _ )나 ( . )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오.");
    if (encoded.bytes.size() > store::kCollectionNameBytes)
        return QStringLiteral("설교집 이름이 너무 깁니다.\r설교집 이름을 다시 입력해주십시오.");
    if (!paths::resolveExisting(paths::programFolder(), name).isEmpty())
        return existsMessage;
    return QString();
}

QString refusedNameCharacters() { return QStringLiteral("\"*/:<>?\\|"); }
QString refusedZipNameCharacters() { return QStringLiteral("\"*./:<>?\\|"); }

QString withoutCharacters(const QString &text, const QString &refused)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!refused.contains(c))
            out += c;
    return out;
}

bool isOnRemovableMedia(const QString &path)
{
    if (removableCheck())
        return removableCheck()(path);
    QFileInfo info(path);
    QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    while (!folder.isEmpty() && !QFileInfo(folder).isDir())
        folder = QFileInfo(folder).absolutePath();
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return false;
    const QString root = storage.rootPath();
    return root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/run/media/"));
}

void setRemovableMediaCheck(std::function<bool(const QString &)> check) { removableCheck() = std::move(check); }

} // namespace verbana::backup
