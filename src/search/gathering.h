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
//
// The commands work on the open collection (its document): its table and
// the highlight terms of the gathering in force.
namespace verbana {
class Progress;
}
namespace verbana::store {
class CollectionDocument;
class CollectionPaths;
}

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

// Walks the sermons in view from the first and returns the record numbers
// of those whose text copy (found through `paths`) meets the query. One
// text copy is in memory at a time; a missing one, and anything but a
// regular file reached without a link, never meets it. `progress` ticks per
// sermon; a stop asked for there ends the scan with what was found so far.
std::vector<uint32_t> scanManuscripts(xbase::TApolloTable &table, const store::CollectionPaths &paths,
                                      const ManuscriptQuery &query, Progress *progress = nullptr);

// Marks the found records so that only they are in view (after clearing
// any query) and goes to the first.
void markGathered(xbase::TApolloTable &table, const std::vector<uint32_t> &found);

// True when a gathering is in force: a query, or marked records in view.
bool isGathered(const xbase::TApolloTable &table);

// What 현재 자료 갯수 says for `count` sermons in view.
QString countMessage(uint32_t count, bool gathered);

// 찾기 of the field page: the expression of the rows replaces the gathering
// in force and clears the highlight terms; the table goes to the first
// sermon. False (nothing changed) when no row has a word. A query the
// engine refuses raises its error and leaves the gathering in force.
bool gatherFields(store::CollectionDocument &document, const std::vector<FieldCondition> &rows, bool useAnd);

// 찾기 of the manuscript page: releases the gathering in force, scans the
// text copies with the table quiet (BatchScope) and marks the sermons
// found, with the given words as the highlight terms. Returns the number
// found; with none, no gathering is in force and the table stands on the
// first sermon.
uint32_t gatherManuscripts(store::CollectionDocument &document, const ManuscriptQuery &query,
                           Progress *progress = nullptr);

// The batch deletions, on a table in browse state. Each sets record order
// and keeps the table quiet while it works. A sermon loses its record
// first, then its text copy and its manuscript file (regular files below
// the collection only, never a folder, never through a link); files that
// cannot be removed are passed over. Each record deleted is announced to
// the document (the list, which the frozen table does not tell). Both end
// with the gathering released. Returns the number of sermons deleted.
uint32_t deleteGathered(store::CollectionDocument &document);
uint32_t deleteNotGathered(store::CollectionDocument &document);

} // namespace verbana::search
