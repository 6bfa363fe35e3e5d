// SPDX-License-Identifier: GPL-3.0-or-later
// The one resolver of a collection's files: stored names in any case and
// separator, never out of the collection, and text copies read without
// ever waiting on what is not a regular file.
#include "store/collection_paths.h"

#include "support/fixtures.h"
#include "support/flaky_file_system.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace verbana::test {
namespace {

class CollectionPathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = tmp.path() + QStringLiteral("/Grace");
        QDir().mkpath(folder + QStringLiteral("/TEXT/D0"));
        QDir().mkpath(folder + QStringLiteral("/data/d0"));
        QDir().mkpath(tmp.path() + QStringLiteral("/outside"));
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/TEXT/D0/sul7.txt"), "seven"));
        ASSERT_TRUE(writeAll(tmp.path() + QStringLiteral("/outside/keep.txt"), "outside"));
        paths = store::CollectionPaths(folder + QStringLiteral("/"));
    }
    QTemporaryDir tmp;
    QString folder;
    store::CollectionPaths paths;
};

TEST_F(CollectionPathsTest, StoredNamesResolveInAnyCaseAndNeverLeave)
{
    EXPECT_EQ(paths.folder(), folder);
    EXPECT_EQ(paths.textCopy(QStringLiteral("d0\\SUL7.RTF")), folder + QStringLiteral("/TEXT/D0/sul7.txt"));
    EXPECT_EQ(paths.manuscript(QStringLiteral("d0\\sul8.hwp")), folder + QStringLiteral("/data/d0/sul8.hwp"));
    EXPECT_EQ(store::textCopyName(QStringLiteral("d0\\sul17.HWP")), QStringLiteral("d0\\sul17.txt"));
    EXPECT_EQ(store::textCopyName(QStringLiteral("d0\\sul18.HWPX")), QStringLiteral("d0\\sul18.txt"));
    EXPECT_EQ(paths.textCopy(QStringLiteral("d0\\sul19.hwpx")), folder + QStringLiteral("/TEXT/D0/sul19.txt"));
    // An empty name would name the folder itself.
    EXPECT_TRUE(paths.manuscript(QStringLiteral("  ")).isEmpty());
    EXPECT_TRUE(paths.textCopy(QString()).isEmpty());
    for (const char *name : {"..\\..\\outside\\keep.RTF", "d0\\..\\..\\..\\outside\\keep.RTF"})
        EXPECT_TRUE(paths.textCopy(QLatin1String(name)).isEmpty()) << name;
    EXPECT_TRUE(paths.resolve(QStringLiteral("\\outside\\keep.RTF")).isEmpty());
    EXPECT_TRUE(paths.resolve(QStringLiteral("C:\\outside")).isEmpty());
    // An absolute name or a drive after "data\" stays below it.
    EXPECT_EQ(paths.manuscript(QStringLiteral("C:\\x.RTF")), folder + QStringLiteral("/data/C:/x.RTF"));
    EXPECT_TRUE(paths.existing(QStringLiteral("data\\d0\\none.RTF")).isEmpty());
    EXPECT_TRUE(store::CollectionPaths().resolve(QStringLiteral("data")).isEmpty());
}

TEST_F(CollectionPathsTest, NoLinkBelowTheCollectionIsFollowed)
{
    ASSERT_TRUE(QFile::link(tmp.path() + QStringLiteral("/outside"), folder + QStringLiteral("/TEXT/d9")));
    ASSERT_TRUE(QFile::link(tmp.path() + QStringLiteral("/outside/keep.txt"), folder + QStringLiteral("/TEXT/D0/lnk.txt")));
    EXPECT_TRUE(paths.textCopy(QStringLiteral("d9\\keep.RTF")).isEmpty());
    EXPECT_TRUE(paths.textCopy(QStringLiteral("d0\\lnk.RTF")).isEmpty());
    store::StoredFileReader reader(paths);
    QByteArray content;
    EXPECT_FALSE(reader.readTextCopy(QStringLiteral("d9\\keep.RTF"), content));
    EXPECT_FALSE(reader.readTextCopy(QStringLiteral("d0\\lnk.RTF"), content));
    EXPECT_TRUE(reader.readTextCopy(QStringLiteral("d0\\sul7.RTF"), content));
    EXPECT_EQ(content, QByteArray("seven"));
    // The collection folder itself may be a link.
    ASSERT_TRUE(QFile::link(folder, tmp.path() + QStringLiteral("/Alias")));
    store::StoredFileReader alias{store::CollectionPaths(tmp.path() + QStringLiteral("/Alias"))};
    EXPECT_TRUE(alias.readTextCopy(QStringLiteral("D0\\SUL7.rtf"), content));
}

TEST_F(CollectionPathsTest, APipeOrAFolderInPlaceOfATextCopyReadsAsMissingAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/TEXT/D0/sul1.txt")).constData(), 0600), 0);
    QDir().mkpath(folder + QStringLiteral("/TEXT/D0/sul2.txt"));
    store::StoredFileReader reader(paths);
    QByteArray content = "left over";
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(reader.readTextCopy(QStringLiteral("d0\\sul1.RTF"), content));
    EXPECT_FALSE(reader.readTextCopy(QStringLiteral("d0\\sul2.RTF"), content));
    EXPECT_LT(clock.elapsed(), 5000); // a blocking open would wait for a writer for ever
    EXPECT_TRUE(content.isEmpty());
}

// A text copy whose read fails (a bad sector) reads as missing, with
// nothing of it kept; the reader goes on reading the next ones.
TEST_F(CollectionPathsTest, AFailedReadReadsAsMissing)
{
    ASSERT_TRUE(writeAll(folder + QStringLiteral("/TEXT/D0/sul8.txt"), "eight"));
    FlakyFileSystem flaky;
    store::StoredFileReader reader(paths, flaky);
    QByteArray content = "left over";
    flaky.failReadAt(1);
    EXPECT_FALSE(reader.readTextCopy(QStringLiteral("d0\\sul7.RTF"), content));
    EXPECT_TRUE(flaky.failed());
    EXPECT_TRUE(content.isEmpty());
    EXPECT_TRUE(reader.readTextCopy(QStringLiteral("d0\\sul8.RTF"), content));
    EXPECT_EQ(content, QByteArray("eight"));
    EXPECT_TRUE(reader.readTextCopy(QStringLiteral("d0\\sul7.RTF"), content));
    EXPECT_EQ(content, QByteArray("seven"));
}

} // namespace
} // namespace verbana::test
