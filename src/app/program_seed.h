// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace verbana {

// Where an installed program keeps the sample collections of the first
// run: <prefix>/share/verbana/samples beside <prefix>/bin.
QString installedSamplesFolder();

// Seeds a program folder that holds nothing yet (the per-user folder of an
// installed program, just made) with the sample collections and the
// first-run marker found in `samples`. A folder that already holds anything
// is left alone. Returns whether it seeded.
bool seedProgramFolder(const QString &folder, const QString &samples);

} // namespace verbana
