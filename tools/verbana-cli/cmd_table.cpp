// SPDX-License-Identifier: GPL-3.0-or-later
// Table commands: create, info, dump, load, reindex, pack.
#include "cli.h"
#include "csv.h"
#include "table_cli.h"

#include "platform/cp949.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <memory>

namespace verbana::cli {
namespace {

using xbase::EApolloError;
using xbase::TApolloTable;

QString text(const QByteArray &cp949) { return cp949::decode(cp949); }

int create(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("create");
    const QString dir = args[0];
    if (QFileInfo::exists(dir + QStringLiteral("/sul2file.dbf"))) {
        err(QStringLiteral("%1 already holds a sermon table").arg(dir));
        return Failed;
    }
    if (!QDir().mkpath(dir + QStringLiteral("/data")) || !QDir().mkpath(dir + QStringLiteral("/text"))) {
        err(QStringLiteral("cannot make the folders of %1").arg(dir));
        return Failed;
    }
    try {
        TApolloTable table;
        if (!store::createSermonTableFile(table, dir + QStringLiteral("/sul2file.dbf"))) {
            err(QStringLiteral("cannot create %1/sul2file.dbf").arg(dir));
            return Failed;
        }
        auto t = openTable(dir + QStringLiteral("/sul2file.dbf"), Access::Exclusive);
        store::createSermonTags(*t);
        t->Close();
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    out(QStringLiteral("created %1\n").arg(dir));
    return Ok;
}

int info(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("info");
    try {
        auto t = openTable(args[0], Access::Read);
        const auto &h = t->dbf()->header();
        out(QStringLiteral("table: %1\nfirst byte: 0x%2\nlast update: %3-%4-%5\nrecords: %6\nheader length: %7\n"
                           "record length: %8\nflags: 0x%9\n")
                .arg(t->dbf()->path())
                .arg(h.version, 2, 16, QLatin1Char('0'))
                .arg(1900 + h.year).arg(h.month, 2, 10, QLatin1Char('0')).arg(h.day, 2, 10, QLatin1Char('0'))
                .arg(h.recordCount).arg(h.headerLength).arg(h.recordLength)
                .arg(h.flags, 2, 16, QLatin1Char('0')));
        out(QStringLiteral("fields: %1\n").arg(t->FieldCount()));
        for (const auto &f : t->fields())
            out(QStringLiteral("  %1 %2 %3 %4\n").arg(QString::fromLatin1(f.name), -10).arg(QLatin1Char(f.type))
                    .arg(f.length, 4).arg(f.decimals));
        out(QStringLiteral("tags: %1\n").arg(t->TagCount()));
        for (int i = 1; i <= t->TagCount(); ++i)
            out(QStringLiteral("  %1 %2 key %3\n").arg(i).arg(QString::fromLatin1(t->TagName(i)), -10)
                    .arg(QString::fromLatin1(t->TagKey(i))));
        if (!t->indexProblem().isEmpty())
            out(QStringLiteral("index problem: %1\n").arg(t->indexProblem()));
        const uint32_t all = t->RecCount();
        const uint32_t visible = t->Count();
        out(QStringLiteral("counts: %1 records, %2 live, %3 deleted\n").arg(all).arg(visible).arg(all - visible));
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    return Ok;
}

int dump(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {QStringLiteral("order"), QStringLiteral("query"), QStringLiteral("format")},
                      {QStringLiteral("deleted")}, o)
        || o.positional.size() != 1)
        return usageError("dump");
    const QString format = o.values.value(QStringLiteral("format"), QStringLiteral("csv"));
    if (format != QLatin1String("csv") && format != QLatin1String("json"))
        return usageError("dump");
    try {
        auto t = openTable(o.positional[0], Access::Read);
        const bool showDeleted = o.has(QStringLiteral("deleted"));
        t->SetShowDeleted(showDeleted);
        if (o.has(QStringLiteral("order"))) {
            const int order = t->TagArea(o.values[QStringLiteral("order")].toLatin1());
            if (order == 0) {
                err(QStringLiteral("no tag %1").arg(o.values[QStringLiteral("order")]));
                return Failed;
            }
            if (!t->indexProblem().isEmpty()) {
                err(QStringLiteral("the index cannot be trusted (%1): `verbana-cli reindex` rebuilds it")
                        .arg(t->indexProblem()));
                return Failed;
            }
            t->SetOrder(order);
        }
        if (o.has(QStringLiteral("query"))) {
            const cp949::Encoded q = cp949::encode(o.values[QStringLiteral("query")]);
            if (!q.ok()) {
                err(QStringLiteral("the query holds characters code page 949 cannot hold: %1").arg(q.unmappable));
                return Failed;
            }
            t->Query(q.bytes);
        }
        const int n = t->FieldCount();
        QStringList header{QStringLiteral("_recno")};
        if (showDeleted)
            header << QStringLiteral("_deleted");
        for (int i = 1; i <= n; ++i)
            header << QString::fromLatin1(t->FieldName(i));
        QJsonArray rows;
        if (format == QLatin1String("csv"))
            out(header.join(QLatin1Char(',')) + QLatin1Char('\n'));
        for (t->GoTop(); t->RecNo() != 0;) {
            QStringList values{QString::number(t->RecNo())};
            if (showDeleted)
                values << (t->Deleted() ? QStringLiteral("*") : QString());
            for (int i = 1; i <= n; ++i)
                values << text(t->GetString(i));
            if (format == QLatin1String("csv")) {
                for (QString &v : values)
                    v = csv::quote(v);
                out(values.join(QLatin1Char(',')) + QLatin1Char('\n'));
            } else {
                QJsonObject obj;
                obj.insert(QStringLiteral("_recno"), qint64(t->RecNo()));
                if (showDeleted)
                    obj.insert(QStringLiteral("_deleted"), t->Deleted());
                for (int i = 1; i <= n; ++i)
                    obj.insert(header[i + (showDeleted ? 1 : 0)], values[i + (showDeleted ? 1 : 0)]);
                rows.append(obj);
            }
            const uint32_t before = t->RecNo();
            t->Skip(1);
            if (t->Eof() && t->RecNo() == before)
                break;
        }
        if (format == QLatin1String("json"))
            out(QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Indented)));
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    return Ok;
}

QByteArray readStdin()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

// Maps the header's columns to field numbers; columns starting with "_" (as
// dump writes them) map to 0. Returns an error message, empty when fine.
QString mapColumns(TApolloTable &t, const csv::Row &head, QList<int> &target)
{
    for (const QString &name : head.fields) {
        if (name.startsWith(QLatin1Char('_'))) {
            target << 0;
            continue;
        }
        const int pos = t.FieldPos(name.toLatin1());
        if (pos == 0 || t.fields()[size_t(pos - 1)].type != 'C')
            return QStringLiteral("line %1: %2 is not a character field of the table").arg(head.line).arg(name);
        if (target.contains(pos))
            return QStringLiteral("line %1: the column %2 appears twice").arg(head.line).arg(name);
        target << pos;
    }
    return {};
}

// Every value encoded and checked against its field; an error message, empty
// when every value fits.
QString encodeRows(TApolloTable &t, const csv::Row &head, const QList<csv::Row> &rows, const QList<int> &target,
                   QList<QList<QByteArray>> &encoded)
{
    for (const csv::Row &row : rows) {
        if (row.fields.size() != head.fields.size())
            return QStringLiteral("line %1: %2 values, the header has %3").arg(row.line).arg(row.fields.size())
                .arg(head.fields.size());
        QList<QByteArray> values;
        for (qsizetype i = 0; i < row.fields.size(); ++i) {
            if (target[i] == 0) {
                values << QByteArray();
                continue;
            }
            const cp949::Encoded e = cp949::encode(row.fields[i]);
            const QString field = QString::fromLatin1(t.FieldName(target[i]));
            if (!e.ok())
                return QStringLiteral("line %1: %2 holds characters code page 949 cannot hold: %3").arg(row.line)
                    .arg(field, e.unmappable);
            if (e.bytes.size() > t.FieldWidth(target[i]))
                return QStringLiteral("line %1: %2 is %3 bytes long, the field holds %4").arg(row.line).arg(field)
                    .arg(e.bytes.size()).arg(t.FieldWidth(target[i]));
            values << e.bytes;
        }
        encoded << values;
    }
    return {};
}

int load(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("load");
    QList<csv::Row> rows;
    csv::Error bad;
    if (!csv::parse(readStdin(), rows, bad)) {
        err(QStringLiteral("line %1: %2").arg(bad.line).arg(bad.what));
        return Failed;
    }
    if (rows.isEmpty()) {
        err(QStringLiteral("no header row"));
        return Failed;
    }
    std::unique_ptr<TApolloTable> t;
    bool batch = false;
    try {
        t = openTable(args[0], Access::Shared);
        const csv::Row head = rows.takeFirst();
        QList<int> target;
        QList<QList<QByteArray>> encoded;
        QString refused = mapColumns(*t, head, target);
        if (refused.isEmpty())
            refused = encodeRows(*t, head, rows, target, encoded);
        if (!refused.isEmpty()) {
            err(refused);
            return Failed;
        }
        const QStringList damage = t->structuralFaults();
        if (!damage.isEmpty())
            throw EApolloError(xbase::texts::damaged(damage.first()), QString(), xbase::StatusKind::Corruption);
        // All rows or none: one append lock and index lock for the lot, and
        // the table cut back to where it was on any failure.
        t->DisableControls();
        batch = true;
        t->BeginAppendBatch();
        for (const QList<QByteArray> &values : encoded) {
            t->Append();
            for (qsizetype i = 0; i < values.size(); ++i)
                if (target[i])
                    t->PutString(target[i], values[i]);
            t->Post();
        }
        t->CommitAppendBatch();
        t->EnableControls();
        out(QStringLiteral("appended %1 records\n").arg(encoded.size()));
    } catch (const EApolloError &e) {
        const int code = engineFailure(e);
        if (batch) {
            const uint32_t left = t->RecordsLeftByBatch();
            err(left == 0 ? QStringLiteral("no rows were appended")
                          : QStringLiteral("%1 rows were appended: the table could not be cut back").arg(left));
        }
        return code;
    }
    return Ok;
}

int reindex(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("reindex");
    return rebuildSermonTags(args[0]);
}

int pack(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("pack");
    try {
        auto t = openTable(args[0], Access::Exclusive);
        const uint32_t before = t->RecCount();
        t->Pack();
        out(QStringLiteral("packed: %1 of %2 records kept\n").arg(t->RecCount()).arg(before));
        if (!t->tailKeptAs().isEmpty())
            out(QStringLiteral("bytes found after the last record are kept in %1\n").arg(t->tailKeptAs()));
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    return Ok;
}

Registration r1({"create", "DIR", "make a new collection folder with data/, text/ and the empty sermon table", create});
Registration r2({"info", "TABLE", "header, fields, tags and counts of a table", info});
Registration r3({"dump", "TABLE [--order TAG] [--query EXPR] [--deleted] [--format csv|json]",
                 "print the records in view (UTF-8)", dump});
Registration r4({"load", "TABLE < file.csv",
                 "append records from CSV with a header row of field names; nothing is appended when any value is "
                 "refused",
                 load});
Registration r6({"reindex", "TABLE", "rebuild the four tags of a sermon table", reindex});
Registration r7({"pack", "TABLE", "remove deleted records for good and rebuild the index", pack});

} // namespace
} // namespace verbana::cli
