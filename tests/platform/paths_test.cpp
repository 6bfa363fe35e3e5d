// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;

namespace {
void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
} // namespace

TEST(Paths, ResolvesStoredNamesWithoutRegardToCase)
{
    QTemporaryDir tmp;
    const QString base = tmp.path();
    ASSERT_TRUE(QDir(base).mkpath(QStringLiteral("설교집/DATA/D0")));
    touch(base + QStringLiteral("/설교집/DATA/D0/SUL17.rtf"));

    EXPECT_EQ(paths::resolve(base, QStringLiteral("설교집\\data\\d0\\sul17.RTF")),
              base + QStringLiteral("/설교집/DATA/D0/SUL17.rtf"));
    EXPECT_EQ(paths::resolveExisting(base, QStringLiteral("설교집/Data/d0/Sul17.Rtf")),
              base + QStringLiteral("/설교집/DATA/D0/SUL17.rtf"));
    // Missing components are kept as written so that they can be created.
    EXPECT_EQ(paths::resolve(base, QStringLiteral("설교집\\text\\d0\\sul17.txt")),
              base + QStringLiteral("/설교집/text/d0/sul17.txt"));
    EXPECT_TRUE(paths::resolveExisting(base, QStringLiteral("설교집\\text")).isEmpty());
}

TEST(Paths, ExactNameWinsOverACaseVariant)
{
    QTemporaryDir tmp;
    touch(tmp.path() + QStringLiteral("/a.txt"));
    touch(tmp.path() + QStringLiteral("/A.txt"));
    EXPECT_EQ(paths::resolve(tmp.path(), QStringLiteral("A.txt")), tmp.path() + QStringLiteral("/A.txt"));
    EXPECT_EQ(paths::resolve(tmp.path(), QStringLiteral("a.txt")), tmp.path() + QStringLiteral("/a.txt"));
}

TEST(Paths, ContainmentRefusesEscapes)
{
    EXPECT_TRUE(paths::isContained(QStringLiteral("d0\\sul3.RTF")));
    EXPECT_FALSE(paths::isContained(QStringLiteral("..\\x")));
    EXPECT_FALSE(paths::isContained(QStringLiteral("d0/../../x")));
    EXPECT_FALSE(paths::isContained(QStringLiteral("/etc/passwd")));
    EXPECT_FALSE(paths::isContained(QStringLiteral("c:\\x")));
    EXPECT_FALSE(paths::isContained(QString()));
}

TEST(Paths, ProgramFolderFollowsOverrideAndEnvironment)
{
    paths::setProgramFolder(QStringLiteral("/tmp/x/"));
    EXPECT_EQ(paths::programFolder(), QStringLiteral("/tmp/x"));
    paths::setProgramFolder(QString());
    qputenv("VERBANA_HOME", "/tmp/verbana-home");
    EXPECT_EQ(paths::programFolder(), QStringLiteral("/tmp/verbana-home"));
    qunsetenv("VERBANA_HOME");
}
