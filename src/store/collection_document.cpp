// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/collection_document.h"

#include "store/collection_files.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include "platform/cp949.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace verbana::store {

namespace {

QString withSlashes(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString withoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

QString applicationTitle() { return QStringLiteral("Verbana"); }

QString collectionTitle(const QString &folder) { return QStringLiteral("Verbana - ") + CollectionLabel(folder); }

QString useFilePath() { return paths::join(paths::programFolder(), QStringLiteral("usefile.sys")); }

void writeUseFile(const QString &label)
{
    // Best effort: the file only tells other programs which collection is
    // in use, and the program never reads it back.
    QFile::remove(paths::resolve(paths::programFolder(), QStringLiteral("usefile.sys")));
    QSaveFile file(useFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(cp949::encodeLossy(label) + QByteArrayLiteral("\r\n"));
    (void)file.commit();
}

void removeUseFile()
{
    const QString path = paths::resolveExisting(paths::programFolder(), QStringLiteral("usefile.sys"));
    if (!path.isEmpty())
        QFile::remove(path);
}

CollectionDocument::CollectionDocument(QObject *parent)
    : QObject(parent), table_(std::make_unique<xbase::TApolloTable>()), title_(applicationTitle())
{
}

CollectionDocument::~CollectionDocument() = default;

bool CollectionDocument::isOpen() const { return table_->Active(); }

QString CollectionDocument::openLabel() const { return folder_.isEmpty() ? QString() : CollectionLabel(folder_); }

void CollectionDocument::releaseTable()
{
    if (table_->Active())
        Q_EMIT tableClosing();
    // A gathering lives with the table: closed, it is gone.
    highlightTerms_.clear();
    table_->Close();
    table_->Exclusive = false;
}

void CollectionDocument::setFolder(const QString &folder)
{
    folder_ = folder;
    paths_ = CollectionPaths(folder);
}

void CollectionDocument::releaseGathering()
{
    highlightTerms_.clear();
    if (table_->Active())
        table_->Query(QByteArray());
}

bool CollectionDocument::changing() const
{
    return table_->Active() && table_->State() != xbase::TableState::Browse;
}

bool CollectionDocument::refuseWhileEditing() const
{
    if (!changing())
        return false;
    showInformation(refuseWhileEditingText());
    return true;
}

bool CollectionDocument::refuseReadOnly() const
{
    if (!isReadOnly())
        return false;
    showInformation(readOnlyRefusal());
    return true;
}

void CollectionDocument::setTitle(const QString &title)
{
    if (title == title_)
        return;
    title_ = title;
    Q_EMIT titleChanged(title_);
}

void CollectionDocument::clearState()
{
    setFolder(QString());
    tablePath_.clear();
    setTitle(applicationTitle());
}

void CollectionDocument::notifyState() { Q_EMIT collectionStateChanged(isOpen()); }

bool CollectionDocument::OpenCollection(const QString &tablePath)
{
    bool opened = false;
    try {
        releaseTable();
        // The closed collection is no longer open, whatever comes next.
        clearState();

        const QString path = withSlashes(tablePath);
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString folder = withoutTrailingSeparators(slash < 0 ? QString() : path.left(slash + 1));
        const QString file = path.mid(slash + 1);

        const QString found = paths::resolveFull(folder + QLatin1Char('/') + file);
        if (file.isEmpty() || !QFileInfo(found).isFile()) {
            showInformation(folder + QStringLiteral(" 파일이 없습니다.") + QLatin1Char('\r')
                            + QStringLiteral("[파일]메뉴의 [파일열기]을 선택하여 파일을 다시 여십시오."));
            notifyState();
            return false;
        }
        const QFileInfo info(found);
        const QString realFolder = QDir::cleanPath(info.absolutePath());
        table_->DatabaseName = realFolder;
        table_->TableName = info.fileName();
        table_->TableType = xbase::ttSXFOX;
        table_->ReadOnly = false;
        table_->Exclusive = false;

        bool openForReading = false;
        if (paths::resolveExisting(realFolder, ReplaceExtension(info.fileName(), QStringLiteral(".cdx"))).isEmpty()) {
            table_->Exclusive = true;
            openForReading = !openWritableOrForReading();
            if (!openForReading) {
                createSermonTags(*table_);
                table_->Close();
                table_->Exclusive = false;
            }
        }
        if (!openForReading)
            openWritableOrForReading();
        if (!table_->damagedIndexKeptAs().isEmpty()) {
            // The opening set a damaged index aside: the sermon table's tags
            // are known, so it gets them back at once.
            // Another program using the table keeps it shared: it is then
            // used in record order until the next opening.
            table_->Close();
            table_->Exclusive = true;
            try {
                table_->Open();
                createSermonTags(*table_);
            } catch (const xbase::EApolloError &) {
            }
            table_->Close();
            table_->Exclusive = false;
            table_->Open();
        }
        table_->SetOrder(table_->TagArea(QByteArrayLiteral("date1")));
        table_->GoBottom();

        tablePath_ = QDir::cleanPath(info.absoluteFilePath());
        setTitle(collectionTitle(realFolder));
        writeUseFile(CollectionLabel(realFolder));
        setFolder(realFolder);
        last_ = CollectionLabel(realFolder);
        opened = true;
    } catch (...) {
        // A half-opened collection is of no use: the window shows none.
        releaseTable();
        table_->Exclusive = false;
        clearState();
        notifyState();
        throw;
    }
    notifyState();
    if (table_->ReadOnly)
        showInformation(readOnlyMessage());
    return opened;
}

bool CollectionDocument::openWritableOrForReading()
{
    try {
        table_->Open();
        return true;
    } catch (const xbase::EApolloError &e) {
        if (e.kind() != xbase::StatusKind::ReadOnly)
            throw;
    }
    // Read-only media, or files the user may not change: the collection
    // can still be read. Nothing is written, not even a missing index.
    table_->ReadOnly = true;
    table_->Exclusive = false;
    table_->Open();
    return false;
}

bool CollectionDocument::isReadOnly() const { return isOpen() && table_->ReadOnly; }

QString refuseWhileEditingText()
{
    return QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.");
}

QString readOnlyRefusal() { return QStringLiteral("읽기 전용으로 연 설교집은 바꿀 수 없습니다."); }

QString readOnlyMessage()
{
    return QStringLiteral("이 설교집은 바꿀 수 없는 곳에 있어 읽기 전용으로 열었습니다.") + QLatin1Char('\r')
           + QStringLiteral("설교를 보고 찾을 수는 있지만 추가, 수정, 삭제는 할 수 없습니다.");
}

bool CollectionDocument::openNamedCollection(const QString &name)
{
    const QString path = paths::programFolder() + QLatin1Char('/') + name + QLatin1Char('/') + sermonTableName();
    if (OpenCollection(path))
        return true;
    showInformation(QStringLiteral("파일이 알맞지 않습니다."));
    return false;
}

bool CollectionDocument::reopenLastCollection(const QString &last)
{
    // The name comes from the settings file: one folder of the program
    // folder, never a path leading elsewhere.
    if (last.isEmpty() || last.contains(QLatin1Char('/')) || last.contains(QLatin1Char('\\'))
        || last == QLatin1String("..") || last == QLatin1String("."))
        return false;
    const QString path = paths::resolveExisting(paths::programFolder(), last + QLatin1Char('/') + sermonTableName());
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    return OpenCollection(path);
}

void CollectionDocument::CloseCollection()
{
    releaseTable();
    removeUseFile();
    last_.clear();
    clearState();
    notifyState();
}

void CollectionDocument::forgetUseFile() { removeUseFile(); }

void CollectionDocument::exclusively(const std::function<void(xbase::TApolloTable &)> &work)
{
    xbase::TApolloTable &table = *table_;
    const QByteArray tag = table.Active() && table.IndexOrd() > 0 ? table.TagName(table.IndexOrd()) : QByteArray();
    const uint32_t record = table.Active() ? table.RecNo() : 0;
    try {
        releaseTable();
        table.Exclusive = true;
        table.Open();
        work(table);
        table.Close();
        table.Exclusive = false;
        table.Open();
        table.SetOrder(table.TagArea(QByteArrayLiteral("date1")));
    } catch (...) {
        recoverTable(tag, record);
        throw;
    }
    Q_EMIT tableReopened();
}

void CollectionDocument::recoverTable(const QByteArray &tag, uint32_t record)
{
    try {
        releaseTable();
        if (!folder_.isEmpty()) {
            table_->Open();
            // The order as it was, when its tag is still there.
            table_->SetOrder(tag.isEmpty() ? 0 : table_->TagArea(tag));
            if (record != 0 && record <= table_->RecCount())
                table_->Go(record);
            else
                table_->GoBottom();
            Q_EMIT tableReopened();
            return;
        }
    } catch (const std::exception &) {
        releaseTable();
    }
    CloseCollection();
}

} // namespace verbana::store
