// SPDX-License-Identifier: GPL-3.0-or-later
// Folders and files made below a base without following links.
#include "platform/link_safe_folder.h"

#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

using verbana::files::FileSystem;
using verbana::files::LinkSafeFolder;
using Kind = LinkSafeFolder::Kind;
using Mode = LinkSafeFolder::Mode;

namespace {

// What stands below the base before the call: "dir P", "file P", "link P"
// (to the folder outside), "dangling P" or "pipe P".
struct Case {
    const char *name;
    std::vector<const char *> planted;
    const char *path;
    bool folder; // makeFolder instead of openFile
    Kind kind;
    const char *where;
};

void plant(const QString &base, const QString &outside, const char *what)
{
    const QString entry = QString::fromUtf8(what);
    const QString kind = entry.section(QLatin1Char(' '), 0, 0);
    const QString path = base + QLatin1Char('/') + entry.section(QLatin1Char(' '), 1);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    if (kind == QLatin1String("dir")) {
        ASSERT_TRUE(QDir().mkpath(path));
    } else if (kind == QLatin1String("file")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("link") || kind == QLatin1String("dangling")) {
        ASSERT_TRUE(QFile::link(kind == QLatin1String("link") ? outside : outside + QStringLiteral("/none"), path));
    } else {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
}

class InTheWay : public ::testing::TestWithParam<Case> {};

TEST_P(InTheWay, StopsWithItsKindAndWritesNothingOutside)
{
    const Case &c = GetParam();
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(base) && QDir().mkpath(outside));
    for (const char *what : c.planted)
        plant(base, outside, what);
    LinkSafeFolder tree(base);
    std::unique_ptr<verbana::files::File> file;
    const QString path = QString::fromUtf8(c.path);
    const LinkSafeFolder::Result r =
        c.folder ? tree.makeFolder(path) : tree.openFile(FileSystem::posix(), file, path, Mode::Replace);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.where, QString::fromUtf8(c.where));
    EXPECT_FALSE(file);
    EXPECT_TRUE(QDir(outside).isEmpty());
}

std::string caseName(const ::testing::TestParamInfo<Case> &c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(
    All, InTheWay,
    ::testing::Values(Case{"FolderLink", {"link a"}, "a/b/f", false, Kind::Link, "a"},
                      Case{"FileLink", {"link a/f"}, "a/f", false, Kind::Link, "a/f"},
                      Case{"DanglingLink", {"dangling a/f"}, "a/f", false, Kind::Link, "a/f"},
                      Case{"LinkInAFolderToMake", {"link a/b"}, "a/b/c", true, Kind::Link, "a/b"},
                      Case{"FileForAFolder", {"file a"}, "a/f", false, Kind::NotFolder, "a"},
                      Case{"FolderForTheFile", {"dir a/f"}, "a/f", false, Kind::NotFile, "a/f"},
                      Case{"PipeForTheFile", {"pipe f"}, "f", false, Kind::NotFile, "f"},
                      Case{"DotDot", {}, "a/../f", false, Kind::Invalid, "a/../f"},
                      Case{"Absolute", {}, "/f", true, Kind::Invalid, "/f"},
                      Case{"EmptyComponent", {}, "a//f", false, Kind::Invalid, "a//f"}),
    caseName);

TEST(LinkSafeFolder, MakesWhatIsMissingThenReplacesOrAppends)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base/new"));
    LinkSafeFolder tree(base);
    std::unique_ptr<verbana::files::File> file;
    for (const auto &[mode, bytes] : {std::pair{Mode::Replace, "one two"}, {Mode::Replace, "1"}, {Mode::Append, "2"}}) {
        ASSERT_TRUE(tree.openFile(FileSystem::posix(), file, QStringLiteral("a/b/f"), mode).ok());
        const auto size = file->size();
        ASSERT_TRUE(size.isOk());
        EXPECT_TRUE(file->writeAt(size.value(), std::span<const char>(bytes, qstrlen(bytes))).isOk());
        EXPECT_EQ(file->path(), base + QStringLiteral("/a/b/f"));
        file.reset();
    }
    EXPECT_EQ(verbana::test::readAll(base + QStringLiteral("/a/b/f")), QByteArray("12"));
    ASSERT_TRUE(tree.makeFolder(QStringLiteral("a/c/d")).ok());
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("/a/c/d")).isDir());

    // The base is the caller's choice and may be a link itself.
    ASSERT_TRUE(QFile::link(base, dir.filePath(QStringLiteral("alias"))));
    LinkSafeFolder viaLink(dir.filePath(QStringLiteral("alias")));
    ASSERT_TRUE(viaLink.openFile(FileSystem::posix(), file, QStringLiteral("x"), Mode::Replace).ok());
    file.reset();
    EXPECT_TRUE(QFileInfo::exists(base + QStringLiteral("/x")));
}

} // namespace
