// SPDX-License-Identifier: GPL-3.0-or-later
// import, merge, extract: the 일괄입력 imports and moving sermons between
// collections, from scripts.
#include "cli.h"
#include "collection_cli.h"

#include "exchange/batch_import.h"
#include "exchange/foreign_tables.h"
#include "exchange/merge_extract.h"
#include "platform/cp949.h"
#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace verbana::cli {
namespace {

// The end of a bulk run: its message on standard output when every sermon
// came, on standard error (exit 1) otherwise.
int told(bool complete, const QString &message)
{
    if (!complete) {
        err(message);
        return Failed;
    }
    out(QString(message).replace(QLatin1Char('\r'), QLatin1Char(' ')) + QLatin1Char('\n'));
    return Ok;
}

int importFiles(store::CollectionDocument &document, exchange::ImportKind kind, const QStringList &files)
{
    if (kind == exchange::ImportKind::Hwp)
        if (const QString refusal = exchange::hwpImportRefusal(); !refusal.isEmpty()) {
            err(refusal);
            return Failed;
        }
    QStringList paths;
    for (const QString &f : files) {
        if (!QFileInfo(f).isFile()) {
            err(QStringLiteral("no file: %1; nothing was imported").arg(f));
            return Failed;
        }
        paths << QFileInfo(f).absoluteFilePath();
    }
    exchange::ImportOutcome outcome;
    {
        TerminalProgress progress(QStringLiteral("import"));
        outcome = exchange::runBatchImport(kind, document, paths, &progress);
    }
    if (!outcome.failed.isEmpty() && outcome.error.isEmpty()) {
        out(outcome.message() + QLatin1Char('\n'));
        err(QStringLiteral("not imported: %1").arg(outcome.failed.join(QStringLiteral(", "))));
        return Failed;
    }
    return told(outcome.error.isEmpty(), outcome.message());
}

int importTable(store::CollectionDocument &document, const QString &kind, const QString &file, const QString &titles)
{
    xbase::TApolloTable foreign;
    exchange::CopyOutcome outcome;
    if (kind == QLatin1String("biblora")) {
        exchange::openBibloraTable(foreign, file);
        TerminalProgress progress(QStringLiteral("import"));
        outcome = exchange::importBiblora(document, foreign, &progress);
    } else {
        std::array<QByteArray, 4> fields;
        const std::array<QString, 4> presets = exchange::notaviaPresets();
        const QStringList labels = titles.isNull() ? QStringList(presets.begin(), presets.end())
                                                   : titles.split(QLatin1Char(','));
        for (size_t i = 0; i < fields.size() && labels.size() == qsizetype(fields.size()); ++i)
            fields[i] = exchange::notaviaField(labels[qsizetype(i)].trimmed());
        if (std::any_of(fields.begin(), fields.end(), [](const QByteArray &f) { return f.isEmpty(); })) {
            err(QStringLiteral("--titles needs four of %1").arg(exchange::notaviaLabels().join(QLatin1Char(','))));
            return Usage;
        }
        exchange::openNotaviaTable(foreign, file);
        if (const QString refusal = exchange::notaviaRefusal(foreign); !refusal.isEmpty()) {
            err(refusal);
            return Failed;
        }
        TerminalProgress progress(QStringLiteral("import"));
        outcome = exchange::importNotavia(document, foreign, fields, &progress);
    }
    return told(outcome.complete(), outcome.message());
}

int import(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {QStringLiteral("titles")}, {}, o) || o.positional.size() < 3)
        return usageError("import");
    const QString kind = o.positional[1];
    const QStringList files = o.positional.mid(2);
    const bool table = kind == QLatin1String("biblora") || kind == QLatin1String("notavia");
    if (!table && kind != QLatin1String("hwp") && kind != QLatin1String("text"))
        return usageError("import");
    if ((table && files.size() != 1) || (o.has(QStringLiteral("titles")) && kind != QLatin1String("notavia")))
        return usageError("import");
    return withCollection(o.positional[0], Change::Yes, [&](store::CollectionDocument &document) {
        if (table)
            return importTable(document, kind, files[0], o.values.value(QStringLiteral("titles")));
        return importFiles(document, kind == QLatin1String("hwp") ? exchange::ImportKind::Hwp : exchange::ImportKind::Text,
                           files);
    });
}

int merge(const QStringList &args)
{
    if (args.size() != 2)
        return usageError("merge");
    const QString source = args[1];
    if (!QFileInfo(source).isDir()) {
        err(QStringLiteral("not a folder: %1").arg(source));
        return Failed;
    }
    return withCollection(args[0], Change::Yes, [&](store::CollectionDocument &document) {
        exchange::MergeOutcome outcome;
        {
            TerminalProgress progress(QStringLiteral("merge"));
            outcome = exchange::mergeCollection(document, QDir::cleanPath(QFileInfo(source).absoluteFilePath()), &progress);
        }
        return told(outcome.complete(), outcome.message());
    });
}

int extract(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {QStringLiteral("query")}, {}, o) || o.positional.size() != 2)
        return usageError("extract");
    const QFileInfo target(QDir::cleanPath(QFileInfo(o.positional[1]).absoluteFilePath()));
    const QString parent = target.absolutePath();
    if (!QFileInfo(parent).isDir()) {
        err(QStringLiteral("not a folder: %1").arg(parent));
        return Failed;
    }
    const QString refusal = exchange::refusedCollectionName(target.fileName(), parent);
    if (!refusal.isEmpty()) {
        err(refusal);
        return Failed;
    }
    const cp949::Encoded query = cp949::encode(o.values.value(QStringLiteral("query")));
    if (!query.ok()) {
        err(QStringLiteral("the query holds characters code page 949 cannot hold: %1").arg(query.unmappable));
        return Usage;
    }
    return withCollection(o.positional[0], Change::No, [&](store::CollectionDocument &document) {
        if (!query.bytes.isEmpty())
            document.table().Query(query.bytes);
        {
            TerminalProgress progress(QStringLiteral("extract"));
            exchange::extractCollection(document, parent + QLatin1Char('/') + target.fileName(), &progress);
        }
        out(QStringLiteral("%1 sermons extracted into %2\n").arg(document.table().Count()).arg(target.filePath()));
        return int(Ok);
    });
}

const Registration importCommand(
    {"import", "DIR hwp|text FILE... | DIR biblora|notavia TABLE [--titles L1,L2,L3,L4]",
     "add sermons to the collection DIR as 일괄입력 does: each HWP file (converted by Hwp2txt) or TXT, RTF or CAP "
     "file becomes a sermon, its file copied in as the manuscript; or every record of a Biblora sermon table or of "
     "a Notavia note table (its .DBF or .smt file) becomes one. --titles names the sermon fields the four Notavia "
     "titles go to (the window's labels; 제목,부제목,주제,비고 when absent). The files given are only read. Exit 1 "
     "when a file was not imported or an error ended the run (the sermons before it stay).",
     import});
const Registration mergeCommand(
    {"merge", "DIR SOURCE_DIR",
     "append every sermon of the collection SOURCE_DIR to the collection DIR, manuscripts and text copies copied "
     "under fresh names, as 다른 설교집 불러와서 합치기 does; SOURCE_DIR is only read.",
     merge});
const Registration extractCommand(
    {"extract", "DIR NEW_DIR [--query EXPR]",
     "make the new collection NEW_DIR out of the sermons of DIR (those meeting the xBase expression EXPR when given), "
     "with their manuscripts and text copies, as 새 설교집으로 뽑아내기 does. NEW_DIR must not exist; DIR is not "
     "changed.",
     extract});

} // namespace
} // namespace verbana::cli
