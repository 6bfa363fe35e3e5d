// SPDX-License-Identifier: GPL-3.0-or-later
// The one folder walk: a fixed order in both arrangements, links neither
// listed nor entered, one folder only when asked, and a visitor that stops.
#include "platform/folder_walk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verbana::files {
namespace {

QStringList names(const char *spaced) { return QString::fromLatin1(spaced).split(QLatin1Char(' ')); }

class FolderWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *file : {"b.txt", ".hidden", "a/z.txt", "a/c/d.txt"}) {
            QDir().mkpath(QFileInfo(at(file)).path());
            QFile f(at(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("12345", qstrlen(file) % 5);
        }
        ASSERT_TRUE(QDir().mkpath(at("B")));
        ASSERT_TRUE(QFile::link(at("a"), at("a-link")));
        ASSERT_TRUE(QFile::link(at("b.txt"), at("b-link.txt")));
        ASSERT_TRUE(QFile::link(at("gone"), at("broken")));
        // A folder that holds only a link is not empty, though it shows nothing.
        ASSERT_TRUE(QDir().mkpath(at("L")));
        ASSERT_TRUE(QFile::link(at("b.txt"), at("L/link")));
    }
    QString at(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // "name" for files, "name/" for folders ("name/-" when empty), with the
    // size of each file.
    QStringList walk(WalkOrder order, WalkScope scope = WalkScope::Tree, int stopAfter = -1)
    {
        QStringList seen;
        complete = walkFolder(
            dir.path(), order,
            [&](const WalkEntry &e) {
                EXPECT_EQ(e.path, dir.path() + QLatin1Char('/') + e.relative);
                seen << (e.folder ? e.relative + (e.empty ? QStringLiteral("/-") : QStringLiteral("/"))
                                  : e.relative + QLatin1Char(':') + QString::number(e.size));
                return --stopAfter != 0;
            },
            scope);
        return seen;
    }
    QTemporaryDir dir;
    bool complete = false;
};

TEST_F(FolderWalk, ByNameInEitherOrderWithoutLinks)
{
    EXPECT_EQ(walk(WalkOrder::SubFoldersFirst), names("B/- L/ a/ a/c/ a/c/d.txt:4 a/z.txt:2 .hidden:2 b.txt:0"));
    EXPECT_TRUE(complete);
    EXPECT_EQ(walk(WalkOrder::FilesFirst), names(".hidden:2 b.txt:0 B/- L/ a/ a/z.txt:2 a/c/ a/c/d.txt:4"));
    EXPECT_TRUE(complete);
}

TEST_F(FolderWalk, OneFolderOnlyAndAVisitorThatStops)
{
    EXPECT_EQ(walk(WalkOrder::SubFoldersFirst, WalkScope::Folder), names("B/- L/ a/ .hidden:2 b.txt:0"));
    EXPECT_EQ(walk(WalkOrder::SubFoldersFirst, WalkScope::Tree, 3), names("B/- L/ a/"));
    EXPECT_FALSE(complete);
    EXPECT_FALSE(walkFolder(at("none"), WalkOrder::FilesFirst, [](const WalkEntry &) { return true; }));
}

} // namespace
} // namespace verbana::files
