// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the program keeps its collections, and how stored names are found.
namespace verbana::paths {

// The program's folder: VERBANA_HOME when set; otherwise the executable's
// folder for a portable install (portableFolder()); otherwise the per-user
// data folder, created when missing. No trailing separator.
// setProgramFolder() overrides it (tests, the command-line tool).
QString programFolder();
void setProgramFolder(const QString &folder);

// "verbana-portable": the file beside the executable that makes its folder
// the program's folder (the build tree and a portable copy have it; an
// installed program never does).
QString portableMarker();
// `executableFolder` when it holds the marker and can be written to;
// empty otherwise.
QString portableFolder(const QString &executableFolder);

// Finds `relative` (a name in the system's stored form: `\` or `/`
// separators, any letter case) below `base`. Each component is matched
// first exactly, then without regard to ASCII letter case. Components that
// do not exist are kept as written (with `/` separators), so the result can
// be used to create them. `base` itself is taken as it is.
QString resolve(const QString &base, const QString &relative);

// Like resolve(), but an empty result when the path does not exist.
QString resolveExisting(const QString &base, const QString &relative);

// A path given whole (absolute, or relative to the working folder): every
// component is matched without regard to ASCII case where the exact name
// is missing.
QString resolveFull(const QString &path);

// Joins base and a stored relative name with `/` separators, no look-up.
QString join(const QString &base, const QString &relative);

// `name` with the ASCII letters A-Z lowered and every other character as
// it is: the key under which names that differ only in the case of Latin
// letters (as on Windows) are the same.
QString foldAsciiCase(const QString &name);

// True when `relative` stays inside its base: no empty name, no ".."
// component, not absolute, no drive prefix.
bool isContained(const QString &relative);

} // namespace verbana::paths
