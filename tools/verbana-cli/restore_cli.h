// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the restores of a whole collection share on the command line.
namespace verbana::cli {

// Makes `programFolder` the program folder and checks `name` as the
// collection a restore writes there: a new name (the restore window's own
// checks) unless `replace`, which must name an existing collection that no
// program holds open. `refused` are the characters the restore's name box
// drops; a name holding any is refused here. Empty after a message on
// standard error; otherwise the name.
QString restoreTarget(const QString &programFolder, const QString &name, bool replace, const QString &refused);

} // namespace verbana::cli
