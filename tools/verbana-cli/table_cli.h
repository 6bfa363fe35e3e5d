// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/apollo_table.h"

#include <QString>

#include <memory>

// What the table commands share: opening a table the way a command needs
// it, and reporting the engine's errors.
namespace verbana::cli {

enum class Access {
    Read, // reading only: nothing is ever written, the files may be read-only
    Shared, // writing beside other programs
    Exclusive, // writing alone (pack, reindex)
};

std::unique_ptr<xbase::TApolloTable> openTable(const QString &path, Access access);

// Holds the sermon table of the collection in `folder` alone in `held`
// while a backup reads the folder: a collection another program has open
// could be half-written at any moment. False, with a line on standard
// error, when another program holds it; a folder without a table, a table
// that cannot be opened (the reason for a backup, often) and media nobody
// may write are read as they are.
bool holdForBackup(const QString &folder, std::unique_ptr<xbase::TApolloTable> &held);

// Rebuilds the four tags of a sermon table and says so; the exit code.
int rebuildSermonTags(const QString &path);

// Prints the engine's text (and what exactly was wrong) on standard error;
// returns the failure exit code. A damaged table gets the repair hint.
int engineFailure(const xbase::EApolloError &e);

} // namespace verbana::cli
