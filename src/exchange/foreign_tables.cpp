// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/foreign_tables.h"

#include "exchange/batch_import.h"
#include "exchange/bulk_addition.h"
#include "exchange/record_values.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/progress.h"
#include "platform/user_error.h"
#include "richtext/richtext.h"
#include "store/collection_document.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/apollo_table.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace verbana::exchange {

namespace {

QByteArray joinedNames(const xbase::TApolloTable &t, int count)
{
    QByteArray joined;
    for (int i = 1; i <= count; ++i)
        joined += t.FieldName(i);
    return cp949::upperAscii(joined);
}

// The date in the foreign table's field `name`: a date field as its value
// reads ("yyyymmdd"), a character field only in the form "yyyy.mm.dd";
// empty when it is no date.
QByteArray dateOf(xbase::TApolloTable &foreign, const QByteArray &name)
{
    const bool dateField = foreign.FieldType(name) == "D";
    const QDate d = QDate::fromString(QString::fromLatin1(foreign.GetString(name)),
                                      dateField ? QStringLiteral("yyyyMMdd") : QStringLiteral("yyyy.MM.dd"));
    return store::DateText(d).toLatin1();
}

// Writes the manuscript and text copy of a memo for a new sermon and sets
// CONTEXT (and BRIEF when asked); the files are removed again unless the
// record is posted.
struct MemoFiles {
    QStringList made;
    bool kept = false;
    ~MemoFiles()
    {
        if (!kept)
            removeMade(made);
    }
    void write(xbase::TApolloTable &table, const store::CollectionPaths &collection, const QString &name,
               const QByteArray &memo, bool brief)
    {
        const QByteArray bytes = memo + QByteArray(1, '\0');
        const QString context = store::ReplaceExtension(name, QStringLiteral(".RTF"));
        const QString k = kFolderOf(name);
        const QString data = freshPath(makeFolder(collection, QStringLiteral("data\\") + k), context);
        const QString text = freshPath(makeFolder(collection, QStringLiteral("text\\") + k), name);
        const QByteArray copy = textCopyOfMemo(bytes);
        made << text << data;
        if (!files::writeWholeFile(text, copy) || !files::writeWholeFile(data, bytes))
            throw EUserError(data + QStringLiteral(" 파일을 만들 수 없습니다."));
        putCut(table, QByteArrayLiteral("CONTEXT"), cp949::encodeLossy(context));
        if (brief) {
            const qsizetype end = copy.indexOf('\0');
            putCut(table, QByteArrayLiteral("BRIEF"), briefFromBytes(end < 0 ? copy : copy.left(end)));
        }
    }
};

template <typename Fill>
CopyOutcome copyRecords(store::CollectionDocument &document, xbase::TApolloTable &foreign, Fill fill,
                        Progress *progress)
{
    CopyOutcome outcome;
    const xbase::TableFit fit = foreign.fit();
    outcome.counted = fit.headerCount;
    outcome.missing = fit.missing();
    xbase::TApolloTable &table = document.table();
    BulkAddition run(table);
    store::ManuscriptNames names(document.paths().folder());
    table.Query(QByteArray());
    foreign.SetOrder(0);
    if (progress)
        progress->start(foreign.RecCount());
    for (store::ViewWalk walk(foreign); !walk.done(); walk.next()) {
        const bool added = run.add([&] {
            MemoFiles files;
            const QString name = names.next(table.RecCount());
            table.Append();
            fill(name, files);
            table.Post();
            files.kept = true;
            ++outcome.copied;
        });
        if (!added) {
            outcome.error = run.error();
            break;
        }
        if (progress)
            progress->tick();
    }
    return outcome;
}

} // namespace

void openForeign(xbase::TApolloTable &table, const QString &dbfPath, const QString &openFailure)
{
    table.Close();
    const QFileInfo info(dbfPath);
    table.DatabaseName = info.absolutePath();
    table.TableName = info.fileName();
    table.TableType = xbase::ttSXNSX;
    table.ReadOnly = true;
    QString reason;
    try {
        table.Open();
        reason = unreadableReason(table.fit());
    } catch (const EUserError &) {
        table.Close();
        throw EUserError(openFailure);
    }
    if (!reason.isEmpty()) {
        table.Close();
        throw EUserError(openFailure + QStringLiteral("\r") + reason);
    }
}

bool isBibloraTable(const xbase::TApolloTable &t)
{
    if (t.FieldCount() != 21 || joinedNames(t, 6) != "DATE1TITLE1TITLE2SUBJECTBIBLE1BIBLENO")
        return false;
    return t.FieldType(QByteArrayLiteral("date1")) == "D" || t.FieldType(t.FieldName(15)) == "D";
}

bool isNotaviaTable(const xbase::TApolloTable &t)
{
    if (t.FieldCount() != 10 || joinedNames(t, 10) != "MMMKNOCHKLOCKTYPEBIBLETIT1TIT2TIT3TIT4")
        return false;
    const QByteArray type = t.FieldType(QByteArrayLiteral("MMM"));
    return type == "M" || type == "B";
}

QString notaviaTablePath(const QString &memoPath)
{
    const QFileInfo info(memoPath);
    return paths::resolve(info.absolutePath(), info.completeBaseName() + QStringLiteral(".DBF"));
}

void openBibloraTable(xbase::TApolloTable &table, const QString &dbfPath)
{
    openForeign(table, dbfPath, QStringLiteral("Biblora의 Verbana 파일이 맞습니까?\r파일을 열 수 없습니다."));
    if (isBibloraTable(table))
        return;
    table.Close();
    throw EUserError(QStringLiteral("Biblora의 Verbana 파일이 아닙니다."));
}

void openNotaviaTable(xbase::TApolloTable &table, const QString &file)
{
    openForeign(table, notaviaTablePath(file), QStringLiteral("Notavia용 파일이 맞습니까?\r파일을 열 수 없습니다."));
}

QString notaviaRefusal(xbase::TApolloTable &table)
{
    if (!isNotaviaTable(table))
        return QStringLiteral("Notavia용 파일이 아닙니다.");
    if (table.Count() == 0)
        return QStringLiteral("내용이 없고, 비어있는 파일입니다.");
    return QString();
}

const QStringList &notaviaLabels()
{
    static const QStringList labels{
        QStringLiteral("제목"),     QStringLiteral("작성일"),   QStringLiteral("부제목"),   QStringLiteral("주제"),
        QStringLiteral("성경본문"), QStringLiteral("참고구절"), QStringLiteral("참고자료"), QStringLiteral("설교형식"),
        QStringLiteral("설교방향"), QStringLiteral("예배종류"), QStringLiteral("비고"),     QStringLiteral("설교일"),
        QStringLiteral("설교장소"), QStringLiteral("설교시간"), QStringLiteral("설교횟수"), QStringLiteral("청중반응"),
        QStringLiteral("자기평가")};
    return labels;
}

QByteArray notaviaField(const QString &label)
{
    static const char *fields[] = {"TITLE1", "DATE1", "TITLE2", "SUBJECT", "BIBLE1", "BIBLE2", "BOOK", "STYPE", "AIM",
                                   "SACRE",  "ETCS",  "DATE2",  "WHERE",   "LONG",   "TIMES",  "REFLEX", "SELFDIC"};
    const qsizetype i = notaviaLabels().indexOf(label);
    return i < 0 ? QByteArray() : QByteArray(fields[i]);
}

std::array<QString, 4> notaviaPresets()
{
    return {QStringLiteral("제목"), QStringLiteral("부제목"), QStringLiteral("주제"), QStringLiteral("비고")};
}

QByteArray textCopyOfMemo(const QByteArray &memo)
{
    if (!memo.startsWith("{\\rtf1\\"))
        return memo;
    return richtext::plainTextOf(memo).bytes;
}

QString CopyOutcome::message() const
{
    QString text = QStringLiteral("내용 복사 완료 (") + QString::number(copied) + QStringLiteral("개)");
    if (!error.isEmpty())
        text = error + QStringLiteral("\r") + text;
    if (missing)
        text += QStringLiteral("\r파일이 잘려 있어, 표에 적힌 자료 %1개 중 %2개가 파일에 없습니다.").arg(counted).arg(missing);
    return text;
}

CopyOutcome importBiblora(store::CollectionDocument &document, xbase::TApolloTable &foreign, Progress *progress)
{
    xbase::TApolloTable &table = document.table();
    // Every sermon field but DATE1, TITLE1, CONTEXT and DATE2 is copied by
    // name, as the open table names them.
    QList<QByteArray> byName;
    for (int f = 1; f <= table.FieldCount(); ++f)
        if (f != store::fDATE1 && f != store::fTITLE1 && f != store::fCONTEXT && f != store::fDATE2)
            byName << table.FieldName(f);
    return copyRecords(
        document, foreign,
        [&](const QString &name, MemoFiles &files) {
            putCut(table, QByteArrayLiteral("TITLE1"), foreign.GetString(QByteArrayLiteral("title1")));
            putCut(table, QByteArrayLiteral("DATE1"), dateOf(foreign, QByteArrayLiteral("date1")));
            putCut(table, QByteArrayLiteral("DATE2"), dateOf(foreign, QByteArrayLiteral("date2")));
            for (const QByteArray &field : byName) {
                if (foreign.FieldPos(field) == 0)
                    throw EUserError(QString::fromLatin1(field) + QStringLiteral(" 필드가 없습니다."));
                putCut(table, field, foreign.GetString(field));
            }
            files.write(table, document.paths(), name, foreign.GetMemo(QByteArrayLiteral("context")), false);
        },
        progress);
}

CopyOutcome importNotavia(store::CollectionDocument &document, xbase::TApolloTable &notes,
                          const std::array<QByteArray, 4> &fields, Progress *progress)
{
    xbase::TApolloTable &table = document.table();
    return copyRecords(
        document, notes,
        [&](const QString &name, MemoFiles &files) {
            for (int i = 0; i < 4; ++i)
                if (!fields[i].isEmpty())
                    putCut(table, fields[i], notes.GetString(QByteArrayLiteral("TIT") + QByteArray::number(i + 1)));
            files.write(table, document.paths(), name, notes.GetMemo(QByteArrayLiteral("MMM")), true);
        },
        progress);
}

} // namespace verbana::exchange
