// SPDX-License-Identifier: GPL-3.0-or-later
// Restoring archives built byte by byte from the layout.
#include "archive_bytes.h"

#include "backup/backup_file.h"
#include "backup/bck_format.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using verbana::test::ArchiveBytes;
using verbana::test::dosDate;

namespace {

const quint32 kDate = dosDate(2003, 4, 5, 6, 7, 8);
const QDateTime kWhen(QDate(2003, 4, 5), QTime(6, 7, 8), Qt::LocalTime);

QByteArray textOf(int size)
{
    QByteArray b;
    while (b.size() < size)
        b += "\xbc\xb3\xb1\xb3 sermon line " + QByteArray::number(b.size()) + "\r\n";
    return b.left(size);
}

QByteArray noiseOf(int size, quint32 seed = 7)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

class Restore : public ::testing::Test {
protected:
    QString archive() const { return dir.filePath(QStringLiteral("a.bck")); }
    QString target() const { return dir.filePath(QStringLiteral("out")); }
    QString out(const char *relative) const { return target() + QLatin1Char('/') + QString::fromUtf8(relative); }
    bool restore(const ArchiveBytes &a)
    {
        EXPECT_TRUE(a.save(archive()));
        return file.Restore(archive(), target());
    }
    void collectErrors()
    {
        file.OnError = [this](TBackupFile *, int code, const QString &text) {
            errors << QString::number(code) + QLatin1Char(' ') + text;
        };
    }

    QTemporaryDir dir;
    TBackupFile file;
    QStringList errors;
};

TEST_F(Restore, EmptyFileComesBackEmptyWithItsDate)
{
    ArchiveBytes a;
    a.header("t", 0, 1).entry("c:\\d\\empty.txt", kDate).segmentStart().segmentEnd().end();
    ASSERT_TRUE(restore(a));
    const QFileInfo info(out("d/empty.txt"));
    ASSERT_TRUE(info.isFile());
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(info.lastModified(), kWhen);
    EXPECT_EQ(file.FileCount(), 1);
    EXPECT_EQ(file.ArchiveTitle(), QByteArray("t"));
}

TEST_F(Restore, PiecesAtTheSizeLimitStoredAndCompressed)
{
    const QByteArray exact = textOf(16384);
    const QByteArray over = textOf(16385);
    const QByteArray noise = noiseOf(40000);
    ArchiveBytes a;
    a.header("", 16384 + 16385 + 40000, 3);
    a.entry("c:\\exact", kDate).segmentStart().zlibChunk(exact).segmentEnd();
    a.entry("c:\\over", kDate).segmentStart().zlibChunk(over.left(16384)).zlibChunk(over.mid(16384)).segmentEnd();
    a.entry("c:\\noise", kDate).segmentStart().storedChunk(noise.left(16384)).zlibChunk(exact, 1);
    a.storedChunk(noise.mid(32768)).segmentEnd().end();
    int last = -1;
    file.OnProgress = [&](TBackupFile *, const QString &, int percent, bool &) {
        EXPECT_GE(percent, last);
        last = percent;
    };
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(test::readAll(out("exact")), exact);
    EXPECT_EQ(test::readAll(out("over")), over);
    EXPECT_EQ(test::readAll(out("noise")), noise.left(16384) + exact + noise.mid(32768));
    EXPECT_EQ(last, 100);
    EXPECT_EQ(file.Processed(), 16384 + 16385 + 40000);
}

TEST_F(Restore, WindowsNameWithKoreanFolderLandsUnderTheTarget)
{
    // c:\users\kim\설교\data\sul17.rtf in CP949
    const QByteArray name = "c:\\users\\kim\\\xbc\xb3\xb1\xb3\\data\\sul17.rtf";
    ArchiveBytes a;
    a.header("\xbc\xb3\xb1\xb3", 5, 1).file(name, kDate, "{\\rtf}").end();
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(test::readAll(out("users/kim/설교/data/sul17.rtf")), QByteArray("{\\rtf}"));
    EXPECT_EQ(file.ArchiveTitle(), QByteArray("\xbc\xb3\xb1\xb3"));
}

TEST_F(Restore, BareNamesWithoutFullPath)
{
    file.setRestoreFullPath(false);
    ArchiveBytes a;
    a.header("", 2, 1).file("c:\\deep\\er\\x.txt", kDate, "hi").end();
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(test::readAll(out("x.txt")), QByteArray("hi"));
}

// A sermon table restored without its index takes the index of the table
// it replaces away (any letter case), which would otherwise be trusted
// with the new records; an index the archive brings, after the table or
// before it, is the one that stays.
TEST_F(Restore, ASermonTableWithoutItsIndexTakesTheOldIndexAway)
{
    for (const char *old : {"d/SUL2FILE.CDX", "e/sul2file.cdx", "f/sul2file.cdx"}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(out(old)).path()));
        ASSERT_TRUE(test::writeAll(out(old), "old index"));
    }
    ArchiveBytes a;
    a.header("", 0, 5)
        .file("c:\\d\\sul2file.dbf", kDate, "table d")
        .file("c:\\e\\Sul2File.DBF", kDate, "table e")
        .file("c:\\e\\sul2file.cdx", kDate, "index e")
        .file("c:\\f\\sul2file.cdx", kDate, "index f")
        .file("c:\\f\\sul2file.dbf", kDate, "table f")
        .end();
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(QDir(out("d")).entryList(QDir::Files), QStringList{QStringLiteral("sul2file.dbf")});
    EXPECT_EQ(test::readAll(out("e/sul2file.cdx")), QByteArray("index e"));
    EXPECT_EQ(test::readAll(out("f/sul2file.cdx")), QByteArray("index f"));
}

TEST_F(Restore, FileListIsNeverWritten)
{
    ArchiveBytes a;
    a.header("", 10, 1).file("FILE:LIST", kDate, "c:\\a\t1=2\r\n").file("c:\\a", kDate, "ab").end();
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(QDir(target()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("a")});
    EXPECT_EQ(file.FileCount(), 1);
}

TEST_F(Restore, NothingAfterTheHeaderSucceedsEmpty)
{
    ArchiveBytes a;
    a.header("x", 0, 0).end().raw("trailing bytes are never read");
    ASSERT_TRUE(restore(a));
    EXPECT_FALSE(QFileInfo::exists(target()));
}

TEST_F(Restore, NegativeNameLengthsAreSkipped)
{
    ArchiveBytes a;
    a.header("", 1, 1).int32(-5).file("c:\\f", kDate, "1").end();
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(test::readAll(out("f")), QByteArray("1"));
}

TEST_F(Restore, MissingArchiveIsFalseWithoutAMessage)
{
    test::ScriptedPrompter prompts; // any prompt would fail the test
    EXPECT_FALSE(file.Restore(dir.filePath(QStringLiteral("none.bck")), target()));
    EXPECT_TRUE(file.RaisedError().isEmpty());
    EXPECT_EQ(file.ErrorCode(), 0);
    EXPECT_FALSE(file.Busy());
}

TEST_F(Restore, UnreadableHeaderIsRaised)
{
    test::ScriptedPrompter prompts;
    for (const QByteArray &bytes : {QByteArray(), QByteArray("\x05\0\0\0ab", 6), QByteArray("\xff\xff\xff\x7f", 4),
                                    QByteArray("\x00\0\0\0\1\0\0\0", 8)}) {
        ArchiveBytes a;
        a.raw(bytes);
        EXPECT_FALSE(restore(a));
        EXPECT_EQ(file.RaisedError(), QStringLiteral("읽을 수 없는 압축파일"));
        EXPECT_FALSE(file.Busy());
    }
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(Restore, SegmentWithoutItsTagIsRaised)
{
    test::ScriptedPrompter prompts;
    ArchiveBytes written;
    written.header("", 3, 2).file("c:\\one", kDate, "one").entry("c:\\two", kDate).raw("EC3").raw(QByteArray(1, 0));
    EXPECT_FALSE(restore(written));
    EXPECT_EQ(file.RaisedError(), QStringLiteral("Invalid archive type"));
    EXPECT_EQ(test::readAll(out("one")), QByteArray("one"));

    file.setRestoreMode(rmExisting); // the segment is skipped, and still checked
    EXPECT_FALSE(restore(written));
    EXPECT_EQ(file.RaisedError(), QStringLiteral("Invalid archive type"));
    EXPECT_TRUE(prompts.texts().isEmpty());
}

// Links already in the target never carry a restore elsewhere: a link where
// the archive puts a folder or a file stops the run with error 1, and the
// folder outside keeps what it held.
struct LinkCase {
    const char *name;
    const char *link; // below the target
    const char *to; // below the folder outside
};

class LinksInTheTarget : public Restore, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinksInTheTarget, StopTheRunAndWriteNothingThroughThem)
{
    const QString outside = dir.filePath(QStringLiteral("outside"));
    const QString link = out(GetParam().link);
    ASSERT_TRUE(QDir().mkpath(outside) && QDir().mkpath(QFileInfo(link).path()));
    QFile old(outside + QStringLiteral("/f"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    ASSERT_TRUE(QFile::link(outside + QLatin1Char('/') + QString::fromUtf8(GetParam().to), link));
    collectErrors();
    ArchiveBytes a;
    a.header("", 4, 2).file("c:\\ok", kDate, "fine").file("c:\\d\\f", kDate, "evil").end();
    EXPECT_FALSE(restore(a));
    EXPECT_EQ(errors, QStringList{QStringLiteral("1 읽을 수 없는 파일")});
    EXPECT_EQ(QDir(outside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("f")});
    EXPECT_EQ(test::readAll(outside + QStringLiteral("/f")), QByteArray("old"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

std::string linkName(const ::testing::TestParamInfo<LinkCase> &c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(All, LinksInTheTarget,
                         ::testing::Values(LinkCase{"FolderLink", "d", ""}, LinkCase{"FileLink", "d/f", "f"},
                                           LinkCase{"DanglingLink", "d/f", "new"}),
                         linkName);

// Existing target: missing, older or newer than the stored date.
struct ModeCase {
    TRestoreMode mode;
    bool missing, older, newer; // written?
};

class RestoreModes : public Restore, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RestoreModes, DecideByExistenceAndDate)
{
    const ModeCase c = GetParam();
    QDir().mkpath(target());
    auto place = [&](const char *name, const QDateTime &when) {
        QFile f(out(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.flush();
        f.setFileTime(when, QFileDevice::FileModificationTime);
    };
    place("older", kWhen.addSecs(-3600));
    place("newer", kWhen.addSecs(3600));
    ArchiveBytes a;
    a.header("", 9, 3).file("c:\\missing", kDate, "new").file("c:\\older", kDate, "new");
    a.file("c:\\newer", kDate, "new").end();
    file.setRestoreMode(c.mode);
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(test::readAll(out("missing")), c.missing ? QByteArray("new") : QByteArray());
    EXPECT_EQ(test::readAll(out("older")), c.older ? QByteArray("new") : QByteArray("old"));
    EXPECT_EQ(test::readAll(out("newer")), c.newer ? QByteArray("new") : QByteArray("old"));
}

INSTANTIATE_TEST_SUITE_P(All, RestoreModes,
                         ::testing::Values(ModeCase{rmAll, true, true, true}, ModeCase{rmNoOverwrite, true, false, false},
                                           ModeCase{rmNewer, true, true, false}, ModeCase{rmExisting, false, true, true},
                                           ModeCase{rmExistingNewer, false, true, false}));

TEST_F(Restore, OnRestoreFileRedirectsAndRefuses)
{
    ArchiveBytes a;
    a.header("", 4, 2).file("c:\\keep", kDate, "ab").file("c:\\skip", kDate, "cd").end();
    file.OnRestoreFile = [&](TBackupFile *, QString &name, quint32 fa, bool &doRestore) {
        EXPECT_EQ(fa, kDate);
        if (name.endsWith(QStringLiteral("skip")))
            doRestore = false;
        else
            name = out("renamed");
    };
    QStringList restored;
    file.OnFileRestored = [&](TBackupFile *, QString &name, files::File &f) {
        EXPECT_EQ(f.size().value(), 2u); // open, and whole
        restored << QFileInfo(name).fileName();
    };
    ASSERT_TRUE(restore(a));
    EXPECT_EQ(restored, QStringList{QStringLiteral("renamed")});
    EXPECT_EQ(test::readAll(out("renamed")), QByteArray("ab"));
    EXPECT_FALSE(QFileInfo::exists(out("skip")));
    EXPECT_FALSE(QFileInfo::exists(out("keep")));
}

ArchiveBytes twoVolumeFirst(const QByteArray &part1)
{
    ArchiveBytes v1;
    v1.header("", 40000, 1).entry("c:\\big", kDate).segmentStart().zlibChunk(part1).segmentEnd().nextDisk(2);
    return v1;
}

TEST_F(Restore, FileContinuedOnTheSecondVolumeAtTheDiskPrompt)
{
    const QByteArray data = textOf(36384);
    ArchiveBytes v2;
    v2.segmentStart().zlibChunk(data.mid(16384, 16384)).zlibChunk(data.mid(32768)).segmentEnd();
    v2.file("c:\\after", kDate, "tail").end();
    ASSERT_TRUE(v2.save(dir.filePath(QStringLiteral("a.002"))));
    test::ScriptedPrompter prompts;
    prompts.okOrCancel(true);
    ASSERT_TRUE(restore(twoVolumeFirst(data.left(16384))));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral(" 2 번 디스켓을 넣고 [ OK ]를 클릭하십시오.")});
    EXPECT_EQ(test::readAll(out("big")), data);
    EXPECT_EQ(QFileInfo(out("big")).lastModified(), kWhen);
    EXPECT_EQ(test::readAll(out("after")), QByteArray("tail"));
    EXPECT_EQ(file.FileCount(), 2);
}

TEST_F(Restore, DiskRequestRepeatsUntilTheVolumeIsThere)
{
    ArchiveBytes v2;
    v2.segmentStart().zlibChunk("rest").segmentEnd().end();
    QList<quint16> asked;
    file.OnNeedDisk = [&](TBackupFile *, quint16 disk, bool &) {
        asked << disk;
        if (asked.size() == 3)
            v2.save(dir.filePath(QStringLiteral("a.002")));
    };
    ASSERT_TRUE(restore(twoVolumeFirst("first ")));
    EXPECT_EQ(asked, (QList<quint16>{2, 2, 2}));
    EXPECT_EQ(test::readAll(out("big")), QByteArray("first rest"));
}

// Chains that lead back to a volume already read, or to a number no
// continuation volume has, end with error 1 once each volume was read.
struct ChainCase {
    const char *name;
    std::vector<std::pair<int, int>> volumes; // number, the volume its marker names (-1: the end)
    const char *restored; // what the continued file holds at the end
};

class BadChains : public Restore, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(BadChains, StopWithErrorOne)
{
    for (const auto &[n, next] : GetParam().volumes) {
        ArchiveBytes v;
        v.segmentStart().zlibChunk("v" + QByteArray::number(n) + ' ').segmentEnd();
        (next < 0 ? v.end() : v.nextDisk(next)).save(bck::volumeName(archive(), n));
    }
    file.OnNeedDisk = [](TBackupFile *, quint16, bool &) {};
    collectErrors();
    EXPECT_FALSE(restore(twoVolumeFirst("first ")));
    EXPECT_EQ(test::readAll(out("big")), QByteArray(GetParam().restored));
    EXPECT_FALSE(file.List(archive(), [](const TBackupFile::ListedFile &) {}));
    EXPECT_EQ(errors, QStringList(2, QStringLiteral("1 읽을 수 없는 파일")));
}

std::string chainName(const ::testing::TestParamInfo<ChainCase> &c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(All, BadChains,
                         ::testing::Values(ChainCase{"NamesItself", {{2, 2}}, "first v2 "},
                                           ChainCase{"NamesAnEarlierOne", {{2, 3}, {3, 2}}, "first v2 v3 "},
                                           ChainCase{"NamesVolumeOne", {{2, 1}, {1, -1}}, "first v2 "},
                                           ChainCase{"WrapsToZero", {{2, 0}, {0, -1}}, "first v2 "}),
                         chainName);

TEST_F(Restore, RefusedDiskStopsWithoutAMessage)
{
    test::ScriptedPrompter prompts;
    prompts.okOrCancel(false);
    EXPECT_FALSE(restore(twoVolumeFirst("first ")));
    EXPECT_EQ(file.ErrorCode(), 0);
    EXPECT_EQ(test::readAll(out("big")), QByteArray("first ")); // stays as far as it got
    EXPECT_EQ(prompts.texts().size(), 1);
}

TEST_F(Restore, ErrorsGoToTheErrorBoxWithoutOnError)
{
    ArchiveBytes a;
    a.header("", 1, 1).entry("c:\\x", kDate).segmentStart().int32(16385);
    test::ScriptedPrompter prompts;
    prompts.error();
    EXPECT_FALSE(restore(a));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("읽을 수 없는 파일")});
    EXPECT_EQ(prompts.shown().front().kind, PromptKind::Error);
}

TEST_F(Restore, StopEndsAfterTheCurrentPieceAndKeepsWhatWasWritten)
{
    const QByteArray data = textOf(50000);
    ArchiveBytes a;
    a.header("", 50002, 2).file("c:\\long", kDate, data).file("c:\\later", kDate, "zz").end();
    file.OnProgress = [](TBackupFile *sender, const QString &name, int, bool &) {
        if (!name.isEmpty())
            sender->Stop();
    };
    test::ScriptedPrompter prompts;
    EXPECT_FALSE(restore(a));
    EXPECT_EQ(test::readAll(out("long")), data.left(16384));
    EXPECT_FALSE(QFileInfo::exists(out("later")));
    EXPECT_EQ(file.ErrorCode(), 0);
}

} // namespace
