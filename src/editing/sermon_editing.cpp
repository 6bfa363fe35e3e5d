// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/sermon_editing.h"

#include "bible/bible_books.h"
#include "platform/clock.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace verbana::editing {

using xbase::TableState;

QString deleteWhileEditingText()
{
    return QStringLiteral("자료 수정/추가 중입니다.\r먼저 저장이나 취소 후에 실행하십시오.");
}

QString deleteQuestionText() { return QStringLiteral("현재 설교자료(1편)를 삭제하시겠습니까?"); }

QString bibleRefusedText() { return QStringLiteral("성경본문 구절을 다시 입력하십시오."); }

static QByteArrayView trimControls(QByteArrayView text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && static_cast<unsigned char>(text[from]) <= 0x20)
        ++from;
    while (to > from && static_cast<unsigned char>(text[to - 1]) <= 0x20)
        --to;
    return text.sliced(from, to - from);
}

bool CheckBibleNo(xbase::TApolloTable &table, QByteArrayView bible1)
{
    const QByteArrayView reference = trimControls(bible1);
    if (reference.isEmpty())
        return true;
    const QByteArray key = bible::MakeBibleNo(reference);
    if (key == bible::kRefused)
        return false;
    table.PutString(store::fBIBLENO, key);
    return true;
}

QByteArray todayText() { return clock::today().toString(QStringLiteral("yyyy.MM.dd")).toLatin1(); }

void SermonEditing::bind(xbase::TApolloTable *table, const QString &collectionFolder)
{
    table_ = table;
    folder_ = table ? collectionFolder : QString();
    paths_ = store::CollectionPaths(folder_);
    PendingManuscript.clear();
}

bool SermonEditing::changing() const { return table_ && table_->Active() && table_->State() != TableState::Browse; }

bool SermonEditing::adding() const { return table_ && table_->Active() && table_->State() == TableState::Inserting; }

void SermonEditing::deleteWorkFiles() const
{
    if (folder_.isEmpty())
        return;
    for (const char *name : {"temp.hwp", "temp.hwpx", "temp.rtf", "temp.txt", "temp.bak"}) {
        const QString path = paths::resolveExisting(folder_, QLatin1String(name));
        if (!path.isEmpty())
            files::removeFileOnly(path);
    }
}

bool SermonEditing::add()
{
    if (!table_ || !table_->Active() || changing())
        return false;
    PendingManuscript = store::ReplaceExtension(store::NewManuscriptName(*table_, folder_), QStringLiteral(".RTF"));
    deleteWorkFiles();
    table_->Append();
    table_->PutString(store::fDATE1, todayText());
    return true;
}

bool SermonEditing::edit()
{
    if (!table_ || !table_->Active())
        return false;
    if (changing())
        return true;
    if (table_->RecNo() == 0)
        return false;
    table_->Edit();
    return true;
}

static QString contextOf(const xbase::TApolloTable &table)
{
    return cp949::decode(table.GetString(store::fCONTEXT));
}

QString SermonEditing::context() const
{
    return table_ && table_->Active() ? contextOf(*table_) : QString();
}

void SermonEditing::setContext(const QString &context)
{
    if (!table_ || !table_->Active())
        return;
    const cp949::Encoded name = cp949::encode(context);
    if (!name.ok())
        throw EUserError(QStringLiteral("원고 파일 이름에 쓸 수 없는 글자가 있습니다: ") + name.unmappable);
    if (changing()) {
        table_->PutString(store::fCONTEXT, name.bytes);
        return;
    }
    if (table_->RecNo() == 0)
        return;
    table_->Edit();
    try {
        table_->PutString(store::fCONTEXT, name.bytes);
        table_->Post();
    } catch (...) {
        if (changing())
            table_->Cancel();
        throw;
    }
}

QString moveFailedText(const QString &from, const QString &to)
{
    return QStringLiteral("원고 파일을 제자리로 옮길 수 없어 저장하지 않았습니다.\r") + QDir::toNativeSeparators(from)
           + QStringLiteral(" → ") + QDir::toNativeSeparators(to)
           + QStringLiteral("\r원고는 작업 파일로 그대로 남아 있습니다.");
}

std::vector<SermonEditing::FileMove> SermonEditing::workFileMoves(const QString &context) const
{
    std::vector<FileMove> moves;
    if (!paths::isContained(context))
        return moves;
    const QString extension = QFileInfo(context).suffix().toUpper();
    QString work;
    if (extension == QLatin1String("HWP"))
        work = paths::resolveExisting(folder_, QStringLiteral("temp.hwp"));
    else if (extension == QLatin1String("HWPX"))
        work = paths::resolveExisting(folder_, QStringLiteral("temp.hwpx"));
    else if (extension == QLatin1String("RTF"))
        work = paths::resolveExisting(folder_, QStringLiteral("temp.rtf"));
    if (!work.isEmpty())
        moves.push_back({work, paths::resolve(folder_, QStringLiteral("data/") + context)});
    const QString text = paths::resolveExisting(folder_, QStringLiteral("temp.txt"));
    if (!text.isEmpty())
        moves.push_back(
            {text, paths::resolve(folder_, QStringLiteral("text/")
                                               + store::replaceManuscriptExtension(context, QStringLiteral(".TXT")))});
    return moves;
}

// Moves the work files to their places, all or none: a move that fails
// (an existing target, a folder that cannot be made) puts back the ones
// already made and raises the reason. A work file is never deleted here.
std::vector<SermonEditing::FileMove> SermonEditing::moveWorkFiles(const QString &context) const
{
    std::vector<FileMove> done;
    for (const FileMove &move : workFileMoves(context)) {
        const bool moved = QDir().mkpath(QFileInfo(move.to).absolutePath()) && !QFileInfo::exists(move.to)
                           && QFile::rename(move.from, move.to);
        if (!moved) {
            putBack(done);
            throw EUserError(moveFailedText(move.from, move.to));
        }
        done.push_back(move);
    }
    return done;
}

void SermonEditing::putBack(const std::vector<FileMove> &moves)
{
    for (auto it = moves.rbegin(); it != moves.rend(); ++it)
        (void)QFile::rename(it->to, it->from);
}

SermonEditing::SaveResult SermonEditing::save(QByteArrayView bible1)
{
    if (!changing())
        return SaveResult::NotChanging;
    if (!CheckBibleNo(*table_, bible1))
        return SaveResult::BibleRefused;
    std::vector<FileMove> moved;
    if (adding()) {
        const QString context = contextOf(*table_);
        if (!context.isEmpty())
            moved = moveWorkFiles(context);
    }
    // A post that fails (a lock held by another program) leaves the sermon
    // being added with its manuscript back among the work files.
    try {
        if (changing())
            table_->Post();
    } catch (...) {
        putBack(moved);
        throw;
    }
    deleteWorkFiles();
    return SaveResult::Saved;
}

void SermonEditing::cancel()
{
    deleteWorkFiles();
    if (changing())
        table_->Cancel();
}

void SermonEditing::deleteCurrent()
{
    if (!table_ || !table_->Active() || changing() || table_->RecNo() == 0)
        return;
    const QString context = contextOf(*table_);
    // An empty CONTEXT names the folders text\ and data\ themselves: only
    // files are ever removed here.
    const QString text = paths_.textCopy(context);
    const QString manuscript = paths_.manuscript(context);
    // The record goes first: when the engine refuses (a record locked by
    // another program) the sermon keeps its manuscript.
    table_->Delete();
    if (!text.isEmpty())
        files::removeFileOnly(text);
    if (!manuscript.isEmpty())
        files::removeFileOnly(manuscript);
}

} // namespace verbana::editing
