// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_seed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verbana {
namespace {

void touch(const QString &path, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(ProgramSeed, AnEmptyFolderGetsTheSamplesAndTheFirstRunMarker)
{
    QTemporaryDir samples, home;
    touch(samples.path() + QStringLiteral("/Sample/sul2file.dbf"), "table");
    touch(samples.path() + QStringLiteral("/Sample/data/d0/sul1.RTF"), "{\\rtf1}");
    touch(samples.path() + QStringLiteral("/___first.sys"));
    EXPECT_TRUE(seedProgramFolder(home.path(), samples.path()));
    EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/___first.sys")));
    QFile f(home.path() + QStringLiteral("/Sample/data/d0/sul1.RTF"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("{\\rtf1}"));
}

TEST(ProgramSeed, AFolderInUseIsLeftAlone)
{
    QTemporaryDir samples, home;
    touch(samples.path() + QStringLiteral("/___first.sys"));
    touch(home.path() + QStringLiteral("/verbdesk.ini"));
    EXPECT_FALSE(seedProgramFolder(home.path(), samples.path()));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/___first.sys")));
    QTemporaryDir empty;
    EXPECT_FALSE(seedProgramFolder(empty.path(), empty.path() + QStringLiteral("/missing")));
}

} // namespace
} // namespace verbana
