// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace verbana::store {
class CollectionDocument;
}

// What the commands on a collection share: the collection opened as the
// program opens it, its folder's parent standing for the program folder.
namespace verbana::cli {

enum class Change { No, Yes };

// Opens the collection DIR (its sul2file.dbf) through a CollectionDocument
// and runs `work` on it; the exit code. A collection that opens read-only is
// refused for work that changes it. The engine's errors and the errors
// meant for the user end the command with their text. The marker of the
// collection in use that the opening writes into the program folder is put
// back as it was.
int withCollection(const QString &dir, Change change, const std::function<int(store::CollectionDocument &)> &work);

// Fails with `text` on standard error unless the logic has said why since
// messagesShown() was `since`.
int failed(const QString &text, int since = 0);

// A file the command would write over: refused unless --overwrite was given.
bool refuseExisting(const QString &path, bool overwrite);

} // namespace verbana::cli
