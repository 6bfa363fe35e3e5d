// SPDX-License-Identifier: GPL-3.0-or-later
// Archives that lie: unsafe names, oversized or broken chunks, truncation.
// Each ends with a clear error and writes nothing it should not.
#include "archive_bytes.h"

#include "backup/backup_file.h"
#include "support/fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using verbana::test::ArchiveBytes;

namespace {

const quint32 kEntryDate = test::dosDate(2010, 1, 2, 3, 4, 6);

struct Outcome {
    bool result = true;
    int code = 0;
    QString raised;
    QStringList errors;
    QStringList written; // files below the temporary folder, archive excepted
};

Outcome restoreBytes(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bck"));
    QFile f(archive);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TBackupFile file;
    Outcome o;
    file.OnError = [&](TBackupFile *, int code, const QString &text) { o.errors << QString::number(code) + text; };
    file.OnNeedDisk = [](TBackupFile *, quint16, bool &go) { go = false; };
    o.result = file.Restore(archive, dir.filePath(QStringLiteral("in/side")));
    o.code = file.ErrorCode();
    o.raised = file.RaisedError();
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (p != archive)
            o.written << QDir(dir.path()).relativeFilePath(p);
    }
    EXPECT_FALSE(file.Busy());
    return o;
}

class UnsafeNames : public ::testing::TestWithParam<const char *> {};

TEST_P(UnsafeNames, AreNeverWritten)
{
    ArchiveBytes a;
    a.header("", 4, 2).file("c:\\ok", kEntryDate, "fine").file(GetParam(), kEntryDate, "evil").end();
    const Outcome o = restoreBytes(a.bytes());
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.errors, QStringList{QStringLiteral("1읽을 수 없는 파일")});
    EXPECT_EQ(o.written, QStringList{QStringLiteral("in/side/ok")});
}

INSTANTIATE_TEST_SUITE_P(All, UnsafeNames,
                         ::testing::Values("c:\\..\\..\\evil", "c:\\a\\..\\..\\..\\evil", "c:\\\\evil", "c:\\/evil",
                                           "c:\\d:\\evil", "c:\\folder\\", "c:\\", "ab", "c:\\a\\.\\b",
                                           "c:\\a\\\\b", "c:\\a\tb", "c:\\..", "c:/../evil"));

TEST(Damage, OversizedChunksEitherWay)
{
    for (qint32 length : {16385, -16385, 0x7fffffff, qint32(0x80000000)}) {
        ArchiveBytes a;
        a.header("", 1, 1).entry("c:\\f", kEntryDate).segmentStart().int32(length).raw(QByteArray(20000, 'x'));
        const Outcome o = restoreBytes(a.bytes());
        EXPECT_FALSE(o.result) << length;
        EXPECT_EQ(o.code, 1) << length;
    }
}

TEST(Damage, StreamThatInflatesBeyondOnePiece)
{
    ArchiveBytes a;
    a.header("", 1, 1).entry("c:\\f", kEntryDate).segmentStart().zlibChunk(QByteArray(16385, 'a')).segmentEnd().end();
    const Outcome o = restoreBytes(a.bytes());
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.code, 1);
}

TEST(Damage, StreamThatDoesNotEndOrHasStrayBytes)
{
    const QByteArray z = test::zlibStream("some text that compresses, some text");
    for (const QByteArray &chunk : {z.left(z.size() - 3), z + "??"}) {
        ArchiveBytes a;
        a.header("", 1, 1).entry("c:\\f", kEntryDate).segmentStart().int32(qint32(chunk.size())).raw(chunk);
        a.segmentEnd().end();
        const Outcome o = restoreBytes(a.bytes());
        EXPECT_FALSE(o.result);
        EXPECT_EQ(o.code, 1);
    }
}

TEST(Damage, GarbageThatZlibRejects)
{
    ArchiveBytes a;
    a.header("", 1, 1).entry("c:\\f", kEntryDate).segmentStart().int32(6).raw("garbag").segmentEnd().end();
    const Outcome o = restoreBytes(a.bytes());
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.code, 6);
    EXPECT_EQ(o.errors, QStringList{QStringLiteral("6압축 에러")});
}

TEST(Damage, NameLengthBeyondAnyPath)
{
    ArchiveBytes a;
    a.header("", 1, 1).int32(100000000).raw("c:\\x");
    const Outcome o = restoreBytes(a.bytes());
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.code, 1);
}

TEST(Damage, MarkerWithoutDigits)
{
    ArchiveBytes a;
    a.header("", 1, 1).int32(12).raw("NEXT:DISK/..");
    const Outcome o = restoreBytes(a.bytes());
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.code, 1);
}

// Every cut of a good archive fails: an archive that stops early is never
// taken for a complete one, whatever the point of the cut.
TEST(Damage, EveryTruncationFails)
{
    ArchiveBytes a;
    a.header("title", 16390, 2).file("c:\\d\\one", kEntryDate, QByteArray(16385, 'q')).file("c:\\d\\two", kEntryDate, "22222");
    a.end();
    const QByteArray whole = a.bytes();
    ASSERT_TRUE(restoreBytes(whole).result);
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const Outcome o = restoreBytes(whole.left(n));
        EXPECT_FALSE(o.result) << n;
        EXPECT_TRUE(o.code == 1 || !o.raised.isEmpty()) << n;
        EXPECT_EQ(o.code != 0, !o.errors.isEmpty()) << n;
    }
}

} // namespace
