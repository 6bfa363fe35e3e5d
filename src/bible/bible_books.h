// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The 66 books of the Bible and the parser that turns a typed reference
// such as "창12:1-12" into the eight-digit key BIBLENO (book, chapter,
// verse), whose text order is Bible order.
namespace verbana::bible {

// The key the parser gives for a reference it cannot read.
inline constexpr const char *kRefused = "40029001";

struct BookTable {
    QList<QByteArray> BookAbbrevs; // CP949, book 1 at position 0
    QList<QByteArray> BookNames;
};

// Fills both lists with the 66 books in canonical order.
void LoadBookTable(BookTable &table);
// The table, filled once.
const BookTable &books();

// Parses a CP949 reference; returns eight ASCII digits or kRefused.
QByteArray MakeBibleNo(QByteArrayView reference, const BookTable &table = books());

// True when the key is the first of the New Testament or later.
inline bool isNewTestament(QByteArrayView key) { return key >= QByteArrayView("40000000"); }

} // namespace verbana::bible
