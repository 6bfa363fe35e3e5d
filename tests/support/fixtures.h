// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

namespace verbana::test {

// The folder of files made by other programs (../shared/fixtures beside the
// clone), or empty when it is absent.
QString sharedFixtures();

// Reads a whole file; empty on failure.
QByteArray readAll(const QString &path);

// Writes a whole file; false on failure.
bool writeAll(const QString &path, const QByteArray &bytes);

// Bytes from a hex string ("c3a2 3132"; blanks ignored).
QByteArray fromHex(const char *hex);

} // namespace verbana::test

// Skips the current test when the shared fixtures are not there.
#define VERBANA_REQUIRE_FIXTURES()                                                                                     \
    do {                                                                                                               \
        if (::verbana::test::sharedFixtures().isEmpty())                                                               \
            GTEST_SKIP() << "../shared/fixtures is absent: tests against other programs' files skipped";               \
    } while (0)
