// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/collection_restore.h"

#include "backup/backup_file.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "store/collection_files.h"
#include "store/collection_lifecycle.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace verbana::backup {

namespace {

QString inProgramFolder(const QString &name) { return paths::programFolder() + QLatin1Char('/') + name; }

bool holdsSermonTable(const QString &folder)
{
    return QFileInfo(paths::resolve(folder, QStringLiteral("sul2file.dbf"))).isFile();
}

// Removes a folder of ours; one the trash will not take goes for good.
bool removeWorkingFolder(const QString &path, bool toTrash)
{
    if (!QFileInfo::exists(path))
        return true;
    return (toTrash && store::DeleteFolder(path, true)) || files::removeFolder(path);
}

bool renameFolder(const QString &from, const QString &to) { return QDir().rename(from, to); }

std::function<bool(const QString &)> &removableCheck()
{
    static std::function<bool(const QString &)> check;
    return check;
}

} // namespace

QString rebackFolder() { return inProgramFolder(QStringLiteral("_reback")); }
QString deleteFolder() { return inProgramFolder(QStringLiteral("_delete")); }

bool clearLeftoverFolders()
{
    if (!removeWorkingFolder(rebackFolder(), false)) {
        showError(QStringLiteral("작업 폴더를 비울 수 없습니다.\r") + rebackFolder());
        return false;
    }
    if (!QFileInfo::exists(deleteFolder()))
        return true;
    const QString base = QStringLiteral("되찾은 설교집");
    QString name = base;
    for (int n = 2; QFileInfo::exists(inProgramFolder(name)) || !paths::resolveExisting(paths::programFolder(), name).isEmpty(); ++n)
        name = base + QLatin1Char(' ') + QString::number(n);
    if (!renameFolder(deleteFolder(), inProgramFolder(name))) {
        showError(QStringLiteral("지난번 재생에서 임시보관한 폴더를 옮길 수 없습니다.\r") + deleteFolder());
        return false;
    }
    showInformation(QStringLiteral("지난번에 끝나지 못한 재생에서 임시보관해두었던 설교집을\r\"%1\"(으)로 되살려 두었습니다.")
                        .arg(name));
    return true;
}

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

Placement placeRestoredCollection(const QString &restoredRoot, const QString &name,
                                  const std::function<void()> &beforeDeleting)
{
    const QString found = findRestoredCollection(restoredRoot);
    if (found.isEmpty()) {
        showError(QStringLiteral("백업파일에 설교집이 없습니다.\r기존 설교집은 그대로 두었습니다."));
        return Placement::NoCollection;
    }
    // A collection of that name in another letter case is the one replaced.
    const QString existing = paths::resolveExisting(paths::programFolder(), name);
    const QString target = existing.isEmpty() ? inProgramFolder(name) : existing;
    const bool setAside = !existing.isEmpty();
    if (setAside && !renameFolder(existing, deleteFolder())) {
        showError(QStringLiteral("기존 설교집을 임시보관할 수 없어 재생하지 못했습니다.\r기존 설교집은 그대로 두었습니다."));
        return Placement::RenameFailed;
    }
    if (!renameFolder(found, target)) {
        const bool back = !setAside || renameFolder(deleteFolder(), target);
        showError(back ? QStringLiteral("재생한 설교집을 제자리로 옮길 수 없습니다.\r기존 설교집은 그대로 두었습니다.")
                       : QStringLiteral("재생한 설교집을 제자리로 옮길 수 없습니다.\r기존 설교집은 %1 에 있습니다.")
                             .arg(deleteFolder()));
        return Placement::RenameFailed;
    }
    if (setAside) {
        if (beforeDeleting)
            beforeDeleting();
        removeWorkingFolder(deleteFolder(), true);
    }
    return Placement::Placed;
}

BckRestore restoreBckCollection(TBackupFile &component, const QString &archive, const QString &name,
                                const std::function<void()> &beforeDeleting)
{
    component.setRestoreFullPath(true);
    const bool restored = component.Restore(archive, rebackFolder());
    BckRestore result = BckRestore::Failed;
    if (!component.RaisedError().isEmpty())
        result = BckRestore::Damaged;
    else if (restored && placeRestoredCollection(rebackFolder(), name, beforeDeleting) == Placement::Placed)
        result = BckRestore::Placed;
    files::removeFolder(rebackFolder());
    return result;
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
