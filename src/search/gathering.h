// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/apollo_table.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// Gathering (찾아모으기): narrowing the sermons in view to those that meet
// up to four conditions on their fields (a query expression the table
// evaluates) or in their manuscripts' text copies (scanned here, the found
// records marked), counting the sermons in view, and the two batch
// deletions. No widgets: the main window hands in the table, the folder and
// what the dialog's boxes hold.
namespace verbana::search {

// A word of the field page is cut to this many bytes, on a character
// boundary; a field name is used up to 12 characters.
constexpr qsizetype kFieldWordBytes = 30;
constexpr qsizetype kFieldNameChars = 12;
// A word of the manuscript page holds at most this many bytes.
constexpr qsizetype kManuscriptWordBytes = 100;

// One row of the field page: the field's name as the table gives it and
// the word typed (CP949 bytes).
struct FieldCondition {
    QByteArray field;
    QByteArray word;
};

// The condition of one row; empty when the word is empty.
QByteArray fieldCondition(const FieldCondition &row);
// The conditions of the rows with a word, in row order, joined by
// " .and. " or " .or. ".
QByteArray gatherExpression(const std::vector<FieldCondition> &rows, bool useAnd);

// The four words of the manuscript page, as typed (CP949 bytes).
struct ManuscriptQuery {
    std::array<QByteArray, 4> words;
    bool useAnd = true;
};

// A word is given when it is not blank once leading and trailing blanks
// are removed.
bool isGiven(const QByteArray &word);
// Whether a text copy's content meets the query; the content counts up to
// its first zero byte, and a word matches only starting on a character.
bool manuscriptMatches(QByteArrayView content, const ManuscriptQuery &query);
// The given words, as typed and in box order, joined by "//".
QString highlightTerms(const ManuscriptQuery &query);

// Called after each sermon scanned with the number scanned so far.
using ScanProgress = std::function<void(uint32_t scanned)>;

// Walks the sermons in view from the first and returns the record numbers
// of those whose text copy (text\ + CONTEXT with ".txt") meets the query.
// One text copy is in memory at a time. A missing copy never meets it.
std::vector<uint32_t> scanManuscripts(xbase::TApolloTable &table, const QString &collectionFolder,
                                      const ManuscriptQuery &query, const ScanProgress &progress = {});

// Marks the found records so that only they are in view (after clearing
// any query) and goes to the first.
void markGathered(xbase::TApolloTable &table, const std::vector<uint32_t> &found);

// True when a gathering is in force: a query, or marked records in view.
bool isGathered(const xbase::TApolloTable &table);

// What 현재 자료 갯수 says for `count` sermons in view.
QString countMessage(uint32_t count, bool gathered);

// The record numbers in view, first to last in the order in force.
std::vector<uint32_t> recordsInView(xbase::TApolloTable &table);

// The batch deletions, on a table in browse state. Each sets record order
// and, while it works, detaches the table's handlers and freezes its
// controls (restored on every way out). A sermon loses its record first,
// then its text copy and its manuscript file (files only, never a folder);
// files that cannot be removed are passed over. Both end with no query.
// `deleted` hears of each record deleted (the list, which the frozen
// table does not tell). Returns the number of sermons deleted.
using DeletedRecord = std::function<void(uint32_t recno)>;
uint32_t deleteGathered(xbase::TApolloTable &table, const QString &collectionFolder, const DeletedRecord &deleted = {});
uint32_t deleteNotGathered(xbase::TApolloTable &table, const QString &collectionFolder,
                           const DeletedRecord &deleted = {});

} // namespace verbana::search
