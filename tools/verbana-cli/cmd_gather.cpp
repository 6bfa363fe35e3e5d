// SPDX-License-Identifier: GPL-3.0-or-later
// gather: 찾아모으기 from scripts, with its counts, its list and its two
// batch deletions.
#include "cli.h"
#include "collection_cli.h"
#include "csv.h"

#include "platform/cp949.h"
#include "search/gathering.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/apollo_table.h"

namespace verbana::cli {
namespace {

constexpr int kRows = 4; // the gathering window's rows and boxes

enum class Action { Count, List, Delete, DeleteOthers };

// "FIELD=WORD" conditions of the field page; the word keeps the window's
// marks (= blank, # not blank, ~ not containing).
bool fieldRows(const QStringList &conditions, const xbase::TApolloTable &table,
               std::vector<search::FieldCondition> &rows)
{
    for (const QString &c : conditions) {
        const qsizetype eq = c.indexOf(QLatin1Char('='));
        const int field = eq > 0 ? table.FieldPos(c.left(eq).toLatin1()) : 0;
        if (field == 0) {
            err(QStringLiteral("not FIELD=WORD with a field of the sermon table: %1").arg(c));
            return false;
        }
        const cp949::Encoded word = cp949::encode(c.mid(eq + 1));
        if (!word.ok()) {
            err(QStringLiteral("the word holds characters code page 949 cannot hold: %1").arg(word.unmappable));
            return false;
        }
        rows.push_back({cp949::upperAscii(table.FieldName(field)), word.bytes});
    }
    return true;
}

bool manuscriptQuery(const QStringList &words, search::ManuscriptQuery &query)
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        const cp949::Encoded word = cp949::encode(words[i]);
        if (!word.ok() || word.bytes.size() > search::kManuscriptWordBytes) {
            err(QStringLiteral("a word holds at most %1 bytes of code page 949: %2")
                    .arg(search::kManuscriptWordBytes)
                    .arg(words[i]));
            return false;
        }
        query.words[size_t(i)] = word.bytes;
    }
    return true;
}

void listView(xbase::TApolloTable &table)
{
    out(QStringLiteral("_recno,date1,title1,bible1\n"));
    store::forEachInView(table, nullptr, [&] {
        QStringList row{QString::number(table.RecNo())};
        for (int f : {store::fDATE1, store::fTITLE1, store::fBIBLE1})
            row << csv::quote(cp949::decode(table.GetString(f)).trimmed());
        out(row.join(QLatin1Char(',')) + QLatin1Char('\n'));
    });
}

int act(store::CollectionDocument &document, Action action)
{
    xbase::TApolloTable &table = document.table();
    const bool gathered = search::isGathered(table);
    switch (action) {
    case Action::Count:
        out(QStringLiteral("%1\n").arg(gathered ? table.Count() : 0));
        return Ok;
    case Action::List:
        if (gathered)
            listView(table);
        return Ok;
    case Action::Delete:
        // Nothing gathered is not "everything in view": nothing goes.
        out(QStringLiteral("%1 sermons deleted\n").arg(gathered ? search::deleteGathered(document) : 0));
        return Ok;
    case Action::DeleteOthers:
        if (!gathered) {
            err(QStringLiteral("nothing was gathered; nothing was deleted"));
            return Failed;
        }
        out(QStringLiteral("%1 sermons deleted\n").arg(search::deleteNotGathered(document)));
        return Ok;
    }
    return Failed;
}

int gather(const QStringList &args)
{
    Options o;
    const QStringList flags{QStringLiteral("fields"), QStringLiteral("manuscripts"), QStringLiteral("all"),
                            QStringLiteral("count"),  QStringLiteral("list"),        QStringLiteral("delete"),
                            QStringLiteral("delete-others")};
    if (!parseOptions(args, {}, flags, o) || o.positional.size() < 2 || o.positional.size() > kRows + 1
        || o.has(QStringLiteral("fields")) == o.has(QStringLiteral("manuscripts")))
        return usageError("gather");
    Action action = Action::Count;
    int actions = 0;
    for (const auto &[flag, a] : {std::pair{"count", Action::Count}, std::pair{"list", Action::List},
                                  std::pair{"delete", Action::Delete}, std::pair{"delete-others", Action::DeleteOthers}})
        if (o.has(QLatin1String(flag))) {
            action = a;
            ++actions;
        }
    if (actions > 1)
        return usageError("gather");
    const QStringList words = o.positional.mid(1);
    const bool useAnd = o.has(QStringLiteral("all"));
    const Change change = action == Action::Delete || action == Action::DeleteOthers ? Change::Yes : Change::No;
    return withCollection(o.positional[0], change, [&](store::CollectionDocument &document) {
        if (o.has(QStringLiteral("fields"))) {
            std::vector<search::FieldCondition> rows;
            if (!fieldRows(words, document.table(), rows))
                return int(Usage);
            if (!search::gatherFields(document, rows, useAnd)) {
                err(QStringLiteral("no condition has a word"));
                return int(Usage);
            }
        } else {
            search::ManuscriptQuery query;
            query.useAnd = useAnd;
            if (!manuscriptQuery(words, query))
                return int(Usage);
            TerminalProgress progress(QStringLiteral("gather"));
            search::gatherManuscripts(document, query, &progress);
        }
        return act(document, action);
    });
}

const Registration gatherCommand(
    {"gather", "DIR (--fields FIELD=WORD... | --manuscripts WORD...) [--all] [--count | --list | --delete | --delete-others]",
     "찾아모으기 on the collection DIR: sermons whose fields meet up to four conditions FIELD=WORD (WORD found in the "
     "field, letter case of a-z ignored; =: the field is blank, #: not blank, ~WORD: WORD not in it), or whose text "
     "copies hold up to four words; any condition or word, or --all of them. Then --count (the default) prints how "
     "many were gathered, --list lists them as CSV (record number, date1, title1, bible1), --delete deletes them with "
     "their manuscripts and text copies, --delete-others deletes every other sermon (refused when nothing was "
     "gathered).",
     gather});

} // namespace
} // namespace verbana::cli
