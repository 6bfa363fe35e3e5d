// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/apollo_table.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace verbana::test {

// A sermon table and its index in a MemoryFileSystem.
inline const QString kMemoryTable = QStringLiteral("/mem/sul2file.dbf");
inline const QString kMemoryIndex = QStringLiteral("/mem/sul2file.cdx");

// CP949 bytes of a UTF-8 literal.
QByteArray k(const char *utf8);

// Copies the files of a shared fixture folder into `dir` (the fixtures are
// read-only and the engine opens tables for writing).
bool copyFixture(const QString &fixtureFolder, const QString &dir);

// Opens a table file.
std::unique_ptr<xbase::TApolloTable> openTable(const QString &path, bool exclusive = false);

// Creates an empty sermon table with its four tags in `dir`; returns its path.
QString makeSermonTable(const QString &dir);

struct Sermon {
    const char *date1;
    const char *title1;
    const char *bibleno = "";
    const char *date2 = "";
};
// Appends and posts sermons (UTF-8 values) to an open table.
void appendSermons(xbase::TApolloTable &t, const std::vector<Sermon> &sermons);

// Why the open table's index is not in step with its records (every tag:
// a sound tree, one entry per record holding the record's key; every page
// of the file used once), or empty when it is.
std::string indexFault(xbase::TApolloTable &t);

// Record numbers of the records in view, walking from the top.
std::vector<uint32_t> walk(xbase::TApolloTable &t);
// The same walking from the bottom, returned in bottom-to-top order.
std::vector<uint32_t> walkBack(xbase::TApolloTable &t);

} // namespace verbana::test
