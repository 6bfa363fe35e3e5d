// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/merge_extract.h"

#include "exchange/bulk_addition.h"
#include "exchange/record_values.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/progress.h"
#include "platform/user_error.h"
#include "store/xbase/engine_error.h"
#include "store/collection_document.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>

#include <algorithm>

namespace verbana::exchange {

namespace {

constexpr qsizetype kMaxExtension = 10;

// Where the file name of a stored name begins.
qsizetype fileNameStart(const QString &name)
{
    return std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/'))) + 1;
}

// Copies the stored name `relative` of the collection `from` to the stored
// name `toRelative` of the collection `to`, making its folder; returns the
// path written. Empty when the source is missing, no regular file, or
// outside its collection; raises EUserError when it exists but cannot be
// copied, or when `toRelative` would lead out of `to`.
// `folders` keeps the folders of `to` made in this run, each made (and
// looked up) once.
QString copyStored(const store::CollectionPaths &from, const QString &relative, const store::CollectionPaths &to,
                   const QString &toRelative, QHash<QString, QString> &folders)
{
    if (relative.trimmed().isEmpty())
        return QString();
    const QString source = from.existing(relative);
    if (source.isEmpty())
        return QString();
    // The folder is found as the disk spells it; the file is a fresh name,
    // made anew (never through a link, never over anything), so it is not
    // looked for in a listing of a folder that grows with every copy.
    const qsizetype nameStart = fileNameStart(toRelative);
    QString folder = to.folder();
    if (nameStart > 1) {
        const QString relativeFolder = toRelative.left(nameStart - 1);
        auto made = folders.constFind(relativeFolder);
        if (made == folders.constEnd())
            made = folders.insert(relativeFolder, makeFolder(to, relativeFolder));
        folder = *made;
    }
    const QString target = folder + QLatin1Char('/') + toRelative.mid(nameStart);
    files::FileSystem &disk = files::FileSystem::posix();
    auto in = disk.open(source, files::OpenMode::ReadStored);
    if (!in)
        return QString();
    auto out = disk.open(target, files::OpenMode::CreateNew);
    if (!out || !files::copyContent(*in.value(), *out.value())) {
        if (out)
            files::removeFileOnly(target);
        throw EUserError(target + QStringLiteral(" 파일을 만들 수 없습니다."));
    }
    return target;
}

} // namespace

QString mergedMessage() { return QStringLiteral("설교집 합치기를 완료하였습니다."); }

QString selfMergeMessage() { return QStringLiteral("열려 있는 설교집에는 자기 자신을 합칠 수 없습니다."); }

QString openExtractedQuestion() { return QStringLiteral("새로 만들어진 설교집을 열어 보시겠습니까?"); }

QString MergeOutcome::message() const
{
    QString text = error.isEmpty() ? mergedMessage()
                                   : error + QStringLiteral("\r") + QString::number(merged)
                                         + QStringLiteral("편의 설교를 합쳤습니다.");
    if (missing)
        text += QStringLiteral("\r파일이 잘려 있어, 설교집에 적힌 설교 %1편 중 %2편이 파일에 없습니다.").arg(counted).arg(missing);
    return text;
}

QString mergedContext(const QString &sourceContext, const QString &newName)
{
    if (sourceContext.trimmed().isEmpty())
        return QString();
    const qsizetype dot = sourceContext.lastIndexOf(QLatin1Char('.'));
    QString ext;
    if (dot >= fileNameStart(sourceContext)) {
        const QByteArray bytes = cp949::cut(cp949::encodeLossy(sourceContext.mid(dot)), kMaxExtension);
        ext = cp949::decode(bytes);
    }
    const qsizetype stemEnd = newName.lastIndexOf(QLatin1Char('.'));
    return (stemEnd < 0 ? newName : newName.left(stemEnd)) + ext;
}

QString textCopyName(const QString &context)
{
    const qsizetype dot = context.lastIndexOf(QLatin1Char('.'));
    return (dot >= fileNameStart(context) ? context.left(dot) : context) + QStringLiteral(".txt");
}

MergeOutcome mergeCollection(store::CollectionDocument &document, const QString &sourceFolder, Progress *progress,
                             files::FileSystem *sourceFiles)
{
    xbase::TApolloTable from;
    if (sourceFiles)
        from.setFileSystem(sourceFiles);
    from.DatabaseName = sourceFolder;
    from.TableName = store::sermonTableName();
    if (files::sameFile(from.tablePath(), document.table().tablePath()))
        throw EUserError(selfMergeMessage());
    from.Exclusive = true;
    from.ReadOnly = true;
    try {
        from.Open();
    } catch (const xbase::EApolloError &e) {
        // Holding a table alone takes a lock only a writer may set; media
        // nobody may write are read shared (the walk stays bounded).
        if (e.kind() != files::StatusKind::ReadOnly)
            throw;
        from.Exclusive = false;
        from.Open();
    }
    const QString unreadable = unreadableReason(from.fit());
    if (!unreadable.isEmpty())
        throw EUserError(xbase::texts::unableToOpen(from.tablePath()) + QStringLiteral("\r") + unreadable);
    return mergeRecords(document, from, store::CollectionPaths(sourceFolder), progress);
}

MergeOutcome mergeRecords(store::CollectionDocument &document, xbase::TApolloTable &from,
                          const store::CollectionPaths &source, Progress *progress)
{
    xbase::TApolloTable &table = document.table();
    const store::CollectionPaths &target = document.paths();
    from.SetOrder(0);
    MergeOutcome outcome;
    const xbase::TableFit fit = from.fit();
    outcome.counted = fit.headerCount;
    outcome.missing = fit.missing();
    // The records there now and no more: a source that grows while it is
    // walked (the open collection itself, or a program ignoring the lock)
    // would otherwise be walked without end.
    const uint32_t last = fit.records;
    BulkAddition run(table, unsigned(xbase::TableEvent::AfterScroll) | unsigned(xbase::TableEvent::AfterInsert));
    store::ManuscriptNames names(target.folder());
    if (progress)
        progress->start(last);
    QHash<QString, QString> folders;
    // The records go in as one append: the index is written once, at the
    // end. Should the table fail, it is cut back to what it was and the
    // files this run made go again; a sermon whose files cannot be copied
    // ends the run with the sermons before it kept.
    QStringList made;
    const auto mergeAll = [&] {
        for (store::ViewWalk walk(from); !walk.done() && walk.record() <= last; walk.next()) {
            const qsizetype before = made.size();
            const bool added = run.add([&] {
                const QString context = cp949::decode(from.GetString(QByteArrayLiteral("CONTEXT")));
                const QString merged = mergedContext(context, names.next(table.RecCount()));
                if (!merged.isEmpty()) {
                    const QString data = copyStored(source, QStringLiteral("data\\") + context, target,
                                                    QStringLiteral("data\\") + merged, folders);
                    if (!data.isEmpty())
                        made << data;
                    const QString text = copyStored(source, QStringLiteral("text\\") + textCopyName(context), target,
                                                    QStringLiteral("text\\") + store::textCopyName(merged), folders);
                    if (!text.isEmpty())
                        made << text;
                }
                table.Append();
                for (int f = 1; f <= table.FieldCount(); ++f) {
                    const QByteArray field = table.FieldName(f);
                    if (from.FieldPos(field) != 0)
                        putCut(table, field, from.GetString(field));
                }
                putCut(table, QByteArrayLiteral("CONTEXT"), cp949::encodeLossy(merged));
                table.Post();
                ++outcome.merged;
            });
            if (!added) {
                removeMade(made.mid(before));
                outcome.error = run.error();
                return;
            }
            if (progress)
                progress->advanceTo(walk.record());
        }
    };
    const auto undoFiles = [&] {
        // Files of records the table could not cut back stay theirs.
        if (table.RecordsLeftByBatch() == 0)
            removeMade(made);
    };
    table.BeginAppendBatch();
    try {
        mergeAll();
        if (table.InAppendBatch()) {
            table.CommitAppendBatch();
        } else {
            // A record failed to post: the batch is undone already.
            undoFiles();
            outcome.merged = int(table.RecordsLeftByBatch());
        }
    } catch (...) {
        try {
            table.RollbackAppendBatch();
        } catch (...) {
            // The error that ended the run is the one reported.
        }
        undoFiles();
        throw;
    }
    return outcome;
}

QString refusedCollectionName(const QString &name, const QString &programFolder)
{
    if (name.startsWith(QLatin1Char('_')))
        return QStringLiteral("설교집 이름의 첫문자로 ( _ )를 사용하지 마십시오.\r설교집 이름을 다시 입력해주십시오.");
    for (const QChar c : name)
        if (QStringView(u"\"*./:;<>?\\|").contains(c))
            return QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.");
    if (name.isEmpty() || !paths::resolveExisting(programFolder, name).isEmpty())
        return QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오.");
    return QString();
}

void extractCollection(store::CollectionDocument &document, const QString &newFolder, Progress *progress)
{
    // Only a folder made here is ever removed again.
    if (QFileInfo::exists(newFolder))
        throw EUserError(QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오."));
    if (!QDir().mkpath(newFolder + QStringLiteral("/data")) || !QDir().mkpath(newFolder + QStringLiteral("/text"))) {
        files::removeFolder(newFolder);
        throw EUserError(newFolder + QStringLiteral(" 폴더를 만들 수 없습니다."));
    }
    const store::CollectionPaths &from = document.paths();
    const store::CollectionPaths to(newFolder);
    try {
        const QString tablePath = newFolder + QLatin1Char('/') + store::sermonTableName();
        if (!document.table().CopyFile(tablePath))
            throw EUserError(QStringLiteral("설교 자료를 새 설교집으로 복사하지 못했습니다."));
        xbase::TApolloTable copy;
        copy.DatabaseName = newFolder;
        copy.TableName = store::sermonTableName();
        copy.Exclusive = true;
        copy.Open();
        store::createSermonTags(copy);
        copy.SetOrder(0);
        if (progress)
            progress->start(copy.RecCount());
        QHash<QString, QString> folders;
        for (store::ViewWalk walk(copy); !walk.done(); walk.next()) {
            const QString context = cp949::decode(copy.GetString(QByteArrayLiteral("CONTEXT")));
            const QString data = QStringLiteral("data\\") + context;
            const QString text = QStringLiteral("text\\") + textCopyName(context);
            if (!copyStored(from, data, to, data, folders).isEmpty())
                copyStored(from, text, to, text, folders);
            if (progress)
                progress->advanceTo(copy.RecNo());
        }
    } catch (...) {
        files::removeFolder(newFolder);
        throw;
    }
}

} // namespace verbana::exchange
