// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/collection_paths.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

namespace verbana {
class Progress;
}
namespace verbana::xbase {
class TApolloTable;
}

// The go-to search: from the current sermon, up or down the sermons in view
// in the order in force, to the next one whose chosen item holds a word.
// The item is a field of the sermon table, by its position, or the
// manuscript's text copy.
namespace verbana::search {

// The item that stands for the manuscript's text copy: the position of
// CONTEXT, the manuscript's name.
constexpr int kManuscriptItem = 14;

struct GoToItem {
    const char16_t *caption;
    int number; // the field's position in the sermon table
    bool further; // in the sub-menu "그 외.."
};

// The items of the chooser's menu, in menu order: eleven in the menu
// itself, then the nine of its sub-menu.
const std::vector<GoToItem> &goToItems();

// The search word as typed (blanks included) in CP949, cut to its first
// 100 bytes on a character boundary. Empty when the text holds a character
// CP949 cannot hold: no stored text can hold it either.
QByteArray searchWord(const QString &typed);

// A field's text holds the word, a..z and A..Z counted equal (only
// one-byte letters are folded, never the second byte of a two-byte
// character) and the occurrence beginning on a character boundary.
// `upperWord` is the word already passed through cp949::upperAscii.
bool fieldHolds(QByteArrayView fieldText, QByteArrayView upperWord);

// A text copy's content holds the word exactly (letter case and all), the
// content counting up to its first zero byte and the occurrence beginning
// on a character boundary.
bool textHolds(QByteArrayView content, QByteArrayView word);

enum class Direction { Down, Up };

struct GoToQuery {
    int item = 2;
    QByteArray word; // from searchWord()
    store::CollectionPaths paths; // where the text copies are
    Direction direction = Direction::Down;
};

// Tests the record the table stands on. A text copy is read through the
// collection's resolver (store::StoredFileReader): a missing one, and one
// that is no regular file reached without a link, holds nothing.
bool recordMatches(const xbase::TApolloTable &table, const GoToQuery &query);

// Moves one record at a time in the query's direction and tests the record
// the table then stands on, also when the move found no further record (so
// the last record of the view is tested once more), until one matches (true,
// the table stands on it) or the table's end or start flag is set (false,
// the table stands on the last record reached). `progress` ticks per record
// so that the caller's window stays alive; its display must not move the
// table.
bool findNext(xbase::TApolloTable &table, const GoToQuery &query, Progress *progress = nullptr);

} // namespace verbana::search
