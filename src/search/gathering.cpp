// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/gathering.h"

#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/progress.h"
#include "store/batch_scope.h"
#include "store/collection_document.h"
#include "store/collection_paths.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"

#include <algorithm>
#include <cstring>

#include <QStringList>

namespace verbana::search {

namespace {

// The manuscript name of the current record as a file name.
QString currentContext(const xbase::TApolloTable &table)
{
    return cp949::decode(table.GetString(store::fCONTEXT));
}

// Removes a sermon's text copy and manuscript file when present. Only
// names that stay inside the collection come back from the resolver; an
// empty manuscript name names no file (it would name the data folder).
void removeSermonFiles(const store::CollectionPaths &paths, const QString &context)
{
    for (const QString &path : {paths.textCopy(context), paths.manuscript(context)})
        if (!path.isEmpty())
            files::removeFileOnly(path);
}

void deleteCurrent(store::CollectionDocument &document)
{
    xbase::TApolloTable &table = document.table();
    const QString context = currentContext(table);
    const uint32_t recno = table.RecNo();
    // The record goes first: when the engine refuses it, the sermon keeps
    // its files.
    table.Delete();
    document.announceDeleted(recno);
    removeSermonFiles(document.paths(), context);
}

// Runs a batch deletion in record order with the table quiet, then
// releases the gathering, also when the deletion fails part-way.
template <typename Deletion> uint32_t deleteThenRelease(store::CollectionDocument &document, Deletion deletion)
{
    uint32_t count = 0;
    try {
        document.table().SetOrder(0);
        store::BatchScope quiet(document.table(), {.position = store::BatchScope::Position::Leave});
        count = deletion();
    } catch (...) {
        document.releaseGathering();
        throw;
    }
    document.releaseGathering();
    return count;
}

} // namespace

QByteArray fieldCondition(const FieldCondition &row)
{
    if (row.word.isEmpty())
        return {};
    const QByteArray field = row.field.left(kFieldNameChars);
    const QByteArray word = cp949::cut(row.word, kFieldWordBytes);
    switch (word.at(0)) {
    case '=':
        return "(" + field + " = \" \")";
    case '#':
        return "(" + field + " <> \" \")";
    case '~':
        return "(.not.(\"" + cp949::upperAscii(QByteArrayView(word).sliced(1)) + "\" $ UPPER(" + field + ")))";
    default:
        return "(\"" + cp949::upperAscii(word) + "\" $ UPPER(" + field + "))";
    }
}

QByteArray gatherExpression(const std::vector<FieldCondition> &rows, bool useAnd)
{
    QByteArray expression;
    for (const FieldCondition &row : rows) {
        const QByteArray condition = fieldCondition(row);
        if (condition.isEmpty())
            continue;
        if (!expression.isEmpty())
            expression += useAnd ? " .and. " : " .or. ";
        expression += condition;
    }
    return expression;
}

bool isGiven(const QByteArray &word)
{
    return std::any_of(word.begin(), word.end(), [](char c) { return c != ' '; });
}

bool manuscriptMatches(QByteArrayView content, const ManuscriptQuery &query)
{
    if (const void *zero = std::memchr(content.data(), 0, size_t(content.size())))
        content = content.first(static_cast<const char *>(zero) - content.data());
    for (const QByteArray &word : query.words) {
        if (!isGiven(word))
            continue;
        const bool found = cp949::contains(content, word);
        if (query.useAnd && !found)
            return false;
        if (!query.useAnd && found)
            return true;
    }
    return query.useAnd;
}

QString highlightTerms(const ManuscriptQuery &query)
{
    QStringList terms;
    for (const QByteArray &word : query.words)
        if (isGiven(word))
            terms << cp949::decode(word);
    return terms.join(QStringLiteral("//"));
}

std::vector<uint32_t> scanManuscripts(xbase::TApolloTable &table, const store::CollectionPaths &paths,
                                      const ManuscriptQuery &query, Progress *progress)
{
    std::vector<uint32_t> found;
    QByteArray content; // one buffer for every text copy
    store::StoredFileReader reader(paths);
    store::forEachInView(table, progress, [&] {
        if (reader.readTextCopy(currentContext(table), content) && manuscriptMatches(content, query))
            found.push_back(table.RecNo());
    });
    return found;
}

void markGathered(xbase::TApolloTable &table, const std::vector<uint32_t> &found)
{
    table.Query(QByteArray());
    for (uint32_t recno : found)
        table.SetQueryBit(recno, true);
    table.GoTop();
}

bool isGathered(const xbase::TApolloTable &table) { return !table.DBFilter().isEmpty(); }

QString countMessage(uint32_t count, bool gathered)
{
    return gathered ? QStringLiteral("현재 검색되어 모아진 설교는 ") + QString::number(count) + QStringLiteral(" 편 입니다.")
                    : QStringLiteral("현재 설교는 모두 ") + QString::number(count) + QStringLiteral(" 편 입니다.");
}

bool gatherFields(store::CollectionDocument &document, const std::vector<FieldCondition> &rows, bool useAnd)
{
    const QByteArray expression = gatherExpression(rows, useAnd);
    if (expression.size() < 2)
        return false;
    // The table checks the expression before it replaces the gathering in
    // force; a refusal leaves everything as it was.
    document.table().Query(expression);
    document.setHighlightTerms(QString());
    document.table().GoTop();
    return true;
}

uint32_t gatherManuscripts(store::CollectionDocument &document, const ManuscriptQuery &query, Progress *progress)
{
    xbase::TApolloTable &table = document.table();
    document.setHighlightTerms(QString());
    std::vector<uint32_t> found;
    {
        // A scan that fails leaves the gathering released and the table on
        // the sermon it stood on.
        store::BatchScope quiet(table, {.position = store::BatchScope::Position::KeepOnFailure});
        table.Query(QByteArray());
        found = scanManuscripts(table, document.paths(), query, progress);
        if (!found.empty())
            markGathered(table, found);
        else
            table.GoTop();
    }
    if (!found.empty())
        document.setHighlightTerms(highlightTerms(query));
    return uint32_t(found.size());
}

uint32_t deleteGathered(store::CollectionDocument &document)
{
    return deleteThenRelease(document, [&] {
        uint32_t count = 0;
        for (uint32_t recno : store::recordsInView(document.table())) {
            document.table().Go(recno);
            deleteCurrent(document);
            ++count;
        }
        return count;
    });
}

uint32_t deleteNotGathered(store::CollectionDocument &document)
{
    return deleteThenRelease(document, [&] {
        xbase::TApolloTable &table = document.table();
        std::vector<uint32_t> kept = store::recordsInView(table);
        std::sort(kept.begin(), kept.end());
        table.Query(QByteArray());
        uint32_t count = 0;
        for (uint32_t recno : store::recordsInView(table)) {
            if (std::binary_search(kept.begin(), kept.end(), recno))
                continue;
            table.Go(recno);
            deleteCurrent(document);
            ++count;
        }
        return count;
    });
}

} // namespace verbana::search
